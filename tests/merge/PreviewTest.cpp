// Preview mode: the sheet count, the renderers laid out and zoomed, clicks mapped to the
// label under them by fill direction (the editor when text is unlocked, the address menu
// on address boxes when locked), the per-label editor's round trip, the kept view state,
// drawing only the sheets in view, and the text-fit cache filled for what shows.

#include "MergeTestSupport.h"
#include "PreviewSupport.h"

#include "layouts/LBPageView.h"
#include "merge/LBTextEditorView.h"
#include "platform/core/TextForms.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ScrollView.h"

#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return false;
    }
    QHash<QObject*, int> paints;
};

} // namespace

class PreviewTest : public SheetTest
{
protected:
    PreviewTest() { document->setOpenedExistingFile(true); }

    LBCreateController* open(const QSize& size = QSize(900, 700))
    {
        preview = PreviewScope::open(*controller, size);
        EXPECT_NE(preview, nullptr);
        return preview;
    }
    // Rebuilds after the layout or the records changed.
    void rebuild() { preview->updateViewWithNewRenderingView(true); }
    // A point of the page view over cell (row, column) of sheet k, at `inCell` in the
    // label, at the zoom.
    QPointF pointInCell(qint64 k, qint64 row, qint64 column, const QPointF& inCell,
                        double z = 1.0) const
    {
        return preview->sheetRect(k).topLeft() + (cellOrigin(row, column) + inCell) * z;
    }
    void unlock()
    {
        if (controller->textIsLocked())
            controller->lockTextAction(nullptr);
        ASSERT_FALSE(controller->textIsLocked());
    }

    PreviewScope scope;
    LBCreateController* preview = nullptr;
};

TEST_F(PreviewTest, WindowsOpenInPreviewWithOneRendererPerSheet)
{
    open();
    ASSERT_TRUE(preview);
    EXPECT_EQ(controller->mode(), LBWindowController::PreviewMode);
    EXPECT_EQ(controller->createController()->pageView(), preview->pageView());
    EXPECT_EQ(preview->renderingViews().size(), preview->numberOfPages());
    // The sheets lie on the page view inside the scroll view, over the under-page colour.
    EXPECT_EQ(preview->scrollView()->documentView(), preview->pageView());
    EXPECT_EQ(preview->scrollView()->palette().color(QPalette::Window).name(),
              QStringLiteral("#bac0c7"));
}

struct PageCountCase
{
    const char* name;
    qint64 documentType;
    qint64 records;
    qint64 startLabel;
    qint64 pages;
    const char* text;
};

TEST_F(PreviewTest, SheetCountFollowsRecordsRepeatAndStartLabel)
{
    open();
    const PageCountCase cases[] = {
        {"12 records from label 1", 1, 12, 1, 2, "2 pages"},
        {"12 records from label 10", 1, 12, 10, 3, "3 pages"},
        {"no records", 1, 0, 1, 1, "1 page"},
        {"a page layout", 3, 40, 1, 1, "1 page"},
    };
    QLabel count;
    for (const PageCountCase& c : cases) {
        setSheet(5, 2, 100, 50);
        layout()[DimensionInfo::documentType] = c.documentType;
        layout()[DimensionInfo::startLabel] = c.startLabel;
        services->records = c.records;
        rebuild();
        EXPECT_EQ(preview->numberOfPages(), c.pages) << c.name;
        EXPECT_EQ(preview->renderingViews().size(), c.pages) << c.name;
        preview->updatePageCountText(&count);
        EXPECT_EQ(count.text(), QString::fromLatin1(c.text)) << c.name;
    }
    // A repeat count of 3 takes three cells a record.
    layout()[DimensionInfo::documentType] = 1;
    layout()[DimensionInfo::startLabel] = 1;
    services->records = 4;
    document->setLabelRepeatCount(3);
    rebuild();
    EXPECT_EQ(preview->numberOfPages(), 2);
}

TEST_F(PreviewTest, SheetsStackOneAColumnSevenPointsApart)
{
    open();
    services->records = 13; // three sheets of six
    rebuild();
    const QList<LBRenderingView*> views = preview->renderingViews();
    ASSERT_EQ(views.size(), 3);
    const QSizeF paper = document->documentSize();
    for (qsizetype i = 0; i < views.size(); ++i) {
        EXPECT_EQ(views[i]->bounds().size(), paper) << i;
        EXPECT_EQ(QSizeF(views[i]->size()), paper) << i;
        EXPECT_EQ(QPointF(views[i]->pos()), preview->sheetRect(i).topLeft()) << i;
    }
    EXPECT_DOUBLE_EQ(preview->sheetRect(1).top() - preview->sheetRect(0).bottom(), 7.0);
    // The page view holds them with 14 points to spare, and fills at least the main view.
    EXPECT_GE(preview->pageView()->height(), int(3 * paper.height() + 2 * 7 + 14));
    EXPECT_GE(preview->pageView()->width(), preview->mainView()->width() - 2);
}

TEST_F(PreviewTest, ZoomScalesFramesKeepsBoundsAndTheCentre)
{
    open(QSize(700, 500));
    setSheet(5, 2, 100, 50);
    services->records = 60; // six sheets, taller than the view
    rebuild();
    const QSizeF paper = document->documentSize();
    // Zoom 1 keeps the frames at paper size.
    preview->setZoomFactor(1.0);
    for (LBRenderingView* view : preview->renderingViews())
        EXPECT_EQ(QSizeF(view->size()), paper);

    // Scrolled into the middle, then zoomed to 200 %.
    platform::ScrollView* scroll = preview->scrollView();
    scroll->scrollToPoint(QPoint(0, 600));
    QApplication::processEvents();
    const QRectF before(scroll->documentVisibleRect());
    const QSizeF pageBefore(preview->pageView()->size());
    const QPointF relative(before.center().x() / pageBefore.width(),
                           before.center().y() / pageBefore.height());
    controller->zoom = 2.0;
    preview->setZoomFactor(2.0);
    QApplication::processEvents();
    const QList<LBRenderingView*> views = preview->renderingViews();
    for (qsizetype i = 0; i < views.size(); ++i) {
        EXPECT_EQ(QSizeF(views[i]->size()),
                  QSizeF(std::trunc(paper.width() * 2), std::trunc(paper.height() * 2)))
            << i;
        EXPECT_EQ(views[i]->bounds().size(), paper) << i;
        EXPECT_EQ(QPointF(views[i]->pos()), preview->sheetRect(i).topLeft()) << i;
    }
    EXPECT_DOUBLE_EQ(preview->sheetRect(1).top() - preview->sheetRect(0).top(),
                     std::trunc(paper.height() * 2) + 7.0);
    const QRectF after(scroll->documentVisibleRect());
    const QSizeF pageAfter(preview->pageView()->size());
    EXPECT_NEAR(after.center().y() / pageAfter.height(), relative.y(), 2.0 / pageAfter.height());
    // The graphics know the zoom.
    square(QRectF(0, 0, 5, 5));
    preview->setZoomFactor(2.0);
    EXPECT_DOUBLE_EQ(document->documentGraphics()[0][1].last()->zoomFactor(), 2.0);
}

TEST_F(PreviewTest, ZoomPopUpItemsSetTheSlider)
{
    open();
    const struct
    {
        qint64 item;
        double slider;
    } cases[] = {{0, 2.3}, {4, 6.0}, {11, 9.537}, {12, 9.786}, {13, 10.0}, {-1, 2.0}};
    for (const auto& c : cases) {
        preview->zoomPopupAction(c.item);
        EXPECT_DOUBLE_EQ(controller->zoomSliderValue(), c.slider) << c.item;
    }
    // The empty and custom items change nothing.
    preview->zoomPopupAction(15);
    EXPECT_DOUBLE_EQ(controller->zoomSliderValue(), 2.0);
}

struct ClickCase
{
    const char* name;
    qint64 direction;
    qint64 startLabel;
    qint64 sheet;
    qint64 row, column;
    qint64 labelIndex; // the label position edited, -1 for none
};

TEST_F(PreviewTest, AClickEditsTheLabelUnderItInFillOrder)
{
    open();
    unlock();
    services->records = 12; // two sheets of six
    const auto box = insertTextBox(*document, QRectF(10, 10, 60, 20), testText("Hello"));
    const ClickCase cases[] = {
        {"by rows", 1, 1, 0, 1, 0, 3},
        {"by columns", 2, 1, 0, 1, 0, 1},
        {"by columns, second column", 2, 1, 0, 0, 2, 4},
        {"second sheet by rows", 1, 1, 1, 0, 1, 7},
        {"after the start label", 1, 3, 0, 1, 1, 2},
        {"before the start label", 1, 3, 0, 0, 1, -1},
        {"the last record", 1, 3, 2, 0, 1, 11},
        {"past the last record", 1, 3, 2, 0, 2, -1},
    };
    for (const ClickCase& c : cases) {
        layout()[DimensionInfo::labelDirection] = c.direction;
        layout()[DimensionInfo::startLabel] = c.startLabel;
        rebuild();
        box->setLabelIndexForNewTextEditor(-1);
        preview->clickAtPoint(pointInCell(c.sheet, c.row, c.column, QPointF(20, 10)));
        EXPECT_EQ(box->labelIndexForNewTextEditor(), c.labelIndex) << c.name;
        if (c.labelIndex >= 0) {
            const QRectF expected(pointInCell(c.sheet, c.row, c.column, QPointF(10, 10)),
                                  QSizeF(60, 20));
            EXPECT_EQ(preview->textEditorBounds(), expected) << c.name;
        }
    }
    // Off the box, in a margin and between the sheets nothing is edited.
    layout()[DimensionInfo::labelDirection] = 1;
    layout()[DimensionInfo::startLabel] = 1;
    rebuild();
    for (const QPointF& p :
         {pointInCell(0, 0, 0, QPointF(90, 40)), preview->sheetRect(0).topLeft() + QPointF(3, 3),
          preview->sheetRect(1).topLeft() - QPointF(-20, 3)}) {
        box->setLabelIndexForNewTextEditor(-1);
        preview->clickAtPoint(p);
        EXPECT_EQ(box->labelIndexForNewTextEditor(), -1);
    }
    // At 200 % the same label lies twice as far.
    controller->zoom = 2.0;
    preview->setZoomFactor(2.0);
    preview->clickAtPoint(pointInCell(0, 1, 2, QPointF(20, 10), 2.0));
    EXPECT_EQ(box->labelIndexForNewTextEditor(), 5);
    EXPECT_EQ(preview->textEditorOffset(), cellOrigin(1, 2) + QPointF(10, 10));
}

TEST_F(PreviewTest, OfTwoOverlappingBoxesTheFirstLayerIsEdited)
{
    open();
    unlock();
    const auto lower = insertTextBox(*document, QRectF(10, 10, 60, 20), testText("A"),
                                     LBTextArea::OrdinaryTextBox, 0);
    const auto upper = insertTextBox(*document, QRectF(20, 5, 60, 20), testText("B"));
    rebuild();
    preview->clickAtPoint(pointInCell(0, 0, 0, QPointF(30, 12)));
    EXPECT_EQ(lower->labelIndexForNewTextEditor(), 0);
    EXPECT_EQ(upper->labelIndexForNewTextEditor(), -1);
    EXPECT_EQ(preview->textEditorTargetGraphic(), lower);
}

TEST_F(PreviewTest, LockedTextOpensTheAddressMenuOnlyOnAddressBoxes)
{
    open();
    ASSERT_TRUE(controller->textIsLocked());
    services->records = 6;
    const auto plain = insertTextBox(*document, QRectF(10, 5, 60, 15), testText("Plain"));
    const auto address = insertTextBox(*document, QRectF(10, 25, 60, 20), testText("Address"),
                                       LBTextArea::DeliveryAddressBox);
    rebuild();
    preview->clickAtPoint(pointInCell(0, 1, 1, QPointF(20, 10)));
    EXPECT_EQ(plain->labelIndexForNewTextEditor(), -1);
    EXPECT_FALSE(preview->contactUIDForAddressMenu());
    EXPECT_FALSE(preview->textBoxForAddressMenu());

    services->asked.clear();
    preview->clickAtPoint(pointInCell(0, 1, 1, QPointF(20, 30)));
    EXPECT_EQ(address->labelIndexForNewTextEditor(), -1);
    EXPECT_EQ(preview->contactUIDForAddressMenu(), QStringLiteral("uid-4"));
    EXPECT_EQ(preview->textBoxForAddressMenu(), address);
    EXPECT_EQ(preview->textEditor(), nullptr);
}

TEST_F(PreviewTest, TheEditorOpensOnTheMergedTextAndClosingWritesItBack)
{
    open();
    unlock();
    services->records = 3;
    const auto box = insertTextBox(*document, QRectF(10, 10, 80, 20), testText("Hello"));
    rebuild();
    // Label 2 (the second cell); the page view reports the click with y upwards.
    const QPointF at = pointInCell(0, 0, 1, QPointF(20, 10));
    pressInPageView(*preview, at);
    ASSERT_TRUE(waitFor([&] { return preview->textEditor() != nullptr; }));
    LBTextEditorView* editor = preview->textEditor();
    EXPECT_EQ(editor->textStorage()->attributedString().string(), QStringLiteral("Hello"));
    EXPECT_EQ(editor->parentWidget(), preview->pageView());
    EXPECT_EQ(editor->frame(), QRectF(pointInCell(0, 0, 1, QPointF(10, 10)), QSizeF(80, 20)));
    EXPECT_EQ(editor->selectedRange(), platform::Range(0, 5));
    ASSERT_TRUE(box->editedTextArray());
    EXPECT_EQ(preview->editedTextArrayIndex(), 0);
    EXPECT_FALSE(document->isDocumentEdited());

    editor->textStorage()->setAttributedString(testText("Changed"));
    // Any other click closes the editor first and keeps what was typed.
    preview->clickAtPoint(QPointF(1, 1));
    EXPECT_EQ(preview->textEditor(), nullptr);
    qint64 index = -1;
    const std::optional<platform::AttributedString> edited =
        box->editedTextForLabelIndex(1, QStringLiteral("uid-1"), &index);
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->string(), QStringLiteral("Changed"));
    EXPECT_EQ(index, 0);
    // Label 1 keeps its own text.
    EXPECT_FALSE(box->editedTextForLabelIndex(0, QStringLiteral("uid-0"), nullptr));
    // The label's own text is saved with the document: it is edited now, and its window
    // shows it (so closing it asks first).
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(controller->window()->isWindowModified());
}

TEST_F(PreviewTest, AnEditorOpenedAtAZoomShowsItsTextAtThatZoom)
{
    open();
    unlock();
    const auto box = insertTextBox(*document, QRectF(10, 10, 80, 20), testText("Hello"));
    controller->zoom = 2.0;
    rebuild();
    preview->clickAtPoint(pointInCell(0, 0, 0, QPointF(20, 10), 2.0));
    ASSERT_TRUE(waitFor([&] { return preview->textEditor() != nullptr; }));
    LBTextEditorView* editor = preview->textEditor();
    EXPECT_EQ(editor->boundsSize(), QSizeF(80, 20));
    EXPECT_EQ(editor->frame(), QRectF(pointInCell(0, 0, 0, QPointF(10, 10), 2.0), QSizeF(160, 40)));
    // Back at 100 % it follows the sheet.
    controller->zoom = 1.0;
    preview->setZoomFactor(1.0);
    EXPECT_EQ(editor->frame(), QRectF(pointInCell(0, 0, 0, QPointF(10, 10)), QSizeF(80, 20)));
}

TEST_F(PreviewTest, TheEditorShowsABlockAlignedTextWhereTheSheetShowsIt)
{
    open();
    unlock();
    // An address block centred on a wide box, as the layout chooser makes it.
    const auto box = insertTextBox(*document, QRectF(10, 10, 200, 80), testText("Hello"));
    box->setTextBlockHorizontalAlignment(1);
    box->setTextBlockVerticalAlignment(1);
    rebuild();
    ASSERT_TRUE(waitFor([&] { return !box->blockAlignmentDelta().isNull(); }))
        << "the sheet never drew the box";
    const QSizeF onSheet = box->blockAlignmentDelta();
    ASSERT_GT(onSheet.width(), 20.0);
    ASSERT_GT(onSheet.height(), 10.0);

    preview->clickAtPoint(pointInCell(0, 0, 0, QPointF(60, 40)));
    ASSERT_TRUE(waitFor([&] { return preview->textEditor() != nullptr; }));
    LBTextEditorView* editor = preview->textEditor();
    EXPECT_EQ(editor->textContainerOrigin(), QPointF(onSheet.width(), onSheet.height()));
    // Its lines still break within the box.
    EXPECT_NEAR(editor->textContainer()->containerSize().width(), 200 - onSheet.width(), 1e-9);
}

TEST_F(PreviewTest, TextTypedIntoALabelEditsTheDocumentAndClosingTakesItAndAsks)
{
    open();
    unlock();
    const auto box = insertTextBox(*document, QRectF(10, 10, 80, 20), testText("Hello"));
    rebuild();
    ASSERT_FALSE(document->isDocumentEdited());
    preview->clickAtPoint(pointInCell(0, 0, 0, QPointF(20, 10)));
    ASSERT_TRUE(waitFor([&] { return preview->textEditor() != nullptr; }));
    preview->textEditor()->textStorage()->setAttributedString(testText("Typed"));
    // Edited from the first change typed: File > Save is offered while the editor is open.
    EXPECT_TRUE(document->isDocumentEdited());

    // The close question comes, and Cancel keeps the window and the text.
    QStringList asked;
    platform::Alert::setResponder([&asked](const platform::Alert& alert, QWidget*) {
        asked << alert.messageText;
        platform::Alert::Response cancel;
        cancel.returnCode = platform::Alert::ThirdButtonReturn;
        return cancel;
    });
    bool closes = true;
    document->canCloseDocument([&closes](bool shouldClose) { closes = shouldClose; });
    platform::Alert::setResponder(nullptr);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_FALSE(closes);
    EXPECT_EQ(preview->textEditor(), nullptr);
    EXPECT_TRUE(document->isDocumentEdited());
    const std::optional<platform::AttributedString> edited =
        box->editedTextForLabelIndex(0, QStringLiteral("uid-0"), nullptr);
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->string(), QStringLiteral("Typed"));
}

TEST_F(PreviewTest, TheEditorPastesPlainTextAndMatchesStyle)
{
    LBTextEditorView editor(QRectF(0, 0, 200, 40));
    editor.textStorage()->setAttributedString(testText("Hello World"));
    editor.setSelectedRange(platform::Range(6, 5));
    platform::Pasteboard& pasteboard = platform::Pasteboard::generalPasteboard();
    pasteboard.declareTypes({platform::ColorPboardType});
    EXPECT_FALSE(editor.validateMenuItem(platform::TextView::MenuAction::PasteAndMatchStyle));
    EXPECT_TRUE(editor.validateMenuItem(platform::TextView::MenuAction::Other));

    pasteboard.declareTypes({platform::RTFDPboardType, platform::StringPboardType});
    QFont bold = testFont();
    bold.setBold(true);
    pasteboard.setAttributedString(
        platform::AttributedString(QStringLiteral("There"), {{platform::FontAttributeName, bold}}));
    EXPECT_TRUE(editor.validateMenuItem(platform::TextView::MenuAction::PasteAndMatchStyle));
    editor.pasteAndMatchStyle();
    const platform::AttributedString& text = editor.textStorage()->attributedString();
    EXPECT_EQ(text.string(), QStringLiteral("Hello There"));
    EXPECT_FALSE(text.attribute(platform::FontAttributeName, 8).value<QFont>().bold());
}

TEST_F(PreviewTest, StateKeepsZoomAndScrollAndRestoresNothingUnsaved)
{
    open(QSize(700, 500));
    services->records = 40;
    rebuild();
    platform::ScrollView* scroll = preview->scrollView();
    // Never saved: only the zoom (100 %) comes back, the scroll position stays.
    EXPECT_LT(preview->savedVisibleRect().width(), 0);
    scroll->scrollToPoint(QPoint(0, 300));
    preview->restoreState();
    EXPECT_DOUBLE_EQ(controller->zoomSliderValue(), 6.0);
    EXPECT_EQ(scroll->documentVisibleRect().top(), 300);

    preview->saveState(7.3);
    scroll->scrollToPoint(QPoint(0, 0));
    preview->restoreState();
    EXPECT_DOUBLE_EQ(controller->zoomSliderValue(), 7.3);
    EXPECT_EQ(scroll->documentVisibleRect().top(), 300);
}

TEST_F(PreviewTest, OnlyTheSheetsInViewAreEnabledAndRedrawn)
{
    open(QSize(700, 400));
    services->records = 60; // ten sheets of 125 points
    rebuild();
    QApplication::processEvents();
    PaintCounter counter;
    const QList<LBRenderingView*> views = preview->renderingViews();
    ASSERT_EQ(views.size(), 10);
    for (LBRenderingView* view : views)
        view->installEventFilter(&counter);
    preview->scrollView()->scrollToPoint(QPoint(0, int(preview->sheetRect(4).top())));
    QApplication::processEvents();
    counter.paints.clear();
    const qint64 before = preview->sheetRedisplayCount();
    preview->refreshRenderingView();
    QApplication::processEvents();
    const QRect visible = preview->scrollView()->documentVisibleRect();
    qint64 inView = 0;
    for (qsizetype i = 0; i < views.size(); ++i) {
        const bool shown = visible.intersects(views[i]->geometry());
        inView += shown;
        EXPECT_EQ(counter.paints.value(views[i]) > 0, shown) << "sheet " << i;
        EXPECT_TRUE(!shown || views[i]->drawingEnabled()) << "sheet " << i;
    }
    EXPECT_GE(inView, 2);
    EXPECT_LT(inView, 5);
    EXPECT_EQ(preview->sheetRedisplayCount() - before, inView);
    EXPECT_FALSE(views[9]->drawingEnabled());
    // A sheet never in view is not even shown: thousands of shown sheets cost every show
    // and move a walk over all of them.
    EXPECT_TRUE(views[9]->isHidden());
    EXPECT_FALSE(views[4]->isHidden());
}

TEST_F(PreviewTest, ImportedRecordsTakeTheWarningBarAwayAndGiveItsRoomBack)
{
    open();
    QWidget* container = preview->mainView()->parentWidget();
    ASSERT_TRUE(container);
    const int height = preview->mainView()->height();
    preview->showContactListWarningBarIfNecessary(container);
    ASSERT_EQ(preview->statusBar()->parentWidget(), container);
    // The records fill a label each: the repeat count alone no longer sets how many print.
    document->setImportTextArray({QStringLiteral("Ann"), QStringLiteral("Bob")}, 1);
    preview->showContactListWarningBarIfNecessary(container);
    EXPECT_EQ(preview->statusBar()->parentWidget(), nullptr);
    EXPECT_EQ(preview->mainView()->height(), height);
}

TEST_F(PreviewTest, TheWarningBarShowsWithoutContactColumnsAndHelpOpensItsSheet)
{
    open();
    QWidget* container = preview->mainView()->parentWidget();
    ASSERT_TRUE(container);
    ASSERT_FALSE(controller->columnsAreShowing());
    const int height = preview->mainView()->height();
    preview->showContactListWarningBarIfNecessary(container);
    QWidget* bar = preview->statusBar();
    EXPECT_EQ(bar->parentWidget(), container);
    EXPECT_EQ(bar->geometry(),
              QRect(0, container->height() - bar->height(), container->width(), bar->height()));
    EXPECT_EQ(preview->mainView()->height(), height - bar->height());
    // Laid out again, it stays where it is and the main view shrinks once.
    preview->showContactListWarningBarIfNecessary(container);
    EXPECT_EQ(preview->mainView()->height(), height - bar->height());

    preview->contactListHelpAction();
    EXPECT_TRUE(preview->contactListHelpPanel()->isVisible());
    EXPECT_EQ(preview->contactListHelpPanel()->parentWidget(), controller->window());
    preview->dismissContactListHelpPanel();
    EXPECT_FALSE(preview->contactListHelpPanel()->isVisible());
    // Leaving preview takes the bars and the view out of the window and tells its frame.
    const QRect frame = preview->mainView()->geometry();
    EXPECT_EQ(preview->hidePage(), QRectF(frame));
    EXPECT_EQ(bar->parentWidget(), nullptr);
    EXPECT_EQ(preview->mainView()->parentWidget(), nullptr);
}

TEST_F(PreviewTest, TheOwnCardChangingRebuildsAndTypingWaitsHalfASecond)
{
    open();
    services->records = 6;
    rebuild();
    services->records = 12;
    platform::NotificationCenter::defaultCenter().post(
        QStringLiteral("LBMePersonChangedNotification"));
    EXPECT_EQ(preview->renderingViews().size(), 2);

    // Each keystroke in a start field puts its action off until 0.5 s after the last one.
    QLineEdit field;
    preview->controlTextDidChange(&field);
    EXPECT_TRUE(preview->textFieldTimerPending());
    waitFor([] { return false; }, 300);
    preview->controlTextDidChange(&field);
    waitFor([] { return false; }, 300);
    EXPECT_TRUE(preview->textFieldTimerPending());
    EXPECT_TRUE(waitFor([&] { return !preview->textFieldTimerPending(); }, 1000));
}

TEST_F(PreviewTest, SheetsDrawTheirCellsAgainWhenAResizeSettles)
{
    open();
    services->records = 6;
    rebuild();
    waitFor([] { return false; }, LBPageView::LiveResizeSettleMilliseconds + 100);
    LBRenderingView* sheet = preview->renderingViews().first();
    // Opaque, a sheet is not drawn again with the page view: it draws itself once the
    // size has settled, having left its cells out meanwhile.
    struct SettledPaints : QObject
    {
        LBRenderingView* sheet = nullptr;
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && !sheet->inLiveResize())
                ++count;
            return false;
        }
    } settled;
    settled.sheet = sheet;
    preview->pageView()->resize(preview->pageView()->size() + QSize(40, 0));
    ASSERT_TRUE(sheet->inLiveResize());
    sheet->installEventFilter(&settled);
    EXPECT_TRUE(waitFor([&] { return settled.count > 0; }));
    EXPECT_FALSE(sheet->inLiveResize());
}

TEST_F(PreviewTest, ARebuildAskedForWhilePaintingWaitsForThePaintToEnd)
{
    open();
    services->records = 6;
    rebuild();
    ASSERT_EQ(preview->renderingViews().size(), 1);
    // More records than renderers: the rectangle reaches past the last one.
    services->records = 30;
    preview->drawGraphicsInRect(QRectF(0, 0, 400, 2000));
    EXPECT_EQ(preview->renderingViews().size(), 1);
    ASSERT_TRUE(waitFor([&] { return preview->renderingViews().size() == 5; }));
}

TEST_F(PreviewTest, TextFitIsMeasuredForTheSheetsShownOnly)
{
    open(QSize(700, 480));   // the least height a window takes
    services->records = 600; // a hundred sheets
    const auto box = insertTextBox(*document, QRectF(10, 10, 30, 20),
                                   testText("A line much wider than the box"));
    box->setTextResizeMask(LBTextArea::ReduceFont);
    box->shrinkMultipliers().insert(599, {0.5});
    rebuild();
    // A rebuild forgets the factors and measures the records of the sheets in view.
    EXPECT_FALSE(box->shrinkMultipliers().contains(599));
    EXPECT_TRUE(box->shrinkMultipliers().contains(0));
    EXPECT_LE(box->shrinkMultipliers().size(), 24); // four sheets of six labels at most
    // Scrolled to sheet 50, its records are measured when it shows.
    preview->scrollView()->scrollToPoint(QPoint(0, int(preview->sheetRect(50).top())));
    preview->refreshRenderingView();
    EXPECT_TRUE(box->shrinkMultipliers().contains(300));
    EXPECT_LE(box->shrinkMultipliers().size(), 48);
}
