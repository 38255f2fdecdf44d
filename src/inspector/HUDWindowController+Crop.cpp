// The Crop pane (see HUDCropTools.h).

#include "canvas/LBGraphicView.h"
#include "controls/LBCircularSlider.h"
#include "controls/LBCompImageButton.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDCropTools.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Beep.h"
#include "shapes/LBImage.h"

#include <QAction>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace {

const QString cropTypeKey = QStringLiteral("Crop Constraint Type");
const QString customRatioKey = QStringLiteral("Crop Constraint Custom Ratio");
constexpr double zoomScale = 100.0; // the zoom slider counts hundredths of a point

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString cropString(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Crop Strings"));
}

QString numberText(double value)
{
    return HUDWindowController::stripTrailingZerosFromString(QString::asprintf("%f", value));
}

// A field's text as a ratio side: a number above 0, else nothing.
std::optional<double> positiveNumber(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0.0)
        return std::nullopt;
    return value;
}

QIcon menuBulletIcon()
{
    const QSizeF size = hudImageSize(QStringLiteral("MenuBullet"));
    QPixmap pixmap((size.isEmpty() ? QSizeF(8, 8) : size).toSize() * 2);
    pixmap.setDevicePixelRatio(2.0);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    drawHUDImage(painter, QStringLiteral("MenuBullet"), QRectF(QPointF(), size));
    return QIcon(pixmap);
}

LBCompImageButton* textButton(const QString& title, QWidget* parent)
{
    auto* button = new LBCompImageButton(
        QStringLiteral("HUDCapLeft0|HUDMiddle0|HUDCapRight0|HUDCapLeftH|HUDMiddleH|HUDCapRightH"),
        parent);
    button->setTitle(title);
    button->setTitleColor(Qt::white);
    return button;
}

} // namespace

// ==== The rules ===========================================================================

double HUDCropTools::ratioForItem(int item, bool swapped, const QSizeF& customRatio)
{
    struct Pair
    {
        double ratio, swapped;
    };
    static const Pair pairs[] = {
        {0.0, 0.0},        {1.5, 2.0 / 3.0},     {5.0 / 3.0, 0.6},
        {4.0 / 3.0, 0.75}, {1.5, 2.0 / 3.0},     {1.4, 5.0 / 7.0},
        {1.25, 0.8},       {16.0 / 9.0, 0.5625}, {1.0, 1.0},
    };
    if (item >= 0 && item < CustomItem)
        return swapped ? pairs[item].swapped : pairs[item].ratio;
    if (item == CustomItem)
        return customRatio.height() > 0.0 ? customRatio.width() / customRatio.height() : 0.0;
    return -1.0;
}

int HUDCropTools::windowTypeForItem(int item, bool showConstrainTools)
{
    if (!showConstrainTools)
        return 1;
    return item == CustomItem ? 3 : 2;
}

double HUDCropTools::windowHeightForCropType(int type, double height)
{
    switch (type) {
    case 1: return height > 174.0 ? 164.0 : height;
    case 2: return height < 186.0 || height > 206.0 ? 196.0 : height;
    case 3: return height < 208.0 ? 218.0 : height;
    default: return height;
    }
}

double HUDCropTools::zoomMinimum(const QSizeF& image, double imageRotation, const QSizeF& mask)
{
    if (image.height() <= 0.0)
        return 0.0;
    const double r = image.width() / image.height();
    const bool quarter = imageRotation == 90.0 || imageRotation == -90.0;
    const double w = quarter ? mask.height() : mask.width();
    const double h = quarter ? mask.width() : mask.height();
    if (h <= 0.0)
        return w;
    return r > w / h ? w : h * r;
}

QString HUDCropTools::rotationText(double degrees)
{
    double a = degrees;
    if (a > 180.0)
        a -= 360.0;
    const QString number = a == 0.0 ? QStringLiteral("0") : numberText(a);
    return number + QChar(0x00BA);
}

QSizeF HUDCropTools::storedCustomRatio()
{
    const QSizeF stored = platform::sizeFromString(defaults().stringForKey(customRatioKey));
    return stored.width() == 0.0 ? QSizeF(6.0, 4.0) : stored;
}

// ==== The pane ============================================================================

HUDCropTools::HUDCropTools(HUDWindowController& controller) : _controller(controller)
{
    resize(paneWidth, 144);

    _cropConstrainView = new QWidget(this);
    _cropPopup = new HUDPopUpButton(false, _cropConstrainView);
    const char* titles[] = {"No Constraint", "4 x 6",  "3 x 5",  "3 x 4",  "2 x 3",
                            "5 x 7",         "8 x 10", "16 x 9", "Square", "Custom"};
    for (int i = 0; i < CustomItem + 1; ++i)
        _cropPopup->addItem(tr(titles[i]), i);
    _cropPopup->itemMenu()->addSeparator()->setData(10);
    _cropPopup->addItem(cropString("Constrain as portrait"), OrientationItem);
    _cropPopup->itemMenu()->addSeparator()->setData(12);
    _cropPopup->addItem(tr("Tile Image"), TileItem);
    connect(_cropPopup, &HUDPopUpButton::activated, this, [this] { cropToolsAction(_cropPopup); });

    _cropCustomView = new QWidget(this);
    _cropCustomWidth = new HUDTextField(_cropCustomView);
    _cropCustomHeight = new HUDTextField(_cropCustomView);
    auto* by = new HUDLabel(QStringLiteral("x"), _cropCustomView);
    by->setGeometry(96, 2, 12, 16);
    _cropCustomWidth->setGeometry(40, 0, 50, 20);
    _cropCustomHeight->setGeometry(110, 0, 50, 20);
    for (HUDTextField* field : {_cropCustomWidth, _cropCustomHeight}) {
        _controller.watchTextField(field, [this, field] { cropToolsAction(field); });
    }

    _cropZoomSlider = new HUDSlider(this);
    _cropZoomSlider->setOrientation(Qt::Horizontal);
    // Reloads block its signals: a change is the user's.
    connect(_cropZoomSlider, &QSlider::valueChanged, this,
            [this] { cropToolsAction(_cropZoomSlider); });

    _cropRotateSlider = new LBCircularSlider(this);
    _cropRotateSlider->setAppearance(LBCircularSlider::HUDAppearance);
    _cropRotateSlider->setHUDAppearance(true);
    _cropRotateSlider->setAngleUnits(LBCircularSlider::CompassDegreeUnits);
    _cropRotateSlider->setContinuous(true);
    _cropRotateSlider->setAction([this](LBCircularSlider* dial) { cropToolsAction(dial); });

    _cropRotateComboBox = new HUDComboBox(this);
    _cropRotateComboBox->setInsertPolicy(QComboBox::NoInsert);
    for (int angle : {0, 45, 90, 135, 180, -45, -90, -135})
        _cropRotateComboBox->addItem(rotationText(angle));
    // A choice from the list, or a number typed and confirmed with Return.
    connect(_cropRotateComboBox, &QComboBox::textActivated, this,
            [this] { cropToolsAction(_cropRotateComboBox); });
    connect(_cropRotateComboBox->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { cropToolsAction(_cropRotateComboBox); });

    _flipHorizontalButton = textButton(tr("Flip H"), this);
    _flipHorizontalButton->setTag(1);
    _flipVerticalButton = textButton(tr("Flip V"), this);
    _flipVerticalButton->setTag(2);
    _cropConstrainProportionsCheckbox = new HUDCheckbox(tr("Keep proportions"), this);
    _cropOKButton = textButton(tr("OK"), this);
    _cropCancelButton = textButton(tr("Cancel"), this);
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(_flipHorizontalButton),
          static_cast<QAbstractButton*>(_flipVerticalButton),
          static_cast<QAbstractButton*>(_cropConstrainProportionsCheckbox),
          static_cast<QAbstractButton*>(_cropOKButton),
          static_cast<QAbstractButton*>(_cropCancelButton)})
        connect(button, &QAbstractButton::clicked, this,
                [this, button] { cropToolsAction(button); });
    _controller.groupDragOfControl(_cropZoomSlider);
    _controller.groupDragOfControl(_cropRotateSlider);

    auto* zoomLabel = new HUDLabel(tr("Zoom"), this);
    zoomLabel->setObjectName(QStringLiteral("zoomLabel"));
    auto* constrainLabel = new HUDLabel(tr("Constrain"), _cropConstrainView);
    constrainLabel->setGeometry(8, 3, 60, 16);
    _cropPopup->setGeometry(70, 0, 150, 22);
    auto* sizeLabel = new HUDLabel(tr("Ratio"), _cropCustomView);
    sizeLabel->setGeometry(0, 2, 40, 16);
    layOut();
}

void HUDCropTools::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void HUDCropTools::layOut()
{
    // Laid out from the bottom: the palette grows upwards for the ratio controls.
    const int h = height();
    _cropOKButton->setGeometry(paneWidth - 78, h - 28, 68, 20);
    _cropCancelButton->setGeometry(paneWidth - 152, h - 28, 68, 20);
    _cropConstrainProportionsCheckbox->setGeometry(10, h - 52, 200, 18);
    _cropRotateSlider->setGeometry(8, h - 112, 56, 56);
    _cropRotateComboBox->setGeometry(70, h - 104, 70, 22);
    _flipHorizontalButton->setGeometry(150, h - 104, 64, 20);
    _flipVerticalButton->setGeometry(150, h - 80, 64, 20);
    if (QWidget* label = findChild<QWidget*>(QStringLiteral("zoomLabel")))
        label->setGeometry(10, h - 134, 40, 16);
    _cropZoomSlider->setGeometry(52, h - 136, paneWidth - 62, 20);
    _cropConstrainView->setGeometry(0, h - 168, paneWidth, 24);
    _cropCustomView->setGeometry(30, h - 194, paneWidth - 40, 22);
}

bool HUDCropTools::showCropConstrainTools() const
{
    return _controller._showConstrainTools;
}

double HUDCropTools::zoomValue() const
{
    return _cropZoomSlider->value() / zoomScale;
}

double HUDCropTools::zoomMinimumValue() const
{
    return _cropZoomSlider->minimum() / zoomScale;
}

double HUDCropTools::zoomMaximumValue() const
{
    return _cropZoomSlider->maximum() / zoomScale;
}

QAction* HUDCropTools::itemAt(int item) const
{
    const QList<QAction*> items = _cropPopup->itemMenu()->actions();
    return item >= 0 && item < items.size() ? items.at(item) : nullptr;
}

void HUDCropTools::selectItem(int item)
{
    if (QAction* action = itemAt(item))
        _cropPopup->selectItem(action);
}

void HUDCropTools::chooseItem(int item)
{
    selectItem(item);
    cropToolsAction(_cropPopup);
}

void HUDCropTools::setItem11Bullet(bool on)
{
    if (QAction* item = itemAt(OrientationItem))
        item->setIcon(on ? menuBulletIcon() : QIcon());
}

void HUDCropTools::forceSelectCropTools(bool force, bool showConstrainTools)
{
    HUDWindowController& c = _controller;
    c._forceSelectCropTools = force;
    c._showConstrainTools = showConstrainTools;
    if (!force) {
        // A palette collapsed before the crop collapses again.
        if (c._preForceToolsTag == HUDWindowController::CollapsedTools)
            c.collapseButtonAction(true);
        return;
    }
    LBGraphicView* canvas = c.graphicView();
    const LBImage* photo = canvas ? canvas->croppingImage() : nullptr;
    c._preForceToolsTag = c._currToolsTag;
    _swapCropRatio = false;
    if (QAction* item = itemAt(OrientationItem)) {
        const bool wide = photo && photo->bounds().width() > photo->bounds().height();
        item->setText(wide ? cropString("Constrain as portrait")
                           : cropString("Constrain as landscape"));
    }
    setItem11Bullet(false);
    _origCropImageWidth = photo ? photo->bounds().width() : 0.0;
    _cropZoomSlider->setEnabled(true);
    _cropRotateSlider->setEnabled(true);
    if (canvas)
        c.updateFromGraphicView(canvas);
    const bool withShape = canvas && canvas->croppingWithShapeOrText();
    selectItem(withShape ? 0 : int(defaults().integerForKey(cropTypeKey)));
    const QSizeF custom = storedCustomRatio();
    _cropCustomWidth->setText(numberText(custom.width()));
    _cropCustomHeight->setText(numberText(custom.height()));
    cropToolsAction(_cropPopup);
}

void HUDCropTools::updateCropTools()
{
    HUDWindowController& c = _controller;
    LBGraphicView* canvas = c.graphicView();
    if (canvas && c.selectedGraphics().size() == 1 && c.selectedGraphics().first()->isImageCrop()
        && !canvas->croppingImage())
        canvas->recrop();
    updateCropSliders();
    const bool withShape = canvas && canvas->croppingWithShapeOrText();
    const int item = withShape ? 0 : int(defaults().integerForKey(cropTypeKey));
    selectItem(item);
    setWindowHeightForCropType(windowTypeForItem(item, showCropConstrainTools()), false);
    const QSizeF custom = storedCustomRatio();
    _cropCustomWidth->setText(numberText(custom.width()));
    _cropCustomHeight->setText(numberText(custom.height()));
}

void HUDCropTools::updateCropSliders()
{
    LBGraphicView* canvas = _controller.graphicView();
    const LBImage* photo = canvas ? canvas->croppingImage() : nullptr;
    const LBGraphic* mask = canvas ? canvas->croppingShape() : nullptr;
    const QSizeF I = photo ? photo->bounds().size() : QSizeF(0, 0);
    const QSizeF M = mask ? mask->bounds().size() : QSizeF(0, 0);
    const double rotation = photo ? photo->rotation() : 0.0;

    // Without a photo of some height there is nothing to zoom.
    const bool canZoom = I.height() > 0.0;
    const double minimum = canZoom ? zoomMinimum(I, rotation, M) : 0.0;
    const QSignalBlocker blockZoom(_cropZoomSlider);
    _cropZoomSlider->setRange(int(std::lround(minimum * zoomScale)),
                              int(std::lround(4.0 * minimum * zoomScale)));
    _cropZoomSlider->setValue(int(std::lround(I.width() * zoomScale)));
    if (!canZoom)
        _cropZoomSlider->setEnabled(false);
    else if (_cropRotateSlider->isEnabled()) // not while tiling
        _cropZoomSlider->setEnabled(true);

    double a = rotation;
    if (a > 180.0)
        a -= 360.0;
    _cropRotateSlider->setAngle(a, 1.0);
    _cropRotateComboBox->setEditText(rotationText(a));
    _cropConstrainProportionsCheckbox->setChecked(photo && photo->constrainProportions());
}

void HUDCropTools::cropToolsAction(QObject* sender)
{
    LBGraphicView* canvas = _controller.graphicView();
    if (!canvas)
        return;
    if (sender == _cropZoomSlider) {
        if (_cropZoomSlider->isEnabled())
            canvas->zoomCroppedImageToWidth(zoomValue());
    } else if (sender == _cropRotateSlider) {
        double angle = 0.0, distance = 0.0;
        _cropRotateSlider->getAngle(&angle, &distance);
        canvas->rotateCroppedImageByDegrees(std::trunc(angle));
        updateCropSliders();
    } else if (sender == _cropRotateComboBox) {
        const std::optional<double> typed =
            platform::typedDouble(_cropRotateComboBox->currentText());
        // What is not a number is refused, not taken as 0: Return puts the angle back,
        // while typing the field is left alone.
        if (!typed) {
            if (!_controller.textChangeInvokedByTimer()) {
                platform::beep();
                updateCropSliders();
            }
            return;
        }
        canvas->rotateCroppedImageByDegrees(*typed);
        updateCropSliders();
    } else if (sender == _cropConstrainProportionsCheckbox) {
        canvas->constrainCropImageProportions(_cropConstrainProportionsCheckbox->isChecked());
        updateCropSliders();
        if (_cropZoomSlider->isEnabled())
            canvas->zoomCroppedImageToWidth(zoomValue());
    } else if (sender == _cropOKButton) {
        canvas->finishCroppingImage();
        _controller.updateFromGraphicView(canvas);
    } else if (sender == _cropCancelButton) {
        canvas->cancelCrop();
        _controller.updateFromGraphicView(canvas);
    } else if (sender == _cropCustomWidth || sender == _cropCustomHeight) {
        customRatioAction();
    } else if (sender == _cropPopup) {
        ratioPopupAction(_cropPopup->indexOfSelectedItem());
    } else if (auto* flip = dynamic_cast<LBCompImageButton*>(sender)) {
        if (LBImage* photo = canvas->croppingImage()) {
            if (flip->tag() == 1)
                photo->flipHorizontally();
            else
                photo->flipVertically();
            canvas->invalidateGraphic(photo);
        }
    }
}

void HUDCropTools::customRatioAction()
{
    LBGraphicView* canvas = _controller.graphicView();
    const std::optional<double> w = positiveNumber(_cropCustomWidth->text());
    const std::optional<double> h = positiveNumber(_cropCustomHeight->text());
    if (!w || !h) {
        // Refused: a ratio needs two numbers above 0. While typing the field is left
        // alone (the user may be half-way through a number); Return puts it back.
        if (!_controller.textChangeInvokedByTimer()) {
            const QSizeF stored = storedCustomRatio();
            _cropCustomWidth->setText(numberText(stored.width()));
            _cropCustomHeight->setText(numberText(stored.height()));
        }
        return;
    }
    defaults().setObject(platform::stringFromSize(QSizeF(*w, *h)), customRatioKey);
    if (canvas)
        canvas->constrainCropProportionsToRatio(*w / *h);
    updateCropSliders();
}

void HUDCropTools::ratioPopupAction(int item)
{
    LBGraphicView* canvas = _controller.graphicView();
    if (!canvas)
        return;
    bool store = true;
    if (item >= 0 && item <= CustomItem) {
        const QSizeF custom(positiveNumber(_cropCustomWidth->text()).value_or(0.0),
                            positiveNumber(_cropCustomHeight->text()).value_or(0.0));
        const double ratio =
            ratioForItem(item, _swapCropRatio,
                         custom.width() > 0 && custom.height() > 0 ? custom : storedCustomRatio());
        canvas->constrainCropProportionsToRatio(ratio);
    } else if (item == TileItem) {
        canvas->zoomCroppedImageToWidth(_origCropImageWidth);
        _cropRotateSlider->setAngle(0.0, 1.0);
        cropToolsAction(_cropRotateSlider);
        _cropZoomSlider->setEnabled(false);
        _cropRotateSlider->setEnabled(false);
        canvas->tileCroppedImage(true);
        setItem11Bullet(false);
        _swapCropRatio = false;
        store = false;
    }
    if (item != TileItem) {
        if (!_cropRotateSlider->isEnabled()) {
            // Tiling was on: the photo takes the slider's width again.
            _cropZoomSlider->setEnabled(true);
            _cropRotateSlider->setEnabled(true);
            cropToolsAction(_cropZoomSlider);
            canvas->tileCroppedImage(false);
        }
        if (item == OrientationItem) {
            _swapCropRatio = !_swapCropRatio;
            setItem11Bullet(_swapCropRatio);
            selectItem(_selectedCropType);
            cropToolsAction(_cropPopup);
            updateCropSliders();
            return;
        }
        _selectedCropType = item;
    }
    if (!canvas->croppingWithShapeOrText() && store)
        defaults().setInteger(item, cropTypeKey);
    setWindowHeightForCropType(windowTypeForItem(item, showCropConstrainTools()), true);
    updateCropSliders();
}

void HUDCropTools::setWindowHeightForCropType(int type, bool animate)
{
    HUDWindowController& c = _controller;
    QRectF R = c.windowFrame();
    const double oldHeight = R.height();
    const double newHeight = windowHeightForCropType(type, oldHeight);
    if (newHeight != oldHeight) {
        // Qt's y points down: the bottom edge stays where it was.
        R.setTop(R.bottom() - newHeight);
        R.setHeight(newHeight);
        if (c.inspectorMode() != HUDWindowController::Standalone)
            R = c.constrainedWindowRect(R);
        R.setWidth(width());
        resize(width(), int(newHeight) - 20);
        c.setWindowFrame(R, animate);
    }
    _cropConstrainView->setVisible(type != 1);
    _cropCustomView->setVisible(type == 3);
    if (newHeight > oldHeight)
        c.centerWindowUnderSelectedGraphics();
}

// ==== The frame's side ====================================================================

void HUDWindowController::forceSelectCropTools(bool force, bool showConstrainTools)
{
    _forceSelectCropTools = force;
    _showConstrainTools = showConstrainTools;
    if (auto* pane = dynamic_cast<HUDCropTools*>(paneView(CropTools)))
        pane->forceSelectCropTools(force, showConstrainTools);
}

void HUDWindowController::registerCropPane()
{
    Pane pane;
    pane.tag = CropTools;
    pane.titleKey = QStringLiteral("Crop");
    pane.fixedSize = QSize(-1, 144);
    pane.factory = [](HUDWindowController& controller) { return new HUDCropTools(controller); };
    pane.update = [](HUDWindowController& controller) {
        if (auto* view = dynamic_cast<HUDCropTools*>(controller.toolsView(CropTools)))
            view->updateCropTools();
    };
    pane.action = [](HUDWindowController& controller, QObject* sender) {
        if (auto* view = dynamic_cast<HUDCropTools*>(controller.toolsView(CropTools)))
            view->cropToolsAction(sender);
    };
    registerPane(pane);
}
