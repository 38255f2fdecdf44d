// Design mode's view: the page view and canvases laid out for the paper size and zoom,
// the rulers, the zoom and display-resolution pop-ups, the units, the grid and guides,
// and the grid, move and background sheets.

#include "window/LBEditController.h"

#include "canvas/LBGraphicView.h"
#include "canvas/LBRulerView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "layouts/LBPageView.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "platform/ui/KXPopUpImageButton.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/ScrollView.h"
#include "window/ApplicationServices.h"
#include "window/LBWindowController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {

platform::UserDefaults& userDefaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

qint64 unitsType()
{
    return userDefaults().integerForKey(QStringLiteral("Units Type"));
}

QString misc(const char* key)
{
    return platform::LocalizedString(QString::fromLatin1(key), QStringLiteral("Miscellaneous"));
}

QString dialogString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

// Each side cut toward zero.
QSizeF truncated(const QSizeF& size)
{
    return QSizeF(std::trunc(size.width()), std::trunc(size.height()));
}

const QString ImageResolutionInformativeText = QStringLiteral(
    "This setting controls how detailed images appear when zoomed in and how quickly the "
    "software runs.\r\rThe recommended setting is 150 dpi.\r\rPROBLEM: the software runs "
    "slowly.\rSOLUTION: choose a LOWER dpi setting (72 dpi).\r\rPROBLEM: images appear blurry "
    "when zoomed in.\rSOLUTION: choose a HIGHER dpi setting (150 dpi or 300 dpi). The 300 dpi "
    "setting can slow the software significantly, so use it sparingly.\r\rNote: this setting "
    "only affects what you see on the screen. When you PRINT or EXPORT a page, the Print "
    "Quality setting in the Printing preferences is used. The default Print Quality is 300 "
    "dpi.");

} // namespace

// ==== Page and canvas geometry ==========================================================

QSizeF LBEditController::paperSize() const
{
    if (const LBDocument* document = this->document())
        return document->editableDocumentSize();
    return platform::PrintInfo::sharedPrintInfo().paperSize();
}

double LBEditController::zoomFactor() const
{
    return _windowController ? _windowController->zoomFactor() : 1.0;
}

double LBEditController::ruleAllowanceVertical() const
{
    if (!_scrollView->rulersVisible() || !_scrollView->verticalRulerView())
        return 0.0;
    return _scrollView->verticalRulerView()->ruleThickness();
}

double LBEditController::ruleAllowanceHorizontal() const
{
    if (!_scrollView->rulersVisible() || !_scrollView->horizontalRulerView())
        return 0.0;
    const platform::RulerView* ruler = _scrollView->horizontalRulerView();
    return ruler->ruleThickness() + ruler->reservedThicknessForMarkers();
}

void LBEditController::updateView()
{
    updateViewForPaperSize(paperSize());
}

QSize LBEditController::pageViewSizeForPaperSize(const QSizeF& paper) const
{
    // The zoomed page with a margin, at least as large as the area less the rulers.
    const double z = zoomFactor();
    const QSizeF zoomed = truncated(paper * z);
    const double width =
        qMax(zoomed.width() + 14.0, _mainView->width() - 2.0 - ruleAllowanceVertical());
    const double height =
        qMax(zoomed.height() + 14.0 * z, _mainView->height() - 2.0 - ruleAllowanceHorizontal());
    return QSize(int(width), int(height));
}

void LBEditController::updateViewForPaperSize(const QSizeF& paper)
{
    const QSize size = pageViewSizeForPaperSize(paper);
    _pageView->setPageSize(truncated(paper * zoomFactor()), 1, 1);
    _pageView->setGeometry(0, 0, size.width(), size.height());
    _scrollView->scrollToPoint(QPoint(0, size.height()));
    _pageView->update();
    scrollerFrameChangedForPaperSize(paper);
}

void LBEditController::updateViewFromNotification(const platform::Notification& notification)
{
    if (notification.object != _graphicView)
        return;
    updateViewForPaperSize(platform::sizeFromString(
        notification.userInfo.value(QStringLiteral("paperSize")).toString()));
}

void LBEditController::scrollerFrameChanged()
{
    scrollerFrameChangedForPaperSize(paperSize());
}

void LBEditController::scrollerFrameChangedForPaperSize(const QSizeF& paper)
{
    const double z = zoomFactor();
    const QSize size = pageViewSizeForPaperSize(paper);
    _pageView->resize(size);
    _pageView->update();
    const QRectF page = _pageView->pageRectForPageNum(0, 7.0 * z);
    if (_scrollView->rulersVisible()) {
        if (LBRulerView* ruler = horizontalRuler()) {
            ruler->setZoomFactor(z);
            ruler->setOriginOffset(page.x());
        }
        if (LBRulerView* ruler = verticalRuler()) {
            ruler->setZoomFactor(z);
            // The page view is flipped: the page's top edge is where the vertical ruler counts from.
            ruler->setOriginOffset(page.y());
        }
    }
    for (LBGraphicView* view : std::as_const(_graphicViews)) {
        view->move(0, 0);
        view->setCanvasSize(QSizeF(size.width() / z, size.height() / z));
        view->setVisiblePageRect(page);
    }
}

QRectF LBEditController::topPageRect() const
{
    if (!_pageView)
        return QRectF();
    return _pageView->pageRectForPageNum(0, 7.0 * zoomFactor());
}

void LBEditController::setZoomFactor(double z)
{
    // The point at the centre of the visible part stays there.
    const QSizeF before = _pageView->size();
    const QRectF visible(_scrollView->documentVisibleRect());
    const QPointF fraction(before.width() > 0 ? visible.center().x() / before.width() : 0,
                           before.height() > 0 ? visible.center().y() / before.height() : 0);
    for (LBGraphicView* view : std::as_const(_graphicViews)) {
        const QSizeF canvas = view->canvasSize();
        if (view->width() != int(std::trunc(canvas.width() * z))) {
            view->setCanvasSize(canvas);
            view->update();
            if (LBDocument::Page* page = view->graphics()) {
                for (const LBDocument::Layer& layer : std::as_const(*page)) {
                    for (const LBGraphicPtr& graphic : layer)
                        graphic->setZoomFactor(z);
                }
            }
        }
    }
    _pageView->setPageSize(truncated(paperSize() * z), 1, 1);
    scrollerFrameChanged();
    if (_windowController)
        _windowController->setZoomPercent(qint64(std::trunc(100.0 * z)));
    const QSizeF after = _pageView->size();
    const QPointF target(fraction.x() * after.width() - visible.width() / 2.0,
                         fraction.y() * after.height() - visible.height() / 2.0);
    _scrollView->scrollToPoint(target.toPoint());
    if (_textDrawerController && _textDrawerSetZoom)
        _textDrawerSetZoom(z);
    if (_drawerController)
        _drawerController->setZoomFactor(z);
}

// ==== Pop-ups ============================================================================

double LBEditController::zoomSliderValueForPopupIndex(qint64 index)
{
    static const double values[] = {2.3,  3.22,  4.37,  5.09,  6.0,   6.8,   7.3,
                                    7.93, 8.328, 8.828, 9.143, 9.537, 9.786, 10.0};
    if (index < 0)
        return 2.0;
    if (index < 14)
        return values[index];
    return -1.0;
}

void LBEditController::zoomPopupAction(qint64 index)
{
    const double value = zoomSliderValueForPopupIndex(index);
    if (value > 0 && _windowController)
        _windowController->setZoomSliderValue(value);
}

void LBEditController::connectPopups()
{
    if (!_windowController)
        return;
    platform::KXPopUpImageButton* zoom = _windowController->zoomPopupButton();
    platform::KXPopUpImageButton* dpi = _windowController->dpiPopupButton();
    disconnect(_zoomPopupConnection);
    disconnect(_dpiPopupConnection);
    if (zoom)
        _zoomPopupConnection = connect(zoom, &platform::PopUpButton::activated, this,
                                       [this](int index) { zoomPopupAction(index); });
    if (dpi)
        _dpiPopupConnection = connect(dpi, &platform::PopUpButton::activated, this,
                                      [this](int index) { dpiPopupAction(index); });
}

void LBEditController::updateDpiPopup()
{
    platform::KXPopUpImageButton* popup =
        _windowController ? _windowController->dpiPopupButton() : nullptr;
    if (!popup)
        return;
    popup->removeAllItems();
    const auto add = [popup](const QString& title, const char* picture) {
        popup->addItemWithTitle(title);
        popup->setItemImage(popup->numberOfItems() - 1,
                            platform::Image::imageNamed(QLatin1String(picture)));
    };
    add(misc("Faster Drawing (72 dpi)"), "DpiMenuFaster");
    add(misc("Fast Drawing (150 dpi)"), "DpiMenu");
    add(misc("Slow Drawing (300 dpi)"), "DpiMenuSlow");
    popup->addSeparatorItem();
    const qint64 dpi = LBProcessState::imageDisplayResolution();
    if (dpi == 72 || dpi == 150 || dpi == 300) {
        popup->selectItemAtIndex(dpi == 72 ? 0 : dpi == 150 ? 1 : 2);
    } else {
        add(misc("Custom (%ld dpi)").replace(QStringLiteral("%ld"), QString::number(dpi)),
            "DpiMenuCustom");
        popup->addSeparatorItem();
        popup->selectItemAtIndex(4);
    }
    popup->addItemWithTitle(misc("Other..."));
    updateDPIPopupButtonImage();
}

void LBEditController::updateDPIPopupButtonImage()
{
    platform::KXPopUpImageButton* popup =
        _windowController ? _windowController->dpiPopupButton() : nullptr;
    if (!popup)
        return;
    const qint64 dpi = LBProcessState::imageDisplayResolution();
    const QString name = dpi == 72    ? QStringLiteral("DpiPopupFaster")
                         : dpi == 150 ? QStringLiteral("DpiPopup")
                         : dpi == 300 ? QStringLiteral("DpiPopupSlow")
                                      : QStringLiteral("DpiPopupCustom");
    const platform::ImagePtr image = platform::Image::imageNamed(name);
    popup->setPopupImage(image);
    popup->setAlternatePopupImage(image);
}

void LBEditController::dpiPopupAction(qint64 index)
{
    platform::KXPopUpImageButton* popup =
        _windowController ? _windowController->dpiPopupButton() : nullptr;
    if (!popup || index < 0 || index >= popup->numberOfItems())
        return;
    const qint64 current = LBProcessState::imageDisplayResolution();
    if (index == popup->numberOfItems() - 1) {
        if (ApplicationServices* services = ApplicationServices::shared())
            services->selectPrefPaneNamed(QStringLiteral("DisplayPrefs"));
        popup->selectItemAtIndex(current == 72 ? 0 : current == 150 ? 1 : current == 300 ? 2 : 4);
        return;
    }
    static const QRegularExpression number(QStringLiteral("[0-9]+"));
    const QRegularExpressionMatch match = number.match(popup->itemTitleAtIndex(int(index)));
    if (!match.hasMatch())
        return;
    const qint64 dpi = match.captured().toLongLong();
    LBProcessState::setImageDisplayResolution(dpi);
    updateDPIPopupButtonImage();
    userDefaults().setInteger(dpi, QStringLiteral("Image Quality"));
    platform::NotificationCenter::defaultCenter().post(LBImageQualityChanged);
    if (userDefaults().boolForKey(QStringLiteral("DisableImageResolutionChangeAlert")))
        return;
    platform::Alert alert;
    alert.messageText = dialogString(QStringLiteral("Image Display Quality changed."));
    alert.informativeText = dialogString(ImageResolutionInformativeText);
    alert.buttons = {dialogString(QStringLiteral("OK"))};
    alert.showsSuppressionButton = true;
    // On the window whose pop-up was used.
    alert.beginSheetModalForWindow(popup->window(), [](const platform::Alert::Response& response) {
        if (response.suppressed)
            userDefaults().setBool(true, QStringLiteral("DisableImageResolutionChangeAlert"));
    });
}

// ==== Units, grid, guides and rulers =====================================================

double LBEditController::pointsPerUnit(qint64 units)
{
    return units == 0 ? 72.0 : units == 1 ? 28.3464567 : 1.0;
}

QString LBEditController::unitName(qint64 units)
{
    return units == 0   ? QStringLiteral("Inches")
           : units == 1 ? QStringLiteral("Centimeters")
                        : QStringLiteral("Points");
}

void LBEditController::changeDisplayUnits()
{
    const QString name = unitName(unitsType());
    if (LBRulerView* ruler = horizontalRuler())
        ruler->setMeasurementUnits(name);
    if (LBRulerView* ruler = verticalRuler())
        ruler->setMeasurementUnits(name);
}

void LBEditController::toggleGridAbove()
{
    for (LBGraphicView* view : std::as_const(_graphicViews))
        view->setShowsGrid(view->showsGrid() == 1 ? 0 : 1);
    const bool above = !_graphicViews.isEmpty() && _graphicViews.first()->showsGrid() == 1;
    userDefaults().setBool(above, QStringLiteral("Show Grid"));
    userDefaults().setBool(false, QStringLiteral("Show Grid Below"));
}

void LBEditController::toggleGridBelow()
{
    for (LBGraphicView* view : std::as_const(_graphicViews))
        view->setShowsGrid(view->showsGrid() == 2 ? 0 : 2);
    const bool below = !_graphicViews.isEmpty() && _graphicViews.first()->showsGrid() == 2;
    userDefaults().setBool(false, QStringLiteral("Show Grid"));
    userDefaults().setBool(below, QStringLiteral("Show Grid Below"));
}

void LBEditController::hideGrid()
{
    const qint64 mode = showsGrid();
    if (mode == 1)
        toggleGridAbove();
    else if (mode == 2)
        toggleGridBelow();
}

void LBEditController::snapToGrid(QObject* sender)
{
    Q_UNUSED(sender);
    for (LBGraphicView* view : std::as_const(_graphicViews))
        view->setSnapsToGrid(!view->snapsToGrid());
    if (!_graphicViews.isEmpty())
        userDefaults().setBool(_graphicViews.first()->snapsToGrid(),
                               QStringLiteral("Snap To Grid"));
}

bool LBEditController::snapToGrid() const
{
    return _selectedGraphicView && _selectedGraphicView->snapsToGrid();
}

qint64 LBEditController::showsGrid() const
{
    return _selectedGraphicView ? _selectedGraphicView->showsGrid() : 0;
}

bool LBEditController::rulersAreVisible() const
{
    return _scrollView->rulersVisible();
}

void LBEditController::drawAlignmentGuides()
{
    const QString key = QStringLiteral("Draw Dynamic Guides");
    userDefaults().setBool(!userDefaults().boolForKey(key), key);
}

void LBEditController::toggleRulers()
{
    // The canvas sets itself up as the rulers' client when they first show.
    if (_selectedGraphicView)
        _selectedGraphicView->toggleRuler(nullptr);
    else
        _scrollView->setRulersVisible(!_scrollView->rulersVisible());
    scrollerFrameChanged();
    if (_scrollView->rulersVisible())
        scrollerFrameChanged();
}

void LBEditController::toggleFaceLayout()
{
    const QString key = QStringLiteral("LBHideFaceLayout");
    userDefaults().setBool(!userDefaults().boolForKey(key), key);
    redrawGraphicViews();
}

void LBEditController::redrawGraphicViews()
{
    for (qsizetype i = _graphicViews.size() - 1; i >= 0; --i)
        _graphicViews[i]->update();
}

// ==== Sheets =============================================================================

namespace {

QDialog* makeSheet(const QString& name)
{
    auto* sheet = new QDialog;
    sheet->setObjectName(name);
    sheet->setWindowModality(Qt::WindowModal);
    return sheet;
}

QPushButton* addButton(QHBoxLayout* row, const QString& title, bool isDefault)
{
    auto* button = new QPushButton(title);
    button->setDefault(isDefault);
    row->addWidget(button);
    return button;
}

void beginSheet(QDialog* sheet, QWidget* window)
{
    // Window-modal on the design window: shown, not waited for.
    if (window && sheet->parentWidget() != window)
        sheet->setParent(window, sheet->windowFlags() | Qt::Sheet | Qt::Dialog);
    sheet->setWindowModality(Qt::WindowModal);
    sheet->open();
}

} // namespace

QDialog* LBEditController::gridSettingsSheet() const
{
    return _gridSettingsSheet;
}

QDialog* LBEditController::moveGraphicsSheet() const
{
    return _moveGraphicsSheet;
}

QDialog* LBEditController::backgroundImageSheet() const
{
    return _backgroundImageSheet;
}

void LBEditController::buildGridSettingsSheet()
{
    _gridSettingsSheet = makeSheet(QStringLiteral("GridSettings"));
    auto* layout = new QVBoxLayout(_gridSettingsSheet);
    _gridSettingsBoxFormat = misc("%@ Grid Settings");
    _gridSettingsBox = new QGroupBox(_gridSettingsBoxFormat);
    auto* form = new QFormLayout(_gridSettingsBox);
    auto* spacingRow = new QHBoxLayout;
    _gridSpacingField = new QLineEdit;
    _gridSpacingUnitsPopup = new QComboBox;
    _gridSpacingUnitsPopup->addItems({misc("inches"), misc("centimeters"), misc("points")});
    spacingRow->addWidget(_gridSpacingField);
    spacingRow->addWidget(_gridSpacingUnitsPopup);
    form->addRow(misc("Grid spacing:"), spacingRow);
    _guideSpacingField = new QLineEdit;
    form->addRow(misc("Major line every:"), _guideSpacingField);
    _printGridCheckbox = new QCheckBox(misc("Print grid"));
    form->addRow(QString(), _printGridCheckbox);
    layout->addWidget(_gridSettingsBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    connect(addButton(buttons, misc("Cancel"), false), &QPushButton::clicked, this,
            [this] { gridSettingsButtonAction(0); });
    connect(addButton(buttons, misc("OK"), true), &QPushButton::clicked, this,
            [this] { gridSettingsButtonAction(1); });
    layout->addLayout(buttons);
    connect(_gridSpacingUnitsPopup, &QComboBox::activated, this,
            [this](int index) { gridSettingsUnitsChanged(index); });
}

void LBEditController::gridSettingsAction()
{
    LBDocument* document = this->document();
    _gridSettingsBox->setTitle(
        QString(_gridSettingsBoxFormat)
            .replace(QStringLiteral("%@"), platform::LocalizedString(QStringLiteral("Document"),
                                                                     QStringLiteral("Misc"))));
    _gridUnitsType = unitsType();
    const qint64 item = _gridUnitsType == 0 ? 0 : _gridUnitsType == 1 ? 1 : 2;
    const double spacing = document ? document->gridSpacing() : 0.0;
    _gridSpacingUnitsPopup->setCurrentIndex(int(item));
    _gridSpacingField->setText(QString::asprintf("%f", spacing / pointsPerUnit(_gridUnitsType)));
    _guideSpacingField->setText(QString::number(document ? document->guideSpacing() : 0));
    _printGridCheckbox->setChecked(document && document->printGrid());
    beginSheet(_gridSettingsSheet, designWindow());
}

void LBEditController::gridSettingsUnitsChanged(qint64 units)
{
    const double points = _gridSpacingField->text().toDouble() * pointsPerUnit(_gridUnitsType);
    _gridUnitsType = units;
    _gridSpacingField->setText(QString::asprintf("%f", points / pointsPerUnit(_gridUnitsType)));
}

bool LBEditController::gridSettingsButtonAction(qint64 tag)
{
    const double points = _gridSpacingField->text().toDouble() * pointsPerUnit(_gridUnitsType);
    if (tag != 1) {
        _gridSettingsSheet->close();
        return true;
    }
    const qint64 guides = _guideSpacingField->text().toLongLong();
    // Spacings under 1 would draw millions of grid lines: the sheet stays for a new value.
    if (!(points >= 1.0) || guides < 1) {
        platform::beep();
        return false;
    }
    _gridSettingsSheet->close();
    if (LBDocument* document = this->document()) {
        document->setGridSpacing(points, false);
        document->setGuideSpacing(guides, false);
        document->setPrintGrid(_printGridCheckbox->isChecked());
    }
    if (_selectedGraphicView)
        _selectedGraphicView->update();
    return true;
}

void LBEditController::buildMoveGraphicsSheet()
{
    _moveGraphicsSheet = makeSheet(QStringLiteral("MoveGraphics"));
    auto* layout = new QVBoxLayout(_moveGraphicsSheet);
    auto* form = new QFormLayout;
    const auto row = [&](const QString& title, QLineEdit*& field, QLabel*& units) {
        auto* line = new QHBoxLayout;
        field = new QLineEdit(QStringLiteral("0"));
        // A distance only: a signed number, its decimals after a point or a comma.
        field->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[-+]?\\d*([.,]\\d*)?")), field));
        units = new QLabel;
        line->addWidget(field);
        line->addWidget(units);
        form->addRow(title, line);
    };
    row(misc("Horizontal:"), _moveGraphicsDeltaXField, _moveGraphicsXUnitsText);
    row(misc("Vertical:"), _moveGraphicsDeltaYField, _moveGraphicsYUnitsText);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    connect(addButton(buttons, misc("Cancel"), false), &QPushButton::clicked, this,
            [this] { moveGraphicsButtonAction(0); });
    connect(addButton(buttons, misc("Move"), true), &QPushButton::clicked, this,
            [this] { moveGraphicsButtonAction(1); });
    layout->addLayout(buttons);
}

void LBEditController::moveGraphicsAction()
{
    const qint64 units = unitsType();
    const QString name = units == 0   ? QStringLiteral("in")
                         : units == 1 ? QStringLiteral("cm")
                                      : QStringLiteral("pt");
    _moveGraphicsXUnitsText->setText(name);
    _moveGraphicsYUnitsText->setText(name);
    // The last distances stay, selected, so the user types over them or moves again.
    _moveGraphicsDeltaYField->selectAll();
    _moveGraphicsDeltaXField->selectAll();
    _moveGraphicsDeltaXField->setFocus();
    beginSheet(_moveGraphicsSheet, designWindow());
}

double LBEditController::moveGraphicsDistance(const QLineEdit* field)
{
    QString text = field->text().trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    // An empty field, or a lone sign, is no distance.
    return QLocale::c().toDouble(text);
}

void LBEditController::moveGraphicsButtonAction(qint64 tag)
{
    const double dx = moveGraphicsDistance(_moveGraphicsDeltaXField);
    const double dy = moveGraphicsDistance(_moveGraphicsDeltaYField);
    _moveGraphicsSheet->close();
    if (tag != 1 || !_selectedGraphicView)
        return;
    const double factor = pointsPerUnit(unitsType());
    _selectedGraphicView->moveSelectedGraphicsByPoint(QPointF(dx * factor, dy * factor));
}

void LBEditController::buildBackgroundImageSheet()
{
    _backgroundImageSheet = makeSheet(QStringLiteral("BackgroundImage"));
    auto* layout = new QVBoxLayout(_backgroundImageSheet);
    auto* form = new QFormLayout;
    _backgroundImageScalingPopup = new QComboBox;
    _backgroundImageScalingPopup->addItems(backgroundImageScalingTitles());
    form->addRow(misc("Scaling:"), _backgroundImageScalingPopup);
    _backgroundImageTransparencySlider = new QSlider(Qt::Horizontal);
    _backgroundImageTransparencySlider->setRange(0, 100);
    // Raised, it fades the picture: it shows the picture's transparency.
    form->addRow(misc("Transparency:"), _backgroundImageTransparencySlider);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    connect(addButton(buttons, misc("Remove Image"), false), &QPushButton::clicked, this,
            [this] { backgroundImageSettingsButton(2); });
    buttons->addStretch();
    connect(addButton(buttons, misc("Done"), true), &QPushButton::clicked, this,
            [this] { backgroundImageSettingsButton(1); });
    layout->addLayout(buttons);
    connect(_backgroundImageScalingPopup, &QComboBox::activated, this,
            [this](int index) { backgroundImageScalingChanged(index); });
    connect(_backgroundImageTransparencySlider, &QSlider::sliderReleased, this, [this] {
        backgroundImageTransparencyChanged(_backgroundImageTransparencySlider->value() / 100.0);
    });
}

void LBEditController::backgroundImageSheetAction()
{
    if (const LBDocument* document = this->document()) {
        const qint64 page = document->pageIndex();
        _backgroundImageScalingPopup->setCurrentIndex(int(document->backgroundImageScaling(page)));
        _backgroundImageTransparencySlider->setValue(
            int(std::lround((1.0 - document->backgroundImageTransparency(page)) * 100.0)));
    }
    beginSheet(_backgroundImageSheet, designWindow());
}

void LBEditController::backgroundImageSettingsButton(qint64 tag)
{
    if (tag == 1) {
        _backgroundImageSheet->close();
        return;
    }
    LBDocument* document = this->document();
    if (tag != 2 || !document)
        return;
    document->setBackgroundImagePath(QString(), true, document->pageIndex());
    document->updateChangeCount(platform::Document::ChangeDone);
}

void LBEditController::backgroundImageScalingChanged(qint64 scaling)
{
    LBDocument* document = this->document();
    if (!document)
        return;
    if (platform::UndoManager* undo = document->undoManager())
        undo->setActionName(platform::LocalizedString(QStringLiteral("Background Image Scaling"),
                                                      QStringLiteral("UndoStrings")));
    document->setBackgroundImageScaling(scaling, document->pageIndex());
    document->updateChangeCount(platform::Document::ChangeDone);
}

QStringList LBEditController::backgroundImageScalingTitles()
{
    return {misc("Natural Size"), misc("Tile"), misc("Stretch to Fit"), misc("Fill")};
}

void LBEditController::backgroundImageTransparencyChanged(double transparency)
{
    LBDocument* document = this->document();
    if (!document)
        return;
    if (platform::UndoManager* undo = document->undoManager())
        undo->setActionName(platform::LocalizedString(
            QStringLiteral("Background Image Transparency"), QStringLiteral("UndoStrings")));
    document->setBackgroundImageTransparency(1.0 - transparency, document->pageIndex());
    document->updateChangeCount(platform::Document::ChangeDone);
}
