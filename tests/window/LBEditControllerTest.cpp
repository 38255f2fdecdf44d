// Design mode's controller in a real document window: selection and inspector hand-off,
// text mode, saving and restoring the view, the drawer, the design defaults and inserting,
// and the view's geometry, zoom, pop-ups, grid and sheets.

#include "WindowTestSupport.h"

#include "canvas/LBGraphicView.h"
#include "canvas/LBRulerView.h"
#include "document/LBDocument.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "platform/core/TextForms.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "platform/ui/KXPopUpImageButton.h"
#include "platform/ui/Responder.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"
#include "shapes/LBCircle.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"
#include "shapes/LBLine.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBRoundedRect.h"
#include "shapes/ShapeClasses.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <gtest/gtest.h>

#include <cmath>

namespace {

platform::UserDefaults& settings()
{
    return platform::UserDefaults::standardUserDefaults();
}

// Counts what design mode asks of a palette.
class RecordingPalette : public InspectorPalette
{
public:
    qint64 selectedToolsTag() const override { return tag; }
    void updateSelectedTools() override { ++toolUpdates; }
    qint64 tag = 2;
    int toolUpdates = 0;
    void forceSelectCropTools(bool, bool) override {}
    void centerWindowUnderSelectedGraphics() override { ++centred; }
    void updateFromGraphicView(CanvasView*) override { ++refreshes; }
    void addTextView(platform::TextView*) override { ++textViews; }
    void clearTextViews() override { textViews = 0; }
    void updateFontTools() override { ++fontReloads; }
    int refreshes = 0;
    int centred = 0;
    int textViews = 0;
    int fontReloads = 0;
};

// Gives the whole text the font in place, as the palette's Font pane does for the selected
// characters: the editor's selection stays where it is, and undo and redo come back the same
// way.
void giveFont(platform::TextStorage& text, platform::UndoManager& undo, const QFont& font)
{
    const QFont old =
        text.attributedString().attribute(platform::FontAttributeName, 0).value<QFont>();
    undo.registerUndo(&text, [&text, &undo, old] { giveFont(text, undo, old); });
    text.addAttribute(platform::FontAttributeName, QVariant::fromValue(font),
                      platform::Range(0, text.length()));
}

// A counter sheet that logs what it is asked to edit.
class LoggingCounterSheet : public CounterSheet
{
public:
    explicit LoggingCounterSheet(QStringList* log) : _log(log) {}
    void customizeCounterField(const QVariantMap&, LBTextArea*, QWidget* parent) override
    {
        _log->append(parent ? QStringLiteral("counter on window") : QStringLiteral("counter"));
    }

private:
    QStringList* _log;
};

// A drawer that logs the calls made of it.
class LoggingDrawer : public DesignDrawer
{
public:
    explicit LoggingDrawer(QStringList* log) : _log(log) {}
    QWidget* view() override { return &_view; }
    void setEditController(LBEditController*) override { _log->append("setEditController"); }
    void setMode(qint64 mode) override { _log->append(QStringLiteral("mode %1").arg(mode)); }
    void importCorbeil(const QString&, qint64, qint64) override { _log->append("import"); }
    void setShiftKeyDown(bool) override {}
    void setOutlineHeightFromPreferences() override {}
    void removeDarkLine() override { _log->append("removeDarkLine"); }
    void selectCorbeilImageType(const QString& type) override { _log->append("type " + type); }

private:
    QStringList* _log;
    QWidget _view;
};

class DesignController : public DocumentTest
{
protected:
    DesignController()
    {
        registerShapeClasses();
        forgetSettings();
        settings().setBool(true, QStringLiteral("LayersViewIsClosed"));
        DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
        DesignDrawer::setFactory([this] { return std::make_unique<LoggingDrawer>(&drawerLog); });
        LBProcessState::setInspectorPalette(&palette);
        document->setOpenedExistingFile(true); // no layout chooser
        window = showWindowOnDocument(*document);
        edit = static_cast<LBEditController*>(window->editController());
    }
    ~DesignController() override
    {
        if (document)
            document->close();
        document.reset();
        LBProcessState::setInspectorPalette(nullptr);
        DesignModeController::setFactory({});
        DesignDrawer::setFactory({});
        platform::Alert::setResponder(nullptr);
        forgetSettings();
    }

    // The settings the tests change, back to their registered values.
    static void forgetSettings()
    {
        for (const char* key :
             {"LBDrawerIsClosed", "LayersViewIsClosed", "Units Type", "Graphics Drawer Width",
              "DisableImageResolutionChangeAlert", "Image Quality", "Show Grid", "Show Grid Below",
              "Snap To Grid", "Draw Dynamic Guides"})
            settings().removeObjectForKey(QString::fromLatin1(key));
    }

    // A graphic of the class on the selected layer, of that frame.
    template <typename T>
    std::shared_ptr<T> add(const QRectF& bounds)
    {
        auto graphic = std::make_shared<T>();
        graphic->setBoundsNoOtherChanges(bounds);
        document->insertGraphic(graphic, 0, document->selectedLayerIndex());
        return graphic;
    }

    RecordingPalette palette;
    QStringList drawerLog;
    LBWindowController* window = nullptr; // owned by the document
    LBEditController* edit = nullptr;     // owned by the window controller
};

TEST_F(DesignController, IsMadeOnEntryWithItsCanvasOnThePageView)
{
    ASSERT_NE(edit, nullptr);
    ASSERT_EQ(edit->graphicViews().size(), 1);
    LBGraphicView* canvas = edit->graphicViews().first();
    EXPECT_EQ(edit->selectedGraphicView(), canvas);
    EXPECT_EQ(canvas->parentWidget(), edit->pageView());
    EXPECT_EQ(edit->scrollView()->documentView(), edit->pageView());
    EXPECT_NE(edit->horizontalRuler(), nullptr);
    EXPECT_NE(edit->verticalRuler(), nullptr);
    EXPECT_EQ(edit->mainView()->parentWidget(), window->designView());
    EXPECT_EQ(canvas->windowController(), window);
}

TEST_F(DesignController, ABurstOfSelectionChangesRefreshesTheInspectorOnce)
{
    auto a = add<LBRectangle>(QRectF(10, 10, 40, 40));
    auto b = add<LBRectangle>(QRectF(60, 10, 40, 40));
    QApplication::processEvents();
    palette.refreshes = 0;
    LBGraphicView* canvas = edit->selectedGraphicView();
    canvas->selectGraphic(a);
    canvas->selectGraphic(b);
    canvas->deselectGraphic(a);
    EXPECT_TRUE(edit->needsUpdate());
    EXPECT_EQ(palette.refreshes, 0);
    QApplication::processEvents();
    EXPECT_EQ(palette.refreshes, 1);
    EXPECT_FALSE(edit->needsUpdate());

    // Without a notification the update still runs when one is due.
    canvas->selectGraphic(a);
    edit->windowDidUpdate(nullptr);
    EXPECT_EQ(palette.refreshes, 2);
}

TEST_F(DesignController, IgnoresTheSelectionOfAnotherDocument)
{
    LBDocument other;
    LBGraphicView foreign;
    platform::NotificationCenter::defaultCenter().post(LBGraphicViewSelectionDidChange, &foreign);
    EXPECT_FALSE(edit->needsUpdate());
}

TEST_F(DesignController, SelectingTheSelectedCanvasRegistersNoUndoStep)
{
    platform::UndoManager* undo = document->undoManager();
    undo->removeAllActions();
    edit->selectGraphicView(edit->selectedGraphicView());
    EXPECT_FALSE(undo->canUndo());
}

TEST_F(DesignController, ThePaletteFollowsTheSelectionAStepUndoneOrRedoneMoves)
{
    auto box = add<LBRectangle>(QRectF(10, 10, 40, 40));
    LBGraphicView* canvas = edit->selectedGraphicView();
    canvas->selectGraphic(box);
    platform::UndoManager* undo = document->undoManager();
    undo->beginUndoGrouping();
    box->setBounds(QRectF(200, 150, 40, 40));
    undo->endUndoGrouping();
    QApplication::processEvents();
    palette.centred = 0;
    undo->undo();
    EXPECT_EQ(box->bounds().topLeft(), QPointF(10, 10));
    EXPECT_EQ(palette.centred, 1);
    undo->redo();
    EXPECT_EQ(palette.centred, 2);
    // A command that changes the selected graphics: Arrange > Natural Size.
    QAction natural;
    platform::setActionSelector(&natural, QStringLiteral("makeNaturalSize:"));
    canvas->setFocus();
    palette.centred = 0;
    ASSERT_TRUE(window->performAction(&natural));
    QApplication::processEvents();
    EXPECT_GE(palette.centred, 1);
}

TEST_F(DesignController, TextModeFollowsTheNotifications)
{
    auto text = add<LBTextArea>(QRectF(20, 20, 100, 30));
    text->setContents(QStringLiteral("Hello"));
    edit->startEditingText(nullptr);
    EXPECT_TRUE(edit->textMode());
    edit->setTextMode(false);

    edit->selectedGraphicView()->startEditingGraphic(text, nullptr, true);
    EXPECT_TRUE(edit->textMode());
    EXPECT_EQ(palette.textViews, 1);

    // Another document's drag changes nothing; this document's ends text mode.
    LBDocument other;
    platform::NotificationCenter::defaultCenter().post(LBStopEditingTextDuringDrag, &other);
    EXPECT_TRUE(edit->textMode());
    platform::NotificationCenter::defaultCenter().post(LBStopEditingTextDuringDrag, document.get());
    EXPECT_FALSE(edit->textMode());
    EXPECT_EQ(palette.textViews, 0);
}

TEST_F(DesignController, UndoAndRedoWhileEditingTextReloadTheTextPanes)
{
    auto text = add<LBTextArea>(QRectF(20, 20, 100, 30));
    text->setContents(QStringLiteral("Hello"));
    edit->selectedGraphicView()->startEditingGraphic(text, nullptr, true);
    platform::TextView* editor = text->textEditor();
    ASSERT_TRUE(edit->textMode());
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QApplication::processEvents(); // the steps of the set-up end here
    platform::UndoManager* undo = document->undoManager();
    giveFont(*editor->textStorage(), *undo, QFont(QStringLiteral("DejaVu Serif"), 20));
    QApplication::processEvents();
    const platform::Range selection = editor->selectedRange();
    palette.fontReloads = 0;

    undo->undo();
    EXPECT_EQ(editor->selectedRange(), selection); // so the editor has nothing to tell
    EXPECT_EQ(palette.fontReloads, 1);
    undo->redo();
    EXPECT_EQ(palette.fontReloads, 2);
}

TEST_F(DesignController, RestoresWithoutASaveToActualSize)
{
    window->setZoomSliderValue(8.0);
    edit->restoreState();
    EXPECT_DOUBLE_EQ(window->zoomSliderValue(), 6.0);
}

TEST_F(DesignController, SavesAndRestoresSelectionZoomAndScroll)
{
    auto kept = add<LBRectangle>(QRectF(10, 10, 40, 40));
    auto gone = add<LBRectangle>(QRectF(60, 10, 40, 40));
    window->setZoomSliderValue(8.0);
    QApplication::processEvents();
    LBGraphicView* canvas = edit->selectedGraphicView();
    canvas->selectGraphic(kept);
    canvas->selectGraphic(gone);
    edit->scrollView()->scrollToPoint(QPoint(40, 30));
    const QRect visible = edit->scrollView()->documentVisibleRect();
    edit->saveState(window->zoomSliderValue());
    edit->deselectAll();
    document->removeGraphic(gone, document->selectedLayerIndex());
    edit->scrollView()->scrollToPoint(QPoint(0, 0));
    window->setZoomSliderValue(6.0);

    edit->restoreState();
    EXPECT_DOUBLE_EQ(window->zoomSliderValue(), 8.0);
    const QList<LBGraphicPtr> selection = canvas->selectedGraphics(true);
    ASSERT_EQ(selection.size(), 1);
    EXPECT_EQ(selection.first(), kept);
    EXPECT_EQ(edit->scrollView()->documentVisibleRect().topLeft(), visible.topLeft());
}

TEST_F(DesignController, CardStockLines)
{
    struct Case
    {
        QString name;
        qint64 labelType;
        QString expected;
    } cases[] = {
        {"Kraft", 5, "Envelope - Kraft"},    {"Kraft", 2, "Kraft"},
        {"", 7, "Letterhead (custom size)"}, {"", 0, "Label (custom size)"},
        {"", 6, "Envelope (custom size)"},   {"", 9, " (custom size)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LBEditController::documentDescription(c.name, c.labelType), c.expected)
            << c.labelType;
}

TEST_F(DesignController, PlaceholderDoubleClickOpensTheRightBrowser)
{
    edit->openDrawer(false, true, false);
    drawerLog.clear();
    edit->placeholderDoubleClicked(QStringLiteral("Photo"));
    EXPECT_EQ(drawerLog.last(), "mode 2");
    drawerLog.clear();
    edit->placeholderDoubleClicked(QStringLiteral("Logo"));
    EXPECT_EQ(drawerLog, QStringList({"mode 3", "type Logo"}));
    drawerLog.clear();
    edit->placeholderDoubleClicked(QString());
    EXPECT_EQ(drawerLog, QStringList({"mode 2"}));
}

TEST_F(DesignController, APlaceholderDoubleClickOpensADrawerThatNeverWas)
{
    LBEditController fresh;
    EXPECT_FALSE(fresh.drawerIsOpen());
    fresh.placeholderDoubleClicked(QStringLiteral("Photo"));
    EXPECT_TRUE(fresh.drawerIsOpen());
    ASSERT_NE(fresh.drawerController(), nullptr);
    EXPECT_EQ(drawerLog.last(), "mode 2");
}

TEST_F(DesignController, ClosingTheDrawerStoresItsWidthAndTheSetting)
{
    ASSERT_TRUE(edit->drawerIsOpen());
    edit->drawerController()->view()->resize(233, 300);
    edit->openDrawer(false, true, false);
    EXPECT_FALSE(edit->drawerIsOpen());
    EXPECT_EQ(settings().integerForKey(QStringLiteral("Graphics Drawer Width")), 233);
    EXPECT_TRUE(settings().boolForKey(QStringLiteral("LBDrawerIsClosed")));
    EXPECT_TRUE(drawerLog.contains("removeDarkLine"));
    edit->openDrawer(true, true, false);
    EXPECT_TRUE(edit->drawerIsOpen());
    EXPECT_FALSE(settings().boolForKey(QStringLiteral("LBDrawerIsClosed")));
    EXPECT_EQ(edit->drawerController()->view()->parentWidget(), window->drawerTopView());
}

TEST_F(DesignController, TheDrawerFillsItsPaneAtEveryWindowSize)
{
    QWidget* drawer = edit->drawerController()->view();
    ASSERT_EQ(drawer->parentWidget(), window->drawerTopView());
    for (const QSize size : {QSize(1600, 900), QSize(700, 500), QSize(1000, 700)}) {
        window->window()->resize(size);
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        EXPECT_EQ(drawer->geometry(), window->drawerTopView()->rect()) << size.width();
        EXPECT_EQ(window->drawerTopView()->width(), window->drawerSuperview()->width())
            << size.width();
    }
}

TEST_F(DesignController, AHiddenPaletteWaitsForAnyWindowToShowIt)
{
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    {
        // A second design controller (another window's) observes the same names.
        LBEditController other;
        center.post(QStringLiteral("LBHideHUD"));
        EXPECT_EQ(LBProcessState::inspectorPalette(), nullptr);
        EXPECT_EQ(LBEditController::hiddenInspector(), &palette);
    }
    // The other one went; the palette still waits, and comes back once.
    palette.refreshes = 0;
    center.post(QStringLiteral("LBShowHUD"));
    EXPECT_EQ(LBProcessState::inspectorPalette(), &palette);
    EXPECT_EQ(LBEditController::hiddenInspector(), nullptr);
    EXPECT_EQ(palette.refreshes, 1);
}

TEST_F(DesignController, AHiddenPaletteThatGoesAwayIsNotShownAgain)
{
    // The palette a sheet hid is destroyed before the sheet ends (the program quitting, a
    // test's palette): the next LBShowHUD finds no palette rather than the one that went.
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    auto hidden = std::make_unique<RecordingPalette>();
    LBProcessState::setInspectorPalette(hidden.get());
    center.post(QStringLiteral("LBHideHUD"));
    ASSERT_EQ(LBEditController::hiddenInspector(), hidden.get());
    hidden.reset();
    EXPECT_EQ(LBEditController::hiddenInspector(), nullptr);
    center.post(QStringLiteral("LBShowHUD"));
    EXPECT_EQ(LBProcessState::inspectorPalette(), nullptr);
    EXPECT_TRUE(LBProcessState::allInspectorPalettes().isEmpty());
}

TEST_F(DesignController, DraggingAGraphicUpdatesThePaletteToolsUnlessTag20)
{
    auto shape = add<LBRectangle>(QRectF(10, 10, 20, 20));
    LBRectangle foreign;
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    center.post(LBDraggingGraphicNotification, &foreign);
    EXPECT_EQ(palette.toolUpdates, 0);
    center.post(LBDraggingGraphicNotification, shape.get());
    EXPECT_EQ(palette.toolUpdates, 1);
    palette.tag = 20;
    center.post(LBDraggingGraphicNotification, shape.get());
    EXPECT_EQ(palette.toolUpdates, 1);
}

TEST_F(DesignController, TheCounterSheetIsMadeOnFirstUse)
{
    LBTextArea text;
    edit->customizeCounterField({}, &text); // no factory: nothing opens
    int made = 0;
    QStringList log;
    CounterSheet::setFactory([&] {
        ++made;
        return std::make_unique<LoggingCounterSheet>(&log);
    });
    edit->customizeCounterField({}, &text);
    edit->customizeCounterField({}, &text);
    CounterSheet::setFactory({});
    EXPECT_EQ(made, 1);
    EXPECT_EQ(log, QStringList({"counter on window", "counter on window"}));
}

TEST_F(DesignController, MouseDownSelectsOnlyItsOwnCanvases)
{
    LBGraphicView foreign;
    platform::NotificationCenter::defaultCenter().post(LBMouseDownInGraphicViewNotification,
                                                       &foreign);
    EXPECT_EQ(edit->selectedGraphicView(), edit->graphicView());
}

TEST_F(DesignController, PaperSizeFromTheCanvasNotification)
{
    const auto post = [&](const void* sender) {
        platform::NotificationCenter::defaultCenter().post(
            QStringLiteral("LBUpdateEditingView"), sender,
            {{QStringLiteral("paperSize"), platform::stringFromSize(QSizeF(2000, 1500))}});
    };
    LBGraphicView foreign;
    post(&foreign);
    EXPECT_LT(edit->pageView()->pageSize().width(), 2000 * edit->zoomFactor());
    post(edit->graphicView());
    const double z = edit->zoomFactor();
    EXPECT_EQ(edit->pageView()->pageSize(), QSizeF(std::trunc(2000 * z), std::trunc(1500 * z)));
    EXPECT_GE(edit->pageView()->width(), int(std::trunc(2000 * z) + 14));
}

TEST_F(DesignController, PreviewImageOfTheFirstCanvasIsThePageSize)
{
    const QImage image = edit->previewImageFromGraphicView();
    const QRectF page = edit->graphicView()->visiblePageRect();
    EXPECT_EQ(image.size(), QSize(int(page.width()), int(page.height())));
}

// ==== Design defaults and inserting ======================================================

TEST_F(DesignController, LearnsSizesAndSettingsFromTheSelection)
{
    auto rounded = std::make_shared<LBRoundedRect>();
    rounded->setAlternateShape(1);
    rounded->setBoundsNoOtherChanges(QRectF(0, 0, 120, 80));
    edit->learnDefaultsFromGraphic(*rounded);
    EXPECT_EQ(edit->createShapeOfClass("LBRoundedRect", 1)->bounds().size(), QSizeF(120, 80));
    EXPECT_EQ(edit->createShapeOfClass("LBRoundedRect", 0)->bounds().size(), QSizeF(50, 50));

    auto circle = std::make_shared<LBCircle>();
    circle->setBoundsNoOtherChanges(QRectF(0, 0, 30, 30));
    circle->setStrokeLineWidth(3);
    edit->learnDefaultsFromGraphic(*circle);
    auto text = std::make_shared<LBTextArea>();
    text->setStrokeLineWidth(7);
    edit->learnDefaultsFromGraphic(*text);
    EXPECT_EQ(edit->rememberedSize("LBCircle"), QSizeF(30, 30));
    EXPECT_DOUBLE_EQ(edit->defaults().shapeStrokeWidth, 3);

    auto line = std::make_shared<LBLine>();
    line->setStrokeLineWidth(0);
    edit->learnDefaultsFromGraphic(*line);
    EXPECT_DOUBLE_EQ(edit->defaults().lineStrokeWidth, 0);
    EXPECT_DOUBLE_EQ(edit->createShapeOfClass("LBLine", 0)->strokeLineWidth(), 1.0);
}

TEST_F(DesignController, CreatesShapesWithTheDefaults)
{
    const struct
    {
        const char* name;
        QSizeF size;
    } sizes[] = {{"LBRectangle", {50, 50}},
                 {"LBSemiCircle", {50, 25}},
                 {"LBArrow", {100, 50}},
                 {"LBSpeechBubble", {50, 50}},
                 {"LBCurvedLine", {8, 8}}};
    for (const auto& s : sizes) {
        LBGraphicPtr graphic = edit->createShapeOfClass(s.name, 0);
        ASSERT_NE(graphic, nullptr) << s.name;
        EXPECT_EQ(graphic->bounds(), QRectF(QPointF(0, 0), s.size)) << s.name;
    }
    auto curve =
        std::dynamic_pointer_cast<LBCurvedLine>(edit->createShapeOfClass("LBCurvedLine", 0));
    EXPECT_EQ(curve->numControlPoints(), 1);
    EXPECT_EQ(edit->createShapeOfClass("NoSuchClass", 0), nullptr);

    // Stroke off and no fill: the new shape still shows its stroke.
    edit->defaults().shapeStrokeOn = false;
    edit->defaults().shapeFillType = 0;
    EXPECT_TRUE(edit->createShapeOfClass("LBRectangle", 0)->drawsStroke());
    edit->defaults().shapeFillType = 1;
    LBGraphicPtr filled = edit->createShapeOfClass("LBRectangle", 0);
    EXPECT_EQ(filled->fillType(), 1);
    EXPECT_FALSE(filled->drawsStroke());

    edit->defaults().shapeStrokeWidth = 2.75;
    LBRectangle shape;
    edit->applyDefaultShapeSettingsToGraphic(shape);
    EXPECT_DOUBLE_EQ(shape.strokeLineWidth(), 2.0);
}

TEST_F(DesignController, NewTextBoxSizes)
{
    EXPECT_EQ(LBEditController::newTextBoxSize(QSizeF(40, 15), 1, false), QSizeF(100, 30));
    EXPECT_EQ(LBEditController::newTextBoxSize(QSizeF(40, 15), 2, false), QSizeF(40, 40));
    EXPECT_EQ(LBEditController::newTextBoxSize(QSizeF(40, 15), 1, true), QSizeF(40, 15));
}

TEST_F(DesignController, ANewTextBoxIsCentredInsertedAndEdited)
{
    edit->createTextBoxAction(1);
    LBGraphicView* canvas = edit->selectedGraphicView();
    const QList<LBGraphicPtr> selection = canvas->selectedGraphics(true);
    ASSERT_EQ(selection.size(), 1);
    EXPECT_TRUE(selection.first()->isTextBox());
    EXPECT_EQ(canvas->editingGraphic(), selection.first().get());
    EXPECT_TRUE(edit->textMode());
    const QRectF visible = canvas->visibleRect().intersected(canvas->visiblePageRect());
    EXPECT_NEAR(selection.first()->bounds().center().x(), visible.center().x(), 0.5);
    EXPECT_NEAR(selection.first()->bounds().center().y(), visible.center().y(), 0.5);
}

TEST_F(DesignController, InsertingACurveEntersPointEditing)
{
    edit->insertGraphic(edit->createShapeOfClass("LBCurvedLine", 0), true);
    EXPECT_TRUE(window->bezierMode());
    EXPECT_NE(edit->selectedGraphicView()->editingBezierGraphic(), nullptr);

    // Escape, as the hint says, finishes the line.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(edit->selectedGraphicView(), &escape);
    EXPECT_FALSE(window->bezierMode());
    LBGraphicPtr rectangle = edit->createShapeOfClass("LBRectangle", 0);
    edit->insertGraphic(rectangle, true);
    EXPECT_TRUE(edit->selectedGraphicView()->graphicIsSelected(rectangle.get()));
    // Edit > Undo names what it takes back (a double-click in the shapes drawer).
    QApplication::processEvents();
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Insert Object"));
}

TEST_F(DesignController, AnImageFileFillsOneSelectedPhotoPlaceholder)
{
    const QString path = QDir(LBProcessState::temporaryFolderPath()).filePath("photo.png");
    QImage pixels(40, 30, QImage::Format_RGB32);
    pixels.fill(Qt::blue);
    ASSERT_TRUE(pixels.save(path));
    auto placeholder = add<LBRectangle>(QRectF(10, 10, 100, 100));
    placeholder->setIsPlaceholder(true);
    placeholder->setPlaceholderTypeString(QStringLiteral("Photo"));
    placeholder->setDrawPlaceholderText(true);
    auto other = add<LBRectangle>(QRectF(150, 10, 20, 20));
    LBGraphicView* canvas = edit->selectedGraphicView();
    const auto count = [&] {
        return canvas->graphics()->value(document->selectedLayerIndex()).size();
    };
    const qsizetype before = count();

    // Two selected: a new image.
    canvas->selectGraphic(placeholder);
    canvas->selectGraphic(other);
    edit->insertImageAtPath(path);
    EXPECT_EQ(count(), before + 1);

    // The placeholder alone: it takes the picture, nothing is added.
    canvas->clearSelection();
    canvas->selectGraphic(placeholder);
    edit->insertImageAtPath(path);
    EXPECT_FALSE(placeholder->drawsPlaceholderText());
    // A shape placeholder places its photo by a re-crop; Return ends it.
    ASSERT_NE(canvas->croppingImage(), nullptr);
    canvas->insertNewline(nullptr);
    EXPECT_EQ(count(), before + 1);
    EXPECT_TRUE(placeholder->isImageCrop());
}

TEST_F(DesignController, ReturnAndEscapeEndACropStartedFromTheToolbarWhereverTheFocusWas)
{
    QImage pixels(60, 40, QImage::Format_RGB32);
    pixels.fill(Qt::green);
    LBGraphicView* canvas = edit->selectedGraphicView();
    QAction* crop = nullptr;
    for (QAction* item : window->toolbar()->items())
        if (platform::Toolbar::itemIdentifier(item) == QLatin1String("LBCropID"))
            crop = item;
    ASSERT_NE(crop, nullptr);
    // The focus is in a field of the window (as in the drawer's browser after a
    // double-click) when the toolbar's Crop is clicked.
    auto* elsewhere = new QLineEdit(window->window());
    elsewhere->show();
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        auto photo = add<LBImage>(QRectF(20, 20, 60, 40));
        photo->setImage(platform::Image::fromBitmap(pixels, QSizeF(60, 40)),
                        LBGraphic::FillImageType);
        canvas->clearSelection();
        canvas->selectGraphic(photo);
        elsewhere->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), elsewhere);
        window->toolbar()->validateVisibleItems();
        ASSERT_TRUE(crop->isEnabled());
        crop->trigger();
        ASSERT_NE(canvas->croppingImage(), nullptr);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        EXPECT_EQ(canvas->croppingImage(), nullptr) << key;
        // Finished, the photo went into its crop; cancelled, it stays as it was.
        EXPECT_EQ(canvas->graphics()->value(document->selectedLayerIndex()).contains(photo),
                  key == Qt::Key_Escape)
            << key;
    }
}

TEST_F(DesignController, APhotoThatIsNoPictureIsRefusedAloud)
{
    // A file named as a picture that holds none, double-clicked in the photos drawer.
    const QString path = QDir(LBProcessState::temporaryFolderPath()).filePath("broken.png");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    QStringList said;
    platform::Alert::setResponder([&said](const platform::Alert& alert, QWidget*) {
        said << alert.messageText << alert.informativeText;
        return platform::Alert::Response{platform::Alert::FirstButtonReturn, false};
    });
    LBGraphicView* canvas = edit->selectedGraphicView();
    const qsizetype before = canvas->graphics()->value(document->selectedLayerIndex()).size();
    edit->insertImageAtPath(path);
    EXPECT_EQ(canvas->graphics()->value(document->selectedLayerIndex()).size(), before);
    EXPECT_EQ(said,
              (QStringList{QStringLiteral("The file \u201cbroken.png\u201d cannot be imported."),
                           QStringLiteral("The file is not a picture Veltrin can read.")}));
}

TEST_F(DesignController, BackgroundFromTheSelectedImage)
{
    const QString path = QDir(LBProcessState::temporaryFolderPath()).filePath("picture.png");
    QImage pixels(20, 10, QImage::Format_RGB32);
    pixels.fill(Qt::red);
    ASSERT_TRUE(pixels.save(path));
    LBGraphicView* canvas = edit->selectedGraphicView();
    ASSERT_TRUE(canvas->makeNewImageFromContentsOfFile(path, QPointF(-1, -1), QSizeF(-1, -1)));
    const qint64 page = document->pageIndex();
    // As on a new page, which draws and prints no background picture.
    document->setDrawBackgroundImage(false, page);
    document->setPrintBackgroundImage(false, page);
    EXPECT_TRUE(edit->useSelectedImageAsBackgroundAction(false));
    EXPECT_FALSE(document->backgroundImagePath(page).isEmpty());
    EXPECT_EQ(document->backgroundImageScaling(page), 3);
    // The picture is to be seen and printed.
    EXPECT_TRUE(document->drawBackgroundImage(page));
    EXPECT_TRUE(document->printBackgroundImage(page));

    // A shape has no picture to use: nothing changes, a beep.
    document->setBackgroundImagePath(QString(), false, page);
    canvas->clearSelection();
    auto shape = add<LBRectangle>(QRectF(10, 10, 20, 20));
    canvas->selectGraphic(shape);
    const quint64 beeps = platform::beepCount();
    EXPECT_FALSE(edit->useSelectedImageAsBackgroundAction(true));
    EXPECT_EQ(platform::beepCount(), beeps + 1);
    EXPECT_TRUE(document->backgroundImagePath(page).isEmpty());
}

// ==== View, zoom, grid and sheets ========================================================

TEST_F(DesignController, ASmallPaperFillsTheArea)
{
    document->dimensionInfo()["pageWidth"] = 100;
    edit->updateViewForPaperSize(QSizeF(100, 80));
    const double allowanceV = edit->rulersAreVisible() ? edit->verticalRuler()->ruleThickness() : 0;
    EXPECT_EQ(edit->pageView()->width(), int(edit->mainView()->width() - 2 - allowanceV));
    EXPECT_EQ(edit->graphicViews().first()->size(), edit->pageView()->size());
}

TEST_F(DesignController, ZoomKeepsTheCentre)
{
    window->setZoomSliderValue(9.0);
    QApplication::processEvents();
    platform::ScrollView* scroll = edit->scrollView();
    scroll->scrollToPoint(QPoint(300, 200));
    const QRect before = scroll->documentVisibleRect();
    const QSize sizeBefore = edit->pageView()->size();
    const QPointF fraction(before.center().x() / double(sizeBefore.width()),
                           before.center().y() / double(sizeBefore.height()));
    window->setZoomSliderValue(9.5);
    const QRect after = scroll->documentVisibleRect();
    const QSize sizeAfter = edit->pageView()->size();
    EXPECT_NEAR(after.center().x() / double(sizeAfter.width()), fraction.x(), 0.01);
    EXPECT_NEAR(after.center().y() / double(sizeAfter.height()), fraction.y(), 0.01);
}

TEST_F(DesignController, ZoomPopupItems)
{
    EXPECT_DOUBLE_EQ(LBEditController::zoomSliderValueForPopupIndex(4), 6.0);
    EXPECT_DOUBLE_EQ(LBEditController::zoomSliderValueForPopupIndex(11), 9.537);
    EXPECT_DOUBLE_EQ(LBEditController::zoomSliderValueForPopupIndex(-1), 2.0);
    window->setZoomSliderValue(6.0);
    edit->zoomPopupAction(14);
    EXPECT_DOUBLE_EQ(window->zoomSliderValue(), 6.0);
    edit->zoomPopupAction(12);
    EXPECT_DOUBLE_EQ(window->zoomSliderValue(), 9.786);

    // The window's pop-up reaches design only while design shows.
    platform::KXPopUpImageButton* zoom = window->zoomPopupButton();
    zoom->chooseItemAtIndex(4);
    EXPECT_DOUBLE_EQ(window->zoomSliderValue(), 6.0);
    edit->hidePage(false);
    zoom->chooseItemAtIndex(12);
    EXPECT_DOUBLE_EQ(window->zoomSliderValue(), 6.0);
}

TEST_F(DesignController, DpiPopup)
{
    LBProcessState::setImageDisplayResolution(200);
    edit->updateDpiPopup();
    platform::KXPopUpImageButton* popup = window->dpiPopupButton();
    ASSERT_EQ(popup->numberOfItems(), 7);
    EXPECT_EQ(popup->itemTitleAtIndex(4), "Custom (200 dpi)");
    EXPECT_EQ(popup->indexOfSelectedItem(), 4);
    EXPECT_EQ(popup->itemTitleAtIndex(6), "Other...");
    // Pictures before the presets and the custom value; separator lines between.
    for (int i : {0, 1, 2, 4})
        EXPECT_NE(popup->itemImage(i), nullptr) << i;
    EXPECT_EQ(popup->itemImage(6), nullptr);
    EXPECT_TRUE(popup->isSeparatorItem(3));
    EXPECT_TRUE(popup->isSeparatorItem(5));
    popup->chooseItemAtIndex(3); // never chosen
    EXPECT_EQ(popup->indexOfSelectedItem(), 4);

    // "Other..." changes nothing.
    edit->dpiPopupAction(6);
    EXPECT_EQ(LBProcessState::imageDisplayResolution(), 200);
    EXPECT_EQ(popup->indexOfSelectedItem(), 4);

    int alerts = 0;
    platform::Alert::setResponder([&](const platform::Alert&, QWidget*) {
        ++alerts;
        return platform::Alert::Response{platform::Alert::FirstButtonReturn, true};
    });
    edit->dpiPopupAction(0);
    EXPECT_EQ(LBProcessState::imageDisplayResolution(), 72);
    EXPECT_EQ(settings().integerForKey(QStringLiteral("Image Quality")), 72);
    EXPECT_EQ(alerts, 1);
    EXPECT_TRUE(settings().boolForKey(QStringLiteral("DisableImageResolutionChangeAlert")));
    edit->dpiPopupAction(2);
    EXPECT_EQ(alerts, 1);
}

TEST_F(DesignController, GridToggles)
{
    LBGraphicView* canvas = edit->selectedGraphicView();
    canvas->setShowsGrid(2);
    edit->toggleGridAbove();
    EXPECT_EQ(canvas->showsGrid(), 1);
    EXPECT_TRUE(settings().boolForKey(QStringLiteral("Show Grid")));
    edit->toggleGridAbove();
    EXPECT_EQ(canvas->showsGrid(), 0);
    edit->toggleGridBelow();
    EXPECT_EQ(canvas->showsGrid(), 2);
    EXPECT_TRUE(settings().boolForKey(QStringLiteral("Show Grid Below")));
    edit->hideGrid();
    EXPECT_EQ(canvas->showsGrid(), 0);
}

TEST_F(DesignController, GridSheetShowsUnitsAndRefusesTinySpacings)
{
    document->setGridSpacing(36, false);
    settings().setInteger(0, QStringLiteral("Units Type"));
    edit->gridSettingsAction();
    EXPECT_EQ(edit->gridSpacingField()->text(), "0.500000");
    edit->gridSettingsUnitsChanged(1);
    EXPECT_EQ(edit->gridSpacingField()->text(), "1.270000");

    const quint64 beeps = platform::beepCount();
    edit->gridSettingsUnitsChanged(2);
    edit->gridSpacingField()->setText("0.5");
    EXPECT_FALSE(edit->gridSettingsButtonAction(1));
    EXPECT_EQ(platform::beepCount(), beeps + 1);
    EXPECT_DOUBLE_EQ(document->gridSpacing(), 36);

    edit->gridSpacingField()->setText("18");
    edit->guideSpacingField()->setText("4");
    edit->printGridCheckbox()->setChecked(true);
    EXPECT_TRUE(edit->gridSettingsButtonAction(1));
    EXPECT_DOUBLE_EQ(document->gridSpacing(), 18);
    EXPECT_EQ(document->guideSpacing(), 4);
    EXPECT_TRUE(document->printGrid());
}

TEST_F(DesignController, MovingOneInchMovesSeventyTwoPoints)
{
    auto shape = add<LBRectangle>(QRectF(10, 10, 20, 20));
    edit->selectedGraphicView()->selectGraphic(shape);
    settings().setInteger(0, QStringLiteral("Units Type"));
    edit->moveGraphicsAction();
    EXPECT_EQ(edit->moveGraphicsXUnitsText()->text(), "in");
    edit->moveGraphicsDeltaXField()->setText("1");
    edit->moveGraphicsDeltaYField()->setText("0");
    const double x = shape->bounds().x();
    edit->moveGraphicsButtonAction(1);
    EXPECT_NEAR(shape->bounds().x() - x, 72.0, 1.0);

    // What the user types over the selected distances: a comma is a decimal point too, and
    // what is not a number is refused as typed, never taken silently as no move.
    struct Case
    {
        const char* typed;
        const char* shown;
        double points;
    };
    for (const Case c : {Case{"0,5", "0,5", 36}, Case{"0.25", "0.25", 18}, Case{"-1", "-1", -72},
                         Case{"2 in", "2", 144}, Case{"", "", 0}}) {
        edit->moveGraphicsAction();
        QLineEdit* field = edit->moveGraphicsDeltaYField();
        EXPECT_TRUE(edit->moveGraphicsDeltaXField()->hasSelectedText()
                    || edit->moveGraphicsDeltaXField()->text().isEmpty());
        edit->moveGraphicsDeltaXField()->setText("0");
        field->selectAll();
        field->del();
        for (const QChar typed : QString::fromUtf8(c.typed))
            field->insert(typed);
        EXPECT_EQ(field->text(), QString::fromUtf8(c.shown)) << c.typed;
        const double y = shape->bounds().y();
        edit->moveGraphicsButtonAction(1);
        EXPECT_NEAR(shape->bounds().y() - y, c.points, 0.01) << c.typed;
    }
}

TEST_F(DesignController, BackgroundSheetTransparencyIsTheInverseOfTheSlider)
{
    edit->backgroundImageTransparencyChanged(0.25);
    EXPECT_DOUBLE_EQ(document->backgroundImageTransparency(document->pageIndex()), 0.75);
    edit->backgroundImageScalingChanged(2);
    EXPECT_EQ(document->backgroundImageScaling(document->pageIndex()), 2);

    // The canvas asks the window for the sheet; it opens on the design window.
    window->backgroundImageSheetAction(nullptr);
    EXPECT_TRUE(edit->backgroundImageSheet()->isVisible());
    EXPECT_EQ(edit->backgroundImageScalingPopup()->currentIndex(), 2);
    EXPECT_EQ(edit->backgroundImageTransparencySlider()->value(), 25);
    edit->backgroundImageSettingsButton(1);
    EXPECT_FALSE(edit->backgroundImageSheet()->isVisible());

    document->setBackgroundImagePath(QStringLiteral("/nowhere/picture.png"), false,
                                     document->pageIndex());
    edit->backgroundImageSettingsButton(2);
    EXPECT_TRUE(document->backgroundImagePath(document->pageIndex()).isEmpty());
}

TEST_F(DesignController, RulersTakeTheUnits)
{
    settings().setInteger(1, QStringLiteral("Units Type"));
    edit->changeDisplayUnits();
    EXPECT_EQ(edit->horizontalRuler()->measurementUnits(), "Centimeters");
    EXPECT_DOUBLE_EQ(LBEditController::pointsPerUnit(1), 28.3464567);
}

} // namespace
