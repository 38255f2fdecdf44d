// The layers view over a real document and canvas: rows and their items, the button
// layout, the name sheet (new, duplicate, rename), merge down, deleting layers and
// background rows, dragging rows, the eye and the solo preview, the background commands
// and their sheets, and which commands are offered.

#include "InspectorTestSupport.h"

#include "controls/LBSplitView.h"
#include "inspector/LBLayersController.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/Pasteboard.h"
#include "window/DesignModeController.h"

#include <QAbstractSlider>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

// Design mode as far as the layers view asks it: the canvas, deselecting.
class TestDesign : public DesignModeController
{
public:
    explicit TestDesign(LBGraphicView* canvas) : _canvas(canvas) {}
    void setWindowController(LBWindowController*) override {}
    void showPageInView(QWidget*, const QRectF&) override {}
    void hidePage(bool) override {}
    void saveState(double) override {}
    void restoreState() override {}
    void updateView() override {}
    LBPageView* pageView() const override { return nullptr; }
    QList<LBGraphicView*> graphicViews() const override { return {_canvas}; }
    void deselectAll() override { _canvas->clearSelection(); }
    bool textMode() const override { return false; }
    void setZoomFactor(double) override {}
    void scrollerFrameChanged() override {}
    void invalidateGraphic(LBGraphic*) override {}
    QImage previewImageFromGraphicView() override { return {}; }
    void customizeCounterField(const QVariantMap&, LBTextArea*) override {}
    void importCorbeil(const QString&, qint64, qint64) override {}
    void setShiftKeyDown(bool) override {}
    void openDrawer(bool, bool, bool) override {}
    bool drawerIsOpen() const override { return true; }
    void setDrawerMode(qint64) override {}
    QString documentDescriptionStr() const override { return {}; }
    void centerInspectorWindow() override {}

private:
    LBGraphicView* _canvas;
};

// A placeholder sheet that shows nothing and remembers where it was begun.
class TestPlaceholderSheet : public LBPlaceholderSettings
{
public:
    using LBPlaceholderSettings::LBPlaceholderSettings;
    void beginSheetForWindow(QWidget* window) override { begunOn = window; }
    QWidget* begunOn = nullptr;
};

class LayersView : public InspectorTest
{
protected:
    LayersView() : design(canvas)
    {
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts.append(alert.messageText);
            return platform::Alert::Response{answer, false};
        });
        // A page with a background colour, as new designs have.
        undo()->disableUndoRegistration();
        document->setHasBackgroundColor(true, document->pageIndex());
        document->setDrawBackgroundColor(true, document->pageIndex());
        undo()->enableUndoRegistration();
        layers = std::make_unique<LBLayersController>();
        layers->view()->resize(245, 300);
        layers->view()->show();
        layers->setEditController(&design);
        layers->setDocument(document.get());
        undo()->removeAllActions();
    }
    ~LayersView() override
    {
        layers.reset();
        platform::Alert::setResponder({});
        LBPlaceholderSettings::setFactory({});
    }

    QStringList rows() const
    {
        QStringList names;
        for (qint64 row = 0; row < layers->numRows(); ++row)
            names.append(layers->nameForRow(row));
        return names;
    }
    QStringList layerNames() const
    {
        QStringList names;
        for (qint64 i = 0; i < document->layerCount(); ++i)
            names.append(document->layerNameAtIndex(i));
        return names;
    }
    // Clicks the cell of a row (in the table's viewport).
    void clickCell(qint64 row, int column)
    {
        QTableView* table = layers->layersTable();
        const QRect cell = table->visualRect(table->model()->index(int(row), column));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // Types a name into the open name sheet and presses its button.
    void answerNameSheet(const QString& name, const QString& button)
    {
        ASSERT_TRUE(layers->nameSheet()->isVisible());
        layers->nameText()->clear();
        QTest::keyClicks(layers->nameText(), name);
        for (QPushButton* b : layers->nameSheet()->findChildren<QPushButton*>())
            if (b->text() == button)
                QTest::mouseClick(b, Qt::LeftButton);
    }
    void addLayer(const QString& name)
    {
        layers->newLayerAction();
        answerNameSheet(name, QStringLiteral("OK"));
        closeStep();
    }
    QString picture(const QString& name)
    {
        const QString path = files.filePath(name);
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::blue);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }

    TestDesign design;
    std::unique_ptr<LBLayersController> layers;
    QStringList alerts;
    int answer = platform::Alert::FirstButtonReturn;
    QTemporaryDir files;
};

} // namespace

TEST(LayersViewRules, ButtonWidthsAndThePromptRemap)
{
    const LBLayersController::ButtonWidths w = LBLayersController::buttonWidthsForTableWidth(245);
    EXPECT_EQ(w.plus, 41);
    EXPECT_EQ(w.minus, 41);
    EXPECT_EQ(w.layer, 66);
    EXPECT_EQ(w.background, 101);
    // Narrow tables keep 24-point plus and minus buttons.
    EXPECT_EQ(LBLayersController::buttonWidthsForTableWidth(80).plus, 24);

    const QList<qint64> toSheet = {3, 4, 2, 1, 7, 5, 8, 6};
    for (qint64 page = 1; page <= 8; ++page) {
        EXPECT_EQ(LBLayersController::sheetLocationForPageLocation(page), toSheet.at(page - 1));
        EXPECT_EQ(LBLayersController::pageLocationForSheetLocation(toSheet.at(page - 1)), page);
    }
    EXPECT_EQ(LBLayersController::sheetLocationForPageLocation(9), 9);
}

TEST_F(LayersView, RowsListLayersTopmostFirstThenTheBackgroundItems)
{
    EXPECT_EQ(rows(), (QStringList{"Foreground", "Background", "Background Color"}));
    EXPECT_EQ(layers->layerIndexForRowIndex(0), 1);
    EXPECT_EQ(layers->layerIndexForRowIndex(2), LBLayersController::BackgroundColorItem);
    EXPECT_EQ(layers->layerIndexForRowIndex(3), -1);
    // The document's selected layer (the foreground) is the selected row.
    EXPECT_EQ(layers->layersTable()->selectionModel()->selectedRows().first().row(), 0);

    const qint64 page = document->pageIndex();
    document->setBackgroundImagePath(picture("back.png"), true, page);
    layers->updateLayersView();
    EXPECT_EQ(rows(),
              (QStringList{"Foreground", "Background", "Background Image", "Background Color"}));
    // A placeholder keeps its pattern as the background picture: only its row shows.
    document->setHasBackgroundPlaceholder(true, page);
    layers->updateLayersView();
    EXPECT_EQ(rows(), (QStringList{"Foreground", "Background", "Background Placeholder",
                                   "Background Color"}));

    // The buttons fill the table's width, each overlapping the last by a point.
    EXPECT_EQ(layers->plusButton()->geometry().x(), 0);
    EXPECT_EQ(layers->minusButton()->geometry().x(), 40);
    EXPECT_EQ(layers->layerButton()->geometry(), QRect(80, 277, 66, 23));
    EXPECT_EQ(layers->backgroundButton()->width(), 101);
}

TEST_F(LayersView, TheNameSheetAddsDuplicatesAndRenamesEachAsOneStep)
{
    addLayer(QStringLiteral("Notes"));
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Notes"}));
    EXPECT_EQ(document->selectedLayerIndex(), 2);
    EXPECT_EQ(undoName(), undoStrings("New Layer"));
    EXPECT_FALSE(layers->sheetIsOpen());

    // New layer with the selection: the selected graphic moves into it.
    auto shape = add(QStringLiteral("r"), QRectF(10, 10, 20, 20), 2);
    canvas->selectGraphic(shape);
    layers->layerButtonAction(LBLayersController::NewLayerWithSelectionCommand);
    answerNameSheet(QStringLiteral("Moved"), QStringLiteral("OK"));
    EXPECT_EQ(undoName(), undoStrings("New Layer With Selection"));
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Notes", "Moved"}));
    EXPECT_EQ(document->pageGraphics().at(3), (QList<LBGraphicPtr>{shape}));
    EXPECT_TRUE(document->pageGraphics().at(2).isEmpty());
    undo()->undo();
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Notes"}));
    EXPECT_EQ(document->pageGraphics().at(2), (QList<LBGraphicPtr>{shape}));

    layers->layerButtonAction(LBLayersController::DuplicateLayerCommand);
    EXPECT_EQ(layers->nameText()->text(), "Notes");
    answerNameSheet(QStringLiteral("Notes copy"), QStringLiteral("OK"));
    EXPECT_EQ(undoName(), undoStrings("Duplicate Layer"));
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Notes", "Notes copy"}));
    EXPECT_EQ(document->pageGraphics().at(3).size(), 1);
    undo()->undo();
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Notes"}));

    // Renaming, cancelled, changes nothing; confirmed, renames.
    layers->layerButtonAction(LBLayersController::RenameLayerCommand);
    EXPECT_TRUE(layers->sheetIsOpen());
    answerNameSheet(QStringLiteral("Other"), QStringLiteral("Cancel"));
    EXPECT_FALSE(layers->sheetIsOpen());
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Notes"}));
    layers->layerButtonAction(LBLayersController::RenameLayerCommand);
    answerNameSheet(QStringLiteral("Other"), QStringLiteral("OK"));
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Other"}));
    EXPECT_EQ(rows().first(), "Other");

    // A name of nothing but spaces cannot be given, by the button or by Return.
    layers->layerButtonAction(LBLayersController::RenameLayerCommand);
    answerNameSheet(QStringLiteral("  "), QStringLiteral("OK"));
    QTest::keyClick(layers->nameText(), Qt::Key_Return);
    EXPECT_TRUE(layers->sheetIsOpen());
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Other"}));
    answerNameSheet(QStringLiteral("Notes"), QStringLiteral("OK"));
    EXPECT_FALSE(layers->sheetIsOpen());
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Notes"}));
}

TEST_F(LayersView, MergeDownMovesTheGraphicsAndNamesTheLayerBelow)
{
    addLayer(QStringLiteral("Top"));
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20), 1);
    auto b = add(QStringLiteral("b"), QRectF(40, 10, 20, 20), 2);
    undo()->removeAllActions();
    layers->layerButtonAction(LBLayersController::MergeDownCommand);
    EXPECT_EQ(undoName(), undoStrings("Merge Down"));
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Top"}));
    EXPECT_EQ(names(document->pageGraphics().at(1)), (QStringList{"b", "a"}));
    EXPECT_EQ(document->selectedLayerIndex(), 1);
    // Into the bottom layer: it keeps its own name.
    layers->layerButtonAction(LBLayersController::MergeDownCommand);
    EXPECT_EQ(layerNames(), (QStringList{"Background"}));
    EXPECT_EQ(document->pageGraphics().at(0).size(), 2);
    // The bottom layer merges no further, is not renamed and not deleted.
    EXPECT_FALSE(layers->validateMenuItem(LBLayersController::MergeDownCommand));
    EXPECT_FALSE(layers->validateMenuItem(LBLayersController::RenameLayerCommand));
    EXPECT_FALSE(layers->minusButton()->isEnabled());

    undo()->undo();
    undo()->undo();
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Top"}));
    EXPECT_EQ(names(document->pageGraphics().at(1)), (QStringList{"a"}));
    EXPECT_EQ(names(document->pageGraphics().at(2)), (QStringList{"b"}));
}

TEST_F(LayersView, DeletingAsksFirstAndBackgroundRowsClearTheirItem)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20), 1);
    undo()->removeAllActions();
    layers->selectRow(0);
    answer = platform::Alert::SecondButtonReturn;
    QTest::mouseClick(layers->minusButton(), Qt::LeftButton);
    EXPECT_EQ(alerts.last(), "Are you sure you want to delete the layer 'Foreground'?");
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground"}));
    answer = platform::Alert::FirstButtonReturn;
    QTest::mouseClick(layers->minusButton(), Qt::LeftButton);
    EXPECT_EQ(layerNames(), (QStringList{"Background"}));
    EXPECT_EQ(undoName(), undoStrings("Delete Layer"));
    undo()->undo();
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground"}));
    EXPECT_EQ(names(document->pageGraphics().at(1)), (QStringList{"a"}));

    // The image row takes a placeholder with it.
    const qint64 page = document->pageIndex();
    document->setBackgroundImagePath(picture("back.png"), true, page);
    document->setHasBackgroundPlaceholder(true, page);
    closeStep();
    layers->deleteLayerAtIndex(LBLayersController::BackgroundImageItem);
    EXPECT_EQ(undoName(), undoStrings("Clear Background Image"));
    EXPECT_FALSE(document->hasBackgroundPlaceholder(page));
    EXPECT_TRUE(document->backgroundImagePath(page).isEmpty());

    layers->selectRow(layers->rowIndexForLayerIndex(LBLayersController::BackgroundColorItem));
    EXPECT_TRUE(layers->minusButton()->isEnabled());
    layers->deleteLayerAction();
    EXPECT_EQ(alerts.last(), "Are you sure you want to delete the Background Color layer?");
    EXPECT_FALSE(document->hasBackgroundColor(page));
    EXPECT_EQ(undoName(), undoStrings("Clear Background Color"));
    EXPECT_EQ(rows(), (QStringList{"Foreground", "Background"}));
    undo()->undo();
    EXPECT_TRUE(document->hasBackgroundColor(page));
}

TEST_F(LayersView, DraggingMovesLayersButNotTheBottomOneOrTheBackground)
{
    addLayer(QStringLiteral("Top")); // rows: Top, Foreground, Background, Background Color
    undo()->removeAllActions();
    QMimeData data;
    // The bottom layer and the background rows stay put.
    EXPECT_FALSE(layers->writeRows({2}, &data));
    EXPECT_FALSE(layers->writeRows({3}, &data));
    ASSERT_TRUE(layers->writeRows({0}, &data));
    using Op = LBLayersController::DropOperation;
    EXPECT_EQ(layers->validateDrop(&data, 1, Op::On), Qt::IgnoreAction);
    EXPECT_EQ(layers->validateDrop(&data, 3, Op::Above), Qt::IgnoreAction); // below the bottom
    EXPECT_NE(layers->validateDrop(&data, 2, Op::Above), Qt::IgnoreAction);

    // Back onto its own place: nothing recorded.
    EXPECT_TRUE(layers->acceptDrop(&data, 1, Op::Above));
    closeStep();
    EXPECT_FALSE(undo()->canUndo());
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Top"}));

    // Through the table's model, as a drop between rows 1 and 2.
    QAbstractItemModel* model = layers->layersTable()->model();
    std::unique_ptr<QMimeData> dragged(model->mimeData({model->index(0, 2)}));
    ASSERT_NE(dragged, nullptr);
    EXPECT_TRUE(model->dropMimeData(dragged.get(), Qt::CopyAction, 2, 0, QModelIndex()));
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Top", "Foreground"}));
    EXPECT_EQ(undoName(), undoStrings("Reorder Layers"));
    EXPECT_EQ(document->selectedLayerIndex(), 1);
    undo()->undo();
    EXPECT_EQ(layerNames(), (QStringList{"Background", "Foreground", "Top"}));
}

TEST_F(LayersView, TheEyeTogglesOneItemAndThePreviewShowsOneAloneWithoutAStep)
{
    addLayer(QStringLiteral("Top"));
    const qint64 page = document->pageIndex();
    undo()->removeAllActions();
    document->updateChangeCount(platform::Document::ChangeCleared);
    ASSERT_FALSE(document->isDocumentEdited());

    // The eye (a click does not select the row).
    clickCell(1, LBLayersController::VisibleColumn);
    EXPECT_FALSE(document->layerAtIndexIsVisible(1));
    EXPECT_EQ(layers->visibleImageForRow(1), "LayerVisibleNo");
    EXPECT_EQ(undoName(), undoStrings("Toggle Layer Visibility"));
    EXPECT_EQ(layers->layersTable()->selectionModel()->selectedRows().first().row(), 0);
    undo()->undo();
    EXPECT_TRUE(document->layerAtIndexIsVisible(1));
    document->showLayerAtIndex(0, false); // "Background" hidden before the preview
    undo()->removeAllActions();
    document->updateChangeCount(platform::Document::ChangeCleared);
    const int steps = undo()->undoCount();

    // Held on the top row: everything else hides until the release.
    QTableView* table = layers->layersTable();
    const QPoint preview =
        table->visualRect(table->model()->index(0, LBLayersController::PreviewColumn)).center();
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, preview);
    EXPECT_TRUE(layers->previewRuns());
    EXPECT_TRUE(document->layerAtIndexIsVisible(2));
    EXPECT_FALSE(document->layerAtIndexIsVisible(1));
    EXPECT_FALSE(document->drawBackgroundColor(page));
    EXPECT_EQ(layers->visibleImageForRow(1), "LayerVisible0");  // visible before the preview
    EXPECT_EQ(layers->visibleImageForRow(2), "LayerVisibleNo"); // hidden before it
    EXPECT_EQ(layers->visibleImageForRow(3), "LayerVisible0");
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, preview);
    EXPECT_FALSE(layers->previewRuns());
    EXPECT_TRUE(document->layerAtIndexIsVisible(2));
    EXPECT_TRUE(document->layerAtIndexIsVisible(1));
    EXPECT_FALSE(document->layerAtIndexIsVisible(0));
    EXPECT_TRUE(document->drawBackgroundColor(page));
    closeStep();
    EXPECT_EQ(undo()->undoCount(), steps);
    EXPECT_FALSE(document->isDocumentEdited());

    // Leaving the button ends it too; a hidden item held alone shows meanwhile.
    const QPoint bottom =
        table->visualRect(table->model()->index(2, LBLayersController::PreviewColumn)).center();
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, bottom);
    EXPECT_TRUE(document->layerAtIndexIsVisible(0));
    QMouseEvent away(QEvent::MouseMove, QPointF(bottom + QPoint(0, 60)), QPointF(), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(table->viewport(), &away);
    EXPECT_FALSE(layers->previewRuns());
    EXPECT_FALSE(document->layerAtIndexIsVisible(0));
    EXPECT_TRUE(document->layerAtIndexIsVisible(2));
}

TEST_F(LayersView, BackgroundColorAndPictureSheetsSetThePage)
{
    const qint64 page = document->pageIndex();
    layers->backgroundButtonAction(LBLayersController::BackgroundColorCommand);
    EXPECT_TRUE(layers->colorSheet()->isVisible());
    layers->colorWell()->setColor(Qt::red);
    layers->backgroundColorSettingsAction(layers->colorWell());
    EXPECT_EQ(document->backgroundColor(page), QColor(Qt::red));
    EXPECT_EQ(undoName(), undoStrings("Background Color"));
    undo()->undo();
    EXPECT_NE(document->backgroundColor(page), QColor(Qt::red));

    // A page without a colour gets one when the sheet closes.
    layers->deleteLayerAtIndex(LBLayersController::BackgroundColorItem);
    closeStep();
    layers->backgroundButtonAction(LBLayersController::BackgroundColorCommand);
    for (QPushButton* b : layers->colorSheet()->findChildren<QPushButton*>())
        QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(document->hasBackgroundColor(page));
    EXPECT_TRUE(document->drawBackgroundColor(page));
    EXPECT_EQ(undoName(), undoStrings("Add Background Color"));
    EXPECT_FALSE(layers->colorSheet()->isVisible());

    // A picture from a file; the settings sheet follows.
    EXPECT_FALSE(layers->validateMenuItem(LBLayersController::BackgroundImageSettingsCommand));
    layers->backgroundImageChosen(files.filePath("missing.png"));
    EXPECT_TRUE(document->backgroundImagePath(page).isEmpty());
    // The user hears why nothing changed.
    ASSERT_FALSE(alerts.isEmpty());
    EXPECT_EQ(alerts.last(),
              QStringLiteral("The file \u201cmissing.png\u201d cannot be used as the background."));
    layers->backgroundImageChosen(picture("back.png"));
    EXPECT_EQ(undoName(), undoStrings("Set Background Image"));
    EXPECT_TRUE(document->drawBackgroundImage(page));
    EXPECT_TRUE(document->printBackgroundImage(page));
    EXPECT_TRUE(rows().contains("Background Image"));
    QApplication::processEvents();
    EXPECT_TRUE(layers->backgroundImageSheet()->isVisible());
    EXPECT_TRUE(layers->validateMenuItem(LBLayersController::BackgroundImageSettingsCommand));
    layers->backgroundImageScalingPopup()->setCurrentIndex(3);
    layers->backgroundImageSettingsAction(layers->backgroundImageScalingPopup());
    EXPECT_EQ(document->backgroundImageScaling(page), 3);
    EXPECT_EQ(undoName(), undoStrings("Background Image Scaling"));
    // Each item gives the scaling its title names, as in the design window's sheet.
    for (const auto& [title, code] :
         {std::pair{"Tile", 1}, std::pair{"Natural Size", 0}, std::pair{"Fill", 3}}) {
        const int item = layers->backgroundImageScalingPopup()->findText(QLatin1String(title));
        ASSERT_GE(item, 0) << title;
        layers->backgroundImageScalingPopup()->setCurrentIndex(item);
        layers->backgroundImageSettingsAction(layers->backgroundImageScalingPopup());
        EXPECT_EQ(document->backgroundImageScaling(page), code) << title;
    }
    layers->backgroundImageTransparencySlider()->setValue(40);
    EXPECT_DOUBLE_EQ(document->backgroundImageTransparency(page), 0.6);
    EXPECT_EQ(undoName(), undoStrings("Background Image Transparency"));

    // Changed elsewhere (the design window's sheet), the picture shows as it now is when
    // Background Image Settings… opens the sheet again.
    layers->backgroundImageSettingsAction(
        layers->backgroundImageSheet()->findChild<QPushButton*>());
    document->setBackgroundImageTransparency(0.9, page);
    layers->backgroundButtonAction(LBLayersController::BackgroundImageSettingsCommand);
    EXPECT_EQ(layers->backgroundImageTransparencySlider()->value(), 10);
    EXPECT_DOUBLE_EQ(document->backgroundImageTransparency(page), 0.9);
}

TEST_F(LayersView, ThePlaceholderCommandWaitsForItsSheetAndSavesWithTheRemap)
{
    EXPECT_FALSE(layers->validateMenuItem(LBLayersController::BackgroundPlaceholderCommand));
    TestPlaceholderSheet* made = nullptr;
    LBPlaceholderSettings::setFactory([&made](bool background) {
        auto sheet = std::make_unique<TestPlaceholderSheet>(background);
        made = sheet.get();
        return sheet;
    });
    ASSERT_TRUE(layers->validateMenuItem(LBLayersController::BackgroundPlaceholderCommand));
    QStringList posted;
    auto& center = platform::NotificationCenter::defaultCenter();
    auto hide = center.addObserver(LBHideHUD, nullptr,
                                   [&](const platform::Notification&) { posted << "hide"; });
    auto show = center.addObserver(LBShowHUD, nullptr,
                                   [&](const platform::Notification&) { posted << "show"; });

    const qint64 page = document->pageIndex();
    layers->backgroundButtonAction(LBLayersController::BackgroundPlaceholderCommand);
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->isForBackgroundPlaceholder());
    EXPECT_EQ(made->begunOn, layers->layersTable()->window());
    made->setPromptString(QStringLiteral("Photo here"));
    made->setPromptIsVertical(true);
    made->setPromptLocation(1);
    made->setPatternIndex(2);
    made->dismiss(true);
    EXPECT_EQ(posted, (QStringList{"hide", "show"}));
    EXPECT_EQ(undoName(), undoStrings("Define Background Placeholder"));
    EXPECT_TRUE(document->hasBackgroundPlaceholder(page));
    EXPECT_EQ(document->placeholderLabel(page), "Photo here");
    EXPECT_EQ(document->placeholderLabelPosition(page), 4);
    EXPECT_TRUE(document->drawBackgroundPlaceholder(page));
    EXPECT_EQ(rows().at(2), "Background Placeholder");

    // Opened again, the sheet shows the page's placeholder, its location remapped back.
    QApplication::processEvents();
    layers->defineBackgroundPlaceholderAction();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->promptString(), "Photo here");
    EXPECT_EQ(made->promptLocation(), 1);
    made->dismiss(false);
    EXPECT_EQ(document->placeholderLabel(page), "Photo here");
}

TEST_F(LayersView, CommandsNeedTheirItems)
{
    auto shape = add(QStringLiteral("r"), QRectF(10, 10, 20, 20), 1);
    canvas->selectGraphic(shape);
    EXPECT_FALSE(layers->validateMenuItem(LBLayersController::SelectedImageAsBackgroundCommand));
    QImage bitmap(20, 20, QImage::Format_RGB32);
    auto image = std::make_shared<LBImage>();
    image->setImage(platform::Image::fromBitmap(bitmap, QSizeF(20, 20)), LBGraphic::FillImageType);
    place(image);
    canvas->clearSelection();
    canvas->selectGraphic(image);
    EXPECT_TRUE(layers->validateMenuItem(LBLayersController::SelectedImageAsBackgroundCommand));
    EXPECT_TRUE(layers->validateMenuItem(LBLayersController::MergeDownCommand));

    layers->setDocument(nullptr);
    EXPECT_FALSE(layers->validateMenuItem(LBLayersController::NewLayerWithSelectionCommand));
    EXPECT_EQ(layers->numRows(), 0);
    EXPECT_EQ(layers->layerIndexForRowIndex(0), -1);

    platform::NotificationCenter::defaultCenter().post(LBMovieStarted);
    EXPECT_FALSE(layers->layersTable()->isEnabled());
    EXPECT_FALSE(layers->plusButton()->isEnabled());
    platform::NotificationCenter::defaultCenter().post(LBMovieStopped);
    EXPECT_TRUE(layers->backgroundButton()->isEnabled());
}

TEST_F(LayersView, ClosingTheViewLeavesNoUndoStepThatReachesIt)
{
    addLayer(QStringLiteral("Notes"));
    ASSERT_EQ(document->layerCount(), 3);
    ASSERT_TRUE(undo()->canUndo());
    // The user closes the layers view: what it recorded goes with it, and undoing what is
    // left is safe (it used to call the controller that was gone).
    layers.reset();
    if (undo()->canUndo())
        undo()->undo();
    EXPECT_EQ(document->layerCount(), 3);
}
