#include "InspectorTestSupport.h"

#include "controls/LBCircularSlider.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDGradientControls.h"
#include "inspector/HUDPaneControls.h"
#include "inspector/HUDPaneViews.h"
#include "platform/ui/ColorWell.h"

#include <QAction>
#include <QTest>

#include <tuple>

namespace {

void choose(HUDPopUpButton* popup, int tag)
{
    QAction* item = hudpopup::itemWithTag(popup, tag);
    ASSERT_NE(item, nullptr) << tag;
    item->trigger();
}

// The colour pane stands in here as a minimal host: a container with the fill gradient's
// controls, reloaded by the pane's update, its other fill kinds counted.
class GradientToolsTest : public InspectorTest
{
protected:
    GradientToolsTest()
    {
        original = *HUDWindowController::paneForTag(HUDWindowController::ShapeColorTools);
        HUDWindowController::Pane row = original;
        row.factory = [this](HUDWindowController& controller) {
            auto* view = new QWidget;
            view->resize(HUDGradientControls::preferredSize(true));
            fill = new HUDGradientControls(controller, HUDGradientControls::FillGradient, view);
            fill->setOtherTypeHandler([this](int tag) { otherTypes.append(tag); });
            return view;
        };
        row.update = [this](HUDWindowController& controller) {
            if (!controller.ignoreUpdates())
                ++updates;
            fill->update();
        };
        row.fixedSize = HUDGradientControls::preferredSize(true);
        HUDWindowController::registerPane(row);
    }
    ~GradientToolsTest() override { HUDWindowController::registerPane(original); }

    // Rectangles on the page, selected, with the colour pane shown.
    QList<std::shared_ptr<LBRectangle>> showFill(int count)
    {
        QList<std::shared_ptr<LBRectangle>> shapes;
        QList<LBGraphicPtr> graphics;
        for (int i = 0; i < count; ++i) {
            shapes.append(add(QStringLiteral("r%1").arg(i), QRectF(20 + 60 * i, 20, 50, 50)));
            graphics.append(shapes.last());
        }
        selectOnly(graphics);
        palette->toolsPopupAction(HUDWindowController::ShapeColorTools);
        undo()->removeAllActions();
        return shapes;
    }
    HUDGradientControls* showText(const std::shared_ptr<LBTextArea>& box)
    {
        selectOnly({box});
        palette->toolsPopupAction(HUDWindowController::TextGradientTools);
        undo()->removeAllActions();
        auto* view = dynamic_cast<HUDTextGradientTools*>(palette->currentTools());
        return view ? view->controls() : nullptr;
    }

    HUDWindowController::Pane original;
    HUDGradientControls* fill = nullptr;
    QList<int> otherTypes;
    int updates = 0;
};

QStringList menuTexts(const HUDPopUpButton* popup)
{
    QStringList texts;
    for (QAction* item : hudpopup::items(popup))
        texts.append(item->isSeparator()
                         ? QStringLiteral("-")
                         : QStringLiteral("%1:%2").arg(item->data().toInt()).arg(item->text()));
    return texts;
}

} // namespace

TEST(GradientAngle, SnapsToZeroAndTheEighthsOfATurnAndShowsDegrees)
{
    const QString deg(QChar(0x00BA));
    const QList<std::tuple<double, double, QString>> cases = {
        {357, 0, QStringLiteral("0")},        {355, 0, QStringLiteral("0")},
        {5, 0, QStringLiteral("0")},          {6, 6, QStringLiteral("6")},
        {47, 45, QStringLiteral("45")},       {40, 45, QStringLiteral("45")},
        {39.5, 39.5, QStringLiteral("39.5")}, {51, 51, QStringLiteral("51")},
        {60, 60, QStringLiteral("60")},       {185, 180, QStringLiteral("180")},
        {310, 315, QStringLiteral("315")},    {350, 350, QStringLiteral("350")},
    };
    for (const auto& [angle, snapped, shown] : cases) {
        EXPECT_DOUBLE_EQ(HUDGradientControls::snappedAngle(angle), snapped) << angle;
        EXPECT_EQ(HUDGradientControls::angleText(snapped), shown + deg) << angle;
    }
    EXPECT_EQ(HUDGradientControls::angleText(360), QStringLiteral("0") + deg);
    EXPECT_EQ(HUDGradientControls::angleText(-10), QStringLiteral("0") + deg);
}

TEST_F(GradientToolsTest, TheDialStoresTheSnappedAngleAndUndoRestoresIt)
{
    auto shapes = showFill(2);
    shapes[0]->setGradientAngle(90);
    undo()->removeAllActions();
    LBCircularSlider* dial = fill->angleSlider();
    for (const auto& [turned, stored] :
         QList<QPair<double, double>>{{357, 0}, {60, 60}, {45, 45}}) {
        dial->setAngle(turned, 1.0);
        dial->sendAction();
        for (const auto& shape : shapes)
            EXPECT_DOUBLE_EQ(shape->gradientAngle(), stored) << turned;
        EXPECT_DOUBLE_EQ(dial->angle(), stored);
        EXPECT_EQ(fill->angleField()->text(), HUDGradientControls::angleText(stored));
        EXPECT_EQ(undoName(), undoStrings("Gradient Angle"));
    }
    undo()->undo();
    undo()->undo();
    undo()->undo();
    EXPECT_DOUBLE_EQ(shapes[0]->gradientAngle(), 90);
    EXPECT_DOUBLE_EQ(shapes[1]->gradientAngle(), 0);
}

TEST_F(GradientToolsTest, ThePopUpHoldsTheNineEntriesAfterEveryUpdate)
{
    auto shapes = showFill(1);
    const QStringList nine = menuTexts(fill->typePopup());
    ASSERT_EQ(nine.size(), 9);
    EXPECT_EQ(nine.at(0), QStringLiteral("0:None"));
    EXPECT_EQ(nine.at(8), QStringLiteral("5:Swap Colors"));
    hudpopup::addItem(fill->typePopup(), QStringLiteral("stray"), 77);
    for (const auto& [fillType, selectedTag] :
         QList<QPair<qint64, int>>{{2, 3}, {3, 4}, {1, 0}, {0, 0}}) {
        shapes[0]->setFillType(fillType);
        palette->updateSelectedTools();
        EXPECT_EQ(menuTexts(fill->typePopup()), nine);
        EXPECT_EQ(hudpopup::selectedTag(fill->typePopup()), selectedTag) << fillType;
    }
}

TEST_F(GradientToolsTest, TypesSwitchTheColourMaskOffAndHandOtherKindsToTheColourPane)
{
    auto shapes = showFill(1);
    shapes[0]->setColorMaskType(1, 50, 20, 100, 0, 0);
    undo()->removeAllActions();
    choose(fill->typePopup(), HUDGradientControls::RadialTag);
    EXPECT_EQ(shapes[0]->fillType(), 3);
    EXPECT_EQ(shapes[0]->colorMaskType(), 0);
    qint64 size = 0;
    shapes[0]->colorMaskType(nullptr, &size, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(size, 50); // only switched off
    EXPECT_EQ(undoName(), undoStrings("Gradient Type"));
    choose(fill->typePopup(), HUDGradientControls::LinearTag);
    EXPECT_EQ(shapes[0]->fillType(), 2);
    undo()->undo();
    undo()->undo();
    EXPECT_EQ(shapes[0]->fillType(), 1);
    EXPECT_EQ(shapes[0]->colorMaskType(), 1);

    for (int tag : {0, 1, 2})
        choose(fill->typePopup(), tag);
    EXPECT_EQ(otherTypes, QList<int>({0, 1, 2}));
}

TEST_F(GradientToolsTest, SwapTwiceRestoresTheColoursInTwoSteps)
{
    auto shapes = showFill(2);
    const QColor red(255, 0, 0, 128);
    const QColor blue(0, 0, 255);
    for (const auto& shape : shapes) {
        shape->setFillColor(red);
        shape->setFillColor1(blue);
        shape->setGraphicAlpha(0.5);
    }
    undo()->removeAllActions();
    palette->updateSelectedTools();
    updates = 0;
    choose(fill->typePopup(), HUDGradientControls::SwapColorsTag);
    EXPECT_EQ(undoName(), undoStrings("Gradient Color"));
    EXPECT_EQ(shapes[1]->storedFillColor(), blue);
    EXPECT_EQ(shapes[1]->storedFillColor1(), red);
    EXPECT_EQ(fill->leftColor()->color(), blue); // the pane updated
    choose(fill->typePopup(), HUDGradientControls::SwapColorsTag);
    EXPECT_EQ(undoName(), undoStrings("Gradient Color"));
    for (const auto& shape : shapes) {
        EXPECT_EQ(shape->storedFillColor(), red);
        EXPECT_EQ(shape->storedFillColor1(), blue);
    }
    EXPECT_EQ(fill->leftColor()->color(), red); // the stored colour, not the faded one
    undo()->undo();
    EXPECT_EQ(shapes[0]->storedFillColor(), blue);
    undo()->undo();
    EXPECT_EQ(shapes[0]->storedFillColor(), red);
    EXPECT_FALSE(undo()->canUndo());
}

TEST_F(GradientToolsTest, WellsAndSlidersWriteTheirValuesAndKeepAFadedColoursAlpha)
{
    auto shapes = showFill(3);
    for (const auto& shape : shapes)
        shape->setGraphicAlpha(0.5);
    undo()->removeAllActions();
    palette->updateSelectedTools();

    // Two edits of the left colour: its own alpha stays whole.
    for (const QColor& color : {QColor(10, 20, 30), QColor(40, 50, 60)}) {
        fill->leftColor()->setColor(color);
        Q_EMIT fill->leftColor()->colorChanged(color);
        EXPECT_EQ(undoName(), undoStrings("Gradient Color"));
    }
    for (const auto& shape : shapes)
        EXPECT_EQ(shape->storedFillColor(), QColor(40, 50, 60));
    fill->rightColor()->setColor(Qt::yellow);
    Q_EMIT fill->rightColor()->colorChanged(Qt::yellow);
    EXPECT_EQ(shapes[2]->storedFillColor1(), QColor(Qt::yellow));

    // The design window reloads the palette after every change of a graphic.
    const platform::ObserverToken refresher =
        platform::NotificationCenter::defaultCenter().addObserver(
            LBGraphicDidChange, nullptr,
            [this](const platform::Notification&) { palette->updateSelectedTools(); });
    updates = 0;
    fill->centerSlider()->setValue(300); // shows 1 − the centre
    EXPECT_EQ(updates, 1);               // one reload for three graphics
    EXPECT_EQ(undoName(), undoStrings("Gradient Center"));
    fill->sizeSlider()->setValue(250);
    EXPECT_EQ(undoName(), undoStrings("Gradient Size"));
    for (const auto& shape : shapes) {
        EXPECT_DOUBLE_EQ(shape->gradientCenter(), 0.7);
        EXPECT_DOUBLE_EQ(shape->gradientCenterSize(), 0.25);
    }
    undo()->undo();
    undo()->undo();
    EXPECT_DOUBLE_EQ(shapes[1]->gradientCenter(), 1.0);
    EXPECT_DOUBLE_EQ(shapes[1]->gradientCenterSize(), 0.01);
}

TEST_F(GradientToolsTest, TheTextGradientPaneSetsTheTextsGradient)
{
    auto box = addTextBox(QRectF(20, 200, 120, 40), QStringLiteral("Gradient"));
    box->setTextGradientColor1(Qt::red);
    box->setTextGradientColor2(Qt::blue);
    box->setTextGradientAngle(90);
    HUDGradientControls* text = showText(box);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(hudpopup::selectedTag(text->typePopup()), 0);
    EXPECT_EQ(text->leftColor()->color(), QColor(Qt::red));
    EXPECT_EQ(text->angleField()->text(), HUDGradientControls::angleText(90));

    const QList<std::tuple<int, qint64, const char*>> types = {
        {HUDGradientControls::RadialTag, 3, "Text Gradient Type"},
        {HUDGradientControls::LinearTag, 2, "Text Gradient Type"},
        {HUDGradientControls::NoneTag, 0, "Text Gradient Type"},
    };
    for (const auto& [tag, type, undoKey] : types) {
        choose(text->typePopup(), tag);
        EXPECT_EQ(box->textGradientType(), type) << tag;
        EXPECT_EQ(undoName(), undoStrings(undoKey)) << tag;
    }
    choose(text->typePopup(), HUDGradientControls::SwapColorsTag);
    EXPECT_EQ(undoName(), undoStrings("Text Gradient Color"));
    EXPECT_EQ(box->textGradientColor1(), QColor(Qt::blue));
    EXPECT_EQ(text->leftColor()->color(), QColor(Qt::blue));
    text->angleSlider()->setAngle(47, 1.0);
    text->angleSlider()->sendAction();
    EXPECT_DOUBLE_EQ(box->textGradientAngle(), 45);
    EXPECT_EQ(undoName(), undoStrings("Text Gradient Angle"));
    text->centerSlider()->setValue(800);
    EXPECT_DOUBLE_EQ(box->textGradientCenter(), 0.2);
    EXPECT_EQ(undoName(), undoStrings("Text Gradient Center"));
    for (int i = 0; i < 6; ++i)
        undo()->undo();
    EXPECT_EQ(box->textGradientType(), 0);
    EXPECT_EQ(box->textGradientColor1(), QColor(Qt::red));
    EXPECT_DOUBLE_EQ(box->textGradientAngle(), 90);
    EXPECT_DOUBLE_EQ(box->textGradientCenter(), 1.0);
}
