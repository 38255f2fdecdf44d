#pragma once

// A paint device that paints nothing and logs what a painter asks of it: strokes, fills,
// gradient fills, clips and images, each with its colour and the area it covers on the
// device. Tests read the log to check the order in which things are drawn.
//
// An image is logged with the colour of its most opaque pixel: the pictures a shadow
// bracket composites are the shadow (in the shadow colour) and the drawing it shadows.

#include <QColor>
#include <QImage>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTransform>

struct PaintCall
{
    QString kind; // "stroke", "fill", "gradient", "clip", "image" or "text"
    QColor color; // stroke, fill and image colour (alpha left out of the name)
    QRectF area;  // on the device

    // "stroke #ff0000", "image #00ff00", "text #555555", "gradient", "clip".
    QString name() const
    {
        if (!color.isValid())
            return kind;
        return kind + QLatin1Char(' ') + color.name(QColor::HexRgb);
    }
};

class RecordingPaintEngine : public QPaintEngine
{
public:
    RecordingPaintEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override
    {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyPen)
            _pen = state.pen();
        if (dirty & DirtyBrush)
            _brush = state.brush();
        if (dirty & DirtyTransform)
            _transform = state.transform();
        if (((dirty & DirtyClipPath) || (dirty & DirtyClipRegion))
            && state.clipOperation() != Qt::NoClip)
            calls.append({QStringLiteral("clip"), QColor(), QRectF()});
    }

    void drawPath(const QPainterPath& path) override { shape(path.boundingRect()); }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override
    {
        shape(QPolygonF(QList<QPointF>(points, points + count)).boundingRect());
    }
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            shape(rects[i]);
    }

    void drawImage(const QRectF& rect, const QImage& image, const QRectF&,
                   Qt::ImageConversionFlags) override
    {
        calls.append({QStringLiteral("image"), mostOpaqueColor(image), _transform.mapRect(rect)});
    }
    void drawTextItem(const QPointF& p, const QTextItem&) override
    {
        calls.append({QStringLiteral("text"), _pen.color(), QRectF(_transform.map(p), QSizeF())});
    }
    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override
    {
        drawImage(rect, pixmap.toImage(), source, Qt::AutoColor);
    }

    QList<PaintCall> calls;

private:
    void shape(const QRectF& bounds)
    {
        const QRectF area = _transform.mapRect(bounds);
        if (_brush.style() == Qt::LinearGradientPattern
            || _brush.style() == Qt::RadialGradientPattern)
            calls.append({QStringLiteral("gradient"), QColor(), area});
        else if (_brush.style() != Qt::NoBrush)
            calls.append({QStringLiteral("fill"), _brush.color(), area});
        if (_pen.style() != Qt::NoPen)
            calls.append({QStringLiteral("stroke"), _pen.color(), area});
    }

    static QColor mostOpaqueColor(const QImage& image)
    {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        QRgb best = 0;
        for (int y = 0; y < argb.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                if (qAlpha(line[x]) > qAlpha(best))
                    best = line[x];
            }
        }
        return qAlpha(best) == 0 ? QColor() : QColor(qRed(best), qGreen(best), qBlue(best));
    }

    QPen _pen;
    QBrush _brush;
    QTransform _transform;
};

class RecordingPaintDevice : public QPaintDevice
{
public:
    explicit RecordingPaintDevice(QSize size = QSize(300, 300)) : _size(size) {}
    ~RecordingPaintDevice() override = default;

    QPaintEngine* paintEngine() const override { return &_engine; }
    QList<PaintCall>& calls() { return _engine.calls; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return _size.width();
        case PdmHeight: return _size.height();
        case PdmWidthMM: return _size.width() * 254 / 720;
        case PdmHeightMM: return _size.height() * 254 / 720;
        case PdmNumColors: return 0;
        case PdmDepth: return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 72;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    QSize _size;
    mutable RecordingPaintEngine _engine;
};

// The names of the calls, runs of one name told once.
inline QStringList callNames(const QList<PaintCall>& calls)
{
    QStringList result;
    for (const PaintCall& call : calls) {
        if (result.isEmpty() || result.last() != call.name())
            result.append(call.name());
    }
    return result;
}
