// The Color pane of shapes, text boxes and images: the fill kind and colour, the stroke's
// colour, width and dash style, the soft colour (a colour mask painted inside the
// outline) and the tint of images. Gradient fills show the gradient controls, whose own
// type pop-up hands "None", "Solid Color" and "Soft Color" back to this pane.

#include "canvas/LBGraphicView.h"
#include "controls/LBCircularSlider.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDGradientControls.h"
#include "inspector/HUDPaneBuilder.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Archive.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/Bundle.h"
#include "platform/ui/ColorWell.h"
#include "shapes/LBImage.h"

#include <QAction>
#include <QButtonGroup>
#include <QIcon>
#include <QMenu>
#include <QResizeEvent>

#include <cmath>

namespace {

constexpr qint64 tintEffect = 3;
constexpr int fillRowHeight = 34;
constexpr int strokeRowHeight = 25;
const QChar degreeSign(0x00BA);

QString hudText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

struct ShapeColorToolsView : QWidget
{
    QWidget* shapeFillControlsView = nullptr;
    QWidget* gradientControlsView = nullptr;
    HUDGradientControls* gradientControls = nullptr;
    QWidget* softFillControlsView = nullptr;
    QWidget* imageTintControlsView = nullptr;
    QWidget* strokeControlsView = nullptr;
    HUDPopUpButton* shapeFillStylePopup = nullptr;
    platform::ColorWell* shapeFillColor = nullptr;
    platform::ColorWell* shapeStrokeColor = nullptr;
    HUDTextField* shapeStrokeSizeField = nullptr;
    HUDStepper* shapeStrokeSizeStepper = nullptr;
    HUDPopUpButton* shapeStrokeStylePopup = nullptr;
    QButtonGroup* softFillTypeMatrix = nullptr;
    HUDValueControls softFillOffset, softFillSize, softFillSoftness, softFillOpacity;
    LBCircularSlider* softFillAngleSlider = nullptr;
    HUDLabel* softFillAngleField = nullptr;
    platform::ColorWell* imageTintColor = nullptr;
    HUDSlider* imageTintSlider = nullptr;
    HUDLabel* imageTintField = nullptr;

protected:
    // The stroke controls stay at the bottom whatever the layout.
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        if (strokeControlsView)
            strokeControlsView->move(0, height() - strokeRowHeight);
    }
};

HUDValueControls softFillRow(HUDPaneBuilder& build, const char* name, const char* title, int y)
{
    return build.valueRow(QStringLiteral("_softFill") + QLatin1String(name), hudText(title), y, 50,
                          56, 30, 100, 100.0);
}

QWidget* makeShapeColorTools(HUDWindowController& controller)
{
    auto* view = new ShapeColorToolsView;
    view->resize(230, 69);
    HUDPaneBuilder build(controller, view, [&controller](QObject* sender) {
        controller.shapeColorToolsAction(sender);
    });

    view->shapeFillControlsView =
        build.group(QStringLiteral("_shapeFillControlsView"), 0, 0, 230, fillRowHeight);
    build.setTarget(view->shapeFillControlsView);
    build.label(hudText("Fill"), 8, 9, 44);
    view->shapeFillStylePopup = build.popUp(QStringLiteral("_shapeFillStylePopup"), 52, 8, 112);
    view->shapeFillColor = build.colorWell(QStringLiteral("_shapeFillColor"), 174, 7);

    view->imageTintControlsView =
        build.group(QStringLiteral("_imageTintControlsView"), 0, 0, 230, fillRowHeight);
    build.setTarget(view->imageTintControlsView);
    build.label(hudText("Tint"), 8, 9, 44);
    view->imageTintColor = build.colorWell(QStringLiteral("_imageTintColor"), 52, 7, 32);
    view->imageTintColor->setColor(Qt::red);
    view->imageTintSlider = build.slider(QStringLiteral("_imageTintSlider"), 92, 10, 90, 0, 100);
    view->imageTintField = build.label(QString(), 188, 9, 36, QStringLiteral("_imageTintField"));
    view->imageTintControlsView->hide();

    view->gradientControlsView =
        build.group(QStringLiteral("_gradientControlsView"), 0, 0, 230, 137 - strokeRowHeight);
    view->gradientControlsView->hide();

    view->softFillControlsView =
        build.group(QStringLiteral("_softFillControlsView"), 0, fillRowHeight, 230,
                    200 - fillRowHeight - strokeRowHeight);
    build.setTarget(view->softFillControlsView);
    auto* inside = new HUDRadioButton(hudText("Soft Center"), view->softFillControlsView);
    inside->setObjectName(QStringLiteral("_softFillTypeMatrixColumn0"));
    inside->setGeometry(8, 2, 100, 18);
    auto* outside = new HUDRadioButton(hudText("Soft Edges"), view->softFillControlsView);
    outside->setObjectName(QStringLiteral("_softFillTypeMatrixColumn1"));
    outside->setGeometry(112, 2, 110, 18);
    view->softFillTypeMatrix = new QButtonGroup(view->softFillControlsView);
    view->softFillTypeMatrix->setObjectName(QStringLiteral("_softFillTypeMatrix"));
    view->softFillTypeMatrix->addButton(inside, 0);
    view->softFillTypeMatrix->addButton(outside, 1);
    QObject::connect(view->softFillTypeMatrix, &QButtonGroup::idClicked, view, [&controller, view] {
        controller.shapeColorToolsAction(view->softFillTypeMatrix);
    });
    view->softFillOffset = softFillRow(build, "Offset", "Offset", 26);
    view->softFillSize = softFillRow(build, "Size", "Size", 52);
    view->softFillSoftness = softFillRow(build, "Softness", "Softness", 78);
    view->softFillOpacity = softFillRow(build, "Opacity", "Opacity", 104);
    view->softFillAngleSlider = build.dial(QStringLiteral("_softFillAngleSlider"), 168, 30, 56, 72);
    view->softFillAngleField =
        build.label(QString(), 168, 88, 56, QStringLiteral("_softFillAngleField"));
    view->softFillAngleField->setAlignment(Qt::AlignCenter);
    view->softFillControlsView->hide();

    view->strokeControlsView = build.group(QStringLiteral("_strokeControlsView"), 0,
                                           69 - strokeRowHeight, 230, strokeRowHeight);
    build.setTarget(view->strokeControlsView);
    build.label(hudText("Stroke"), 8, 4, 44);
    view->shapeStrokeColor = build.colorWell(QStringLiteral("_shapeStrokeColor"), 52, 2, 32);
    view->shapeStrokeSizeField = build.field(QStringLiteral("_shapeStrokeSizeField"), 90, 3, 44);
    view->shapeStrokeSizeStepper =
        build.stepper(QStringLiteral("_shapeStrokeSizeStepper"), 136, 1, 0.0, 1000.0, 1.0);
    view->shapeStrokeStylePopup = build.popUp(QStringLiteral("_shapeStrokeStylePopup"), 154, 3, 70);
    HUDWindowController::setImagesForStrokeStylePopup(view->shapeStrokeStylePopup, true);
    view->shapeStrokeColor->setColor(Qt::black);
    view->shapeFillColor->setColor(Qt::black);
    view->shapeStrokeSizeField->setText(QStringLiteral("1"));
    view->shapeStrokeSizeStepper->setValue(1.0);

    view->gradientControls = new HUDGradientControls(controller, HUDGradientControls::FillGradient,
                                                     view->gradientControlsView);
    view->gradientControls->setOtherTypeHandler([&controller, view](int) {
        controller.shapeColorToolsAction(view->gradientControls->typePopup());
    });
    return view;
}

const LBGraphic::DashPattern strokeStylePatterns[11] = {
    {0, 0, 0, 0}, {1, 1, 0, 0},  {1, 2, 0, 0}, {1, 3, 0, 0}, {1, 6, 0, 0}, {5, 2, 0, 0},
    {5, 5, 0, 0}, {10, 4, 0, 0}, {9, 9, 0, 0}, {5, 2, 1, 2}, {8, 4, 2, 4}};

qint64 strokeStyleCount(qint64 style)
{
    return style == 0 ? 0 : style < 9 ? 2 : 4;
}

void selectItemWithTag(HUDPopUpButton* popUp, qint64 tag)
{
    for (QAction* item : popUp->itemMenu()->actions())
        if (!item->isSeparator() && item->data().toLongLong() == tag) {
            popUp->selectItem(item);
            return;
        }
    popUp->selectItem(nullptr);
}

void selectItemAtIndex(HUDPopUpButton* popUp, int index)
{
    const QList<QAction*> items = popUp->itemMenu()->actions();
    popUp->selectItem(index >= 0 && index < items.size() ? items.at(index) : nullptr);
}

} // namespace

void HUDWindowController::registerShapeColorPane()
{
    Pane pane =
        paneRow(ShapeColorTools, makeShapeColorTools, &HUDWindowController::updateShapeColorTools,
                &HUDWindowController::shapeColorToolsAction);
    pane.fixedSize = QSize(-1, 69);
    registerPane(pane);
}

// --- Pure rules ---

qint64 HUDWindowController::fillKindForGraphic(const LBGraphic& graphic)
{
    const qint64 fill = graphic.fillType();
    const qint64 mask = graphic.colorMaskType();
    if (fill == 2)
        return LinearGradientFillKind;
    if (fill == 3)
        return RadialGradientFillKind;
    if ((fill == 0 || fill == 1) && mask >= 1)
        return SoftFillKind;
    if (fill == 1 && mask == 0)
        return SolidFillKind;
    return NoFillKind;
}

qint64 HUDWindowController::strokeStyleForPattern(const LBGraphic::DashPattern& pattern,
                                                  qint64 count)
{
    if (count != 2 && count != 4)
        return 0;
    for (qint64 style = 1; style <= 10; ++style) {
        if (strokeStyleCount(style) != count)
            continue;
        const LBGraphic::DashPattern& lengths = strokeStylePatterns[style];
        if (std::equal(lengths.begin(), lengths.begin() + count, pattern.begin()))
            return style;
    }
    return 0;
}

void HUDWindowController::valuesForStrokeStyle(qint64 style, LBGraphic::DashPattern* pattern,
                                               qint64* count)
{
    // Anything but a known style is a solid line, never unset lengths.
    if (style < 0 || style > 10)
        style = 0;
    *count = strokeStyleCount(style);
    if (style != 0)
        *pattern = strokeStylePatterns[style];
}

void HUDWindowController::setImagesForStrokeStylePopup(HUDPopUpButton* popUp, bool hasNoneItem)
{
    popUp->itemMenu()->clear();
    popUp->selectItem(nullptr);
    if (hasNoneItem)
        popUp->addItem(hudText("None"), -1);
    for (qint64 style = 0; style <= 10; ++style) {
        QAction* item = popUp->addItem(QString(), style);
        const QString name = QStringLiteral("StrokeStyle%1").arg(style + 1);
        popUp->setItemPicture(item, name);
    }
    selectItemAtIndex(popUp, 0);
}

double HUDWindowController::steppedStrokeWidth(double width, bool up)
{
    if (up)
        return width + (width >= 1.0 ? 1.0 : 0.25);
    return width - (width > 1.0 ? 1.0 : 0.25);
}

QString HUDWindowController::strokeWidthText(double width)
{
    return stripTrailingZerosFromString(QString::asprintf("%f", width)) + QStringLiteral(" pt");
}

bool HUDWindowController::applyStrokeWidth(bool fromStepper, QLineEdit* field, HUDStepper* stepper)
{
    const LBGraphic& first = *_selectedGraphics.first();
    const double typed = platform::doubleValue(field->text());
    // One direction for the whole selection, from the first graphic; each graphic steps
    // from its own width.
    if (fromStepper && stepper->value() == first.strokeLineWidth())
        return false;
    const bool up = stepper->value() > first.strokeLineWidth();
    applyToSelection(
        [&](LBGraphic& g) {
            const double width = fromStepper ? steppedStrokeWidth(g.strokeLineWidth(), up) : typed;
            if (width > 0.0 && width < 1000.0)
                g.setStrokeLineWidth(width);
        },
        QStringLiteral("Set Stroke Width"));
    return true;
}

QString HUDWindowController::angleText(double angle)
{
    if (angle > 359.0)
        angle -= 360.0;
    if (angle > 0.0 && angle < 360.0)
        return stripTrailingZerosFromString(QString::asprintf("%f", angle)) + degreeSign;
    return QStringLiteral("0") + degreeSign;
}

bool HUDWindowController::color(const QColor& color, const QColor& isEqualTo)
{
    if (!color.isValid() || !isEqualTo.isValid())
        return false;
    return color.toRgb() == isEqualTo.toRgb();
}

// --- The pane ---

void HUDWindowController::updateSoftFillAngleText(double angle)
{
    if (auto* view = paneOutlets<ShapeColorToolsView>(ShapeColorTools))
        view->softFillAngleField->setText(angleText(angle));
}

void HUDWindowController::updateImageTintControlsForGraphic(const LBGraphic& graphic)
{
    auto* view = paneOutlets<ShapeColorToolsView>(ShapeColorTools);
    if (!view)
        return;
    qint64 strength = 0;
    const qint64 index = graphic.indexOfEffect(tintEffect);
    if (index >= 0) {
        const QVariantMap entry = graphic.effectDictionaryAtIndex(index);
        strength = platform::integerValue(entry.value(QStringLiteral("modifier0")));
        const QByteArray data = entry.value(QStringLiteral("colorData")).toByteArray();
        if (!data.isEmpty())
            if (const std::optional<QColor> tint = platform::Archive::colorFromArchivedData(data))
                view->imageTintColor->setColor(*tint);
    }
    HUDPaneBuilder::setValue(view->imageTintSlider, int(strength));
    view->imageTintField->setText(QString::number(strength));
}

void HUDWindowController::setWindowHeightForShapeToolsType(qint64 type, bool animate)
{
    auto* view = paneOutlets<ShapeColorToolsView>(ShapeColorTools);
    if (!view)
        return;
    const int height = type == PlainShapeTools || type == ImageTintShapeTools ? 69
                       : type == SoftFillShapeTools                           ? 200
                       : type == GradientShapeTools                           ? 137
                                                                              : 41;
    const double windowHeight = windowFrame().height();
    const auto near = [windowHeight](double h) { return std::abs(windowHeight - h) <= 5.0; };
    const int present = near(220) ? 200 : near(157) ? 137 : near(89) ? 69 : 41;

    if (type != SoftFillShapeTools)
        view->softFillControlsView->hide();
    if (type == ImageTintShapeTools || type == GradientShapeTools)
        view->shapeFillControlsView->hide();
    const QRect fill = view->shapeFillControlsView->geometry();
    if (type == ImageTintShapeTools) {
        view->imageTintControlsView->move(view->imageTintControlsView->x(), fill.y());
        view->imageTintControlsView->show();
    } else {
        view->imageTintControlsView->hide();
    }
    if (type == GradientShapeTools) {
        // y down: the tops meet.
        view->gradientControlsView->move(view->gradientControlsView->x(), fill.y());
        view->gradientControlsView->show();
    } else {
        view->gradientControlsView->hide();
    }
    if (height != present || view->height() != height) {
        setWindowHeightForPane(height, animate);
        if (height > present)
            centerWindowUnderSelectedGraphics();
    }
    if (type == SoftFillShapeTools)
        view->softFillControlsView->show();
    if (type != ImageTintShapeTools && type != GradientShapeTools)
        view->shapeFillControlsView->show();
}

void HUDWindowController::updateShapeColorTools()
{
    if (_ignoreUpdates)
        return;
    auto* view = _currToolsTag == ShapeColorTools
                     ? paneOutlets<ShapeColorToolsView>(ShapeColorTools)
                     : nullptr;
    if (!view || !graphicView() || _selectedGraphics.isEmpty()) {
        if (view)
            view->shapeStrokeSizeField->clear();
        return;
    }
    const LBGraphic& first = *_selectedGraphics.first();
    const LBGraphic& last = *_selectedGraphics.last();
    QColor fillColor;
    qint64 kind = NoFillKind;
    qint64 maskType = 0, maskSize = 0, softness = 0, opacity = 0, offset = 0, angle = 0;
    if (first.canDrawFill()) {
        fillColor = first.storedFillColor().isValid() ? first.storedFillColor() : QColor(Qt::black);
        kind = fillKindForGraphic(first);
        first.colorMaskType(&maskType, &maskSize, &softness, &opacity, &offset, &angle);
    }
    const QColor strokeColor =
        first.storedStrokeColor().isValid() ? first.storedStrokeColor() : QColor(Qt::black);
    const bool drawsStroke = first.drawsStroke();
    const double width = first.strokeLineWidth();
    const qint64 style = strokeStyleForPattern(first.getLineDashPattern(), first.lineDashCount());
    bool kindMixed = false, strokeMixed = false, widthMixed = false, styleMixed = false;
    bool allImages = dynamic_cast<const LBImage*>(&first) != nullptr;
    for (qsizetype i = 1; i < _selectedGraphics.size(); ++i) {
        const LBGraphic& graphic = *_selectedGraphics.at(i);
        kindMixed |= graphic.canDrawFill() && fillKindForGraphic(graphic) != kind;
        strokeMixed |= graphic.drawsStroke() != drawsStroke;
        widthMixed |= graphic.strokeLineWidth() != width;
        styleMixed |=
            strokeStyleForPattern(graphic.getLineDashPattern(), graphic.lineDashCount()) != style;
        allImages &= dynamic_cast<const LBImage*>(&graphic) != nullptr;
    }

    qint64 type = PlainShapeTools;
    if (allImages) {
        type = ImageTintShapeTools;
        updateImageTintControlsForGraphic(last);
    } else if (kind == LinearGradientFillKind || kind == RadialGradientFillKind) {
        type = GradientShapeTools;
        view->gradientControls->update();
    } else {
        type = last.colorMaskType() != 0 ? SoftFillShapeTools : PlainShapeTools;
    }
    setWindowHeightForShapeToolsType(type, false);

    HUDPopUpButton* fillPopUp = view->shapeFillStylePopup;
    fillPopUp->itemMenu()->clear();
    fillPopUp->selectItem(nullptr);
    fillPopUp->addItem(hudText("None"), NoFillKind);
    fillPopUp->itemMenu()->addSeparator();
    fillPopUp->addItem(hudText("Solid Color"), SolidFillKind);
    fillPopUp->addItem(hudText("Soft Color"), SoftFillKind);
    fillPopUp->itemMenu()->addSeparator();
    fillPopUp->addItem(hudText("Linear Gradient"), LinearGradientFillKind);
    fillPopUp->addItem(hudText("Radial Gradient"), RadialGradientFillKind);
    fillPopUp->selectItem(nullptr);
    if (last.canDrawFill()) {
        if (!color(view->shapeFillColor->color(), fillColor))
            view->shapeFillColor->setColor(fillColor);
        if (kindMixed)
            fillPopUp->selectItem(nullptr);
        else
            selectItemWithTag(fillPopUp, kind);
    }

    if (!color(view->shapeStrokeColor->color(), strokeColor))
        view->shapeStrokeColor->setColor(strokeColor);
    view->shapeStrokeSizeField->setText(
        widthMixed
            ? QString()
            : stripTrailingZerosFromString(QString::asprintf("%f", width)) + QStringLiteral(" pt"));
    view->shapeStrokeSizeStepper->setValue(width);
    if (strokeMixed || (styleMixed && drawsStroke))
        view->shapeStrokeStylePopup->selectItem(nullptr);
    else
        selectItemAtIndex(view->shapeStrokeStylePopup, drawsStroke ? int(style) + 1 : 0);

    {
        const QSignalBlocker blocker(view->softFillTypeMatrix);
        view->softFillTypeMatrix->button(maskType == 2 ? 1 : 0)->setChecked(true);
    }
    const std::pair<HUDValueControls*, qint64> values[] = {{&view->softFillOffset, offset},
                                                           {&view->softFillSize, maskSize},
                                                           {&view->softFillSoftness, softness},
                                                           {&view->softFillOpacity, opacity}};
    for (const auto& [control, value] : values)
        control->show(value, QString::number(value), false);
    view->softFillAngleSlider->setAngle(450.0 - double(angle), 1.0);
    updateSoftFillAngleText(450.0 - double(angle));
}

void HUDWindowController::shapeColorToolsAction(QObject* sender)
{
    auto* view = paneOutlets<ShapeColorToolsView>(ShapeColorTools);
    if (!view || !graphicView() || _selectedGraphics.isEmpty())
        return;
    const auto setMask = [](LBGraphic& g, qint64 type, qint64 size, qint64 softness, qint64 opacity,
                            qint64 offset, qint64 angle) {
        g.setColorMaskType(type, size, softness, opacity, offset, angle);
    };

    if (sender == view->shapeFillColor) {
        const QColor color = view->shapeFillColor->color();
        applyToSelection([&](LBGraphic& g) { g.setFillColor(color); },
                         QStringLiteral("Set Fill Color"));
    } else if (sender == view->shapeStrokeColor) {
        const QColor color = view->shapeStrokeColor->color();
        applyToSelection([&](LBGraphic& g) { g.setStrokeColor(color); },
                         QStringLiteral("Set Stroke Color"));
    } else if (sender == view->shapeStrokeStylePopup) {
        const int index = view->shapeStrokeStylePopup->indexOfSelectedItem();
        LBGraphic::DashPattern pattern{};
        qint64 count = 0;
        valuesForStrokeStyle(index > 0 ? index - 1 : 0, &pattern, &count);
        applyToSelection(
            [&](LBGraphic& g) {
                g.setDrawsStroke(index != 0);
                g.setLineDash(pattern, count);
            },
            QStringLiteral("Stroke Style"));
    } else if (sender == view->shapeFillStylePopup
               || sender == view->gradientControls->typePopup()) {
        // The fill style pop-up, or the gradient controls' pop-up handing back a plain kind.
        auto* popUp = static_cast<HUDPopUpButton*>(sender);
        if (!popUp->selectedItem())
            return;
        const qint64 tag = popUp->selectedItem()->data().toLongLong();
        const bool column1 = view->softFillTypeMatrix->checkedId() == 1;
        if (tag < NoFillKind || tag > RadialGradientFillKind)
            return;
        applyToSelection(
            [&](LBGraphic& g) {
                if (tag == SoftFillKind) {
                    g.setFillType(0);
                    setMask(g, column1 ? 2 : 1, -1, -1, -1, -1, -1);
                    return;
                }
                g.setFillType(tag == SolidFillKind ? 1 : tag == NoFillKind ? 0 : tag - 1);
                setMask(g, 0, -1, -1, -1, -1, -1);
            },
            QStringLiteral("Fill Type"));
    } else if (sender == view->shapeStrokeSizeField || sender == view->shapeStrokeSizeStepper) {
        if (!applyStrokeWidth(sender == view->shapeStrokeSizeStepper, view->shapeStrokeSizeField,
                              view->shapeStrokeSizeStepper))
            return;
    } else if (sender == view->imageTintSlider) {
        const qint64 v = view->imageTintSlider->value();
        const QColor tint = view->imageTintColor->color();
        beginPaneAction();
        const QList<LBGraphicPtr> graphics = _selectedGraphics;
        for (qsizetype i = 0; i < graphics.size(); ++i) {
            LBGraphic& g = *graphics.at(i);
            if (i == graphics.size() - 1)
                willChangeLastGraphic();
            const qint64 index = g.indexOfEffect(tintEffect);
            if (index < 0 && v > 0) {
                const qint64 d = LBGraphic::DefaultEffectModifier;
                const QPointF l(LBGraphic::DefaultEffectLocationX, 0.0);
                g.addEffect(tintEffect, v, d, d, d, d, d, l, l, l, l, tint, false);
            } else if (index >= 0 && v == 0) {
                g.removeEffectAtIndex(index, false);
            } else if (index >= 0) {
                g.setEffectModifier(v, QStringLiteral("modifier0"), index, false);
            }
        }
        _ignoreUpdates = false;
        updateImageTintControlsForGraphic(*graphics.first());
        return;
    } else if (sender == view->imageTintColor) {
        const QColor tint = view->imageTintColor->color();
        beginPaneAction();
        const QList<LBGraphicPtr> graphics = _selectedGraphics;
        for (qsizetype i = 0; i < graphics.size(); ++i) {
            if (i == graphics.size() - 1)
                willChangeLastGraphic();
            const qint64 index = graphics.at(i)->indexOfEffect(tintEffect);
            if (index >= 0)
                graphics.at(i)->setEffectColor(tint, index, false);
        }
        _ignoreUpdates = false;
        return;
    } else if (sender == view->softFillTypeMatrix) {
        const qint64 type = view->softFillTypeMatrix->checkedId() == 1 ? 2 : 1;
        applyToSelection([&](LBGraphic& g) { setMask(g, type, -1, -1, -1, -1, -1); },
                         QStringLiteral("Soft Fill Style"));
    } else if (sender == view->softFillAngleSlider) {
        const qint64 angle = qint64(std::trunc(450.0 - view->softFillAngleSlider->angle()));
        applyToSelection([&](LBGraphic& g) { setMask(g, -1, -1, -1, -1, -1, angle); },
                         QStringLiteral("Soft Fill Angle"));
        updateSoftFillAngleText(view->softFillAngleSlider->angle());
    } else {
        // One of the four soft-colour values: its slider, field or stepper.
        const std::pair<HUDValueControls*, const char*> rows[] = {
            {&view->softFillOffset, "Soft Fill Offset"},
            {&view->softFillSize, "Soft Fill Size"},
            {&view->softFillSoftness, "Soft Fill Softness"},
            {&view->softFillOpacity, "Soft Fill Opacity"}};
        for (int row = 0; row < 4; ++row) {
            const HUDValueControls& control = *rows[row].first;
            if (!control.owns(sender))
                continue;
            const qint64 v = control.value(sender);
            if (v < 0) // refused (-1 would mean "keep"): shown again below
                break;
            applyToSelection(
                [&](LBGraphic& g) {
                    setMask(g, -1, row == 1 ? v : -1, row == 2 ? v : -1, row == 3 ? v : -1,
                            row == 0 ? v : -1, -1);
                },
                QLatin1String(rows[row].second));
        }
    }
    if (!_textChangeInvokedByTimer)
        updateShapeColorTools();
}
