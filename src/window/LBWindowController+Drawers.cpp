// The window's geometry: the button bar, the three split views and the widths and
// heights they remember, the design drawer pane and the layers view below the drawer's
// browsers.

#include "window/LBWindowController.h"

#include "canvas/LBGraphicView.h"
#include "controls/LBSliderView.h"
#include "controls/LBSplitView.h"
#include "layouts/LBPageView.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/KXControlBar.h"
#include "platform/ui/KXPopUpImageButton.h"
#include "window/DesignModeController.h"
#include "window/LayersPane.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString localized(const QString& text)
{
    return platform::LocalizedString(text, {});
}

// The widget's frame in the coordinates of `in`.
QRect frameIn(const QWidget* widget, const QWidget* in)
{
    return QRect(widget->mapTo(in, QPoint(0, 0)), widget->size());
}

constexpr int LayersAnimationMilliseconds = 250;

} // namespace

// ---- Drawer pane ----------------------------------------------------------------------

void LBWindowController::layOutDesignSplitView()
{
    if (!_designContainer)
        return;
    const QSize container = _designContainer->size();
    int width = container.width();
    if (!_designDrawerIsOpen)
        width += int(_drawerWidth) + _designSplitView->handleWidth();
    _designSplitView->setGeometry(0, 0, width, container.height());
    if (!_designDrawerIsOpen)
        _designSplitView->setSizes({container.width(), int(_drawerWidth)});
}

void LBWindowController::openDesignDrawer(bool open)
{
    if (open == _designDrawerIsOpen)
        return;
    _designDrawerIsOpen = open;
    if (!open)
        _drawerWidth = _drawerSuperview->width();
    layOutDesignSplitView();
    if (open) {
        const int split = _designSplitView->width() - _designSplitView->handleWidth();
        _designSplitView->setSizes({split - int(_drawerWidth), int(_drawerWidth)});
    }
    repositionLayersButton();
}

void LBWindowController::updateDrawerWidth()
{
    if (!_designSplitView)
        return;
    const int w = int(defaults().floatForKey(QStringLiteral("Graphics Drawer Width")));
    const int split = _designSplitView->width() - _designSplitView->handleWidth();
    _designSplitView->setSizes({split - w, w});
    _designSplitView->update();
}

void LBWindowController::drawerButtonAction(QObject* sender)
{
    Q_UNUSED(sender);
    if (_editController)
        _editController->openDrawer(!_editController->drawerIsOpen(), true, true);
}

void LBWindowController::updateDrawerButton()
{
    if (!_drawerButton)
        return;
    const bool open = _editController && _editController->drawerIsOpen();
    _drawerButton->setText(
        localized(open ? QStringLiteral("Hide Browsers") : QStringLiteral("Show Browsers")));
}

void LBWindowController::openiCorbeilsDrawer()
{
    if (!_editController)
        return;
    _editController->openDrawer(true, true, true);
    _editController->setDrawerMode(3);
}

// ---- Layers view ----------------------------------------------------------------------

qint64 LBWindowController::layersViewOpeningHeight(qint64 storedHeight, double drawerSplitHeight)
{
    double h = storedHeight > 1 ? double(storedHeight) : 150.0;
    if (drawerSplitHeight - h < 250)
        h = drawerSplitHeight - 250;
    return h < 1 ? 1 : qint64(h);
}

bool LBWindowController::layersViewIsAnimating() const
{
    return _layersAnimation && _layersAnimation->state() == QAbstractAnimation::Running;
}

void LBWindowController::setLayersHeight(double height, bool animated)
{
    const int total = _drawerSplitView->height() - _drawerSplitView->handleWidth();
    auto apply = [this, total](double h) {
        const int layers = int(std::clamp(h, 0.0, double(total)));
        _drawerSplitView->setSizes({total - layers, layers});
    };
    if (!animated) {
        apply(height);
        return;
    }
    if (!_layersAnimation) {
        _layersAnimation = new QVariantAnimation(this);
        _layersAnimation->setDuration(LayersAnimationMilliseconds);
    }
    _layersAnimation->stop();
    _layersAnimation->disconnect(this);
    _layersAnimation->setStartValue(double(_drawerBottomView->height()));
    _layersAnimation->setEndValue(height);
    connect(_layersAnimation, &QVariantAnimation::valueChanged, this,
            [apply](const QVariant& value) { apply(value.toDouble()); });
    _layersAnimation->start();
}

void LBWindowController::layersButtonAction(QObject* sender)
{
    if (!_drawerSplitView || (!_layersController && !LayersPane::hasFactory()))
        return;
    const bool opening = !_layersController;
    const double splitHeight = _drawerSplitView->height();
    double h = 1;
    if (opening)
        h = double(layersViewOpeningHeight(
            defaults().integerForKey(QStringLiteral("LayersViewHeight")), splitHeight));
    else
        _saveLayersViewHeight = false;
    setLayersHeight(h, sender != nullptr);
    if (opening) {
        if (!sender) {
            addLayersView();
        } else {
            QTimer::singleShot(LayersAnimationMilliseconds, this, [this] {
                if (!_layersController)
                    addLayersView();
            });
            defaults().setBool(false, QStringLiteral("LayersViewIsClosed"));
        }
    } else {
        if (QWidget* view = _layersController->view())
            view->setParent(nullptr);
        _layersController.reset();
        _layersButton->setText(localized(QStringLiteral("Show Layers")));
        if (sender)
            defaults().setBool(true, QStringLiteral("LayersViewIsClosed"));
    }
}

void LBWindowController::addLayersView()
{
    _layersController = LayersPane::make();
    if (!_layersController)
        return;
    QWidget* view = _layersController->view();
    if (view) {
        if (!_drawerBottomView->layout()) {
            auto* layout = new QVBoxLayout(_drawerBottomView);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
        }
        _drawerBottomView->layout()->addWidget(view);
        view->setGeometry(0, 0, _drawerBottomView->width(), _drawerBottomView->height());
        view->show();
    }
    _layersController->setSplitter(_drawerSplitView);
    _layersController->setDocument(document());
    _layersController->setEditController(_editController.get());
    _layersController->setViewMinWidth0(150, 300);
    _layersButton->setText(localized(QStringLiteral("Hide Layers")));
    _saveLayersViewHeight = true;
}

void LBWindowController::repositionLayersButton()
{
    if (!_layersButton)
        return;
    const bool shows = _mode == DesignMode && _editController && _editController->drawerIsOpen()
                       && LayersPane::hasFactory();
    if (!shows) {
        _layersButton->hide();
        return;
    }
    int x = _sliderView->x() + _sliderView->width() + 10;
    if (_drawerSplitView)
        x = std::max(x, frameIn(_drawerSplitView, _contentView).x() + 3);
    _layersButton->move(x, _layersButton->y());
    _layersButton->show();
}

// ---- Button bar -----------------------------------------------------------------------

void LBWindowController::updateButtonBarPosition()
{
    if (!_controlBar)
        return;
    const bool design = _mode == DesignMode;
    // 1.-2. The zoom pop-up starts at the dpi pop-up's right edge (design) or at the
    // sheets' left edge (preview).
    int edge = 0;
    if (design)
        edge = _dpiPopupButton ? _dpiPopupButton->x() + _dpiPopupButton->width() : 0;
    else
        edge = frameIn(_previewView, _contentView).x() - 1;
    platform::KXPopUpImageButton* zoom = zoomPopupButton();
    const auto picture = platform::Image::imageNamed(design ? QStringLiteral("ZoomPopup")
                                                            : QStringLiteral("ZoomPopup2"));
    zoom->setPopupImage(picture);
    zoom->setAlternatePopupImage(picture);
    zoom->move(edge, zoom->y());
    // 3. The slider centred under the mode's view, right of the pop-up.
    const QRect host = frameIn(design ? _designView : _previewView, _contentView);
    const double centred = host.x() + (host.width() - _sliderView->width()) / 2.0;
    const int sliderX = int(std::max(centred, double(zoom->x() + zoom->width() + 5)));
    _sliderView->move(sliderX, _sliderView->y());
    _controlBar->update();
    // 4.
    if (_dpiPopupButton)
        _dpiPopupButton->setHidden(!design);
    repositionLayersButton();
    // 5. The drawer button at the right end, never over what lies left of it.
    if (design) {
        const int limit = _layersButton->isVisibleTo(_controlBar)
                              ? _layersButton->x() + _layersButton->width()
                              : _sliderView->x() + _sliderView->width() + 10;
        _drawerButton->move(std::max(limit, _contentView->width() - _drawerButton->width()),
                            _drawerButton->y());
    }
    // 6.
    updateDescriptionTextFields();
}

void LBWindowController::updateDescriptionText()
{
    if (_mode != DesignMode)
        return;
    const QString description =
        _editController ? _editController->documentDescriptionStr() : QString();
    _cardStockDescriptionStr = description.isNull() ? QStringLiteral("") : description;
    updateDescriptionTextFields();
}

void LBWindowController::updateDescriptionTextFields()
{
    if (!_controlBar)
        return;
    const bool design = _mode == DesignMode;
    if (design && _editController) {
        if (LBPageView* pageView = _editController->pageView())
            pageView->setBottomMessageStr(_cardStockDescriptionStr);
    }
    const int x = _sliderView->x() + _sliderView->width() + 20;
    _pageCountText->setGeometry(x, _pageCountText->y(), _controlBar->width() - x - 16,
                                _pageCountText->height());
    _pageCountText->setHidden(design);
    _drawerButton->setHidden(!design);
}

// ---- Texts over the contact columns ------------------------------------------------------

QString LBWindowController::truncatedString(const QString& text, double fieldWidth,
                                            const std::function<double(const QString&)>& width)
{
    QString result = text;
    while (width(result) > fieldWidth - 5 && result.size() >= 2)
        result = result.left(result.size() - 2) + QChar(0x2026);
    return result;
}

void LBWindowController::truncateStringInField(QLabel* field)
{
    const QFontMetricsF metrics(field->font());
    field->setText(truncatedString(field->text(), field->width(), [&](const QString& text) {
        return metrics.horizontalAdvance(text);
    }));
}

void LBWindowController::updateAddressBookButtonTitleWidth()
{
    if (!_addressBookButtonText)
        return;
    _addressBookButtonText->resize(_groupColumn->width() - _addressBookButtonText->x(),
                                   _addressBookButtonText->height());
    _addressBookButtonText->setText(localized(QStringLiteral("Contacts")));
    truncateStringInField(_addressBookButtonText);
}

void LBWindowController::updateSelectedPeopleCountPosition()
{
    if (!_selectedPeopleCount)
        return;
    _selectedPeopleCount->setGeometry(0, _selectedPeopleCount->y(), _peopleColumn->width(),
                                      _selectedPeopleCount->height());
}

// ---- Graphics at page and display positions ------------------------------------------------

void LBWindowController::moveGraphicsToActualPosition()
{
    if (_mode != DesignMode || !_editController)
        return;
    for (LBGraphicView* canvas : _editController->graphicViews()) {
        const QRectF visible = canvas->visiblePageRect();
        if (visible.x() != 0)
            canvas->setVisiblePageRect(QRectF(QPointF(0, 0), visible.size()));
    }
}

void LBWindowController::moveGraphicsToDisplayPosition()
{
    if (_mode == DesignMode && _editController)
        _editController->scrollerFrameChanged();
}

// ---- Split views ------------------------------------------------------------------------

QPair<double, double> LBWindowController::columnWidthsForSplitWidth(double storedWidth1,
                                                                    double storedWidth2,
                                                                    double splitWidth)
{
    double w1 = std::max(storedWidth1, 10.0);
    double w2 = std::max(storedWidth2, 10.0);
    if (w1 + w2 > splitWidth - 200) {
        if (w1 > w2)
            w1 = 200;
        else
            w2 = 200;
    }
    return {w1, w2};
}

QSize LBWindowController::minimumWindowSize(bool columnsShow, double columnsRight,
                                            double windowWidth)
{
    if (!columnsShow)
        return QSize(int(PreviewMinWidth), 480);
    return QSize(int(std::min(windowWidth, columnsRight + PreviewMinWidth)), 480);
}

void LBWindowController::previewSplitViewResized(const QSize& oldSize)
{
    if (!_previewSplitView)
        return;
    const int width = _previewSplitView->width() - 2 * _previewSplitView->handleWidth();
    if (_previewSplitView->size() != oldSize) {
        // The people column's width is stored 3 less than it is; read back as stored, it
        // narrowed by 3 at every resize that wrote it.
        const auto [w1, w2] =
            columnWidthsForSplitWidth(defaults().floatForKey(QStringLiteral("Column 1 Width")),
                                      defaults().floatForKey(QStringLiteral("Column 2 Width")) + 3,
                                      _previewSplitView->width());
        QList<int> sizes = _previewSplitView->sizes();
        int group = sizes.value(0), people = sizes.value(1);
        if (!_columnWidthsInitialized) {
            group = int(w1);
            people = int(w2);
        }
        // The change of width goes to the sheets.
        _previewSplitView->setSizes({group, people, std::max(0, width - group - people)});
    }
    _columnWidthsInitialized = true;
    previewSplitViewDidResizeSubviews();
}

void LBWindowController::previewSplitViewDidResizeSubviews()
{
    if (!_previewSplitView)
        return;
    QList<int> sizes = _previewSplitView->sizes();
    if (sizes.size() < 3)
        return;
    // A column's width is stored only once it differs from the last one known: the widths a
    // window's columns first take come from the settings (or the columns' least widths), and
    // storing them would write settings the user never changed, the people column's 3 less
    // each time, so that every window opened would narrow it by 3.
    if (_groupViewWidth != 0 && sizes[0] != _groupViewWidth)
        defaults().setFloat(sizes[0], QStringLiteral("Column 1 Width"));
    const double d = sizes[0] - _groupViewWidth;
    if (_groupViewWidth == 0) {
        _groupViewWidth = sizes[0];
    } else if (d != 0) {
        // Widening the group column keeps the people column as wide as it was.
        _groupViewWidth = sizes[0];
        sizes[1] = std::max(0, int(sizes[1] + d));
        sizes[2] = std::max(0, int(sizes[2] - d));
        _previewSplitView->setSizes(sizes);
    }
    sizes = _previewSplitView->sizes();
    if (_personViewWidth != 0 && sizes[1] != _personViewWidth)
        defaults().setFloat(sizes[1] - 3, QStringLiteral("Column 2 Width"));
    _personViewWidth = sizes[1];
    updateAddressBookButtonTitleWidth();
    updateSelectedPeopleCountPosition();
    updateMinimumWindowSize();
}

void LBWindowController::updateMinimumWindowSize()
{
    QWidget* w = window();
    if (!w || !_previewSplitView)
        return;
    const double columnsRight =
        _showColumns ? frameIn(_peopleColumn, _previewSplitView).x() + _peopleColumn->width() : 0;
    w->setMinimumSize(minimumWindowSize(_showColumns, columnsRight, w->width()));
}

void LBWindowController::designSplitViewResized()
{
    if (_drawerSplitView) {
        const QSize pane = _drawerSuperview->size();
        _drawerSplitView->setGeometry(0, 0, pane.width(), pane.height() + 1);
    }
    repositionLayersButton();
}

void LBWindowController::drawerSplitViewResized(const QSize& oldSize)
{
    if (!_drawerSplitView || !oldSize.isValid())
        return;
    const int dh = _drawerSplitView->height() - oldSize.height();
    const QList<int> sizes = _drawerSplitView->sizes();
    if (sizes.size() < 2 || layersViewIsAnimating())
        return;
    const int total = _drawerSplitView->height() - _drawerSplitView->handleWidth();
    // The browsers keep at least 300 points; the layers view takes the rest.
    const int oldTop = oldSize.height() - _drawerSplitView->handleWidth() - sizes[1];
    const int top = std::max(oldTop + dh, 300);
    _drawerSplitView->setSizes({top, std::max(0, total - top)});
}

void LBWindowController::drawerSplitViewDidResizeSubviews()
{
    if (_saveLayersViewHeight && _drawerBottomView)
        defaults().setInteger(_drawerBottomView->height(), QStringLiteral("LayersViewHeight"));
}
