// The custom size pane: loading a layout, the fields in each unit and what they write back,
// the kinds of sheet and the orientation, the paper pop-up, turning a layout, the control
// groups and the overflow check that decides whether the layout can be chosen.

#include "document/DimensionInfo.h"
#include "layouts/LBLayoutSheetController.h"
#include "layouts/LBPaperSizeController.h"
#include "platform/core/UserDefaults.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSet>
#include <QVariantMap>

namespace {

using Pane = LBPaperSizeController;
using Info = DimensionInfo;

const QString unitKey = QStringLiteral("CustomPaperSizeUnitType");

QVariantMap grid(const QVariantMap& changes = {})
{
    QVariantMap layout{{"labelType", 1},
                       {"pageWidth", 612.0},
                       {"pageHeight", 792.0},
                       {"labelWidth", 189.0},
                       {"labelHeight", 72.0},
                       {"numRows", 10},
                       {"numColumns", 3},
                       {"leftMargin", 13.5},
                       {"topMargin", 36.0},
                       {"hLabelSpace", 9.0},
                       {"vLabelSpace", 0.0},
                       {"paperSize", "Letter"},
                       {"category", "Address Labels"}};
    layout.insert(changes);
    return layout;
}

// The 2-column, 7-row address sheet on Letter.
QVariantMap addressSheet()
{
    return grid({{"labelWidth", 288.0},
                 {"labelHeight", 108.0},
                 {"numRows", 7},
                 {"numColumns", 2},
                 {"topMargin", 18.0},
                 {"leftMargin", 11.232},
                 {"hLabelSpace", 13.536}});
}

QVariantMap envelope(qint64 type = 5)
{
    return {{"labelType", type},      {"category", "Envelopes"}, {"pageWidth", 684.0},
            {"pageHeight", 297.0},    {"labelWidth", 684.0},     {"labelHeight", 297.0},
            {"paperCode", "Size 10"}, {"paperSize", "Letter"},   {"numRows", 1},
            {"numColumns", 1}};
}

void type(Pane& pane, Pane::Field field, const QString& text)
{
    pane.field(field)->setText(text);
    pane.controlTextDidChange(field);
}

// The keys whose values differ between two layouts.
QSet<QString> changedKeys(const QVariantMap& before, const QVariantMap& after)
{
    QSet<QString> keys;
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        if (before.value(it.key()) != it.value())
            keys.insert(it.key());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        if (!after.contains(it.key()))
            keys.insert(it.key());
    return keys;
}

class PaperSizePane : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::UserDefaults::standardUserDefaults().removeObjectForKey(unitKey);
    }
    void TearDown() override { SetUp(); }
};

} // namespace

TEST_F(PaperSizePane, TellsWhetherTheLabelsFitTheirPage)
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
        {"an envelope's grid is never checked", {{"labelType", 5}, {"numRows", 0}}, false},
        {"nor is letterhead's", {{"labelType", 8}, {"leftMargin", -5.0}}, false},
        {"an envelope of no width", {{"labelType", 5}, {"labelWidth", 0.0}}, true},
        {"letterhead of a negative height", {{"labelType", 8}, {"labelHeight", -1.0}}, true},
        {"the paper's size without a page size",
         {{"pageWidth", 0.0}, {"paperSize", "Letter"}},
         false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Pane::labelsOverflowPage(grid(c.changes)), c.overflows) << c.what;
}

TEST_F(PaperSizePane, OpensInTheUnitItsPaperCallsFor)
{
    struct Case
    {
        const char* paperSize;
        QVariant stored; // the unit last chosen in the pane, if any
        Pane::Unit unit;
        const char* labelWidth; // 189 points shown in that unit
    };
    const Case cases[] = {
        {"Letter", 2, Pane::Inches, "2.625"},       {"A4-Half", 0, Pane::Millimetres, "66.675"},
        {"Custom", 2, Pane::Points, "189"},         {"Custom", QVariant(), Pane::Inches, "2.625"},
        {"Custom", 1, Pane::Millimetres, "66.675"},
    };
    for (const Case& c : cases) {
        auto& defaults = platform::UserDefaults::standardUserDefaults();
        if (c.stored.isValid())
            defaults.setInteger(c.stored.toLongLong(), unitKey);
        else
            defaults.removeObjectForKey(unitKey);
        Pane pane;
        pane.setDimensionInfo(grid({{"paperSize", c.paperSize}}));
        EXPECT_EQ(pane.unitType(), c.unit) << c.paperSize;
        EXPECT_EQ(pane.unitsPopup()->currentIndex(), int(c.unit)) << c.paperSize;
        EXPECT_EQ(pane.field(Pane::LabelWidthField)->text(), c.labelWidth) << c.paperSize;
    }
}

TEST_F(PaperSizePane, SwitchingUnitsLosesNothingAndIsRemembered)
{
    Pane pane;
    const QVariantMap layout = grid({{"leftMargin", 13.123456789}});
    pane.setDimensionInfo(layout);
    for (int unit : {2, 1, 0, 2}) {
        pane.unitPopupAction(unit);
        EXPECT_EQ(platform::UserDefaults::standardUserDefaults().integerForKey(unitKey), unit);
    }
    EXPECT_EQ(pane.field(Pane::LabelHeightField)->text(), "72"); // points, unscaled
    const QVariantMap saved = pane.dimensionInfo();
    EXPECT_EQ(saved.value("leftMargin").toDouble(), 13.123456789);
    EXPECT_EQ(saved.value("labelWidth").toDouble(), 189.0);
}

TEST_F(PaperSizePane, WritesBackOnlyTheLengthsTheUserChanged)
{
    Pane pane;
    const QVariantMap layout = addressSheet(); // 11.232 pt shows as 0.156 in
    pane.setDimensionInfo(layout);
    type(pane, Pane::LabelWidthField, "3");
    const QVariantMap saved = pane.dimensionInfo();
    EXPECT_EQ(saved.value("labelWidth").toDouble(), 216.0);
    EXPECT_EQ(saved.value("leftMargin").toDouble(), 11.232);
    EXPECT_EQ(saved.value("hLabelSpace").toDouble(), 13.536);
    // Kind, group and counts are always written; here they only change type.
    QSet<QString> changed = changedKeys(layout, saved);
    changed.remove("numRows");
    changed.remove("numColumns");
    changed.remove("labelType");
    EXPECT_EQ(changed, QSet<QString>{"labelWidth"});
    EXPECT_EQ(saved.value("numRows").toLongLong(), 7);
}

TEST_F(PaperSizePane, FollowsTheShapeOfATypedPaper)
{
    Pane pane;
    pane.setDimensionInfo(addressSheet());
    pane.paperSizePopupAction(pane.paperSizePopup()->count() - 1); // Custom
    EXPECT_FALSE(pane.field(Pane::PaperWidthField)->isReadOnly());
    EXPECT_FALSE(pane.dimensionInfo().contains("paperCode"));
    type(pane, Pane::PaperWidthField, "12");
    EXPECT_TRUE(pane.landscapeButtonSelected());
    EXPECT_TRUE(pane.landscapeButton()->isChecked());
    EXPECT_FALSE(pane.portraitButton()->isChecked());
    const QVariantMap saved = pane.dimensionInfo();
    EXPECT_EQ(saved.value("labelType").toLongLong(), 2);
    EXPECT_EQ(saved.value("paperSize"), "Custom");
    EXPECT_EQ(saved.value("pageWidth").toDouble(), 864.0);
    // Back to a tall paper: portrait again.
    type(pane, Pane::PaperWidthField, "8");
    EXPECT_FALSE(pane.landscapeButtonSelected());
    EXPECT_EQ(pane.dimensionInfo().value("labelType").toLongLong(), 1);
}

TEST_F(PaperSizePane, ACustomPaperOfNoSizeCannotBeChosen)
{
    Pane pane;
    pane.setDimensionInfo(addressSheet());
    pane.paperSizePopupAction(pane.paperSizePopup()->count() - 1); // Custom
    ASSERT_FALSE(pane.labelsOverflow());
    // The page would keep its old width while the field shows what was typed.
    for (const char* typed : {"", "abc", "0"}) {
        type(pane, Pane::PaperHeightField, typed);
        EXPECT_TRUE(pane.labelsOverflow()) << typed;
        EXPECT_EQ(pane.overflowWarning(), QString("Type a paper width and height greater than 0."))
            << typed;
    }
    type(pane, Pane::PaperHeightField, "11");
    EXPECT_FALSE(pane.labelsOverflow());
    type(pane, Pane::LabelWidthField, "9");
    EXPECT_TRUE(pane.labelsOverflow());
    EXPECT_EQ(pane.overflowWarning(), QString("The labels do not fit on the page."));
}

TEST_F(PaperSizePane, SaysWhyAGridCannotBeChosen)
{
    struct Case
    {
        Pane::Field field;
        const char* typed;
        QString warning;
    };
    const QString noGrid = "Type at least one row and one column.";
    const QString noSize = "Type a label width and height greater than 0.";
    const Case cases[] = {
        {Pane::RowsField, "0", noGrid},
        {Pane::ColumnsField, "-1", noGrid},
        {Pane::RowsField, "abc", noGrid},
        {Pane::LabelWidthField, "-2", noSize},
        {Pane::LabelHeightField, "0", noSize},
        // A grid that could be laid out but runs off the page says so.
        {Pane::LabelWidthField, "9", "The labels do not fit on the page."},
        {Pane::RowsField, "20", "The labels do not fit on the page."},
    };
    for (const Case& c : cases) {
        Pane pane;
        pane.setDimensionInfo(addressSheet());
        ASSERT_FALSE(pane.labelsOverflow());
        type(pane, c.field, c.typed);
        EXPECT_TRUE(pane.labelsOverflow()) << c.typed;
        EXPECT_EQ(pane.overflowWarning(), c.warning) << c.typed;
    }
}

TEST_F(PaperSizePane, ClampsTheCornerRadiusToHalfTheShorterSide)
{
    platform::UserDefaults::standardUserDefaults().setInteger(2, unitKey);
    Pane pane;
    pane.setDimensionInfo(grid({{"labelType", 3},
                                {"paperSize", "Custom"},
                                {"labelWidth", 72.0},
                                {"labelHeight", 36.0},
                                {"cornerRadius", 4.0}}));
    EXPECT_TRUE(pane.cornerRadiusShown());
    type(pane, Pane::CornerRadiusField, "50");
    EXPECT_EQ(pane.field(Pane::CornerRadiusField)->text(), "18");
    EXPECT_EQ(pane.dimensionInfo().value("cornerRadius").toDouble(), 18.0);
}

TEST_F(PaperSizePane, OrientationButtonAlreadyOnChangesNothing)
{
    Pane pane;
    const QVariantMap layout = addressSheet();
    pane.setDimensionInfo(layout);
    pane.portraitButton()->click();
    EXPECT_TRUE(pane.portraitButton()->isChecked());
    EXPECT_FALSE(pane.landscapeButton()->isChecked());
    EXPECT_EQ(pane.dimensionInfo().value("numColumns").toLongLong(), 2);
    EXPECT_EQ(pane.dimensionInfo().value("labelType").toLongLong(), 1);
}

TEST_F(PaperSizePane, TurnsTheLayoutBetweenOrientationClasses)
{
    // Landscape on a portrait label sheet: 1 → 2 turns the sheet.
    Pane pane;
    pane.setDimensionInfo(addressSheet());
    pane.landscapeButton()->click();
    QVariantMap saved = pane.dimensionInfo();
    EXPECT_EQ(saved.value("labelType").toLongLong(), 2);
    EXPECT_EQ(saved.value("numColumns").toLongLong(), 7);
    EXPECT_EQ(saved.value("numRows").toLongLong(), 2);
    EXPECT_DOUBLE_EQ(saved.value("labelWidth").toDouble(), 108.0);
    EXPECT_DOUBLE_EQ(saved.value("pageWidth").toDouble(), 792.0);
    // The old right margin comes to the top.
    EXPECT_NEAR(saved.value("topMargin").toDouble(), 612 - 2 * 288 - 13.536 - 11.232, 1e-4);
    EXPECT_FALSE(Pane::labelsOverflowPage(saved));
    EXPECT_TRUE(pane.landscapeOrientation());
    EXPECT_FALSE(pane.labelsOverflow());

    // Rounded labels on a portrait sheet: 1 → 3, one class, nothing turns.
    Pane rounded;
    rounded.setDimensionInfo(addressSheet());
    EXPECT_EQ(rounded.mainViewHeight(), 400);
    rounded.cardTypePopupAction(1);
    saved = rounded.dimensionInfo();
    EXPECT_EQ(saved.value("labelType").toLongLong(), 3);
    EXPECT_EQ(saved.value("numColumns").toLongLong(), 2);
    EXPECT_TRUE(rounded.cornerRadiusShown());
    EXPECT_EQ(rounded.mainViewHeight(), 434);
}

TEST_F(PaperSizePane, RotatesAPaperDictionary)
{
    QVariantMap layout = addressSheet();
    Pane::rotatePaperDict(layout, true, 2);
    EXPECT_EQ(layout.value("numColumns").toLongLong(), 7);
    EXPECT_EQ(layout.value("numRows").toLongLong(), 2);
    EXPECT_NEAR(layout.value("topMargin").toDouble(), 612 - 2 * 288 - 13.536 - 11.232, 1e-4);
    EXPECT_NEAR(layout.value("leftMargin").toDouble(), 18.0, 1e-6);
    EXPECT_NEAR(layout.value("hLabelSpace").toDouble(), 0.0, 1e-6);
    EXPECT_NEAR(layout.value("vLabelSpace").toDouble(), 13.536, 1e-4);
    EXPECT_EQ(layout.value("pageWidth").toDouble(), 792.0);
    EXPECT_EQ(layout.value("pageHeight").toDouble(), 612.0);
    // And back: the bottom margin comes to the left, the sheet is as it was.
    Pane::rotatePaperDict(layout, false, 1);
    EXPECT_NEAR(layout.value("topMargin").toDouble(), 18.0, 1e-4);
    EXPECT_NEAR(layout.value("leftMargin").toDouble(), 11.232, 1e-4);
    EXPECT_NEAR(layout.value("labelWidth").toDouble(), 288.0, 1e-4);

    // A letterhead already in the wanted shape keeps its size; without a page size the
    // page keys are left alone.
    QVariantMap page{{"labelWidth", 792.0}, {"labelHeight", 612.0}};
    Pane::rotatePaperDict(page, true, 8);
    EXPECT_EQ(page.value("labelWidth").toDouble(), 792.0);
    EXPECT_FALSE(page.contains("pageWidth"));
}

TEST_F(PaperSizePane, ChangesKindOfSheet)
{
    // From an envelope to labels: the standard 2 x 7 address sheet on Letter, portrait.
    {
        Pane pane;
        pane.setDimensionInfo(envelope());
        EXPECT_FALSE(pane.labelBlockShown());
        EXPECT_EQ(pane.mainViewHeight(), 179);
        EXPECT_EQ(pane.paperSizeCaption(), "Envelope Size:");
        pane.cardTypePopupAction(0);
        const QVariantMap saved = pane.dimensionInfo();
        EXPECT_EQ(saved.value("labelType").toLongLong(), 1);
        EXPECT_EQ(saved.value("numRows").toLongLong(), 7);
        EXPECT_EQ(saved.value("numColumns").toLongLong(), 2);
        EXPECT_EQ(saved.value("labelWidth").toDouble(), 288.0);
        EXPECT_EQ(saved.value("labelHeight").toDouble(), 108.0);
        EXPECT_EQ(saved.value("category"), "Address Labels");
        EXPECT_FALSE(saved.contains("description"));
        EXPECT_FALSE(pane.landscapeButtonSelected());
        EXPECT_TRUE(pane.labelBlockShown());
        EXPECT_EQ(pane.paperSizeCaption(), "Paper Size:");
        EXPECT_EQ(pane.paperSizePopup()->currentText(), "US Letter");
    }
    // From labels to the envelope item: the landscape Size 10 envelope, whatever the
    // orientation was.
    for (qint64 from : {1, 2}) {
        Pane pane;
        QVariantMap layout = addressSheet();
        layout.insert("labelType", from);
        pane.setDimensionInfo(layout);
        pane.cardTypePopupAction(2);
        const QVariantMap saved = pane.dimensionInfo();
        EXPECT_EQ(saved.value("labelType").toLongLong(), 5) << from;
        EXPECT_EQ(saved.value("pageWidth").toDouble(), 684.0) << from;
        EXPECT_EQ(saved.value("pageHeight").toDouble(), 297.0) << from;
        EXPECT_EQ(saved.value("paperCode"), "Size 10") << from;
        EXPECT_TRUE(pane.landscapeButtonSelected()) << from;
        EXPECT_EQ(pane.paperSizePopup()->currentText(), "Size 10") << from;
        EXPECT_FALSE(pane.labelBlockShown()) << from;
    }
    // To letterhead: the Letter page, portrait, its page keys dropped.
    {
        Pane pane;
        pane.setDimensionInfo(addressSheet());
        pane.cardTypePopupAction(3);
        const QVariantMap saved = pane.dimensionInfo();
        EXPECT_EQ(saved.value("labelType").toLongLong(), 7);
        EXPECT_EQ(saved.value("category"), "Letterhead");
        EXPECT_EQ(saved.value("labelWidth").toDouble(), 612.0);
        EXPECT_FALSE(saved.contains("pageWidth"));
        EXPECT_EQ(pane.paperSizePopup()->currentText(), "US Letter");
    }
}

TEST_F(PaperSizePane, SelectsThePaperItemOfTheLayout)
{
    auto withCode = [](const QVariant& code) {
        QVariantMap layout = envelope();
        if (code.isValid())
            layout.insert("paperCode", code);
        else
            layout.remove("paperCode");
        return layout;
    };
    struct Case
    {
        const char* what;
        QVariantMap layout;
        const char* item;
    };
    const Case cases[] = {
        {"C6, not C65", withCode("C6"), "C6"},
        {"E6, not E65", withCode("E6"), "E6"},
        {"a paper name on an envelope", withCode("A4"), "Custom"},
        {"no envelope code", withCode(QVariant()), "Custom"},
        {"Letter", grid(), "US Letter"},
        {"Letter of another size", grid({{"pageHeight", 800.0}}), "Custom"},
        {"A4",
         grid({{"paperSize", "A4"}, {"pageWidth", 595.2755907}, {"pageHeight", 841.88976399}}),
         "A4"},
        {"A4 turned on its side",
         grid({{"paperSize", "A4"}, {"pageWidth", 841.88976399}, {"pageHeight", 595.2755907}}),
         "A4"},
        {"Letter turned on its side", grid({{"pageWidth", 792.0}, {"pageHeight", 612.0}}),
         "US Letter"},
        {"an unknown paper", grid({{"paperSize", "A4-Half"}}), "Custom"},
        {"no paper name", grid({{"paperSize", ""}}), "Custom"},
    };
    for (const Case& c : cases) {
        Pane pane;
        pane.setDimensionInfo(c.layout);
        EXPECT_EQ(pane.paperSizePopup()->currentText(), c.item) << c.what;
    }
}

TEST_F(PaperSizePane, PaperPopUpSetsThePage)
{
    // Envelopes: upright for 6, turned for 5; the centimetre sizes are A4 papers.
    struct Case
    {
        qint64 type;
        int index;
        QSizeF page;
        const char* paperSize;
    };
    const Case cases[] = {
        {6, 2, {297, 684}, "Letter"},
        {5, 2, {684, 297}, "Letter"},
        {6, 13, {11.4 * 28.3464567, 22.9 * 28.3464567}, "A4"},
        {6, 0, {261, 468}, "Letter"},
    };
    for (const Case& c : cases) {
        Pane pane;
        pane.setDimensionInfo(envelope(c.type));
        pane.paperSizePopupAction(c.index);
        const QVariantMap saved = pane.dimensionInfo();
        EXPECT_NEAR(saved.value("pageWidth").toDouble(), c.page.width(), 1e-3) << c.index;
        EXPECT_NEAR(saved.value("labelHeight").toDouble(), c.page.height(), 1e-3) << c.index;
        EXPECT_EQ(saved.value("paperSize"), c.paperSize) << c.index;
        EXPECT_EQ(saved.value("paperCode"), Pane::envelopeTitles().at(c.index)) << c.index;
        EXPECT_TRUE(pane.field(Pane::PaperWidthField)->isReadOnly());
    }
    // A4 on a landscape label sheet lays the long side across; so does landscape letterhead.
    for (qint64 type : {2, 8}) {
        Pane pane;
        QVariantMap layout = type == 8 ? QVariantMap{{"labelType", 8},
                                                     {"category", "Letterhead"},
                                                     {"labelWidth", 792.0},
                                                     {"labelHeight", 612.0},
                                                     {"paperSize", "Letter"}}
                                       : grid({{"labelType", 2}});
        pane.setDimensionInfo(layout);
        pane.paperSizePopupAction(1);
        const QVariantMap saved = pane.dimensionInfo();
        EXPECT_NEAR(saved.value("pageWidth").toDouble(), 841.88976399, 1e-6) << type;
        EXPECT_NEAR(saved.value("pageHeight").toDouble(), 595.2755907, 1e-6) << type;
        EXPECT_EQ(saved.value("paperSize"), "A4") << type;
        EXPECT_EQ(saved.value("labelType").toLongLong(), type);
    }
}

TEST_F(PaperSizePane, EnvelopeTable)
{
    double w = 0;
    double h = 0;
    EXPECT_EQ(Pane::envelopeTitles().size(), 25);
    for (int outside : {0, 25, -1, 100}) {
        EXPECT_EQ(Pane::envelopeSizeAtIndex(outside, &w, &h), 72.0);
        EXPECT_EQ(QSizeF(w, h), QSizeF(261, 468)) << outside;
    }
    EXPECT_EQ(Pane::envelopeSizeAtIndex(14, &w, &h), 28.3464567); // DL
    EXPECT_NEAR(w, 311.81, 0.01);
    EXPECT_NEAR(h, 623.62, 0.01);
}

TEST_F(PaperSizePane, DiscSheetBecomesOneFullPageLabel)
{
    struct Case
    {
        QSizeF page;
        qint64 type;
    };
    for (const Case& c : {Case{{612, 792}, 1}, Case{{792, 612}, 2}}) {
        Pane pane;
        pane.setDimensionInfo({{"category", "Disc Labels"},
                               {"labelType", 17},
                               {"pageWidth", c.page.width()},
                               {"pageHeight", c.page.height()},
                               {"labels", QVariantList{QVariantMap{{"x", 10}}}},
                               {"paperCode", "CD1"},
                               {"paperManufacturer", "Someone"}});
        const QVariantMap saved = pane.dimensionInfo();
        EXPECT_EQ(saved.value("labelType").toLongLong(), c.type);
        EXPECT_EQ(saved.value("numRows").toLongLong(), 1);
        EXPECT_EQ(saved.value("labelWidth").toDouble(), c.page.width());
        EXPECT_FALSE(saved.contains("labels"));
        EXPECT_FALSE(saved.contains("paperCode"));
        EXPECT_EQ(pane.landscapeButtonSelected(), c.type == 2);
        EXPECT_FALSE(pane.labelsOverflow());
    }
}

TEST_F(PaperSizePane, ItsViewCanBeRemadeFromTheLayout)
{
    Pane pane;
    pane.setDimensionInfo(envelope());
    delete pane.mainView();
    EXPECT_EQ(pane.paperSizeCaption(), "Envelope Size:");
    EXPECT_EQ(pane.paperSizePopup()->currentText(), "Size 10");
    EXPECT_EQ(pane.dimensionInfo().value("pageWidth").toDouble(), 684.0);
}
