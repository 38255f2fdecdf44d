#pragma once

// Shared pieces of the shape tests: the graphic tests' document and counters, shapes made
// with given bounds and stroke, and outlines as comparable text.

#include "../graphics/GraphicTestSupport.h"

#include "platform/drawing/BezierPath.h"
#include "platform/drawing/GraphicsContext.h"
#include "shapes/LBShape.h"
#include "shapes/ShapeClasses.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QStringList>

#include <cmath>
#include <functional>
#include <memory>

// A number rounded to hundredths, without trailing zeros ("6.7", "75", "-20").
inline QString hundredths(double value)
{
    double rounded = std::round(value * 100.0) / 100.0;
    if (rounded == 0.0)
        rounded = 0.0; // no "-0"
    QString text = QString::number(rounded, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

// "M x y L x y C x1 y1 x2 y2 x y Z ...", numbers in hundredths.
inline QString elementsText(const platform::BezierPath& path)
{
    using Type = platform::BezierPath::ElementType;
    QStringList parts;
    for (const platform::BezierPath::Element& e : path.elements()) {
        QStringList element;
        int points = 0;
        switch (e.type) {
        case Type::MoveTo:
            element << QStringLiteral("M");
            points = 1;
            break;
        case Type::LineTo:
            element << QStringLiteral("L");
            points = 1;
            break;
        case Type::CurveTo:
            element << QStringLiteral("C");
            points = 3;
            break;
        case Type::ClosePath: element << QStringLiteral("Z"); break;
        }
        for (int i = 0; i < points; ++i)
            element << hundredths(e.points[i].x()) << hundredths(e.points[i].y());
        parts << element.join(u' ');
    }
    return parts.join(u' ');
}

inline QString elementsText(const std::optional<platform::BezierPath>& path)
{
    return path ? elementsText(*path) : QStringLiteral("(none)");
}

// A new shape of class T in bounds, with a stroke of that width (none for 0), set up
// further by setUp.
template <typename T>
std::shared_ptr<T> makeShape(const QRectF& bounds, double stroke = 0.0,
                             const std::function<void(T&)>& setUp = {})
{
    auto shape = std::make_shared<T>();
    shape->setBounds(bounds);
    shape->setDrawsStroke(stroke > 0.0);
    if (stroke > 0.0)
        shape->setStrokeLineWidth(stroke);
    if (setUp)
        setUp(*shape);
    return shape;
}

// A shape of class T inserted in a document that records undo.
template <typename T>
std::shared_ptr<T> shapeInDocument(RecordingDocument& document, const QRectF& bounds)
{
    auto shape = makeShape<T>(bounds);
    shape->setDocument(&document);
    return shape;
}

// The PDF that `draw` prints: one page of `pageSize` points at 1200 dpi, drawn in points
// through a current context that is not the screen.
template <typename Draw>
QByteArray printedPdf(Draw draw, QSizeF pageSize = QSizeF(400, 300))
{
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(pageSize, QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        painter.scale(1200.0 / 72.0, 1200.0 / 72.0);
        platform::GraphicsContext context(&painter, false);
        context.setBaseTransform(painter.transform());
        platform::GraphicsContext::Scope scope(context);
        draw();
    }
    return pdf;
}

// Whether a PDF holds a bitmap.
inline bool holdsImage(const QByteArray& pdf)
{
    return pdf.contains("/Subtype /Image") || pdf.contains("/Subtype/Image");
}
