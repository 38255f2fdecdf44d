// The design drawer: its modes and the two settings, lazily made browsers, the tab layout,
// the tab highlight and the kit browser's graphic builder.

#include "controls/LBDrawerBarView.h"
#include "controls/LBGradientButton.h"
#include "document/LBDocument.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UserDefaults.h"
#include "shapes/LBImage.h"
#include "window/DrawerBrowser.h"
#include "window/LBDrawerController.h"

#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

// A browser that counts how often it was made and shows a plain view.
class CountingBrowser : public DrawerBrowser
{
public:
    explicit CountingBrowser(int* made) { ++*made; }
    ~CountingBrowser() override { delete _view.data(); }
    QWidget* mainView() override { return _view; }
    void setOutlineHeightFromPrefs(const QString& key) override { keys.append(key); }
    QStringList keys;

private:
    QPointer<QWidget> _view = new QWidget;
};

class DrawerTest : public ::testing::Test
{
protected:
    DrawerTest()
    {
        defaults().removeObjectForKey(QStringLiteral("Graphics Drawer Selection"));
        defaults().removeObjectForKey(QStringLiteral("Graphics Drawer Open"));
        // The kit browser's first showing imports no sample kit here.
        defaults().setBool(true, QStringLiteral("SkipKitCheck3"));
        for (const qint64 mode : {0, 4, 5, 6})
            DrawerBrowser::setFactory(mode,
                                      [this] { return std::make_unique<CountingBrowser>(&made); });
    }
    ~DrawerTest() override
    {
        for (const qint64 mode : {0, 4, 5, 6})
            DrawerBrowser::setFactory(mode, {});
        defaults().removeObjectForKey(QStringLiteral("SkipKitCheck3"));
    }
    int made = 0;
};

} // namespace

TEST_F(DrawerTest, OpensOnShapesUnlessPhotosOrKitsWereLastAndStoresItsModes)
{
    struct Case
    {
        qint64 stored;
        qint64 opens;
    };
    for (const Case c : {Case{5, 0}, Case{6, 0}, Case{4, 0}, Case{2, 2}, Case{3, 3}, Case{1, 1}}) {
        defaults().setInteger(c.stored, QStringLiteral("Graphics Drawer Selection"));
        LBDrawerController drawer;
        EXPECT_EQ(drawer.mode(), c.opens) << c.stored;
        EXPECT_EQ(defaults().integerForKey(QStringLiteral("Graphics Drawer Open")), c.opens);
    }
    {
        LBDrawerController drawer;
        drawer.setMode(4);
        EXPECT_EQ(defaults().integerForKey(QStringLiteral("Graphics Drawer Selection")), 4);
        EXPECT_EQ(drawer.barView()->labelString(), "Text");
        EXPECT_TRUE(drawer.tabButton(4)->cell()->isSelected());
        // Mode 1 keeps the selection; the same mode again still stores the open mode.
        drawer.setMode(1);
        EXPECT_EQ(defaults().integerForKey(QStringLiteral("Graphics Drawer Selection")), 4);
        EXPECT_EQ(defaults().integerForKey(QStringLiteral("Graphics Drawer Open")), 1);
        defaults().setInteger(9, QStringLiteral("Graphics Drawer Open"));
        drawer.setMode(1);
        EXPECT_EQ(defaults().integerForKey(QStringLiteral("Graphics Drawer Open")), 1);
        // The photo options and help show in photo mode only.
        drawer.setMode(2);
        EXPECT_EQ(drawer.barView()->labelString(), "Photos");
        EXPECT_FALSE(drawer.photoOptionsPullDown()->isHidden());
        drawer.setMode(0);
        EXPECT_TRUE(drawer.photoOptionsPullDown()->isHidden());
        EXPECT_TRUE(drawer.photoHelpText()->isHidden());
    }
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("Graphics Drawer Open")), -1);
}

TEST_F(DrawerTest, BrowsersAreMadeOnceAndKeptAcrossSwitches)
{
    LBDrawerController drawer; // shapes
    EXPECT_EQ(made, 1);
    QWidget* shapes = drawer.browser(0)->mainView();
    EXPECT_EQ(shapes->parentWidget(), drawer.view());
    EXPECT_EQ(shapes->geometry(), drawer.browserFrame().toRect());
    // Under the title bar, 12 above the drawer's bottom edge.
    EXPECT_EQ(shapes->geometry().top(), drawer.barView()->geometry().bottom() + 1 + 24);
    EXPECT_EQ(shapes->geometry().bottom() + 1, drawer.view()->height() - 12);
    drawer.setMode(5);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(shapes->parentWidget(), nullptr);
    EXPECT_EQ(static_cast<CountingBrowser*>(drawer.browser(5))->keys,
              QStringList{"Favorites Outline Height"});
    drawer.setMode(0);
    drawer.setMode(5);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(drawer.browser(0)->mainView(), shapes);
    // Without a factory a mode shows nothing under its tab and title.
    DrawerBrowser::setFactory(6, {});
    drawer.setMode(6);
    EXPECT_EQ(drawer.browser(6), nullptr);
    EXPECT_EQ(drawer.barView()->labelString(), "Fields");
    EXPECT_TRUE(drawer.tabButton(6)->cell()->isSelected());
}

TEST_F(DrawerTest, TabsShareTheBarWidth)
{
    struct Case
    {
        double width;
        int first;
        int others;
        int end;
    };
    for (const Case c :
         {Case{301, 50, 50, 300}, Case{305, 54, 50, 304}, Case{250.7, 44, 41, 249}}) {
        const QList<QPair<int, int>> frames = LBDrawerController::tabFrames(c.width);
        ASSERT_EQ(frames.size(), 6);
        EXPECT_EQ(frames[0], qMakePair(0, c.first)) << c.width;
        for (int i = 1; i < 6; ++i) {
            EXPECT_EQ(frames[i].second, c.others) << c.width;
            EXPECT_EQ(frames[i].first, frames[i - 1].first + frames[i - 1].second);
        }
        EXPECT_EQ(frames[5].first + frames[5].second, c.end) << c.width;
    }
    LBDrawerController drawer;
    drawer.view()->resize(301, 400);
    drawer.drawerResized();
    EXPECT_EQ(drawer.tabButton(0)->geometry().x(), 0);
    EXPECT_EQ(drawer.tabButton(0)->width(), 50);
    // Fields before favourites at the right end.
    EXPECT_EQ(drawer.tabButton(6)->geometry().x(), 200);
    EXPECT_EQ(drawer.tabButton(5)->geometry().right() + 1, 300);
}

TEST_F(DrawerTest, AHeldTabUnselectsTheCurrentOneUntilLetGo)
{
    LBDrawerController drawer;
    drawer.setMode(4);
    drawer.tabButton(2)->cell()->noteHighlight(true);
    EXPECT_FALSE(drawer.tabButton(4)->cell()->isSelected());
    drawer.tabButton(2)->cell()->noteHighlight(false);
    EXPECT_TRUE(drawer.tabButton(4)->cell()->isSelected());
    // The current tab itself changes nothing.
    drawer.tabButton(4)->cell()->noteHighlight(true);
    EXPECT_TRUE(drawer.tabButton(4)->cell()->isSelected());
}

TEST_F(DrawerTest, KitFilesBecomeImageGraphics)
{
    LBDrawerController drawer;
    const QStringList files{"/lib/Kits/Winter.icorbeil/Images/a.png",
                            "/lib/Kits/Winter.icorbeil/Images/b.png"};
    const QStringList sizes{"{600, 400}", "{30, 20}"};
    struct Case
    {
        bool paper;
        bool quickPage;
        qint64 type;
    };
    for (const Case c :
         {Case{true, false, LBImage::PaperToConfirm},
          Case{false, true, LBImage::QuickPageToConfirm}, Case{true, true, LBImage::PaperToConfirm},
          Case{false, false, LBImage::OrdinaryImage}}) {
        const QList<LBGraphicPtr> graphics =
            LBDrawerController::graphicsForFiles(files, sizes, c.paper, c.quickPage);
        ASSERT_EQ(graphics.size(), 2);
        const auto* first = dynamic_cast<const LBImage*>(graphics[0].get());
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->lazyImagePath(), files[0]);
        EXPECT_EQ(first->bounds(), QRectF(0, 0, 600, 400));
        EXPECT_EQ(first->specialImageType(), c.type);
    }
    // A dragged paper image: graphics-list data under the program's own type.
    QString type;
    const QByteArray data =
        drawer.pasteboardDataForFiles(files.mid(0, 1), sizes.mid(0, 1), &type, true, false);
    EXPECT_EQ(type, "Quarn Print Line 1");
    const std::optional<LBDocument::GraphicsList> list = LBDocument::graphicsForData(data);
    ASSERT_TRUE(list.has_value());
    const LBDocument::Layer back = list->graphics;
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(dynamic_cast<const LBImage*>(back[0].get())->specialImageType(),
              LBImage::PaperToConfirm);
    // Without a design nothing is inserted (and nothing breaks).
    drawer.insertCorbeilFiles(files, sizes, false, false);
}
