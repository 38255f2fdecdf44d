// The template step's design folders: the size search with its similar sizes and offsets,
// the outline rows, the templates of a row, the search, matched sets and the program's own
// designs, on design trees made in temporary folders.

#include "graphics/LBProcessState.h"
#include "layouts/LBLayoutItem.h"
#include "layouts/LBLayoutSheetController.h"
#include "layouts/LBTemplateObject.h"
#include "layouts/LayoutSheetHost.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UserDefaults.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QPixmap>
#include <QTemporaryDir>

#include <cmath>

namespace {

using Controller = LBLayoutSheetController;

// Makes the folders of each path (a template is a package: a folder with its extension).
void makePaths(const QString& root, const QStringList& paths)
{
    for (const QString& path : paths)
        ASSERT_TRUE(QDir().mkpath(root + "/" + path)) << qPrintable(path);
}

QStringList folderNames(const Controller& chooser)
{
    QStringList names;
    for (const Controller::DesignFolder& folder : chooser.topFolders())
        names << QFileInfo(folder.item->fullPath()).fileName();
    return names;
}

QStringList templateNames(const Controller& chooser)
{
    QStringList names;
    for (const auto& item : chooser.templates())
        names << item->imageTitle();
    return names;
}

class RecordingHost : public LayoutSheetHost
{
public:
    qint64 chooseLayout(const QString& path, const std::optional<QVariantMap>&, bool,
                        const QPointF& offset, qint64) override
    {
        chosenPath = path;
        chosenOffset = offset;
        return 1;
    }
    void chooseBlankLayout(const QVariantMap& layoutDict, bool includesLabelType, qint64, bool,
                           bool, bool, bool) override
    {
        blankLayout = layoutDict;
        blankIncludesLabelType = includesLabelType;
    }
    void removeLayoutSheetController() override {}
    void updateDescriptionText() override {}
    LBDocument* document() const override { return nullptr; }
    QWidget* window() const override { return nullptr; }

    QString chosenPath;
    QPointF chosenOffset;
    QVariantMap blankLayout;
    bool blankIncludesLabelType = false;
};

// Stock lists of envelopes of the sizes a test needs, and empty design roots.
class DesignFoldersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LBProcessState::setApplicationSupportPath(_support.path());
        LBProcessState::setDesignsFolderPath(_designs.path() + "/");
        Controller::setSmartTemplatesPath(_smart.path());
        _savedStocks = Controller::cardStockPath();
        Controller::setCardStockPath(_stocks.path());
        platform::UserDefaults::standardUserDefaults().setBool(false,
                                                               "Layout Sheet A4 Paper Selected");
        setEnvelopes({{"Stock", "9.5in", "4.125in"}});
    }
    void TearDown() override
    {
        Controller::setCardStockPath(_savedStocks);
        Controller::setSmartTemplatesPath(QString());
    }

    struct Stock
    {
        const char* code;
        const char* width;
        const char* height;
    };
    void setEnvelopes(const QList<Stock>& stocks) { setStocks("Envelopes", stocks); }
    void setStocks(const QString& project, const QList<Stock>& stocks)
    {
        QVariantList cards;
        for (const Stock& stock : stocks)
            cards << QVariantMap{{"paperCode", stock.code},
                                 {"labelWidth", stock.width},
                                 {"labelHeight", stock.height},
                                 {"paperSize", "Letter"},
                                 {"category", project}};
        QDir().mkpath(_stocks.path() + "/" + project);
        QFile file(_stocks.path() + "/" + project + "/Test-Letter.plist");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(platform::PropertyList::toXml(cards));
    }
    // A chooser of envelopes on the template step with the stock of that row.
    std::unique_ptr<Controller> envelopeChooser(qint64 row = 0)
    {
        // A stock remembered from another list would turn the list to A4 sizes.
        platform::UserDefaults::standardUserDefaults().removeObjectForKey(
            "Layout Sheet Selected Envelope Type String");
        auto chooser = std::make_unique<Controller>(true, 0);
        chooser->setSelectedProjectType(0);
        chooser->goToStep(1);
        chooser->selectRow(row);
        chooser->goToStep(2);
        return chooser;
    }
    QString designs() const { return _designs.path(); }

    QTemporaryDir _support;
    QTemporaryDir _designs;
    QTemporaryDir _smart;
    QTemporaryDir _stocks;
    QString _savedStocks;
};

} // namespace

TEST(DesignSizes, ReadsComparesAndTrimsSizeTexts)
{
    struct Case
    {
        const char* text;
        double width;
        double height;
    };
    const Case sizes[] = {
        {"4x2 in", 288, 144},
        {"100x50 mm", 283.464567, 141.7322835},
        {"0.5x.25in", 36, 18},
        {"4x2x1 in", 0, 0},
        {"four by two", 0, 0},
        {"x2 in", 0, 0},
        {"", 0, 0},
    };
    for (const Case& c : sizes) {
        const QSizeF size = Controller::pixelSizeForString(c.text);
        EXPECT_NEAR(size.width(), c.width, 1e-6) << c.text;
        EXPECT_NEAR(size.height(), c.height, 1e-6) << c.text;
    }
    EXPECT_DOUBLE_EQ(Controller::compareSize("4x2 in", "4x2 in", false), 1.0);
    EXPECT_DOUBLE_EQ(Controller::compareSize("4x2 in", "2x4 in", false), 4.0);
    EXPECT_DOUBLE_EQ(Controller::compareSize("4x2 in", "8x1 in", true), 2.0);
    EXPECT_TRUE(std::isinf(Controller::compareSize("4x2 in", "notes", false)));
    for (const auto& [in, out] : {std::pair{"2.500", "2.5"},
                                  {"3.00", "3"},
                                  {"300", "300"},
                                  {"4.125in", "4.125in"},
                                  {"0.0", "0"}})
        EXPECT_EQ(Controller::stripTrailingZerosFromString(in), out) << in;
}

TEST_F(DesignFoldersTest, TheExactSizeWinsOverSimilarOnesFoundFirst)
{
    makePaths(designs(),
              {"A/Envelopes/9x4 in/Near/N1.quarnev", "B/Envelopes/9.5x4.125 in/Exact/E1.quarnev",
               "B/Envelopes/9.5x4.125 in/Exact/Sub/E0.quarnev",
               "B/Envelopes/9.5x4.125 in/.hidden/H.quarnev",
               "B/Letterhead/9.5x4.125 in/Other project/O.quarnpg",
               "B/Envelopes/notes/Junk/J.quarnev"});
    auto chooser = envelopeChooser();
    EXPECT_EQ(folderNames(*chooser), QStringList{"Exact"});
    EXPECT_DOUBLE_EQ(chooser->folderSizeSimilarity(), 1.0);
    EXPECT_EQ(chooser->templatePrompt(), "Choose a template:");
    EXPECT_EQ(chooser->designFolderRows(), (QStringList{"All", "Blank", "Exact"}));
    // "All": the blank first, then every template, sub-folders included, by file name.
    EXPECT_EQ(templateNames(*chooser).mid(1), (QStringList{"E0", "E1"}));
    EXPECT_TRUE(chooser->templates().first()->blankPaperSize().width() > 0);
    chooser->selectOutlineRow(1); // "Blank"
    ASSERT_EQ(chooser->templates().size(), 1);
    EXPECT_NEAR(chooser->templates().first()->blankPaperSize().height(), 4.125 * 120 / 9.5, 1e-9);
    chooser->selectOutlineRow(2);
    EXPECT_EQ(templateNames(*chooser), (QStringList{"E0", "E1"}));
    LBLayoutItem* exact = chooser->outlineRootItem(2);
    ASSERT_TRUE(exact);
    ASSERT_EQ(exact->numberOfChildren(), 1);
    chooser->selectOutlineRow(2, exact->childAtIndex(0));
    EXPECT_EQ(templateNames(*chooser), QStringList{"E0"});
    EXPECT_TRUE(chooser->chooseDesignEnabled());
    chooser->selectOutlineRow(-1);
    EXPECT_TRUE(chooser->templates().isEmpty());
    EXPECT_FALSE(chooser->chooseDesignEnabled());
}

TEST_F(DesignFoldersTest, TiedSimilarSizesKeepTheirOwnOffsets)
{
    // 4.75 and 19 inches are both twice as far from 9.5; 24 inches is further.
    const QStringList tree = {"A/Envelopes/19x4.125 in/Wide/W.quarnev",
                              "A/Envelopes/4.75x4.125 in/Narrow/N.quarnev",
                              "A/Envelopes/24x4.125 in/Far/F.quarnev"};
    makePaths(designs(), tree);
    auto chooser = envelopeChooser();
    EXPECT_EQ(folderNames(*chooser), (QStringList{"Narrow", "Wide"}));
    EXPECT_DOUBLE_EQ(chooser->folderSizeSimilarity(), 2.0);
    ASSERT_EQ(chooser->topFolders().size(), 2);
    EXPECT_EQ(chooser->topFolders().at(0).offset, QPointF((684 - 342) / 2.0, 0));
    EXPECT_EQ(chooser->topFolders().at(1).offset, QPointF((684 - 1368) / 2.0, 0));

    // The same whatever order the folders were made in.
    QTemporaryDir reversed;
    QStringList backwards = tree;
    std::reverse(backwards.begin(), backwards.end());
    makePaths(reversed.path(), backwards);
    LBProcessState::setDesignsFolderPath(reversed.path());
    auto again = envelopeChooser();
    EXPECT_EQ(folderNames(*again), folderNames(*chooser));
    EXPECT_EQ(again->topFolders().at(1).offset, chooser->topFolders().at(1).offset);

    // The hand-off moves the design by its own folder's offset.
    RecordingHost host;
    again->beginSheetForController(&host);
    again->selectOutlineRow(3); // "Wide"
    ASSERT_EQ(templateNames(*again), QStringList{"W"});
    again->chooseDesignAction();
    EXPECT_TRUE(host.chosenPath.endsWith("/Wide/W.quarnev"));
    EXPECT_EQ(host.chosenOffset, QPointF(-342, 0));
}

TEST_F(DesignFoldersTest, SizeNamesFollowTheStockAndTheOrientation)
{
    setEnvelopes({{"Half", "3in", ".5in"}, {"Thirds", "2.625in", "4.3333in"}});
    makePaths(designs(),
              {"A/Envelopes/2.625x4.333 in/Thirds/T.quarnev", "A/Envelopes/3x0.5 in/Half/H.quarnev",
               "A/Envelopes/0.5x3 in/Turned/U.quarnev"});
    auto thirds = envelopeChooser(1);
    EXPECT_EQ(folderNames(*thirds), QStringList{"Thirds"});
    auto half = envelopeChooser(0);
    EXPECT_EQ(folderNames(*half), QStringList{"Half"});
    half->pageOrientationAction(1); // the portrait button while portrait: nothing
    EXPECT_EQ(folderNames(*half), QStringList{"Half"});
    half->pageOrientationAction(0);
    EXPECT_TRUE(half->landscapeOrientationSelected());
    EXPECT_EQ(folderNames(*half), QStringList{"Turned"});
}

TEST_F(DesignFoldersTest, TemplatesOfRowsSearchAndProjectsWithoutBlanks)
{
    makePaths(designs(), {"A/Envelopes/9.5x4.125 in/Exact/beta.quarnev",
                          "A/Envelopes/9.5x4.125 in/Exact/Alpha.quarnev",
                          "A/Envelopes/9.5x4.125 in/Exact/notes.txt",
                          "A/Envelopes/9.5x4.125 in/Exact/gamma.quarnl"});
    auto chooser = envelopeChooser();
    EXPECT_EQ(templateNames(*chooser).mid(1), (QStringList{"Alpha", "beta", "gamma"}));
    chooser->searchTemplateName("A");
    EXPECT_EQ(templateNames(*chooser).mid(1), (QStringList{"Alpha", "beta", "gamma"}));
    chooser->searchTemplateName("ET");
    EXPECT_EQ(templateNames(*chooser), QStringList{"beta"});
    chooser->searchTemplateName("");
    EXPECT_EQ(chooser->templates().size(), 4);

    // Contact lists and activity reports offer no blank.
    for (qint64 type : {4, 7}) {
        Controller pages(true, 500);
        pages.setSelectedProjectType(type);
        pages.goToStep(2);
        EXPECT_TRUE(pages.templates().isEmpty()) << type;
    }
}

TEST_F(DesignFoldersTest, LetterheadInLandscapeShowsOnlyTheExactSize)
{
    setStocks("Letterhead", {{"US Letter", "8.5", "11"}});
    makePaths(designs(),
              {"A/Letterhead/11x8.5 in/Across/X.quarnpg", "A/Letterhead/8x11 in/Near/N.quarnpg"});
    Controller chooser(true, 500);
    chooser.setSelectedProjectType(1);
    chooser.goToStep(2);
    EXPECT_EQ(folderNames(chooser), QStringList{"Near"}); // 8.5 x 11: similar only
    chooser.pageOrientationAction(0);
    EXPECT_EQ(folderNames(chooser), QStringList{"Across"});
    QDir(designs() + "/A/Letterhead/11x8.5 in").removeRecursively();
    chooser.pageOrientationAction(1);
    chooser.pageOrientationAction(0);
    EXPECT_TRUE(folderNames(chooser).isEmpty());
    EXPECT_EQ(chooser.designFolderRows(), (QStringList{"All", "Blank"}));
}

TEST_F(DesignFoldersTest, MatchedSetsAndTheProgramsOwnDesigns)
{
    makePaths(designs(), {"Matched Sets/Blue/B.quarnl", "Matched Sets/Autumn/A.quarnpg",
                          "Matched Sets/.git/G.quarnl"});
    makePaths(_smart.path(), {"Any/Envelopes/9.5x4.125 in/Smart/S.quarnev"});
    makePaths(designs(), {"Any/Envelopes/9.5x4.125 in/Mine/M.quarnev"});
    auto chooser = envelopeChooser();
    EXPECT_EQ(folderNames(*chooser), (QStringList{"Mine", "Smart"}));
    chooser->selectOutlineRow(2);
    EXPECT_FALSE(chooser->isSmartTemplate());
    chooser->selectOutlineRow(3);
    EXPECT_TRUE(chooser->isSmartTemplate());
    chooser->selectOutlineRow(1); // the blank
    EXPECT_FALSE(chooser->isSmartTemplate());

    Controller sets(true, 500);
    sets.projectTypeAction(5);
    sets.goToStep(2);
    EXPECT_EQ(sets.designFolderRows(), (QStringList{"Autumn", "Blue"}));
    EXPECT_EQ(templateNames(sets), QStringList{"A"});
    sets.selectOutlineRow(1);
    EXPECT_EQ(templateNames(sets), QStringList{"B"});
}

TEST_F(DesignFoldersTest, MissingRootsGiveEmptyLists)
{
    LBProcessState::setDesignsFolderPath(designs() + "/nowhere/");
    Controller::setSmartTemplatesPath(designs() + "/neither");
    auto chooser = envelopeChooser();
    EXPECT_TRUE(chooser->topFolders().isEmpty());
    EXPECT_EQ(chooser->designFolderRows(), (QStringList{"All", "Blank"}));
    EXPECT_EQ(chooser->templates().size(), 1);
}

TEST_F(DesignFoldersTest, TheBrowserShowsTheTemplatesAndChoosesByClick)
{
    makePaths(designs(), {"A/Envelopes/9.5x4.125 in/Exact/beta.quarnev",
                          "A/Envelopes/9.5x4.125 in/Exact/Alpha.quarnev"});
    auto chooser = envelopeChooser();
    QDialog* sheet = chooser->sheet();
    sheet->show();
    QCoreApplication::processEvents();
    QListView* browser = nullptr;
    for (QListView* view : sheet->findChildren<QListView*>())
        if (view->viewMode() == QListView::IconMode)
            browser = view;
    ASSERT_NE(browser, nullptr);
    QAbstractItemModel* model = browser->model();
    QStringList titles;
    for (int row = 0; row < model->rowCount(); ++row)
        titles << model->index(row, 0).data().toString();
    EXPECT_EQ(titles, templateNames(*chooser));
    EXPECT_FALSE(browser->dragEnabled());
    // A blank's picture is its paper's white shape in a cell of the template size.
    const QPixmap blank = model->index(0, 0).data(Qt::DecorationRole).value<QPixmap>();
    EXPECT_EQ(blank.size(), QSize(120, 120));
    EXPECT_EQ(blank.toImage().pixelColor(60, 60), QColor(Qt::white));
    // Selecting a cell selects the template.
    browser->setCurrentIndex(model->index(2, 0));
    EXPECT_EQ(chooser->selectedTemplate(), 2);
    // A new search shows the new list.
    chooser->searchTemplateName("ET");
    QCoreApplication::processEvents();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->index(0, 0).data().toString(), "beta");
    sheet->hide();
}
