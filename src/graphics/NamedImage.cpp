#include "graphics/NamedImage.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QDebug>
#include <QFile>
#include <QHash>
#include <QRectF>
#include <QSizeF>

namespace {

// Pixels per point of a vector picture drawn into a bitmap: sharp when a placeholder
// shows the picture at three times its size.
constexpr double VectorPixelsPerPoint = 3.0;

std::shared_ptr<platform::Image> bitmapFromVector(const platform::Image& vector)
{
    const QSizeF points = vector.size();
    if (points.isEmpty())
        return nullptr;
    platform::OffscreenContext offscreen(
        platform::OffscreenContext::pixelsFor(points, VectorPixelsPerPoint), VectorPixelsPerPoint);
    if (!offscreen.isActive())
        return nullptr;
    vector.drawInRect(QRectF(QPointF(0, 0), points));
    return platform::Image::fromBitmap(offscreen.image(), points);
}

} // namespace

std::shared_ptr<platform::Image> namedImage(const QString& name)
{
    static QHash<QString, std::shared_ptr<platform::Image>> pictures;
    const auto known = pictures.constFind(name);
    if (known != pictures.constEnd())
        return *known;

    // The program's picture of that name, vector pictures drawn into a bitmap.
    std::shared_ptr<platform::Image> picture = platform::Image::imageNamed(name);
    if (picture && picture->representationKind() == platform::Image::RepresentationKind::SVG)
        picture = bitmapFromVector(*picture);
    if (!picture) {
        const bool present = QFile::exists(QStringLiteral(":/images/%1.svg").arg(name))
                             || QFile::exists(QStringLiteral(":/images/%1.png").arg(name));
        qWarning().noquote()
            << (present ? QStringLiteral("Picture \"%1\" cannot be read").arg(name)
                        : QStringLiteral("Picture \"%1\" is not in the resources").arg(name));
    }
    // A missing picture is remembered too, so it is reported once.
    pictures.insert(name, picture);
    return picture;
}
