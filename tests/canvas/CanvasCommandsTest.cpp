// The edit commands on the selection: stacking order, alignment, duplicate, distribute,
// lock and unlock, delete (the curve being drawn too), same size, select all and the
// rulers; each one undo step with its name.

#include "CanvasTestSupport.h"

#include "platform/ui/RulerView.h"
#include "shapes/LBCurvedLine.h"

#include <QMouseEvent>
#include <QObject>

namespace {

class CanvasCommands : public CanvasTest
{
protected:
    // Graphics "a", "b", ... side by side, front-most first.
    void addRow(const QString& names)
    {
        double x = 10.0;
        for (const QChar& c : names) {
            _byName.insert(QString(c), add(QString(c), QRectF(x, 10.0, 20.0, 20.0)));
            x += 30.0;
        }
    }
    LBGraphicPtr g(const QString& name) const { return _byName.value(name); }
    // Selects the graphics named, in that order.
    void select(const QString& names)
    {
        canvas->clearSelection();
        for (const QChar& c : names)
            canvas->selectGraphic(g(QString(c)));
    }
    // Makes the named run a group led by its first graphic, with the rectangle given.
    void makeGroup(const QString& names, const QRectF& groupBounds)
    {
        for (const QChar& c : names) {
            g(QString(c))->setIsGrouped(true);
            g(QString(c))->setGroupBounds(groupBounds);
        }
        g(names.left(1))->setGroupedChildrenCount(names.size() - 1);
    }
    QString row() const { return layer().join(QString()); }

    QHash<QString, LBGraphicPtr> _byName;
};

} // namespace

TEST_F(CanvasCommands, StackingCommandsGatherTheSelectionInItsOrder)
{
    using Command = void (*)(LBGraphicView&);
    struct Case
    {
        const char* start;
        const char* group; // a group led by its first letter, or empty
        const char* selection;
        Command command;
        const char* name;
        const char* result;
    };
    const Case cases[] = {
        {"abcdef", "", "db", [](LBGraphicView& v) { v.bringToFront(nullptr); }, "Bring To Front",
         "bdacef"},
        {"abcdef", "", "db", [](LBGraphicView& v) { v.sendToBack(nullptr); }, "Send To Back",
         "acefbd"},
        {"abcdef", "", "ec", [](LBGraphicView& v) { v.bringForward(nullptr); }, "Bring Forward",
         "acebdf"},
        {"abcdef", "", "ca", [](LBGraphicView& v) { v.bringForward(nullptr); }, "Bring Forward",
         "acbdef"},
        {"abcdef", "", "db", [](LBGraphicView& v) { v.sendBackward(nullptr); }, "Send Backward",
         "acebdf"},
        {"abcdef", "", "fd", [](LBGraphicView& v) { v.sendBackward(nullptr); }, "Send Backward",
         "abcedf"},
        // The graphic directly in front or behind belongs to a group: the whole group.
        {"pqrxy", "pqr", "x", [](LBGraphicView& v) { v.bringForward(nullptr); }, "Bring Forward",
         "xpqry"},
        {"xpqry", "pqr", "x", [](LBGraphicView& v) { v.sendBackward(nullptr); }, "Send Backward",
         "pqrxy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " " + c.selection + " " + c.name);
        document->deleteGraphicsOnLayer(1);
        _byName.clear();
        addRow(QLatin1String(c.start));
        if (*c.group)
            makeGroup(QLatin1String(c.group), QRectF(0, 0, 100, 100));
        select(QLatin1String(c.selection));
        undo()->removeAllActions();
        c.command(*canvas);
        EXPECT_EQ(row(), QLatin1String(c.result));
        EXPECT_EQ(undoName(), undoStrings(c.name));
        undo()->undo();
        EXPECT_EQ(row(), QLatin1String(c.start));
    }
}

TEST_F(CanvasCommands, AlignmentFollowsTheFirstSelectedAndMovesGroupsWhole)
{
    addRow("pmxqr");
    g("p")->setBounds(QRectF(100, 10, 20, 20));
    g("m")->setBounds(QRectF(130, 40, 20, 20));
    makeGroup("pm", QRectF(100, 10, 50, 50));
    g("x")->setBounds(QRectF(300, 10, 20, 20));
    g("q")->setBounds(QRectF(200, 100, 20, 20));
    g("r")->setBounds(QRectF(240, 110, 20, 20));
    makeGroup("qr", QRectF(200, 100, 60, 30));
    select("pxq"); // the reference is p's group
    ASSERT_EQ(selection(), QStringList({"p", "m", "x", "q", "r"}));
    undo()->removeAllActions();

    canvas->alignLeftEdges(nullptr);
    EXPECT_EQ(g("m")->bounds().x(), 130.0); // the reference's own group stays
    EXPECT_EQ(g("x")->bounds().x(), 100.0);
    EXPECT_EQ(g("q")->bounds().x(), 100.0); // the other group moves rigidly
    EXPECT_EQ(g("r")->bounds().x(), 140.0);
    EXPECT_EQ(g("r")->groupBounds(), QRectF(100, 100, 60, 30));
    EXPECT_EQ(undoName(), undoStrings("Align Left Edges"));

    canvas->alignBottomEdges(nullptr);
    EXPECT_EQ(g("x")->bounds().bottom(), 60.0);
    EXPECT_EQ(g("q")->groupBounds().bottom(), 60.0);
    EXPECT_EQ(undoName(), undoStrings("Align Bottom Edges"));
    undo()->undo();
    undo()->undo();
    EXPECT_EQ(g("r")->bounds(), QRectF(240, 110, 20, 20));
    EXPECT_EQ(g("r")->groupBounds(), QRectF(200, 100, 60, 30));
}

TEST_F(CanvasCommands, DuplicateInsertsCopiesInFrontOfTheirSources)
{
    addRow("abcdstue");
    select("tsu");
    canvas->duplicate(nullptr);
    EXPECT_EQ(undoName(), undoStrings("Duplicate"));
    const LBDocument::Layer& layer = document->pageGraphics().at(1);
    ASSERT_EQ(layer.size(), 11);
    EXPECT_EQ(names(layer.mid(7)), QStringList({"s", "t", "u", "e"}));
    QList<LBGraphicPtr> copies = layer.mid(4, 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(copies.at(i)->bounds(), layer.at(7 + i)->bounds().translated(5, 5));
    EXPECT_EQ(canvas->selectedGraphics(true).size(), 3);
    for (const LBGraphicPtr& copy : copies)
        EXPECT_TRUE(canvas->graphicIsSelected(copy.get()));
    undo()->undo();
    EXPECT_EQ(row(), QStringLiteral("abcdstue"));
}

TEST_F(CanvasCommands, ADuplicatedGroupKeepsItsRectangleOnItsMembers)
{
    addRow("pm");
    makeGroup("pm", QRectF(10, 10, 50, 20));
    select("p");
    canvas->duplicate(nullptr);
    const LBDocument::Layer& layer = document->pageGraphics().at(1);
    ASSERT_EQ(layer.size(), 4);
    EXPECT_EQ(layer.at(0)->groupedChildrenCount(), 1);
    EXPECT_EQ(layer.at(0)->groupBounds(), QRectF(15, 15, 50, 20));
    EXPECT_EQ(layer.at(1)->groupBounds(), QRectF(15, 15, 50, 20));
}

TEST_F(CanvasCommands, DistributeSpacesTheInnerGraphicsBetweenTheOuterTwo)
{
    addRow("abcd");
    g("a")->setBounds(QRectF(0, 0, 10, 10));
    g("b")->setBounds(QRectF(50, 0, 30, 10));
    g("c")->setBounds(QRectF(20, 0, 10, 10));
    g("d")->setBounds(QRectF(100, 0, 10, 10));
    QObject horizontal;
    horizontal.setProperty("tag", 12000);
    select("dbca");
    canvas->distributeEvenly(&horizontal);
    // Free space 100 - 10 - 40 = 50, three gaps of 50/3.
    EXPECT_DOUBLE_EQ(g("c")->bounds().x(), 10 + 50.0 / 3);
    EXPECT_DOUBLE_EQ(g("b")->bounds().x(), 10 + 50.0 / 3 * 2 + 10);
    EXPECT_EQ(g("a")->bounds().x(), 0.0);
    EXPECT_EQ(g("d")->bounds().x(), 100.0);
    EXPECT_EQ(undoName(), undoStrings("Distribute Horizontally"));

    // Vertically, equal origins in selection order, too wide: a negative gap.
    for (const char* n : {"a", "b", "c"})
        g(QLatin1String(n))->setBounds(QRectF(0, 0, 10, 40));
    g("d")->setBounds(QRectF(0, 50, 10, 10));
    select("cabd");
    canvas->distributeEvenly(nullptr);
    // Sorted c, a, b, d: free 50 - 40 - 80 = -70, gap -70/3.
    EXPECT_EQ(g("c")->bounds().y(), 0.0);
    EXPECT_DOUBLE_EQ(g("a")->bounds().y(), 40 - 70.0 / 3);
    EXPECT_DOUBLE_EQ(g("b")->bounds().y(), 80 - 70.0 / 3 * 2);
    EXPECT_EQ(undoName(), undoStrings("Distribute Vertically"));

    // Two graphics: nothing to space, nothing changes.
    select("ad");
    undo()->removeAllActions();
    canvas->distributeEvenly(nullptr);
    EXPECT_EQ(g("d")->bounds().y(), 50.0);
    closeStep();
    EXPECT_FALSE(undo()->canUndo());
}

TEST_F(CanvasCommands, LockUnlockAndSelectAll)
{
    addRow("abc");
    select("b");
    undo()->removeAllActions();
    canvas->unlock(nullptr); // nothing locked: nothing changes
    EXPECT_EQ(selection(), QStringList({"b"}));
    closeStep();
    EXPECT_FALSE(undo()->canUndo());

    canvas->lock(nullptr);
    EXPECT_TRUE(g("b")->locked());
    EXPECT_TRUE(selection().isEmpty());
    EXPECT_EQ(undoName(), undoStrings("Lock"));

    canvas->selectAll(nullptr);
    EXPECT_EQ(selection(), QStringList({"a", "b", "c"}));
    EXPECT_EQ(undoName(), undoStrings("Selection Change"));
    canvas->alignTopEdges(nullptr); // the locked one is left alone, the others agree
    canvas->unlock(nullptr);
    EXPECT_EQ(selection(), QStringList({"b"}));
    EXPECT_FALSE(g("b")->locked());
    EXPECT_EQ(undoName(), undoStrings("Unlock"));
}

TEST_F(CanvasCommands, SameWidthAndHeightUseEachGraphicsOwnBounds)
{
    addRow("abc");
    g("a")->setBounds(QRectF(0, 0, 40, 70));
    select("abc");
    canvas->makeSameWidth(nullptr);
    EXPECT_EQ(g("c")->bounds(), QRectF(70, 10, 40, 20));
    EXPECT_EQ(undoName(), undoStrings("Make Same Width"));
    canvas->makeSameHeight(nullptr);
    EXPECT_EQ(g("b")->bounds(), QRectF(40, 10, 40, 70));
    EXPECT_EQ(undoName(), undoStrings("Make Same Height"));
}

TEST_F(CanvasCommands, DeleteRemovesTheSelectionOrThePointsOfTheCurveBeingDrawn)
{
    addRow("abc");
    makeGroup("ab", QRectF(10, 10, 50, 20));
    NotificationCount deleted(LBDeleteGraphicNotification);
    select("bc");
    canvas->delete_(nullptr);
    EXPECT_EQ(row(), QString());
    EXPECT_EQ(deleted.count, 3);
    EXPECT_EQ(undoName(), undoStrings("Delete"));
    undo()->undo();
    EXPECT_EQ(row(), QStringLiteral("abc"));

    // While a curve is drawn: three points lose the third; one point takes the curve away.
    for (const int points : {3, 1}) {
        SCOPED_TRACE(points);
        auto curve = std::make_shared<LBCurvedLine>();
        for (int i = 0; i < points; ++i)
            curve->addControlPointAndModifiersAtPoint(QPointF(100 + 20 * i, 100 + 10 * i));
        curve->setDocument(document.get());
        document->insertGraphic(curve, 0, 1);
        host->bezier = true;
        canvas->setEditingBezierGraphic(curve);
        canvas->delete_(nullptr);
        if (points == 3) {
            EXPECT_EQ(curve->numControlPoints(), 2);
            EXPECT_TRUE(host->bezier);
            EXPECT_TRUE(document->pageGraphics().at(1).contains(curve));
        } else {
            EXPECT_FALSE(host->bezier);
            EXPECT_EQ(canvas->editingBezierGraphic(), nullptr);
            EXPECT_FALSE(document->pageGraphics().at(1).contains(curve));
        }
        EXPECT_EQ(undoName(), undoStrings("Delete"));
        canvas->setEditingBezierGraphic(nullptr);
        host->bezier = false;
    }
}

TEST_F(CanvasCommands, TheFirstRulerToggleReservesRoomForMarkers)
{
    canvas->toggleRuler(nullptr);
    ASSERT_TRUE(scrollView->rulersVisible());
    for (platform::RulerView* ruler :
         {scrollView->horizontalRulerView(), scrollView->verticalRulerView()}) {
        EXPECT_EQ(ruler->reservedThicknessForMarkers(), 8.0);
        EXPECT_EQ(ruler->reservedThicknessForAccessoryView(), 10.0);
        ruler->setReservedThicknessForMarkers(0.0);
    }
    canvas->toggleRuler(nullptr);
    EXPECT_FALSE(scrollView->rulersVisible());
    canvas->toggleRuler(nullptr); // later toggles only show and hide
    EXPECT_TRUE(scrollView->rulersVisible());
    EXPECT_EQ(scrollView->horizontalRulerView()->reservedThicknessForMarkers(), 0.0);

    // The canvas is the rulers' client: a marker follows the pointer and is not dragged off.
    platform::RulerView* ruler = scrollView->horizontalRulerView();
    ASSERT_EQ(ruler->clientView(), canvas);
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(Qt::black);
    ruler->setMarkers({platform::RulerMarker{50.0, image, QPointF(4.0, 0.0)}});
    const double y = ruler->ruleRect().top() + 4.0;
    const auto mouse = [ruler](QEvent::Type type, const QPointF& at) {
        QMouseEvent event(type, at, ruler->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QApplication::sendEvent(ruler, &event);
    };
    mouse(QEvent::MouseButtonPress, QPointF(50, y));
    mouse(QEvent::MouseMove, QPointF(80, y));
    mouse(QEvent::MouseButtonRelease, QPointF(80, y));
    ASSERT_EQ(ruler->markers().size(), 1);
    EXPECT_EQ(ruler->markers().first().location, 80.0);
    mouse(QEvent::MouseButtonPress, QPointF(80, y));
    mouse(QEvent::MouseMove, QPointF(90, y + 300));
    mouse(QEvent::MouseButtonRelease, QPointF(90, y + 300));
    ASSERT_EQ(ruler->markers().size(), 1);
    EXPECT_EQ(ruler->markers().first().location, 90.0);
}
