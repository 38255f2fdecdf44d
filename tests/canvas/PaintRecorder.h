#pragma once

// A paint device that paints nothing and records, in device coordinates, the paths
// stroked with their pens, the lines drawn and the texts drawn with where they start.

#include "../graphics/RecordingPaintDevice.h"

#include <QLineF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QTextItem>

class PaintRecorderEngine : public QPaintEngine
{
public:
    PaintRecorderEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & DirtyPen)
            _pen = state.pen();
        if (state.state() & DirtyTransform)
            _transform = state.transform();
    }
    void drawPath(const QPainterPath& path) override
    {
        if (_pen.style() != Qt::NoPen)
            strokes.append({_transform.map(path), _pen});
    }
    void drawLines(const QLineF* drawn, int count) override
    {
        for (int i = 0; i < count; ++i)
            lines.append(_transform.map(drawn[i]));
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        texts.append(item.text());
        textPositions.append(_transform.map(p));
    }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

    struct Stroke
    {
        QPainterPath path;
        QPen pen;
    };
    QList<Stroke> strokes;
    QList<QLineF> lines;
    QStringList texts;
    QList<QPointF> textPositions;

private:
    QPen _pen;
    QTransform _transform;
};

class PaintRecorder : public RecordingPaintDevice
{
public:
    explicit PaintRecorder(QSize size = QSize(2000, 2000)) : RecordingPaintDevice(size) {}
    QPaintEngine* paintEngine() const override { return &engine; }
    mutable PaintRecorderEngine engine;
};
