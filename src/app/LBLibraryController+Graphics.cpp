// Graphics of a cell, thumbnails, composite pictures, double clicks and the old library's
// import.

#include "app/LBLibraryController.h"

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/PropertyList.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"
#include "window/LBEditController.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryFile>

#include <cmath>

namespace {

// A new image graphic showing the file, scaled to fit 90 % of the page when it is larger.
LBGraphicPtr imageGraphicForFile(const QString& path, const QRectF& page)
{
    auto image = std::make_shared<LBImage>();
    image->setImageFilePath(path, true, false, 0);
    const LBGraphic::ImagePtr picture = image->imageOfType(0);
    if (!picture)
        return nullptr;
    QSizeF size = picture->size();
    if (page.width() > 0 && page.height() > 0
        && (size.width() > page.width() || size.height() > page.height())) {
        const double scale =
            std::min(0.9 * page.width() / size.width(), 0.9 * page.height() / size.height());
        size *= scale;
    }
    image->setBoundsNoOtherChanges(QRectF(QPointF(0, 0), size));
    return image;
}

// Curves are measured without their modifier rectangles.
class WithoutModifierRects
{
public:
    explicit WithoutModifierRects(LBGraphic* graphic) : _curve(dynamic_cast<LBCurvedLine*>(graphic))
    {
        if (_curve) {
            _was = _curve->includeModifierRectsInBounds();
            _curve->setIncludeModifierRectsInBounds(false);
        }
    }
    ~WithoutModifierRects()
    {
        if (_curve)
            _curve->setIncludeModifierRectsInBounds(_was);
    }

private:
    LBCurvedLine* _curve;
    bool _was = false;
};

QRectF measuredBounds(LBGraphic& graphic, bool includeShadows)
{
    const WithoutModifierRects plain(&graphic);
    return includeShadows ? graphic.shadowDrawingBoundsWithHandles(true) : graphic.bounds();
}

} // namespace

// ==== Graphics of a cell ==================================================================

QString LBLibraryController::writeTemporaryFile(const QByteArray& data, const QString& extension,
                                                const QString& suffix) const
{
    QString folder = LBProcessState::temporaryFolderPath();
    if (folder.isEmpty())
        folder = QDir::tempPath() + u'/';
    QDir().mkpath(folder);
    // Uniquely named in the working folder, which a clean quit empties.
    QTemporaryFile file(
        folder
        + QStringLiteral("Favorite%1-XXXXXX%2")
              .arg(suffix, extension.isEmpty() ? QString() : QStringLiteral(".") + extension));
    file.setAutoRemove(false);
    if (!file.open() || file.write(data) != data.size()) {
        file.remove();
        return QString();
    }
    file.close();
    return file.fileName();
}

QList<LBGraphicPtr> LBLibraryController::graphicsForCell(qint64 index)
{
    if (index < 0 || index >= _objects.size())
        return {};
    const LBLibraryStore::Object object = _objects[index];
    const double zoom = documentZoomFactor();
    const QRectF top = topPageRect();
    const QRectF page(top.topLeft() / zoom, top.size() / zoom);

    if (object.type == LBLibraryStore::LinkedFileObject) {
        if (object.filePath.isEmpty() || !QFileInfo(object.filePath).isFile())
            return {};
        const LBGraphicPtr image = imageGraphicForFile(object.filePath, page);
        return image ? QList<LBGraphicPtr>{image} : QList<LBGraphicPtr>();
    }
    LBLibraryStore* library = store();
    const std::optional<LBLibraryStore::ObjectData> data =
        library ? library->objectData(object.id) : std::nullopt;
    if (!data)
        return {};
    if (object.type == LBLibraryStore::ImageDataObject) {
        const QString path = writeTemporaryFile(data->imageData, QString(), QString());
        if (path.isEmpty())
            return {};
        const LBGraphicPtr image = imageGraphicForFile(path, page);
        return image ? QList<LBGraphicPtr>{image} : QList<LBGraphicPtr>();
    }
    if (object.type != LBLibraryStore::GraphicsObject)
        return {};

    QList<LBGraphicPtr> graphics;
    if (const auto list = LBDocument::graphicsForData(data->graphicData)) {
        if (!list->isPages) {
            graphics = list->graphics;
        } else if (!list->pages.isEmpty()) {
            for (const LBDocument::Layer& layer : list->pages.first())
                graphics += layer;
        }
    }
    if (graphics.isEmpty())
        return {};
    if (data->imageData.isEmpty())
        return graphics;
    const QString extension = QFileInfo(object.filePath).suffix();
    if (graphics.size() == 1) {
        const QString path = writeTemporaryFile(data->imageData, extension, QString());
        if (!path.isEmpty())
            graphics.first()->setImageFilePath(path, true, false, 0);
        return graphics;
    }
    // Several: a list of each graphic's file contents, or "No File".
    const std::optional<QVariant> stored = platform::PropertyList::fromText(data->imageData);
    const QVariantList array =
        stored ? stored->toMap().value(QStringLiteral("array")).toList() : QVariantList();
    for (qsizetype i = 0; i < graphics.size() && i < array.size(); ++i) {
        if (array[i].typeId() != QMetaType::QByteArray)
            continue;
        const QString path =
            writeTemporaryFile(array[i].toByteArray(), extension, QString::number(i));
        if (!path.isEmpty())
            graphics[i]->setImageFilePath(path, true, false, 0);
    }
    return graphics;
}

// ==== Pictures ============================================================================

LBLibraryController::ImagePtr LBLibraryController::thumbnailFromImage(const ImagePtr& image)
{
    if (!image)
        return nullptr;
    const QSizeF size = image->size();
    if (size.width() <= 120 && size.height() <= 120)
        return image;
    const double scale = 120.0 / std::max(size.width(), size.height());
    const QSizeF scaled = size * scale;
    QImage bitmap(120, 120, QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(Qt::transparent);
    {
        platform::OffscreenContext offscreen(QSize(120, 120));
        if (!offscreen.isActive())
            return nullptr;
        image->drawInRect(QRectF((120 - scaled.width()) / 2.0, (120 - scaled.height()) / 2.0,
                                 scaled.width(), scaled.height()));
        bitmap = offscreen.image();
    }
    return platform::Image::fromBitmap(bitmap, QSizeF(120, 120));
}

QRectF LBLibraryController::boundsForGraphics(const QList<LBGraphicPtr>& graphics,
                                              bool includeShadows)
{
    QRectF bounds;
    for (const LBGraphicPtr& graphic : graphics) {
        const QRectF measured = measuredBounds(*graphic, includeShadows);
        bounds = bounds.isNull() ? measured : bounds.united(measured);
    }
    return bounds;
}

LBLibraryController::ImagePtr
LBLibraryController::createImageFromGraphics(const QList<LBGraphicPtr>& graphics,
                                             bool createSimpleDragImage)
{
    (void)createSimpleDragImage;
    const QRectF all = boundsForGraphics(graphics, true);
    const double zoom = documentZoomFactor();
    const QSizeF size = all.size() * zoom;
    const QSize pixels(int(std::ceil(size.width())), int(std::ceil(size.height())));
    if (pixels.isEmpty())
        return nullptr;
    QImage bitmap(pixels, QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(Qt::transparent);
    {
        QPainter painter(&bitmap);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        // From the last to the first, so the first lies in front.
        for (qsizetype i = graphics.size() - 1; i >= 0; --i) {
            const LBGraphicPtr& source = graphics[i];
            const QRectF measured = measuredBounds(*source, true);
            const LBGraphicPtr copy = source->copy();
            copy->setZoomFactor(source->zoomFactor());
            copy->copyImageFilePathsFromGraphic(*source);
            const bool isCurve = dynamic_cast<const LBCurvedLine*>(source.get()) != nullptr;
            const WithoutModifierRects plain(copy.get());
            // Text boxes and curves are drawn upright as they are; the others flipped into
            // the picture and back.
            const bool upright = source->isTextBox() || isCurve;
            const ImagePtr picture = copy->copyToImageWithScale(zoom, 1.0, !upright, upright);
            if (!picture)
                continue;
            const QImage drawn = picture->forcedBitmapImageRep();
            const QPointF at((measured.left() - all.left()) * zoom,
                             (measured.top() - all.top()) * zoom);
            painter.drawImage(QRectF(at, picture->size()), drawn);
        }
    }
    return platform::Image::fromBitmap(bitmap, size);
}

// ==== Double click ========================================================================

void LBLibraryController::processDoubleClickAtRow(qint64 row, qint64 column)
{
    if (!_editController || !_matrix)
        return;
    const QList<LBGraphicPtr> graphics = graphicsForCell(row * _matrix->numberOfColumns() + column);
    _editController->deselectAll();
    if (graphics.size() == 1)
        _editController->insertGraphic(graphics.first(), true);
    else
        _editController->insertGraphics(graphics, true);
}

// ==== The old library =====================================================================

void LBLibraryController::importOldLibraries()
{
    const QString path = LBProcessState::applicationSupportPath()
                         + QStringLiteral("Shapes/Scrapbook.%1").arg(QStringLiteral("quarnl"));
    LBLibraryStore* library = store();
    if (!library)
        return;
    if (QFileInfo::exists(path) && !_collections.isEmpty()
        && !_collections.first().categories.isEmpty()) {
        const qint64 category = _collections.first().categories.first().id;
        if (std::unique_ptr<LBDocument> old =
                LBDocument::initWithContentsOfFile(path, QStringLiteral("Veltrin Label"))) {
            const LBDocument::Page* page = old->graphicsOnPage(0);
            const LBDocument::Layer layer =
                page && !page->isEmpty() ? page->first() : LBDocument::Layer();
            change([&](platform::Error* error) {
                qint64 position = 0;
                for (const LBGraphicPtr& graphic : layer) {
                    const qint64 added = addGraphics({graphic}, category, false, position, error);
                    if (added < 0)
                        return false;
                    position += added;
                }
                return true;
            });
        }
    }
    saveChanges();
    loadCollections();
    reloadOutline();
    loadObjects();
    adjustNumCellsInMatrix(false);
    populateMatrixCells();
}
