// Which cursor shows where: a list of zones (rectangle and cursor) rebuilt when something
// that shapes it changed, the last zone under the pointer winning, applied on every mouse
// move without a button. In order: the hand while the space bar is down; the curve tool
// while a curve is drawn; else the arrow, the I-beam (text mode) and merge-field zones of
// the text boxes, and the handles of the one selected graphic.

#include "canvas/LBGraphicView.h"

#include "graphics/LBTextArea.h"
#include "platform/core/TextForms.h"
#include "shapes/LBCurvedLine.h"

#include <QCursor>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>

namespace {

struct CursorPicture
{
    const char* name;
    int hotX;
    int hotY;
};

// A cursor made from the program's picture, drawn at twice its size for sharp screens.
QCursor pictureCursor(const CursorPicture& picture)
{
    QSvgRenderer renderer(QStringLiteral(":/images/%1.svg").arg(QLatin1String(picture.name)));
    if (!renderer.isValid())
        return QCursor(Qt::ArrowCursor);
    const QSize size = renderer.defaultSize();
    QPixmap pixmap(size * 2);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(2.0);
    return QCursor(pixmap, picture.hotX, picture.hotY);
}

// A square of side 8 / zoom about the point, within the drawing bounds.
QRectF knobZone(const QPointF& point, double halfSide, const QRectF& within)
{
    return QRectF(point.x() - halfSide, point.y() - halfSide, 2.0 * halfSide, 2.0 * halfSide)
        .intersected(within);
}

bool holdsTextForCursor(const LBGraphic* graphic)
{
    return graphic && (graphic->isTextBox() || graphic->isShapeWithText());
}

} // namespace

QCursor LBGraphicView::cursorForKind(CursorKind kind)
{
    using K = CursorKind;
    switch (kind) {
    case K::Arrow: return QCursor(Qt::ArrowCursor);
    case K::IBeam: return QCursor(Qt::IBeamCursor);
    case K::OpenHand: return QCursor(Qt::OpenHandCursor);
    default: break;
    }
    static QHash<int, QCursor> made;
    if (const auto found = made.constFind(int(kind)); found != made.constEnd())
        return *found;
    static const QHash<int, CursorPicture> pictures = {
        {int(K::BezierTool), {"BezierToolCursor", 8, 1}},
        {int(K::BezierControl), {"BezierControlCursor", 2, 4}},
        {int(K::BezierModifier), {"BezierModifierCursor", 2, 4}},
        {int(K::DottedIBeam), {"DottedIBeamCursor", 2, 1}},
        {int(K::HResize), {"HResizeCursor", 8, 8}},
        {int(K::VResize), {"VResizeCursor", 8, 8}},
        {int(K::UpperLeftResize), {"UpperLeftResizeCursor", 8, 8}},
        {int(K::UpperRightResize), {"UpperRightResizeCursor", 8, 8}},
        {int(K::ModifierKnob), {"ModifierKnobCursor", 8, 8}},
        {int(K::FieldPopup), {"FieldPopupCursor", 8, 5}},
        {int(K::UpperMiddleRotate), {"UpperMiddleRotateCursor", 8, 8}},
        {int(K::UpperRightRotate), {"UpperRightRotateCursor", 8, 8}},
        {int(K::MiddleRightRotate), {"MiddleRightRotateCursor", 8, 8}},
        {int(K::LowerRightRotate), {"LowerRightRotateCursor", 8, 8}},
        {int(K::LowerMiddleRotate), {"LowerMiddleRotateCursor", 8, 8}},
        {int(K::LowerLeftRotate), {"LowerLeftRotateCursor", 8, 8}},
        {int(K::MiddleLeftRotate), {"MiddleLeftRotateCursor", 8, 8}},
        {int(K::UpperLeftRotate), {"UpperLeftRotateCursor", 8, 8}},
    };
    const QCursor cursor = pictureCursor(pictures.value(int(kind), {"", 0, 0}));
    made.insert(int(kind), cursor);
    return cursor;
}

void LBGraphicView::invalidateCursorRects()
{
    _cursorRectsValid = false;
}

const QList<LBGraphicView::CursorZone>& LBGraphicView::cursorZones()
{
    if (!_cursorRectsValid)
        resetCursorRects();
    return _cursorZones;
}

void LBGraphicView::resetCursorRects()
{
    _cursorZones.clear();
    _cursorRectsValid = true;
    const QRectF V = visibleRect();
    const auto add = [this](const QRectF& rect, CursorKind cursor) {
        if (!rect.isEmpty())
            _cursorZones.append({rect, cursor});
    };

    if (_spaceKeyIsDown) {
        add(V, CursorKind::OpenHand);
        return;
    }
    if (_editingBezierGraphic) {
        if (_triggerBezierToolCursor) {
            const QPointF p = convertFromWidget(mapFromGlobal(QCursor::pos()));
            add(QRectF(p, QSizeF(1.0, 1.0)), CursorKind::BezierTool);
            _triggerBezierToolCursor = false;
        }
        add(V, CursorKind::BezierTool);
        return;
    }

    // The arrow lies under the text and field zones (the last zone under the pointer wins,
    // so it comes first); text mode has none.
    const bool textMode = _windowController && _windowController->textMode();
    if (!textMode)
        add(V, CursorKind::Arrow);
    if (!_editingGraphic && document()) {
        for (const LBGraphicPtr& graphic : graphicsIntersectingRect(V, true)) {
            if (!holdsTextForCursor(graphic.get()))
                continue;
            if (textMode)
                add(graphic->bounds().intersected(V), CursorKind::IBeam);
            const auto* text = dynamic_cast<const LBTextArea*>(graphic.get());
            if (!text)
                continue;
            const QSizeF delta = text->blockAlignmentDelta();
            const QPointF offset =
                graphic->bounds().topLeft() + QPointF(delta.width(), delta.height());
            for (const QVariantMap& entry :
                 text->fieldRolloverArray().value_or(QList<QVariantMap>())) {
                for (const QVariant& rect :
                     entry.value(QStringLiteral("LBRolloverRectArray")).toList())
                    add(platform::rectFromString(rect.toString()).translated(offset).intersected(V),
                        CursorKind::FieldPopup);
            }
        }
    }
    if (textMode) {
        add((_editingGraphic ? _editingGraphic->bounds() : QRectF()).intersected(V),
            CursorKind::IBeam);
        return;
    }

    // Handles: of one unlocked selected graphic, or of the group of the first one.
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.isEmpty())
        return;
    const LBGraphicPtr& g = selection.first();
    if (selection.size() != 1 && !g->isGrouped())
        return;
    const bool grouped = g->isGrouped();
    QRectF B = g->bounds();
    QRectF D = g->drawingBounds();
    if (grouped) {
        const LBGraphicPtr parent = groupParentOfGraphic(g.get(), true);
        B = parent ? parent->groupBounds() : QRectF();
        D = g->groupDrawingBounds();
    }
    const double z = g->zoomFactor() > 0.0 ? g->zoomFactor() : 1.0;
    const double half = 4.0 / z;
    const qint64 mask = g->knobMask();
    const auto at = [&](const QPointF& point) { return g->rotatedPoint(point, grouped); };

    if (mask & 0x100)
        add(knobZone(at(g->modifierKnob1Point()), half, D), CursorKind::ModifierKnob);
    else if (mask & 0x200)
        add(knobZone(at(g->modifierKnob2Point()), half, D), CursorKind::ModifierKnob);

    if ((mask & 0x400) && !grouped) {
        if (const auto* curve = dynamic_cast<const LBCurvedLine*>(g.get())) {
            for (qsizetype i = 0; i < curve->numControlPoints(); ++i) {
                const QPointF point = curve->controlPointAtIndex(i, true);
                add(knobZone(g->rotatedPoint(point, false), half, D), CursorKind::BezierControl);
                const QRectF handles = curve->modifierRectAtIndex(i, true);
                for (const QPointF& handle :
                     {handles.topLeft(), QPointF(handles.width(), handles.height())}) {
                    if (handle != point)
                        add(knobZone(g->rotatedPoint(handle, false), half, D),
                            CursorKind::BezierModifier);
                }
            }
        }
    }

    for (qint64 index = 0; index < 4; ++index) {
        if (mask & (0x800 << index)) {
            const qint64 type = g->effectLocationKnobType();
            const double side = type == 2 ? 4.0 / z : type == 1 ? 9.5 / z : 0.0;
            add(knobZone(at(g->effectLocationKnobPointForIndex(index)), side, D),
                CursorKind::ModifierKnob);
            break;
        }
    }

    struct Handle
    {
        qint64 bit;
        QPointF point;
        CursorKind resize;
        CursorKind rotate;
        QMarginsF trim; // left, top grow inwards; right, bottom shrink the size
    };
    const std::array<Handle, 8> handles = {{
        {0x01, B.topLeft(), CursorKind::UpperLeftResize, CursorKind::UpperLeftRotate,
         QMarginsF(1, 1, 0, 0)},
        {0x02, QPointF(B.center().x(), B.top()), CursorKind::VResize, CursorKind::UpperMiddleRotate,
         QMarginsF()},
        {0x04, B.topRight(), CursorKind::UpperRightResize, CursorKind::UpperRightRotate,
         QMarginsF(0, 1, 0, 0)},
        {0x08, QPointF(B.left(), B.center().y()), CursorKind::HResize, CursorKind::MiddleLeftRotate,
         QMarginsF(1, 0, 0, 0)},
        {0x10, QPointF(B.right(), B.center().y()), CursorKind::HResize,
         CursorKind::MiddleRightRotate, QMarginsF()},
        {0x20, B.bottomLeft(), CursorKind::UpperRightResize, CursorKind::LowerLeftRotate,
         QMarginsF(1, 0, 0, 0)},
        {0x40, QPointF(B.center().x(), B.bottom()), CursorKind::VResize,
         CursorKind::LowerMiddleRotate, QMarginsF()},
        {0x80, B.bottomRight(), CursorKind::UpperLeftResize, CursorKind::LowerRightRotate,
         QMarginsF()},
    }};
    for (const Handle& handle : handles) {
        if (!(mask & handle.bit))
            continue;
        QRectF zone = knobZone(at(handle.point), half, D);
        // The trims move the origin in by a point and take the point off the size.
        zone.setLeft(zone.left() + handle.trim.left());
        zone.setTop(zone.top() + handle.trim.top());
        add(zone, _showRotateCursor ? handle.rotate : handle.resize);
    }
}

LBGraphicView::CursorKind LBGraphicView::cursorKindAtPoint(const QPointF& point)
{
    const QList<CursorZone>& zones = cursorZones();
    for (qsizetype i = zones.size() - 1; i >= 0; --i) {
        const QRectF& r = zones.at(i).rect;
        if (point.x() >= r.left() && point.x() < r.right() && point.y() >= r.top()
            && point.y() < r.bottom())
            return zones.at(i).cursor;
    }
    return CursorKind::Arrow;
}

void LBGraphicView::updateCursorFromZones(const QPointF& point)
{
    setCursor(cursorForKind(cursorKindAtPoint(point)));
}

void LBGraphicView::flagsChanged(Qt::KeyboardModifiers modifiers)
{
    const bool rotate = modifiers.testFlag(Qt::ControlModifier);
    if (rotate == _showRotateCursor)
        return;
    _showRotateCursor = rotate;
    invalidateCursorRects();
    if (underMouse())
        updateCursorFromZones(convertFromWidget(mapFromGlobal(QCursor::pos())));
}
