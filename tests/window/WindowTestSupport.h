#pragma once

// Shared pieces of the window tests: a document (the document tests' fixture) shown by a
// window controller whose zoom the tests set, and readers of paths as point lists.

#include "../document/DocumentTestSupport.h"
#include "../graphics/DrawingTestSupport.h"

#include "document/DimensionInfo.h"
#include "platform/drawing/BezierPath.h"
#include "platform/drawing/GraphicsContext.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPointF>
#include <QVariantList>
#include <QVariantMap>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

// The window controller with the zoom of a window the tests choose.
class TestWindowController : public LBWindowController
{
public:
    double zoomFactor() const override { return zoom; }
    double zoom = 1.0;

    using LBWindowController::_foundDeliveryAddress;
    using LBWindowController::_foundOtherContactField;
    using LBWindowController::_foundReturnAddress;
    using LBWindowController::LabelShape;
    using LBWindowController::labelShapeForEntry;
};

class WindowTest : public DocumentTest
{
protected:
    WindowTest()
    {
        controller = new TestWindowController;
        document->addWindowController(controller);
    }

    // The live layout dictionary (changed without undo).
    QVariantMap& layout() { return document->dimensionInfo(); }
    // The layout gets these label entries.
    void setLabels(const QVariantList& entries) { layout()[DimensionInfo::labels] = entries; }

    TestWindowController* controller = nullptr; // owned by the document
};

// A new window controller on the document, its window shown at 1000 × 700 (owned by the
// document).
inline LBWindowController* showWindowOnDocument(LBDocument& document)
{
    auto* window = new LBWindowController;
    document.addWindowController(window);
    window->window()->resize(1000, 700);
    window->window()->show();
    QApplication::processEvents();
    return window;
}

// The end points of the path's elements, close elements left out.
inline QList<QPointF> pathPoints(const platform::BezierPath& path)
{
    QList<QPointF> points;
    for (const platform::BezierPath::Element& element : path.elements()) {
        switch (element.type) {
        case platform::BezierPath::ElementType::MoveTo:
        case platform::BezierPath::ElementType::LineTo: points.append(element.points[0]); break;
        case platform::BezierPath::ElementType::CurveTo: points.append(element.points[2]); break;
        case platform::BezierPath::ElementType::ClosePath: break;
        }
    }
    return points;
}

inline void expectNear(const QRectF& actual, const QRectF& expected, double tolerance = 1e-4)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance) << "x";
    EXPECT_NEAR(actual.y(), expected.y(), tolerance) << "y";
    EXPECT_NEAR(actual.width(), expected.width(), tolerance) << "width";
    EXPECT_NEAR(actual.height(), expected.height(), tolerance) << "height";
}

// Draws into a transparent image of the page size at `scale` pixels per point.
template <typename Draw>
QImage renderPage(Draw draw, const QSizeF& points, qreal scale = 1.0)
{
    return renderImage(draw, platform::OffscreenContext::pixelsFor(points, scale), scale);
}

// Draws as a view does on screen: into a transparent image of `pixels` through a painter
// clipped to `clip` (device pixels) and scaled by `scale`, with a current context that
// draws to the screen.
template <typename Draw>
QImage renderOnScreen(Draw draw, QSize pixels, qreal scale, const QRect& clip)
{
    QImage screen(pixels, QImage::Format_ARGB32_Premultiplied);
    screen.fill(Qt::transparent);
    QPainter painter(&screen);
    painter.setClipRect(clip);
    painter.scale(scale, scale);
    platform::GraphicsContext context(&painter, true);
    platform::GraphicsContext::Scope scope(context);
    draw();
    EXPECT_EQ(context.savedStateDepth(), 0);
    painter.end();
    return screen;
}

// How many pixels of a grid every 4 pixels differ by more than `tolerance` in a channel
// of their premultiplied values.
inline int differingPixels(const QImage& a, const QImage& b, int tolerance = 2)
{
    const QImage p = a.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage q = b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int differing = 0;
    for (int y = 0; y < std::min(p.height(), q.height()); y += 4) {
        const QRgb* lineP = reinterpret_cast<const QRgb*>(p.constScanLine(y));
        const QRgb* lineQ = reinterpret_cast<const QRgb*>(q.constScanLine(y));
        for (int x = 0; x < std::min(p.width(), q.width()); x += 4) {
            const QRgb u = lineP[x], v = lineQ[x];
            differing += std::abs(qRed(u) - qRed(v)) > tolerance
                         || std::abs(qGreen(u) - qGreen(v)) > tolerance
                         || std::abs(qBlue(u) - qBlue(v)) > tolerance
                         || std::abs(qAlpha(u) - qAlpha(v)) > tolerance;
        }
    }
    return differing;
}

// Draws into the recording device (points as pixels); returns what was drawn, in order.
template <typename Draw>
QList<PaintCall> recordPage(Draw draw)
{
    return recordDrawing(draw, QSize(700, 900));
}

// The calls of one kind ("stroke", "fill", "image", ...).
inline QList<PaintCall> callsOfKind(const QList<PaintCall>& calls, const QString& kind)
{
    QList<PaintCall> found;
    for (const PaintCall& call : calls) {
        if (call.kind == kind)
            found.append(call);
    }
    return found;
}

// The colour of the image at a point of the page, unpremultiplied.
inline QColor colorAt(const QImage& image, const QPointF& point, qreal scale = 1.0)
{
    return image.pixelColor(int(point.x() * scale), int(point.y() * scale));
}
