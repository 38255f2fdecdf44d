#include "platform/ui/PrintInfo.h"

#include "platform/core/UserDefaults.h"

#include <QCoreApplication>
#include <QPageSize>
#include <QPrinterInfo>

#include <chrono>
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

// Whether the query waits for startDeferredDefaultPrinterQuery().
bool& queryDeferred()
{
    static bool deferred = false;
    return deferred;
}

void waitForRunningQuery()
{
    if (const std::future<PrintInfo>& query = pendingQuery(); query.valid())
        query.wait();
}

PrintInfo askDefaultPrinter()
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

std::function<PrintInfo()>& defaultPrinterQuery()
{
    static std::function<PrintInfo()> query = askDefaultPrinter;
    return query;
}

PrintInfo defaultPrinterInfo()
{
    return defaultPrinterQuery()();
}

// The default printer's last answer, kept in the user's settings for the next start.
const QString lastAnswerKey = QStringLiteral("LBDefaultPrinterPaper");
const QString printerKey = QStringLiteral("Printer");
const QString paperKey = QStringLiteral("Paper");
const QString widthKey = QStringLiteral("Width");
const QString heightKey = QStringLiteral("Height");

std::optional<PrintInfo> lastAnswer()
{
    const QVariantMap stored = UserDefaults::standardUserDefaults().dictionaryForKey(lastAnswerKey);
    const QSizeF size(stored.value(widthKey).toDouble(), stored.value(heightKey).toDouble());
    const QString paper = stored.value(paperKey).toString();
    if (paper.isEmpty() || !(size.width() > 0 && size.height() > 0))
        return std::nullopt;
    PrintInfo printInfo;
    printInfo.setPrinterName(stored.value(printerKey).toString());
    printInfo.setPaperName(paper);
    printInfo.setPaperSize(size);
    return printInfo;
}

void keepAnswer(const PrintInfo& answer)
{
    if (lastAnswer() == answer)
        return;
    UserDefaults::standardUserDefaults().setObject(
        QVariantMap{{printerKey, answer.printerName()},
                    {paperKey, answer.paperName()},
                    {widthKey, answer.paperSize().width()},
                    {heightKey, answer.paperSize().height()}},
        lastAnswerKey);
}

// The query's answer made the shared settings, unless they were set meanwhile.
void takeAnswer()
{
    std::future<PrintInfo>& query = pendingQuery();
    if (shared() || !query.valid())
        return;
    shared() = query.get();
    keepAnswer(*shared());
}

} // namespace

PrintInfo::PrintInfo() : _paperName(QStringLiteral("Letter")), _paperSize(612, 792)
{}

void PrintInfo::setPaperBySize(const QSizeF& size)
{
    _paperSize = size;
    _paperName = QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch).key();
}

PrintInfo PrintInfo::sharedPrintInfo(bool* answered)
{
    if (answered)
        *answered = true;
    if (shared())
        return *shared();
    if (queryDeferred()) {
        if (std::optional<PrintInfo> lastTime = lastAnswer()) {
            if (answered)
                *answered = false;
            return *lastTime;
        }
        startDeferredDefaultPrinterQuery();
    }
    std::future<PrintInfo>& query = pendingQuery();
    // A print server slow to answer, or not answering, does not hold up a document: until
    // it answers, documents take the paper the default printer had at the last answer.
    if (query.valid() && query.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        if (std::optional<PrintInfo> lastTime = lastAnswer()) {
            if (answered)
                *answered = false;
            return *lastTime;
        }
    }
    if (query.valid()) {
        takeAnswer();
    } else {
        shared() = defaultPrinterInfo();
        keepAnswer(*shared());
    }
    return *shared();
}

void PrintInfo::queryDefaultPrinterInBackground()
{
    queryDeferred() = false;
    std::future<PrintInfo>& query = pendingQuery();
    if (shared() || query.valid())
        return;
    query = std::async(std::launch::async, [] {
        PrintInfo answer = defaultPrinterInfo();
        // The answer becomes the shared settings, and is kept for the next start, as soon
        // as it comes, whether or not a document asked meanwhile. (The future holds it
        // a moment after this returns; taking it waits that moment.)
        if (QCoreApplication* application = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                application, [] { takeAnswer(); }, Qt::QueuedConnection);
        return answer;
    });
}

void PrintInfo::queryDefaultPrinterSoon()
{
    if (shared() || pendingQuery().valid() || queryDeferred())
        return;
    if (lastAnswer())
        queryDeferred() = true;
    else
        queryDefaultPrinterInBackground();
}

void PrintInfo::startDeferredDefaultPrinterQuery()
{
    if (queryDeferred())
        queryDefaultPrinterInBackground();
}

void PrintInfo::waitForDefaultPrinterQuery()
{
    startDeferredDefaultPrinterQuery();
    waitForRunningQuery();
}

void PrintInfo::setSharedPrintInfo(const PrintInfo& printInfo)
{
    shared() = printInfo;
}

void PrintInfo::forgetSharedPrintInfo()
{
    queryDeferred() = false;
    waitForRunningQuery();
    pendingQuery() = {};
    shared().reset();
}

void PrintInfo::setDefaultPrinterQuery(std::function<PrintInfo()> query)
{
    waitForRunningQuery();
    defaultPrinterQuery() = query ? std::move(query) : askDefaultPrinter;
}

} // namespace platform
