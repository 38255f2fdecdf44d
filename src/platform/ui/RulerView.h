#pragma once

// A ruler along one side of a ScrollView's visible part. It measures the document view in
// the document view's pixels: a location on the ruler is a distance along the ruler widget
// itself, so a document point at x (pixels) shows at x - the scroll position, plus the
// width of the vertical ruler on the horizontal one (which spans the corner). Both rulers
// count downwards and rightwards, as the page does.
//
// Its depth is the rule (where marks go, along the side next to the document) plus the
// room reserved for markers and for an accessory view. Subclasses draw the marks and labels
// (drawHashMarksAndLabelsInRect()); the ruler draws its background, the markers and the ruler
// lines (thin lines that show where something being moved lies, placed by the client).
//
// The client is the view that owns the ruler's markers and lines for the moment, usually
// the document view; it is not owned.

#include <QImage>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace platform {

class ScrollView;

// A marker shown on the ruler: an image whose origin point lies at a location.
struct RulerMarker
{
    double location = 0.0;
    QImage image;
    QPointF imageOrigin;

    bool operator==(const RulerMarker&) const = default;
};

class RulerView;

// What a ruler asks its client view while the user drags one of its markers along it (the
// client view implements it next to being a QWidget): whether the marker may move, where
// a proposed location is to be taken, that it moved, and, when it is let go off the
// ruler, whether it is removed.
class RulerClient
{
public:
    virtual ~RulerClient() = default;
    virtual bool rulerViewShouldMoveMarker(RulerView* ruler, const RulerMarker& marker) = 0;
    virtual double rulerViewWillMoveMarker(RulerView* ruler, const RulerMarker& marker,
                                           double toLocation) = 0;
    virtual void rulerViewDidMoveMarker(RulerView* ruler, const RulerMarker& marker) = 0;
    virtual bool rulerViewShouldRemoveMarker(RulerView* ruler, const RulerMarker& marker) = 0;
};

class RulerView : public QWidget
{
    Q_OBJECT
public:
    RulerView(ScrollView* scrollView, Qt::Orientation orientation);
    ~RulerView() override;

    ScrollView* scrollView() const { return _scrollView; }
    Qt::Orientation orientation() const { return _orientation; }
    bool isHorizontal() const { return _orientation == Qt::Horizontal; }

    // --- Depth ---
    double ruleThickness() const { return _ruleThickness; }
    void setRuleThickness(double thickness);
    double reservedThicknessForMarkers() const { return _reservedThicknessForMarkers; }
    void setReservedThicknessForMarkers(double thickness);
    double reservedThicknessForAccessoryView() const { return _reservedThicknessForAccessoryView; }
    void setReservedThicknessForAccessoryView(double thickness);
    // The whole depth: rule plus the two reserved parts.
    double requiredThickness() const;

    // --- Measuring ---
    // Where zero lies, in the document view's pixels.
    double originOffset() const { return _originOffset; }
    void setOriginOffset(double offset);
    // "Inches", "Centimeters", "Points" or "Picas"; "Inches" to begin with.
    QString measurementUnits() const { return _measurementUnits; }
    virtual void setMeasurementUnits(const QString& unitName);

    // --- Client, accessory, markers ---
    QWidget* clientView() const { return _clientView; }
    void setClientView(QWidget* client);
    // Shown in the room reserved for it (the ruler takes it over); nullptr removes it.
    QWidget* accessoryView() const { return _accessoryView; }
    virtual void setAccessoryView(QWidget* view);
    QList<RulerMarker> markers() const { return _markers; }
    // An empty list removes every marker.
    void setMarkers(const QList<RulerMarker>& markers);
    void addMarker(const RulerMarker& marker);

    // --- Ruler lines ---
    // Removes the line at `from` (when there is one there) and puts one at `to`; a
    // negative location stands for none, so -1 to x adds a line and x to -1 removes it.
    void moveRulerline(double fromLocation, double toLocation);
    QList<double> rulerlineLocations() const { return _rulerlines; }

    // The rectangle of the rule in the ruler's coordinates: the strip next to the document.
    QRectF ruleRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // A marker pressed is dragged along the ruler as its client allows.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Draws the marks and their labels of the dirty rectangle with the painter, in the
    // ruler's coordinates. The base draws none.
    virtual void drawHashMarksAndLabelsInRect(QPainter& painter, const QRectF& rect);

private:
    ScrollView* _scrollView;
    Qt::Orientation _orientation;
    double _ruleThickness = 16.0;
    double _reservedThicknessForMarkers = 0.0;
    double _reservedThicknessForAccessoryView = 0.0;
    double _originOffset = 0.0;
    QString _measurementUnits = QStringLiteral("Inches");
    QPointer<QWidget> _clientView;
    QPointer<QWidget> _accessoryView;
    QList<RulerMarker> _markers;
    QList<double> _rulerlines;
    qsizetype _draggedMarker = -1;

    // Where the marker's image lies on the ruler.
    QRectF markerImageRect(const RulerMarker& marker) const;
    RulerClient* client() const;
    double locationOf(const QPointF& position) const
    {
        return isHorizontal() ? position.x() : position.y();
    }
};

} // namespace platform
