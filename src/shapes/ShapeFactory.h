#pragma once

// Making a new shape by its class name, as the shapes palette and the shape commands of
// design mode do: the class's defaults, then the variant asked for, then the stroke and
// fill, zoom and first bounds the caller gives, in that order. Through the graphic class
// registry, so the caller needs no shape header.

#include "shapes/LBShape.h"

#include <QColor>
#include <QRectF>
#include <QString>

// What a new shape starts with besides its class's defaults.
struct ShapeSettings
{
    bool drawsStroke = true;
    QColor strokeColor = Qt::black;
    double strokeLineWidth = 1.0;
    qint64 fillType = 0;
    QColor fillColor = Qt::white;
    double zoomFactor = 1.0;
    QRectF bounds;
};

// A new shape of the named class: nullptr, with a log line, when the name is no shape class
// (an unknown name, or a graphic that is no shape). The variant (0 for the ordinary shape)
// applies to adjustable shapes only; the bounds are set without undo or announcement. The
// shape belongs to no document, so nothing is recorded for undo.
LBShapePtr createShapeOfClass(const QString& className, qint64 alternateShape,
                              const ShapeSettings& settings);
