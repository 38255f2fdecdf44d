#include "platform/ui/PrintInfo.h"

#include <QPageSize>
#include <QPrinterInfo>

#include <future>
#include <optional>

namespace platform {

namespace {

std::optional<PrintInfo>& shared()
{
    static std::optional<PrintInfo> printInfo;
    return printInfo;
}

std::future<PrintInfo>& pendingQuery()
{
    static std::future<PrintInfo> query;
    return query;
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
    if (!shared()) {
        std::future<PrintInfo>& query = pendingQuery();
        shared() = query.valid() ? query.get() : defaultPrinterInfo();
    }
    return *shared();
}

void PrintInfo::queryDefaultPrinterInBackground()
{
    std::future<PrintInfo>& query = pendingQuery();
    if (shared() || query.valid())
        return;
    query = std::async(std::launch::async, defaultPrinterInfo);
}

void PrintInfo::waitForDefaultPrinterQuery()
{
    const std::future<PrintInfo>& query = pendingQuery();
    if (query.valid())
        query.wait();
}

void PrintInfo::setSharedPrintInfo(const PrintInfo& printInfo)
{
    shared() = printInfo;
}

} // namespace platform
