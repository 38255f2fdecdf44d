// The shared print settings: the default printer's paper, asked for on a thread of its own
// while the program starts, and the same as asking on the spot.

#include "platform/ui/PrintInfo.h"

#include "platform/core/UserDefaults.h"

#include <QPageSize>
#include <QPrinterInfo>

#include <atomic>
#include <future>

#include <gtest/gtest.h>

TEST(PrintInfo, SharedSettingsAskedInTheBackgroundAreTheDefaultPrinters)
{
    using platform::PrintInfo;
    PrintInfo::queryDefaultPrinterInBackground();
    PrintInfo::queryDefaultPrinterInBackground(); // a second start does nothing
    // What asking on the spot says: the default printer's name and paper, or Letter.
    PrintInfo::waitForDefaultPrinterQuery();
    PrintInfo expected;
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    if (!printer.isNull()) {
        expected.setPrinterName(printer.printerName());
        if (printer.defaultPageSize().isValid()) {
            expected.setPaperName(printer.defaultPageSize().key());
            expected.setPaperSize(printer.defaultPageSize().size(QPageSize::Point));
        }
    }
    EXPECT_EQ(PrintInfo::sharedPrintInfo(), expected);
    EXPECT_EQ(PrintInfo::sharedPrintInfo(), expected); // kept, not asked again

    // Settings set by hand win, and a later start of the query leaves them.
    PrintInfo pinned;
    pinned.setPaperBySize(QSizeF(595, 842));
    PrintInfo::setSharedPrintInfo(pinned);
    PrintInfo::queryDefaultPrinterInBackground();
    EXPECT_EQ(PrintInfo::sharedPrintInfo(), pinned);
}

TEST(PrintInfo, SharedSettingsSetBeforeTheQueryEndsWin)
{
    using platform::PrintInfo;
    PrintInfo::queryDefaultPrinterInBackground();
    PrintInfo pinned;
    pinned.setPaperBySize(QSizeF(612, 1008));
    PrintInfo::setSharedPrintInfo(pinned);
    EXPECT_EQ(PrintInfo::sharedPrintInfo(), pinned);
    PrintInfo::waitForDefaultPrinterQuery();
    EXPECT_EQ(PrintInfo::sharedPrintInfo(), pinned);
}

TEST(PrintInfo, ASlowPrintServerDoesNotHoldUpADocumentOnceItHasAnsweredBefore)
{
    using platform::PrintInfo;
    PrintInfo office;
    office.setPrinterName(QStringLiteral("Office"));
    office.setPaperBySize(QSizeF(595, 842));
    PrintInfo legal;
    legal.setPrinterName(QStringLiteral("Office"));
    legal.setPaperBySize(QSizeF(612, 1008));

    // A first start: with no earlier answer, the settings wait for this one.
    PrintInfo::setDefaultPrinterQuery([office] { return office; });
    PrintInfo::queryDefaultPrinterInBackground();
    bool answered = false;
    EXPECT_EQ(PrintInfo::sharedPrintInfo(&answered), office);
    EXPECT_TRUE(answered);

    // The next start, the print server not answering yet: the last answer, at once.
    PrintInfo::forgetSharedPrintInfo();
    std::promise<void> serverAnswers;
    const std::shared_future<void> released = serverAnswers.get_future().share();
    PrintInfo::setDefaultPrinterQuery([released, legal] {
        released.wait_for(std::chrono::seconds(5)); // a test that waits fails, not hangs
        return legal;
    });
    PrintInfo::queryDefaultPrinterInBackground();
    EXPECT_EQ(PrintInfo::sharedPrintInfo(&answered), office);
    EXPECT_FALSE(answered);
    serverAnswers.set_value();
    PrintInfo::waitForDefaultPrinterQuery();
    EXPECT_EQ(PrintInfo::sharedPrintInfo(&answered), legal);
    EXPECT_TRUE(answered);

    // The start after that begins with the new answer.
    PrintInfo::forgetSharedPrintInfo();
    std::promise<void> never;
    const std::shared_future<void> blocked = never.get_future().share();
    PrintInfo::setDefaultPrinterQuery([blocked] {
        blocked.wait_for(std::chrono::seconds(5));
        return PrintInfo();
    });
    PrintInfo::queryDefaultPrinterInBackground();
    EXPECT_EQ(PrintInfo::sharedPrintInfo(&answered), legal);
    EXPECT_FALSE(answered);
    never.set_value();
    PrintInfo::setDefaultPrinterQuery(nullptr);
}

TEST(PrintInfo, AStartWithAKeptAnswerAsksThePrinterOnlyOnceItsWindowIsUp)
{
    using platform::PrintInfo;
    PrintInfo office;
    office.setPrinterName(QStringLiteral("Office"));
    office.setPaperBySize(QSizeF(595, 842));
    std::atomic<int> asked = 0;
    PrintInfo::forgetSharedPrintInfo();
    platform::UserDefaults::standardUserDefaults().removeObjectForKey(
        QStringLiteral("LBDefaultPrinterPaper"));
    PrintInfo::setDefaultPrinterQuery([office, &asked] {
        ++asked;
        return office;
    });

    // A first start has no earlier answer: the printer is asked at once, and waited for.
    PrintInfo::queryDefaultPrinterSoon();
    bool answered = false;
    EXPECT_EQ(PrintInfo::sharedPrintInfo(&answered), office);
    EXPECT_TRUE(answered);
    EXPECT_EQ(asked, 1);

    // The next start takes the kept answer and leaves the printer alone until its window
    // is up, however often a document asks meanwhile.
    PrintInfo::forgetSharedPrintInfo();
    PrintInfo legal = office;
    legal.setPaperBySize(QSizeF(612, 1008));
    PrintInfo::setDefaultPrinterQuery([legal, &asked] {
        ++asked;
        return legal;
    });
    PrintInfo::queryDefaultPrinterSoon();
    EXPECT_EQ(PrintInfo::sharedPrintInfo(&answered), office);
    EXPECT_FALSE(answered);
    EXPECT_EQ(PrintInfo::sharedPrintInfo(), office);
    EXPECT_EQ(asked, 1);
    PrintInfo::startDeferredDefaultPrinterQuery();
    PrintInfo::waitForDefaultPrinterQuery();
    EXPECT_EQ(PrintInfo::sharedPrintInfo(&answered), legal);
    EXPECT_TRUE(answered);
    EXPECT_EQ(asked, 2);

    // Whatever uses the print system before the window is up (printing, the list of
    // printers) has the deferred query asked first, never beside it.
    PrintInfo::forgetSharedPrintInfo();
    PrintInfo::queryDefaultPrinterSoon();
    PrintInfo::waitForDefaultPrinterQuery();
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(PrintInfo::sharedPrintInfo(&answered), legal);
    EXPECT_TRUE(answered);
    PrintInfo::setDefaultPrinterQuery(nullptr);
}
