// The envelope feed sheet: opened from the user's choices, its picture named after them,
// saved back and printed.

#include "MergeTestSupport.h"

#include "merge/LBEnvelopeFeedSheet.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/PrintOperation.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPrinter>
#include <QRadioButton>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

void choose(QButtonGroup* group, int row)
{
    group->button(row)->click();
}

} // namespace

class EnvelopeFeedSheetTest : public SheetTest
{
protected:
    EnvelopeFeedSheetTest()
    {
        layout()[DimensionInfo::labelType] = 5;
        defaults().setObject(false, QStringLiteral("Envelope Automatic Alignment"));
        defaults().setObject(true, QStringLiteral("Printer Loads Envelopes From Front"));
        defaults().setObject(true, QStringLiteral("Envelopes Are Face Up"));
        defaults().setObject(qint64(1), QStringLiteral("Envelope Feed Position"));
    }
    ~EnvelopeFeedSheetTest() override { platform::PrintOperation::setPanelHandler({}); }
};

TEST_F(EnvelopeFeedSheetTest, PrintingAnEnvelopeWithThePanelOpensTheSheetFirst)
{
    document->printShowingPrintPanel(true);
    LBEnvelopeFeedSheet* sheet = services->envelopeFeedSheet();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(document->origPrintInfo().has_value());
    EXPECT_EQ(sheet->alignmentMatrix()->checkedId(), 1);
    EXPECT_EQ(sheet->feedMatrix()->checkedId(), 1);
    EXPECT_EQ(sheet->previewImageName(), QStringLiteral("EnvelopeFrontCenter"));

    choose(sheet->loadingMatrix(), 1);
    choose(sheet->feedMatrix(), 2);
    choose(sheet->orientationMatrix(), 1);
    EXPECT_EQ(sheet->previewImageName(), QStringLiteral("EnvelopeTopRightD"));

    // Saved: the choices are stored and the envelope prints with the panel.
    int panels = 0;
    platform::PrintOperation::setPanelHandler([&panels](QPrinter&) {
        ++panels;
        return false;
    });
    sheet->landscapeButton()->click();
    sheet->saveEnvelopeSheet();
    EXPECT_EQ(panels, 1);
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("Printer Loads Envelopes From Front")));
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("Envelopes Are Face Up")));
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("Envelope Feed Position")), 2);
    EXPECT_TRUE(document->envelopePrintLandscape());
    EXPECT_FALSE(document->origPrintInfo().has_value());
}

TEST_F(EnvelopeFeedSheetTest, AutomaticAlignmentHidesTheManualChoices)
{
    defaults().setObject(true, QStringLiteral("Envelope Automatic Alignment"));
    services->openEnvelopeFeedSheet();
    LBEnvelopeFeedSheet* sheet = services->envelopeFeedSheet();
    EXPECT_FALSE(sheet->loadingMatrix()->button(0)->isEnabled());
    choose(sheet->alignmentMatrix(), 1);
    EXPECT_TRUE(sheet->loadingMatrix()->button(0)->isEnabled());
    sheet->cancelEnvelopeSheet();
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("Envelope Automatic Alignment")));
}
