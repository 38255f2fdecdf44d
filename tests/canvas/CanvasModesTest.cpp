// The canvas outside mouse tracking: which cursor shows where, what the keys do, which
// commands the menus offer, the contextual menu, the questions before a quick page or a
// paper is placed, and graphics dropped into the favourites during a drag.

#include "CanvasTestSupport.h"

#include "graphics/InspectorPalette.h"

#include "platform/core/TextForms.h"
#include "platform/drawing/Image.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Alert.h"
#include "platform/ui/TextView.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"
#include "shapes/LBRoundedRect.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>

namespace {

using Kind = LBGraphicView::CursorKind;

class CanvasModes : public CanvasTest
{
protected:
    ~CanvasModes() override { platform::Alert::setResponder({}); }

    void key(QEvent::Type type, int code, const QString& text = {},
             Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent event(type, code, modifiers, text);
        QApplication::sendEvent(canvas, &event);
    }
    void typeKey(int code, const QString& text = {}, Qt::KeyboardModifiers modifiers = {})
    {
        key(QEvent::KeyPress, code, text, modifiers);
        key(QEvent::KeyRelease, code, text, modifiers);
    }
    // The alerts asked from now on, each answered with the response.
    QList<platform::Alert> answerAlerts(platform::Alert::Response response)
    {
        _alerts.clear();
        platform::Alert::setResponder([this, response](const platform::Alert& alert, QWidget*) {
            _alerts.append(alert);
            return response;
        });
        return _alerts;
    }
    QList<platform::Alert> _alerts;

    // A kit picture (a quick page or a paper) waiting to be placed.
    std::shared_ptr<LBImage> kitPicture(qint64 type)
    {
        auto image = std::make_shared<LBImage>();
        image->setBounds(QRectF(0, 0, 100, 80));
        image->setSpecialImageType(type);
        return image;
    }
    static void clearQuickPageDefaults()
    {
        auto& defaults = platform::UserDefaults::standardUserDefaults();
        defaults.removeObjectForKey(QStringLiteral("DisableQuickPageConfirmation"));
        defaults.removeObjectForKey(QStringLiteral("AutoQuickPageConformation"));
    }
};

} // namespace

// ==== Cursors ============================================================================

TEST_F(CanvasModes, HandleZonesShowResizeOrWithCtrlRotateCursors)
{
    auto r = add("r", QRectF(100, 100, 200, 100));
    canvas->selectGraphic(r);
    struct Row
    {
        QPointF at;
        Kind resize;
        Kind rotate;
    };
    const Row rows[] = {
        {{101, 101}, Kind::UpperLeftResize, Kind::UpperLeftRotate},
        {{200, 100}, Kind::VResize, Kind::UpperMiddleRotate},
        {{299, 101}, Kind::UpperRightResize, Kind::UpperRightRotate},
        {{101, 150}, Kind::HResize, Kind::MiddleLeftRotate},
        {{299, 150}, Kind::HResize, Kind::MiddleRightRotate},
        {{101, 199}, Kind::UpperRightResize, Kind::LowerLeftRotate},
        {{200, 199}, Kind::VResize, Kind::LowerMiddleRotate},
        {{299, 199}, Kind::UpperLeftResize, Kind::LowerRightRotate},
    };
    for (const Row& row : rows)
        EXPECT_EQ(canvas->cursorKindAtPoint(row.at), row.resize) << row.at.x() << "," << row.at.y();
    canvas->flagsChanged(Qt::ControlModifier);
    for (const Row& row : rows)
        EXPECT_EQ(canvas->cursorKindAtPoint(row.at), row.rotate) << row.at.x() << "," << row.at.y();
    canvas->flagsChanged({});
    EXPECT_EQ(canvas->cursorKindAtPoint(rows[0].at), Kind::UpperLeftResize);

    // Inside, away from the handles, the arrow.
    EXPECT_EQ(canvas->cursorKindAtPoint(QPointF(200, 150)), Kind::Arrow);
    // Two selected graphics show no handle zones.
    canvas->selectGraphic(add("s", QRectF(400, 400, 50, 50)));
    EXPECT_EQ(canvas->cursorKindAtPoint(QPointF(101, 101)), Kind::Arrow);
}

TEST_F(CanvasModes, KnobCurveFieldTextAndHandZones)
{
    // A rounded rectangle's corner knob.
    auto rounded = std::make_shared<LBRoundedRect>();
    rounded->setBounds(QRectF(100, 100, 100, 60));
    undo()->disableUndoRegistration();
    document->insertGraphic(rounded, 0, 1);
    undo()->enableUndoRegistration();
    canvas->selectGraphic(rounded);
    const QPointF knob = rounded->rotatedPoint(rounded->modifierKnob1Point(), false);
    EXPECT_EQ(canvas->cursorKindAtPoint(knob), Kind::ModifierKnob);
    canvas->clearSelection();

    // A curve's points and their handles.
    auto curve = std::make_shared<LBCurvedLine>();
    curve->addControlPointAndModifiersAtPoint(QPointF(300, 300));
    curve->addControlPointAndModifiersAtPoint(QPointF(330, 350)); // on an edge, off its handles
    curve->addControlPointAndModifiersAtPoint(QPointF(400, 320));
    undo()->disableUndoRegistration();
    document->insertGraphic(curve, 0, 1);
    undo()->enableUndoRegistration();
    canvas->selectGraphic(curve);
    EXPECT_EQ(canvas->cursorKindAtPoint(curve->controlPointAtIndex(1, true)), Kind::BezierControl);
    canvas->clearSelection();

    // In text mode a text box shows the I-beam, and its merge field the field cursor.
    auto box = addTextBox(QRectF(50, 400, 200, 40), QStringLiteral("Hello"));
    EXPECT_EQ(canvas->cursorKindAtPoint(QPointF(100, 410)), Kind::Arrow);
    host->text = true;
    canvas->invalidateCursorRects();
    EXPECT_EQ(canvas->cursorKindAtPoint(QPointF(100, 410)), Kind::IBeam);
    host->text = false;

    // The space bar: the open hand everywhere.
    key(QEvent::KeyPress, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(canvas->cursorKindAtPoint(QPointF(100, 410)), Kind::OpenHand);
    key(QEvent::KeyRelease, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(canvas->cursorKindAtPoint(QPointF(100, 410)), Kind::Arrow);

    // Every picture cursor is made from its picture.
    for (int k = int(Kind::BezierTool); k <= int(Kind::UpperLeftRotate); ++k) {
        const QCursor cursor = LBGraphicView::cursorForKind(Kind(k));
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << k;
        EXPECT_EQ(cursor.pixmap().devicePixelRatio(), 2.0) << k;
    }
    EXPECT_EQ(LBGraphicView::cursorForKind(Kind::FieldPopup).hotSpot(), QPoint(8, 5));
}

TEST_F(CanvasModes, FieldRunsGetTheFieldCursor)
{
    auto box = addTextBox(QRectF(100, 100, 300, 60), QStringLiteral("To FIELD end"));
    box->contents()->addAttribute(
        LBQFieldAttributeName,
        QVariantMap{{QStringLiteral("LBPropertyName"), QStringLiteral("Date")},
                    {QStringLiteral("LBDateFormatIndex"), 1}},
        platform::Range(3, 5));
    const QVariantMap entry = box->fieldRolloverArray()->value(0);
    const QRectF run =
        platform::rectFromString(
            entry.value(QStringLiteral("LBRolloverRectArray")).toList().value(0).toString())
            .translated(box->bounds().topLeft());
    canvas->invalidateCursorRects();
    EXPECT_EQ(canvas->cursorKindAtPoint(run.center()), Kind::FieldPopup);
    EXPECT_EQ(canvas->cursorKindAtPoint(QPointF(105, 150)), Kind::Arrow);
    // Not while the box is edited.
    canvas->startEditingGraphic(box, nullptr, false);
    canvas->invalidateCursorRects();
    EXPECT_EQ(canvas->cursorKindAtPoint(run.center()), Kind::Arrow);
}

// ==== Keys ===============================================================================

TEST_F(CanvasModes, TypingOnOneTextBoxStartsEditingOnRelease)
{
    auto box = addTextBox(QRectF(100, 100, 200, 40), QStringLiteral("Hello"));
    canvas->selectGraphic(box);
    key(QEvent::KeyPress, Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(canvas->editingGraphic(), nullptr); // nothing on the press
    key(QEvent::KeyRelease, Qt::Key_A, QStringLiteral("a"));
    ASSERT_EQ(canvas->editingGraphic(), box.get());
    EXPECT_EQ(canvas->editorView()->selectedRange(), platform::Range(0, 5));
    EXPECT_EQ(box->contents()->string(), QStringLiteral("Hello")); // no "a" typed
}

TEST_F(CanvasModes, KeysGoToTheirActions)
{
    // Two text boxes: typing goes to the key map (nothing), arrows nudge.
    auto a = addTextBox(QRectF(100, 100, 200, 40), QStringLiteral("A"));
    auto b = addTextBox(QRectF(100, 200, 200, 40), QStringLiteral("B"));
    canvas->selectGraphic(a);
    canvas->selectGraphic(b);
    typeKey(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(canvas->editingGraphic(), nullptr);

    struct Row
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        QPointF moved;
    };
    const Row rows[] = {
        {Qt::Key_Left, {}, {-1, 0}},
        {Qt::Key_Right, {}, {1, 0}},
        {Qt::Key_Up, {}, {0, -1}},
        {Qt::Key_Down, {}, {0, 1}},
        {Qt::Key_Left, Qt::ShiftModifier, {-9, 0}},
        {Qt::Key_Down, Qt::ShiftModifier, {0, 9}},
    };
    for (const Row& row : rows) {
        const QPointF before = a->bounds().topLeft();
        typeKey(row.key, {}, row.modifiers);
        EXPECT_EQ(a->bounds().topLeft() - before, row.moved) << row.key;
    }
    document->setGridSpacing(1.0, false);
    const QPointF before = a->bounds().topLeft();
    typeKey(Qt::Key_Right, {}, Qt::ShiftModifier);
    EXPECT_EQ(a->bounds().topLeft() - before, QPointF(10, 0));

    // Backspace deletes the selection.
    typeKey(Qt::Key_Backspace);
    EXPECT_EQ(document->pageGraphics().at(1).size(), 0);
}

TEST_F(CanvasModes, EscapeAndReturnEndCropAndCurveDrawing)
{
    auto photo = std::make_shared<LBImage>();
    photo->setBounds(QRectF(0, 0, 300, 150));
    photo->setImage(
        platform::Image::fromBitmap(QImage(30, 15, QImage::Format_RGB32), QSizeF(300, 150)),
        LBGraphic::FillImageType);
    undo()->disableUndoRegistration();
    document->insertGraphic(photo, 0, 1);
    undo()->enableUndoRegistration();
    canvas->selectGraphic(photo);

    canvas->crop();
    ASSERT_EQ(canvas->croppingImage(), photo.get());
    typeKey(Qt::Key_Escape);
    EXPECT_EQ(canvas->croppingImage(), nullptr);
    EXPECT_EQ(document->pageGraphics().at(1).size(), 1); // the made rectangle went

    canvas->crop();
    typeKey(Qt::Key_Return);
    EXPECT_EQ(canvas->croppingImage(), nullptr);
    ASSERT_EQ(document->pageGraphics().at(1).size(), 1);
    EXPECT_TRUE(document->pageGraphics().at(1).first()->isImageCrop());
    EXPECT_EQ(undo()->groupingLevel(), 0);

    // Escape on a curve of one point removes it without a redo step.
    auto curve = std::make_shared<LBCurvedLine>();
    curve->addControlPointAndModifiersAtPoint(QPointF(10, 10));
    undo()->disableUndoRegistration();
    document->insertGraphic(curve, 0, 1);
    undo()->enableUndoRegistration();
    host->bezier = true;
    canvas->setEditingBezierGraphic(curve);
    typeKey(Qt::Key_Escape);
    EXPECT_FALSE(host->bezier);
    EXPECT_EQ(document->indexOfGraphic(curve, 1), -1);
    EXPECT_FALSE(undo()->canRedo());
}

// ==== Menus ==============================================================================

TEST_F(CanvasModes, MenuValidationFollowsTheSelection)
{
    auto a = add("a", QRectF(10, 10, 50, 50));
    auto b = add("b", QRectF(100, 10, 50, 50));
    auto c = add("c", QRectF(200, 10, 50, 50));
    auto photo = std::make_shared<LBImage>();
    photo->setBounds(QRectF(300, 300, 100, 100));
    undo()->disableUndoRegistration();
    document->insertGraphic(photo, 0, 1);
    undo()->enableUndoRegistration();

    QAction item;
    const auto check = [&](const char* action) {
        item.setObjectName(QLatin1String(action));
        item.setText(QString());
        return canvas->validateMenuItem(&item);
    };
    // Nothing selected.
    EXPECT_FALSE(check("delete:"));
    EXPECT_FALSE(check("makeSameWidth:"));
    EXPECT_TRUE(check("selectAll:"));
    EXPECT_FALSE(check("cropUncrop:"));
    EXPECT_FALSE(check("postalGuidelinesAction:"));
    EXPECT_EQ(item.text(), QStringLiteral("Show Postal Guidelines"));
    EXPECT_TRUE(check("trimToPageAction:"));
    EXPECT_FALSE(item.isChecked());

    // A photo: crop titled "Crop Image", masks, but no placeholder sheet to define with.
    canvas->selectGraphic(photo);
    EXPECT_TRUE(check("cropUncrop:"));
    EXPECT_EQ(item.text(), QStringLiteral("Crop Image"));
    EXPECT_TRUE(check("maskImage:"));
    EXPECT_FALSE(check("defineAsPlaceholder:"));
    canvas->clearSelection();

    // Three graphics, one of them grouped with another.
    for (const auto& g : {a, b, c})
        canvas->selectGraphic(g);
    EXPECT_TRUE(check("makeSameWidth:"));
    EXPECT_TRUE(check("distributeEvenly:"));
    EXPECT_TRUE(check("group:"));
    EXPECT_FALSE(check("ungroup:"));
    EXPECT_FALSE(check("unlock:"));
    EXPECT_FALSE(check("maskImage:"));
    canvas->clearSelection();
    canvas->selectGraphic(a);
    canvas->selectGraphic(b);
    canvas->group(nullptr);
    canvas->selectGraphic(c);
    EXPECT_FALSE(check("makeSameWidth:"));
    EXPECT_FALSE(check("makeNaturalSize:"));
    EXPECT_TRUE(check("ungroup:"));
    EXPECT_FALSE(check("cropWithShape:"));

    // An image crop: "Uncrop Image"; a text box placeholder can be edited by its question.
    canvas->clearSelection();
    c->setImage(platform::Image::fromBitmap(QImage(10, 10, QImage::Format_RGB32), QSizeF(10, 10)),
                LBGraphic::FillImageType);
    canvas->selectGraphic(c);
    EXPECT_TRUE(check("cropUncrop:"));
    EXPECT_EQ(item.text(), QStringLiteral("Uncrop Image"));
    canvas->clearSelection();
    auto box = addTextBox(QRectF(10, 400, 100, 30), QStringLiteral("x"));
    box->setIsPlaceholder(true);
    canvas->selectGraphic(box);
    EXPECT_TRUE(check("defineAsPlaceholder:"));
    EXPECT_TRUE(item.isChecked());
    EXPECT_TRUE(check("editPlaceholderSettings:"));

    // With a settings sheet registered, other graphics can be defined.
    canvas->clearSelection();
    canvas->selectGraphic(photo);
    LBPlaceholderSettings::setFactory(
        [](bool background) { return std::make_unique<LBPlaceholderSettings>(background); });
    EXPECT_TRUE(check("defineAsPlaceholder:"));
    LBPlaceholderSettings::setFactory({});
}

TEST_F(CanvasModes, ContextualMenuWithNothingSelectedListsTheGraphicsUnderIt)
{
    add("a", QRectF(10, 10, 100, 100));
    add("b", QRectF(50, 50, 100, 100));
    std::unique_ptr<QMenu> menu(canvas->menuForEvent(QPointF(60, 60)));
    ASSERT_NE(menu, nullptr);
    EXPECT_GE(menu->actions().size(), 2);
    EXPECT_EQ(canvas->menuForEvent(QPointF(900, 900)), nullptr); // nothing under it
}

TEST_F(CanvasModes, ThePalettesMenuGainsNoListOfGraphicsPerClick)
{
    // The palette keeps one contextual menu; the canvas adds the graphics under the mouse.
    struct Palette : InspectorPalette
    {
        void forceSelectCropTools(bool, bool) override {}
        void centerWindowUnderSelectedGraphics() override {}
        QMenu* contextualMenuForView(CanvasView*) override
        {
            menu.clear();
            menu.addAction(QStringLiteral("Dimensions"));
            return &menu;
        }
        QMenu menu;
    } palette;
    LBProcessState::setInspectorPalette(&palette);
    add("a", QRectF(10, 10, 100, 100));
    canvas->selectGraphic(add("b", QRectF(50, 50, 100, 100)));
    for (int click = 0; click < 3; ++click) {
        QMenu* menu = canvas->menuForEvent(QPointF(60, 60));
        ASSERT_EQ(menu, &palette.menu);
        Q_EMIT menu->aboutToHide(); // closed without a choice
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    EXPECT_TRUE(palette.menu.findChildren<QMenu*>().isEmpty());
    LBProcessState::setInspectorPalette(nullptr);
}

// ==== Quick pages and papers ==============================================================

TEST_F(CanvasModes, QuickPageQuestionAndItsRememberedAnswer)
{
    clearQuickPageDefaults();
    auto& defaults = platform::UserDefaults::standardUserDefaults();

    // Disabled, with the answer NO: added to the current layer without a question.
    defaults.setBool(true, QStringLiteral("DisableQuickPageConfirmation"));
    defaults.setBool(false, QStringLiteral("AutoQuickPageConformation"));
    answerAlerts({platform::Alert::FirstButtonReturn, false});
    const qint64 layers = document->layerCount();
    auto first = kitPicture(LBImage::QuickPageToConfirm);
    canvas->insertGraphic(first, QPointF(100, 200), false, 0);
    EXPECT_TRUE(_alerts.isEmpty());
    EXPECT_EQ(first->specialImageType(), LBImage::QuickPageOnCurrentLayer);
    EXPECT_EQ(document->indexOfGraphic(first, 1), 0);
    EXPECT_EQ(document->layerCount(), layers);

    // Asked, with the box: "Add To Current Layer" is remembered as NO.
    clearQuickPageDefaults();
    answerAlerts({platform::Alert::SecondButtonReturn, true});
    canvas->insertGraphic(kitPicture(LBImage::QuickPageToConfirm), QPointF(100, 200), false, 0);
    ASSERT_EQ(_alerts.size(), 1);
    EXPECT_TRUE(_alerts.first().showsSuppressionButton);
    EXPECT_TRUE(_alerts.first().informativeText.endsWith(QStringLiteral("current layer. ")));
    EXPECT_EQ(_alerts.first().buttons, QStringList({QStringLiteral("Insert On New Layer"),
                                                    QStringLiteral("Add To Current Layer")}));
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("DisableQuickPageConfirmation")));
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("AutoQuickPageConformation")));

    // "Insert On New Layer": a new top layer, selected, holding the quick page, which
    // lands centred on the drop point of the first call.
    clearQuickPageDefaults();
    answerAlerts({platform::Alert::FirstButtonReturn, false});
    auto onTop = kitPicture(LBImage::QuickPageToConfirm);
    canvas->insertGraphic(onTop, QPointF(100, 200), false, 0);
    EXPECT_EQ(document->layerCount(), layers + 1);
    EXPECT_EQ(document->selectedLayerIndex(), layers);
    EXPECT_EQ(document->layerNameAtIndex(layers), QStringLiteral("New Layer"));
    EXPECT_EQ(document->indexOfGraphic(onTop, layers), 0);
    EXPECT_EQ(onTop->specialImageType(), LBImage::QuickPageOnNewLayer);
    clearQuickPageDefaults();
}

TEST_F(CanvasModes, PaperQuestionAndOtherPictures)
{
    answerAlerts({platform::Alert::SecondButtonReturn, false});
    auto paper = kitPicture(LBImage::PaperToConfirm);
    canvas->insertGraphic(paper, QPointF(100, 200), false, 0);
    ASSERT_EQ(_alerts.size(), 1);
    EXPECT_FALSE(_alerts.first().showsSuppressionButton);
    EXPECT_EQ(paper->specialImageType(), LBImage::PaperAsGraphic);
    EXPECT_EQ(document->indexOfGraphic(paper, 1), 0);

    // A page that shows a background placeholder takes the paper as its background at once.
    document->setHasBackgroundPlaceholder(true, 0);
    document->setDrawBackgroundPlaceholder(true, 0);
    answerAlerts({platform::Alert::SecondButtonReturn, false});
    auto background = kitPicture(LBImage::PaperToConfirm);
    background->setLazyImagePath(QStringLiteral("/nonexistent/paper.png"));
    canvas->confirmInsertSpecialGraphic(background);
    EXPECT_TRUE(_alerts.isEmpty());
    EXPECT_EQ(background->specialImageType(), LBImage::PaperAsBackground);
    EXPECT_EQ(document->indexOfGraphic(background, 1), -1); // not inserted as a graphic
    EXPECT_FALSE(document->hasBackgroundPlaceholder(0));

    // Any other kind is neither asked about nor inserted.
    auto plain = kitPicture(LBImage::OrdinaryImage);
    canvas->confirmInsertSpecialGraphic(plain);
    EXPECT_TRUE(_alerts.isEmpty());
    EXPECT_EQ(document->indexOfGraphic(plain, 1), -1);
}

// ==== Favourites =========================================================================

TEST_F(CanvasModes, AGraphicDraggedOutOfTheCanvasStaysWhereItWas)
{
    auto r = add("r", QRectF(100, 100, 50, 50));
    canvas->selectGraphic(r);
    const QRectF before = r->bounds();
    // The graphic follows the pointer to the canvas's edge, then the drag leaves and is
    // dropped on something else (a library, another window), or given up.
    for (const Qt::DropAction elsewhere : {Qt::CopyAction, Qt::IgnoreAction}) {
        platform::Drag::setRunner([this, elsewhere](platform::Drag& drag) {
            const QPoint at = canvas->convertToWidget(QPointF(300, 120)).toPoint();
            QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, drag.mimeData(),
                                  Qt::LeftButton, {});
            QApplication::sendEvent(canvas, &enter);
            QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, drag.mimeData(),
                                Qt::LeftButton, {});
            QApplication::sendEvent(canvas, &move);
            QDragLeaveEvent leave;
            QApplication::sendEvent(canvas, &leave);
            return elsewhere;
        });
        press(QPointF(120, 120));
        drag(QPointF(140, 140));
        release(QPointF(140, 140));
        platform::Drag::setRunner({});
        EXPECT_EQ(r->bounds(), before) << elsewhere;
        EXPECT_EQ(layer(), QStringList({"r"}));
        EXPECT_EQ(undo()->groupingLevel(), 0);
    }
    // A drag that leaves at once moved nothing: the change before it stays.
    r->setBounds(QRectF(110, 110, 50, 50));
    closeStep();
    const QString lastStep = undoName();
    platform::Drag::setRunner([](platform::Drag&) { return Qt::CopyAction; });
    press(QPointF(130, 130));
    drag(QPointF(150, 150));
    release(QPointF(150, 150));
    platform::Drag::setRunner({});
    EXPECT_EQ(r->bounds(), QRectF(110, 110, 50, 50));
    EXPECT_EQ(undoName(), lastStep);

    // Dropped on the canvas itself, it moves.
    moveSelection(QPointF(130, 130), {QPointF(300, 120)});
    EXPECT_NE(r->bounds(), QRectF(110, 110, 50, 50));
}

TEST_F(CanvasModes, AnAltDragIntoTheFavouritesLeavesNoCopy)
{
    auto r = add("r", QRectF(100, 100, 50, 50));
    canvas->selectGraphic(r);
    const auto dropIntoFavourites = [this](Qt::KeyboardModifiers modifiers) {
        platform::Drag::setRunner([](platform::Drag&) {
            platform::NotificationCenter::defaultCenter().post(LBGraphicAddedToFavorites);
            return Qt::CopyAction;
        });
        press(QPointF(120, 120), modifiers);
        drag(QPointF(140, 140), modifiers);
        release(QPointF(140, 140), modifiers);
        platform::Drag::setRunner({});
    };
    dropIntoFavourites(Qt::AltModifier);
    EXPECT_EQ(layer(), QStringList({"r"}));
    EXPECT_EQ(undo()->groupingLevel(), 0);

    // A plain drag changes nothing, and another canvas ignores the notice.
    const QRectF before = r->bounds();
    canvas->selectGraphic(r);
    dropIntoFavourites({});
    EXPECT_EQ(layer(), QStringList({"r"}));
    EXPECT_EQ(r->bounds(), before);
    platform::NotificationCenter::defaultCenter().post(LBGraphicAddedToFavorites);
    EXPECT_EQ(layer(), QStringList({"r"}));
}
