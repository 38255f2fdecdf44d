// The Dimensions pane: position and size of the selection in the display unit, the
// length of straight lines, keeping proportions, and the perspective of images.

#include "canvas/LBGraphicView.h"
#include "controls/LBCompImageButton.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDPaneBuilder.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Beep.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"
#include "shapes/LBLine.h"

#include <cmath>

namespace {

constexpr qint64 perspectiveEffect = 32;
constexpr int paneHeight = 116;
constexpr int paneHeightWithPerspective = 160;

// The pane's view with its outlets.
struct SizeToolsView : QWidget
{
    HUDTextField* xLocField = nullptr;
    HUDTextField* yLocField = nullptr;
    HUDTextField* widthField = nullptr;
    HUDTextField* heightField = nullptr;
    HUDStepper* xLocStepper = nullptr;
    HUDStepper* yLocStepper = nullptr;
    HUDStepper* widthStepper = nullptr;
    HUDStepper* heightStepper = nullptr;
    HUDLabel* widthLabel = nullptr;
    QWidget* heightControls = nullptr;
    HUDCheckbox* constrainProportionsCheckbox = nullptr;
    LBCompImageButton* adjustPerspectiveButton = nullptr;
    LBCompImageButton* resetPerspectiveButton = nullptr;

    QList<HUDTextField*> fields() const { return {xLocField, yLocField, widthField, heightField}; }
    QList<HUDStepper*> steppers() const
    {
        return {xLocStepper, yLocStepper, widthStepper, heightStepper};
    }
};

QString hudText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

qint64 unitsType()
{
    return platform::UserDefaults::standardUserDefaults().integerForKey(
        QStringLiteral("Units Type"));
}

bool isBarcode(const LBGraphic* graphic)
{
    return dynamic_cast<const LBBarcodeImage*>(graphic) != nullptr;
}

// Width as the pane shows it: a line's length.
double shownWidth(const LBGraphic& graphic)
{
    if (const auto* line = dynamic_cast<const LBLine*>(&graphic))
        return line->lineLength();
    return graphic.bounds().width();
}

double shownHeight(const LBGraphic& graphic)
{
    return dynamic_cast<const LBLine*>(&graphic) ? 0.0 : graphic.bounds().height();
}

// A scale factor that leaves a flat side as it is (no division by zero).
double scaleFactor(double to, double from)
{
    return from != 0.0 ? to / from : 1.0;
}

QWidget* makeSizeTools(HUDWindowController& controller)
{
    auto* view = new SizeToolsView;
    view->resize(230, paneHeight);
    HUDPaneBuilder build(controller, view,
                         [&controller](QObject* sender) { controller.sizeToolsAction(sender); });
    const double far = 1.0e6;
    build.label(QStringLiteral("X"), 8, 8, 14);
    view->xLocField = build.field(QStringLiteral("_xLocField"), 22, 7, 70);
    view->xLocStepper = build.stepper(QStringLiteral("_xLocStepper"), 94, 5, -far, far, 1.0);
    build.label(QStringLiteral("Y"), 120, 8, 14);
    view->yLocField = build.field(QStringLiteral("_yLocField"), 134, 7, 70);
    view->yLocStepper = build.stepper(QStringLiteral("_yLocStepper"), 206, 5, -far, far, 1.0);
    view->widthLabel = build.label(hudText("Width"), 8, 36, 50, QStringLiteral("_widthLabel"));
    view->widthField = build.field(QStringLiteral("_widthField"), 60, 35, 100);
    view->widthStepper = build.stepper(QStringLiteral("_widthStepper"), 162, 33, 0.0, far, 1.0);
    view->heightControls = build.group(QStringLiteral("_heightControls"), 0, 60, 230, 26);
    build.setTarget(view->heightControls);
    build.label(hudText("Height"), 8, 4, 50);
    view->heightField = build.field(QStringLiteral("_heightField"), 60, 3, 100);
    view->heightStepper = build.stepper(QStringLiteral("_heightStepper"), 162, 1, 0.0, far, 1.0);
    build.setTarget(view);
    view->constrainProportionsCheckbox = build.checkbox(
        QStringLiteral("_constrainProportionsCheckbox"), hudText("Keep Proportions"), 8, 92, 200);
    view->adjustPerspectiveButton = build.button(QStringLiteral("_adjustPerspectiveButton"),
                                                 hudText("Adjust Perspective"), 8, 128, 130);
    view->resetPerspectiveButton = build.button(QStringLiteral("_resetPerspectiveButton"),
                                                hudText("Reset Perspective"), 144, 128, 78);
    view->adjustPerspectiveButton->hide();
    view->resetPerspectiveButton->hide();
    return view;
}

} // namespace

void HUDWindowController::registerDimensionsPane()
{
    Pane pane = paneRow(SizeTools, makeSizeTools, &HUDWindowController::updateSizeTools,
                        &HUDWindowController::sizeToolsAction);
    pane.fixedSize = QSize(-1, paneHeight);
    pane.selectionWillChange = [](HUDWindowController& c) {
        c.stopAdjustingPerspectiveIfNecessary();
    };
    pane.paneLeft = [](HUDWindowController& c) { c.stopAdjustingPerspectiveIfNecessary(); };
    registerPane(pane);
}

double HUDWindowController::convertValueToPixels(double value)
{
    switch (unitsType()) {
    case 0: return value * 72.0;
    case 1: return value * 28.3464567;
    default: return value;
    }
}

QString HUDWindowController::lengthText(double points)
{
    QString number;
    QString suffix;
    switch (unitsType()) {
    case 0:
        number = stripTrailingZerosFromString(QString::number(points / 72.0, 'f', 2));
        suffix = QStringLiteral("in");
        break;
    case 1:
        number = stripTrailingZerosFromString(QString::number(points / 28.3464567, 'f', 2));
        suffix = QStringLiteral("cm");
        break;
    default:
        number = QString::number(std::round(points), 'f', 0);
        suffix = QStringLiteral("pt");
        break;
    }
    if (number == QLatin1String("-0"))
        number = QStringLiteral("0");
    return number + QLatin1Char(' ') + suffix;
}

void HUDWindowController::stopAdjustingPerspectiveIfNecessary()
{
    if (_adjustingPerspective) {
        _adjustingPerspective = false;
        if (auto* view = paneOutlets<SizeToolsView>(SizeTools))
            view->adjustPerspectiveButton->setComponentImageString(
                HUDPaneBuilder::smallButtonImages());
        for (const LBGraphicPtr& graphic : _selectedGraphics) {
            graphic->setEffectLocationKnobType(0, 0);
            graphic->refreshGraphic(false);
            graphic->didChange();
        }
    }
    _effectWasAdded = false;
}

void HUDWindowController::updateSizeTools()
{
    if (_textChangeInvokedByTimer || _ignoreUpdates)
        return;
    auto* view = _currToolsTag == SizeTools ? paneOutlets<SizeToolsView>(SizeTools) : nullptr;
    LBGraphicView* canvas = graphicView();
    if (!view || !canvas || _selectedGraphics.isEmpty()) {
        if (view)
            for (HUDTextField* field : view->fields())
                field->clear();
        return;
    }
    // The selection comes in the order it was made: a group whose later member was picked
    // first is still read from its parent, the member that carries the group's size.
    const LBGraphic* first = _selectedGraphics.first().get();
    for (const LBGraphicPtr& graphic : std::as_const(_selectedGraphics)) {
        if (graphic->groupedChildrenCount() != 0
            && graphic->groupedChildrenCount() == _selectedGraphics.size() - 1) {
            first = graphic.get();
            break;
        }
    }
    QRectF rotated = first->rotatedBounds();
    QRectF bounds(first->bounds().topLeft(), QSizeF(shownWidth(*first), shownHeight(*first)));
    bool keepProportions = first->constrainProportions();
    bool allImages = dynamic_cast<const LBImage*>(first) && !isBarcode(first);
    bool anyBarcode = isBarcode(first);
    bool allLines = dynamic_cast<const LBLine*>(first) != nullptr;
    qsizetype count = _selectedGraphics.size();
    if (first->groupedChildrenCount() != 0) {
        if (first->rotation() != 0.0 || first->groupRotation() != 0.0)
            keepProportions = true;
        if (first->groupedChildrenCount() == count - 1) {
            // Exactly one group: shown as one item.
            rotated = first->groupRotatedDrawingBounds();
            bounds = first->groupBounds();
            count = 1;
        }
        allLines = false;
    }
    bool xMixed = false, yMixed = false, widthMixed = false, heightMixed = false;
    bool proportionsMixed = false;
    for (qsizetype i = 1; i < count; ++i) {
        const LBGraphic* graphic = _selectedGraphics.at(i).get();
        if (graphic->isGrouped() && (graphic->rotation() != 0.0 || graphic->groupRotation() != 0.0))
            keepProportions = true;
        const QRectF r = graphic->rotatedBounds();
        xMixed |= r.x() != rotated.x();
        yMixed |= r.y() != rotated.y();
        widthMixed |= shownWidth(*graphic) != bounds.width();
        heightMixed |= shownHeight(*graphic) != bounds.height();
        allLines &= dynamic_cast<const LBLine*>(graphic) != nullptr;
        allImages &= dynamic_cast<const LBImage*>(graphic) && !isBarcode(graphic);
        anyBarcode |= isBarcode(graphic);
        proportionsMixed |= graphic->constrainProportions() != keepProportions;
    }

    view->widthLabel->setText(hudText(allLines ? "Length" : "Width"));
    view->heightControls->setVisible(!allLines);
    const QPointF page = canvas->visiblePageRect().topLeft();
    rotated.translate(-page);
    bounds.translate(-page);
    const double values[4] = {rotated.x(), rotated.y(), bounds.width(), bounds.height()};
    const bool mixed[4] = {xMixed, yMixed, widthMixed, heightMixed};
    for (int i = 0; i < 4; ++i) {
        const QString text = mixed[i] ? QString() : lengthText(values[i]);
        view->fields().at(i)->setText(text);
        view->steppers().at(i)->setValue(values[i]);
        _origFieldStr[i] = text;
    }

    HUDCheckbox* proportions = view->constrainProportionsCheckbox;
    HUDPaneBuilder::setState(proportions, keepProportions, proportionsMixed);

    // Images get the perspective buttons in a taller pane.
    const double windowHeight = _window ? windowFrame().height() : 0.0;
    if (allImages != (windowHeight > 160.0)) {
        setWindowHeightForPane(allImages ? paneHeightWithPerspective : paneHeight, true);
        if (allImages)
            centerWindowUnderSelectedGraphics();
    }
    const QList<QWidget*> sizeControls = {view->widthField, view->heightField, view->widthStepper,
                                          view->heightStepper, proportions};
    for (QWidget* control : sizeControls)
        control->setEnabled(!anyBarcode);
    view->adjustPerspectiveButton->setVisible(allImages);
    view->resetPerspectiveButton->setVisible(allImages);
}

void HUDWindowController::sizeToolsAction(QObject* sender)
{
    auto* view = paneOutlets<SizeToolsView>(SizeTools);
    LBGraphicView* canvas = graphicView();
    if (!view || !canvas || _selectedGraphics.isEmpty())
        return;
    const QList<LBGraphicPtr> graphics = _selectedGraphics;

    if (sender == view->constrainProportionsCheckbox) {
        const bool on = HUDPaneBuilder::clickedState(view->constrainProportionsCheckbox);
        applyToSelection([on](LBGraphic& graphic) { graphic.setConstrainProportions(on); },
                         QStringLiteral("Constrain Proportions"));
        updateSizeTools();
        return;
    }
    if (sender == view->adjustPerspectiveButton || sender == view->resetPerspectiveButton) {
        const bool reset = sender == view->resetPerspectiveButton;
        _adjustingPerspective = reset ? false : !_adjustingPerspective;
        view->adjustPerspectiveButton->setComponentImageString(
            _adjustingPerspective ? HUDPaneBuilder::smallButtonPressedImages()
                                  : HUDPaneBuilder::smallButtonImages());
        const bool on = _adjustingPerspective;
        applyToSelection(
            [reset, on, this](LBGraphic& graphic) {
                if (reset) {
                    graphic.setEffectLocationKnobType(0, 0);
                    const qint64 index = graphic.indexOfEffect(perspectiveEffect);
                    if (index >= 0)
                        graphic.removeEffectAtIndex(index, false);
                } else if (on) {
                    if (graphic.indexOfEffect(perspectiveEffect) < 0) {
                        const qint64 d = LBGraphic::DefaultEffectModifier;
                        const QPointF l(LBGraphic::DefaultEffectLocationX, 0.0);
                        graphic.addEffect(perspectiveEffect, d, d, d, d, d, d, l, l, l, l, QColor(),
                                          false);
                        _effectWasAdded = true;
                    }
                    graphic.setEffectLocationKnobType(2, graphic.indexOfEffect(perspectiveEffect));
                } else {
                    graphic.setEffectLocationKnobType(0, 0);
                }
                graphic.refreshGraphic(false);
                graphic.didChange();
            },
            QStringLiteral("Perspective Change"));
        updateSizeTools();
        return;
    }

    // A field or a stepper: which value, and the value in points.
    int which = -1;
    double v = 0.0;
    for (int i = 0; i < 4; ++i) {
        if (sender == view->fields().at(i)) {
            which = i;
            const QString text = view->fields().at(i)->text();
            if (text == _origFieldStr.at(i))
                return;
            const std::optional<double> typed = platform::typedDouble(text);
            v = typed.value_or(0.0);
            if (!typed || (i < 2 ? !std::isfinite(v) : !(v > 0.0))) {
                // Refused, not taken as 0 (which would move the graphic to the page's
                // edge). Return puts the field back; while typing it is left alone.
                if (!_textChangeInvokedByTimer) {
                    platform::beep();
                    updateSizeTools();
                }
                return;
            }
            v = convertValueToPixels(v);
        } else if (sender == view->steppers().at(i)) {
            which = i;
            v = view->steppers().at(i)->value();
        }
    }
    if (which < 0)
        return;

    const QPointF page = canvas->visiblePageRect().topLeft();
    const bool lines = view->heightControls->isHidden();
    const bool boxKeeps = view->constrainProportionsCheckbox->checkState() != Qt::Unchecked;
    bool lengthSet = false;
    beginPaneAction();
    endInPlaceEditing();
    for (qsizetype i = 0; i < graphics.size(); ++i) {
        LBGraphic& graphic = *graphics.at(i);
        if (i == graphics.size() - 1)
            willChangeLastGraphic();
        const bool grouped = graphic.isGrouped();
        QRectF bounds = grouped ? graphic.groupBounds() : graphic.bounds();
        const QRectF rotated =
            (grouped ? graphic.groupRotatedDrawingBounds() : graphic.rotatedBounds())
                .translated(-page);
        const bool keep = grouped ? boxKeeps : graphic.constrainProportions();
        if (keep && which == 2 && bounds.width() != 0.0)
            bounds.setHeight(bounds.height() * v / bounds.width());
        else if (keep && which == 3 && bounds.height() != 0.0)
            bounds.setWidth(bounds.width() * v / bounds.height());
        if (which == 0) {
            // A move, never a resize, whatever the graphic's turn.
            bounds.translate(v - rotated.x(), 0.0);
        } else if (which == 1) {
            bounds.translate(0.0, v - rotated.y());
        } else if (which == 2) {
            if (lines && !grouped) {
                if (auto* line = dynamic_cast<LBLine*>(&graphic)) {
                    line->setLineLength(v);
                    lengthSet = true;
                    continue;
                }
            }
            bounds.setWidth(v);
        } else {
            bounds.setHeight(v);
        }
        if (!grouped) {
            if (!lengthSet)
                graphic.setBounds(bounds);
            continue;
        }
        const QRectF group = graphic.groupBounds();
        QRectF own = graphic.bounds();
        if (bounds.topLeft() != group.topLeft()) {
            own.translate(bounds.x() - group.x(), bounds.y() - group.y());
        } else {
            const double sx = scaleFactor(bounds.width(), group.width());
            const double sy = scaleFactor(bounds.height(), group.height());
            own = QRectF((own.x() - group.x()) * sx + bounds.x(),
                         (own.y() - group.y()) * sy + bounds.y(), own.width() * sx,
                         own.height() * sy);
        }
        graphic.setBounds(own);
        graphic.setGroupBounds(bounds);
    }
    _ignoreUpdates = false;
    if (!_textChangeInvokedByTimer)
        updateSizeTools();
}
