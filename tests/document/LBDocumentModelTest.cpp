// The graphics tree: a new document, graphic, layer and page operations with their index
// rules and undo, the per-page lists, the picture-file bookkeeping, and change marking.

#include "DocumentTestSupport.h"

#include "document/DimensionInfo.h"
#include "platform/ui/Beep.h"

#include <QCoreApplication>

TEST_F(DocumentTest, NewDocumentStartsWithTheDefaultsInOrder)
{
    EXPECT_EQ(document->numPages(), 1);
    EXPECT_EQ(snapshot(), "selected 1: Background[] | Foreground[]");
    EXPECT_EQ(document->pageIndex(), 0);
    EXPECT_EQ(document->multipageType(), 0);
    EXPECT_EQ(document->changeCount(), 0);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_TRUE(document->fileName().isNull());
    EXPECT_EQ(document->FIMType(), 0);
    EXPECT_EQ(document->postnetBarcodeLocation(), 0);
    EXPECT_EQ(document->labelRepeatCount(), 1);
    EXPECT_EQ(document->drawAuxiliaryInfo(), 3);
    EXPECT_EQ(document->gridSpacing(), 9.0); // the user default while the document has none
    EXPECT_EQ(document->guideSpacing(), 8);
    EXPECT_FALSE(document->printGrid());
    EXPECT_TRUE(document->projectDescription().isEmpty());
    EXPECT_EQ(document->documentSize(), QSizeF(612, 792));
    for (qint64 face : {0, 1}) {
        EXPECT_EQ(document->backgroundColor(face), QColor::fromRgbF(0.5, 0.5, 0.5)) << face;
        EXPECT_FALSE(document->hasBackgroundColor(face));
        EXPECT_EQ(document->backgroundImageScaling(face), 1);
        EXPECT_EQ(document->backgroundImageTransparency(face), 1.0);
        EXPECT_TRUE(document->backgroundImagePath(face).isNull());
        EXPECT_FALSE(document->hasBackgroundPlaceholder(face));
        EXPECT_EQ(document->placeholderPatternIndex(face), 0);
    }

    // The auxiliary bits keep one byte of the user default.
    platform::UserDefaults::standardUserDefaults().setInteger(0x102, "Draw Auxiliary Info");
    EXPECT_EQ(LBDocument().drawAuxiliaryInfo(), 2);
    platform::UserDefaults::standardUserDefaults().removeObjectForKey("Draw Auxiliary Info");
}

TEST_F(DocumentTest, MovingAGraphicPlacesItBeforeTheGraphicAtTheTargetAndUndoes)
{
    struct Case
    {
        QString moved;
        qint64 to;
        QStringList result;
    };
    for (const Case& c : {Case{"A", 2, {"B", "A", "C"}}, Case{"C", 0, {"C", "A", "B"}},
                          Case{"A", 3, {"B", "C", "A"}}, Case{"B", 1, {"A", "B", "C"}}}) {
        document = std::make_unique<LBDocument>();
        fill(1, {"A", "B", "C"});
        const LBDocument::Layer& layer = document->pageGraphics()[1];
        const LBGraphicPtr moved = layer[QStringList({"A", "B", "C"}).indexOf(c.moved)];
        step([&] { document->moveGraphic(moved, c.to, 1); });
        EXPECT_EQ(names(layer), c.result) << c.moved.toStdString() << " to " << c.to;
        undo();
        EXPECT_EQ(names(layer), QStringList({"A", "B", "C"})) << c.moved.toStdString();
        redo();
        EXPECT_EQ(names(layer), c.result) << c.moved.toStdString();
    }
}

TEST_F(DocumentTest, InsertRemoveAndTheirUndoOnAnotherPage)
{
    document->addPageWithGraphics({{}, {}}, {"Back", "Front"});
    document->setPageIndex(1, false);
    fill(1, {"A", "B", "C"});
    document->setPageIndex(0, false);
    FakeWindowController* controller = new FakeWindowController;
    document->addWindowController(controller);
    controller->bezier = true;

    const LBGraphicPtr b = document->graphicsOnPage(1)->at(1).at(1);
    step([&] { document->removeGraphicAtIndex(1, 1, 1); });
    EXPECT_EQ(names(document->graphicsOnPage(1)->at(1)), QStringList({"A", "C"}));
    EXPECT_FALSE(controller->bezier); // removing ends point-by-point drawing
    EXPECT_TRUE(controller->invalidated.contains(b.get()));
    undo();
    EXPECT_EQ(names(document->graphicsOnPage(1)->at(1)), QStringList({"A", "B", "C"}));
    EXPECT_EQ(document->graphicsOnPage(1)->at(1).at(1), b);
    EXPECT_EQ(document->pageIndex(), 0);

    const LBGraphicPtr d = graphic("D");
    step([&] { document->insertGraphic(d, 0, 0, 1); });
    EXPECT_EQ(d->document(), document.get());
    EXPECT_EQ(names(document->graphicsOnPage(1)->at(0)), QStringList({"D"}));
    undo();
    EXPECT_TRUE(document->graphicsOnPage(1)->at(0).isEmpty());
}

TEST_F(DocumentTest, IndicesOutOfRangeBeepAndChangeNothing)
{
    // Page 1 has a single layer, the current page 0 two.
    document->addPageWithGraphics({{}}, {"Only"});
    fill(1, {"A", "B"});
    const LBGraphicPtr a = document->pageGraphics()[1][0];
    const LBGraphicPtr loose = graphic("X");

    struct Case
    {
        const char* what;
        std::function<void()> call;
    };
    const QList<Case> cases = {
        {"layer 1 of page 1, which has one layer",
         [&] { document->insertGraphic(loose, 0, 1, 1); }},
        {"page past the end", [&] { document->insertGraphic(loose, 0, 0, 2); }},
        {"insert past the layer", [&] { document->insertGraphic(loose, 3, 1); }},
        {"negative position", [&] { document->insertGraphic(loose, -1, 1); }},
        {"remove at the count", [&] { document->removeGraphicAtIndex(2, 1); }},
        {"remove on a missing layer", [&] { document->removeGraphicAtIndex(0, 2); }},
        {"move past the count", [&] { document->moveGraphic(a, 3, 1); }},
        {"move on a missing layer", [&] { document->moveGraphic(a, 0, 5); }},
        {"remove a graphic of a missing layer", [&] { document->removeGraphic(a, 2); }},
        {"graphics of a missing layer", [&] { document->deleteGraphicsOnLayer(2); }},
        {"move graphics to a missing layer", [&] { document->moveGraphics(nullptr, 1, 2); }},
        {"delete a missing layer", [&] { document->deleteLayerAtIndex(2); }},
        {"duplicate a missing layer", [&] { document->duplicateLayerAtIndex(2); }},
        {"move a layer past the end", [&] { document->moveLayerAtIndex(0, 2); }},
        {"insert a layer past the end", [&] { document->insertLayerWithName("L", 3); }},
        {"name a missing layer", [&] { document->replaceLayerNameAtIndex(2, "L"); }},
        {"select a missing layer", [&] { document->selectLayerAtIndex(2); }},
        {"show a missing layer", [&] { document->showLayerAtIndex(2, false); }},
        {"print a missing layer", [&] { document->printLayerAtIndex(-1, false); }},
        {"a page past the end", [&] { document->setGraphics({}, 2); }},
        {"current page past the end", [&] { document->setPageIndex(2, true); }},
        {"remove a missing page", [&] { document->removePageAtIndex(2); }},
        {"insert a page past the end", [&] { document->insertPageWithGraphics({}, {}, 3); }},
        {"no pages", [&] { document->setPageCount(0); }},
    };
    const QString before = snapshot();
    for (const Case& c : cases) {
        const quint64 beeps = platform::beepCount();
        step(c.call);
        EXPECT_EQ(platform::beepCount(), beeps + 1) << c.what;
        EXPECT_EQ(snapshot(), before) << c.what;
        EXPECT_EQ(document->undoManager()->undoActionName(), QString()) << c.what;
    }
    // Queries answer without changing anything.
    const quint64 beeps = platform::beepCount();
    EXPECT_EQ(document->indexOfGraphic(a, 2), -1);
    EXPECT_EQ(document->numGraphicsOnLayer(2), 0);
    EXPECT_EQ(platform::beepCount(), beeps + 2);
    EXPECT_EQ(document->indexOfGraphic(loose, 1), -1); // absent: no beep
    EXPECT_EQ(document->graphicsOnPage(2), nullptr);
    EXPECT_EQ(document->layerNameAtIndex(5), "");
    EXPECT_EQ(platform::beepCount(), beeps + 2);

    // A stale undo step: the layer it refers to was deleted meanwhile (not undoable).
    step([&] { document->insertGraphic(graphic("Y"), 2, 1); });
    document->deleteLayerAtIndex(1);
    const QString afterDelete = snapshot();
    const quint64 beforeUndo = platform::beepCount();
    undo();
    EXPECT_EQ(platform::beepCount(), beforeUndo + 1);
    EXPECT_EQ(snapshot(), afterDelete);
}

TEST_F(DocumentTest, LayerOperationsCarryNamesAndFlags)
{
    document->insertLayerWithName("Top", 2);
    document->showLayerAtIndex(0, false);
    document->printLayerAtIndex(2, false);
    fill(0, {"A"});
    fill(2, {"C"});
    const QString original = "selected 1: Background hidden[A] | Foreground[] | Top no-print[C]";
    ASSERT_EQ(snapshot(), original);
    document->resetChangeCount();

    document->moveLayerAtIndex(0, 2);
    EXPECT_EQ(snapshot(), "selected 1: Foreground[] | Top no-print[C] | Background hidden[A]");
    document->moveLayerAtIndex(2, 0);
    EXPECT_EQ(snapshot(), original);
    document->moveLayerAtIndex(2, 0);
    EXPECT_EQ(snapshot(), "selected 1: Top no-print[C] | Background hidden[A] | Foreground[]");
    document->moveLayerAtIndex(1, 1);
    EXPECT_EQ(snapshot(), "selected 1: Top no-print[C] | Background hidden[A] | Foreground[]");
    EXPECT_FALSE(document->undoManager()->canUndo()); // layer moves are not undoable

    document->deleteLayerAtIndex(0);
    EXPECT_EQ(snapshot(), "selected 1: Background hidden[A] | Foreground[]");

    // Renaming, printing and selecting are undoable; selecting ends text editing.
    NotificationCounter stopEditing(LBStopEditingTextDuringDrag, document.get());
    step([&] {
        document->replaceLayerNameAtIndex(1, "Words");
        document->printLayerAtIndex(1, false);
        document->selectLayerAtIndex(0);
    });
    EXPECT_EQ(snapshot(), "selected 0: Background hidden[A] | Words no-print[]");
    EXPECT_EQ(stopEditing.count, 1);
    undo();
    EXPECT_EQ(snapshot(), "selected 1: Background hidden[A] | Foreground[]");
    EXPECT_EQ(stopEditing.count, 2);
}

TEST_F(DocumentTest, DuplicatingALayerCopiesItsGraphicsInOrder)
{
    fill(1, {"A", "B"});
    const LBDocument::Layer originals = document->pageGraphics()[1];
    originals[0]->setBoundsNoOtherChanges(QRectF(10, 20, 30, 40));
    originals[0]->setVisiblePageOrigin(QPointF(5, 6));
    originals[0]->setZoomFactor(2.0);
    step([&] { document->duplicateLayerAtIndex(1); });

    ASSERT_EQ(document->layerCount(), 3);
    EXPECT_EQ(document->layerNameAtIndex(2), "Foreground");
    const LBDocument::Layer& copies = document->pageGraphics()[2];
    ASSERT_EQ(copies.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NE(copies[i], originals[i]);
        EXPECT_EQ(copies[i]->document(), document.get());
        EXPECT_EQ(copies[i]->bounds(), originals[i]->bounds());
        EXPECT_EQ(copies[i]->visiblePageOrigin(), originals[i]->visiblePageOrigin());
        EXPECT_EQ(copies[i]->zoomFactor(), originals[i]->zoomFactor());
    }
    undo(); // the copies' insertions; the new layer stays
    EXPECT_EQ(document->layerCount(), 3);
    EXPECT_TRUE(document->pageGraphics()[2].isEmpty());
}

TEST_F(DocumentTest, MovingGraphicsBetweenLayersKeepsTheirOrderAtTheFront)
{
    fill(0, {"X"});
    fill(1, {"A", "B", "C"});
    const QList<LBGraphicPtr> justB = {document->pageGraphics()[1][1]};
    step([&] { document->moveGraphics(&justB, 1, 0); });
    EXPECT_EQ(snapshot(), "selected 1: Background[B X] | Foreground[A C]");
    undo();
    EXPECT_EQ(snapshot(), "selected 1: Background[X] | Foreground[A B C]");

    step([&] { document->moveGraphics(nullptr, 1, 0); });
    EXPECT_EQ(snapshot(), "selected 1: Background[A B C X] | Foreground[]");
    step([&] { document->moveGraphics(nullptr, 0, 0); });
    EXPECT_EQ(snapshot(), "selected 1: Background[A B C X] | Foreground[]");

    step([&] { document->deleteGraphicsOnLayer(0); });
    EXPECT_EQ(snapshot(), "selected 1: Background[] | Foreground[]");
    undo();
    EXPECT_EQ(snapshot(), "selected 1: Background[A B C X] | Foreground[]");
}

TEST_F(DocumentTest, CopiedPictureFilesAreForgottenWithTheirLastUser)
{
    const auto withFile = [&](const QString& name, const QString& path) {
        LBGraphicPtr g = graphic(name);
        g->setImageFilePath(path, LBGraphic::FillImageType);
        return g;
    };
    document->rememberImageFile("/photos/beach.jpg", "/Card.quarnlb/1.jpg");
    document->rememberImageFile("/photos/mask.png", "/Card.quarnlb/2.png");
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(withFile("A", "/Card.quarnlb/1.jpg"), 0, 1);
    // The same file seen from the temporary copy: the name is what counts.
    document->insertGraphic(withFile("B", "/tmp/copy/1.jpg"), 1, 1);
    document->insertGraphic(withFile("C", "/elsewhere/2.png"), 2, 1);
    document->undoManager()->enableUndoRegistration();

    step([&] { document->moveGraphics(nullptr, 1, 0); }); // both layers hold each for a moment
    EXPECT_EQ(document->newImageFilePaths().size(), 2);

    step([&] { document->removeGraphicAtIndex(0, 0); }); // A; B still uses 1.jpg
    EXPECT_EQ(document->newImageFilePaths(),
              QStringList({"/Card.quarnlb/1.jpg", "/Card.quarnlb/2.png"}));
    step([&] { document->removeGraphicAtIndex(0, 0); }); // B, the last user of 1.jpg
    EXPECT_EQ(document->newImageFilePaths(), QStringList({"/Card.quarnlb/2.png"}));
    EXPECT_EQ(document->originalImageFilePaths(), QStringList({"/photos/mask.png"}));
    step([&] { document->removeGraphicAtIndex(0, 0); });
    EXPECT_TRUE(document->newImageFilePaths().isEmpty());
    EXPECT_TRUE(document->originalImageFilePaths().isEmpty());
}

TEST_F(DocumentTest, PageCountGrowsWithTheCurrentPagesLayersAndShrinksFromTheEnd)
{
    document->replaceLayerNameAtIndex(0, "Paper");
    document->printLayerAtIndex(1, false);
    document->selectLayerAtIndex(0);
    fill(1, {"A"});
    document->setPageCount(3);
    ASSERT_EQ(document->numPages(), 3);
    const QString empty = "selected 0: Paper[] | Foreground no-print[]";
    EXPECT_EQ(snapshot(),
              "selected 0: Paper[] | Foreground no-print[A] / " + empty + " / " + empty);

    document->setPageIndex(2, false);
    document->setPageCount(1);
    EXPECT_EQ(document->numPages(), 1);
    EXPECT_EQ(document->pageIndex(), 0);
    EXPECT_EQ(snapshot(), "selected 0: Paper[] | Foreground no-print[A]");

    // Pages inserted before the current one keep it current; the last page stays.
    document->insertPageWithGraphics({{graphic("P")}}, {"Cover"}, 0);
    EXPECT_EQ(document->pageIndex(), 1);
    EXPECT_EQ(document->graphicsOnPage(0)->at(0).at(0)->document(), document.get());
    document->removePageAtIndex(1);
    EXPECT_EQ(document->pageIndex(), 0);
    EXPECT_EQ(snapshot(), "selected 0: Cover[P]");
    const quint64 beeps = platform::beepCount();
    document->removePageAtIndex(0);
    EXPECT_EQ(platform::beepCount(), beeps + 1);
    EXPECT_EQ(document->numPages(), 1);
}

TEST_F(DocumentTest, LayerListsArePaddedToTheLayersAndNeverPast)
{
    // A page as a reader might leave it: layers without list entries.
    document->documentGraphics().append(LBDocument::Page(3));
    document->setPageIndex(1, false);
    EXPECT_EQ(document->layerNameAtIndex(0), "");    // read without repair
    EXPECT_TRUE(document->layerAtIndexIsVisible(7)); // past the layers: YES, nothing added
    EXPECT_EQ(snapshot(), "selected 1: Background[] | Foreground[] / "
                          "selected 0: New Layer[] | New Layer[] | New Layer[]");

    // Lists longer than the layers lose the entries past them.
    document->setPageIndex(0, false);
    document->insertLayerWithName("Third", 2);
    document->pageGraphics().removeLast();
    document->matchLayerListsToLayers(0);
    EXPECT_EQ(document->layerNameAtIndex(2), "");
    EXPECT_EQ(document->layerCount(), 2);
}

TEST_F(DocumentTest, ReplacingAPagesGraphicsIsUndoableAndAddsLayers)
{
    fill(1, {"A"});
    const LBDocument::Page layers = {{graphic("B")}, {graphic("C"), graphic("D")}, {graphic("E")}};
    step([&] { document->setGraphics(layers, 0); });
    EXPECT_EQ(snapshot(), "selected 1: Background[B] | Foreground[C D] | New Layer[E]");
    undo();
    EXPECT_EQ(snapshot(), "selected 1: Background[] | Foreground[A] | New Layer[]");

    // The page itself as the new contents.
    step([&] { document->setGraphics(document->pageGraphics(), 0); });
    EXPECT_EQ(snapshot(), "selected 1: Background[] | Foreground[A] | New Layer[]");
}

TEST_F(DocumentTest, SelectionStepsCountButLeaveTheDocumentClean)
{
    document->setFileName("/designs/Card.quarnlb");
    fill(1, {"A", "B"});
    const LBGraphicPtr a = document->pageGraphics()[1][0];

    step([&] { document->selectLayerAtIndex(0); }, "Selection Change");
    EXPECT_EQ(document->changeCount(), 1);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->validateMenuItem(platform::Document::MenuAction::SaveDocument));
    undo();
    EXPECT_FALSE(document->isDocumentEdited());
    redo();

    step([&] { document->moveGraphic(a, 2, 1); }, "Move");
    EXPECT_EQ(document->changeCount(), 2);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(document->validateMenuItem(platform::Document::MenuAction::RevertDocumentToSaved));
    undo();
    EXPECT_FALSE(document->isDocumentEdited()); // back at the saved state
    redo();
    EXPECT_TRUE(document->isDocumentEdited());

    document->resetChangeCount(); // saved
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->undoManager()->canUndo());
    EXPECT_FALSE(document->undoManager()->canRedo());

    // A change that no step records (the grid spacing) marks the document too.
    document->setGridSpacing(12, false);
    EXPECT_TRUE(document->isDocumentEdited());
    document->resetThenSetChangeCount();
    EXPECT_TRUE(document->isDocumentEdited());
}

TEST_F(DocumentTest, WindowControllerIsMadeByTheInstalledFactory)
{
    document->makeWindowControllers();
    EXPECT_EQ(document->windowController(), nullptr); // no factory: no window

    FakeWindowController* made = nullptr;
    DocumentWindowController::setFactory([&] { return made = new FakeWindowController; });
    document->setAddsQuarnLabelControls(true);
    document->makeWindowControllers();
    DocumentWindowController::setFactory({});
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(document->windowController(), made);
    EXPECT_TRUE(made->labelControls);
    EXPECT_EQ(made->document(), document.get());

    const LBGraphicPtr g = graphic("A");
    document->invalidateGraphic(g.get());
    EXPECT_EQ(made->invalidated, QList<LBGraphic*>({g.get()}));
}

TEST_F(DocumentTest, RemovingRetainersDetachesTheDocument)
{
    fill(1, {"A"});
    const LBGraphicPtr a = document->pageGraphics()[1][0];
    int graphicUndos = 0;
    step([&] {
        document->moveGraphic(a, 1, 1);
        document->undoManager()->registerUndo(a.get(), [&] { ++graphicUndos; });
        document->moveGraphic(a, 0, 1);
    });
    bool deferredRan = false;
    document->performAfterDelay([&] { deferredRan = true; });
    auto* controller = new FakeWindowController;
    document->addWindowController(controller);

    document->removeRetainers();
    QCoreApplication::processEvents();
    EXPECT_FALSE(deferredRan);
    platform::NotificationCenter::defaultCenter().post(LBImageQualityChanged);
    EXPECT_EQ(controller->refreshes, 0);             // no longer observed
    ASSERT_TRUE(document->undoManager()->canUndo()); // the graphic's own action stays
    undo();
    EXPECT_EQ(graphicUndos, 1);

    document->close();
    EXPECT_EQ(document->windowController(), nullptr);
}

TEST_F(DocumentTest, AuxiliaryInformationIsDroppedForSingleItemsButNotLabelPrinters)
{
    struct Case
    {
        qint64 labelType;
        QString maker;
        qint64 bits;
    };
    for (const Case& c :
         {Case{1, "Quarn", 3}, Case{4, "Quarn", 3}, Case{5, "Quarn", 0}, Case{17, "Quarn", 0},
          Case{97, "Quarn", 3}, Case{99, "Quarn", 3}, Case{100, "Quarn", 0}, Case{5, "DYMO", 3},
          Case{5, "Seiko", 3}, Case{300, "Brother", 3}, Case{2, "Zebra", 3}}) {
        document->setDrawAuxiliaryInfo(3, false);
        document->dimensionInfo()[DimensionInfo::labelType] = c.labelType;
        document->dimensionInfo()[DimensionInfo::paperManufacturer] = c.maker;
        document->resetDrawAuxiliaryInfoFlagIfNecessary();
        EXPECT_EQ(document->drawAuxiliaryInfo(), c.bits) << c.labelType << c.maker.toStdString();
    }
}
