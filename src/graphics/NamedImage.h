#pragma once

// The program's own pictures as bitmaps, by name (platform::Image::imageNamed finds them:
// "<name>.svg" or "<name>.png" in the images of the resources), for pictures that are
// processed as pixels, such as fill pictures. A vector picture is drawn once into a bitmap
// with enough pixels for large placeholders; its size in points is the picture's own.
// Each name is read once and the same picture is handed to every caller (main thread
// only). Pictures only drawn, such as handles, are better taken from imageNamed() itself,
// which keeps them vector.

#include <QString>

#include <memory>

namespace platform {
class Image;
}

// The picture, or nullptr (with a warning, once) when the resources hold no such picture.
std::shared_ptr<platform::Image> namedImage(const QString& name);
