// The mode switch, its two commands, the current mode's display of the document and the
// mode's state.

#include "window/LBWindowController.h"

#include "controls/LBCompImageButton.h"
#include "controls/LBSplitView.h"
#include "document/LBDocument.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "layouts/LBPageView.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Toolbar.h"
#include "window/DesignModeController.h"
#include "window/PreviewModeController.h"

#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>

namespace {
bool defaultsBool(const QString& key)
{
    return platform::UserDefaults::standardUserDefaults().boolForKey(key);
}
} // namespace

bool LBWindowController::canSwitchToViewMode() const
{
    return PreviewModeController::hasFactory();
}

void LBWindowController::switchToDesignMode(QObject* sender)
{
    Q_UNUSED(sender);
    if (LBDocument* doc = document()) {
        platform::UndoManager* undo = doc->undoManager();
        if (!undo->isUndoRegistrationEnabled())
            undo->enableUndoRegistration();
    }
    if (_mode != DesignMode)
        setMode(DesignMode, false);
}

void LBWindowController::switchToViewMode(QObject* sender)
{
    Q_UNUSED(sender);
    if (!canSwitchToViewMode())
        return;
    if (LBDocument* doc = document()) {
        platform::UndoManager* undo = doc->undoManager();
        if (undo->isUndoRegistrationEnabled())
            undo->disableUndoRegistration();
    }
    if (_mode != PreviewMode)
        setMode(PreviewMode, false);
}

QString LBWindowController::switchImageString(qint64 half, bool selected)
{
    const QString state = selected ? QStringLiteral("1") : QStringLiteral("0");
    const QString pattern =
        half == DesignMode
            ? QStringLiteral("TBCapLeft%1|TBMiddle%1|TBMiddle%1|TBCapLeftH|TBMiddleH|TBMiddleH")
            : QStringLiteral(
                "TBDividerLeft%1|TBMiddle%1|TBCapRight%1|TBDividerLeftH|TBMiddleH|TBCapRightH");
    return pattern.arg(state);
}

void LBWindowController::setSwitchImages(qint64 leaving, qint64 entering)
{
    if (leaving == DesignMode)
        _designButton->setComponentImageString(switchImageString(DesignMode, false));
    if (leaving == PreviewMode)
        _previewButton->setComponentImageString(switchImageString(PreviewMode, false));
    if (entering == DesignMode)
        _designButton->setComponentImageString(switchImageString(DesignMode, true));
    if (entering == PreviewMode)
        _previewButton->setComponentImageString(switchImageString(PreviewMode, true));
    updateSwitchCopies(entering);
}

QWidget* LBWindowController::previewContent() const
{
    return _showColumns ? static_cast<QWidget*>(_previewSplitView) : _previewView;
}

void LBWindowController::setMode(qint64 mode, bool closingWindow)
{
    if (!window())
        return;
    const qint64 leaving = _mode;
    // 1. The switch shows the mode.
    setSwitchImages(leaving, mode);
    // 2. The mode's toolbar, unless the user hid it.
    if (!closingWindow)
        updateToolbarForMode(mode);
    // 3. What the contact columns show follows the design's fields.
    if (leaving == DesignMode && mode == PreviewMode) {
        scanGraphicsForContactFields();
    } else if (leaving == PreviewMode && mode == DesignMode) {
        if (!defaultsBool(QStringLiteral("DisableLiveAddresses")) && _createController)
            _createController->showLiveAddressIcons(false);
    }
    showOrHideColumnsAsNecessary(mode);
    // 4. The old mode keeps its state and hides its page.
    if (leaving != NoMode) {
        if (leaving != mode && !closingWindow) {
            const double slider = zoomSliderValue();
            if (leaving == DesignMode && _editController)
                _editController->saveState(slider);
            else if (leaving == PreviewMode && _createController)
                _createController->saveState(slider);
            zoomToActualSize(nullptr);
        }
        if (leaving == DesignMode) {
            if (InspectorPalette* inspector = LBProcessState::inspectorPalette())
                inspector->resetAndHide();
            if (_editController)
                _editController->hidePage(closingWindow);
        } else if (leaving == PreviewMode && _createController) {
            _createController->hidePage();
        }
    }
    // 5. A closing window only lets design mode go.
    if (closingWindow) {
        if (_editController)
            _editController->setWindowController(nullptr);
        return;
    }
    if (mode == PreviewMode)
        enterPreviewMode();
    else if (mode == DesignMode)
        enterDesignMode();
    // 8.
    updateButtonBarPosition();
    _drawerButton->setHidden(_mode != DesignMode);
    if (_toolbar)
        _toolbar->validateVisibleItems();
    validateMenus();
}

void LBWindowController::enterPreviewMode()
{
    QWidget* content = previewContent();
    _designContainer->hide();
    content->setParent(_contentView);
    content->setGeometry(modeContentFrame());
    content->show();
    moveGraphicsToActualPosition();
    if (!_createController) {
        _createController = PreviewModeController::make();
        if (!_createController)
            return; // no preview: nothing to show
    }
    _createController->setWindowController(this);
    // The sheets fill the preview view above a 34-point strip, reaching one point past its
    // left edge. Measured in the view itself: a split view that has not shown yet has not
    // given its panes their heights.
    _createController->showPageInView(
        _previewView, QRectF(-1, 0, _previewView->width() + 1, _previewView->height() - 34));
    _mode = PreviewMode;
    setupForDocument();
    _addQuarnLabelControls = false;
    zoomToFitOrRestore();
    if (_windowIsLoaded && _showColumns) {
        // The columns lay themselves out again.
        QList<int> sizes = _previewSplitView->sizes();
        sizes[0] += 1;
        sizes[2] -= 1;
        _previewSplitView->setSizes(sizes);
        previewSplitViewDidResizeSubviews();
        sizes = _previewSplitView->sizes();
        sizes[0] -= 1;
        sizes[2] += 1;
        _previewSplitView->setSizes(sizes);
        previewSplitViewDidResizeSubviews();
    }
}

void LBWindowController::enterDesignMode()
{
    previewContent()->hide();
    _designContainer->setGeometry(modeContentFrame());
    _designContainer->show();
    layOutDesignSplitView();
    if (!_editController) {
        // The palettes follow the canvas's selection from its first change: made now if
        // the program made none yet.
        LBProcessState::inspectorPalette();
        _editController = DesignModeController::make();
    }
    if (_editController) {
        _editController->setWindowController(this);
        _editController->showPageInView(_designView,
                                        QRectF(0, 0, _designView->width(), _designView->height()));
    }
    _mode = DesignMode;
    bool layersScheduled = false;
    if (_firstTimeInEditView) {
        buildDrawerSplit();
        if (!defaultsBool(QStringLiteral("LayersViewIsClosed"))
            && !defaultsBool(QStringLiteral("LBDrawerIsClosed"))) {
            layersScheduled = true;
            QTimer::singleShot(100, this, [this] { layersButtonAction(nullptr); });
        }
    }
    if (!defaultsBool(QStringLiteral("LBDrawerIsClosed"))) {
        if (_editController) {
            _editController->openDrawer(true, true, !layersScheduled);
            qint64 drawerMode = platform::UserDefaults::standardUserDefaults().integerForKey(
                QStringLiteral("Graphics Drawer Open"));
            _editController->setDrawerMode(drawerMode == -1 ? 0 : drawerMode);
        }
    } else if (_firstTimeInEditView) {
        openDesignDrawer(false);
    }
    repositionLayersButton();
    setupForDocument();
    zoomToFitOrRestore();
    updateDescriptionText();
    _firstTimeInEditView = false;
}

void LBWindowController::buildDrawerSplit()
{
    const QSize pane = _drawerSuperview->size();
    _drawerSplitView = new LBSplitView(false, _drawerSuperview);
    _drawerSplitView->setGeometry(0, 0, pane.width(), pane.height() + 1);
    _drawerTopView = new QWidget;
    _drawerBottomView = new QWidget;
    _drawerSplitView->addWidget(_drawerTopView);
    _drawerSplitView->addWidget(_drawerBottomView);
    _drawerSplitView->setStretchFactor(0, 1);
    _drawerSplitView->setStretchFactor(1, 0);
    _drawerSplitView->setSizes({pane.height(), 1});
    _drawerSplitView->show();
    _drawerSplitView->installEventFilter(this);
    _drawerSuperview->installEventFilter(this);
    connect(_drawerSplitView, &QSplitter::splitterMoved, this,
            [this] { drawerSplitViewDidResizeSubviews(); });
}

void LBWindowController::zoomToFitOrRestore()
{
    if (_zoomToFitOnModeChange) {
        zoomToFit();
        _zoomToFitOnModeChange = false;
    } else if (_mode == DesignMode && _editController) {
        _editController->restoreState();
    } else if (_mode == PreviewMode && _createController) {
        _createController->restoreState();
    }
}

void LBWindowController::setupForDocument()
{
    if (!isWindowLoaded())
        return;
    LBPageView* pageView = nullptr;
    if (_mode == PreviewMode && _createController) {
        _createController->updateViewWithNewRenderingView(true);
        _createController->updatePageCountText(_pageCountText);
        pageView = _createController->pageView();
    } else if (_mode == DesignMode && _editController) {
        _editController->updateView();
        pageView = _editController->pageView();
        if (pageView)
            pageView->setBottomMessageStr(QString());
    }
    repositionLayersButton();
    _drawerButton->setHidden(_mode != DesignMode);
    if (pageView) {
        const LBDocument* doc = document();
        pageView->setPageColor(doc ? faceColor(doc->pageIndex(), false) : QColor(Qt::white));
    }
}

void LBWindowController::saveState()
{
    if (_mode == DesignMode) {
        if (_editController)
            _editController->saveState(zoomSliderValue());
    } else if (_createController) {
        _createController->saveState(zoomSliderValue());
    }
}

void LBWindowController::restoreState()
{
    if (_mode == DesignMode) {
        if (_editController)
            _editController->restoreState();
    } else if (_createController) {
        _createController->restoreState();
    }
}
