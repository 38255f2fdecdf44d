#pragma once

// Small pictures for the tests of processed pictures, where their pixels lie, and the
// display scale factor for one test.

#include "graphics/LBProcessState.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

// A premultiplied picture of one colour.
inline QImage filledPixels(const QSize& size, const QColor& color)
{
    QImage pixels(size, QImage::Format_ARGB32_Premultiplied);
    pixels.fill(color);
    return pixels;
}

// The smallest rectangle holding the pixels at least half opaque.
inline QRect opaqueBounds(const QImage& image)
{
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) >= 128)
                found |= QRect(x, y, 1, 1);
    return found;
}

// The display scale factor for the lifetime of the object.
class DisplayScale
{
public:
    explicit DisplayScale(double factor) { LBProcessState::setDisplayScaleFactor(factor); }
    ~DisplayScale() { LBProcessState::setDisplayScaleFactor(1.0); }
    DisplayScale(const DisplayScale&) = delete;
    DisplayScale& operator=(const DisplayScale&) = delete;
};
