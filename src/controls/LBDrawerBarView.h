#pragma once

// The bar over the design drawer's browsers with the current browser's name: slate grey,
// darkened at its top and bottom edges, the name centred in white over a dark copy of it
// one point lower.

#include <QString>
#include <QWidget>

class LBDrawerBarView : public QWidget
{
    Q_OBJECT
public:
    explicit LBDrawerBarView(QWidget* parent = nullptr);
    ~LBDrawerBarView() override;

    QString labelString() const { return _labelString; }
    void setLabelString(const QString& label);

    static QColor barColor() { return QColor(109, 116, 121); }
    // Where the label is drawn (y down): centred in the bar, 1 point lower.
    QRectF labelRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont labelFont() const;

    QString _labelString;
};
