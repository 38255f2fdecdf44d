#include "canvas/LBRulerView.h"

#include "platform/ui/ScrollView.h"

#include <QFont>
#include <QFontDatabase>
#include <QPainter>

#include <cmath>

namespace {

constexpr qint64 kNoLabel = -9999;

} // namespace

LBRulerView::LBRulerView(platform::ScrollView* scrollView, Qt::Orientation orientation)
    : platform::RulerView(scrollView, orientation)
{}

void LBRulerView::registerAsRulerViewClass()
{
    platform::ScrollView::setRulerViewFactory(
        [](platform::ScrollView* scrollView, Qt::Orientation orientation) {
            return new LBRulerView(scrollView, orientation);
        });
}

void LBRulerView::setZoomFactor(double zoomFactor)
{
    _zoomFactor = zoomFactor;
    calculateUnitSizeForUnitName(measurementUnits());
    update();
}

void LBRulerView::setMeasurementUnits(const QString& unitName)
{
    calculateUnitSizeForUnitName(unitName);
    platform::RulerView::setMeasurementUnits(unitName);
}

void LBRulerView::calculateUnitSizeForUnitName(const QString& unitName)
{
    _labelMultiplier = 1;
    double u;
    if (unitName == QLatin1String("Inches")) {
        u = 72.0 * _zoomFactor;
    } else if (unitName == QLatin1String("Centimeters")) {
        u = 28.3464567 * _zoomFactor;
    } else {
        u = 100.0 * _zoomFactor;
        _labelMultiplier = 100;
    }
    _unitMultiplier = qint64(30.0 / u + 1.0);
    if (_unitMultiplier < 2) {
        _unitDivider = 1;
        if (u > 200.0) {
            u /= 2.0;
            _unitDivider = 2;
        }
        if (u > 200.0) {
            u /= 2.0;
            _unitDivider = 4;
        }
    } else {
        u *= double(_unitMultiplier);
    }
    _unitSize = u;
}

QString LBRulerView::labelText(qint64 label) const
{
    const qint64 v = label;
    if (_unitMultiplier >= 2)
        return QString::number(_unitMultiplier * v * _labelMultiplier);
    if (_labelMultiplier > 1) {
        const qint64 value = _labelMultiplier * v;
        return QString::number(_unitDivider > 1 ? value / _unitDivider : value);
    }
    if (_unitDivider < 2)
        return QString::number(v);
    // Fractions are read on the magnitude, so a label left of or above the origin keeps its
    // sign even when its whole part is 0 ("-½"), and a negative remainder still picks a
    // fraction.
    const qint64 magnitude = v < 0 ? -v : v;
    QString text = v < 0 ? QStringLiteral("-") : QString();
    if (magnitude / _unitDivider != 0)
        text += QString::number(magnitude / _unitDivider);
    const qint64 remainder = magnitude % _unitDivider;
    if (remainder != 0) {
        if (_unitDivider == 2 || remainder == 2)
            text += QChar(0x00BD);
        else if (remainder == 3)
            text += QChar(0x00BE);
        else if (remainder == 1)
            text += QChar(0x00BC);
        else
            text += QChar(0x2318);
    }
    return text;
}

void LBRulerView::drawHashMarksAndLabelsInRect(QPainter& painter, const QRectF& rect)
{
    const bool horizontal = isHorizontal();
    const QRectF B = this->rect();
    const QRect V = scrollView() ? scrollView()->documentVisibleRect() : QRect();
    double o = originOffset();
    const double t = ruleThickness();
    const double u = _unitSize;
    if (u <= 0.0)
        return;

    const double s = horizontal ? V.x() : V.y();
    const qint64 loc = qint64((horizontal ? rect.x() : rect.y()) + s);
    const double len = horizontal ? rect.width() : rect.height();

    painter.setPen(QPen(Qt::black, 0.0));
    if (horizontal) {
        const double y = B.height() - t + 0.5;
        painter.drawLine(QPointF(double(loc) - s, y), QPointF(double(loc) - s + rect.width(), y));
        // The ruler spans the corner above the vertical ruler: the document starts that
        // ruler's whole depth in (markers and accessory room included), else one rule in.
        const platform::ScrollView* scroll = scrollView();
        const platform::RulerView* vertical =
            scroll && scroll->hasVerticalRuler() && scroll->rulersVisible()
                ? const_cast<platform::ScrollView*>(scroll)->verticalRulerView()
                : nullptr;
        o += vertical ? std::ceil(vertical->requiredThickness()) : t;
    }
    QRectF M =
        horizontal ? QRectF(0.0, B.height() - t, 0.0, t) : QRectF(B.width() - t, 0.0, t, 0.0);

    qint64 k;
    double start;
    if (o <= double(loc)) {
        k = qint64((double(loc) - o) / u - 1.0);
        start = double(k) * u + o;
    } else {
        k = qint64((o - double(loc)) / u + 1.0);
        start = o - double(k) * u;
        k = -k;
    }
    const qint64 n = qint64((double(qint64(len) + loc) - o) / u + 1.0);
    if (horizontal) {
        M.setLeft(start);
        M.setWidth(o + double(n) * u - start);
    } else {
        M.setTop(start);
        M.setHeight(o + double(n) * u - start);
    }

    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(9.0);
    painter.setFont(font);
    drawMarksInRect(painter, M, u, loc, len, s, k);
}

void LBRulerView::drawMarksInRect(QPainter& painter, const QRectF& R, double d, qint64 loc,
                                  double len, double s, qint64 label)
{
    const bool horizontal = isHorizontal();
    const double h = d / 2.0;
    const bool deeper = h >= 6.0;
    const double depth = horizontal ? R.height() : R.width();
    const double e = depth > 8.0 ? 8.0 : 5.0;
    QRectF strip = horizontal ? QRectF(R.x(), R.y() + R.height() - e, h, e)
                              : QRectF(R.x() + R.width() - e, R.y(), e, h);
    const bool labels = label > kNoLabel;
    const double length = horizontal ? R.width() : R.height();
    const qint64 count = qint64(length / d + 1.0);
    const QFontMetricsF metrics(painter.font());
    for (qint64 i = 0; i < count; ++i) {
        const double q = (horizontal ? R.x() : R.y()) + double(i) * d;
        const double p = std::trunc(q) + 0.5;
        if (double(loc) <= p && p <= double(loc) + len) {
            if (horizontal)
                painter.drawLine(QPointF(p - s, R.y()), QPointF(p - s, R.y() + R.height()));
            else
                painter.drawLine(QPointF(R.x(), p - s), QPointF(R.x() + R.width(), p - s));
        }
        if (labels) {
            // Text placed by its top-left corner: beside the tick on the horizontal ruler,
            // just below it on the vertical one.
            const QString text = labelText(label);
            const QPointF at =
                horizontal ? QPointF(p - s + 3.0, R.y() - 1.0) : QPointF(R.x(), p - s);
            painter.drawText(at + QPointF(0.0, metrics.ascent()), text);
            ++label;
        }
        if (deeper) {
            if (horizontal)
                strip.moveLeft(q);
            else
                strip.moveTop(q);
            if (q < double(loc) + len)
                drawMarksInRect(painter, strip, h, loc, len, s, kNoLabel);
        }
    }
}
