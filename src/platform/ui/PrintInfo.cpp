#include "platform/ui/PrintInfo.h"

#include <QPageSize>
#include <QPrinterInfo>

#include <optional>

namespace platform {

namespace {

std::optional<PrintInfo>& shared()
{
    static std::optional<PrintInfo> printInfo;
    return printInfo;
}

PrintInfo defaultPrinterInfo()
{
    PrintInfo printInfo;
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (printer.isNull())
        return printInfo;
    printInfo.setPrinterName(printer.printerName());
    const QPageSize paper = printer.defaultPageSize();
    if (paper.isValid()) {
        printInfo.setPaperName(paper.key());
        printInfo.setPaperSize(paper.size(QPageSize::Point));
    }
    return printInfo;
}

} // namespace

PrintInfo::PrintInfo() : _paperName(QStringLiteral("Letter")), _paperSize(612, 792)
{}

void PrintInfo::setPaperBySize(const QSizeF& size)
{
    _paperSize = size;
    _paperName = QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch).key();
}

PrintInfo PrintInfo::sharedPrintInfo()
{
    if (!shared())
        shared() = defaultPrinterInfo();
    return *shared();
}

void PrintInfo::setSharedPrintInfo(const PrintInfo& printInfo)
{
    shared() = printInfo;
}

} // namespace platform
