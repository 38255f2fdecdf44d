#pragma once

// A shared library of its own that registers a class, so the tests can check that one
// shared object sees the registrations of another.

#include <QString>

struct ProbeBase
{
    virtual ~ProbeBase() = default;
    virtual QString origin() const = 0;
};

// Made inside the probe library through the registry.
bool probeCanCreate(const QString& name);
