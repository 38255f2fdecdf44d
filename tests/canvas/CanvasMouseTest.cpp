// Presses on the canvas: clicks and Shift-clicks, locked graphics, rubber bands, double
// clicks, the menu of the graphics under the pointer, hand scrolling, and the move of the
// selection as a drag onto the canvas itself.

#include "CanvasTestSupport.h"

#include "graphics/LBTextArea.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>

namespace {

class CanvasMouse : public CanvasTest
{
protected:
    CanvasMouse()
    {
        a = add("A", QRectF(100, 100, 50, 50));
        b = add("B", QRectF(200, 100, 50, 50));
        c = add("C", QRectF(300, 100, 50, 50));
    }
    LBGraphicPtr a, b, c;
};

} // namespace

TEST_F(CanvasMouse, ClicksSelect)
{
    NotificationCount presses(LBMouseDownInGraphicViewNotification, canvas);
    // A press that moves less than 3 points selects and moves nothing.
    dragAlong({QPointF(120, 120), QPointF(122, 121)});
    EXPECT_EQ(selection(), QStringList({"A"}));
    EXPECT_EQ(a->bounds(), QRectF(100, 100, 50, 50));
    EXPECT_EQ(undoName(), undoStrings("Selection Change"));
    EXPECT_EQ(presses.count, 1);

    click(QPointF(220, 120));
    EXPECT_EQ(selection(), QStringList({"B"}));
    click(QPointF(320, 120), Qt::ShiftModifier);
    EXPECT_EQ(selection(), QStringList({"B", "C"}));
    click(QPointF(220, 120), Qt::ShiftModifier);
    EXPECT_EQ(selection(), QStringList({"C"}));
    click(QPointF(500, 500));
    EXPECT_EQ(selection(), QStringList());

    // A hidden selected layer ignores every press.
    document->showLayerAtIndex(1, false);
    click(QPointF(120, 120));
    EXPECT_EQ(selection(), QStringList());
    EXPECT_EQ(presses.count, 5);
}

TEST_F(CanvasMouse, RubberBands)
{
    struct Case
    {
        const char* name;
        QStringList before;
        Qt::KeyboardModifiers modifiers;
        QStringList after;
    };
    const Case cases[] = {
        {"plain: replaces", {"C"}, {}, {"A", "B"}},
        {"Shift: adds", {"C"}, Qt::ShiftModifier, {"C", "A", "B"}},
        {"Shift-Alt: removes", {"A", "C"}, Qt::ShiftModifier | Qt::AltModifier, {"C"}},
        {"Alt alone: starts from nothing", {"A", "C"}, Qt::AltModifier, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas->clearSelection();
        for (const QString& n : c.before)
            canvas->selectGraphic(n == "A" ? a : n == "B" ? b : this->c);
        closeStep();
        dragAlong({QPointF(90, 90), QPointF(180, 130), QPointF(260, 160)}, c.modifiers);
        EXPECT_EQ(selection(), c.after);
        EXPECT_EQ(canvas->rubberbandRect(), QRectF());
        EXPECT_EQ(undoName(), undoStrings("Selection Change"));
    }

    // A press on a locked graphic selects it, and a drag from it draws a band.
    canvas->clearSelection();
    c->setLocked(true);
    press(QPointF(320, 120));
    drag(QPointF(200, 90));
    EXPECT_EQ(canvas->rubberbandRect(), QRectF(200, 90, 120, 30));
    release(QPointF(190, 90));
    EXPECT_EQ(selection(), QStringList({"C", "B"}));
    EXPECT_EQ(c->bounds(), QRectF(300, 100, 50, 50));
}

TEST_F(CanvasMouse, DoubleClicks)
{
    NotificationCount placeholders(LBPlaceholderDoubleClicked, canvas);

    // A placeholder announces itself; without a type it counts as a photo.
    a->setIsPlaceholder(true);
    doubleClick(QPointF(120, 120));
    ASSERT_EQ(placeholders.count, 1);
    EXPECT_EQ(placeholders.userInfos.last().value("placeholderTypeStr").toString(), "Photo");
    a->setIsPlaceholder(false);

    // The page's background picture: "Paper"; nothing under the pointer otherwise.
    doubleClick(QPointF(500, 500));
    EXPECT_EQ(placeholders.count, 1);
    document->setHasBackgroundPlaceholder(true, 0);
    document->setDrawBackgroundPlaceholder(true, 0);
    doubleClick(QPointF(500, 500));
    ASSERT_EQ(placeholders.count, 2);
    EXPECT_EQ(placeholders.userInfos.last().value("placeholderTypeStr").toString(), "Paper");

    // A text box starts editing; grouped, the menu of the graphics under the pointer pops
    // up instead.
    auto box = addTextBox(QRectF(100, 300, 100, 40), QStringLiteral("Label"));
    doubleClick(QPointF(120, 310));
    EXPECT_EQ(canvas->editingGraphic(), box.get());
    EXPECT_EQ(undoName(), undoStrings("Start Editing"));
    canvas->endEditing();

    auto under = add("under", QRectF(90, 290, 50, 50));
    canvas->clearSelection();
    canvas->selectGraphic(box);
    canvas->selectGraphic(under);
    canvas->group(nullptr);
    canvas->clearSelection();
    doubleClick(QPointF(120, 310));
    EXPECT_EQ(canvas->editingGraphic(), nullptr);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QStringList titles;
    for (QAction* item : menu->actions())
        titles.append(item->text());
    EXPECT_EQ(titles, QStringList({"GROUP", "   Text Box", "   Rectangle"}));
    menu->close();
}

TEST_F(CanvasMouse, TheMenuOfGraphicsUnderThePointer)
{
    auto front = add("front", QRectF(110, 110, 20, 20));
    undo()->disableUndoRegistration();
    document->moveGraphic(front, 0, 1);
    undo()->enableUndoRegistration();
    // One graphic alone makes no menu.
    EXPECT_EQ(canvas->buildMenuOfGraphicsUnderPoint(QPointF(220, 120)), nullptr);

    // A group of B and C behind nothing; "front" over A.
    canvas->selectGraphic(b);
    canvas->selectGraphic(c);
    canvas->group(nullptr);
    canvas->clearSelection();
    std::unique_ptr<QMenu> menu(canvas->buildMenuOfGraphicsUnderPoint(QPointF(120, 120)));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions().at(0)->text(), QStringLiteral("Rectangle"));
    menu->actions().at(1)->trigger();
    EXPECT_EQ(selection(), QStringList({"A"}));

    // The member item of a group selects that member alone; the next selection change
    // forms the group again.
    c->setBounds(QRectF(200, 100, 50, 50)); // under the pointer with B
    menu.reset(canvas->buildMenuOfGraphicsUnderPoint(QPointF(220, 120)));
    ASSERT_NE(menu, nullptr);
    QStringList titles;
    for (QAction* item : menu->actions())
        titles.append(item->text());
    EXPECT_EQ(titles, QStringList({"GROUP", "   Rectangle", "   Rectangle"}));
    menu->actions().at(2)->trigger();
    EXPECT_EQ(selection(), QStringList({"C"}));
    EXPECT_FALSE(b->isGrouped());
    canvas->selectGraphic(a);
    EXPECT_TRUE(b->isGrouped());
    EXPECT_EQ(b->groupedChildrenCount(), 1);
    EXPECT_EQ(selection(), QStringList({"B", "C", "A"}));
}

TEST_F(CanvasMouse, KindNames)
{
    struct Case
    {
        std::function<LBGraphicPtr()> make;
        const char* expected;
    };
    const Case cases[] = {
        {[] { return std::static_pointer_cast<LBGraphic>(filledRectangle(QRectF(0, 0, 9, 9))); },
         "Rectangle"},
        {[] {
             auto g = std::make_shared<LBTextArea>();
             g->setIsPlaceholder(true);
             return std::static_pointer_cast<LBGraphic>(g);
         },
         "Text Placeholder"},
        {[] {
             auto g = filledRectangle(QRectF(0, 0, 9, 9));
             g->setIsPlaceholder(true);
             return std::static_pointer_cast<LBGraphic>(g);
         },
         "Image Placeholder"},
        {[] { return std::static_pointer_cast<LBGraphic>(std::make_shared<LBTextArea>()); },
         "Text Box"},
        {[] {
             auto g = filledRectangle(QRectF(0, 0, 9, 9));
             g->setContents(QStringLiteral("x"));
             return std::static_pointer_cast<LBGraphic>(g);
         },
         "Shape + Text"},
        {[] { return LBGraphicPtr(std::make_shared<LBGraphic>()); }, "Shape"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LBGraphicView::nameForGraphic(*c.make()), QLatin1String(c.expected));
}

TEST_F(CanvasMouse, TheSpaceBarScrollsByHandKeepingThePagePointUnderThePointer)
{
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(canvas, &space);
    EXPECT_TRUE(canvas->spaceKeyIsDown());
    const QPointF start = canvas->visibleRect().topLeft();
    press(QPointF(300, 300));
    // Events are in the canvas's coordinates, which scroll along: drag in steps of the
    // pointer's screen movement.
    const QPoint pressedAt = canvas->mapToGlobal(QPoint(300, 300));
    const QPoint to = pressedAt - QPoint(50, 30);
    QMouseEvent move(QEvent::MouseMove, canvas->mapFromGlobal(to), to, Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    EXPECT_EQ(canvas->visibleRect().topLeft(), start + QPointF(50, 30));
    QMouseEvent up(QEvent::MouseButtonRelease, canvas->mapFromGlobal(to), to, Qt::LeftButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &up);
    EXPECT_FALSE(canvas->spaceKeyIsDown());
    EXPECT_EQ(selection(), QStringList());
}

// ==== Moving the selection: a drag from the canvas onto itself ============================

TEST_F(CanvasMouse, AMoveIsOneStepFollowingThePointerOnTheGrid)
{
    click(QPointF(120, 120));
    closeStep();
    NotificationCount dragging(LBDraggingGraphicNotification);
    moveSelection(QPointF(120, 120), {QPointF(140, 130), QPointF(170.4, 150.6)});
    EXPECT_EQ(a->bounds(), QRectF(150, 131, 50, 50)); // whole points from the page origin
    EXPECT_EQ(undoName(), undoStrings("Move"));
    EXPECT_EQ(dragging.count, 2);
    EXPECT_FALSE(LBGraphicView::isDraggingOut());
    EXPECT_FALSE(canvas->dragOriginatedInThisView());
    undo()->undo();
    EXPECT_EQ(a->bounds(), QRectF(100, 100, 50, 50));
    EXPECT_EQ(undoName(), undoStrings("Selection Change"));

    // Snapping: the selection's origin lands on the grid from the page origin (36, 36).
    canvas->setVisiblePageRect(QRectF(36, 36, 612, 792));
    a->setBounds(QRectF(40, 40, 50, 50));
    canvas->setSnapsToGrid(true);
    moveSelection(QPointF(60, 60), {QPointF(83, 97)});
    EXPECT_EQ(a->bounds().topLeft(), QPointF(63, 81)); // 36 + 9·3, 36 + 9·5
}

TEST_F(CanvasMouse, ShiftKeepsAMoveToOneAxisUntilItComesBack)
{
    click(QPointF(120, 120));
    moveSelection(QPointF(120, 120), {QPointF(130, 122)}, Qt::ShiftModifier);
    EXPECT_EQ(a->bounds().topLeft(), QPointF(110, 100));
    // Back within 3 points of the start horizontally releases the lock.
    moveSelection(QPointF(120, 120), {QPointF(130, 122), QPointF(121, 140)}, Qt::ShiftModifier);
    EXPECT_EQ(a->bounds().topLeft(), QPointF(110, 120));
}

TEST_F(CanvasMouse, AltMovesCopiesInFront)
{
    canvas->selectGraphic(b);
    canvas->selectGraphic(c);
    closeStep();
    moveSelection(QPointF(220, 120), {QPointF(220, 220)}, {}, Qt::AltModifier);
    const QList<LBGraphicPtr> graphics = document->pageGraphics().at(1);
    ASSERT_EQ(graphics.size(), 5);
    EXPECT_EQ(names(graphics.mid(2)), QStringList({"A", "B", "C"}));
    EXPECT_EQ(b->bounds(), QRectF(200, 100, 50, 50)); // the originals stay
    EXPECT_EQ(graphics.at(0)->bounds(), QRectF(200, 200, 50, 50));
    EXPECT_EQ(graphics.at(1)->bounds(), QRectF(300, 200, 50, 50));
    // The copies are the selection, selected last to first.
    EXPECT_EQ(canvas->selectedGraphics(true),
              QList<LBGraphicPtr>({graphics.at(1), graphics.at(0)}));
    EXPECT_EQ(undoName(), undoStrings("Move"));
    undo()->undo(); // copies and move: one step
    EXPECT_EQ(layer(), QStringList({"A", "B", "C"}));
}

TEST_F(CanvasMouse, ADropSnapsTheMovedSelectionOntoTheFirstGuide)
{
    // D's top edge is a guide for A moved to it; with the guides' own snapping set aside
    // (4 points while dragging), the drop snaps within 4 points: 3 points away lands on it,
    // 5 stays where let go.
    platform::UserDefaults::standardUserDefaults().setBool(false,
                                                           QStringLiteral("Draw Dynamic Guides"));
    auto target = add("D", QRectF(400, 400, 100, 100));
    for (const double gap : {3.0, 5.0}) {
        SCOPED_TRACE(gap);
        a->setBounds(QRectF(100, 100, 50, 50));
        canvas->clearSelection();
        canvas->selectGraphic(a);
        canvas->resetDynamicGuides();
        platform::Drag::setRunner([&](platform::Drag& drag) {
            const QPointF to = QPointF(200, 400 + gap) + QPointF(20, 20);
            QDragEnterEvent enter(canvas->convertToWidget(to).toPoint(), Qt::MoveAction,
                                  drag.mimeData(), Qt::LeftButton, {});
            QApplication::sendEvent(canvas, &enter);
            QDragMoveEvent move(canvas->convertToWidget(to).toPoint(), Qt::MoveAction,
                                drag.mimeData(), Qt::LeftButton, {});
            QApplication::sendEvent(canvas, &move);
            // The guide the search would show, at D's top.
            canvas->addDynamicGuide(QRectF(100, 400, 400, 1), true);
            QDropEvent drop(canvas->convertToWidget(to), Qt::MoveAction, drag.mimeData(),
                            Qt::LeftButton, {});
            QApplication::sendEvent(canvas, &drop);
            return drop.dropAction();
        });
        press(QPointF(120, 120));
        drag(QPointF(130, 130));
        release(QPointF(130, 130));
        EXPECT_EQ(a->bounds().top(), gap == 3.0 ? 400.0 : 405.0);
        EXPECT_EQ(undoName(), undoStrings("Move"));
        EXPECT_TRUE(canvas->horizontalDynamicGuides().isEmpty());
    }
    platform::UserDefaults::standardUserDefaults().removeObjectForKey(
        QStringLiteral("Draw Dynamic Guides"));
    Q_UNUSED(target);
}

TEST_F(CanvasMouse, GraphicsDroppedFromElsewhereAreInsertedWhereLetGo)
{
    EXPECT_EQ(dropGraphics({filledRectangle(QRectF(0, 0, 40, 20))}, QPointF(400, 400)),
              Qt::CopyAction);
    ASSERT_EQ(document->pageGraphics().at(1).size(), 4);
    // Not from this process: no image known, so its lower-left corner is the pointer.
    EXPECT_EQ(document->pageGraphics().at(1).first()->bounds(), QRectF(400, 380, 40, 20));
    EXPECT_EQ(undoName(), undoStrings("Insert Object"));
}
