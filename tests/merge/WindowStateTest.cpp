// The document window's state as the user moves between preview and design and sizes the
// window: the sheets, their zoom and page count come back with preview, the contact columns
// keep their widths while the sheets take what the window gains or loses, and the window
// can always be made as small as its panes allow again.

#include "MergeTestSupport.h"
#include "PreviewSupport.h"

#include "controls/LBSplitView.h"
#include "layouts/LBPageView.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/KXPopUpImageButton.h"
#include "platform/ui/ScrollView.h"
#include "shapes/ShapeClasses.h"
#include "window/DesignModeController.h"
#include "window/LBEditController.h"
#include "window/WindowMenus.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QTest>

namespace {

platform::UserDefaults& settings()
{
    return platform::UserDefaults::standardUserDefaults();
}

// What the user sees of preview mode.
struct PreviewState
{
    bool sheetsShow = false;
    QRect sheetsArea;   // the preview's view, in the window
    QRect sheetsFrame;  // the scroll view of the sheets, in the preview's view
    QRect visibleSheet; // the part of the page view the scroll view shows
    bool columnsShow = false;
    int groupWidth = 0;
    int peopleWidth = 0;
    QString pageCount;
    bool pageCountShows = false;
    bool zoomShows = false;
    int zoomPercent = 0;
};

} // namespace

class WindowState : public SheetTest
{
protected:
    WindowState()
    {
        registerShapeClasses();
        for (const char* key : {"Column 1 Width", "Column 2 Width", "LBDrawerIsClosed",
                                "Window Frame DocumentWindow"})
            settings().removeObjectForKey(QLatin1String(key));
        settings().setBool(true, QStringLiteral("LayersViewIsClosed"));
        WindowMenus::table() = WindowMenus::defaultTable();
        DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
        document->setOpenedExistingFile(true); // no layout chooser
    }
    ~WindowState() override
    {
        if (document)
            document->close();
        DesignModeController::setFactory({});
        WindowMenus::table().clear();
        for (const char* key : {"Column 1 Width", "Column 2 Width", "LayersViewIsClosed",
                                "Window Frame DocumentWindow"})
            settings().removeObjectForKey(QLatin1String(key));
    }

    QMainWindow* window() const { return controller->mainWindow(); }

    // The window of another document on this one's layout, with an address box, shown.
    TestWindowController* openWindowBeside(LBDocument& other)
    {
        auto* opened = new TestWindowController;
        other.setOpenedExistingFile(true);
        other.dimensionInfo() = document->dimensionInfo();
        addAddressBox(other);
        other.addWindowController(opened);
        opened->window()->show();
        settle();
        return opened;
    }

    // An address box on the design: the contact columns show in preview.
    static void addAddressBox(LBDocument& design)
    {
        insertTextBox(design, QRectF(5, 5, 80, 30),
                      platform::AttributedString(QStringLiteral("Name")),
                      LBTextArea::DeliveryAddressBox);
    }

    // The user picks the menu bar's item of the selector; it must be enabled.
    void choose(const char* selector)
    {
        controller->validateMenus();
        QAction* item = controller->menuItemWithSelector(QLatin1String(selector));
        ASSERT_NE(item, nullptr) << selector;
        ASSERT_TRUE(item->isEnabled()) << selector;
        item->trigger();
        settle();
    }
    // The user types the key sequence into the window.
    void type(const QKeySequence& keys)
    {
        window()->activateWindow();
        QApplication::setActiveWindow(window());
        QTest::keySequence(window(), keys);
        settle();
    }
    static void settle()
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
    }
    void resizeWindow(const QSize& size)
    {
        window()->resize(size);
        settle();
    }

    PreviewState previewState() const
    {
        PreviewState state;
        auto* preview = dynamic_cast<LBCreateController*>(controller->createController());
        QWidget* view = controller->previewView();
        state.sheetsShow =
            preview && view->isVisible() && preview->pageView() && preview->pageView()->isVisible();
        state.sheetsArea = QRect(view->mapTo(window(), QPoint(0, 0)), view->size());
        if (preview)
            state.visibleSheet = preview->scrollView()->documentVisibleRect();
        if (preview) {
            const QWidget* scroll = preview->scrollView();
            state.sheetsFrame = QRect(scroll->mapTo(view, QPoint(0, 0)), scroll->size());
        }
        state.columnsShow = controller->groupColumn()->isVisible();
        state.groupWidth = controller->groupColumn()->width();
        state.peopleWidth = controller->peopleColumn()->width();
        state.pageCount = controller->pageCountText()->text();
        state.pageCountShows = controller->pageCountText()->isVisible();
        state.zoomShows = controller->zoomPopupButton()->isVisible();
        state.zoomPercent = qRound(controller->zoomFactor() * 100);
        return state;
    }
    static void expectSame(const PreviewState& actual, const PreviewState& expected)
    {
        EXPECT_TRUE(actual.sheetsShow);
        EXPECT_EQ(actual.sheetsShow, expected.sheetsShow);
        EXPECT_EQ(actual.sheetsArea, expected.sheetsArea);
        EXPECT_EQ(actual.sheetsFrame, expected.sheetsFrame);
        EXPECT_EQ(actual.visibleSheet.size(), expected.visibleSheet.size());
        EXPECT_EQ(actual.columnsShow, expected.columnsShow);
        EXPECT_EQ(actual.groupWidth, expected.groupWidth);
        EXPECT_EQ(actual.peopleWidth, expected.peopleWidth);
        EXPECT_EQ(actual.pageCount, expected.pageCount);
        EXPECT_TRUE(actual.pageCountShows);
        EXPECT_TRUE(actual.zoomShows);
        EXPECT_EQ(actual.zoomPercent, expected.zoomPercent);
    }

    PreviewScope scope;
};

TEST_F(WindowState, PreviewAfterDesignShowsTheSheetsAsBefore)
{
    addAddressBox(*document);
    PreviewScope::open(*controller, QSize(1000, 700));
    ASSERT_EQ(controller->mode(), LBWindowController::PreviewMode);
    const PreviewState first = previewState();
    ASSERT_TRUE(first.sheetsShow);
    ASSERT_TRUE(first.columnsShow);
    ASSERT_GT(first.sheetsArea.width(), int(LBWindowController::PreviewMinWidth) - 20);
    ASSERT_FALSE(first.pageCount.isEmpty());
    // The sheets fill the view above its 34-point bar, from its top edge.
    EXPECT_EQ(first.sheetsFrame.top(), 0);
    EXPECT_EQ(first.sheetsFrame.bottom() + 1, first.sheetsArea.height() - 34);

    // Through View > Design and View > Preview, twice over. (Ctrl+1 and Ctrl+2 belong to
    // the Inspector menu's panes.)
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        choose("switchToDesignMode:");
        EXPECT_EQ(controller->mode(), LBWindowController::DesignMode);
        EXPECT_FALSE(controller->previewView()->isVisible());
        EXPECT_FALSE(controller->groupColumn()->isVisible());
        choose("switchToViewMode:");
        EXPECT_EQ(controller->mode(), LBWindowController::PreviewMode);
        expectSame(previewState(), first);
    }
}

TEST_F(WindowState, AWindowMadeLargeCanBeMadeSmallAgainAndTheSheetsTakeTheWidth)
{
    addAddressBox(*document);
    PreviewScope::open(*controller, QSize(1000, 700));
    const PreviewState small = previewState();
    ASSERT_TRUE(small.columnsShow);
    // The columns and 594 points of sheets beside them.
    const QWidget* people = controller->peopleColumn();
    const int columnsRight = people->mapTo(window(), QPoint(people->width(), 0)).x();
    const QSize least(columnsRight + int(LBWindowController::PreviewMinWidth), 480);
    EXPECT_EQ(window()->minimumSize(), least);

    resizeWindow(QSize(1600, 800));
    ASSERT_EQ(window()->width(), 1600);
    const PreviewState large = previewState();
    // The columns keep their widths; the sheets take what the window gained.
    EXPECT_EQ(large.groupWidth, small.groupWidth);
    EXPECT_EQ(large.peopleWidth, small.peopleWidth);
    EXPECT_EQ(large.sheetsArea.width(), small.sheetsArea.width() + 600);
    EXPECT_EQ(window()->minimumSize(), least);

    // Back to the smaller size, and down to the least one.
    resizeWindow(QSize(1000, 700));
    EXPECT_EQ(window()->size(), QSize(1000, 700));
    expectSame(previewState(), small);
    resizeWindow(least);
    EXPECT_EQ(window()->size(), least);
    EXPECT_EQ(previewState().groupWidth, small.groupWidth);
    EXPECT_EQ(previewState().peopleWidth, small.peopleWidth);

    // Design mode in that window: the drawer keeps its width beside the design.
    choose("switchToDesignMode:");
    QWidget* drawer = controller->drawerSuperview();
    EXPECT_TRUE(drawer->isVisible());
    EXPECT_GE(drawer->width(), int(LBWindowController::DrawerMinWidth));
    EXPECT_LE(drawer->mapTo(window(), QPoint(drawer->width(), 0)).x(), window()->width());
    // Made large in design mode, and small again in preview.
    resizeWindow(QSize(1600, 800));
    EXPECT_LE(drawer->mapTo(window(), QPoint(drawer->width(), 0)).x(), window()->width());
    choose("switchToViewMode:");
    EXPECT_EQ(previewState().groupWidth, small.groupWidth);
    EXPECT_EQ(previewState().peopleWidth, small.peopleWidth);
    EXPECT_EQ(window()->minimumSize(), least);
    resizeWindow(QSize(1000, 700));
    expectSame(previewState(), small);

    // A window opened after it takes the large frame, the columns' widths and the least
    // size, and can be made smaller.
    resizeWindow(QSize(1600, 800));
    LBDocument other;
    TestWindowController* second = openWindowBeside(other);
    EXPECT_EQ(second->window()->width(), 1600);
    EXPECT_EQ(second->groupColumn()->width(), small.groupWidth);
    EXPECT_EQ(second->peopleColumn()->width(), small.peopleWidth);
    EXPECT_EQ(second->window()->minimumSize(), least);
    second->window()->resize(1000, 700);
    settle();
    EXPECT_EQ(second->window()->size(), QSize(1000, 700));
    other.close();
}

TEST_F(WindowState, WithoutColumnsTheWindowKeepsRoomForTheSheetsAndTheDrawer)
{
    PreviewScope::open(*controller, QSize(1000, 700));
    ASSERT_FALSE(controller->columnsAreShowing());
    const QSize least(int(LBWindowController::PreviewMinWidth), 480);
    EXPECT_EQ(window()->minimumSize(), least);
    resizeWindow(QSize(300, 300));
    EXPECT_EQ(window()->size(), least);

    choose("switchToDesignMode:");
    QWidget* drawer = controller->drawerSuperview();
    ASSERT_TRUE(drawer->isVisible());
    EXPECT_GE(drawer->width(), int(LBWindowController::DrawerMinWidth));
    // At every width the drawer shows whole, its browsers as wide as it.
    for (int width : {594, 640, 803, 1000, 1600, 700}) {
        resizeWindow(QSize(width, 600));
        EXPECT_LE(drawer->mapTo(window(), QPoint(drawer->width(), 0)).x(), window()->width())
            << width;
        EXPECT_GE(drawer->width(), int(LBWindowController::DrawerMinWidth)) << width;
        ASSERT_NE(controller->drawerSplitView(), nullptr);
        EXPECT_EQ(controller->drawerSplitView()->width(), drawer->width()) << width;
        EXPECT_GT(controller->designView()->width(), 0) << width;
    }

    // An address box added in design: back in preview the columns show, and the window
    // keeps room for them beside the sheets.
    addAddressBox(*document);
    choose("switchToViewMode:");
    ASSERT_TRUE(controller->columnsAreShowing());
    const PreviewState state = previewState();
    EXPECT_TRUE(state.sheetsShow);
    EXPECT_TRUE(state.columnsShow);
    EXPECT_GT(state.groupWidth, 0);
    EXPECT_GT(state.peopleWidth, 0);
    EXPECT_GE(state.sheetsArea.width(), int(LBWindowController::PreviewMinWidth) - 20);
    const QWidget* people = controller->peopleColumn();
    const int columnsRight = people->mapTo(window(), QPoint(people->width(), 0)).x();
    EXPECT_EQ(window()->minimumWidth(),
              std::min(window()->width(), columnsRight + int(LBWindowController::PreviewMinWidth)));
}

TEST_F(WindowState, ThePeopleColumnDraggedWiderKeepsItsWidthInEveryWindowOpenedAfter)
{
    addAddressBox(*document);
    PreviewScope::open(*controller, QSize(1000, 700));
    ASSERT_TRUE(controller->columnsAreShowing());
    // The divider between the people and the sheets dragged 40 to the right.
    QSplitterHandle* divider = controller->previewSplitView()->handle(2);
    ASSERT_NE(divider, nullptr);
    const int before = controller->peopleColumn()->width();
    const QPoint grip = divider->rect().center();
    QTest::mousePress(divider, Qt::LeftButton, {}, grip);
    QTest::mouseMove(divider, grip + QPoint(40, 0));
    QTest::mouseRelease(divider, Qt::LeftButton, {}, divider->rect().center());
    settle();
    const int dragged = controller->peopleColumn()->width();
    ASSERT_GT(dragged, before + 20);

    // Each window opened after, one after the other, shows it as wide.
    for (int opened = 1; opened <= 3; ++opened) {
        LBDocument other;
        TestWindowController* next = openWindowBeside(other);
        EXPECT_EQ(next->peopleColumn()->width(), dragged) << "window " << opened;
        next->window()->resize(next->window()->size() + QSize(30, 0));
        settle();
        other.close();
    }
}
