#pragma once

// The dark controls of the inspector's panes. One style (HUDStyle) paints Qt's sliders,
// check boxes, radio buttons, combo boxes, line edits and the pop-up buttons from the
// named HUD pictures, so the widgets keep Qt's keyboard, focus, accessibility and hit
// testing; each control class here only installs the style and its white-on-dark palette.
// The stepper and the segmented control have no Qt counterpart and paint themselves.
//
// The picture getters (one struct a control) name the pictures of a state; sizes come
// from the pictures.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStringList>

struct HUDThreePart
{
    QString left;
    QString center;
    QString right;
};

struct HUDSliderCell
{
    static HUDThreePart barImages();
    static QString knobImageHilited(bool hilited);
};
struct HUDCheckboxCell
{
    static QString checkboxImage(Qt::CheckState state, bool hilited);
};
struct HUDStepperCell
{
    static QString stepperImage(bool topHilite, bool bottomHilite);
};
struct HUDRadioButtonCell
{
    static QString buttonImage(bool selected, bool hilited);
};
struct HUDComboBoxCell
{
    static HUDThreePart images(bool hilited);
};
struct HUDPopUpButtonCell
{
    static HUDThreePart buttonImages(bool pullDown, bool hilited);
};
struct HUDTextFieldCell
{
    static HUDThreePart fieldImages();
};
struct HUDSegmentedCell
{
    // The left cap for the first segment, the right cap for the last, the centre between.
    static HUDThreePart buttonImages(int segmentIndex, int segmentCount, bool hilited);
    static QString dividerImage() { return QStringLiteral("HUDSegmentedControlDivider"); }
};

// Paints a picture stretched into a rectangle, crisp at twice the density.
void drawHUDImage(QPainter& painter, const QString& name, const QRectF& rect);
QSizeF hudImageSize(const QString& name);
// Left cap at its size, right cap at its size, the centre stretched between.
void drawHUDThreePart(QPainter& painter, const HUDThreePart& parts, const QRectF& rect);

class HUDStyle : public QProxyStyle
{
    Q_OBJECT
public:
    HUDStyle();
    // The one style every HUD control uses.
    static HUDStyle* shared();
    // The knob's rectangle of a slider at a value (x = bar start + fraction × bar width,
    // where the bar width is the bar's less the knob's).
    static QRect knobRect(const QRect& bar, int minimum, int maximum, int value, QSize knob);

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
};

// Sets the HUD style and the white-on-dark palette (black behind selected text).
void installHUDStyle(QWidget* widget);

class HUDSlider : public QSlider
{
    Q_OBJECT
public:
    explicit HUDSlider(QWidget* parent = nullptr);
};

// White text over a dark drop shadow one point lower.
class HUDLabel : public QLabel
{
    Q_OBJECT
public:
    explicit HUDLabel(const QString& text = QString(), QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class HUDCheckbox : public QCheckBox
{
    Q_OBJECT
public:
    explicit HUDCheckbox(const QString& title = QString(), QWidget* parent = nullptr);
};

class HUDRadioButton : public QRadioButton
{
    Q_OBJECT
public:
    explicit HUDRadioButton(const QString& title = QString(), QWidget* parent = nullptr);
};

// A field whose first click selects the whole text; the next places the caret.
class HUDTextField : public QLineEdit
{
    Q_OBJECT
public:
    explicit HUDTextField(QWidget* parent = nullptr);
    bool selectAllText() const { return _selectAllText; }

protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool _selectAllText = false;
};

// An editable combo box with the same first-click rule; a click on the arrow (the
// rightmost 20 points) still opens the list.
class HUDComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit HUDComboBox(QWidget* parent = nullptr);
    bool selectAllText() const { return _selectAllText; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool _selectAllText = false;
};

// A pop-up (or pull-down) button over a menu, so its items can show their keys.
class HUDPopUpButton : public QPushButton
{
    Q_OBJECT
public:
    explicit HUDPopUpButton(bool pullsDown = false, QWidget* parent = nullptr);
    bool pullsDown() const { return _pullsDown; }
    QMenu* itemMenu() const { return _menu; }
    QAction* addItem(const QString& title, const QVariant& tag = QVariant());
    // Shows the item as the named picture (drawn white for the dark button): dark on the
    // light menu, white where the menu highlights it, without a title. The name stays the
    // item's icon text.
    void setItemPicture(QAction* item, const QString& name);
    void selectItem(QAction* item);
    QAction* selectedItem() const { return _selected; }
    int indexOfSelectedItem() const;

Q_SIGNALS:
    void activated(QAction* item);

private:
    bool _pullsDown = false;
    QMenu* _menu = nullptr;
    QAction* _selected = nullptr;
};

// Up and down arrows: a press on the upper half steps up, on the lower half down.
class HUDStepper : public QWidget
{
    Q_OBJECT
public:
    explicit HUDStepper(QWidget* parent = nullptr);
    double value() const { return _value; }
    void setValue(double value);
    void setRange(double minimum, double maximum);
    void setIncrement(double increment) { _increment = increment; }
    // 1 upper half pressed, -1 lower half, 0 none.
    int pressedHalf() const { return _pressed; }
    QString currentImage() const;

Q_SIGNALS:
    void valueChanged(double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double _value = 0.0;
    double _minimum = 0.0;
    double _maximum = 100.0;
    double _increment = 1.0;
    int _pressed = 0;
};

class HUDSegmentedControl : public QWidget
{
    Q_OBJECT
public:
    explicit HUDSegmentedControl(const QStringList& labels = {}, QWidget* parent = nullptr);
    void setLabels(const QStringList& labels);
    int selectedSegment() const { return _selected; }
    void setSelectedSegment(int segment);
    int segmentAt(const QPointF& point) const;

Q_SIGNALS:
    void segmentClicked(int segment);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QStringList _labels;
    int _selected = -1;
    int _pressed = -1;
};
