#pragma once

// A graphic with a rectangular outline whose drawing hooks the tests can see and fill, a
// canvas stand-in, and helpers that draw a graphic into the recording device or into an
// image.

#include "GraphicTestSupport.h"
#include "RecordingPaintDevice.h"

#include "graphics/CanvasView.h"
#include "graphics/LBGraphic.h"
#include "platform/drawing/BezierPath.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QImage>
#include <QList>
#include <QPainter>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

class FakeCanvas : public CanvasView
{};

// Outline: the bounds as a rectangle (or an oval), stroked with the graphic's width and
// dash, as shapes build theirs.
class OutlinedGraphic : public LBGraphic
{
public:
    std::optional<platform::BezierPath> bezierPath() const override
    {
        if (noOutline)
            return std::nullopt;
        platform::BezierPath path = oval ? platform::BezierPath::withOvalInRect(bounds())
                                         : platform::BezierPath::withRect(bounds());
        path.setLineWidth(strokeLineWidth());
        if (lineDashCount() != 0) {
            const DashPattern dash = getLineDashPatternForDrawing();
            path.setLineDash(QList<qreal>(dash.begin(), dash.begin() + lineDashCount()));
        }
        return path;
    }
    std::optional<platform::BezierPath> bezierPathForStrokeWidth(double width) const override
    {
        outlineWidthsAsked.append(width);
        seenDashCount = lineDashCount();
        platform::BezierPath path = platform::BezierPath::withRect(bounds());
        path.setLineWidth(width);
        return path;
    }
    bool isShapeWithText() const override { return shapeWithText; }
    qint64 arrow1Type() const override { return arrow1; }
    qint64 knobMask() const override { return mask ? *mask : LBGraphic::knobMask(); }
    QPointF modifierKnob1Point() const override { return modifier1; }
    QPointF modifierKnob2Point() const override { return modifier2; }

    ImagePtr fillImage() override { return fillPicture; }
    ImagePtr colorMaskImage() override { return maskPicture; }
    void drawArrowsInView(CanvasView*, bool drawShadow) override { arrowCalls.append(drawShadow); }
    ImagePtr reflectionWithTransparency(double transparency, double height, bool inverted) override
    {
        reflectionRequests.append({transparency, height, inverted ? 1.0 : 0.0});
        loadingWhileBuilt = loadingReflection();
        return reflectionPicture;
    }

    using LBGraphic::_colorMaskType;

    bool noOutline = false;
    bool oval = false;
    bool shapeWithText = false;
    qint64 arrow1 = 0;
    std::optional<qint64> mask;
    QPointF modifier1;
    QPointF modifier2;
    ImagePtr fillPicture;
    ImagePtr maskPicture;
    ImagePtr reflectionPicture;
    QList<bool> arrowCalls;
    QList<QList<double>> reflectionRequests;
    bool loadingWhileBuilt = false;
    mutable QList<double> outlineWidthsAsked;
    mutable qint64 seenDashCount = -1;
};

// Draws with `draw` into the recording device through a current context, checking that
// the graphics state is balanced afterwards; returns the device's calls.
template <typename Draw>
QList<PaintCall> recordDrawing(Draw draw, QSize size = QSize(300, 300))
{
    RecordingPaintDevice device(size);
    QPainter painter(&device);
    platform::GraphicsContext context(&painter);
    platform::GraphicsContext::Scope scope(context);
    draw();
    EXPECT_EQ(context.savedStateDepth(), 0);
    EXPECT_EQ(context.transparencyLayerDepth(), 0);
    return device.calls();
}

inline QStringList recordNames(LBGraphic& graphic, CanvasView* view = nullptr)
{
    return callNames(recordDrawing([&] { graphic.drawInView(view, false); }));
}

// Draws into a transparent image of `pixels` at `scale` pixels per point.
template <typename Draw>
QImage renderImage(Draw draw, QSize pixels = QSize(300, 300), qreal scale = 1.0)
{
    platform::OffscreenContext offscreen(pixels, scale);
    draw();
    EXPECT_EQ(offscreen.context().savedStateDepth(), 0);
    return offscreen.image();
}

// A picture of one colour over its top half and another over its bottom half.
inline platform::ImagePtr twoBandPicture(const QColor& top, const QColor& bottom)
{
    QImage bitmap(20, 20, QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(bottom);
    QPainter painter(&bitmap);
    painter.fillRect(QRect(0, 0, 20, 10), top);
    painter.end();
    return platform::Image::fromBitmap(bitmap, QSizeF(20, 20));
}
