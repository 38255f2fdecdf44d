#pragma once

// The ruler of the canvas's scroll view: ticks and labels that follow the canvas's zoom and
// the user's unit ("Inches", "Centimeters", anything else points), a labelled tick every
// unit (or every few units when a unit is small on screen), with halving subdivisions down
// to 6 pixels, and halves and quarters as fraction labels when a unit grows large. Both
// rulers count away from the origin: rightwards on the horizontal one, downwards on the
// vertical one. On the horizontal ruler, which spans the corner above the vertical one,
// the origin lies one rule thickness further right than the origin offset.

#include "platform/ui/RulerView.h"

class LBRulerView : public platform::RulerView
{
    Q_OBJECT
public:
    LBRulerView(platform::ScrollView* scrollView, Qt::Orientation orientation);

    // Makes LBRulerView the ruler class of every scroll view.
    static void registerAsRulerViewClass();

    double zoomFactor() const { return _zoomFactor; }
    void setZoomFactor(double zoomFactor);
    void setMeasurementUnits(const QString& unitName) override;
    // Recomputes the distance between labelled ticks for the unit at the zoom.
    void calculateUnitSizeForUnitName(const QString& unitName);

    double unitSize() const { return _unitSize; }
    qint64 unitMultiplier() const { return _unitMultiplier; }
    qint64 unitDivider() const { return _unitDivider; }
    qint64 labelMultiplier() const { return _labelMultiplier; }
    // The text of the labelled tick with that number (0 at the origin).
    QString labelText(qint64 label) const;

protected:
    void drawHashMarksAndLabelsInRect(QPainter& painter, const QRectF& rect) override;
    // The ticks every `tickSpacing` pixels over the rectangle, labelled from `startLabel`
    // (none for -9999), with the finer levels below them; only ticks inside the range are
    // stroked.
    void drawMarksInRect(QPainter& painter, const QRectF& rect, double tickSpacing,
                         qint64 drawRangeLocation, double drawRangeLength, double scrollPosition,
                         qint64 startLabel);

private:
    double _zoomFactor = 1.0;
    double _unitSize = 72.0;
    qint64 _unitMultiplier = 1;
    qint64 _unitDivider = 1;
    qint64 _labelMultiplier = 1;
};
