#pragma once

// A photo-like picture for the image benchmarks: 4000 × 3000 opaque pixels of smooth
// gradients with noise, in the 32-bit format asked for.

#include <QImage>
#include <QRandomGenerator>

inline QImage photoPixels(QImage::Format format)
{
    QImage pixels(4000, 3000, format);
    QRandomGenerator random(7);
    for (int y = 0; y < pixels.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(pixels.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const int noise = int(random.bounded(24));
            line[x] =
                qRgba((x / 16 + noise) % 256, (y / 12 + noise) % 256, ((x + y) / 28) % 256, 255);
        }
    }
    return pixels;
}
