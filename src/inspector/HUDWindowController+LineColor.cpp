// The Color pane of lines: stroke colour, width and dash style, and the arrow heads at
// both ends with their sizes.

#include "canvas/LBGraphicView.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDPaneBuilder.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/Bundle.h"
#include "platform/ui/ColorWell.h"
#include "shapes/LBLine.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

#include <cmath>

namespace {

constexpr int arrowKinds = 11;

struct LineColorToolsView : QWidget
{
    platform::ColorWell* lineStrokeColor = nullptr;
    HUDTextField* lineStrokeSizeField = nullptr;
    HUDStepper* lineStrokeSizeStepper = nullptr;
    HUDPopUpButton* lineStrokeStylePopup = nullptr;
    HUDPopUpButton* endpoint1Popup = nullptr;
    HUDPopUpButton* endpoint2Popup = nullptr;
    HUDStepper* endpoint1Stepper = nullptr;
    HUDStepper* endpoint2Stepper = nullptr;
    HUDLabel* endpoint1SizeField = nullptr;
    HUDLabel* endpoint2SizeField = nullptr;
};

QString hudText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

HUDPopUpButton* arrowPopUp(HUDPaneBuilder& build, const QString& name, int x, int y)
{
    HUDPopUpButton* popUp = build.popUp(name, x, y, 64);
    popUp->addItem(hudText("None"), 0);
    for (int type = 1; type <= arrowKinds; ++type)
        popUp->addItem(QString(), type);
    return popUp;
}

QWidget* makeLineColorTools(HUDWindowController& controller)
{
    auto* view = new LineColorToolsView;
    view->resize(230, 90);
    HUDPaneBuilder build(controller, view, [&controller](QObject* sender) {
        controller.lineColorToolsAction(sender);
    });
    build.label(hudText("Stroke"), 8, 8, 44);
    view->lineStrokeColor = build.colorWell(QStringLiteral("_lineStrokeColor"), 52, 6, 32);
    view->lineStrokeSizeField = build.field(QStringLiteral("_lineStrokeSizeField"), 90, 7, 44);
    view->lineStrokeSizeStepper =
        build.stepper(QStringLiteral("_lineStrokeSizeStepper"), 136, 5, 0.0, 1000.0, 1.0);
    view->lineStrokeStylePopup = build.popUp(QStringLiteral("_lineStrokeStylePopup"), 154, 7, 70);
    HUDWindowController::setImagesForStrokeStylePopup(view->lineStrokeStylePopup, false);
    view->lineStrokeColor->setColor(Qt::black);
    view->lineStrokeSizeField->setText(QStringLiteral("1"));
    view->lineStrokeSizeStepper->setValue(1.0);

    build.label(hudText("Start"), 8, 38, 44);
    view->endpoint1Popup = arrowPopUp(build, QStringLiteral("_endpoint1Popup"), 52, 37);
    view->endpoint1Stepper =
        build.stepper(QStringLiteral("_endpoint1Stepper"), 120, 35, 0.25, 10.0, 0.25);
    view->endpoint1SizeField =
        build.label(QString(), 138, 38, 30, QStringLiteral("_endpoint1SizeField"));
    build.label(hudText("End"), 8, 64, 44);
    view->endpoint2Popup = arrowPopUp(build, QStringLiteral("_endpoint2Popup"), 52, 63);
    view->endpoint2Stepper =
        build.stepper(QStringLiteral("_endpoint2Stepper"), 120, 61, 0.25, 10.0, 0.25);
    view->endpoint2SizeField =
        build.label(QString(), 138, 64, 30, QStringLiteral("_endpoint2SizeField"));
    return view;
}

// Arrow sizes read as quarters.
QString arrowSizeText(double size)
{
    return QString::number(qint64(std::trunc(size * 4.0)));
}

} // namespace

void HUDWindowController::registerLineColorPane()
{
    registerPane(paneRow(LineColorTools, makeLineColorTools,
                         &HUDWindowController::updateLineColorTools,
                         &HUDWindowController::lineColorToolsAction));
}

void HUDWindowController::updateLineColorTools()
{
    if (_ignoreUpdates)
        return;
    auto* view =
        _currToolsTag == LineColorTools ? paneOutlets<LineColorToolsView>(LineColorTools) : nullptr;
    if (!view || !graphicView() || _selectedGraphics.isEmpty()) {
        if (view)
            view->lineStrokeSizeField->clear();
        return;
    }
    if (!_endpointImagesLoaded) {
        for (int end = 1; end <= 2; ++end) {
            HUDPopUpButton* popUp = end == 1 ? view->endpoint1Popup : view->endpoint2Popup;
            const QList<QAction*> items = popUp->itemMenu()->actions();
            for (int type = 1; type <= arrowKinds && type < items.size(); ++type) {
                const QString name =
                    QString::asprintf(end == 1 ? "ArrowLeft%d" : "ArrowRight%d", type);
                popUp->setItemPicture(items.at(type), name);
            }
        }
        _endpointImagesLoaded = true;
    }
    const LBGraphic& first = *_selectedGraphics.first();
    const QColor color =
        first.storedStrokeColor().isValid() ? first.storedStrokeColor() : QColor(Qt::black);
    const double width = first.strokeLineWidth();
    const qint64 style = strokeStyleForPattern(first.getLineDashPattern(), first.lineDashCount());
    bool widthMixed = false, styleMixed = false, type1Mixed = false, type2Mixed = false;
    bool size1Mixed = false, size2Mixed = false;
    for (qsizetype i = 1; i < _selectedGraphics.size(); ++i) {
        const LBGraphic& g = *_selectedGraphics.at(i);
        widthMixed |= g.strokeLineWidth() != width;
        styleMixed |= strokeStyleForPattern(g.getLineDashPattern(), g.lineDashCount()) != style;
        type1Mixed |= g.arrow1Type() != first.arrow1Type();
        type2Mixed |= g.arrow2Type() != first.arrow2Type();
        size1Mixed |= g.arrow1Size() != first.arrow1Size();
        size2Mixed |= g.arrow2Size() != first.arrow2Size();
    }
    if (!HUDWindowController::color(view->lineStrokeColor->color(), color))
        view->lineStrokeColor->setColor(color);
    view->lineStrokeSizeField->setText(
        widthMixed
            ? QString()
            : stripTrailingZerosFromString(QString::asprintf("%f", width)) + QStringLiteral(" pt"));
    view->lineStrokeSizeStepper->setValue(width);
    const QList<QAction*> styles = view->lineStrokeStylePopup->itemMenu()->actions();
    view->lineStrokeStylePopup->selectItem(styles.value(styleMixed ? 0 : int(style)));
    const auto selectArrow = [](HUDPopUpButton* popUp, bool mixed, qint64 type) {
        popUp->selectItem(mixed ? nullptr : popUp->itemMenu()->actions().value(int(type)));
    };
    selectArrow(view->endpoint1Popup, type1Mixed, first.arrow1Type());
    selectArrow(view->endpoint2Popup, type2Mixed, first.arrow2Type());
    view->endpoint1Stepper->setValue(first.arrow1Size());
    view->endpoint2Stepper->setValue(first.arrow2Size());
    view->endpoint1SizeField->setText(size1Mixed ? QStringLiteral("-")
                                                 : arrowSizeText(first.arrow1Size()));
    view->endpoint2SizeField->setText(size2Mixed ? QStringLiteral("-")
                                                 : arrowSizeText(first.arrow2Size()));
}

void HUDWindowController::lineColorToolsAction(QObject* sender)
{
    auto* view = paneOutlets<LineColorToolsView>(LineColorTools);
    if (!view || !graphicView() || _selectedGraphics.isEmpty())
        return;
    const LBGraphic& first = *_selectedGraphics.first();
    if (sender == view->lineStrokeColor) {
        const QColor color = view->lineStrokeColor->color();
        applyToSelection([&](LBGraphic& g) { g.setStrokeColor(color); },
                         QStringLiteral("Set Stroke Color"));
    } else if (sender == view->lineStrokeSizeField || sender == view->lineStrokeSizeStepper) {
        if (applyStrokeWidth(sender == view->lineStrokeSizeStepper, view->lineStrokeSizeField,
                             view->lineStrokeSizeStepper)
            && !_textChangeInvokedByTimer)
            updateLineColorTools();
    } else if (sender == view->lineStrokeStylePopup) {
        LBGraphic::DashPattern pattern{};
        qint64 count = 0;
        valuesForStrokeStyle(view->lineStrokeStylePopup->indexOfSelectedItem(), &pattern, &count);
        applyToSelection([&](LBGraphic& g) { g.setLineDash(pattern, count); },
                         QStringLiteral("Line Style"));
    } else if (sender == view->endpoint1Popup || sender == view->endpoint2Popup) {
        const bool end1 = sender == view->endpoint1Popup;
        const qint64 type = static_cast<HUDPopUpButton*>(sender)->indexOfSelectedItem();
        if (type < 0)
            return;
        applyToSelection(
            [&](LBGraphic& g) {
                if (auto* line = dynamic_cast<LBLine*>(&g))
                    end1 ? line->setArrow1Type(type) : line->setArrow2Type(type);
            },
            QStringLiteral("Set Arrow Type"));
    } else if (sender == view->endpoint1Stepper || sender == view->endpoint2Stepper) {
        const bool end1 = sender == view->endpoint1Stepper;
        const double size = static_cast<HUDStepper*>(sender)->value();
        applyToSelection(
            [&](LBGraphic& g) {
                if (auto* line = dynamic_cast<LBLine*>(&g))
                    end1 ? line->setArrow1Size(size) : line->setArrow2Size(size);
            },
            QStringLiteral("Set Arrow Size"));
        view->endpoint1SizeField->setText(arrowSizeText(first.arrow1Size()));
        view->endpoint2SizeField->setText(arrowSizeText(first.arrow2Size()));
    }
}
