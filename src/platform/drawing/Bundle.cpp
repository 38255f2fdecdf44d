#include "platform/drawing/Bundle.h"

#include "platform/core/Strings.h"
#include "platform/drawing/GraphicsContext.h"

namespace platform {

QString Bundle::localizedString(const QString& key, const QString& table) const
{
    return LocalizedString(key, table, _name);
}

ImagePtr Bundle::imageNamed(const QString& name) const
{
    return Image::imageNamed(name, _name);
}

QPixmap Bundle::pixmapNamed(const QString& name, qreal devicePixelRatio) const
{
    const ImagePtr image = imageNamed(name);
    if (!image || image->size().isEmpty())
        return QPixmap();
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    OffscreenContext offscreen(OffscreenContext::pixelsFor(image->size(), ratio), ratio);
    image->drawInRect(QRectF(QPointF(0, 0), image->size()));
    QImage picture = offscreen.image();
    picture.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(picture);
}

QString Bundle::pathForResource(const QString& file) const
{
    return _name.isEmpty() ? QStringLiteral(":/") + file
                           : QStringLiteral(":/%1/%2").arg(_name, file);
}

} // namespace platform
