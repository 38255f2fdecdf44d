// The insertion road (where graphics land, groups, library graphics on the grid, graphics
// too large for the page, kit pictures, papers) and flat grouping.

#include "CanvasTestSupport.h"

#include "platform/ui/Alert.h"

#include "platform/ui/Beep.h"
#include "platform/ui/Pasteboard.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"

#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QScopeGuard>
#include <QTest>

#include <cmath>

namespace {

// A graphic whose extent with handles is its bounds, so placements are easy to follow.
class PlainGraphic : public LBRectangle
{
public:
    QRectF shadowDrawingBoundsWithHandles(bool) const override { return bounds(); }
};

std::shared_ptr<PlainGraphic> plain(const QRectF& bounds)
{
    auto g = std::make_shared<PlainGraphic>();
    g->setBounds(bounds);
    return g;
}

class CanvasInsertion : public CanvasTest
{
protected:
    CanvasInsertion()
    {
        // The page's part on screen: (0, 0, 600, 400).
        canvas->setVisiblePageRect(QRectF(0, 0, 600, 400));
    }

    QString picture(const QString& fileName)
    {
        const QString path = _files.filePath(fileName);
        QImage image(8, 8, QImage::Format_ARGB32);
        image.fill(Qt::red);
        image.save(path);
        return path;
    }

private:
    QTemporaryDir _files;
};

} // namespace

TEST_F(CanvasInsertion, WithoutAPointInTheMiddleOfTheVisiblePage)
{
    NotificationCount inserted(LBInsertGraphicNotification);
    auto g = filledRectangle(QRectF(0, 0, 100, 50));
    canvas->insertGraphics({g}, QPointF(-1, -1), false);
    EXPECT_EQ(g->bounds(), QRectF(300, 150, 100, 50)); // lower-left corner on the centre
    EXPECT_EQ(canvas->selectedGraphics(true), QList<LBGraphicPtr>({g}));
    EXPECT_EQ(undoName(), undoStrings("Insert Object"));
    EXPECT_EQ(inserted.count, 1);
    EXPECT_EQ(g->zoomFactor(), 1.0);

    auto h = filledRectangle(QRectF(0, 0, 100, 50));
    canvas->insertGraphic(h, QPointF(-1, -1), false, 0);
    EXPECT_EQ(h->bounds(), QRectF(250, 175, 100, 50)); // centred
    EXPECT_EQ(document->pageGraphics().at(1).first(), h);
    EXPECT_FALSE(canvas->graphicIsSelected(h.get())); // the single form selects nothing

    // The layers view is told 0.2 s later.
    NotificationCount layers(LBUpdateLayersView);
    EXPECT_TRUE(QTest::qWaitFor([&] { return layers.count > 0; }, 1000));
}

TEST_F(CanvasInsertion, SeveralGraphicsKeepTheirPlacesAroundThePoint)
{
    auto a = plain(QRectF(10, 60, 50, 50));
    auto b = plain(QRectF(160, 10, 50, 50));
    canvas->insertGraphics({a, b}, QPointF(100, 300), false);
    // Their union (10, 10, 200, 100) has its lower-left corner on the point.
    EXPECT_EQ(a->bounds(), QRectF(100, 250, 50, 50));
    EXPECT_EQ(b->bounds(), QRectF(250, 200, 50, 50));
    EXPECT_EQ(document->pageGraphics().at(1), QList<LBGraphicPtr>({a, b}));
    EXPECT_EQ(canvas->selectedGraphics(true).size(), 2);
    EXPECT_EQ(undoName(), undoStrings("Insert Objects"));
    undo()->undo();
    EXPECT_TRUE(document->pageGraphics().at(1).isEmpty());

    canvas->insertGraphics({}, QPointF(100, 300), false); // nothing, and no step
    EXPECT_EQ(undo()->redoActionName(), undoStrings("Insert Objects"));
}

TEST_F(CanvasInsertion, LibraryGraphicsLandOnTheGrid)
{
    canvas->setVisiblePageRect(QRectF(36, 36, 600, 400));
    for (const bool snaps : {true, false}) {
        SCOPED_TRACE(snaps);
        canvas->setSnapsToGrid(snaps);
        auto g = plain(QRectF(0, 0, 30, 20));
        canvas->insertGraphic(g, QPointF(100.3, 200.7), true, 0);
        const double step = snaps ? 9.0 : 1.0;
        const QPointF fromPage = g->bounds().topLeft() - QPointF(36, 36);
        EXPECT_EQ(std::fmod(fromPage.x(), step), 0.0);
        EXPECT_EQ(std::fmod(fromPage.y(), step), 0.0);
        EXPECT_NEAR(fromPage.x(), 100.3 - 36, step);
    }
}

TEST_F(CanvasInsertion, GraphicsFarLargerThanThePageShrinkToItKeepingTheirCentre)
{
    auto huge = filledRectangle(QRectF(0, 0, 2000, 100));
    canvas->insertGraphic(huge, QPointF(-1, -1), false, 0);
    EXPECT_DOUBLE_EQ(huge->bounds().width(), 600.0);
    EXPECT_DOUBLE_EQ(huge->bounds().center().x(), 300.0);
    EXPECT_DOUBLE_EQ(huge->bounds().center().y(), 200.0);

    auto wide = filledRectangle(QRectF(0, 0, 700, 100)); // 1.17 times: stays
    canvas->insertGraphic(wide, QPointF(-1, -1), false, 0);
    EXPECT_EQ(wide->bounds().size(), QSizeF(700, 100));
}

TEST_F(CanvasInsertion, AHiddenSelectedLayerIsShown)
{
    document->showLayerAtIndex(1, false);
    canvas->insertGraphic(filledRectangle(QRectF(0, 0, 10, 10)), QPointF(50, 50), false, 0);
    EXPECT_TRUE(document->layerAtIndexIsVisible(1));
}

TEST_F(CanvasInsertion, GroupsFromTheLibraryStayTogetherAndSelectedWhole)
{
    auto parent = plain(QRectF(0, 0, 20, 20));
    auto first = plain(QRectF(20, 0, 20, 20));
    auto second = plain(QRectF(0, 20, 40, 20));
    for (const auto& g : {parent, first, second}) {
        g->setIsGrouped(true);
        g->setGroupBounds(QRectF(0, 0, 40, 40));
    }
    parent->setGroupedChildrenCount(2);
    name(parent, "parent");
    name(first, "first");
    name(second, "second");
    add("old", QRectF(500, 300, 10, 10));

    canvas->insertGraphics({parent, first, second}, QPointF(100, 200), true);
    EXPECT_EQ(layer(), QStringList({"parent", "first", "second", "old"}));
    EXPECT_EQ(selection(), QStringList({"parent", "first", "second"}));
    // The group's lower-left corner on the point, its rectangle moved along.
    EXPECT_EQ(parent->bounds(), QRectF(100, 160, 20, 20));
    EXPECT_EQ(second->groupBounds(), QRectF(100, 160, 40, 40));

    // A grouped graphic placed on its own (not from a library) takes its group's
    // rectangle along as well.
    auto lone = plain(QRectF(0, 0, 20, 20));
    lone->setIsGrouped(true);
    lone->setGroupBounds(QRectF(0, 0, 40, 20));
    canvas->insertGraphic(lone, QPointF(300, 300), false, 0);
    EXPECT_EQ(lone->groupBounds(), QRectF(300, 280, 40, 20));
}

TEST_F(CanvasInsertion, ACurveJustBegunStartsPointByPointDrawing)
{
    auto line = std::make_shared<LBCurvedLine>();
    line->addControlPointAndModifiersAtPoint(QPointF(0, 0));
    canvas->insertGraphics({line}, QPointF(200, 200), true);
    EXPECT_TRUE(host->bezier);
    EXPECT_EQ(canvas->editingBezierGraphic(), line.get());
    EXPECT_TRUE(canvas->selectedGraphics(true).isEmpty());
}

TEST_F(CanvasInsertion, KitPicturesAndPapers)
{
    // A kit picture's file is copied to a working file of its own, which the document keeps.
    auto kit = std::make_shared<LBImage>();
    kit->setBounds(QRectF(0, 0, 40, 30));
    kit->setLazyImagePath(picture(QStringLiteral("kit.png")));
    kit->setSpecialImageType(LBImage::QuickPageToConfirm);
    // Asked how to place them: on the current layer, as a graphic.
    platform::Alert::setResponder([](const platform::Alert&, QWidget*) {
        return platform::Alert::Response{platform::Alert::SecondButtonReturn, false};
    });
    const auto answered = qScopeGuard([] { platform::Alert::setResponder({}); });
    canvas->insertGraphic(kit, QPointF(-1, -1), false, 0);
    EXPECT_TRUE(kit->lazyImagePath().isEmpty());
    EXPECT_EQ(kit->specialImageType(), LBImage::QuickPageOnCurrentLayer);
    EXPECT_EQ(document->pageGraphics().at(1).first(), kit);
    EXPECT_NE(kit->imageOfType(LBGraphic::FillImageType), nullptr);

    // A paper to confirm goes in as a graphic.
    auto paper = std::make_shared<LBImage>();
    paper->setSpecialImageType(LBImage::PaperToConfirm);
    canvas->insertGraphic(paper, QPointF(-1, -1), false, 0);
    EXPECT_EQ(paper->specialImageType(), LBImage::PaperAsGraphic);

    // A missing kit file inserts nothing and says so; the others of the list still go in.
    const quint64 beeps = platform::beepCount();
    auto missing = std::make_shared<LBImage>();
    missing->setLazyImagePath(QStringLiteral("/nowhere/kit.png"));
    auto fine = filledRectangle(QRectF(0, 0, 10, 10));
    canvas->insertGraphics({missing, fine}, QPointF(-1, -1), false);
    EXPECT_EQ(document->indexOfGraphic(missing, 1), -1);
    EXPECT_NE(document->indexOfGraphic(fine, 1), -1);
    EXPECT_GT(platform::beepCount(), beeps);

    // A paper for the page background becomes it, and its sheet opens 0.1 s later.
    const qsizetype before = document->pageGraphics().at(1).size();
    auto background = std::make_shared<LBImage>();
    background->setSpecialImageType(LBImage::PaperAsBackground);
    canvas->insertGraphic(background, QPointF(-1, -1), false, 0); // no file: nothing
    closeStep();
    EXPECT_NE(undo()->undoActionName(), undoStrings("Set Background Image"));
    background->setLazyImagePath(picture(QStringLiteral("paper.png")));
    document->setHasBackgroundPlaceholder(true, 0);
    canvas->insertGraphic(background, QPointF(-1, -1), false, 0);
    EXPECT_EQ(document->pageGraphics().at(1).size(), before);
    EXPECT_NE(document->backgroundImage(0), nullptr);
    EXPECT_EQ(document->backgroundImageScaling(0), 3);
    EXPECT_FALSE(document->hasBackgroundPlaceholder(0));
    EXPECT_EQ(undoName(), undoStrings("Set Background Image"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return host->backgroundSheets == 1; }, 1000));
}

TEST_F(CanvasInsertion, APictureDroppedLandsCentredOnTheDrop)
{
    auto image = std::make_shared<LBImage>();
    image->setBounds(QRectF(0, 0, 40, 30));
    EXPECT_EQ(dropGraphics({image}, QPointF(200, 150)), Qt::CopyAction);
    ASSERT_FALSE(document->pageGraphics().at(1).isEmpty());
    EXPECT_EQ(document->pageGraphics().at(1).first()->bounds(), QRectF(180, 135, 40, 30));

    // Inserted later with no point (a library's or a drawer's Insert), a picture goes to the
    // middle of the visible page, not to where that drop was.
    auto later = std::make_shared<LBImage>();
    later->setBounds(QRectF(0, 0, 40, 30));
    canvas->insertGraphics({later}, QPointF(-1, -1), false);
    EXPECT_EQ(later->bounds(), QRectF(280, 185, 40, 30));
}

TEST_F(CanvasInsertion, DroppedFilesThatAreNoPicturesAreRefusedAloud)
{
    const QString good = picture(QStringLiteral("good.png"));
    const QString bad = QFileInfo(good).absolutePath() + QStringLiteral("/bad.png");
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("no picture");
    file.close();
    QStringList said;
    platform::Alert::setResponder([&said](const platform::Alert& alert, QWidget*) {
        said << alert.messageText;
        return platform::Alert::Response{platform::Alert::FirstButtonReturn, false};
    });
    const auto answered = qScopeGuard([] { platform::Alert::setResponder({}); });

    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    pasteboard.declareTypes({platform::FilenamesPboardType});
    pasteboard.setFilenames({bad, good});
    const QPoint at = canvas->convertToWidget(QPointF(200, 150)).toPoint();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(canvas, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(canvas, &drop);
    // The picture is placed; the other is named once the drop is over.
    EXPECT_EQ(document->pageGraphics().at(1).size(), 1);
    EXPECT_TRUE(said.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !said.isEmpty(); }, 1000));
    EXPECT_EQ(said,
              QStringList{QStringLiteral("The file \u201cbad.png\u201d cannot be imported.")});
}

// ==== Grouping ============================================================================

TEST_F(CanvasInsertion, GroupingGathersTheSelectionBehindItsFrontMember)
{
    QList<LBGraphicPtr> g;
    for (int i = 0; i < 10; ++i)
        g.append(add(QStringLiteral("g%1").arg(i), QRectF(10 * i, 10, 10, 10)));
    g[5]->setRotation(45.0);
    canvas->selectGraphic(g[9]);
    canvas->selectGraphic(g[2]);
    canvas->selectGraphic(g[5]);
    closeStep();
    canvas->group(nullptr);
    EXPECT_EQ(layer(), QStringList({"g0", "g1", "g2", "g5", "g9", "g3", "g4", "g6", "g7", "g8"}));
    EXPECT_EQ(g[2]->groupedChildrenCount(), 2);
    EXPECT_EQ(g[5]->groupedChildrenCount(), 0);
    EXPECT_TRUE(g[9]->isGrouped());
    // The rectangle: the members' turned extents.
    const QRectF expected =
        g[2]->rotatedBounds().united(g[5]->rotatedBounds()).united(g[9]->rotatedBounds());
    EXPECT_EQ(g[9]->groupBounds(), expected);
    EXPECT_LT(expected.top(), 10.0);
    EXPECT_EQ(undoName(), undoStrings("Group"));
    undo()->undo();
    EXPECT_EQ(layer(), QStringList({"g0", "g1", "g2", "g3", "g4", "g5", "g6", "g7", "g8", "g9"}));
    EXPECT_FALSE(g[2]->isGrouped());
    EXPECT_EQ(g[2]->groupedChildrenCount(), 0);
}

TEST_F(CanvasInsertion, GroupsOfGroupsAreFlatAndCommandsFollowTheSelection)
{
    auto a = add("A", QRectF(0, 0, 10, 10));
    auto b = add("B", QRectF(20, 0, 10, 10));
    auto c = add("C", QRectF(40, 0, 10, 10));
    auto d = add("D", QRectF(60, 0, 10, 10));
    EXPECT_FALSE(canvas->groupCommandEnabled());
    canvas->selectGraphic(b);
    canvas->selectGraphic(c);
    EXPECT_TRUE(canvas->groupCommandEnabled());
    EXPECT_FALSE(canvas->ungroupCommandEnabled());
    canvas->group(nullptr);
    // Exactly one whole group: nothing to group.
    EXPECT_FALSE(canvas->groupCommandEnabled());
    EXPECT_TRUE(canvas->ungroupCommandEnabled());
    canvas->selectGraphic(a);
    EXPECT_TRUE(canvas->groupCommandEnabled());
    canvas->group(nullptr);
    EXPECT_EQ(a->groupedChildrenCount(), 2);
    EXPECT_EQ(b->groupedChildrenCount(), 0); // led a group of its own before
    EXPECT_EQ(canvas->groupParentOfGraphic(c.get(), true), a);

    // Limited to the selected layer, a member of a group on another layer has no parent.
    auto leader = add("L", QRectF(0, 50, 10, 10), 0);
    auto member = add("M", QRectF(0, 70, 10, 10), 0);
    leader->setGroupedChildrenCount(1);
    member->setIsGrouped(true);
    EXPECT_EQ(canvas->groupParentOfGraphic(member.get(), true), nullptr);
    EXPECT_EQ(canvas->groupParentOfGraphic(member.get(), false), leader);

    // Ungrouping two groups dissolves both; places and selection stay.
    canvas->clearSelection();
    canvas->selectGraphic(a);
    auto e = add("F", QRectF(80, 0, 10, 10));
    canvas->selectGraphic(d);
    canvas->selectGraphic(e);
    canvas->group(nullptr); // D and F
    canvas->selectGraphic(a);
    canvas->ungroup(nullptr);
    EXPECT_EQ(layer(), QStringList({"A", "B", "C", "D", "F"}));
    for (const auto& g : {a, b, c, d, e})
        EXPECT_FALSE(g->isGrouped());
    EXPECT_EQ(selection().size(), 5);
    EXPECT_EQ(undoName(), undoStrings("Ungroup"));
}

TEST_F(CanvasInsertion, RegroupingFormsTheGroupOfWhatIsLeft)
{
    auto a = add("A", QRectF(0, 0, 10, 10));
    auto b = add("B", QRectF(20, 0, 10, 10));
    auto c = add("C", QRectF(40, 0, 10, 10));
    undo()->disableUndoRegistration();
    document->removeGraphic(b, 1);
    undo()->enableUndoRegistration();
    canvas->regroupGraphics({a, b, c});
    EXPECT_EQ(a->groupedChildrenCount(), 1);
    EXPECT_TRUE(c->isGrouped());

    canvas->ungroup(nullptr);
    undo()->disableUndoRegistration();
    document->removeGraphic(c, 1);
    undo()->enableUndoRegistration();
    canvas->regroupGraphics({a, b, c});
    EXPECT_FALSE(a->isGrouped()); // one left: no group
    EXPECT_EQ(selection(), QStringList({"A"}));
}
