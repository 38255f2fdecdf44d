// The one road by which graphics enter the page from outside the canvas's own editing:
// placed at a point or in the middle of the visible part of the page, a group kept
// together, library graphics on the grid, graphics too large for the page shrunk, their
// picture files made the document's own, the selected layer shown, inserted front-most
// with undo, and announced.

#include "canvas/LBGraphicView.h"

#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UndoManager.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Pasteboard.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBGear.h"
#include "shapes/LBImage.h"
#include "shapes/LBPolygon.h"
#include "shapes/LBStarPolygon.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QUuid>

#include <cmath>

namespace {

const QPointF kNoPoint(-1.0, -1.0);

bool isOnePointCurve(const LBGraphic& graphic)
{
    const auto* curve = dynamic_cast<const LBCurvedLine*>(&graphic);
    return curve && curve->numControlPoints() == 1;
}

} // namespace

void LBGraphicView::updateLayersView()
{
    platform::NotificationCenter::defaultCenter().post(LBUpdateLayersView);
}

void LBGraphicView::scheduleUpdateLayersView()
{
    // Many insertions in one go (a paste, a drop of files) make one refresh.
    if (!_updateLayersViewTimer) {
        _updateLayersViewTimer = new QTimer(this);
        _updateLayersViewTimer->setSingleShot(true);
        _updateLayersViewTimer->setInterval(200);
        connect(_updateLayersViewTimer, &QTimer::timeout, this, &LBGraphicView::updateLayersView);
    }
    if (!_updateLayersViewTimer->isActive())
        _updateLayersViewTimer->start();
}

bool LBGraphicView::makeNewGraphicsFromPasteboard(platform::Pasteboard& pasteboard,
                                                  const QPointF& atPoint,
                                                  bool originatedInShapesMatrix)
{
    const std::optional<QList<LBGraphicPtr>> graphics = graphicsFromPasteboard(pasteboard);
    if (!graphics || graphics->isEmpty() || !document())
        return false;
    insertGraphics(*graphics, atPoint, originatedInShapesMatrix);
    return true;
}

void LBGraphicView::insertGraphics(const QList<LBGraphicPtr>& graphics, const QPointF& atPoint,
                                   bool originatedInShapesMatrix)
{
    const qsizetype n = graphics.size();
    if (n == 0 || !document())
        return;
    clearSelection();
    setUndoActionName(n == 1 ? QStringLiteral("Insert Object") : QStringLiteral("Insert Objects"));
    const QRectF B = n > 1 ? LBDocument::shadowBoundsForGraphics(graphics) : QRectF();
    QPointF p = atPoint;
    if (p == kNoPoint) {
        const QRectF V = visibleRect().intersected(visiblePageRect());
        p = QPointF(V.x() + (V.width() - B.width()) / 2.0,
                    V.y() + V.height() - (V.height() - B.height()) / 2.0);
        // A picture is centred on the drop point: with no drop, the middle of the visible
        // page stands for it, not the place of the last drop, long gone.
        _dropPoint = V.center();
    }
    for (qsizetype i = n - 1; i >= 0; --i) {
        const LBGraphicPtr& g = graphics.at(i);
        if (originatedInShapesMatrix && g->isGrouped()) {
            i = insertGroupStartingAtIndex(i, graphics, p, B);
            continue;
        }
        QPointF point = p;
        qint64 groupIndex = 0;
        if (n > 1) {
            const QRectF s = g->shadowDrawingBoundsWithHandles(true);
            point =
                QPointF(s.x() + p.x() - B.x(), s.y() + s.height() + p.y() - (B.y() + B.height()));
            const auto* image = dynamic_cast<const LBImage*>(g.get());
            if (image && !image->lazyImagePath().isEmpty())
                groupIndex = i;
        }
        insertGraphic(g, point, originatedInShapesMatrix, groupIndex);
        if (isOnePointCurve(*g)) {
            const auto curve = std::static_pointer_cast<LBCurvedLine>(g);
            if (_windowController)
                _windowController->setBezierMode(true);
            setEditingBezierGraphic(curve);
            rememberCurveInsertion(curve);
        } else {
            selectGraphic(g);
        }
    }
}

void LBGraphicView::rememberCurveInsertion(const std::shared_ptr<LBCurvedLine>& curve)
{
    _bezierInsertion = {curve, 0, QString()};
    platform::UndoManager* undo = undoManager();
    if (!undo)
        return;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(
        undo, &platform::UndoManager::didCloseStep, this,
        [this, connection, weak = std::weak_ptr<LBCurvedLine>(curve)](const QString& actionName) {
            disconnect(*connection);
            if (_bezierInsertion.curve.lock() != weak.lock())
                return;
            if (platform::UndoManager* manager = undoManager())
                _bezierInsertion.state = manager->documentState();
            _bezierInsertion.actionName = actionName;
        });
}

qsizetype LBGraphicView::insertGroupStartingAtIndex(qsizetype index,
                                                    const QList<LBGraphicPtr>& inArray,
                                                    const QPointF& atPoint,
                                                    const QRectF& arrayBounds)
{
    QList<LBGraphicPtr> members;
    qsizetype parentIndex = index;
    for (qsizetype j = index; j >= 0; --j) {
        members.prepend(inArray.at(j));
        if (inArray.at(j)->groupedChildrenCount() != 0) {
            parentIndex = j;
            break;
        }
    }
    // The array's lower-left corner lands on the point.
    const QPointF offset(atPoint.x() - arrayBounds.x(),
                         atPoint.y() - (arrayBounds.y() + arrayBounds.height()));
    for (qsizetype i = members.size() - 1; i >= 0; --i) {
        const LBGraphicPtr& member = members.at(i);
        member->setDocument(document());
        const QRectF bounds = member->bounds().translated(offset);
        const QRectF groupBounds = member->groupBounds().translated(offset);
        if (!makeImageFilesOwn(*member, false))
            continue;
        member->setBounds(bounds);
        member->setGroupBounds(groupBounds);
        member->setZoomFactor(zoomFactor());
        setVisiblePageOriginForGraphic(member.get());
        insertAtFrontOfSelectedLayer(member);
    }
    selectGraphic(members.first());
    return parentIndex;
}

void LBGraphicView::insertGraphic(const LBGraphicPtr& graphic, const QPointF& atPoint,
                                  bool originatedInShapesMatrix, qint64 groupIndex)
{
    LBDocument* doc = document();
    if (!graphic || !doc)
        return;
    LBGraphic& g = *graphic;
    const QRectF b = g.bounds();
    auto* image = dynamic_cast<LBImage*>(&g);

    // Where it lands: its lower-left corner on the point (a picture centred on the drop),
    // or centred in the visible part of the page.
    QPointF o;
    if (atPoint != kNoPoint) {
        o = QPointF(atPoint.x() + 10.0 * groupIndex, atPoint.y() + 10.0 * groupIndex - b.height());
        if (image)
            o = _dropPoint - QPointF(b.width() / 2.0, b.height() / 2.0);
    } else {
        const QRectF V = visibleRect().intersected(visiblePageRect());
        o = QPointF(V.x() + (V.width() - b.width()) / 2.0, V.y() + (V.height() - b.height()) / 2.0);
    }

    if (image) {
        // Quick pages and papers come back here once the user said how to place them.
        if (image->specialImageType() == LBImage::QuickPageToConfirm
            || image->specialImageType() == LBImage::PaperToConfirm) {
            confirmInsertSpecialGraphic(graphic, atPoint);
            return;
        }
        if (image->specialImageType() == LBImage::PaperAsBackground) {
            const QString path = image->lazyImagePath();
            if (path.isEmpty())
                return;
            setUndoActionName(QStringLiteral("Set Background Image"));
            doc->makeBackgroundImage(path, _pageIndex);
            doc->setBackgroundImageScaling(3, _pageIndex);
            doc->updateChangeCount(platform::Document::ChangeDone);
            QTimer::singleShot(100, this, [this] {
                if (_windowController)
                    _windowController->backgroundImageSheetAction(this);
            });
            return;
        }
    }

    if (!makeImageFilesOwn(g, true))
        return;

    QSizeF size = b.size();
    if (originatedInShapesMatrix && atPoint.x() != -1.0) {
        if (const auto* curve = dynamic_cast<const LBCurvedLine*>(&g)) {
            o += curve->numControlPoints() == 1 ? QPointF(2.0, 6.0) : QPointF(4.0, -2.0);
        } else {
            const QRectF s = g.shadowDrawingBoundsWithHandles(true);
            o.rx() += (s.width() - b.width()) / 2.0;
            o.ry() -= (s.height() - b.height()) / 2.0;
        }
        const double spacing = gridSpacing();
        const double d = snapsToGrid() && spacing > 0.0 ? spacing : 1.0;
        const QPointF page = _visiblePageRect.topLeft();
        o = QPointF(page.x() + d * std::floor((o.x() - page.x()) / d + 0.5),
                    page.y() + d * std::floor((o.y() - page.y()) / d + 0.5));
    }

    // Graphics far larger than the page shrink to it, keeping their centre, and come back
    // onto the page when they lie wholly beside it.
    const QRectF P = visiblePageRect();
    if (!P.isEmpty() && (b.width() / P.width() > 1.3 || b.height() / P.height() > 1.3)) {
        const double f = std::min(P.width() / b.width(), P.height() / b.height());
        size = QSizeF(b.width() * f, b.height() * f);
        o += QPointF((b.width() - size.width()) / 2.0, (b.height() - size.height()) / 2.0);
        if (o.x() + size.width() < P.x() || o.x() > P.x() + P.width())
            o.setX(P.x());
        if (o.y() + size.height() < P.y() || o.y() > P.y() + P.height())
            o.setY(P.y());
    }

    // A grouped graphic placed alone takes its group's rectangle along.
    if (g.isGrouped())
        g.setGroupBounds(g.groupBounds().translated(o - b.topLeft()));
    g.setBounds(QRectF(o, size));
    g.setZoomFactor(zoomFactor());
    setVisiblePageOriginForGraphic(&g);
    insertAtFrontOfSelectedLayer(graphic);

    if (originatedInShapesMatrix) {
        if (InspectorPalette* palette = LBProcessState::inspectorPalette();
            palette
            && (dynamic_cast<LBPolygon*>(&g) || dynamic_cast<LBStarPolygon*>(&g)
                || dynamic_cast<LBGear*>(&g)))
            palette->forceSelectModifiedShapeTools(true);
    }
}

void LBGraphicView::insertAtFrontOfSelectedLayer(const LBGraphicPtr& graphic)
{
    LBDocument* doc = document();
    const qint64 layer = doc->selectedLayerIndex();
    if (!doc->layerAtIndexIsVisible(layer))
        doc->showLayerAtIndex(layer, true);
    doc->insertGraphic(graphic, 0, layer, _pageIndex);
    platform::NotificationCenter::defaultCenter().post(LBInsertGraphicNotification, graphic.get());
    scheduleUpdateLayersView();
}

bool LBGraphicView::makeImageFilesOwn(LBGraphic& graphic, bool copyLazyImage)
{
    LBDocument* doc = document();
    QString path = graphic.imageFilePathOfType(LBGraphic::FillImageType);
    auto* image = dynamic_cast<LBImage*>(&graphic);
    if (copyLazyImage && image && !image->lazyImagePath().isEmpty()) {
        // A kit picture is copied to a working file of its own first.
        const QString source = image->lazyImagePath();
        const QString copy = LBProcessState::temporaryFolderPath()
                             + QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('.')
                             + QFileInfo(source).suffix();
        if (!QFile::copy(source, copy)) {
            presentError(tr("The picture \"%1\" could not be copied.").arg(source));
            return false;
        }
        doc->rememberTemporaryFileName(copy);
        image->setLazyImagePath(QString());
        path = copy;
    }
    graphic.setDocument(doc);
    if (!path.isEmpty())
        graphic.setImageFilePath(path, true, false, LBGraphic::FillImageType);
    const QString objectMask = graphic.imageFilePathOfType(LBGraphic::ObjectMaskType);
    if (!objectMask.isEmpty())
        graphic.setImageFilePath(objectMask, true, false, LBGraphic::ObjectMaskType);
    else if (!path.isEmpty())
        graphic.locateMaskForFile(path);
    const QString externalMask = graphic.imageFilePathOfType(LBGraphic::ExternalMaskType);
    if (!externalMask.isEmpty())
        graphic.setImageFilePath(externalMask, true, false, LBGraphic::ExternalMaskType);
    return true;
}

void LBGraphicView::presentError(const QString& description)
{
    qWarning("%s", qPrintable(description));
    platform::beep();
}
