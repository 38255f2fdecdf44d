#pragma once

// A broken precondition of the path toolkit ("zig must be > 0", ...): carries the message
// and the name of the toolkit source file that reported it ("LBPathGeometry",
// "LBPathText"), so callers and tests can tell the failures apart.

#include <QString>

#include <stdexcept>

class LBPathToolkitException : public std::logic_error
{
public:
    LBPathToolkitException(const QString& message, const QString& sourceFile);

    const QString& message() const { return _message; }
    const QString& sourceFile() const { return _sourceFile; }

private:
    QString _message;
    QString _sourceFile;
};
