#include "MasksLibraryWriter.h"

#include "inspector/HUDMasksLibrary.h"
#include "platform/core/Error.h"
#include "platform/core/SqlStore.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace {

// The art's coverage: its alpha drawn into a square.
QImage coverage(const QByteArray& svg, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return QImage();
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return image;
}

QImage greyFromCoverage(const QImage& covered, int background, int foreground)
{
    QImage grey(covered.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < covered.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(covered.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < covered.width(); ++x) {
            const int a = qAlpha(in[x]);
            out[x] = uchar((background * (255 - a) + foreground * a + 127) / 255);
        }
    }
    return grey;
}

} // namespace

QImage maskPictureFromArt(const QByteArray& svg, int size)
{
    const QImage covered = coverage(svg, size);
    return covered.isNull() ? QImage() : greyFromCoverage(covered, 0, 255);
}

QImage maskThumbnailFromArt(const QByteArray& svg, int size)
{
    const QImage covered = coverage(svg, size);
    return covered.isNull() ? QImage() : greyFromCoverage(covered, 255, 80);
}

QByteArray pngData(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

MaskSource maskSourceFromArt(const QString& name, qint64 index, qint64 defaultSoftness,
                             const QByteArray& svg)
{
    return {name, index, defaultSoftness, pngData(maskPictureFromArt(svg, 512)),
            pngData(maskThumbnailFromArt(svg, 32))};
}

bool writeMasksLibrary(const QString& path, const QList<MaskSource>& masks, QString* error)
{
    if (QFile::exists(path) && !QFile::remove(path)) {
        if (error)
            *error = QStringLiteral("%1 cannot be replaced.").arg(path);
        return false;
    }
    platform::SqlStore store;
    platform::Error failure;
    bool ok = store.open(path, HUDMasksLibrary::migrations(), &failure)
              == platform::SqlStore::OpenStatus::Open;
    if (ok) {
        platform::SqlStore::Transaction transaction(store, &failure);
        ok = transaction.isActive();
        for (const MaskSource& mask : masks) {
            ok = ok
                 && store.execute(QStringLiteral("INSERT INTO MaskData (imageData) VALUES (?)"),
                                  {mask.pictureData}, &failure);
            const qint64 data = store.lastInsertId();
            ok = ok
                 && store.execute(
                     QStringLiteral("INSERT INTO MaskObject (name, thumbnail, "
                                    "\"index\", defaultSoftness, maskData) VALUES "
                                    "(?, ?, ?, ?, ?)"),
                     {mask.name, mask.thumbnailData, mask.index, mask.defaultSoftness, data},
                     &failure);
        }
        ok = ok && transaction.commit(&failure);
    }
    if (!ok && error)
        *error = failure.description;
    return ok;
}
