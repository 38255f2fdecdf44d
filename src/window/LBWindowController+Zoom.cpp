// The zoom: slider values mapped to zoom factors, the presets, zooming in, out, to 100 %
// and to fit, and the button bar's two pop-ups.

#include "window/LBWindowController.h"

#include "layouts/LBPageView.h"
#include "platform/drawing/Image.h"
#include "platform/ui/KXControlBar.h"
#include "platform/ui/KXPopUpImageButton.h"
#include "platform/ui/Slider.h"
#include "window/DesignModeController.h"
#include "window/PreviewModeController.h"

#include <QAbstractScrollArea>
#include <QFont>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<double, 15> Presets = {2.0,  2.3,   3.22,  4.37,  5.09,  6.0,    6.8, 7.3,
                                            7.93, 8.328, 8.828, 9.143, 9.538, 9.7865, 10.0};

// Values this close to 100 % snap to it.
constexpr double SnapLow = 5.7;
constexpr double SnapHigh = 6.3;

std::shared_ptr<platform::Image> image(const QString& name)
{
    return platform::Image::imageNamed(name);
}

void setUpPopup(platform::KXPopUpImageButton* popup, const QString& imageName,
                const QRectF& offsets)
{
    popup->setPopupImage(image(imageName));
    popup->setAlternatePopupImage(image(imageName));
    popup->setTitleRectOffsets(offsets);
    QFont font = popup->font();
    font.setPointSizeF(10);
    popup->setFont(font);
    popup->setFocusPolicy(Qt::NoFocus);
}

} // namespace

double LBWindowController::zoomFactorForSliderValue(double s)
{
    const double d = 12.0 - s;
    return 252.0 / (d * d + d * d * d);
}

double LBWindowController::presetZoomFactorForIndex(qint64 index)
{
    return index >= 0 && index < qint64(Presets.size()) ? Presets[size_t(index)] : 0.0;
}

double LBWindowController::zoomSliderValue() const
{
    return _zoomSlider ? _zoomSlider->doubleValue() : _zoomSliderValue;
}

void LBWindowController::setSliderValue(double value)
{
    const double clamped = std::clamp(value, MinZoomSliderValue, MaxZoomSliderValue);
    _zoomSliderValue = clamped;
    if (_zoomSlider)
        _zoomSlider->setDoubleValue(clamped);
}

void LBWindowController::setZoomSliderValue(double value)
{
    setSliderValue(value);
    zoomAction();
}

void LBWindowController::zoomAction()
{
    const double s = zoomSliderValue();
    if (s > SnapLow && s < SnapHigh)
        setSliderValue(ActualSizeZoomSliderValue);
    applyZoomSliderValue();
}

void LBWindowController::applyZoomSliderValue()
{
    _zoomFactor = zoomFactorForSliderValue(zoomSliderValue());
    if (_mode == PreviewMode && _createController)
        _createController->setZoomFactor(_zoomFactor);
    else if (_mode == DesignMode && _editController)
        _editController->setZoomFactor(_zoomFactor);
}

void LBWindowController::zoomIn(QObject* sender)
{
    Q_UNUSED(sender);
    const double s = zoomSliderValue();
    for (qint64 i = 1; i <= 14; ++i) {
        if (presetZoomFactorForIndex(i - 1) <= s && s < presetZoomFactorForIndex(i)) {
            setSliderValue(presetZoomFactorForIndex(i));
            break;
        }
    }
    applyZoomSliderValue();
}

void LBWindowController::zoomOut(QObject* sender)
{
    Q_UNUSED(sender);
    const double s = zoomSliderValue();
    for (qint64 i = 13; i >= 0; --i) {
        if (presetZoomFactorForIndex(i) < s && s <= presetZoomFactorForIndex(i + 1)) {
            setSliderValue(presetZoomFactorForIndex(i));
            break;
        }
    }
    applyZoomSliderValue();
}

void LBWindowController::zoomToActualSize(QObject* sender)
{
    Q_UNUSED(sender);
    setSliderValue(ActualSizeZoomSliderValue);
    applyZoomSliderValue();
}

LBPageView* LBWindowController::currentPageView() const
{
    if (_mode == DesignMode)
        return _editController ? _editController->pageView() : nullptr;
    return _createController ? _createController->pageView() : nullptr;
}

std::optional<double> LBWindowController::zoomToFitSliderValue(const QSizeF& pageAtActualSize,
                                                               const QSizeF& visibleSize)
{
    const QSizeF grown = pageAtActualSize + QSizeF(40, 40);
    const double ratio =
        std::min(visibleSize.width() / grown.width(), visibleSize.height() / grown.height());
    if (!(ratio >= 1.0))
        return std::nullopt;
    // Tenths of the slider, from the top down: the first whose zoom fits.
    for (int tenths = 100; tenths > 20; --tenths) {
        const double s = tenths / 10.0;
        if (zoomFactorForSliderValue(s) <= ratio)
            return s;
    }
    return std::nullopt;
}

void LBWindowController::zoomToFit()
{
    LBPageView* pageView = currentPageView();
    if (!pageView)
        return;
    QWidget* scroll = pageView->parentWidget();
    while (scroll && !qobject_cast<QAbstractScrollArea*>(scroll))
        scroll = scroll->parentWidget();
    const QSizeF visible = scroll ? QSizeF(scroll->size()) : QSizeF(pageView->size());
    const QRectF page = pageView->pageRectForPageNum(0, 7.0);
    const QSizeF actual(page.width() / _zoomFactor, page.height() / _zoomFactor);
    if (const std::optional<double> s = zoomToFitSliderValue(actual, visible))
        setZoomSliderValue(*s);
}

void LBWindowController::zoomToFitNewLayout()
{
    // Fitting only zooms in from 100 %: from the old layout's zoom, a larger new page
    // would stay zoomed in, cut off by the view.
    zoomToActualSize(nullptr);
    zoomToFit();
}

platform::KXPopUpImageButton* LBWindowController::dpiPopupButton()
{
    if (!_dpiPopupButton && _controlBar) {
        _dpiPopupButton = new platform::KXPopUpImageButton(_controlBar, false);
        setUpPopup(_dpiPopupButton, QStringLiteral("DpiPopup"), QRectF(19, 6, 12, 0));
        const QSizeF size = _dpiPopupButton->popupImage() ? _dpiPopupButton->popupImage()->size()
                                                          : QSizeF(60, ControlBarHeight);
        _dpiPopupButton->setGeometry(5, 0, int(size.width()), int(size.height()));
        _dpiPopupButton->setAutoenablesItems(false);
        _dpiPopupButton->show();
    }
    return _dpiPopupButton;
}

platform::KXPopUpImageButton* LBWindowController::zoomPopupButton()
{
    if (!_zoomPopupButton && _controlBar) {
        _zoomPopupButton = new platform::KXPopUpImageButton(_controlBar, false);
        const QString name =
            _mode == PreviewMode ? QStringLiteral("ZoomPopup2") : QStringLiteral("ZoomPopup");
        setUpPopup(_zoomPopupButton, name, QRectF(8, 6, 1, 0));
        const QSizeF size = _zoomPopupButton->popupImage() ? _zoomPopupButton->popupImage()->size()
                                                           : QSizeF(60, ControlBarHeight);
        // Right of the dpi pop-up's holder.
        int x = 0;
        if (_dpiPopupButton && _dpiPopupButton->parentWidget()) {
            const QWidget* holder = _dpiPopupButton->parentWidget();
            x = int(holder->x() + holder->width());
        }
        _zoomPopupButton->setGeometry(x, 0, int(size.width()), int(size.height()));
        _zoomPopupButton->addItemsWithTitles(
            {QStringLiteral("25%"), QStringLiteral("33%"), QStringLiteral("50%"),
             QStringLiteral("67%"), QStringLiteral("100%"), QStringLiteral("150%"),
             QStringLiteral("200%"), QStringLiteral("300%"), QStringLiteral("400%"),
             QStringLiteral("600%"), QStringLiteral("800%"), QStringLiteral("1200%"),
             QStringLiteral("1600%"), QStringLiteral("2100%"), QString(), QStringLiteral(" 100%")});
        _zoomPopupButton->selectItemAtIndex(4);
        _zoomPopupButton->show();
    }
    return _zoomPopupButton;
}

void LBWindowController::setZoomPercent(qint64 percent)
{
    platform::KXPopUpImageButton* popup = zoomPopupButton();
    if (!popup)
        return;
    popup->removeItemAtIndex(15);
    popup->addItemWithTitle(QStringLiteral(" %1%").arg(percent));
    popup->selectItemAtIndex(15);
    popup->update();
}
