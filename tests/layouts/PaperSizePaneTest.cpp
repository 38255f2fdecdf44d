// The custom size pane's overflow check and miniature, and what they do to the chooser's
// Choose button.

#include "layouts/LBLayoutSheetController.h"
#include "layouts/LBPaperSizeController.h"

#include <gtest/gtest.h>

#include <QVariantMap>

namespace {

QVariantMap grid(const QVariantMap& changes)
{
    QVariantMap layout{{"labelType", 1},      {"pageWidth", 612.0},  {"pageHeight", 792.0},
                       {"labelWidth", 189.0}, {"labelHeight", 72.0}, {"numRows", 10},
                       {"numColumns", 3},     {"leftMargin", 13.5},  {"topMargin", 36.0},
                       {"hLabelSpace", 9.0},  {"vLabelSpace", 0.0}};
    layout.insert(changes);
    return layout;
}

} // namespace

TEST(PaperSizePane, TellsWhetherTheLabelsFitTheirPage)
{
    struct Case
    {
        const char* what;
        QVariantMap changes;
        bool overflows;
    };
    const Case cases[] = {
        {"a sheet that fits", {}, false},
        {"exactly the page wide", {{"leftMargin", 612.0 - 3 * 189 - 18}}, false},
        {"a point too wide", {{"leftMargin", 612.0 - 3 * 189 - 17}}, true},
        {"a row too many", {{"numRows", 11}}, true},
        {"a negative margin", {{"topMargin", -1.0}}, true},
        {"no rows", {{"numRows", 0}}, true},
        {"no columns", {{"numColumns", 0}}, true},
        {"no label width", {{"labelWidth", 0.0}}, true},
        {"an envelope is never checked", {{"labelType", 5}, {"numRows", 0}}, false},
        {"nor is letterhead", {{"labelType", 8}, {"leftMargin", -5.0}}, false},
        {"the paper's size without a page size",
         {{"pageWidth", 0.0}, {"paperSize", "Letter"}},
         false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LBPaperSizeController::labelsOverflowPage(grid(c.changes)), c.overflows)
            << c.what;
}

TEST(PaperSizePane, ItsMiniatureAndChooseFollowTheLayout)
{
    LBPaperSizeController pane;
    pane.setDimensionInfo(grid({{"labelType", 2}}));
    EXPECT_FALSE(pane.previewImage().isNull());
    EXPECT_TRUE(pane.landscapeOrientation());
    EXPECT_FALSE(pane.labelsOverflow());
    pane.setDimensionInfo(grid({{"numRows", 0}}));
    EXPECT_TRUE(pane.labelsOverflow());
    EXPECT_EQ(pane.dimensionInfo().value("numRows").toInt(), 0); // kept as given
}
