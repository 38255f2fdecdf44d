// Browsing the library: the modes walked from the home list (what each lists, the skipped
// lists, the counts, the path bar and its way back), searching, the kit size menu, the
// filter menus, the types lists and the path bar's widths.

#include "KitBrowserTestSupport.h"

#include "kitbrowser/SGPathControl.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/ImageBrowserView.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTableView>
#include <QTest>

#include <functional>

using namespace kitbrowsertest;
using kitfixtures::Graphic;
using kitfixtures::Kit;

namespace {

Graphic graphic(const QString& name, const QString& type, const QString& color,
                const QStringList& secondary = {}, const QString& subtype = QString())
{
    Graphic g;
    g.name = name;
    g.type = type;
    g.primaryColor = color;
    g.secondaryColors = secondary;
    g.subtype = subtype;
    return g;
}

class KitBrowsing : public KitBrowserViewTest
{
protected:
    void SetUp() override
    {
        KitBrowserViewTest::SetUp();
        Kit garden;
        garden.name = QStringLiteral("Garden");
        garden.author = QStringLiteral("Ann");
        garden.kitType = VQPaperKitType;
        garden.kitSize = VQ12x12KitSize;
        garden.tags = {QStringLiteral("spring")};
        garden.graphics = {graphic("Rose Paper", VQPaper, VQRed),
                           graphic("Leaf Paper", VQPaper, VQGreen, {VQRed})};
        Kit holiday;
        holiday.name = QStringLiteral("Holiday");
        holiday.author = QStringLiteral("Bob");
        holiday.kitType = VQCompleteKitType;
        holiday.kitSize = VQLetterKitSize;
        holiday.description = QStringLiteral("Festive ribbons");
        Graphic letter = graphic("Letter A", VQAlphabet, VQBlack);
        letter.tags = {QStringLiteral("letter a")};
        holiday.graphics = {graphic("Snow Paper", VQPaper, VQWhite),
                            graphic("Red Ribbon", VQEmbellishment, VQRed, {}, VQRibbon),
                            graphic("Gift Tag", VQEmbellishment, VQBrown, {VQRed}, VQTag), letter};
        Kit trims;
        trims.name = QStringLiteral("Trims");
        trims.author = QStringLiteral("Ann");
        trims.kitType = VQEmbellishmentKitType;
        trims.kitSize = VQ5x7KitSize;
        trims.graphics = {graphic("Blue Ribbon", VQEmbellishment, VQBlue, {}, VQRibbon)};
        {
            SGCorbeilController importer(QStringLiteral("iCorbeil View"));
            importer.importCorbeils({writeKit(garden), writeKit(holiday), writeKit(trims)});
        }
        _alerts.clear();
        startBrowser(QStringLiteral("iCorbeil View"), QSize(420, 560));
    }

public:
    void home(int row) { outlet<QTableView>("homeTable")->selectRow(row); }
    void pickName(const QString& name)
    {
        const int row = int(_controller->namesArray().indexOf(name));
        ASSERT_GE(row, 0) << name.toStdString();
        outlet<QTableView>(_controller->mode() == 15 ? "colorsTable" : "intermediateTable")
            ->selectRow(row);
    }
    void pickKit(const QString& name)
    {
        const int index = int(kitNames(_controller->kitsArray()).indexOf(name));
        ASSERT_GE(index, 0) << name.toStdString();
        outlet<platform::ImageBrowserView>("kitBrowser")->setSelectionIndexes({index});
    }
    void back(int segment)
    {
        SGPathControl* path = nullptr;
        for (const char* name : {"homePathControl", "kitsPathControl", "intermediatePathControl",
                                 "colorsPathControl", "graphicsPathControl"}) {
            auto* candidate = outlet<SGPathControl>(name);
            if (candidate->isVisibleTo(_controller->view())
                && candidate->parentWidget()->isVisibleTo(_controller->view()))
                path = candidate;
        }
        ASSERT_TRUE(path);
        // A click on the segment, where the cell places it.
        qreal x = 1;
        for (int i = 0; i < segment; ++i)
            x += path->cell()->widthForSegment(i);
        QTest::mouseClick(path, Qt::LeftButton, Qt::NoModifier, QPoint(int(x) + 2, 10));
    }

    // What the current panel lists.
    QStringList listed() const
    {
        const int mode = _controller->mode();
        if (mode == 1 || mode == 4 || mode == 5 || mode == 9 || mode == 13 || mode == 16) {
            if (mode == 4) {
                QStringList authors;
                for (const SGKitRecord& kit : _controller->kitsArray())
                    authors.append(kit.author);
                return authors;
            }
            return kitNames(_controller->kitsArray());
        }
        if (mode == 3 || mode == 7 || mode == 11 || mode == 14 || mode == 18)
            return objectNames(_controller->graphicsArray());
        return _controller->namesArray();
    }

    QString countText()
    {
        const int mode = _controller->mode();
        const bool kits =
            mode == 1 || mode == 4 || mode == 5 || mode == 9 || mode == 13 || mode == 16;
        return outlet<QLabel>(kits ? "kitsCountField" : "graphicsCountField")->text();
    }
};

struct Step
{
    std::function<void(KitBrowsing&)> action;
    int mode;
    QStringList path;
    QStringList listed;
    QString count; // empty: not a kit or graphic panel
};

} // namespace

TEST_F(KitBrowsing, WalkingTheModes)
{
    const QString allTypes = QStringLiteral("ALL TYPES");
    const QStringList colors = _controller->colorNames();
    // Each walk starts at home.
    const QList<QList<Step>> walks = {
        {
            // Kits: the "All Kits" item heads three kits; a kit of one type goes straight on.
            {[](KitBrowsing& t) { t.home(0); },
             1,
             {"W", "Kits"},
             {"All Kits", "Garden", "Holiday", "Trims"},
             "3 items"},
            {[](KitBrowsing& t) { t.pickKit("Garden"); },
             3,
             {"W", "Kits", "Garden", "Paper"},
             {"Leaf Paper", "Rose Paper"},
             "2 items"},
            {[](KitBrowsing& t) { t.back(1); },
             1,
             {"W", "Kits"},
             {"All Kits", "Garden", "Holiday", "Trims"},
             "3 items"},
            {[](KitBrowsing& t) { t.pickKit("Holiday"); },
             2,
             {"W", "Kits", "Holiday"},
             {allTypes, "Alphabet", "Paper", "Embellishment", "   Ribbon", "   Tag"},
             ""},
            {[](KitBrowsing& t) { t.pickName("   Ribbon"); },
             3,
             {"W", "Kits", "Holiday", "Ribbon"},
             {"Red Ribbon"},
             "1 item"},
            {[](KitBrowsing& t) { t.back(2); },
             2,
             {"W", "Kits", "Holiday"},
             {allTypes, "Alphabet", "Paper", "Embellishment", "   Ribbon", "   Tag"},
             ""},
            {[allTypes](KitBrowsing& t) { t.pickName(allTypes); },
             3,
             {"W", "Kits", "Holiday", allTypes},
             {"Letter A", "Red Ribbon", "Gift Tag", "Snow Paper"},
             "4 items"},
            {[](KitBrowsing& t) { t.back(0); }, 0, {"W"}, {}, ""},
        },
        {
            // A kit of an embellishment and one subtype goes straight to that subtype.
            {[](KitBrowsing& t) { t.home(0); },
             1,
             {"W", "Kits"},
             {"All Kits", "Garden", "Holiday", "Trims"},
             "3 items"},
            {[](KitBrowsing& t) { t.pickKit("Trims"); },
             3,
             {"W", "Kits", "Trims", "Ribbon"},
             {"Blue Ribbon"},
             "1 item"},
        },
        {
            // The "All Kits" item shows the types of every kit.
            {[](KitBrowsing& t) { t.home(0); },
             1,
             {"W", "Kits"},
             {"All Kits", "Garden", "Holiday", "Trims"},
             "3 items"},
            {[](KitBrowsing& t) { t.pickKit("All Kits"); },
             2,
             {"W", "Kits", "All Kits"},
             {allTypes, "Alphabet", "Paper", "Embellishment", "   Ribbon", "   Tag"},
             ""},
        },
        {
            // Artists: one entry per author, counted without an "All Kits" item.
            {[](KitBrowsing& t) { t.home(1); }, 4, {"W", "Artists"}, {"Ann", "Bob"}, "2 items"},
            {[](KitBrowsing& t) { t.pickKit("Garden"); },
             5,
             {"W", "Artists", "Ann"},
             {"All Kits", "Garden", "Trims"},
             "2 items"},
            {[](KitBrowsing& t) { t.pickKit("Trims"); },
             7,
             {"W", "Artists", "Ann", "Trims", "Ribbon"},
             {"Blue Ribbon"},
             "1 item"},
            {[](KitBrowsing& t) { t.back(2); },
             5,
             {"W", "Artists", "Ann"},
             {"All Kits", "Garden", "Trims"},
             "2 items"},
        },
        {
            // Kit types.
            {[](KitBrowsing& t) { t.home(2); },
             8,
             {"W", "Kit Types"},
             {"Complete Kit", "Embellishments", "Paper"},
             ""},
            {[](KitBrowsing& t) { t.pickName("Paper"); },
             9,
             {"W", "Kit Types", "Paper"},
             {"Garden"},
             "1 item"},
            {[](KitBrowsing& t) { t.pickKit("Garden"); },
             11,
             {"W", "Kit Types", "Paper", "Garden", "Paper"},
             {"Leaf Paper", "Rose Paper"},
             "2 items"},
            {[](KitBrowsing& t) { t.back(1); },
             8,
             {"W", "Kit Types"},
             {"Complete Kit", "Embellishments", "Paper"},
             ""},
        },
        {
            // Image types: no "ALL TYPES" there; a subtype's kits, then all their graphics of it.
            {[](KitBrowsing& t) { t.home(3); },
             12,
             {"W", "Image Types"},
             {"Alphabet", "Paper", "Embellishment", "   Ribbon", "   Tag"},
             ""},
            {[](KitBrowsing& t) { t.pickName("   Ribbon"); },
             13,
             {"W", "Image Types", "Ribbon"},
             {"All Kits", "Holiday", "Trims"},
             "2 items"},
            {[](KitBrowsing& t) { t.pickKit("All Kits"); },
             14,
             {"W", "Image Types", "Ribbon", "All Kits"},
             {"Blue Ribbon", "Red Ribbon"},
             "2 items"},
        },
        {
            // Colours: primary or secondary colour (MatchPrimaryColor off).
            {[](KitBrowsing& t) { t.home(4); }, 15, {"W", "Colors"}, colors, ""},
            {[](KitBrowsing& t) { t.pickName("Red"); },
             16,
             {"W", "Colors", "Red"},
             {"All Kits", "Garden", "Holiday"},
             "2 items"},
            {[](KitBrowsing& t) { t.pickKit("Garden"); },
             18,
             {"W", "Colors", "Red", "Garden", "Paper"},
             {"Leaf Paper", "Rose Paper"},
             "2 items"},
            {[](KitBrowsing& t) { t.back(2); },
             16,
             {"W", "Colors", "Red"},
             {"All Kits", "Garden", "Holiday"},
             "2 items"},
            {[](KitBrowsing& t) { t.pickKit("Holiday"); },
             17,
             {"W", "Colors", "Red", "Holiday"},
             {allTypes, "Embellishment", "   Ribbon", "   Tag"},
             ""},
            {[](KitBrowsing& t) { t.pickName("   Tag"); },
             18,
             {"W", "Colors", "Red", "Holiday", "Tag"},
             {"Gift Tag"},
             "1 item"},
            {[](KitBrowsing& t) { t.back(3); },
             17,
             {"W", "Colors", "Red", "Holiday"},
             {allTypes, "Embellishment", "   Ribbon", "   Tag"},
             ""},
        },
        {
            // The last import.
            {[](KitBrowsing& t) { t.home(6); },
             1,
             {"W", "Last Import"},
             {"All Kits", "Garden", "Holiday", "Trims"},
             "3 items"},
        },
    };
    int modeChanges = 0;
    platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        SGModeChangedNotification, _controller.get(),
        [&](const platform::Notification&) { ++modeChanges; });
    for (qsizetype w = 0; w < walks.size(); ++w) {
        _controller->switchToMode(0, _controller->mode(), true);
        for (qsizetype s = 0; s < walks[w].size(); ++s) {
            const Step& step = walks[w][s];
            SCOPED_TRACE(testing::Message() << "walk " << w << ", step " << s);
            const int before = modeChanges;
            step.action(*this);
            EXPECT_EQ(_controller->mode(), step.mode);
            EXPECT_EQ(_controller->pathLabels(), step.path);
            EXPECT_EQ(listed(), step.listed);
            if (!step.count.isEmpty()) {
                EXPECT_EQ(countText(), step.count);
            }
            EXPECT_GT(modeChanges, before);
        }
    }
}

TEST_F(KitBrowsing, MatchingThePrimaryColourOnly)
{
    platform::UserDefaults::standardUserDefaults().setBool(true,
                                                           QStringLiteral("MatchPrimaryColor"));
    home(4);
    pickName(QStringLiteral("Red"));
    EXPECT_EQ(listed(), (QStringList{"All Kits", "Garden", "Holiday"}));
    pickKit(QStringLiteral("Garden"));
    EXPECT_EQ(_controller->mode(), 18);
    EXPECT_EQ(listed(), QStringList{QStringLiteral("Rose Paper")});
}

TEST_F(KitBrowsing, ControlClickingAKitDoesNotMoveOn)
{
    home(0);
    auto* browser = outlet<platform::ImageBrowserView>("kitBrowser");
    browser->resize(400, 400);
    const QRect item = browser->itemFrameAtIndex(1);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::ControlModifier, item.center());
    EXPECT_EQ(_controller->mode(), 1);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier,
                      browser->itemFrameAtIndex(2).center());
    EXPECT_EQ(_controller->mode(), 2); // Holiday's types
}

TEST_F(KitBrowsing, ShowingAnImageType)
{
    _controller->selectImageType(QStringLiteral("Paper"));
    EXPECT_EQ(_controller->mode(), 14);
    EXPECT_EQ(_controller->selectedType(), QStringLiteral("Paper"));
    EXPECT_EQ(listed(), (QStringList{"Leaf Paper", "Rose Paper", "Snow Paper"}));
    _controller->selectImageType(QStringLiteral("Ribbon"));
    EXPECT_EQ(_controller->selectedType(), QStringLiteral("   Ribbon"));
    EXPECT_EQ(listed(), (QStringList{"Blue Ribbon", "Red Ribbon"}));
    _controller->selectImageType(QStringLiteral("Frame"));
    EXPECT_EQ(_controller->mode(), 12);
}

TEST_F(KitBrowsing, Searching)
{
    QLineEdit field;
    const auto search = [&](const QString& text) {
        field.setText(text);
        _controller->searchFieldAction(&field);
        return listed();
    };
    home(0);
    EXPECT_EQ(search("hol"), QStringList{"Holiday"});
    EXPECT_EQ(search("ribbons"), QStringList{"Holiday"}); // the description
    EXPECT_EQ(search("ann"), (QStringList{"All Kits", "Garden", "Trims"}));
    EXPECT_EQ(search(""), (QStringList{"All Kits", "Garden", "Holiday", "Trims"}));
    EXPECT_EQ(countText(), QStringLiteral("3 items"));

    _controller->selectImageType(QStringLiteral("Embellishment"));
    EXPECT_EQ(_controller->mode(), 14);
    // A colour word picks the colour; the rest are words of names and tags.
    EXPECT_EQ(search("red ribbon"), QStringList{"Red Ribbon"});
    EXPECT_EQ(_controller->selectedColor(), QStringLiteral("Red"));
    EXPECT_EQ(search("RED, Blue"),
              (QStringList{"Red Ribbon", "Gift Tag"})); // later colours dropped
    EXPECT_EQ(search("\"gift t"), QStringList{"Gift Tag"});
    EXPECT_EQ(search("\"gift t\""), QStringList{"Gift Tag"});
    EXPECT_EQ(search("ribbon gift"), QStringList{});

    home(3);
    pickName(QStringLiteral("Alphabet"));
    pickKit(QStringLiteral("Holiday"));
    EXPECT_EQ(search("Letter A"), QStringList{"Letter A"}); // one word "Letter A"

    home(1);
    EXPECT_EQ(search("bo"), QStringList{"Bob"});
}

TEST_F(KitBrowsing, KitSizeMenu)
{
    home(0);
    auto* menu = outlet<QMenu>("kitSizeMenu");
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 6);
    EXPECT_TRUE(items[1]->isSeparator());
    const std::pair<int, QStringList> cases[] = {{1, {"Garden"}},
                                                 {2, {"Holiday"}},
                                                 {3, {}},
                                                 {4, {}},
                                                 {0, {"All Kits", "Garden", "Holiday", "Trims"}}};
    for (const auto& [tag, kits] : cases) {
        QAction* item = items[tag == 0 ? 0 : tag + 1];
        item->trigger();
        EXPECT_EQ(_controller->kitSizeSelection(), tag);
        EXPECT_EQ(listed(), kits) << tag;
        for (QAction* other : items)
            EXPECT_EQ(other->isChecked(), other == item);
    }
    // A 5x7 kit has no size the menu names.
    EXPECT_EQ(_controller->allKits().last().kitSize, QString(QLatin1String("")));
    // A mode switch resets the selection.
    items[2]->trigger();
    home(0);
    EXPECT_EQ(_controller->kitSizeSelection(), 0);
}

TEST_F(KitBrowsing, FilterMenusAndSecondaryColours)
{
    home(4);
    pickName(QStringLiteral("Red"));
    pickKit(QStringLiteral("All Kits"));
    ASSERT_EQ(_controller->mode(), 17);
    pickName(QStringLiteral("ALL TYPES"));
    ASSERT_EQ(_controller->mode(), 18);
    EXPECT_EQ(listed(), (QStringList{"Red Ribbon", "Gift Tag", "Leaf Paper", "Rose Paper"}));
    auto* menu = outlet<QMenu>("actionMenu");
    const auto item = [&](int tag) {
        for (QAction* action : menu->actions()) {
            if (action->data().toInt() == tag && !action->isSeparator())
                return action;
        }
        return static_cast<QAction*>(nullptr);
    };
    // The colour items are there in mode 18: a heading and 16 colours.
    ASSERT_TRUE(item(20));
    ASSERT_TRUE(item(36));
    EXPECT_EQ(item(21)->text(), QStringLiteral("   Black"));
    // A secondary colour narrows to graphics that also have it.
    item(21 + 8)->trigger(); // Green
    EXPECT_EQ(_controller->secondaryColors(), QStringList{QStringLiteral("Green")});
    EXPECT_EQ(listed(), QStringList{"Leaf Paper"});
    item(21 + 8)->trigger();
    EXPECT_TRUE(_controller->secondaryColors().isEmpty());
    // Orientation: one item of the group checked at a time.
    item(3)->trigger(); // Square
    EXPECT_TRUE(item(3)->isChecked());
    EXPECT_FALSE(item(0)->isChecked());
    EXPECT_EQ(listed().size(), 4); // all are square
    item(1)->trigger();            // Portrait
    EXPECT_FALSE(item(3)->isChecked());
    EXPECT_TRUE(listed().isEmpty());
    item(0)->trigger();
    EXPECT_EQ(listed().size(), 4);
    // Leaving mode 18 takes the colour items away again.
    home(0);
    EXPECT_FALSE(item(20));
}

TEST_F(KitBrowsing, TypesListOrder)
{
    Kit kit;
    kit.name = QStringLiteral("Mixed");
    kit.graphics = {graphic("p", VQPaper, VQRed), graphic("e", VQEmbellishment, VQRed),
                    graphic("r", VQEmbellishment, VQRed, {}, VQRibbon),
                    graphic("a", VQAlphabet, VQRed)};
    _controller->importCorbeil(writeKit(kit), 0, 1, false);
    const QList<SGKitRecord> kits = _controller->allKits();
    const SGKitRecord mixed = kits.at(kitNames(kits).indexOf(QStringLiteral("Mixed")));
    EXPECT_EQ(_controller->typesInKit(mixed, QString(), QString(), QString(), false),
              (QStringList{"Alphabet", "Paper", "Embellishment", "   Ribbon"}));
}

TEST_F(KitBrowsing, PathBarShrinksMiddleThenFirstThenLast)
{
    home(3);
    pickName(QStringLiteral("   Ribbon"));
    pickKit(QStringLiteral("Holiday"));
    ASSERT_EQ(_controller->mode(), 14);
    auto* path = outlet<SGPathControl>("graphicsPathControl");
    const auto widths = [&](int viewWidth) {
        _host.resize(viewWidth, 560);
        _controller->mainViewResized();
        QList<int> result;
        for (int i = 0; i < path->cell()->segmentCount(); ++i)
            result.append(int(path->cell()->widthForSegment(i)));
        return result;
    };
    const QList<int> natural = widths(1000);
    ASSERT_EQ(natural.size(), 4);
    const int total = natural[0] + natural[1] + natural[2] + natural[3];
    const int margins = 2 * 16;
    // A little too narrow: the middle segments shrink, the ends stay.
    QList<int> shrunk = widths(total + margins - 20);
    EXPECT_EQ(shrunk[0], natural[0]);
    EXPECT_EQ(shrunk[3], natural[3]);
    EXPECT_LT(shrunk[1] + shrunk[2], natural[1] + natural[2]);
    // Narrower: the middle ones at 15, the first loses the rest.
    shrunk = widths(natural[0] + 30 + natural[3] + margins - 5);
    EXPECT_EQ(shrunk[1], 15);
    EXPECT_EQ(shrunk[2], 15);
    EXPECT_EQ(shrunk[0], natural[0] - 5);
    EXPECT_EQ(shrunk[3], natural[3]);
    // Narrower still: all but the last at 15, then everything at 15.
    shrunk = widths(45 + natural[3] + margins - 3);
    EXPECT_EQ(shrunk, (QList<int>{15, 15, 15, natural[3] - 3}));
    EXPECT_EQ(widths(40), (QList<int>{15, 15, 15, 15}));
    EXPECT_EQ(path->width(), 60);
}

TEST_F(KitBrowsing, ZoomIsKeptPerBrowser)
{
    _host.resize(800, 600);
    home(0);
    auto* slider = outlet<QSlider>("kitZoomSlider");
    auto* browser = outlet<platform::ImageBrowserView>("kitBrowser");
    // 1.5 when nothing is stored.
    EXPECT_EQ(slider->value(), 1500);
    slider->setValue(2000);
    EXPECT_DOUBLE_EQ(platform::UserDefaults::standardUserDefaults().doubleForKey(
                         QStringLiteral("SGZoomSettingK")),
                     2.0);
    EXPECT_EQ(browser->cellSize().width(),
              browser->viewport()->width() - 6 > 512 ? 512 : browser->viewport()->width() - 6);
    home(0);
    EXPECT_EQ(slider->value(), 2000);
}

TEST_F(KitBrowsing, CleanupGoesHomeWithoutLoading)
{
    home(0);
    pickKit(QStringLiteral("Garden"));
    ASSERT_EQ(_controller->mode(), 3);
    _controller->cleanup();
    EXPECT_EQ(_controller->mode(), 0);
    EXPECT_TRUE(_controller->graphicsArray().isEmpty());
}
