// The document's print settings: its own copy, and a change of orientation applying the
// layout again through the window controller.

#include "DocumentTestSupport.h"

#include "document/DimensionInfo.h"

#include <future>

namespace {

using Orientation = platform::PrintInfo::Orientation;

platform::PrintInfo withOrientation(Orientation orientation)
{
    platform::PrintInfo info;
    info.setPaperName("Letter");
    info.setPaperSize(QSizeF(612, 792));
    info.setOrientation(orientation);
    return info;
}

} // namespace

TEST_F(DocumentTest, PrintSettingsAreTheDocumentsOwnCopy)
{
    platform::PrintInfo shared = withOrientation(Orientation::Landscape);
    shared.setPaperName("A4");
    platform::PrintInfo::setSharedPrintInfo(shared);
    EXPECT_EQ(document->printInfo(), shared);
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    EXPECT_EQ(document->printInfo(), shared); // taken on first use and kept
}

TEST_F(DocumentTest, ADocumentMadeBeforeThePrinterAnsweredKeepsThePaperItWasMadeWith)
{
    using platform::PrintInfo;
    PrintInfo a4;
    a4.setPaperBySize(QSizeF(595, 842));
    // An earlier start's answer, then a start whose print server answers late, otherwise.
    PrintInfo::forgetSharedPrintInfo();
    PrintInfo::setDefaultPrinterQuery([a4] { return a4; });
    PrintInfo::queryDefaultPrinterInBackground();
    ASSERT_EQ(PrintInfo::sharedPrintInfo(), a4);
    PrintInfo::forgetSharedPrintInfo();
    std::promise<void> serverAnswers;
    const std::shared_future<void> released = serverAnswers.get_future().share();
    PrintInfo::setDefaultPrinterQuery([released] {
        released.wait_for(std::chrono::seconds(5));    // a test that waits fails, not hangs
        return withOrientation(Orientation::Portrait); // Letter
    });
    PrintInfo::queryDefaultPrinterInBackground();

    LBDocument early;
    serverAnswers.set_value();
    PrintInfo::waitForDefaultPrinterQuery();
    ASSERT_EQ(PrintInfo::sharedPrintInfo().paperName(), QStringLiteral("Letter"));
    EXPECT_EQ(early.printInfo(), a4);
    EXPECT_EQ(DimensionInfo::real(early.dimensionInfo(), DimensionInfo::pageWidth), 595);
    EXPECT_EQ(DimensionInfo::real(early.dimensionInfo(), DimensionInfo::pageHeight), 842);
    PrintInfo::setDefaultPrinterQuery(nullptr);
}

TEST_F(DocumentTest, ANewOrientationAppliesTheLayoutAgainAsTheLabelKindTurns)
{
    struct Case
    {
        qint64 labelType;
        Orientation before, after;
        QStringList calls;
    };
    const QString plain = "blank layout project 4 on %1";
    const QString vertical = "blank layout vertical project 4 on %1";
    const QString turned = "blank layout turned project 4 on %1";
    const Orientation P = Orientation::Portrait, L = Orientation::Landscape;
    const Case cases[] = {
        // Plain sheets keep the orientation they had; a new one makes them vertical.
        {1, P, L, {vertical.arg("landscape")}},
        {1, L, P, {vertical.arg("portrait")}},
        {1, P, P, {}},
        {3, L, L, {}},
        // Vertical kinds expect landscape: portrait turns their labels back.
        {2, L, P, {"turn to portrait", turned.arg("portrait")}},
        {2, P, L, {}},
        {18, P, P, {"turn to portrait", turned.arg("portrait")}},
        // A vertical envelope expects portrait, a horizontal one landscape.
        {6, P, L, {"turn to landscape", turned.arg("landscape")}},
        {6, L, P, {}},
        {5, L, P, {vertical.arg("portrait")}},
        {5, P, L, {}},
        // Letterhead and discs keep the orientation they had, turning with a new one.
        {7, P, L, {"turn to landscape", turned.arg("landscape")}},
        {17, L, P, {"turn to portrait", turned.arg("portrait")}},
        {17, L, L, {}},
    };
    auto* controller = new FakeWindowController;
    document->addWindowController(controller);
    document->setMultipageType(4);
    for (const Case& c : cases) {
        document->dimensionInfo()[DimensionInfo::labelType] = c.labelType;
        document->dimensionInfo().remove("turned");
        document->ourSetPrintInfo(withOrientation(c.before));
        controller->layoutCalls.clear();
        const int setups = controller->setups;
        document->setPrintInfo(withOrientation(c.after));
        EXPECT_EQ(controller->layoutCalls, c.calls) << c.labelType;
        EXPECT_EQ(controller->setups, setups + 1);
        EXPECT_EQ(document->printInfo().orientation(), c.after);
    }

    // Settings that come with the layout, or with the reaction switched off: stored only.
    document->dimensionInfo()[DimensionInfo::labelType] = 1;
    document->ourSetPrintInfo(withOrientation(Orientation::Portrait));
    controller->layoutCalls.clear();
    document->ourSetPrintInfo(withOrientation(Orientation::Landscape));
    document->setUpdateDocumentForPrintInfoChanges(false);
    document->setPrintInfo(withOrientation(Orientation::Portrait));
    EXPECT_TRUE(controller->layoutCalls.isEmpty());
    EXPECT_EQ(document->printInfo().orientation(), Orientation::Portrait);
    EXPECT_FALSE(document->updateDocumentForPrintInfoChanges());
}

TEST_F(DocumentTest, WithoutAWindowANewOrientationIsOnlyStored)
{
    document->setPrintInfo(withOrientation(Orientation::Landscape));
    EXPECT_EQ(document->printInfo().orientation(), Orientation::Landscape);
    EXPECT_EQ(DimensionInfo::integer(document->dimensionInfo(), DimensionInfo::labelType), 1);
}
