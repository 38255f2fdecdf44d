#include "platform/drawing/Bundle.h"

#include "platform/core/Strings.h"
#include "platform/drawing/GraphicsContext.h"

#include <QCoreApplication>
#include <QFileInfo>

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

QStringList Bundle::fileResourceFolders() const
{
    const QString bundleFolder = _name.isEmpty() ? QString() : _name + QLatin1Char('/');
    QStringList folders;
    if (QCoreApplication::instance())
        folders << QCoreApplication::applicationDirPath() + QStringLiteral("/../share/veltrin/")
                       + bundleFolder;
#ifdef VELTRIN_BUILD_SHARE_DIR
    folders << QStringLiteral(VELTRIN_BUILD_SHARE_DIR "/") + bundleFolder;
#endif
    return folders;
}

QString Bundle::pathForFileResource(const QString& file) const
{
    for (const QString& folder : fileResourceFolders()) {
        const QFileInfo info(folder + file);
        if (info.exists())
            return info.absoluteFilePath();
    }
    return QString();
}

} // namespace platform
