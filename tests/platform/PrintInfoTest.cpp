// The shared print settings: the default printer's paper, asked for on a thread of its own
// while the program starts, and the same as asking on the spot.

#include "platform/ui/PrintInfo.h"

#include <QPageSize>
#include <QPrinterInfo>

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
