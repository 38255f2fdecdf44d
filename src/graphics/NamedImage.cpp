#include "graphics/NamedImage.h"

#include "platform/Image.h"

#include <QDebug>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>

namespace {

// Pixels per point of a vector picture drawn into a bitmap: sharp when a placeholder
// shows the picture at three times its size.
constexpr double VectorPixelsPerPoint = 3.0;
constexpr double MetersPerInch = 0.0254;

std::shared_ptr<platform::Image> bitmapFromSvg(const QString& path)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return nullptr;
    const QSizeF points = renderer.viewBoxF().isEmpty() ? QSizeF(renderer.defaultSize())
                                                        : renderer.viewBoxF().size();
    if (points.isEmpty())
        return nullptr;
    QImage bitmap(int(std::ceil(points.width() * VectorPixelsPerPoint)),
                  int(std::ceil(points.height() * VectorPixelsPerPoint)),
                  QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull())
        return nullptr;
    bitmap.fill(Qt::transparent);
    const int dotsPerMeter = qRound(72.0 * VectorPixelsPerPoint / MetersPerInch);
    bitmap.setDotsPerMeterX(dotsPerMeter);
    bitmap.setDotsPerMeterY(dotsPerMeter);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(bitmap.size())));
    painter.end();
    return platform::Image::fromBitmap(bitmap, points);
}

} // namespace

std::shared_ptr<platform::Image> namedImage(const QString& name)
{
    static QHash<QString, std::shared_ptr<platform::Image>> pictures;
    const auto known = pictures.constFind(name);
    if (known != pictures.constEnd())
        return *known;

    std::shared_ptr<platform::Image> picture;
    const QString svg = QStringLiteral(":/images/%1.svg").arg(name);
    const QString png = QStringLiteral(":/images/%1.png").arg(name);
    const bool isSvg = QFile::exists(svg);
    const bool isPng = !isSvg && QFile::exists(png);
    QString error;
    if (isSvg)
        picture = bitmapFromSvg(svg);
    else if (isPng)
        picture = platform::Image::fromFile(png, &error);
    if (!picture && !isSvg && !isPng)
        qWarning().noquote() << QStringLiteral("Picture \"%1\" is not in the resources").arg(name);
    else if (!picture)
        qWarning().noquote() << QStringLiteral("Picture \"%1\" cannot be read%2")
                                    .arg(name, error.isEmpty() ? QString() : ": " + error);
    // A missing picture is remembered too, so it is reported once.
    pictures.insert(name, picture);
    return picture;
}
