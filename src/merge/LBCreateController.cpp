#include "merge/LBCreateController.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "merge/LBRenderingView.h"
#include "merge/LBTextEditorView.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/KXControlBar.h"
#include "platform/ui/KXPopUpImageButton.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/ScrollView.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// Posted by the preferences when every preview is to redraw its sheets.
const QString RefreshRenderingViewNotification =
    QStringLiteral("LBRefreshRenderingViewNotification");
// The user info of a text box's "EditedTextSaved".
const QString EditedTextKey = QStringLiteral("EditedText");
const QString EditedTextArrayIndexKey = QStringLiteral("EditedTextArrayIndex");
// Posted when the user's own card changes.
const QString MePersonChangedNotification = QStringLiteral("LBMePersonChangedNotification");

// The colour under the sheets.
const QColor UnderPageColor =
    QColor::fromRgbF(0.7294117647058823f, 0.7529411764705882f, 0.7803921568627451f, 1.0f);

constexpr int ButtonBarHeight = 34;
constexpr int WarningBarHeight = 26;

// Each side cut to whole points.
QSizeF truncated(const QSizeF& size)
{
    return QSizeF(std::trunc(size.width()), std::trunc(size.height()));
}

QString miscellaneous(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("Miscellaneous"));
}

} // namespace

LBCreateController::LBCreateController(QObject* parent) : QObject(parent)
{
    buildViews();
    observe();
}

LBCreateController::~LBCreateController()
{
    _observers.clear();
    _editedTextObserver.reset();
    if (_textFieldTimer)
        _textFieldTimer->stop();
    // The main view (with the page view in it) is gone when a window it was in went first.
    const bool viewsLive = !_topLevelNibObjects.empty() && _topLevelNibObjects.front();
    if (viewsLive) {
        _pageView->setCreateController(nullptr);
        if (QWidget* container = _mainView->parentWidget())
            container->removeEventFilter(this);
    }
    removeTextPopupButton();
    for (QWidget* section : {_numCopiesView, _startLabelView, _optionsView, _liveAddressView}) {
        if (section)
            section->setParent(nullptr);
    }
    // Views that sit in a window are taken out of it first.
    for (const QPointer<QWidget>& view : _topLevelNibObjects) {
        if (view) {
            view->setParent(nullptr);
            delete view.data();
        }
    }
    for (QWidget* section : {_numCopiesView, _startLabelView, _optionsView, _liveAddressView})
        delete section;
}

// ==== Building ===========================================================================

void LBCreateController::buildViews()
{
    _mainView = new QWidget;
    _mainView->setObjectName(QStringLiteral("CreateL"));
    _mainView->installEventFilter(this);
    _scrollView = new platform::ScrollView(_mainView);
    _scrollView->setGeometry(_mainView->rect());
    QPalette palette = _scrollView->palette();
    palette.setColor(QPalette::Window, UnderPageColor);
    _scrollView->setPalette(palette);
    _scrollView->setBackgroundRole(QPalette::Window);
    _scrollView->setAutoFillBackground(true);
    _pageView = new LBPageView;
    _pageView->setPageSize(QSizeF(0, 0), 1, 1);
    _scrollView->setDocumentView(_pageView);
    _pageView->setCreateController(this);

    _buttonBar = new platform::KXControlBar;
    _buttonBar->setObjectName(QStringLiteral("ButtonBar"));
    _buttonBar->resize(600, ButtonBarHeight);
    _buttonBar->setBarImage(platform::Image::imageNamed(QStringLiteral("ButtonBar")));

    // The warning bar under the button bar, with its help sheet.
    _statusBar = new QWidget;
    _statusBar->setObjectName(QStringLiteral("ContactListWarningBar"));
    _statusBar->setAutoFillBackground(true);
    QPalette warning = _statusBar->palette();
    warning.setColor(QPalette::Window, QColor(255, 244, 189));
    warning.setColor(QPalette::WindowText, Qt::black);
    _statusBar->setPalette(warning);
    _statusBar->resize(600, WarningBarHeight);
    auto* warningLayout = new QHBoxLayout(_statusBar);
    warningLayout->setContentsMargins(8, 2, 8, 2);
    auto* warningText = new QLabel(
        tr("This design has no contact fields: Repeat each label sets how many labels print."),
        _statusBar);
    warningLayout->addWidget(warningText, 1);
    auto* helpButton = new QPushButton(tr("How do I print addresses?"), _statusBar);
    helpButton->setObjectName(QStringLiteral("ContactListHelpButton"));
    helpButton->setFlat(true);
    warningLayout->addWidget(helpButton);
    connect(helpButton, &QPushButton::clicked, this, [this] { contactListHelpAction(); });

    // (The help sheet is built when it is first shown: most windows never show it.)
    _topLevelNibObjects = {_mainView, _buttonBar, _statusBar};
    buildControlBarSections();
    _textFieldTimer = nullptr;
}

void LBCreateController::buildContactListHelpPanel()
{
    _contactListHelpPanel = new QDialog;
    _contactListHelpPanel->setObjectName(QStringLiteral("ContactListHelpPanel"));
    _contactListHelpPanel->setWindowTitle(tr("Printing addresses"));
    auto* helpLayout = new QVBoxLayout(_contactListHelpPanel);
    auto* helpText = new QLabel(
        tr("<p><b>To print a label for each of your contacts</b></p>"
           "<p>1. Click Design and open the Fields drawer.</p>"
           "<p>2. Drag an address block, or single fields such as the name and the street, "
           "into a text box of the label.</p>"
           "<p>3. Come back to Preview: the contact list shows beside the sheets. Select the "
           "people (or a group) to print; each gets a label of their own.</p>"
           "<p>You can also import a tab- or comma-separated text file: each of its lines "
           "fills one label.</p>"),
        _contactListHelpPanel);
    helpText->setWordWrap(true);
    helpText->setMinimumWidth(380);
    helpLayout->addWidget(helpText);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, _contactListHelpPanel);
    helpLayout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { dismissContactListHelpPanel(); });

    _topLevelNibObjects.push_back(_contactListHelpPanel);
}

QDialog* LBCreateController::contactListHelpPanel()
{
    if (!_contactListHelpPanel)
        buildContactListHelpPanel();
    return _contactListHelpPanel;
}

void LBCreateController::observe()
{
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    _observers.push_back(
        center.addObserver(LBPageViewMouseDown, _pageView,
                           [this](const platform::Notification& n) { mouseDownInPageView(n); }));
    _observers.push_back(center.addObserver(RefreshRenderingViewNotification, nullptr,
                                            [this](const platform::Notification&) {
                                                if (_mainView && _mainView->parentWidget())
                                                    refreshRenderingView();
                                            }));
    _observers.push_back(
        center.addObserver(MePersonChangedNotification, nullptr,
                           [this](const platform::Notification&) { mePersonChanged(); }));
}

bool LBCreateController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == _mainView) {
            _scrollView->setGeometry(_mainView->rect());
            scrollerFrameChanged();
        } else if (_mainView && watched == _mainView->parentWidget()) {
            layOutInContainer(_mainView->parentWidget());
        }
    }
    return QObject::eventFilter(watched, event);
}

// ==== Preview mode as the window drives it ===============================================

void LBCreateController::setWindowController(LBWindowController* controller)
{
    _windowController = controller;
    setupRepeatPopupButton();
    disconnect(_zoomPopupConnection);
    if (platform::KXPopUpImageButton* zoom =
            _windowController ? _windowController->zoomPopupButton() : nullptr)
        _zoomPopupConnection = connect(zoom, &platform::PopUpButton::activated, this,
                                       [this](int index) { zoomPopupAction(index); });
}

void LBCreateController::showPageInView(QWidget* view, const QRectF& viewFrame)
{
    if (QWidget* previous = _mainView->parentWidget())
        previous->removeEventFilter(this);
    _mainView->setParent(view);
    _mainView->setGeometry(viewFrame.toRect());
    _mainView->show();
    if (view) {
        const QRect frame = viewFrame.toRect();
        _containerMargins = QMargins(frame.left(), frame.top(), view->width() - frame.right() - 1,
                                     view->height() - frame.bottom() - 1);
        view->installEventFilter(this);
    }
    addQuarnLabelControls(view);
}

QRectF LBCreateController::hidePage()
{
    closeTextEditor();
    // The zoom pop-up is design mode's until the window comes back to preview.
    disconnect(_zoomPopupConnection);
    if (!_mainView)
        return {};
    const QRectF frame(_mainView->geometry());
    if (QWidget* container = _mainView->parentWidget())
        container->removeEventFilter(this);
    for (QWidget* view : {_mainView, static_cast<QWidget*>(_buttonBar), _statusBar}) {
        view->hide();
        view->setParent(nullptr);
    }
    return frame;
}

void LBCreateController::layOutInContainer(QWidget* container)
{
    if (!container)
        return;
    const QRect inner = container->rect().marginsRemoved(_containerMargins);
    const int warning = _statusBar->parentWidget() == container ? _statusBar->height() : 0;
    _mainView->setGeometry(inner.x(), inner.y(), inner.width(),
                           std::max(0, inner.height() - warning));
    if (_buttonBar->parentWidget() == container)
        _buttonBar->setGeometry(0, container->height() - warning - _buttonBar->height(),
                                container->width(), _buttonBar->height());
    if (warning)
        _statusBar->setGeometry(0, container->height() - warning, container->width(), warning);
}

void LBCreateController::saveState(double zoomSliderValue)
{
    _savedZoomSliderVal = zoomSliderValue;
    QWidget* window = _windowController ? _windowController->window() : nullptr;
    _savedFirstResponder = window ? window->focusWidget() : nullptr;
    _savedVisibleRect = QRectF(_scrollView->documentVisibleRect());
}

void LBCreateController::restoreState()
{
    if (_windowController)
        _windowController->setZoomSliderValue(_savedZoomSliderVal);
    if (_savedFirstResponder)
        _savedFirstResponder->setFocus();
    _savedFirstResponder = nullptr;
    if (_savedVisibleRect.width() > -1.0) {
        _scrollView->scrollToPoint(_savedVisibleRect.topLeft().toPoint());
        refreshRenderingView();
    }
}

// ==== Layout and sheets ==================================================================

QVariantMap LBCreateController::layout() const
{
    const LBDocument* doc = document();
    return doc ? doc->dimensionInfo() : QVariantMap();
}

void LBCreateController::updateLabelSettings()
{
    const LBDocument* doc = document();
    if (!doc)
        return;
    _dimensionType = doc->dimensionType();
    if (_dimensionType != 1 && _dimensionType != 2)
        return;
    const QVariantMap& info = doc->dimensionInfo();
    _labelRows = std::max<qint64>(1, DimensionInfo::integer(info, DimensionInfo::numRows));
    _labelColumns = std::max<qint64>(1, DimensionInfo::integer(info, DimensionInfo::numColumns));
    _startLabel = DimensionInfo::integer(info, DimensionInfo::startLabel);
    const qint64 before = std::max<qint64>(0, _startLabel - 1);
    qint64 row = 0;
    qint64 column = 0;
    if (DimensionInfo::integer(info, DimensionInfo::labelDirection)
        == DimensionInfo::ColumnByColumn) {
        row = before % _labelRows + 1;
        column = before / _labelRows + 1;
    } else {
        row = before / _labelColumns + 1;
        column = before % _labelColumns + 1;
    }
    if (_startRowField)
        _startRowField->setText(QString::number(row));
    if (_startColumnField)
        _startColumnField->setText(QString::number(column));
}

qint64 LBCreateController::numberOfPages() const
{
    if (_dimensionType != 1 || !_windowController)
        return 1;
    const qint64 n = _windowController->labelRepeatCount() * _windowController->numSelectedPeople()
                     + _startLabel - 1;
    const qint64 cells = std::max<qint64>(1, _labelRows * _labelColumns);
    const qint64 count = n / cells + (n % cells != 0 ? 1 : 0);
    return std::max<qint64>(1, count);
}

QSizeF LBCreateController::paperSize() const
{
    if (const LBDocument* doc = document())
        return doc->documentSize();
    return platform::PrintInfo::sharedPrintInfo().paperSize();
}

QList<LBRenderingView*> LBCreateController::renderingViews() const
{
    QList<LBRenderingView*> views;
    if (!_pageView)
        return views;
    for (QObject* child : _pageView->children()) {
        if (auto* view = qobject_cast<LBRenderingView*>(child))
            views.append(view);
    }
    return views;
}

QRectF LBCreateController::sheetRect(qint64 sheet) const
{
    return _pageView ? _pageView->pageRectForPageNum(sheet, SheetGap) : QRectF();
}

QRectF LBCreateController::firstSheetRect() const
{
    return sheetRect(0);
}

double LBCreateController::sheetPitch() const
{
    return std::trunc(paperSize().height() * zoomFactor()) + SheetGap;
}

QSizeF LBCreateController::pageViewSizeForZoom(double zoomFactor) const
{
    const qint64 n = numberOfPages();
    const QSizeF sheet = truncated(paperSize() * zoomFactor);
    const QSizeF main = _mainView ? QSizeF(_mainView->size()) : QSizeF();
    return QSizeF(std::max(sheet.width() + PageViewMargin, main.width() - 2.0),
                  std::max(double(n) * sheet.height() + double(n - 1) * SheetGap + PageViewMargin,
                           main.height() - 2.0));
}

void LBCreateController::updateViewWithNewRenderingView(bool discardExisting)
{
    // 1.
    closeTextEditor();
    updateLabelSettings();
    const qint64 n = numberOfPages();
    // 2.
    QList<LBRenderingView*> views = renderingViews();
    if (discardExisting) {
        while (!views.isEmpty())
            delete views.takeLast();
    }
    // 3.
    LBDocument* doc = document();
    const LBDocument::Pages graphics = doc ? doc->documentGraphics() : LBDocument::Pages();
    while (views.size() > n)
        delete views.takeLast();
    while (views.size() < n) {
        // A renderer's bounds are the unzoomed sheet; the zoom only scales its frame.
        auto* view = new LBRenderingView(
            QRectF(sheetRect(views.size()).topLeft(), truncated(paperSize())), graphics, _pageView);
        // Shown when its sheet comes into view (renderGraphicsInRect()): showing thousands
        // of sibling widgets at once costs each a walk over all the others.
        view->setDrawingEnabled(false);
        views.append(view);
    }
    // 4.
    const QSizeF paper = truncated(paperSize());
    _pageView->setPageSize(paper, n, 1);
    const double mainWidth = _mainView ? _mainView->width() : 0.0;
    _pageView->resize(int(std::max(mainWidth - 2.0, paper.width() + PageViewMargin)),
                      int(double(n) * paper.height() + PageViewMargin + double(n - 1) * SheetGap));
    _pageView->update();
    // 5. The text-fit cache is emptied and fills as the records are drawn. Every sheet
    // lies at its place from the start, so that none drawn before lies over another.
    for (qsizetype i = 0; i < views.size(); ++i) {
        LBRenderingView* view = views.at(i);
        view->move(sheetRect(i).topLeft().toPoint());
        view->setDrawLabelOutlines(_drawLabelOutlinesInRenderingView);
        view->setContactServer(_windowController);
        view->updateLabelSettings();
        if (doc) {
            view->setPostnetBarcodeLocation(doc->postnetBarcodeLocation());
            view->setFIMType(doc->FIMType());
            view->setDrawAuxiliaryInfo(doc->drawAuxiliaryInfo());
        }
        view->removeMultiplierArrays();
    }
    // 6.
    scrollerFrameChanged();
    const double z = zoomFactor();
    if (z != 1.0)
        setZoomFactor(z);
    _scrollView->scrollToPoint(QPoint(0, 0));
    refreshRenderingView();
}

void LBCreateController::updatePageCountText(QLabel* field)
{
    if (!field)
        return;
    const qint64 n = numberOfPages();
    field->setText(n == 1 ? miscellaneous(QStringLiteral("1 page"))
                          : miscellaneous(QStringLiteral("%d pages"))
                                .replace(QLatin1String("%d"), QString::number(n)));
}

void LBCreateController::scrollerFrameChanged()
{
    if (!_pageView)
        return;
    _pageView->resize(pageViewSizeForZoom(zoomFactor()).toSize());
    _pageView->update();
    placeEditor();
}

void LBCreateController::placeEditor()
{
    if (!_textEditor)
        return;
    _textEditor->setFrameOrigin(_textEditorOffset * zoomFactor() + firstSheetRect().topLeft());
}

// ==== Drawing ============================================================================

void LBCreateController::refreshRenderingView()
{
    if (_pageView)
        renderGraphicsInRect(QRectF(_scrollView->documentVisibleRect()), true);
}

void LBCreateController::drawGraphicsInRect(const QRectF& updateRect)
{
    // Called while the page view paints, before the sheets in the rectangle paint: they
    // are enabled for it now. Moving sheets and rebuilding waits until the paint is over,
    // so that no widget changes its geometry in the middle of it.
    if (!_pageView)
        return;
    const SheetRange range = sheetsInRect(updateRect);
    const QList<LBRenderingView*> views = renderingViews();
    bool placed = range.last < views.size();
    for (qint64 i = std::max<qint64>(range.first, 0);
         i <= std::min<qint64>(range.last, views.size() - 1); ++i) {
        LBRenderingView* view = views.at(i);
        view->setDrawingEnabled(true);
        view->setPageNum(i);
        placed = placed && !view->isHidden() && view->pos() == sheetRect(i).topLeft().toPoint();
    }
    if (placed)
        return;
    _pendingDrawRect = _pendingDrawRect.united(updateRect);
    if (_drawQueued)
        return;
    _drawQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            _drawQueued = false;
            const QRectF rect = _pendingDrawRect;
            _pendingDrawRect = QRectF();
            renderGraphicsInRect(rect, false);
        },
        Qt::QueuedConnection);
}

void LBCreateController::renderGraphicsInRect(const QRectF& rect)
{
    renderGraphicsInRect(rect, true);
}

void LBCreateController::renderGraphicsInRect(const QRectF& rect, bool redisplayAll)
{
    if (!_pageView)
        return;
    const auto [firstSheet, lastSheet] = sheetsInRect(rect);
    QList<LBRenderingView*> views = renderingViews();
    if (lastSheet >= views.size()) {
        updateViewWithNewRenderingView(true);
        views = renderingViews();
    }
    if (firstSheet < 0 && lastSheet < 0)
        return;
    prefillTextMultipliers(std::max<qint64>(firstSheet, 0), std::max<qint64>(lastSheet, 0));
    for (qint64 i = std::max<qint64>(firstSheet, 0); i <= std::max<qint64>(lastSheet, 0); ++i) {
        if (i >= views.size())
            break;
        LBRenderingView* view = views.at(i);
        const QRect frame = QRectF(sheetRect(i).topLeft(), view->size()).toRect();
        const bool changed = !view->drawingEnabled() || view->pageNum() != i
                             || view->geometry().topLeft() != frame.topLeft() || view->isHidden();
        view->setDrawingEnabled(true);
        view->move(frame.topLeft());
        view->setPageNum(i);
        view->show();
        if (changed || redisplayAll) {
            ++_sheetRedisplayCount;
            view->update();
        }
    }
}

LBCreateController::SheetRange LBCreateController::sheetsInRect(const QRectF& rect) const
{
    const double pitch = sheetPitch();
    const QRectF first = firstSheetRect();
    const qint64 pages = numberOfPages();
    if (pitch <= 0.0)
        return {0, 0};
    return {qint64(std::trunc((rect.top() - first.top()) / pitch)),
            qint64(std::trunc(std::min(double(pages - 1), (rect.bottom() - first.top()) / pitch)))};
}

void LBCreateController::prefillTextMultipliers(qint64 firstSheet, qint64 lastSheet)
{
    const QList<LBRenderingView*> views = renderingViews();
    if (views.isEmpty() || _dimensionType != 1 || !_windowController)
        return;
    const qint64 cells = std::max<qint64>(1, _labelRows * _labelColumns);
    const qint64 repeat = std::max<qint64>(1, _windowController->labelRepeatCount());
    const qint64 records = _windowController->numSelectedPeople();
    // The records of the cells of those sheets.
    const qint64 firstLabel = std::max<qint64>(0, firstSheet * cells - (_startLabel - 1));
    const qint64 lastLabel = (lastSheet + 1) * cells - 1 - (_startLabel - 1);
    const qint64 firstRecord = firstLabel / repeat;
    const qint64 lastRecord = std::min(records - 1, lastLabel / repeat);
    if (lastRecord >= firstRecord)
        views.first()->cacheTextMultipliersForContactIndex(firstRecord, lastRecord);
}

// ==== Zoom ===============================================================================

void LBCreateController::zoomPopupAction(qint64 index)
{
    const double value = LBEditController::zoomSliderValueForPopupIndex(index);
    if (value > 0 && _windowController)
        _windowController->setZoomSliderValue(value);
}

void LBCreateController::setZoomFactor(double z)
{
    // 1.
    const QSizeF before = QSizeF(_pageView->size());
    const QRectF visible = QRectF(_scrollView->documentVisibleRect());
    const QPointF centre = visible.center();
    // 2.
    updateLabelSettings();
    _pageView->setPageSize(truncated(paperSize() * z), numberOfPages(), 1);
    scrollerFrameChanged();
    // 3. Renderers draw their unzoomed bounds scaled into the zoomed frame (one not shown
    // yet costs little to move: nothing is drawn or exposed).
    const QList<LBRenderingView*> views = renderingViews();
    for (qsizetype i = 0; i < views.size(); ++i) {
        LBRenderingView* view = views.at(i);
        const QSizeF size = truncated(view->bounds().size() * z);
        view->setGeometry(QRectF(sheetRect(i).topLeft(), size).toRect());
        view->update();
    }
    if (_textEditor) {
        _textEditor->setFrameSize(truncated(_textEditor->boundsSize() * z));
        placeEditor();
    }
    // 4.
    if (LBDocument* doc = document()) {
        for (LBDocument::Page& page : doc->documentGraphics()) {
            for (LBDocument::Layer& layer : page) {
                for (const LBGraphicPtr& graphic : std::as_const(layer))
                    graphic->setZoomFactor(z);
            }
        }
    }
    // 5.
    if (_windowController)
        _windowController->setZoomPercent(qint64(std::trunc(z * 100.0)));
    // 6.
    const QSizeF after = QSizeF(_pageView->size());
    if (before.width() > 0 && before.height() > 0) {
        const QPointF target(centre.x() / before.width() * after.width() - visible.width() / 2.0,
                             centre.y() / before.height() * after.height()
                                 - visible.height() / 2.0);
        _scrollView->scrollToPoint(target.toPoint());
    }
}

// ==== Clicks =============================================================================

void LBCreateController::mouseDownInPageView(const platform::Notification& notification)
{
    const QPointF upward = platform::pointFromString(
        notification.userInfo.value(QStringLiteral("MouseLocation")).toString());
    clickAtPoint(QPointF(upward.x(), _pageView->height() - upward.y()));
}

void LBCreateController::clickAtPoint(const QPointF& click)
{
    // 1.
    const bool locked = _windowController && _windowController->textIsLocked();
    closeTextEditor();
    LBDocument* doc = document();
    if (!doc || !_windowController)
        return;
    // 2.
    const double z = zoomFactor();
    const QRectF first = firstSheetRect();
    const double pitch = sheetPitch();
    const qint64 sheet = qint64(std::trunc((click.y() - first.top()) / pitch));
    if (sheet < 0 || sheet >= numberOfPages())
        return;
    const QRectF sheetFrame = first.translated(0.0, double(sheet) * pitch);
    const double dx = click.x() - sheetFrame.x();
    const double dy = click.y() - sheetFrame.y();
    if (dx < 0 || dy < 0 || dx > sheetFrame.width() || dy > sheetFrame.height())
        return;
    // 3.
    const QVariantMap& info = doc->dimensionInfo();
    const auto real = [&info](const QString& key) { return DimensionInfo::real(info, key); };
    const qint64 rows = std::max<qint64>(1, DimensionInfo::integer(info, DimensionInfo::numRows));
    const qint64 columns =
        std::max<qint64>(1, DimensionInfo::integer(info, DimensionInfo::numColumns));
    const double topMargin = real(DimensionInfo::topMargin) * z;
    const double leftMargin = real(DimensionInfo::leftMargin) * z;
    const double columnPitch =
        (real(DimensionInfo::labelWidth) + real(DimensionInfo::hLabelSpace)) * z;
    const double rowPitch =
        (real(DimensionInfo::labelHeight) + real(DimensionInfo::vLabelSpace)) * z;
    const bool byColumns = DimensionInfo::integer(info, DimensionInfo::labelDirection)
                           == DimensionInfo::ColumnByColumn;
    const qint64 repeat = std::max<qint64>(1, _windowController->labelRepeatCount());
    const qint64 total = _windowController->numSelectedPeople() * repeat;
    // 4.
    const qint64 designPages = std::max<qint64>(1, doc->numPages());
    const LBDocument::Page* page = doc->graphicsOnPage(sheet % designPages);
    if (!page)
        return;
    // 5.
    qint64 n = rows * sheet * columns;
    const qint64 outer = byColumns ? columns : rows;
    const qint64 inner = byColumns ? rows : columns;
    for (qint64 o = 0; o < outer; ++o) {
        for (qint64 i = 0; i < inner; ++i, ++n) {
            const qint64 row = byColumns ? i : o;
            const qint64 column = byColumns ? o : i;
            const qint64 idx = n - _startLabel + 1;
            if (n < _startLabel - 1 || idx >= total)
                continue;
            const QPointF cell(leftMargin + double(column) * columnPitch,
                               topMargin + double(row) * rowPitch);
            // 6.
            for (const LBDocument::Layer& layer : *page) {
                for (const LBGraphicPtr& graphic : layer) {
                    if (!graphic->isTextBox() && !graphic->isShapeWithText())
                        continue;
                    auto box = std::dynamic_pointer_cast<LBTextArea>(graphic);
                    if (!box)
                        continue;
                    const qint64 type = box->textBoxType();
                    if (locked && type <= 0)
                        continue;
                    const QRectF bounds = graphic->bounds();
                    const QRectF hit(cell + bounds.topLeft() * z, bounds.size() * z);
                    if (!hit.contains(QPointF(dx, dy)))
                        continue;
                    if (locked) {
                        _contactUIDForAddressMenu = _windowController->contactUIDForIndex(
                            idx / repeat, _contactUIDForAddressMenu.value_or(QString()));
                        _textBoxForAddressMenu = box;
                        displayAddressMenuAtPoint(click);
                    } else {
                        beginEditing(box, hit.translated(sheetFrame.topLeft()), idx);
                    }
                    return;
                }
            }
        }
    }
}

void LBCreateController::beginEditing(const std::shared_ptr<LBTextArea>& box,
                                      const QRectF& rectInPageView, qint64 labelIndex)
{
    const double z = zoomFactor();
    _textEditorBounds = rectInPageView;
    _textEditorOffset = (rectInPageView.topLeft() - firstSheetRect().topLeft()) / z;
    _textEditorTargetGraphic = box;
    box->setLabelIndexForNewTextEditor(labelIndex);
    _editedTextObserver = platform::NotificationCenter::defaultCenter().addObserver(
        LBEditedTextSavedNotification, box.get(), [this](const platform::Notification& n) {
            // Posted while a sheet draws: the editor opens once the drawing is over.
            const platform::Notification copy = n;
            QMetaObject::invokeMethod(
                this, [this, copy] { loadTextEditor(copy); }, Qt::QueuedConnection);
        });
    _pageView->update(rectInPageView.toAlignedRect());
    QTimer::singleShot(ClickRedrawDelayMilliseconds, this, [this] { refreshRenderingView(); });
}

// ==== The per-label editor ===============================================================

void LBCreateController::loadTextEditor(const platform::Notification& notification)
{
    const auto box = std::dynamic_pointer_cast<LBTextArea>(_textEditorTargetGraphic.lock());
    _editedTextObserver.reset();
    if (!box || _textEditor)
        return;
    // 1.
    const platform::AttributedString text =
        notification.userInfo.value(EditedTextKey).value<platform::AttributedString>();
    _editedTextArrayIndex = notification.userInfo.value(EditedTextArrayIndexKey).toLongLong();
    // 2. The editor works in unzoomed points and shows them at the zoom.
    const double z = zoomFactor();
    if (z != 1.0)
        _textEditorBounds = QRectF(_textEditorBounds.x() / z, _textEditorBounds.y() / z,
                                   _textEditorBounds.width() / z, _textEditorBounds.height() / z);
    // 3.
    auto* editor = new LBTextEditorView(_textEditorBounds);
    // 4.
    editor->setVerticallyResizable(false);
    editor->setHorizontallyResizable(false);
    editor->setAllowsUndo(true);
    if (!text.isEmpty())
        editor->textStorage()->setAttributedString(text);
    // The text opens where the sheet shows it, moved as the box's block alignment moves it
    // (an address block centred on its label), rather than against the box's left edge;
    // its lines still break within the box.
    const QSizeF delta = box->blockAlignmentDeltaForText(editor->textStorage()->attributedString());
    const QSizeF inset(std::max(0.0, delta.width()), std::max(0.0, delta.height()));
    if (!inset.isNull()) {
        editor->setTextContainerInset(inset);
        editor->textContainer()->setContainerSize(
            QSizeF(std::max(1.0, _textEditorBounds.width() - inset.width()), 10000000));
    }
    // The label's own text is saved with the document: once typed into, the document is
    // edited, so Save is offered and closing asks, as for any change.
    _textEditorTyping = editor->textStorage()->observeEditing(
        [this](platform::TextStorage&, const platform::TextStorage::Edit&) {
            LBDocument* doc = document();
            if (doc && !doc->isDocumentEdited())
                doc->updateChangeCount(platform::Document::ChangeDone);
        });
    // 5.
    editor->setParent(_pageView);
    editor->show();
    _textEditor = editor;
    editor->setFrameSize(truncated(_textEditorBounds.size() * z));
    editor->setBoundsSize(_textEditorBounds.size());
    placeEditor();
    editor->selectAll();
    editor->makeFirstResponder();
}

void LBCreateController::closeTextEditor()
{
    if (!_textEditor)
        return;
    LBTextEditorView* editor = _textEditor;
    _textEditor = nullptr;
    _textEditorTyping.reset();
    if (const auto box = std::dynamic_pointer_cast<LBTextArea>(_textEditorTargetGraphic.lock())) {
        // (Typing into it marked the document edited already.)
        box->updateEditedText(editor->textStorage()->attributedString(), _editedTextArrayIndex);
        // The label's text changed: its fitting is measured again.
        box->removeMultipliers();
    }
    editor->hide();
    editor->deleteLater();
    editor->setParent(nullptr);
    _textEditorTargetGraphic.reset();
    _editedTextObserver.reset();
    refreshRenderingView();
}

LBTextEditorView* LBCreateController::textEditor() const
{
    return _textEditor;
}

// ==== Warning bar ========================================================================

void LBCreateController::showContactListWarningBarIfNecessary(QWidget* container)
{
    // Imported records fill the labels one by one, a label a record: the bar's "Repeat each
    // label sets how many labels print" would be untrue then.
    qint64 columns = 0;
    const LBDocument* doc = document();
    const bool records = doc && !doc->importTextArrayAndColumnCount(&columns).isEmpty();
    if (!container || !_windowController || _windowController->columnsAreShowing() || records) {
        if (_statusBar->parentWidget()) {
            // The main view takes back the bar's room when it shares the container.
            if (_statusBar->parentWidget() == container && _mainView->parentWidget() == container) {
                QRect frame = _mainView->geometry();
                frame.setHeight(frame.height() + _statusBar->height());
                _mainView->setGeometry(frame);
            }
            _statusBar->hide();
            _statusBar->setParent(nullptr);
        }
        return;
    }
    const int h = _statusBar->height();
    if (_statusBar->parentWidget() != container) {
        QRect frame = _mainView->geometry();
        frame.setHeight(std::max(0, frame.height() - h));
        _mainView->setGeometry(frame);
        _statusBar->setParent(container);
    }
    _statusBar->setGeometry(0, container->height() - h, container->width(), h);
    _statusBar->show();
    _buttonBar->setGeometry(0, container->height() - h - _buttonBar->height(), container->width(),
                            _buttonBar->height());
}

void LBCreateController::contactListHelpAction()
{
    QWidget* window = _windowController ? _windowController->window() : nullptr;
    QDialog* panel = contactListHelpPanel();
    if (window && panel->parentWidget() != window)
        panel->setParent(window, Qt::Sheet);
    panel->setWindowModality(Qt::WindowModal);
    panel->open();
}

void LBCreateController::dismissContactListHelpPanel()
{
    if (_contactListHelpPanel)
        _contactListHelpPanel->hide();
}

// ==== Notifications and timers ===========================================================

void LBCreateController::mePersonChanged()
{
    if (_windowController && _windowController->mode() == LBWindowController::PreviewMode)
        updateViewWithNewRenderingView(false);
}

void LBCreateController::controlTextDidChange(QLineEdit* field)
{
    if (!_textFieldTimer) {
        _textFieldTimer = new QTimer(this);
        _textFieldTimer->setSingleShot(true);
        _textFieldTimer->setInterval(TextFieldDelayMilliseconds);
        connect(_textFieldTimer, &QTimer::timeout, this, [this] { textTimerFired(); });
    }
    _textFieldTimer->stop();
    _textFieldTimerField = field;
    _textFieldTimer->start();
}

void LBCreateController::textTimerFired()
{
    QLineEdit* field = _textFieldTimerField;
    _textFieldTimerField = nullptr;
    if (_textFieldTimer)
        _textFieldTimer->stop();
    if (field)
        startLabelAction(field);
}

bool LBCreateController::textFieldTimerPending() const
{
    return _textFieldTimer && _textFieldTimer->isActive();
}

// ==== State ==============================================================================

LBDocument* LBCreateController::document() const
{
    return _windowController ? _windowController->document() : nullptr;
}

double LBCreateController::zoomFactor() const
{
    const double z = _windowController ? _windowController->zoomFactor() : 1.0;
    return z > 0.0 ? z : 1.0;
}
