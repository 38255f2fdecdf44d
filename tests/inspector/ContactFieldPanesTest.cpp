#include "TextPaneTestSupport.h"

#include "inspector/HUDControls.h"
#include "inspector/HUDTextTools.h"
#include "platform/ui/Alert.h"
#include "shapes/LBRectangle.h"

#include <QPushButton>
#include <QTest>

namespace {

using Switches = HUDTextTools::ContactSwitches;
enum { L, R, T, B, Reduce, Increase, Spacing };

} // namespace

TEST(HUDTextTools, ContactFieldRule)
{
    struct Case
    {
        const char* name;
        Switches before; // after the click has toggled the sender (mixed: still mixed)
        int sender;
        Switches after;
        quint64 mask;
    };
    const QList<Case> cases = {
        {"left on clears the font options", {1, 0, 0, 0, 1, 0, 0}, L, {1, 0, 0, 0, 0, 0, 0}, 1},
        {"increase font with top and bottom off turns bottom on, spacing off",
         {0, 0, 0, 0, 0, 1, 1},
         Increase,
         {0, 0, 0, 1, 0, 1, 0},
         8 + 32},
        {"increase font with top on leaves bottom",
         {1, 0, 1, 0, 0, 1, 0},
         Increase,
         {0, 0, 1, 0, 0, 1, 0},
         4 + 32},
        {"bottom off with top off turns increase font off",
         {0, 0, 0, 0, 0, 1, 0},
         B,
         {0, 0, 0, 0, 0, 0, 0},
         0},
        {"spacing on clears sides and increase font",
         {1, 1, 1, 0, 0, 1, 1},
         Spacing,
         {0, 0, 1, 0, 0, 0, 1},
         4 + 64},
        {"a mixed sender goes on; mixed others count as off",
         {-1, 0, -1, 1, 0, 0, 0},
         L,
         {1, 0, -1, 1, 0, 0, 0},
         1 + 8},
        {"reduce font off leaves the rest",
         {0, 0, 1, 1, 0, 0, 0},
         Reduce,
         {0, 0, 1, 1, 0, 0, 0},
         12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Switches states = c.before;
        EXPECT_EQ(HUDTextTools::contactFieldRule(states, c.sender), c.mask);
        EXPECT_EQ(states, c.after);
    }
}

TEST_F(TextPaneTest, ContactFieldsShowMixedBitsAndSetTheMaskOnEveryBox)
{
    auto a = box(platform::AttributedString(QStringLiteral("a")));
    auto b = box(platform::AttributedString(QStringLiteral("b")), QRectF(100, 200, 200, 60));
    a->setTextResizeMask(5);
    b->setTextResizeMask(4);
    auto* pane = show<HUDContactFieldTools>({a, b}, HUDWindowController::ContactFieldTools);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->_leftSideSwitch->state(), -1);
    EXPECT_EQ(pane->_topSideSwitch->state(), 1);
    for (auto* box : {pane->_rightSideSwitch, pane->_bottomSideSwitch, pane->_reduceFontSwitch,
                      pane->_increaseFontSwitch, pane->_increaseSpacingSwitch})
        EXPECT_EQ(box->state(), 0);

    // A click on the mixed box turns it on for both.
    pane->_leftSideSwitch->click();
    EXPECT_EQ(pane->_leftSideSwitch->state(), 1);
    EXPECT_EQ(a->textResizeMask(), 5u);
    EXPECT_EQ(b->textResizeMask(), 5u);
    EXPECT_EQ(undoName(), undoStrings("Contact Field Settings"));

    // Increase font (top on): sides go off.
    pane->_increaseFontSwitch->click();
    EXPECT_EQ(a->textResizeMask(), 4u + 32u);
    undo()->undo();
    EXPECT_EQ(b->textResizeMask(), 5u);
}

TEST_F(TextPaneTest, TextPositionShowsPercentAndReverses)
{
    auto shape = place(std::make_shared<LBRectangle>());
    shape->setContents(QStringLiteral("around"));
    shape->setShapeWithTextXLoc(0.256);
    auto* pane = show<HUDShapeWithTextTools>({shape}, HUDWindowController::ShapeWithTextTools);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->_shapeWithTextXLocField->text(), "25%");
    EXPECT_EQ(pane->_shapeWithTextXLocSlider->value(), 256);
    EXPECT_EQ(HUDShapeWithTextTools::percentText(0.999), "99%");

    auto other = place(std::make_shared<LBRectangle>(), QRectF(300, 100, 80, 60));
    other->setContents(QStringLiteral("b"));
    other->setShapeWithTextReverse(true);
    show<HUDShapeWithTextTools>({shape, other}, HUDWindowController::ShapeWithTextTools);
    EXPECT_EQ(pane->_shapeWithTextXLocField->text(), "0%");
    EXPECT_EQ(pane->_shapeWithTextReverseCheckbox->state(), -1);
    pane->_shapeWithTextReverseCheckbox->click();
    EXPECT_TRUE(shape->shapeWithTextReverse());
    EXPECT_EQ(undoName(), undoStrings("Reverse Path"));
    pane->_shapeWithTextXLocSlider->setValue(500);
    EXPECT_EQ(shape->shapeWithTextXLoc(), 0.5);
    EXPECT_EQ(other->shapeWithTextXLoc(), 0.5);
    EXPECT_EQ(pane->_shapeWithTextXLocField->text(), "50%");
    EXPECT_EQ(undoName(), undoStrings("Change Text Position"));
}

TEST_F(TextPaneTest, ContactSourceFillsSampleDataOnlyWhenEmpty)
{
    auto empty = place(LBBarcodeImage::withBarcodeType(LBPOSTNETBarcode));
    empty->setBarcodeDataString(QString());
    auto full = place(LBBarcodeImage::withBarcodeType(LBPOSTNETBarcode), QRectF(300, 100, 80, 60));
    full->setBarcodeDataString(QStringLiteral("98101"));
    auto* pane = show<HUDBarcodeTools>({empty, full}, HUDWindowController::BarcodeTools);
    ASSERT_TRUE(pane);
    EXPECT_EQ(HUDBarcodeTools::radioState(pane->_barcodeManualRadioButton), 1);
    EXPECT_EQ(pane->_barcodeManualText->text(), QString());
    pane->_barcodeABRadioButton->click();
    EXPECT_EQ(empty->barcodeDataSource(), 2);
    EXPECT_EQ(empty->barcodeDataString(), empty->dummyDataString());
    EXPECT_EQ(full->barcodeDataString(), "98101");
    EXPECT_EQ(HUDBarcodeTools::radioState(pane->_barcodeManualRadioButton), 0);

    full->setBarcodeDataSource(1);
    full->setImportFieldIndex(3);
    palette->updateSelectedTools();
    EXPECT_EQ(HUDBarcodeTools::radioState(pane->_barcodeABRadioButton), -1);
    EXPECT_EQ(HUDBarcodeTools::radioState(pane->_barcodeImportRadioButton), -1);
    EXPECT_EQ(pane->_barcodeImportPopup->indexOfSelectedItem(), -1);
}

TEST_F(TextPaneTest, PostnetDigitsReplaceTheTypedTextOnReturnOnly)
{
    auto barcode = place(LBBarcodeImage::withBarcodeType(LBPOSTNETBarcode));
    barcode->setBarcodeDataString(QStringLiteral("12345"));
    auto* pane = show<HUDBarcodeTools>({barcode}, HUDWindowController::BarcodeTools);
    pane->_barcodeManualText->setFocus();
    pane->_barcodeManualText->clear();
    QTest::keyClicks(pane->_barcodeManualText, QStringLiteral("ab98-101"));
    QTRY_COMPARE_WITH_TIMEOUT(barcode->barcodeDataString(), QStringLiteral("98101"), 2000);
    EXPECT_EQ(pane->_barcodeManualText->text(), "ab98-101");
    // The palette refreshes after the barcode changed, as it does on screen: the field
    // still holds what is being typed.
    palette->updateSelectedTools();
    EXPECT_EQ(pane->_barcodeManualText->text(), "ab98-101");
    QTest::keyClick(pane->_barcodeManualText, Qt::Key_Return);
    EXPECT_EQ(pane->_barcodeManualText->text(), "98101");
    EXPECT_EQ(barcode->bounds().size(), barcode->barcodeImageSize());
}

TEST_F(TextPaneTest, ARejectedTextKeepsTheBarcodeAndItsBounds)
{
    auto barcode = place(LBBarcodeImage::withBarcodeType(LBUPCABarcode));
    barcode->setBounds(QRectF(QPointF(100, 100), barcode->barcodeImageSize()));
    const QRectF bounds = barcode->bounds();
    const QString text = barcode->barcodeDataString();
    auto* pane = show<HUDBarcodeTools>({barcode}, HUDWindowController::BarcodeTools);
    QStringList alerts;
    platform::Alert::setResponder([&alerts](const platform::Alert& alert, QWidget*) {
        alerts << alert.messageText << alert.informativeText;
        return platform::Alert::Response{};
    });
    pane->_barcodeManualText->setFocus();
    pane->_barcodeManualText->clear();
    QTest::keyClicks(pane->_barcodeManualText, QStringLiteral("12AB"));
    QTest::qWait(700); // the typing commit: silent
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_EQ(barcode->barcodeDataString(), text);
    // Return: the user is told why, in words.
    QTest::keyClick(pane->_barcodeManualText, Qt::Key_Return);
    platform::Alert::setResponder(nullptr);
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[0], QStringLiteral("The barcode cannot encode \u201c12AB\u201d."));
    EXPECT_FALSE(alerts[1].isEmpty());
    EXPECT_EQ(pane->_barcodeManualText->toolTip(), alerts[1]);
    EXPECT_EQ(pane->_barcodeManualText->text(), "12AB");
    EXPECT_EQ(barcode->barcodeDataString(), text);
    EXPECT_EQ(barcode->bounds(), bounds);
    EXPECT_TRUE(barcode->isValidBarcode());
}

TEST_F(TextPaneTest, ModifierShowsADashForDifferentShapes)
{
    auto five = place(std::make_shared<LBPolygon>());
    five->setModifier1(5);
    auto six = place(std::make_shared<LBPolygon>(), QRectF(300, 100, 80, 60));
    six->setModifier1(6);
    auto* pane = show<HUDModifiedShapeTools>({five, six}, HUDWindowController::ModifiedShapeTools);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->_modifiedShapeValueText->text(), "-");
    EXPECT_EQ(pane->_modifiedShapeSlider->value(), 5);
    EXPECT_EQ(pane->_modifiedShapeSlider->minimum(), int(five->minModifier1()));
    EXPECT_EQ(pane->_modifiedShapeSlider->maximum(), int(five->maxModifier1()));
    pane->_modifiedShapeSlider->setValue(8);
    EXPECT_EQ(five->modifier1(), 8);
    EXPECT_EQ(six->modifier1(), 8);
    EXPECT_EQ(pane->_modifiedShapeValueText->text(), "8");
    EXPECT_EQ(undoName(), undoStrings("Modify Shape"));
}
