#include "platform/ui/Printers.h"

#include "platform/ui/PrintInfo.h"

#include <QPrinterInfo>

namespace platform {

namespace {

class SystemPrinters : public Printers::Source
{
public:
    QList<Printers::Printer> printers() const override
    {
        PrintInfo::waitForDefaultPrinterQuery();
        QList<Printers::Printer> list;
        for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
            list.append({info.printerName(), info.makeAndModel()});
        return list;
    }

    QList<QPageSize> paperSizes(const QString& printerName) const override
    {
        PrintInfo::waitForDefaultPrinterQuery();
        const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
        return info.isNull() ? QList<QPageSize>() : info.supportedPageSizes();
    }
};

std::shared_ptr<const Printers::Source>& installed()
{
    static std::shared_ptr<const Printers::Source> source;
    return source;
}

const Printers::Source& source()
{
    static const SystemPrinters system;
    const std::shared_ptr<const Printers::Source>& replacement = installed();
    return replacement ? *replacement : system;
}

} // namespace

QList<Printers::Printer> Printers::printers()
{
    return source().printers();
}

QList<QPageSize> Printers::paperSizes(const QString& printerName)
{
    return source().paperSizes(printerName);
}

void Printers::setSource(std::shared_ptr<const Source> newSource)
{
    installed() = std::move(newSource);
}

} // namespace platform
