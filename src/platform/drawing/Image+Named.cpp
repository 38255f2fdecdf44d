// The program's own named pictures (handles, badges, stock art) and drawing a picture at
// its own size wherever the current transform has moved the drawing.

#include "platform/drawing/Image.h"

#include "platform/drawing/GraphicsContext.h"

#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSvgRenderer>

namespace platform {

ImagePtr Image::imageNamed(const QString& name)
{
    return imageNamed(name, QString());
}

ImagePtr Image::imageNamed(const QString& name, const QString& bundle)
{
    // Read once, kept for the run; a name that is not found is not looked up again.
    static QHash<QString, ImagePtr> named;
    const QString key = bundle + u'/' + name;
    const auto found = named.constFind(key);
    if (found != named.constEnd())
        return found.value();

    const QString folder =
        bundle.isEmpty() ? QStringLiteral(":/images/") : QStringLiteral(":/%1/images/").arg(bundle);
    const auto read = [&](const QString& stem) -> ImagePtr {
        if (stem.isEmpty())
            return nullptr;
        QFile svg(folder + stem + QStringLiteral(".svg"));
        if (svg.open(QIODevice::ReadOnly)) {
            auto renderer = std::make_shared<QSvgRenderer>(svg.readAll());
            if (renderer->isValid()) {
                auto image = std::make_shared<Image>(Key{});
                image->_kind = RepresentationKind::SVG;
                image->_size = renderer->viewBoxF().size();
                // The size the file states, when it states one apart from its view box.
                const QSize stated = renderer->defaultSize();
                if (stated.isValid())
                    image->_size = QSizeF(stated);
                image->_vector = std::move(renderer);
                return image;
            }
        }
        if (QFile::exists(folder + stem + QStringLiteral(".png")))
            return fromFile(folder + stem + QStringLiteral(".png"));
        return nullptr;
    };
    ImagePtr image = read(name);
    static const QRegularExpression extension(QStringLiteral("\\.(tiff?|png|jpe?g|svg|pdf)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    if (!image && name.contains(extension))
        image = read(QString(name).remove(extension));
    named.insert(key, image);
    return image;
}

void Image::drawVectorInRect(QPainter& painter, const QRectF& rect, const QRectF& fromRect) const
{
    if (!_vector || _size.isEmpty())
        return;
    if (fromRect.isEmpty()) {
        _vector->render(&painter, rect);
        return;
    }
    // Only a part: render the whole picture scaled so that part lands on rect, clipped.
    const qreal sx = rect.width() / fromRect.width();
    const qreal sy = rect.height() / fromRect.height();
    const QRectF whole(rect.x() - fromRect.x() * sx, rect.y() - fromRect.y() * sy,
                       _size.width() * sx, _size.height() * sy);
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    _vector->render(&painter, whole);
    painter.restore();
}

void Image::compositeToPoint(const QPointF& point, QPainter::CompositionMode operation) const
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context || !context->painter() || !context->painter()->isActive())
        return;
    QPainter* painter = context->painter();

    // The point in base coordinates, then the world transform that makes drawing
    // coordinates base coordinates: device = world × view, wanted device = base map.
    const QTransform base = context->baseTransform();
    bool invertible = false;
    const QTransform deviceToBase = base.inverted(&invertible);
    if (!invertible)
        return;
    const QPointF at = deviceToBase.map(painter->deviceTransform().map(point));

    context->saveGraphicsState();
    painter->setWorldTransform(QTransform());
    const QTransform view = painter->deviceTransform();
    painter->setWorldTransform(base * view.inverted());
    // The lower-left corner at the point: the picture extends upwards on the page.
    drawInRect(QRectF(at.x(), at.y() - _size.height(), _size.width(), _size.height()), QRectF(),
               operation, 1.0);
    context->restoreGraphicsState();
}

} // namespace platform
