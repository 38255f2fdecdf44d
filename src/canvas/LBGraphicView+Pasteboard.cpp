// Copy, cut and paste through the general pasteboard. Copy writes the unlocked selection
// as graphics-list data (and a picture of it when it is one graphic), naming duplicates of
// its picture files so that the pasteboard stays valid when the originals go. Paste keeps
// pasted graphics on the page and puts each repeat of the same contents one cascade step
// further.

#include "canvas/LBGraphicView.h"

#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/ui/Pasteboard.h"
#include "shapes/LBImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QPointF kNoPoint(-1.0, -1.0);

// Pasted graphics whose far edge lies less than this inside the page are brought back.
constexpr double kKeepOnPageMargin = 35.0;

// How far graphics of the union u must move so that they stay on page p: a group beyond
// the right or bottom edge moves back until its far edge is on it (never past the near
// edge); one beyond the left or top edge comes to it. The later rules win.
QPointF keepOnPageOffset(const QRectF& u, const QRectF& p)
{
    double dx = 0.0;
    double dy = 0.0;
    if (u.x() > p.x() + p.width() - kKeepOnPageMargin)
        dx = std::max(p.x() + p.width() - u.width(), p.x()) - u.x();
    if (u.y() > p.y() + p.height() - kKeepOnPageMargin)
        dy = std::max(p.y() + p.height() - u.height(), p.y()) - u.y();
    if (u.y() + u.height() < p.y() + kKeepOnPageMargin)
        dy = p.y() - u.y();
    if (u.x() + u.width() < p.x() + kKeepOnPageMargin)
        dx = p.x() - u.x();
    return {dx, dy};
}

} // namespace

std::optional<QList<LBGraphicPtr>>
LBGraphicView::graphicsFromPasteboard(const platform::Pasteboard& pasteboard)
{
    const QString type =
        pasteboard.availableTypeFromArray({LBPrintLinePboardType, LBPrintLine1PboardType});
    if (type.isNull())
        return std::nullopt;
    platform::Error error;
    const std::optional<LBDocument::GraphicsList> list =
        LBDocument::graphicsForData(pasteboard.dataForType(type), &error);
    if (!list) {
        qWarning("The graphics on the pasteboard cannot be read: %s",
                 qPrintable(error.description));
        return std::nullopt;
    }
    QList<LBGraphicPtr> graphics = list->graphics;
    if (list->isPages && !list->pages.isEmpty()) {
        for (const LBDocument::Layer& layer : list->pages.first())
            graphics.append(layer);
    }
    return graphics;
}

QList<LBGraphicPtr>
LBGraphicView::duplicateImageFilesInSelectedGraphics(const QList<LBGraphicPtr>& graphics)
{
    LBDocument* doc = document();
    if (!doc)
        return graphics;
    std::optional<QList<LBGraphicPtr>> result;
    QStringList sources;
    QStringList duplicates;
    for (qsizetype i = 0; i < graphics.size(); ++i) {
        const LBGraphic& graphic = *graphics.at(i);
        const QString path = doc->imageFilePathForGraphic(graphic);
        if (path.isEmpty())
            continue;
        QString duplicate;
        if (const qsizetype known = sources.indexOf(path); known >= 0) {
            duplicate = duplicates.at(known);
        } else {
            duplicate =
                platform::uniquePath(QDir(QDir::tempPath()).filePath(QFileInfo(path).fileName()));
            if (!QFile::copy(path, duplicate)) {
                qWarning("The picture \"%s\" could not be copied for the pasteboard.",
                         qPrintable(path));
                continue;
            }
            sources.append(path);
            duplicates.append(duplicate);
        }
        LBGraphicPtr copy = graphic.copy();
        copy->setVisiblePageOrigin(graphic.visiblePageOrigin());
        copy->setImageFilePath(duplicate, false, false, LBGraphic::FillImageType);
        // The copy leaves every picture file to its caller: the mask files go along too, or
        // the pasted graphic would lose its masks.
        for (const qint64 type : {LBGraphic::ObjectMaskType, LBGraphic::ExternalMaskType}) {
            const QString mask = graphic.imageFilePathOfType(type);
            if (!mask.isEmpty())
                copy->setImageFilePath(mask, false, false, type);
        }
        if (!result)
            result = graphics;
        result->replace(i, copy);
    }
    return result ? *result : graphics;
}

void LBGraphicView::copy(QObject* sender)
{
    Q_UNUSED(sender);
    const QList<LBGraphicPtr> selection = orderedSelectedGraphics();
    if (selection.isEmpty() || !document())
        return;
    const QList<LBGraphicPtr> graphics = duplicateImageFilesInSelectedGraphics(selection);
    // Only types that carry data are offered: a picture for one graphic alone.
    const QByteArray tiff =
        graphics.size() == 1 ? LBDocument::TIFFRepresentationForGraphics(graphics) : QByteArray();
    QStringList types{LBPrintLinePboardType};
    if (!tiff.isEmpty())
        types.append(platform::TIFFPboardType);
    platform::Pasteboard& pasteboard = platform::Pasteboard::generalPasteboard();
    pasteboard.declareTypes(types);
    pasteboard.setData(LBDocument::dataForGraphics(graphics), LBPrintLinePboardType);
    if (!tiff.isEmpty())
        pasteboard.setData(tiff, platform::TIFFPboardType);
    _pasteboardChangeCount = platform::Pasteboard::generalChangeCount();
    _pasteCascadeNumber = 1;
    _pasteCascadeDelta = QPointF(10.0, 10.0);
}

void LBGraphicView::cut(QObject* sender)
{
    copy(sender);
    delete_(sender);
    _pasteCascadeNumber = 0;
    setUndoActionName(QStringLiteral("Cut"));
}

void LBGraphicView::paste(QObject* sender)
{
    Q_UNUSED(sender);
    LBDocument* doc = document();
    if (!doc)
        return;
    platform::Pasteboard& pasteboard = platform::Pasteboard::generalPasteboard();
    const QString type = pasteboard.availableTypeFromArray(
        {LBPrintLinePboardType, LBPrintLine1PboardType, platform::FilenamesPboardType});
    if (type.isNull()) {
        if (makeNewImageFromPasteboard(pasteboard, kNoPoint))
            setUndoActionName(QStringLiteral("Paste"));
        return;
    }
    if (type == platform::FilenamesPboardType) {
        const QStringList paths = pasteboard.filenames();
        bool imported = false;
        for (const QString& path : paths)
            imported = makeNewImageFromContentsOfFile(path, kNoPoint, QSizeF(0.0, 0.0));
        setFocus();
        if (imported)
            setUndoActionName(QStringLiteral("Paste"));
        return;
    }

    const std::optional<QList<LBGraphicPtr>> read = graphicsFromPasteboard(pasteboard);
    if (!read)
        return;
    const QList<LBGraphicPtr>& graphics = *read;
    if (const qint64 count = platform::Pasteboard::generalChangeCount();
        count != _pasteboardChangeCount) {
        _pasteboardChangeCount = count;
        _pasteCascadeNumber = 0;
        _pasteCascadeDelta = QPointF(10.0, 10.0);
    }
    if (graphics.isEmpty())
        return;

    // The stored positions are relative to the page.
    const QPointF pageOrigin = _visiblePageRect.topLeft();
    const QPointF onPage = keepOnPageOffset(
        LBDocument::boundsForGraphics(graphics).translated(pageOrigin), pageRect());
    clearSelection();
    const qint64 m = _pasteCascadeNumber;
    const QPointF offset = onPage + (m > 0 ? m * _pasteCascadeDelta : QPointF());
    for (qsizetype i = graphics.size() - 1; i >= 0; --i) {
        const LBGraphicPtr& graphic = graphics.at(i);
        graphic->moveBy(pageOrigin);
        if (!offset.isNull())
            graphic->moveBy(offset);
        const auto* image = dynamic_cast<const LBImage*>(graphic.get());
        if (image && !image->lazyImagePath().isEmpty()) {
            // A kit picture still to be loaded lands in the middle of what shows of the page.
            insertGraphic(graphic, kNoPoint, false, 1);
            continue;
        }
        graphic->setDocument(doc);
        graphic->copyImageFilePathsFromGraphic(*graphic);
        setVisiblePageOriginForGraphic(graphic.get());
        graphic->setZoomFactor(zoomFactor());
        insertAtFrontOfSelectedLayer(graphic);
        if (!graphic->isGrouped() || graphic->groupedChildrenCount() > 0)
            selectGraphic(graphic);
    }
    ++_pasteCascadeNumber;
    setUndoActionName(QStringLiteral("Paste"));
}
