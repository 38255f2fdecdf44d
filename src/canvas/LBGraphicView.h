#pragma once

// The editing canvas of design mode: one face of the document's current page with its
// graphics, where the user selects, moves, resizes, rotates and groups them, with the page
// decorations, grid, alignment guides and selection handles.
//
// Coordinates: the canvas logic works in unzoomed page points of a flipped view (y grows
// downwards, so a graphic's bounds origin is its top-left corner). The widget itself is
// canvasSize() times the host's zoom in pixels and paints through a painter scaled by the
// zoom, pushed as the current platform::GraphicsContext. Sizes that must look the same at
// every zoom (handle zones, redraw margins, outlines) are divided by the zoom; a zoom of 0
// or less counts as 1.
//
// The canvas belongs to a CanvasHost (the window controller), through which it reaches the
// document, the zoom, the modes and the page decorations. Without a host it draws nothing
// and ignores input.
//
// The selection holds graphics of the document's selected layer of the shown page, in the
// order they were selected; every change posts LBGraphicViewSelectionWillChangeNotification
// before and LBGraphicViewSelectionDidChange after (object: the canvas) and registers its
// inverse with the document's undo manager. Selecting one member of a group selects the
// whole group, parent first.
//
// Mouse tracking: a press picks a tracker (a handle, a curve point or handle, a click of
// curve drawing, a rubber band, hand scrolling, a pending move, or nothing but swallowing
// the events until the release); each mouse move runs one step of it and the release a last
// step and its after-work. A tracker keeps what it changes in one undo group from press to
// release, named last. Moving the selection is a drag and drop onto the canvas itself: the
// canvas is the drag's source and destination, and the move is one undo step from the
// start of the drag to its end. Modifiers: Ctrl rotates at a handle, Alt resizes about the
// centre, copies on a move and makes the rubber band remove, Shift constrains and adds to
// or removes from the selection, the space bar scrolls by hand.
//
// Main thread only.

#include "canvas/CanvasHost.h"
#include "canvas/LBPlaceholderSettings.h"
#include "controls/LBBlankPopUpButtonCell.h"
#include "document/LBDocument.h"
#include "graphics/CanvasView.h"
#include "platform/ui/RulerView.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QVariantList>
#include <QWidget>

#include <memory>
#include <optional>

class LBCurvedLine;
class LBImage;
class LBTextArea;
class QMenu;
class QAction;
class QContextMenuEvent;
class QCursor;
class QKeyEvent;
class QMouseEvent;
class QTimer;

namespace platform {
class AttributedString;
class DraggingInfo;
class Pasteboard;
class ScrollView;
class UndoManager;
} // namespace platform

// Notifications the canvas posts (object: the canvas unless said).
inline const QString LBGraphicViewSelectionWillChangeNotification =
    QStringLiteral("LBGraphicViewSelectionWillChangeNotification");
inline const QString LBGraphicViewSelectionDidChange =
    QStringLiteral("LBGraphicViewSelectionDidChange");
// Every mouse press on the canvas.
inline const QString LBMouseDownInGraphicViewNotification =
    QStringLiteral("LBMouseDownInGraphicViewNotification");
// At every step of a handle drag or a move (object: the graphic).
inline const QString LBDraggingGraphicNotification =
    QStringLiteral("LBDraggingGraphicNotification");
// A double click on a placeholder or a page background (userInfo "placeholderTypeStr").
inline const QString LBPlaceholderDoubleClicked = QStringLiteral("LBPlaceholderDoubleClicked");
// A graphic entered the page from outside the canvas's own editing (object: the graphic).
inline const QString LBInsertGraphicNotification = QStringLiteral("LBInsertGraphicNotification");
// A graphic leaves the page by a command of the canvas (object: the graphic).
inline const QString LBDeleteGraphicNotification = QStringLiteral("LBDeleteGraphicNotification");
// Graphics were dropped into the favourites library (no object).
inline const QString LBGraphicAddedToFavorites = QStringLiteral("LBGraphicAddedToFavorites");
// The inspector palette hides while a placeholder dialog is up, and shows again after it
// (no object).
inline const QString LBHideHUD = QStringLiteral("LBHideHUD");
inline const QString LBShowHUD = QStringLiteral("LBShowHUD");

// Draws the grid: minor lines every `spacing` points from `origin` over the rectangle, a
// major line every `guideSpacing` minor steps, both in `color` (the minor ones at half its
// alpha on screen). forOutput: printed widths (0.3 and 0.6 points) instead of the thinnest
// line the device draws, and the colour as it is. At zoom 1.0 the lines lie at half-point
// positions. A spacing of 0 or less draws no lines of that kind. Into the current context.
void LBDrawGrid(qint64 guideSpacing, const QColor& color, bool forOutput, const QRectF& rect,
                double spacing, const QPointF& origin, double zoomFactor);
// Draws the alignment guides in blue, the thinnest line the device draws: each horizontal
// guide along the top of its rectangle plus half a point, each vertical one along its left.
void LBDrawDynamicGuides(const QList<QRectF>& horizontalGuides,
                         const QList<QRectF>& verticalGuides);
// The rectangle spanned by two points.
QRectF rectFromPoints(const QPointF& a, const QPointF& b);

class LBGraphicView : public QWidget,
                      public CanvasView,
                      public platform::RulerClient,
                      public PopUpMenuOwner,
                      public LBPlaceholderSettingsDelegate
{
    Q_OBJECT
public:
    explicit LBGraphicView(QWidget* parent = nullptr);
    // Stops observing, ends in-place editing and lets every inspector palette that shows
    // the canvas forget it.
    ~LBGraphicView() override;

    // Program-wide: on only while graphics are dragged out of a canvas. While it is on,
    // graphics keep their processed pictures and cached reflections so the drag image
    // stays valid. Kept in LBProcessState, where graphics read it.
    static bool isDraggingOut();
    static void setDraggingOut(bool draggingOut);

    // ==== Links ========================================================================
    CanvasHost* windowController() const { return _windowController; }
    void setWindowController(CanvasHost* controller);
    // The host's document; nullptr without one.
    LBDocument* document() const;
    // The layers of the page shown; nullptr without a document.
    LBDocument::Page* graphics() const;
    qint64 pageIndex() const { return _pageIndex; }
    void setPageIndex(qint64 index);
    // The host's zoom, 1 when there is none or it is 0 or less.
    double zoomFactor() const;

    // ==== Page geometry ================================================================
    bool drawBackground() const { return _drawBackground; }
    void setDrawBackground(bool draw) { _drawBackground = draw; }
    bool drawOutline() const { return _drawOutline; }
    void setDrawOutline(bool draw) { _drawOutline = draw; }
    QVariantList faceNames() const { return _faceNames; }
    void setFaceNames(const QVariantList& names) { _faceNames = names; }
    QVariantList facePositions() const { return _facePositions; }
    void setFacePositions(const QVariantList& positions) { _facePositions = positions; }
    QVariantList faceRotations() const { return _faceRotations; }
    void setFaceRotations(const QVariantList& rotations) { _faceRotations = rotations; }
    QSizeF faceOffset() const { return _faceOffset; }
    void setFaceOffset(const QSizeF& offset) { _faceOffset = offset; }
    qint64 facePosition() const { return _facePosition; }
    void setFacePosition(qint64 position) { _facePosition = position; }
    // The page within the canvas, given zoomed: stored unzoomed, rounded to whole points;
    // every graphic of the page moves with the page's origin.
    void setVisiblePageRect(const QRectF& rect);
    QRectF visiblePageRect() const { return _visiblePageRect; }
    QRectF pageRect() const { return _visiblePageRect; }
    // Moves every graphic of the page to the page origin, without undo.
    void setVisiblePageOriginForGraphics(const QPointF& origin);
    // Tells a graphic about to be inserted the page origin (its bounds stay).
    void setVisiblePageOriginForGraphic(LBGraphic* graphic) const;

    // ==== Size and scrolling ===========================================================
    // The canvas's size in points; the widget takes it times the zoom (set it again after
    // the zoom changed).
    QSizeF canvasSize() const { return _canvasSize; }
    void setCanvasSize(const QSizeF& size);
    // The scroll view the canvas is the document view of, nullptr when none.
    platform::ScrollView* enclosingScrollView() const;
    // The part of the canvas that shows, in points: the scroll view's visible part, or the
    // whole canvas outside one.
    QRectF visibleRect() const;
    // Scrolls so that the point comes to the top-left corner of the visible part.
    void scrollPoint(const QPointF& point);
    // After the visible part moved: while a move drag of this canvas runs, the selection
    // follows the pointer again.
    void viewDidScroll();
    // Marks a rectangle of points for redrawing.
    void setNeedsDisplayInRect(const QRectF& rect);
    // Canvas points of a widget position, and back.
    QPointF convertFromWidget(const QPointF& position) const;
    QPointF convertToWidget(const QPointF& point) const;

    // ==== Drawing ======================================================================
    // Draws the dirty rectangle (points) into the current graphics context.
    void drawRect(const QRectF& dirtyRect);
    void drawDocumentOutline(const QRectF& pageRect);
    // The page's colour under its shadow, for the dirty rectangle.
    void drawPageBackground(const QRectF& dirtyRect);
    // Saves the graphics state and sets the page shadow; stopShadow() restores it.
    void startShadow();
    void stopShadow();
    // Redraws the area of the graphic (its group's for a member) with room for handles at
    // any zoom; a graphic no longer in the selected layer of the page leaves the selection.
    void invalidateGraphic(LBGraphic* graphic);
    void invalidateGraphics(const QList<LBGraphicPtr>& graphics);

    // ==== Selection ====================================================================
    // In selection order; without includeLocked, locked graphics are left out.
    QList<LBGraphicPtr> selectedGraphics(bool includeLocked) const;
    // The unlocked selection ordered by index in the selected layer, front-most first.
    QList<LBGraphicPtr> orderedSelectedGraphics() const;
    bool graphicIsSelected(const LBGraphic* graphic) const;
    // Group-aware: a member stands for its whole group, parent first. Both first end a
    // pending regroup.
    void selectGraphic(const LBGraphicPtr& graphic);
    void deselectGraphic(const LBGraphicPtr& graphic);
    // One graphic alone.
    void selectGraphic2(const LBGraphicPtr& graphic);
    void deselectGraphic2(const LBGraphicPtr& graphic);
    // One undo step "Selection Change"; nothing for an empty selection.
    void clearSelection();
    // The offset of the next cascaded paste; every selection change resets it to (10, 10).
    QPointF pasteCascadeDelta() const { return _pasteCascadeDelta; }
    void setPasteCascadeDelta(const QPointF& delta) { _pasteCascadeDelta = delta; }

    // ==== Hit testing ==================================================================
    // The graphic a click at the point lands on: a handle (or a curve point) of a selected
    // graphic first, then the selected layer from the front. With checkForPlaceholder a
    // photo placeholder (or a "Text+Image" one) wins over graphics in front of it.
    LBGraphicPtr graphicUnderPoint(const QPointF& point, bool checkForPlaceholder);
    // The graphics (group parents for members) whose rotated bounds meet the rectangle
    // (drawing bounds for a rectangle of no width): of the selected layer, or of every
    // visible layer.
    QList<LBGraphicPtr> graphicsIntersectingRect(const QRectF& rect, bool checkSelectedLayerOnly);

    // ==== In-place editing =============================================================
    // Undoable pair: "Start Editing" and "End Editing". An open curve goes into point
    // editing instead.
    void startEditingGraphic(const LBGraphicPtr& graphic, QMouseEvent* event, bool selectContents);
    void endEditing();
    LBGraphic* editingGraphic() const override { return _editingGraphic; }
    platform::TextView* editorView() const override { return _editorView; }
    void setEditingGraphic(LBGraphic* graphic, platform::TextView* editorView) override
    {
        _editingGraphic = graphic;
        _editorView = editorView;
    }
    void addSubview(QWidget* view) override;

    // ==== Rulers =======================================================================
    // The moving rectangle's edges and middle shown as lines on both rulers.
    void beginEchoingMoveToRulers(const QRectF& rect);
    void continueEchoingMoveToRulers(const QRectF& rect);
    void stopEchoingMoveToRulers();
    // Removes the rulers' markers while they show.
    void updateRulers();
    // Whether the enclosing scroll view shows its rulers.
    bool rulersVisible() const;

    // ==== Settings =====================================================================
    bool snapsToGrid() const { return _gvFlags.snapsToGrid; }
    void setSnapsToGrid(bool snaps);
    // 0 none, 1 above the graphics, 2 below; any other value none.
    qint64 showsGrid() const;
    void setShowsGrid(qint64 mode);
    // The document's, or "Grid Spacing" / "Grid Guide Spacing" without a document.
    double gridSpacing() const;
    qint64 guideSpacing() const;
    QColor gridColor() const;
    void setGridColor(const QColor& color);
    void trimToPageAction(QObject* sender);
    bool trimToPageIsOn() const { return _trimToPage; }
    void postalGuidelinesAction(QObject* sender);
    bool drawPostalGuidelines() const { return _drawPostalGuidelines; }

    // ==== Nudging and handles ==========================================================
    // Moves the unlocked selection (selected curve points instead of a curve with some),
    // snaps it to the guides by less than a point, names the step "Nudge".
    void moveSelectedGraphicsByPoint(const QPointF& delta);
    // Hides the handles (and the inspector palette) until 0.5 s after the last call.
    void hideKnobsMomentarily();
    void unhideKnobs();
    bool knobsHidden() const { return _gvFlags.knobsHidden; }
    // Sets the flag only; nothing is redrawn.
    void setKnobsHidden(bool hidden) { _gvFlags.knobsHidden = hidden; }
    // Each unlocked selected graphic refreshes its picture and announces a change.
    void refreshSelectedGraphics();
    bool spaceKeyIsDown() const { return _spaceKeyIsDown; }

    // ==== Handle tracking ==============================================================
    // Starts dragging a handle (1-8 resize, 9-10 modifier, 12-15 effect location) of the
    // graphic, or rotating it with Ctrl held at the press. A multi-selection is resized as
    // one temporary group.
    void trackKnob(qint64 knob, const LBGraphicPtr& graphic, QMouseEvent* event);
    // One resize step; returns the knob to go on with (another after a flip) and may
    // rewrite the pre-resize rectangle. A minimum of 65535 × 65535 means none.
    qint64 resizeGraphic(LBGraphic* graphic, qint64 byMovingKnob, const QPointF& toPoint,
                         QRectF* preResizeBounds, bool constrainProportions, bool constrainCenter,
                         bool resetStaticPoint, const QSizeF& minimumSize);
    // One rotation step; returns the angle the grip was taken at (65535 until known).
    double rotateGraphic(LBGraphic* graphic, qint64 byMovingKnob, const QPointF& toPoint,
                         double initialAngle, bool constrainAngle);
    // Turns or mirrors a whole group about its group bounds.
    void setRotation(double rotation, LBGraphic* forGroupWithParent);
    void flipHorizontally(bool horizontally, LBGraphic* forGroupWithParent);
    void trackBezierControlPointAtIndex(qsizetype index,
                                        const std::shared_ptr<LBCurvedLine>& graphic,
                                        QMouseEvent* event, bool wasSelected);
    void trackBezierModifierPointAtIndex(qsizetype index, bool isFirstModifier,
                                         const std::shared_ptr<LBCurvedLine>& graphic,
                                         QMouseEvent* event);
    // One click of point-by-point curve drawing.
    void trackBezierMouseWithEvent(QMouseEvent* event);
    // The open curve being drawn point by point, with the status window; nullptr ends it.
    void setEditingBezierGraphic(const std::shared_ptr<LBCurvedLine>& graphic);
    LBCurvedLine* editingBezierGraphic() const { return _editingBezierGraphic.get(); }
    // Ends point-by-point drawing by a double click: keeps a curve of two points or more,
    // takes a shorter one away again.
    void finishBezierCurve();

    // ==== Mouse ========================================================================
    void selectAndTrackMouseWithEvent(QMouseEvent* event);
    void rubberbandSelectWithEvent(QMouseEvent* event);
    void handDragWithEvent(QMouseEvent* event);
    // Starts the move drag of the selection from the press; returns when it has ended.
    void startDrag(QMouseEvent* event);
    // One move step to the point; (-1, -1) takes the pointer's position.
    void performMoveLoop(const QPointF& point,
                         Qt::KeyboardModifiers modifiers = Qt::KeyboardModifiers());
    // The graphics under the point, front-most first, a group's members under its "GROUP"
    // item; nullptr for fewer than two items. Owned by the caller.
    QMenu* buildMenuOfGraphicsUnderPoint(const QPointF& point);
    void hitGraphicsMenuAction(QAction* item);
    // The kind name of the graphic, from the table "Graphic Type Names".
    static QString nameForGraphic(const LBGraphic& graphic);
    // Dissolves the selected group for a while and selects the member alone.
    void selectSubGraphicInGroup(const LBGraphicPtr& graphic);
    QRectF rubberbandRect() const { return _rubberbandRect; }

    // ==== Merge-field menus (LBGraphicView+FieldMenus.cpp) ==============================
    // A click on a merge field's run offers the field's formats in a menu at the run; a
    // click on an address box's tab offers pre-formatted address blocks. Each menu pops up
    // with its selected item checked under the pointer; a choice goes to
    // textPopupMenuAction(), and the menu is let go once it hides.
    // The field menu of the target field (set with setFieldMenuTarget(), which the click
    // does), at the point (canvas coordinates).
    void displayFieldMenuAtPoint(const QPointF& point, const QString& propertyName);
    static qint64 menuIndexForDateFormatIndex(qint64 formatIndex);
    static qint64 dateFormatIndexForMenuIndex(qint64 menuIndex);
    // The choice of the item at position (separators count) in one of the two menus.
    void textPopupMenuAction(QMenu* sender, qint64 position);
    // Lets go of whichever menu is up; safe to call twice. (The blank pop-up cell's owner
    // interface: a cell reporting to the canvas has it called once its menu has closed.)
    void removeTextPopupButton() override;
    // Opens the address-block menu when the point hits the tab of the one selected address
    // box; answers whether it did (the click is then used up).
    bool textTabUnderPoint(const QPointF& point);
    void displayTextTypeMenuAtPoint(const QPointF& point);
    // The text area and rollover entry ("LBFieldDictionary", "LBRolloverRectArray",
    // "LBFieldRange") of the field a menu is for.
    void setFieldMenuTarget(const LBGraphicPtr& textArea, const QVariantMap& rolloverEntry);
    LBTextArea* targetTextObject() const;
    // The menus while up (built and kept even when not shown); nullptr otherwise.
    QMenu* fieldMenuButton() const;
    QMenu* textTypeMenuButton() const;
    // Whether the menus are shown when built (tests build them without showing).
    static void setShowsTextPopupMenus(bool shows);

    // ==== Alignment guides =============================================================
    // The point moved so that the moving selection (whose origin is point - selOriginOffset
    // and whose size is the dragged image's, in screen pixels) lines up with the nearest
    // edges or centres of the visible graphics, else of the page, within the sensitivity;
    // a guide shows for each match.
    QPointF checkDynamicGuidesAtPoint(const QPointF& point, const QPointF& selOriginOffset,
                                      const QSizeF& draggedImageSize, double sensitivity,
                                      const QList<LBGraphicPtr>& ignoreGraphics);
    // The matches of one search so far, per direction.
    struct GuideMatch
    {
        bool foundH = false;
        double hDistance = 0.0;
        bool foundV = false;
        double vDistance = 0.0;
    };
    QPointF checkPoint(const QPointF& point, const QPointF& selOriginOffset,
                       const QSizeF& draggedImageSize, double sensitivity,
                       const QRectF& againstBounds, GuideMatch& match);
    QPointF checkBezierGuidesAtPoint(const QPointF& point, double sensitivity,
                                     const LBCurvedLine* ignoreGraphic, qsizetype ignorePointIndex);
    // Adds a guide, or widens the one on the same line.
    void addDynamicGuide(const QRectF& rect, bool horizontal);
    void resetDynamicGuides();
    const QList<QRectF>& horizontalDynamicGuides() const { return _horizontalDynamicGuides; }
    const QList<QRectF>& verticalDynamicGuides() const { return _verticalDynamicGuides; }

    // ==== Drag destination =============================================================
    Qt::DropAction draggingEntered(platform::DraggingInfo& info);
    Qt::DropAction draggingUpdated(platform::DraggingInfo& info);
    void draggingExited(platform::DraggingInfo* info);
    bool prepareForDragOperation(platform::DraggingInfo& info);
    bool performDragOperation(platform::DraggingInfo& info);
    Qt::DropAction dragOperationForDraggingInfo(platform::DraggingInfo& info);
    QPointF draggedImageCorrectionForPoint(const QPointF& point,
                                           const QPointF& draggedImageLocation) const;
    bool dragOriginatedInThisView() const { return _dragOriginatedInThisView; }
    QPointF dropPoint() const { return _dropPoint; }
    // The types the canvas takes in drags, in its order of registration: colour, file
    // names, "Quarn Print Line", "Quarn Print Line 1", rich text, plain text, then every
    // picture type.
    static QStringList registeredDraggedTypes();
    // Whether a drag comes from a library palette (the favourites and shapes library or
    // the text drawer).
    static bool isLibraryDragSource(const QObject* source);
    // Observer of the in-place editor's drag notifications: on while a text drag started
    // in the editor is under way (the editor takes its own drop).
    void draggingTextFromTextView(const platform::Notification& notification);
    bool isDraggingTextFromTextView() const { return _draggingTextFromTextView; }
    // The text drop at the point: appended to the box being edited when it lies under the
    // drop, graphics when the pasteboard also holds some, else a new text box with its
    // top-left corner at the point, one and a half times as wide as its text. Merge fields
    // carried beside the text stay fields. False when nothing was inserted or changed.
    bool makeNewTextObjectFromPasteboard(platform::Pasteboard& pasteboard, const QPointF& atPoint);

    // ==== Inserting ====================================================================
    // The point (-1, -1) means no point: the graphics go to the middle of the visible part
    // of the page. originatedInShapesMatrix: they come from a library palette.
    // False when the pasteboard holds no readable graphics.
    bool makeNewGraphicsFromPasteboard(platform::Pasteboard& pasteboard, const QPointF& atPoint,
                                       bool originatedInShapesMatrix);
    void insertGraphics(const QList<LBGraphicPtr>& graphics, const QPointF& atPoint,
                        bool originatedInShapesMatrix);
    qsizetype insertGroupStartingAtIndex(qsizetype index, const QList<LBGraphicPtr>& inArray,
                                         const QPointF& atPoint, const QRectF& arrayBounds);
    void insertGraphic(const LBGraphicPtr& graphic, const QPointF& atPoint,
                       bool originatedInShapesMatrix, qint64 groupIndex);
    // Posts LBUpdateLayersView.
    void updateLayersView();
    // updateLayersView() 0.2 s from the first request that is not yet answered.
    void scheduleUpdateLayersView();

    // ==== Grouping =====================================================================
    // `sender` is the item of the user's command, and the smart palette follows the change
    // at once and whenever the step is undone or redone. Code that groups for a while (a
    // drag, a turn in the palette) passes nullptr and refreshes the palette itself when it
    // is done.
    void group(QObject* sender);
    void ungroup(QObject* sender);
    void regroupGraphics(const QList<LBGraphicPtr>& graphics);
    // The group's parent: the graphic itself when it leads a group, else the nearest
    // graphic in front of it with members; nullptr when none.
    LBGraphicPtr groupParentOfGraphic(const LBGraphic* graphic, bool checkSelectedLayerOnly) const;
    bool groupCommandEnabled() const;
    bool ungroupCommandEnabled() const;

    // ==== Edit commands (LBGraphicView+Commands.cpp) ====================================
    // Each acts on the selection of the page shown, makes its changes and names its one
    // undo step from the table "UndoStrings" last. The sender is ignored except by
    // distributeEvenly(), which reads its integer property "tag".
    // Selects every graphic of the selected layer, locked ones included.
    void selectAll(QObject* sender);
    void deselectAll(QObject* sender);
    // While a curve is drawn point by point: its last point, or the curve itself when it
    // has fewer than two. Otherwise the unlocked selection: selected curve points, or the
    // graphics. Named "delete" in the menus.
    void delete_(QObject* sender);
    // Copies 5 points right of and below their originals, in front of the front-most one,
    // selected.
    void duplicate(QObject* sender);
    void bringToFront(QObject* sender);
    void sendToBack(QObject* sender);
    // In front of (behind) the graphic or the whole group directly in front (behind).
    void bringForward(QObject* sender);
    void sendBackward(QObject* sender);
    // To the first selected graphic; a group moves rigidly, the reference's own group not.
    void alignLeftEdges(QObject* sender);
    void alignRightEdges(QObject* sender);
    void alignTopEdges(QObject* sender);
    void alignBottomEdges(QObject* sender);
    void alignHorizontalCenters(QObject* sender);
    void alignVerticalCenters(QObject* sender);
    void makeSameWidth(QObject* sender);
    void makeSameHeight(QObject* sender);
    void makeNaturalSize(QObject* sender);
    // Horizontally for the tags 12000 to 12999, vertically for any other; the outermost
    // two stay, the others are spaced evenly between them. Under three moves nothing.
    void distributeEvenly(QObject* sender);
    void lock(QObject* sender);
    // Frees the locked graphics of the selection and selects exactly those.
    void unlock(QObject* sender);
    void addTextToShape(QObject* sender);
    void removeTextFromShape(QObject* sender);
    // Shows or hides the enclosing scroll view's rulers; the first time, room for markers
    // and an accessory view is reserved.
    void toggleRuler(QObject* sender);
    // As the rulers' client: markers can be dragged, change nothing and stay on.
    bool rulerViewShouldMoveMarker(platform::RulerView* ruler,
                                   const platform::RulerMarker& marker) override;
    double rulerViewWillMoveMarker(platform::RulerView* ruler, const platform::RulerMarker& marker,
                                   double toLocation) override;
    void rulerViewDidMoveMarker(platform::RulerView* ruler,
                                const platform::RulerMarker& marker) override;
    bool rulerViewShouldRemoveMarker(platform::RulerView* ruler,
                                     const platform::RulerMarker& marker) override;

    // ==== Copy, cut and paste (LBGraphicView+Pasteboard.cpp) ===========================
    // Copy: the unlocked selection as "Quarn Print Line" (and TIFF for one graphic) on the
    // general pasteboard, its picture files first duplicated into the system's temporary
    // folder. Paste: graphics kept on the page, each repeat of the same contents 10 points
    // further; else files or any picture, centred on the page.
    void copy(QObject* sender);
    void cut(QObject* sender);
    void paste(QObject* sender);
    // The graphics with each one that has a picture file replaced by a copy naming a
    // duplicate of the file (one duplicate per file); the list itself when none has one.
    QList<LBGraphicPtr> duplicateImageFilesInSelectedGraphics(const QList<LBGraphicPtr>& graphics);
    // The graphics of the pasteboard's "Quarn Print Line" (else "Quarn Print Line 1")
    // data, a page's layers flattened; nullopt, logged, when there is none or it cannot be
    // read.
    static std::optional<QList<LBGraphicPtr>>
    graphicsFromPasteboard(const platform::Pasteboard& pasteboard);

    // ==== Pictures from files and pasteboards (LBGraphicView+Images.cpp) ===============
    // An image graphic from the pasteboard's best picture (PDF, PostScript, TIFF, PNG, then
    // any other), written to a working file and centred on the page; names the step
    // "Paste". False when there is none or it cannot be inserted.
    bool makeNewImageFromPasteboard(platform::Pasteboard& pasteboard, const QPointF& atPoint);
    // An image graphic from the file: a "pict" file is refused, an "eps" file converted to
    // a PDF working file. Its natural size (shrunk to the page when far larger) or the
    // given size at the zoom; centred on the point, or on the page for (-1, -1). Names no
    // step. False when the file is not a picture the program reads.
    bool makeNewImageFromContentsOfFile(const QString& path, const QPointF& atPoint,
                                        const QSizeF& imageSize);
    // The file extensions (lower case) of the pictures platform::Image reads.
    static const QStringList& imageFileTypes();
    // Tells the user, in a sheet on the window, that the file (of that name) is no picture
    // the program reads: said wherever a picture file is refused.
    static void alertFileIsNoPicture(const QString& fileName, QWidget* window);

    // ==== Cursors (LBGraphicView+Cursors.cpp) =========================================
    enum class CursorKind {
        Arrow,
        IBeam,
        OpenHand,
        BezierTool,
        BezierControl,
        BezierModifier,
        DottedIBeam,
        HResize,
        VResize,
        UpperLeftResize,
        UpperRightResize,
        ModifierKnob,
        FieldPopup,
        UpperMiddleRotate,
        UpperRightRotate,
        MiddleRightRotate,
        LowerRightRotate,
        LowerMiddleRotate,
        LowerLeftRotate,
        MiddleLeftRotate,
        UpperLeftRotate,
    };
    // A rectangle of the canvas (points) and the cursor it shows.
    struct CursorZone
    {
        QRectF rect;
        CursorKind cursor;
    };
    // The zones, rebuilt when invalidated: the hand over everything while the space bar is
    // down; the curve tool while a curve is drawn; else the I-beam and merge-field zones of
    // the text boxes, the arrow, then the handles of a single selected graphic.
    const QList<CursorZone>& cursorZones();
    void resetCursorRects();
    void invalidateCursorRects();
    // The cursor at the point: the last zone added that holds it; the arrow outside all.
    CursorKind cursorKindAtPoint(const QPointF& point);
    // The picture of each kind, with its hot spot (the system's for the arrow, I-beam and
    // hand).
    static QCursor cursorForKind(CursorKind kind);
    // Ctrl pressed or released: handle zones show rotate instead of resize cursors.
    void flagsChanged(Qt::KeyboardModifiers modifiers);
    bool showRotateCursor() const { return _showRotateCursor; }

    // ==== Keys (LBGraphicView+Settings.cpp) ==========================================
    // A typing key on the one selected text box (not being edited) starts editing it with
    // all its text selected when the key is released, without typing it. Otherwise the
    // space bar holds the hand, and other keys are mapped to the actions below.
    void keyDown(QKeyEvent* event);
    void keyUp(QKeyEvent* event);
    void moveLeft(QObject* sender);
    void moveRight(QObject* sender);
    void moveUp(QObject* sender);
    void moveDown(QObject* sender);
    // By the grid spacing (10 points when it is 1 or less).
    void moveLeftAndModifySelection(QObject* sender);
    void moveRightAndModifySelection(QObject* sender);
    void moveUpAndModifySelection(QObject* sender);
    void moveDownAndModifySelection(QObject* sender);
    void deleteForward(QObject* sender);
    void deleteBackward(QObject* sender);
    // Escape: cancels a crop (a re-crop is taken back whole), ends curve drawing.
    void cancelOperation(QObject* sender);
    // Return: finishes a crop.
    void insertNewline(QObject* sender);

    // ==== Menus (LBGraphicView+Menus.cpp) ============================================
    // Sets the action's enabled state, check mark and title for the selection; the
    // action's objectName is its command's name ("makeSameWidth:"). Returns the enabled
    // state.
    bool validateMenuItem(QAction* item);
    // The contextual menu at the point: the inspector palette's menu with the graphics
    // under the pointer as a submenu; with nothing selected the graphics menu alone;
    // nullptr when there is nothing to offer. Owned by the caller.
    QMenu* menuForEvent(const QPointF& point);
    bool movieIsSelected() const { return false; }

    // ==== Special pictures (LBGraphicView+Confirmations.cpp) ==========================
    // Asks how a quick page or a paper from a kit is placed (or answers from the user's
    // remembered choice), then inserts it at the point; other graphics are ignored.
    void confirmInsertSpecialGraphic(const LBGraphicPtr& graphic);
    void confirmInsertSpecialGraphic(const LBGraphicPtr& graphic, const QPointF& atPoint);
    // The ends of the two questions (1000 first button, 1001 second).
    void insertQuickPageSheetDidEnd(bool suppress, int returnCode, const LBGraphicPtr& graphic,
                                    const QPointF& atPoint);
    void insertPaperSheetDidEnd(int returnCode, const LBGraphicPtr& graphic,
                                const QPointF& atPoint);
    // After graphics were dropped into the favourites: the copies an Alt-drag of this
    // canvas put on the page go again (inside the drag's step).
    void graphicAddedToFavorites(const platform::Notification& notification);
    // The kept mouse-down event (a copy); nullptr clears it.
    QMouseEvent* downEvent() const { return _downEvent.get(); }
    void setDownEvent(const QMouseEvent* event);

    // ==== Placeholders (LBGraphicView+Placeholders.cpp) ===============================
    // With the sender's "state" property on (1) the selection stops being placeholders;
    // otherwise the text-kind question (a text box first) or the settings sheet opens.
    void defineAsPlaceholder(QObject* sender);
    void editPlaceholderSettings(QObject* sender);
    // 1000 "Regular Text", 1001 "Text+Image", anything else cancels.
    void textPlaceholderSheetDidEnd(int returnCode);
    void placeholderSheetDidDismissWithSave(LBPlaceholderSettings* sheet, bool saved) override;
    LBPlaceholderSettings* placeholderSheet() const { return _placeholderSheet.get(); }
    // The stored prompt position of a vertical prompt at a sheet location, and back.
    static qint64 storedPositionForSheetLocation(qint64 location);
    static qint64 sheetLocationForStoredPosition(qint64 position);

    // ==== Filling placeholders (LBGraphicView+Placeholders.cpp) =======================
    // Puts the picture (or the file's) into the placeholder: an image placeholder takes it
    // scaled to cover it and cropped to its rectangle; a shape or text box takes it as its
    // photo, asking first when it already shows one. True when done, false when it goes
    // on after the user's answer (or a re-crop).
    bool replacePlaceholderGraphic(const LBGraphicPtr& graphic, const LBGraphic::ImagePtr& image,
                                   const QString& imagePath, const QPointF& dropPoint);
    struct PendingReplacement
    {
        LBGraphicPtr placeholder;
        LBGraphic::ImagePtr image;
        QString imagePath;
        QPointF dropPoint;
    };
    void finishReplacingPlaceholderGraphic(const PendingReplacement& replacement);
    // 1000 replaces; otherwise the picture is placed on the canvas at the drop point.
    void replacePlaceholderImageSheetDidEnd(int returnCode, const PendingReplacement& replacement);
    // The photo's rectangle in a shape of the bounds: covering it (aspect fill) or inside
    // it (aspect fit).
    static QRectF placeholderPhotoRect(const QSizeF& imageSize, const QRectF& bounds,
                                       bool aspectFill);

    // ==== Crop mode (LBGraphicView+Crop.cpp) ==========================================
    // 0 none, 1 crop (a photo), 2 uncrop (an image crop).
    qint64 cropUncropCommandType() const;
    // 0 none, 1 a photo and a shape, 2 a photo and a text box.
    qint64 cropWithShapeCommandType() const;
    void cropUncrop(QObject* sender);
    void crop();
    void cropWithRect(const QRectF& rect);
    void cropWithShape(QObject* sender);
    void cropImage(const std::shared_ptr<LBImage>& photo, const LBGraphicPtr& shape,
                   bool usingShapeOrText);
    void recrop();
    void uncrop(bool keepCropGraphic);
    void finishCroppingImage();
    void cancelCrop();
    LBImage* croppingImage() const;
    LBGraphic* croppingShape() const { return _shapeGraphicForCrop.get(); }
    bool croppingWithShapeOrText() const { return _croppingWithShapeOrText; }
    bool recropping() const { return _recropping; }
    // Undoable together: the photo, the crop graphic, its fill type before, and whether it
    // is a graphic of the design.
    void setImageGraphicForCrop(const std::shared_ptr<LBImage>& photo, const LBGraphicPtr& shape,
                                qint64 shapeFillType, bool usingShapeOrText);
    // The crop pane's adjustments.
    void zoomCroppedImageToWidth(double width);
    void rotateCroppedImageByDegrees(double degrees);
    void constrainCropImageProportions(bool constrain);
    void constrainCropProportionsToRatio(double ratio);
    void tileCroppedImage(bool tile);
    bool tilesCroppedImage() const { return _tileCroppedImage; }
    void maskImage(QObject* sender);

    // ==== Downsampling (LBGraphicView+Downsample.cpp) =================================
    // Saves the document at 300 dpi and puts the downsampled copies of this page's
    // pictures in place of the originals inside the saved package; the report counts the
    // pictures found and swapped.
    struct DownsampleReport
    {
        qint64 found = 0;
        qint64 downsampled = 0;
        bool saved = false;
    };
    DownsampleReport applyDestructiveDownsample(bool showReport);
    // The report's text.
    static QString downsampleReportText(qint64 found, qint64 downsampled);
    // Renders each selected graphic's fill picture into a new file at 300 dpi and puts a
    // copy using it in its place; then uncrops them when asked.
    void applyDestructiveCrop(bool asJPEG, bool uncropAfter);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // --- Trackers (LBGraphicView+Tracking.cpp, LBGraphicView+Mouse.cpp) ---
    struct TrackingEvent
    {
        QPointF point;       // canvas points
        QPointF globalPoint; // screen pixels
        Qt::KeyboardModifiers modifiers;
    };
    class Tracker;
    class KnobTracker;
    class BezierPointTracker;
    class BezierModifierTracker;
    class BezierClickTracker;
    class RubberbandTracker;
    class HandScrollTracker;
    class PendingMoveTracker;
    class SwallowTracker;
    TrackingEvent trackingEvent(const QMouseEvent* event) const;
    void mouseDown(QMouseEvent* event, int clickCount);
    // Leaves point-by-point curve drawing.
    void endBezierMode();
    // Takes a curve of fewer than two points away again without leaving a redo step.
    void removeUnfinishedCurve(const std::shared_ptr<LBCurvedLine>& curve);
    // Watches for the undo step that inserted a curve just begun, to take it back later.
    void rememberCurveInsertion(const std::shared_ptr<LBCurvedLine>& curve);
    void mouseDragged(const TrackingEvent& event);
    void finishTracking(QMouseEvent* event);

    // --- Helpers ---
    platform::UndoManager* undoManager() const;
    // Names the open undo step from the table "UndoStrings".
    void setUndoActionName(const QString& key) const;
    // The selected layer of the page shown; nullptr when there is none.
    LBDocument::Layer* selectedLayer() const;
    qint64 selectedLayerIndex() const;
    bool selectedLayerIsVisible() const;
    qsizetype indexInSelectedLayer(const LBGraphic* graphic) const;
    LBGraphicPtr sharedGraphic(LBGraphic* graphic) const;
    // The parent and its members in the selected layer, in order.
    QList<LBGraphicPtr> groupMembers(const LBGraphicPtr& parent) const;
    // The members of the group the graphic leads, or the graphic alone.
    QList<LBGraphicPtr> groupLedBy(LBGraphic* parent) const;
    void postSelectionWillChange();
    void postSelectionDidChange();
    void setGroupSelected(const LBGraphicPtr& graphic, bool select);
    // The page origin the graphics are placed against: the page rectangle's origin plus
    // the face offset.
    QPointF pageOriginForGraphics() const;
    // The inspector palette's window hidden for a drag (or the handles' hiding).
    static void orderOutInspectorWindow();
    void updateInspectorFromCanvas();
    // For Group and Ungroup chosen by the user: an undo action that redraws the canvas and
    // refreshes the palette when `whenRun`, and registers itself again with the flag reversed.
    void registerGroupingRefresh(bool whenRun);
    void showCurveStatusWindow(LBCurvedLine* curve);
    // The point of one graphic of a multi-graphic insertion (4.131, step 5.2).
    QPointF pointInArrangement(const LBGraphic& graphic, const QPointF& atPoint,
                               const QRectF& arrayBounds) const;
    // Shows the selected layer when hidden and inserts the graphic at its front, then
    // announces it.
    void insertAtFrontOfSelectedLayer(const LBGraphicPtr& graphic);
    // Makes the graphic's picture files the document's own (a kit picture first copied to a
    // working file); false, after telling the user, when that copy fails.
    bool makeImageFilesOwn(LBGraphic& graphic, bool copyLazyImage);
    void presentError(const QString& description);
    // --- Drops (LBGraphicView+DragDrop.cpp) ---
    void observeTextViewDrags();
    // Whether the drag is this canvas's own move.
    bool isOwnDrag(const platform::DraggingInfo& info) const;
    // The text of the pasteboard with the merge fields carried beside it; nullopt when it
    // holds none.
    static std::optional<platform::AttributedString>
    textFromPasteboard(const platform::Pasteboard& pasteboard);
    // --- Commands (LBGraphicView+Commands.cpp) ---
    // A copy of the graphic for this page: the document, the zoom, its own picture files
    // and the page origin; not inserted.
    LBGraphicPtr copyForThisPage(const LBGraphic& original) const;
    // Announces the removal, deselects the graphic and removes it from the selected layer.
    void removeGraphicFromPage(const LBGraphicPtr& graphic);
    // Moves the ordered selection one by one (from the back-most first, or the front-most
    // first) to the index, which keeps its relative order.
    void moveSelectionInLayer(bool backToFront, qint64 toIndex);
    void alignSelection(double (*coordinate)(const QRectF&), bool horizontal,
                        const QString& actionName);
    void makeSameSize(bool width, const QString& actionName);
    void snapMovedSelectionToGuides();
    // Turns a setting kept in the user defaults over and redraws.
    void toggleSetting(bool& setting, const QString& key);
    // Accepts a drag with the operation, or refuses it when there is none.
    static void answerDrag(QDragMoveEvent* event, Qt::DropAction action);
    // Walks the graphics menu's order at the point: each graphic or group member listed,
    // with the item index it gets.
    struct MenuEntry
    {
        LBGraphicPtr graphic;
        enum Kind { Single, Group, Member } kind;
    };
    QList<MenuEntry> graphicsMenuEntries(const QPointF& point);
    void popUpMenu(QMenu* menu, const QPointF& atPoint);
    // Shows a merge-field or address menu with the item under the pointer, and wires its
    // choice and its hiding.
    void popUpTextMenu(QMenu* menu, const QPointF& atPoint, QAction* atAction);
    // The merge-field click of a press on g (a text box or shape with text): true when a
    // field's run took the click.
    bool handleFieldClick(const LBGraphicPtr& g, const QPointF& point);
    QPointF rulerPoint(platform::RulerView* ruler, const QPointF& point) const;
    // The six ruler locations (min, mid, max) of a rectangle on each ruler.
    void echoToRulers(const QRectF& rect, bool begin);

    // --- Links ---
    CanvasHost* _windowController = nullptr;
    qint64 _pageIndex = 0;

    // --- Page ---
    QRectF _visiblePageRect;
    // No offset unless a face is set: a default QSizeF is (-1, -1), which would move
    // every graphic by a point each time it leaves the canvas.
    QSizeF _faceOffset{0.0, 0.0};
    qint64 _facePosition = 0;
    QVariantList _faceNames;
    QVariantList _facePositions;
    QVariantList _faceRotations;
    bool _drawBackground = true;
    bool _drawOutline = true;
    QSizeF _canvasSize;

    // --- Selection ---
    QList<LBGraphicPtr> _selectedGraphics;
    QRectF _rubberbandRect;
    std::optional<QList<LBGraphicPtr>> _rubberbandGraphics;

    // --- Editing ---
    LBGraphic* _editingGraphic = nullptr;
    platform::TextView* _editorView = nullptr;
    std::shared_ptr<LBCurvedLine> _editingBezierGraphic;

    // --- Paste ---
    qint64 _pasteboardChangeCount = -1;
    qint64 _pasteCascadeNumber = 0;
    QPointF _pasteCascadeDelta{10.0, 10.0};

    // --- Grid, timers, settings ---
    QColor _gridColor;
    QTimer* _unhideKnobsTimer = nullptr;
    QTimer* _hideDynamicGuidesTimer = nullptr;
    QTimer* _updateLayersViewTimer = nullptr;
    bool _trimToPage = false;
    bool _drawPostalGuidelines = false;
    bool _spaceKeyIsDown = false;

    // --- Rulers ---
    QRectF _horizontalRulerLineRect;
    QRectF _verticalRulerLineRect;

    // --- Tracking ---
    std::unique_ptr<Tracker> _tracker;
    std::unique_ptr<QMouseEvent> _downEvent;
    QPointF _lastPoint;
    QPointF _origPoint;
    QPointF _dropPoint;
    bool _constrainedH = false;
    bool _constrainedV = false;
    QPointF _selOriginOffset;
    QRectF _selBounds;
    QRectF _selShadowBounds;
    bool _dragOriginatedInThisView = false;
    // Whether the move drag running ended in a drop on this canvas.
    bool _dragDroppedHere = false;

    // The undo step that inserted the curve being drawn: its state and name once closed.
    struct CurveInsertion
    {
        std::weak_ptr<LBCurvedLine> curve;
        quint64 state = 0;
        QString actionName;
    } _bezierInsertion;

    // --- Guides ---
    QList<QRectF> _horizontalDynamicGuides;
    QList<QRectF> _verticalDynamicGuides;

    // --- Drags onto the canvas ---
    QSizeF _fieldTextSize{0.0, 0.0};
    LBGraphicPtr _dragImageTarget;
    bool _draggingTextFromTextView = false;
    platform::ObserverToken _textDragStartedObserver;
    platform::ObserverToken _textDragEndedObserver;

    // --- Crop ---
    std::shared_ptr<LBImage> _imageGraphicForCrop;
    LBGraphicPtr _shapeGraphicForCrop;
    qint64 _origShapeGraphicForCropFillType = 0;
    bool _croppingWithShapeOrText = false;
    bool _recropping = false;
    int _recropUndoDepth = 0; // undo steps before the re-crop began
    QRectF _origPlaceholderImageBounds;
    bool _tileCroppedImage = false;
    std::optional<QList<LBGraphicPtr>> _postCropGroupedGraphics;
    int _cropUndoGroups = 0;           // open: the crop's own, and a placeholder fill's around it
    bool _keepCropOnSelection = false; // a click on the photo or its shape clears the rest
    std::optional<std::pair<QPointF, QRectF>> _cropDrag; // pointer and bounds at the start
    void closeCropUndoGroups();
    // After a shape or text box got a photo: the re-crop that lets the user place it (a
    // grouped one leaves its group meanwhile).
    void recropFilledPlaceholder(const LBGraphicPtr& graphic);
    // The graphic a drag or drop at the point is about to: with checkForPlaceholder (a
    // picture is dragged) a placeholder under it wins; target says it takes the picture.
    struct PlaceholderHit
    {
        LBGraphicPtr graphic;
        bool checkForPlaceholder = false;
        bool target = false;
    };
    PlaceholderHit placeholderTest(const platform::Pasteboard& pasteboard, const QPointF& point,
                                   const platform::DraggingInfo* whileDragging);

    // --- Placeholders, favourites ---
    std::unique_ptr<LBPlaceholderSettings> _placeholderSheet;
    QList<LBGraphicPtr> _dragCopies; // an Alt-drag's copies while the drag runs
    platform::ObserverToken _favoritesObserver;

    // --- Cursors ---
    QList<CursorZone> _cursorZones;
    bool _cursorRectsValid = false;
    bool _showRotateCursor = false;
    bool _triggerBezierToolCursor = false;
    bool _typingKeyDown = false;
    void updateCursorFromZones(const QPointF& point);

    // --- Groups ---
    std::optional<QList<LBGraphicPtr>> _graphicsToRegroup;

    // --- Menus ---
    QPointF _hitGraphicsMenuPoint;
    QPointer<QMenu> _fieldMenuButton;
    QPointer<QMenu> _textTypeMenuButton;
    std::weak_ptr<LBGraphic> _targetTextObject; // not kept alive by the menu
    QVariantMap _fieldMenuRolloverDict;

    struct Flags
    {
        unsigned rubberbandIsDeselecting : 1;
        unsigned initedRulers : 1;
        unsigned snapsToGrid : 1;
        unsigned showsGridAbove : 1;
        unsigned showsGridBelow : 1;
        unsigned knobsHidden : 1;
    } _gvFlags = {0, 0, 0, 0, 0, 0};

    // --- Observers ---
    platform::ObserverToken _setPageIndexObserver;
    QPointer<platform::ScrollView> _observedScrollView;
    QMetaObject::Connection _scrollConnection;
};
