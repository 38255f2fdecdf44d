#pragma once

// A colour swatch that edits its colour in the program's shared colour panel. A click
// makes the well the active one and shows the panel on its colour; while active, every
// change in the panel is taken at once and reported (colorChanged). Only one well is
// active at a time: another well's click, or deactivate(), ends it.

#include <QColor>
#include <QWidget>

namespace platform {

class ColorWell : public QWidget
{
    Q_OBJECT
public:
    explicit ColorWell(QWidget* parent = nullptr);
    ~ColorWell() override;

    QColor color() const { return _color; }
    // Sets the colour without reporting it (and shows it in the panel while active).
    void setColor(const QColor& color);
    bool isActive() const;
    void activate();
    void deactivate();
    // The active well, nullptr for none.
    static ColorWell* activeWell();

Q_SIGNALS:
    // A colour the user chose in the panel.
    void colorChanged(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void panelColorChanged(const QColor& color);

    QColor _color = Qt::black;
};

} // namespace platform
