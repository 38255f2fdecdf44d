#include "inspector/HUDControls.h"

#include "platform/drawing/Bundle.h"
#include "platform/drawing/Image.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionComplex>
#include <QStyleOptionSlider>
#include <QTimer>

#include <algorithm>

// --- Pictures ---

HUDThreePart HUDSliderCell::barImages()
{
    return {QStringLiteral("HUDSliderBarLeft"), QStringLiteral("HUDSliderBarMiddle"),
            QStringLiteral("HUDSliderBarRight")};
}

QString HUDSliderCell::knobImageHilited(bool hilited)
{
    return hilited ? QStringLiteral("HUDSliderKnobRoundH") : QStringLiteral("HUDSliderKnobRound");
}

QString HUDCheckboxCell::checkboxImage(Qt::CheckState state, bool hilited)
{
    const QChar mark = state == Qt::Checked            ? QLatin1Char('1')
                       : state == Qt::PartiallyChecked ? QLatin1Char('M')
                                                       : QLatin1Char('0');
    return QStringLiteral("HUDCheckbox") + mark + (hilited ? QLatin1Char('H') : QLatin1Char('N'));
}

QString HUDStepperCell::stepperImage(bool topHilite, bool bottomHilite)
{
    if (topHilite)
        return QStringLiteral("HUDStepperT");
    if (bottomHilite)
        return QStringLiteral("HUDStepperB");
    return QStringLiteral("HUDStepper0");
}

QString HUDRadioButtonCell::buttonImage(bool selected, bool hilited)
{
    return QStringLiteral("HUDRadioButton") + (selected ? QLatin1Char('1') : QLatin1Char('0'))
           + (hilited ? QLatin1Char('H') : QLatin1Char('N'));
}

HUDThreePart HUDComboBoxCell::images(bool hilited)
{
    return {QStringLiteral("HUDComboBoxLeft"), QStringLiteral("HUDComboBoxCenter"),
            hilited ? QStringLiteral("HUDComboBoxRight1") : QStringLiteral("HUDComboBoxRight0")};
}

HUDThreePart HUDPopUpButtonCell::buttonImages(bool pullDown, bool hilited)
{
    const QString state = hilited ? QStringLiteral("1") : QStringLiteral("0");
    return {QStringLiteral("HUDPopUpButtonLeft") + state,
            QStringLiteral("HUDPopUpButtonCenter") + state,
            (pullDown ? QStringLiteral("HUDPullDownButtonRight")
                      : QStringLiteral("HUDPopUpButtonRight"))
                + state};
}

HUDThreePart HUDTextFieldCell::fieldImages()
{
    return {QStringLiteral("HUDTextFieldLeft"), QStringLiteral("HUDTextFieldCenter"),
            QStringLiteral("HUDTextFieldRight")};
}

HUDThreePart HUDSegmentedCell::buttonImages(int segmentIndex, int segmentCount, bool hilited)
{
    const QString state = hilited ? QStringLiteral("1") : QStringLiteral("0");
    const QString center = QStringLiteral("HUDPopUpButtonCenter") + state;
    return {segmentIndex == 0 ? QStringLiteral("HUDPopUpButtonLeft") + state : center, center,
            segmentIndex == segmentCount - 1 ? QStringLiteral("HUDSegmentedControlRight") + state
                                             : center};
}

QSizeF hudImageSize(const QString& name)
{
    const platform::ImagePtr image = platform::Image::imageNamed(name);
    return image ? image->size() : QSizeF();
}

void drawHUDImage(QPainter& painter, const QString& name, const QRectF& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const qreal ratio =
        std::max<qreal>(2.0, painter.device() ? painter.device()->devicePixelRatioF() : 1.0);
    const QPixmap pixmap = platform::Bundle().pixmapNamed(name, ratio);
    if (!pixmap.isNull())
        painter.drawPixmap(rect, pixmap, QRectF());
}

void drawHUDThreePart(QPainter& painter, const HUDThreePart& parts, const QRectF& rect)
{
    const QSizeF left = hudImageSize(parts.left);
    const QSizeF right = hudImageSize(parts.right);
    const double height = std::max({left.height(), right.height(), 1.0});
    const double y = rect.y() + (rect.height() - height) / 2.0;
    drawHUDImage(painter, parts.left, QRectF(rect.x(), y, left.width(), height));
    drawHUDImage(painter, parts.right,
                 QRectF(rect.right() - right.width(), y, right.width(), height));
    drawHUDImage(
        painter, parts.center,
        QRectF(rect.x() + left.width(), y, rect.width() - left.width() - right.width(), height));
}

// --- Style ---

namespace {
// Set on the menu of a pop-up whose items are pictures.
const char* const pictureMenuProperty = "hudPictureMenu";
} // namespace

HUDStyle::HUDStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{}

HUDStyle* HUDStyle::shared()
{
    static HUDStyle* style = new HUDStyle;
    return style;
}

QRect HUDStyle::knobRect(const QRect& bar, int minimum, int maximum, int value, QSize knob)
{
    const double barWidth = bar.width() - knob.width();
    const double fraction = maximum > minimum ? double(value - minimum) / (maximum - minimum) : 0.0;
    const int x = bar.x() + qRound(fraction * barWidth);
    return QRect(x, bar.center().y() - knob.height() / 2, knob.width(), knob.height());
}

QRect HUDStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                               SubControl sub, const QWidget* widget) const
{
    if (control == CC_Slider) {
        if (const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option)) {
            if (slider->orientation == Qt::Horizontal) {
                const QRect bar = option->rect;
                const QSize knob = hudImageSize(HUDSliderCell::knobImageHilited(false)).toSize();
                if (sub == SC_SliderHandle)
                    return knobRect(bar, slider->minimum, slider->maximum, slider->sliderPosition,
                                    knob);
                if (sub == SC_SliderGroove)
                    return bar;
            }
        }
    }
    return QProxyStyle::subControlRect(control, option, sub, widget);
}

void HUDStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                  QPainter* painter, const QWidget* widget) const
{
    if (control == CC_Slider) {
        const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
        if (slider && slider->orientation == Qt::Horizontal) {
            drawHUDThreePart(*painter, HUDSliderCell::barImages(), option->rect);
            const bool pressed =
                slider->activeSubControls & SC_SliderHandle && slider->state & State_Sunken;
            const QRect knob = subControlRect(CC_Slider, option, SC_SliderHandle, widget);
            drawHUDImage(*painter, HUDSliderCell::knobImageHilited(pressed), knob);
            return;
        }
    }
    if (control == CC_ComboBox) {
        const bool pressed = option->state & State_Sunken;
        drawHUDThreePart(*painter, HUDComboBoxCell::images(pressed), option->rect);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void HUDStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                             QPainter* painter, const QWidget* widget) const
{
    const bool pressed = option->state & State_Sunken;
    switch (element) {
    case PE_IndicatorCheckBox: {
        const Qt::CheckState state = option->state & State_NoChange ? Qt::PartiallyChecked
                                     : option->state & State_On     ? Qt::Checked
                                                                    : Qt::Unchecked;
        const QString name = HUDCheckboxCell::checkboxImage(state, pressed);
        drawHUDImage(*painter, name, QRectF(option->rect.topLeft(), hudImageSize(name)));
        return;
    }
    case PE_IndicatorRadioButton: {
        const QString name = HUDRadioButtonCell::buttonImage(option->state & State_On, pressed);
        drawHUDImage(*painter, name, QRectF(option->rect.topLeft(), hudImageSize(name)));
        return;
    }
    case PE_PanelLineEdit:
        // Inside a combo box the combo's frame is already painted.
        if (widget && qobject_cast<const QComboBox*>(widget->parentWidget()))
            return;
        drawHUDThreePart(*painter, HUDTextFieldCell::fieldImages(), option->rect);
        return;
    case PE_FrameFocusRect: return;
    default: QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void HUDStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                           const QWidget* widget) const
{
    if (element == CE_PushButton) {
        if (const auto* button = qobject_cast<const HUDPopUpButton*>(widget)) {
            const bool pressed = option->state & State_Sunken;
            const HUDThreePart parts =
                HUDPopUpButtonCell::buttonImages(button->pullsDown(), pressed);
            drawHUDThreePart(*painter, parts, option->rect);
            if (!button->pullsDown() && button->selectedItem()) {
                const double left = hudImageSize(parts.left).width() + 2;
                const double right = hudImageSize(parts.right).width();
                const QRectF room(option->rect.x() + left, option->rect.y(),
                                  option->rect.width() - left - right, option->rect.height());
                const QIcon icon = button->selectedItem()->icon();
                if (!icon.isNull()) {
                    // A picture item (a line style, an arrow) shows its picture, in white.
                    const QSize size = icon.actualSize(room.size().toSize(), QIcon::Active);
                    const QPoint at(int(room.x()), int(room.center().y() - size.height() / 2.0));
                    icon.paint(painter, QRect(at, size), Qt::AlignCenter, QIcon::Active);
                    return;
                }
                painter->setPen(Qt::white);
                painter->setFont(widget->font());
                painter->drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                                  painter->fontMetrics().elidedText(button->selectedItem()->text(),
                                                                    Qt::ElideRight,
                                                                    int(room.width())));
            }
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

int HUDStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                          const QWidget* widget) const
{
    switch (metric) {
    case PM_SliderLength:
        return qRound(hudImageSize(HUDSliderCell::knobImageHilited(false)).width());
    case PM_SliderThickness:
        return qRound(hudImageSize(HUDSliderCell::knobImageHilited(false)).height());
    case PM_SmallIconSize:
        if (widget && widget->property(pictureMenuProperty).toBool())
            return 36;
        return QProxyStyle::pixelMetric(metric, option, widget);
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight: return 14;
    default: return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void installHUDStyle(QWidget* widget)
{
    widget->setStyle(HUDStyle::shared());
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, Qt::white);
    // A selection shows on the dark fields in the program's own selection colour.
    palette.setColor(QPalette::Highlight, QApplication::palette().color(QPalette::Highlight));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Base, QColor(0x10, 0x10, 0x10));
    palette.setColor(QPalette::Button, QColor(0x2e, 0x2e, 0x2e));
    widget->setPalette(palette);
    QFont font = widget->font();
    font.setPixelSize(11);
    widget->setFont(font);
}

// --- Controls ---

HUDSlider::HUDSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    installHUDStyle(this);
}

HUDLabel::HUDLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    installHUDStyle(this);
}

void HUDLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    const QRect r = contentsRect();
    const int flags = int(alignment()) | (wordWrap() ? int(Qt::TextWordWrap) : 0);
    painter.setPen(Qt::black);
    painter.drawText(r.translated(0, 1), flags, text());
    painter.setPen(Qt::white);
    painter.drawText(r, flags, text());
}

HUDCheckbox::HUDCheckbox(const QString& title, QWidget* parent) : QCheckBox(title, parent)
{
    installHUDStyle(this);
}

HUDRadioButton::HUDRadioButton(const QString& title, QWidget* parent) : QRadioButton(title, parent)
{
    installHUDStyle(this);
}

HUDTextField::HUDTextField(QWidget* parent) : QLineEdit(parent)
{
    installHUDStyle(this);
    setFrame(true);
}

void HUDTextField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    selectAll();
    _selectAllText = true;
}

void HUDTextField::mousePressEvent(QMouseEvent* event)
{
    if (_selectAllText) {
        // The click that focused the field keeps the whole text selected.
        _selectAllText = false;
        selectAll();
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

HUDComboBox::HUDComboBox(QWidget* parent) : QComboBox(parent)
{
    installHUDStyle(this);
    setEditable(true);
    lineEdit()->installEventFilter(this);
    installHUDStyle(lineEdit());
}

bool HUDComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit()) {
        if (event->type() == QEvent::FocusIn) {
            QTimer::singleShot(0, lineEdit(), &QLineEdit::selectAll);
            lineEdit()->selectAll();
            _selectAllText = true;
        } else if (event->type() == QEvent::MouseButtonPress && _selectAllText) {
            _selectAllText = false;
            lineEdit()->selectAll();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void HUDComboBox::mousePressEvent(QMouseEvent* event)
{
    // The arrow: the click also opens the list.
    if (event->position().x() >= width() - 20)
        _selectAllText = false;
    QComboBox::mousePressEvent(event);
}

HUDPopUpButton::HUDPopUpButton(bool pullsDown, QWidget* parent)
    : QPushButton(parent), _pullsDown(pullsDown), _menu(new QMenu(this))
{
    installHUDStyle(this);
    connect(_menu, &QMenu::triggered, this, [this](QAction* item) {
        if (!_pullsDown)
            selectItem(item);
        Q_EMIT activated(item);
    });
    connect(this, &QPushButton::clicked, this, [this] {
        _menu->popup(mapToGlobal(QPoint(0, height())), _pullsDown ? nullptr : _selected);
    });
}

void HUDPopUpButton::setItemPicture(QAction* item, const QString& name)
{
    const QPixmap white = platform::Bundle().pixmapNamed(name, 2.0);
    QPixmap dark = white;
    {
        QPainter painter(&dark);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(dark.rect(), _menu->palette().color(QPalette::Text));
    }
    QIcon icon;
    icon.addPixmap(dark, QIcon::Normal);
    icon.addPixmap(white, QIcon::Active);
    icon.addPixmap(white, QIcon::Selected);
    item->setIcon(icon);
    item->setIconText(name);
    // A blank title: an empty one would show the icon text.
    item->setText(QStringLiteral(" "));
    // Pictures wider than the menu's usual icons, at a size one can tell them apart.
    if (!_menu->property(pictureMenuProperty).toBool()) {
        _menu->setProperty(pictureMenuProperty, true);
        _menu->setStyle(HUDStyle::shared());
    }
}

QAction* HUDPopUpButton::addItem(const QString& title, const QVariant& tag)
{
    QAction* item = _menu->addAction(title);
    item->setData(tag);
    if (!_selected && !_pullsDown)
        _selected = item;
    return item;
}

void HUDPopUpButton::selectItem(QAction* item)
{
    _selected = item;
    update();
}

int HUDPopUpButton::indexOfSelectedItem() const
{
    return _menu->actions().indexOf(_selected);
}

HUDStepper::HUDStepper(QWidget* parent) : QWidget(parent)
{
    setFixedSize(hudImageSize(HUDStepperCell::stepperImage(false, false)).toSize());
}

void HUDStepper::setValue(double value)
{
    _value = std::clamp(value, _minimum, _maximum);
    update();
}

void HUDStepper::setRange(double minimum, double maximum)
{
    _minimum = minimum;
    _maximum = maximum;
    setValue(_value);
}

QString HUDStepper::currentImage() const
{
    return HUDStepperCell::stepperImage(_pressed > 0, _pressed < 0);
}

void HUDStepper::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!isEnabled())
        painter.setOpacity(0.5);
    drawHUDImage(painter, currentImage(), QRectF(QPointF(0, 0), hudImageSize(currentImage())));
}

void HUDStepper::mousePressEvent(QMouseEvent* event)
{
    _pressed = event->position().y() < height() / 2.0 ? 1 : -1;
    const double before = _value;
    setValue(_value + _pressed * _increment);
    if (_value != before)
        Q_EMIT valueChanged(_value);
    update();
}

void HUDStepper::mouseReleaseEvent(QMouseEvent*)
{
    _pressed = 0;
    update();
}

HUDSegmentedControl::HUDSegmentedControl(const QStringList& labels, QWidget* parent)
    : QWidget(parent)
{
    installHUDStyle(this);
    setLabels(labels);
}

void HUDSegmentedControl::setLabels(const QStringList& labels)
{
    _labels = labels;
    setFixedHeight(18);
    update();
}

void HUDSegmentedControl::setSelectedSegment(int segment)
{
    _selected = segment;
    update();
}

int HUDSegmentedControl::segmentAt(const QPointF& point) const
{
    if (_labels.isEmpty() || point.x() < 0 || point.x() >= width())
        return -1;
    return std::min(int(point.x() * _labels.size() / width()), int(_labels.size()) - 1);
}

void HUDSegmentedControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int count = int(_labels.size());
    if (count == 0)
        return;
    const double segment = double(width()) / count;
    for (int i = 0; i < count; ++i) {
        const QRectF r(i * segment, 0, segment, height());
        const bool pressed = i == _pressed || (i == _selected && _pressed < 0);
        const HUDThreePart parts = HUDSegmentedCell::buttonImages(i, count, pressed);
        drawHUDThreePart(painter, parts, r);
        if (i > 0)
            drawHUDImage(painter, HUDSegmentedCell::dividerImage(), QRectF(r.x(), 0, 1, height()));
        painter.setPen(Qt::white);
        painter.drawText(
            r.adjusted(4, 0, -4, 0), Qt::AlignCenter,
            painter.fontMetrics().elidedText(_labels.at(i), Qt::ElideRight, int(r.width()) - 8));
    }
}

void HUDSegmentedControl::mousePressEvent(QMouseEvent* event)
{
    _pressed = segmentAt(event->position());
    update();
}

void HUDSegmentedControl::mouseReleaseEvent(QMouseEvent* event)
{
    const int segment = segmentAt(event->position());
    const bool clicked = segment >= 0 && segment == _pressed;
    _pressed = -1;
    if (clicked) {
        _selected = segment;
        Q_EMIT segmentClicked(segment);
    }
    update();
}
