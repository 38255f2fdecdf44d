#pragma once

// The printers of the system: each queue's name, its type (the make and model the driver
// states) and the papers it takes (its driver's paper list, each paper's key the name the
// driver gives it). The system's printers come from Qt's printer information; tests put a
// source of their own in its place.

#include <QList>
#include <QPageSize>
#include <QString>

#include <memory>

namespace platform {

class Printers
{
public:
    struct Printer
    {
        QString name;
        QString type;
        bool operator==(const Printer&) const = default;
    };

    // Where the printers come from.
    class Source
    {
    public:
        virtual ~Source() = default;
        // Every printer, in the system's order.
        virtual QList<Printer> printers() const = 0;
        // The papers of the named printer; empty for an unknown printer.
        virtual QList<QPageSize> paperSizes(const QString& printerName) const = 0;
    };

    Printers() = delete;

    static QList<Printer> printers();
    static QList<QPageSize> paperSizes(const QString& printerName);

    // Replaces the system's printers by the source's; nullptr puts the system's back.
    static void setSource(std::shared_ptr<const Source> source);
};

} // namespace platform
