// The chooser's steps, sheet sizes, split view and custom layouts, and what it hands to its
// window: restoring from a project description, the three hand-offs with their prompts and
// descriptions, closing.

#include "FileTestSupport.h"
#include "MessageLog.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "layouts/LBLayoutSheetController.h"
#include "layouts/LBPaperSizeController.h"
#include "layouts/LBTemplateObject.h"
#include "layouts/LayoutSheetHost.h"
#include "platform/core/Error.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

using Controller = LBLayoutSheetController;
using Info = DimensionInfo;

class RecordingDocument : public LBDocument
{
public:
    void close() override { closed = true; }
    bool closed = false;
};

// A window that writes down what the chooser asks of it.
class RecordingHost : public LayoutSheetHost
{
public:
    qint64 chooseLayout(const QString& path, const std::optional<QVariantMap>& layoutDict, bool,
                        const QPointF&, qint64 projectType) override
    {
        calls << QStringLiteral("chooseLayout %1 %2 %3")
                     .arg(path.section('/', -1), layoutDict ? "layout" : "none")
                     .arg(projectType);
        layout = layoutDict.value_or(QVariantMap());
        return labelTypeToReturn;
    }
    void chooseBlankLayout(const QVariantMap& layoutDict, bool includesLabelType,
                           qint64 projectType, bool isVertical, bool isNewDocument,
                           bool addDeliveryAddress, bool addReturnAddress) override
    {
        calls << QStringLiteral("chooseBlankLayout %1 %2 vertical %3 new %4 delivery %5 return %6")
                     .arg(includesLabelType)
                     .arg(projectType)
                     .arg(isVertical)
                     .arg(isNewDocument)
                     .arg(addDeliveryAddress)
                     .arg(addReturnAddress);
        layout = layoutDict;
    }
    void removeLayoutSheetController() override
    {
        calls << "remove";
        if (journal)
            *journal << name;
    }
    void updateDescriptionText() override
    {
        calls << "description";
        description = documentObject->projectDescription();
    }
    LBDocument* document() const override { return documentObject.get(); }
    QWidget* window() const override { return nullptr; }

    std::unique_ptr<RecordingDocument> documentObject = std::make_unique<RecordingDocument>();
    QStringList calls;
    QVariantMap layout;
    QVariantMap description;
    qint64 labelTypeToReturn = 1;
    QString name;
    QStringList* journal = nullptr;
};

// Answers every alert with the button of the given return code and remembers the alerts.
class AlertAnswers
{
public:
    explicit AlertAnswers(int returnCode)
    {
        platform::Alert::setResponder([this, returnCode](const platform::Alert& alert, QWidget*) {
            messages << alert.messageText;
            return platform::Alert::Response{returnCode, false};
        });
    }
    ~AlertAnswers() { platform::Alert::setResponder(nullptr); }
    QStringList messages;
};

// A support folder of its own for the custom layouts file.
class LayoutSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LBProcessState::setApplicationSupportPath(_support.path());
        platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
        defaults.setObject(QStringLiteral("{700, 400}"), "Layout Sheet Size 2");
        defaults.setDouble(200, "Layout Sheet Document List Width");
        for (const char* key :
             {"Layout Sheet Selected PaperCode 2", "Layout Sheet Selected Manufacturer 2",
              "Layout Sheet Selected Envelope Type String"})
            defaults.removeObjectForKey(QString::fromLatin1(key));
    }
    QString customFile() const { return _support.path() + "/Custom.plist"; }
    QVariantList customLayoutsOnDisk() const
    {
        return platform::PropertyList::read(bytesOf(customFile())).value_or(QVariant()).toList();
    }

    QTemporaryDir _support;
};

} // namespace

TEST_F(LayoutSheetTest, MovesBetweenStepsAsTheWizardAllows)
{
    struct Move
    {
        const char* action; // c continue, b back, s custom size, number: project button
        qint64 step;
    };
    const std::vector<Move> moves = {
        {"0", 0}, {"c", 1}, {"b", 0}, {"1", 0}, {"c", 2}, {"c", 2}, {"b", 0}, {"5", 0},
        {"c", 2}, {"b", 0}, {"6", 0}, {"c", 1}, {"c", 2}, {"b", 1}, {"s", 1}, {"500", 0},
        {"c", 1}, {"s", 3}, {"b", 1}, {"c", 2}, {"s", 3}, {"b", 2}, {"s", 3}, {"c", 2},
    };
    Controller chooser(true, 500);
    AlertAnswers answers(platform::Alert::FirstButtonReturn);
    EXPECT_EQ(chooser.stepIndex(), 0);
    int index = 0;
    for (const Move& move : moves) {
        const QByteArray action(move.action);
        if (action == "c")
            chooser.continueAction();
        else if (action == "b")
            chooser.goBackAction();
        else if (action == "s")
            chooser.customSizeAction();
        else
            chooser.projectTypeAction(action.toLongLong());
        if (action == "500" || action == "0")
            chooser.goToStep(0);
        EXPECT_EQ(chooser.stepIndex(), move.step) << "move " << index << " " << move.action;
        EXPECT_EQ(chooser.shownStep(), move.step) << "move " << index;
        ++index;
    }
    EXPECT_EQ(answers.messages, QStringList{"Media labels don't support custom sizes."});
    EXPECT_EQ(chooser.projectButtonImages(500), "Project1|Project1");
    EXPECT_EQ(chooser.projectButtonImages(6), "Project0|Project1");
}

TEST_F(LayoutSheetTest, SizesTheSheetForEachStep)
{
    Controller chooser(true, 500);
    EXPECT_EQ(chooser.sheetFrame(), QRectF(23, 0, 654, 277)); // centred on 700, top kept
    EXPECT_EQ(chooser.minimumSize(), QSizeF(654, 277));
    EXPECT_EQ(chooser.maximumSize(), QSizeF(654, 277));

    chooser.projectTypeAction(500);
    chooser.continueAction();
    // The remembered size, at least 497 high.
    EXPECT_EQ(chooser.sheetFrame(), QRectF(0, 0, 700, 497));
    EXPECT_EQ(chooser.minimumSize(), QSizeF(578, 497));
    EXPECT_FALSE(chooser.maximumSize().isValid());

    chooser.setSheetFrame(QRectF(50, 50, 800, 600)); // the user's size
    chooser.continueAction();
    EXPECT_EQ(chooser.stepIndex(), 2);
    EXPECT_EQ(chooser.sheetFrame(), QRectF(50, 50, 800, 600));
    EXPECT_EQ(chooser.minimumSize(), QSizeF(548, 342));
    chooser.goBackAction();
    EXPECT_EQ(chooser.sheetFrame(), QRectF(50, 50, 800, 600));

    chooser.customSizeAction();
    EXPECT_EQ(chooser.sheetFrame().size(), QSizeF(661, 538));
    EXPECT_EQ(chooser.minimumSize(), QSizeF(662, 538));
    chooser.mainViewChangedSize(0); // no change recorded yet
    chooser.paperSizeNibLoaded(300);
    chooser.mainViewChangedSize(280);
    EXPECT_EQ(chooser.sheetFrame().height(), 518);
    EXPECT_EQ(chooser.customWindowHeight(), 518);
    EXPECT_EQ(chooser.maximumSize(), QSizeF(661, 518));
    chooser.goBackAction();
    EXPECT_EQ(chooser.stepIndex(), 1);
    EXPECT_EQ(chooser.sheetFrame(), QRectF(50, 50, 800, 600)); // remembered from step 2

    // A sheet that would reach below the screen is cut at its bottom.
    chooser.setScreenBottom(400);
    chooser.goToStep(3);
    chooser.goToStep(1);
    EXPECT_EQ(chooser.sheetFrame().bottom(), 400);
}

TEST_F(LayoutSheetTest, SplitViewKeepsTheListWidth)
{
    Controller chooser(true, 500);
    EXPECT_EQ(chooser.documentListWidth(), 200);
    Controller::SplitWidths widths = chooser.splitViewResizeSubviews(500.6, 5);
    EXPECT_EQ(widths.left, 200);
    EXPECT_EQ(widths.right, 295);
    widths = chooser.splitViewResizeSubviews(150, 5);
    EXPECT_EQ(widths.left, 145);
    EXPECT_EQ(widths.right, 0);
    chooser.splitViewDidResizeSubviews(145);
    EXPECT_EQ(chooser.documentListWidth(), 200); // collapsed: not recorded
    chooser.splitViewDidResizeSubviews(260);
    EXPECT_EQ(chooser.documentListWidth(), 260);
}

TEST_F(LayoutSheetTest, OffersTheStocksBlankDesignOnTheTemplateStep)
{
    Controller chooser(true, 500);
    chooser.projectTypeAction(0);
    chooser.continueAction();
    chooser.selectRow(2); // Size 10: 9.5 x 4.125 in
    chooser.continueAction();
    EXPECT_EQ(chooser.designFolderRows(), (QStringList{"All", "Blank"}));
    ASSERT_EQ(chooser.templates().size(), 1);
    EXPECT_NEAR(chooser.templates().first()->blankPaperSize().width(), 120, 1e-9);
    EXPECT_NEAR(chooser.templates().first()->blankPaperSize().height(), 4.125 * 120 / 9.5, 1e-9);
    EXPECT_EQ(chooser.selectedCardStockName(), "Size 10");
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults().stringForKey(
                  "Layout Sheet Selected Envelope Type String"),
              "Size 10");
    EXPECT_TRUE(chooser.chooseDesignEnabled());

    chooser.goBackAction();
    chooser.goBackAction();
    chooser.setSelectedProjectType(4); // contact lists: no blank design
    chooser.goToStep(2);
    EXPECT_TRUE(chooser.templates().isEmpty());
    EXPECT_FALSE(chooser.chooseDesignEnabled());
}

TEST_F(LayoutSheetTest, CustomLayoutsRoundTrip)
{
    RecordingHost host;
    {
        Controller never(false, 1);
        never.beginSheetForController(&host);
    }
    EXPECT_FALSE(QFile::exists(customFile())); // never loaded: never written

    const QStringList commands = {"New Custom Layout…", "Rename Custom Layout…",
                                  "Delete Custom Layout"};
    {
        Controller chooser(false, 1);
        chooser.beginSheetForController(&host);
        chooser.goToStep(3);
        EXPECT_EQ(chooser.customLayoutPopup().items,
                  QStringList({"No Custom Layout", "-"}) + commands);
        EXPECT_FALSE(chooser.validateMenuItem(3));
        EXPECT_FALSE(chooser.validateMenuItem(4));
        EXPECT_TRUE(chooser.validateMenuItem(2));
        chooser.customLayoutAction(2);
        EXPECT_TRUE(chooser.nameSheetOpen());
        EXPECT_EQ(chooser.nameSheetText(), "");
        chooser.saveCustomNameAction("Mine");
        EXPECT_EQ(chooser.customLayoutPopup().items,
                  QStringList({"No Custom Layout", "-", "Mine", "-"}) + commands);
        EXPECT_EQ(chooser.customLayoutPopup().selected, 2);
        EXPECT_EQ(chooser.customLayoutIndex(), 0);
        EXPECT_TRUE(chooser.validateMenuItem(6));
        chooser.customLayoutAction(4);
        chooser.saveCustomNameAction("Second");
        EXPECT_EQ(chooser.customLayoutPopup().items,
                  QStringList({"No Custom Layout", "-", "Mine", "Second", "-"}) + commands);
        EXPECT_EQ(chooser.customLayoutIndex(), 1);
    }
    QVariantList saved = customLayoutsOnDisk();
    ASSERT_EQ(saved.size(), 2);
    EXPECT_EQ(saved.at(0).toMap().value(Info::paperCode), "Mine");
    EXPECT_EQ(saved.at(0).toMap().value(Info::paperManufacturer), "Quarn");
    EXPECT_EQ(Info::integer(saved.at(0).toMap(), Info::numRows), 5);

    {
        // The document's layout is the first one: it is selected, renamed, edited, deleted.
        Controller chooser(false, 1);
        chooser.beginSheetForController(&host);
        chooser.goToStep(3);
        EXPECT_EQ(chooser.customLayoutIndex(), 0);
        EXPECT_EQ(chooser.customLayoutPopup().selected, 2);
        chooser.customLayoutAction(6);
        EXPECT_EQ(chooser.nameSheetText(), "Mine");
        chooser.saveCustomNameAction("Renamed");
        EXPECT_EQ(chooser.customLayoutPopup().items.at(2), "Renamed");
        QVariantMap edited = chooser.paperSizeController()->dimensionInfo();
        edited.insert(Info::numRows, 9);
        chooser.paperSizeController()->setDimensionInfo(edited);
        chooser.goToStep(1); // leaving stores the edits
        EXPECT_EQ(chooser.customLayoutPopup().selected, 0);
        EXPECT_EQ(Info::integer(chooser.customLayouts().at(0).toMap(), Info::numRows), 9);
        EXPECT_EQ(Info::text(chooser.customLayouts().at(0).toMap(), Info::paperCode), "Renamed");
        chooser.goToStep(3);
        chooser.customLayoutAction(3); // "Second"
        chooser.customLayoutAction(7); // delete it
        EXPECT_EQ(chooser.customLayoutPopup().items,
                  QStringList({"No Custom Layout", "-", "Renamed", "-"}) + commands);
        chooser.customLayoutAction(2);
        chooser.customLayoutAction(6); // delete the last: its separator goes too
        EXPECT_EQ(chooser.customLayoutPopup().items,
                  QStringList({"No Custom Layout", "-"}) + commands);
        EXPECT_EQ(chooser.customLayoutPopup().selected, 0);
        EXPECT_EQ(chooser.customLayoutIndex(), -2);
        chooser.saveSelectedLayoutWithName(QString("ignored")); // no index: nothing
        chooser.cancelCustomNameAction();
        EXPECT_EQ(chooser.customLayoutPopup().selected, 0);
    }
    EXPECT_TRUE(customLayoutsOnDisk().isEmpty());
    EXPECT_TRUE(QFile::exists(customFile()));
}

TEST_F(LayoutSheetTest, ChangingTheLayoutSelectsTheCustomLayoutInUse)
{
    const QVariantMap sheet{{Info::labelType, 1},        {Info::numRows, 10},
                            {Info::numColumns, 3},       {Info::labelWidth, 189.0},
                            {Info::labelHeight, 72.0},   {Info::topMargin, 36.0},
                            {Info::leftMargin, 11.25},   {Info::hLabelSpace, 11.25},
                            {Info::vLabelSpace, 0.0},    {Info::cornerRadius, 0.0},
                            {Info::pageWidth, 612.0},    {Info::pageHeight, 792.0},
                            {Info::paperSize, "Letter"}, {Info::category, "Address Labels"}};
    const auto with = [&sheet](const QVariantMap& changes) {
        QVariantMap layout = sheet;
        layout.insert(changes);
        return layout;
    };
    struct Case
    {
        const char* what;
        QVariantMap saved;
        QVariantMap document;
        qint64 index;
    };
    const Case cases[] = {
        // Applying square labels drops the radius the catalogue sheet came with.
        {"square labels saved with a radius", with({{Info::cornerRadius, 4.5}}), sheet, 1},
        {"lengths equal in single precision", with({{Info::labelWidth, 189.000001}}), sheet, 1},
        {"rounded labels of the same radius",
         with({{Info::labelType, 3}, {Info::cornerRadius, 4.5}}),
         with({{Info::labelType, 3}, {Info::cornerRadius, 4.5}}), 1},
        {"rounded labels of another radius",
         with({{Info::labelType, 3}, {Info::cornerRadius, 9.0}}),
         with({{Info::labelType, 3}, {Info::cornerRadius, 4.5}}), -2},
        {"another grid", with({{Info::numRows, 9}}), sheet, -2},
    };
    for (const Case& c : cases) {
        QVariantMap other = with({{Info::numRows, 4}});
        other.insert(Info::paperCode, "Other");
        QVariantMap saved = c.saved;
        saved.insert(Info::paperCode, "Mine");
        {
            QFile file(customFile());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(platform::PropertyList::toXml(QVariantList{other, saved}));
        }
        RecordingHost host;
        host.documentObject->setDimensionInfo(c.document);
        Controller chooser(false, 1);
        chooser.beginSheetForController(&host);
        chooser.goToStep(3);
        EXPECT_EQ(chooser.customLayoutIndex(), c.index) << c.what;
        EXPECT_EQ(chooser.customLayoutPopup().selected, c.index >= 0 ? c.index + 2 : 0) << c.what;
    }
}

TEST_F(LayoutSheetTest, LeavesAnUnreadableCustomLayoutsFileAlone)
{
    {
        QFile file(customFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a property list");
    }
    RecordingHost host;
    {
        Controller chooser(false, 1);
        chooser.beginSheetForController(&host);
        chooser.goToStep(3);
        EXPECT_TRUE(chooser.customLayouts().isEmpty());
    }
    EXPECT_EQ(bytesOf(customFile()), "not a property list");
    {
        Controller chooser(false, 1);
        chooser.beginSheetForController(&host);
        chooser.goToStep(3);
        chooser.customLayoutAction(2);
        chooser.saveCustomNameAction("New");
    }
    EXPECT_EQ(customLayoutsOnDisk().size(), 1);
}

TEST_F(LayoutSheetTest, RestoresFromTheProjectDescription)
{
    struct Case
    {
        const char* name;
        QVariantMap description;
        qint64 step;
        const char* maker;
        const char* code;
        bool sheetMode;
    };
    const Case cases[] = {
        {"label sheet",
         {{"ProjectType", 500},
          {"ManufacturerName", "Avery"},
          {"CardStockName", "5160"},
          {"IsHorizontalDocType", "YES"}},
         1,
         "Avery",
         "5160",
         true},
        {"by type name",
         {{"ProjectTypeName", "Disc Labels"}, {"CardStockName", "5691"}},
         1,
         "All",
         "5691",
         true},
        {"letterhead", {{"ProjectType", 1}, {"CardStockName", "US Letter"}}, 3, "", "", false},
        {"other units",
         {{"ProjectType", 0}, {"CardStockName", "DL"}},
         1,
         "Standard (US)",
         "DL",
         true},
        {"stock gone", {{"ProjectType", 500}, {"CardStockName", "no such"}}, 1, "All", "", true},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        Controller chooser(false, Controller::projectTypeOfDescription(c.description));
        chooser.beginSheetForController(&host);
        chooser.setFromProjectDescription(c.description);
        EXPECT_EQ(chooser.stepIndex(), c.step) << c.name;
        EXPECT_EQ(chooser.sheetMode(), c.sheetMode) << c.name;
        if (c.step != 1)
            continue;
        EXPECT_EQ(chooser.manufacturerPopup().selectedTitle(), c.maker) << c.name;
        const std::optional<QVariantMap> card =
            chooser.cardDictionaryAtIndex(chooser.selectedRow());
        if (QByteArray(c.code).isEmpty())
            continue;
        ASSERT_TRUE(card) << c.name;
        EXPECT_EQ(card->value(Info::paperCode), c.code) << c.name;
    }
}

TEST_F(LayoutSheetTest, RestoresAUsLetterMakerAsUs)
{
    QTemporaryDir folder;
    Controller::setCardStockPath(folder.path());
    QDir(folder.path()).mkpath("Diskette Labels");
    QFile file(folder.path() + "/Diskette Labels/Avery-Letter.plist");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(platform::PropertyList::toXml(
        QVariantList{QVariantMap{{"paperCode", "X1"}}, QVariantMap{{"paperCode", "X2"}}}));
    file.close();
    RecordingHost host;
    Controller chooser(false, 504);
    chooser.beginSheetForController(&host);
    chooser.setFromProjectDescription(
        {{"ProjectType", 504}, {"ManufacturerName", "Avery (US Letter)"}, {"CardStockName", "X2"}});
    Controller::setCardStockPath(":/Card Stocks/");
    EXPECT_EQ(chooser.manufacturerPopup().selectedTitle(), "Avery (US)");
    EXPECT_EQ(chooser.selectedRow(), 1);
}

TEST_F(LayoutSheetTest, HandsTheChosenLayoutToTheWindow)
{
    // Changing the layout: the sheet chosen at once, with its description.
    {
        RecordingHost host;
        Controller chooser(false, 500);
        chooser.beginSheetForController(&host);
        chooser.setFromProjectDescription(
            {{"ProjectType", 500}, {"ManufacturerName", "Avery"}, {"CardStockName", "5160"}});
        chooser.continueAction();
        EXPECT_EQ(host.calls,
                  (QStringList{"chooseBlankLayout 0 500 vertical 0 new 0 delivery 0 return 0",
                               "description"}));
        EXPECT_EQ(host.layout.value(Info::paperCode), "5160");
        EXPECT_NEAR(Info::real(host.layout, Info::labelWidth), 189, 1e-3); // 2.625in
        // The catalogues keep no maker group.
        EXPECT_EQ(host.description, (QVariantMap{{"ProjectType", 500},
                                                 {"ManufacturerName", ""},
                                                 {"CardStockName", "5160"},
                                                 {"IsHorizontalDocType", "YES"}}));
    }
    // Nothing selected: nothing to hand over, the sheet stays.
    {
        RecordingHost host;
        Controller chooser(false, 500);
        chooser.beginSheetForController(&host);
        chooser.setFromProjectDescription({{"ProjectType", 500}, {"CardStockName", "5160"}});
        chooser.searchPaperCode("no sheet has this");
        chooser.chooseDesignAction();
        EXPECT_TRUE(host.calls.isEmpty());
        EXPECT_EQ(chooser.stepIndex(), 1);
    }
    // The custom size: the pane's layout, its label kind deciding the orientation.
    {
        RecordingHost host;
        Controller chooser(false, 1);
        chooser.beginSheetForController(&host);
        chooser.setFromProjectDescription({{"ProjectType", 1}, {"ManufacturerName", ""}});
        chooser.chooseDesignAction();
        EXPECT_EQ(host.calls,
                  (QStringList{"chooseBlankLayout 1 1 vertical 0 new 0 delivery 0 return 0",
                               "description"}));
        // The document's layout, named as the pane names its kind of sheet.
        QVariantMap expected = host.document()->dimensionInfo();
        expected.insert(Info::category, "Address Labels");
        EXPECT_EQ(host.layout, expected);
        EXPECT_EQ(host.description.value("CardStockName"), "");
        EXPECT_EQ(host.description.value("IsHorizontalDocType"), "YES");
    }
    // What the user typed into the pane is what the window gets.
    {
        RecordingHost host;
        Controller chooser(false, 1);
        chooser.beginSheetForController(&host);
        chooser.setFromProjectDescription({{"ProjectType", 1}, {"ManufacturerName", ""}});
        LBPaperSizeController* pane = chooser.paperSizeController();
        ASSERT_NE(pane, nullptr);
        pane->unitPopupAction(LBPaperSizeController::Points);
        pane->field(LBPaperSizeController::LabelWidthField)->setText("100");
        pane->controlTextDidChange(LBPaperSizeController::LabelWidthField);
        chooser.chooseDesignAction();
        ASSERT_FALSE(host.calls.isEmpty());
        EXPECT_TRUE(host.calls.first().startsWith("chooseBlankLayout 1 "));
        EXPECT_EQ(host.layout.value(Info::labelWidth).toDouble(), 100.0);
    }
}

TEST_F(LayoutSheetTest, AsksAboutAddressesForANewDocument)
{
    struct Case
    {
        qint64 project;
        qint64 row;
        int answer;
        const char* message;
        const char* call;
    };
    const Case cases[] = {
        {500, 0, platform::Alert::ThirdButtonReturn,
         "Do you want to add a pre-formatted address to your label?",
         "chooseBlankLayout 0 500 vertical 0 new 1 delivery 0 return 0"},
        {500, 0, platform::Alert::FirstButtonReturn,
         "Do you want to add a pre-formatted address to your label?",
         "chooseBlankLayout 0 500 vertical 0 new 1 delivery 1 return 0"},
        {500, 0, platform::Alert::SecondButtonReturn,
         "Do you want to add a pre-formatted address to your label?",
         "chooseBlankLayout 0 500 vertical 0 new 1 delivery 0 return 1"},
        {0, 2, platform::Alert::FirstButtonReturn,
         "Do you want to add pre-formatted address fields to your envelope?",
         "chooseBlankLayout 0 0 vertical 0 new 1 delivery 1 return 1"},
        {0, 2, platform::Alert::SecondButtonReturn,
         "Do you want to add pre-formatted address fields to your envelope?",
         "chooseBlankLayout 0 0 vertical 0 new 1 delivery 0 return 0"},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        AlertAnswers answers(c.answer);
        Controller chooser(true, 500);
        chooser.beginSheetForController(&host);
        chooser.projectTypeAction(c.project);
        chooser.continueAction();
        chooser.selectRow(c.row);
        chooser.continueAction();
        chooser.chooseDesignAction();
        EXPECT_EQ(answers.messages, QStringList{c.message});
        EXPECT_EQ(host.calls, (QStringList{c.call, "description"}));
        EXPECT_EQ(host.description.value("ProjectType"), c.project);
    }
    // Letterhead asks nothing.
    RecordingHost host;
    AlertAnswers answers(platform::Alert::FirstButtonReturn);
    Controller chooser(true, 500);
    chooser.beginSheetForController(&host);
    chooser.projectTypeAction(1);
    chooser.continueAction();
    chooser.chooseDesignAction();
    EXPECT_TRUE(answers.messages.isEmpty());
    EXPECT_EQ(host.calls, (QStringList{"chooseBlankLayout 0 1 vertical 0 new 1 delivery 0 return 0",
                                       "description"}));
    EXPECT_EQ(host.description.value("CardStockName"), "US Letter");
}

TEST_F(LayoutSheetTest, RecordsTheProjectOfAMatchedSetByItsLabelKind)
{
    const std::pair<qint64, qint64> cases[] = {{6, 0}, {5, 0}, {98, 500}, {1, 500}, {4, 500},
                                               {7, 1}, {8, 1}, {9, 5},    {100, 5}};
    for (const auto& [labelType, project] : cases)
        EXPECT_EQ(Controller::projectTypeForMatchedSetLabelType(labelType), project) << labelType;
}

TEST_F(LayoutSheetTest, ClosingDropsTheChooserAndANewDocument)
{
    for (const bool newDocument : {true, false}) {
        RecordingHost host;
        Controller chooser(newDocument, 500);
        chooser.beginSheetForController(&host);
        chooser.closeDocumentAction();
        EXPECT_EQ(host.calls, QStringList{"remove"});
        EXPECT_EQ(host.documentObject->closed, newDocument);
    }
}

TEST_F(LayoutSheetTest, QuittingClosesOpenChoosersLastFirst)
{
    QStringList journal;
    RecordingHost first;
    RecordingHost second;
    first.name = "first";
    second.name = "second";
    first.journal = second.journal = &journal;
    auto a = std::make_unique<Controller>(false, 500);
    auto b = std::make_unique<Controller>(false, 500);
    a->beginSheetForController(&first);
    b->beginSheetForController(&second);
    EXPECT_EQ(Controller::openControllers(), (QList<Controller*>{a.get(), b.get()}));
    Controller::closeAllOpenControllers();
    EXPECT_EQ(journal, (QStringList{"second", "first"}));
    EXPECT_TRUE(Controller::openControllers().isEmpty());
}

TEST_F(LayoutSheetTest, OpensExistingDocumentsInsteadAndAlertsForUnreadableOnes)
{
    QTemporaryDir folder;
    const QString broken = folder.path() + "/Broken.quarnl";
    QDir().mkpath(broken);
    const QString good = folder.path() + "/Good.quarnlb";
    {
        LBDocument written;
        platform::Error error;
        ASSERT_TRUE(written.saveToFile(good, LBDocument::documentTypeStringForExtension("quarnlb"),
                                       platform::Document::SaveOperation, &error))
            << error.description.toStdString();
    }

    platform::DocumentController& documents =
        platform::DocumentController::sharedDocumentController();
    platform::DocumentController::DocumentTypes types;
    types.typeForExtension = [](const QString& extension) {
        return LBDocument::documentTypeStringForExtension(extension);
    };
    types.read = [](const QString& path, const QString& type, platform::Error* error)
        -> std::unique_ptr<platform::Document> {
        return LBDocument::initWithContentsOfFile(path, type, error);
    };
    documents.setDocumentTypes(types);

    RecordingHost host;
    AlertAnswers answers(platform::Alert::FirstButtonReturn);
    Controller chooser(true, 500);
    chooser.beginSheetForController(&host);
    EXPECT_EQ(chooser.openFiles({broken}), 0);
    EXPECT_EQ(answers.messages, QStringList{"The document could not be opened."});
    EXPECT_TRUE(host.calls.isEmpty()); // the chooser stays
    EXPECT_FALSE(host.documentObject->closed);

    EXPECT_EQ(chooser.openFiles({broken, good}), 1);
    EXPECT_EQ(answers.messages.size(), 2);
    EXPECT_EQ(host.calls, QStringList{"remove"});
    EXPECT_TRUE(host.documentObject->closed); // the untitled document goes
    const QList<platform::Document*> open = documents.documents();
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open.first()->fileName(), good);

    // Opened again from another chooser: the open document, not a second copy of the file
    // that would save over the first.
    RecordingHost again;
    Controller second(true, 500);
    second.beginSheetForController(&again);
    EXPECT_EQ(second.openFiles({good}), 1);
    EXPECT_EQ(documents.documents(), open);

    documents.removeDocument(open.first());
    documents.setDocumentTypes({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(LayoutSheetTest, PageTypesChooseTheirPaperOnTheTemplateStep)
{
    platform::UserDefaults::standardUserDefaults().setBool(false, "Layout Sheet A4 Paper Selected");
    Controller chooser(true, 500);
    chooser.projectTypeAction(3); // not a button: nothing
    EXPECT_EQ(chooser.selectedProjectType(), 500);
    chooser.setSelectedProjectType(3);
    chooser.goToStep(2);
    EXPECT_TRUE(chooser.showsTemplateUnits());
    EXPECT_EQ(chooser.pageOrientationColumn(), 1);
    ASSERT_EQ(chooser.templates().size(), 1);
    EXPECT_NEAR(chooser.templates().first()->blankPaperSize().width(), 8.5 * 120 / 11, 1e-9);
    chooser.setTemplateUnitsColumn(1);
    chooser.templateUnitsTypeAction();
    EXPECT_EQ(chooser.selectedCardStockName(), "A4");
    EXPECT_NEAR(chooser.templates().first()->blankPaperSize().width(), 210.0 * 120 / 297, 1e-6);
    EXPECT_TRUE(platform::UserDefaults::standardUserDefaults().boolForKey(
        "Layout Sheet A4 Paper Selected"));

    // The next chooser starts on A4.
    Controller next(true, 500);
    next.setSelectedProjectType(3);
    next.goToStep(2);
    EXPECT_EQ(next.templateUnitsColumn(), 1);
    EXPECT_EQ(next.selectedCardStockName(), "A4");
    platform::UserDefaults::standardUserDefaults().setBool(false, "Layout Sheet A4 Paper Selected");
}

TEST_F(LayoutSheetTest, ASavedMakerIndexThatIsNoMakerSelectsTheFirst)
{
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    const std::pair<qint64, qint64> cases[] = {{20000, 0}, {1, 0}, {100, 0}, {-3, 0}, {3, 3}};
    for (const auto& [saved, selected] : cases) {
        defaults.setInteger(saved, "Layout Sheet Selected Manufacturer 2");
        Controller chooser(true, 500);
        chooser.continueAction();
        EXPECT_EQ(chooser.manufacturerPopup().selected, selected) << saved;
        EXPECT_FALSE(chooser.cardArray().isEmpty()) << saved;
        EXPECT_EQ(defaults.integerForKey("Layout Sheet Selected Manufacturer 2"), selected);
    }
}

TEST_F(LayoutSheetTest, AFailedWriteOfTheCustomLayoutsIsLogged)
{
    // A support "folder" that is a file: nothing can be written below it.
    const QString blocked = _support.path() + "/blocked";
    QFile(blocked).open(QIODevice::WriteOnly);
    LBProcessState::setApplicationSupportPath(blocked);
    RecordingHost host;
    MessageLog log;
    {
        Controller chooser(false, 1);
        chooser.beginSheetForController(&host);
        chooser.goToStep(3);
        chooser.customLayoutAction(2);
        chooser.saveCustomNameAction("Mine");
    }
    EXPECT_TRUE(log.contains("The custom layouts cannot be written"))
        << log.messages.join('\n').toStdString();
    EXPECT_EQ(bytesOf(blocked), "");
}

TEST_F(LayoutSheetTest, TheSheetShowsTheStepAndPassesClicksOn)
{
    Controller chooser(true, 500);
    chooser.beginSheetForController(nullptr);
    QDialog* sheet = chooser.sheet();
    auto* steps = sheet->findChild<QStackedWidget*>();
    ASSERT_TRUE(steps);
    EXPECT_EQ(steps->currentIndex(), 0);
    EXPECT_EQ(sheet->size(), QSize(654, 277));

    // The envelopes button chooses envelopes; Continue shows their list.
    QList<QAbstractButton*> buttons;
    for (QAbstractButton* button : steps->widget(0)->findChildren<QAbstractButton*>()) {
        if (button->inherits("LBImageButton"))
            buttons << button;
    }
    ASSERT_EQ(buttons.size(), 5);
    EXPECT_TRUE(buttons.at(3)->isEnabled()); // matched sets
    QTest::mouseClick(buttons.at(1), Qt::LeftButton);
    EXPECT_EQ(chooser.selectedProjectType(), 0);
    for (QPushButton* button : steps->widget(0)->findChildren<QPushButton*>()) {
        if (button->text() == "Continue")
            QTest::mouseClick(button, Qt::LeftButton);
    }
    EXPECT_EQ(steps->currentIndex(), 1);
    auto* table = steps->widget(1)->findChild<QTableView*>();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->model()->rowCount(), chooser.numberOfRows());
    EXPECT_EQ(table->model()->index(2, 0).data().toString(), "Size 10 (9.5x4.125 in)");
    auto* makers = steps->widget(1)->findChild<QComboBox*>();
    ASSERT_TRUE(makers);
    EXPECT_EQ(makers->count(), chooser.manufacturerPopup().items.size());
    EXPECT_EQ(makers->itemData(1, Qt::AccessibleDescriptionRole).toString(), "separator");

    // Choosing a row in the table selects the stock.
    table->selectRow(3);
    EXPECT_EQ(chooser.selectedRow(), 3);
    EXPECT_EQ(chooser.cardDictionaryAtIndex(3)->value(Info::paperCode), "Size 11");
}

TEST_F(LayoutSheetTest, AnEmptyTemplateStepSaysWhyThereIsNothingToChoose)
{
    Controller chooser(true, 500);
    chooser.beginSheetForController(nullptr);
    auto* steps = chooser.sheet()->findChild<QStackedWidget*>();
    ASSERT_TRUE(steps);
    const auto click = [&](const QString& title) {
        for (QPushButton* button : steps->currentWidget()->findChildren<QPushButton*>()) {
            if (button->text() == title && button->isVisibleTo(chooser.sheet())) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        ADD_FAILURE() << "no button " << title.toStdString();
    };
    // What the template browser says over its designs, when it says anything.
    const auto note = [&]() -> QString {
        auto* browser = steps->currentWidget()->findChild<QListView*>();
        if (!browser)
            return QStringLiteral("(no browser)");
        for (QLabel* label : browser->viewport()->findChildren<QLabel*>()) {
            if (label->isVisibleTo(chooser.sheet()))
                return label->text();
        }
        return {};
    };

    // Matched sets, with none installed.
    QList<QAbstractButton*> projects;
    for (QAbstractButton* button : steps->widget(0)->findChildren<QAbstractButton*>()) {
        if (button->inherits("LBImageButton"))
            projects << button;
    }
    ASSERT_EQ(projects.size(), 5);
    QTest::mouseClick(projects.at(3), Qt::LeftButton);
    click(QStringLiteral("Continue"));
    ASSERT_TRUE(chooser.templates().isEmpty());
    EXPECT_EQ(note(), QStringLiteral("No designs of this kind are installed."));
    EXPECT_FALSE(chooser.chooseDesignEnabled());

    // Envelopes have their blank design; a search that matches nothing says so.
    click(QStringLiteral("Go Back"));
    QTest::mouseClick(projects.at(1), Qt::LeftButton);
    click(QStringLiteral("Continue"));
    click(QStringLiteral("Continue"));
    ASSERT_FALSE(chooser.templates().isEmpty());
    EXPECT_EQ(note(), QString());
    auto* search = steps->currentWidget()->findChild<QLineEdit*>();
    ASSERT_TRUE(search);
    QTest::keyClicks(search, QStringLiteral("zzz"));
    EXPECT_EQ(note(), QStringLiteral("No design matches \u201czzz\u201d."));
    search->clear();
    EXPECT_EQ(note(), QString());
}

namespace {

// The format step of a new labels chooser, reached by the project step's Continue.
struct FormatStepWidgets
{
    QStackedWidget* steps = nullptr;
    QComboBox* makers = nullptr;
    QComboBox* types = nullptr;
    QLineEdit* search = nullptr;
    QTableView* table = nullptr;
    QPushButton* button(const QString& title) const
    {
        for (QPushButton* each : steps->currentWidget()->findChildren<QPushButton*>()) {
            if (each->text() == title)
                return each;
        }
        return nullptr;
    }
    QStringList rows() const
    {
        QStringList texts;
        for (int row = 0; row < table->model()->rowCount(); ++row)
            texts << table->model()->index(row, 0).data().toString();
        return texts;
    }
    QString selectedRowText() const
    {
        const QModelIndexList selected = table->selectionModel()->selectedRows();
        return selected.size() == 1 ? selected.first().data().toString() : QString();
    }
};

FormatStepWidgets openLabelsFormatStep(Controller& chooser)
{
    chooser.beginSheetForController(nullptr);
    FormatStepWidgets widgets;
    widgets.steps = chooser.sheet()->findChild<QStackedWidget*>();
    if (!widgets.steps)
        return widgets;
    if (QPushButton* next = widgets.button("Continue"))
        QTest::mouseClick(next, Qt::LeftButton);
    QWidget* page = widgets.steps->currentWidget();
    const QList<QComboBox*> boxes = page->findChildren<QComboBox*>();
    widgets.makers = boxes.value(0);
    widgets.types = boxes.value(1);
    widgets.search = page->findChild<QLineEdit*>();
    widgets.table = page->findChild<QTableView*>();
    return widgets;
}

// Chooses the item with that title as the user does in the pop-up.
void choose(QComboBox* box, const QString& title)
{
    const int index = box->findText(title);
    ASSERT_GE(index, 0) << title.toStdString();
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

} // namespace

TEST_F(LayoutSheetTest, TheLabelListShowsEachSheetsLabelSizeAndCount)
{
    Controller chooser(true, 500);
    const FormatStepWidgets format = openLabelsFormatStep(chooser);
    ASSERT_TRUE(format.table);
    ASSERT_EQ(format.steps->currentIndex(), 1);
    choose(format.makers, "Avery");
    const QStringList rows = format.rows();
    // Inch and millimetre sheets, as the catalogue gives their lengths.
    EXPECT_TRUE(rows.contains("5160 - Address labels (2.625x1 in, 30 per sheet)"))
        << rows.mid(0, 5).join(" | ").toStdString();
    for (const QString& row : rows)
        EXPECT_TRUE(row.contains(" per sheet)")) << row.toStdString();
    choose(format.makers, "APLI");
    EXPECT_TRUE(format.rows().contains("1271 - Rectangular labels (70x30 mm, 27 per sheet)"));
}

TEST_F(LayoutSheetTest, TypingASearchKeepsTheChosenLabelType)
{
    Controller chooser(true, 500);
    const FormatStepWidgets format = openLabelsFormatStep(chooser);
    ASSERT_TRUE(format.search);
    choose(format.makers, "Avery");
    choose(format.types, "Address Labels");
    const qsizetype typed = chooser.cardArray().size();
    ASSERT_GT(typed, 1);
    QTest::keyClicks(format.search, "51");
    EXPECT_EQ(format.types->currentText(), "Address Labels");
    EXPECT_EQ(format.makers->currentText(), "Avery");
    ASSERT_FALSE(chooser.cardArray().isEmpty());
    EXPECT_LT(chooser.cardArray().size(), typed);
    for (const Controller::Card& card : chooser.cardArray()) {
        EXPECT_EQ(card.labelType, "Address Labels");
        EXPECT_EQ(card.maker, "Avery");
        EXPECT_TRUE(card.foldedCode.contains("51") || card.foldedModels.contains("51"));
    }
    // Emptied, the search gives back the maker's sheets of that type.
    QTest::keyClick(format.search, Qt::Key_Backspace);
    QTest::keyClick(format.search, Qt::Key_Backspace);
    ASSERT_TRUE(format.search->text().isEmpty());
    EXPECT_EQ(chooser.cardArray().size(), typed);
    EXPECT_EQ(format.types->currentText(), "Address Labels");
}

TEST_F(LayoutSheetTest, BackFromTheCustomSizeFindsTheSheetAsLeft)
{
    Controller chooser(true, 500);
    const FormatStepWidgets format = openLabelsFormatStep(chooser);
    ASSERT_TRUE(format.table);
    choose(format.makers, "Avery");
    choose(format.types, "Address Labels");
    QTest::keyClicks(format.search, "51");
    ASSERT_GT(format.table->model()->rowCount(), 2);
    format.table->selectRow(2);
    const QString chosen = format.selectedRowText();
    ASSERT_FALSE(chosen.isEmpty());

    QPushButton* custom = format.button(Controller::layoutSheetString("Custom Size…"));
    ASSERT_TRUE(custom);
    QTest::mouseClick(custom, Qt::LeftButton);
    EXPECT_EQ(format.steps->currentIndex(), 3);
    QPushButton* back = format.button(Controller::dialogString("Go Back"));
    ASSERT_TRUE(back);
    QTest::mouseClick(back, Qt::LeftButton);

    EXPECT_EQ(format.steps->currentIndex(), 1);
    EXPECT_EQ(format.makers->currentText(), "Avery");
    EXPECT_EQ(format.types->currentText(), "Address Labels");
    EXPECT_EQ(format.search->text(), "51");
    EXPECT_EQ(format.selectedRowText(), chosen);
    EXPECT_EQ(chooser.selectedRow(), 2);
    EXPECT_TRUE(chooser.continueEnabled());
}

TEST_F(LayoutSheetTest, ACustomLayoutMadeFromACatalogueSheetIsTheUsersOwn)
{
    {
        Controller chooser(true, 500);
        const FormatStepWidgets format = openLabelsFormatStep(chooser);
        ASSERT_TRUE(format.table);
        ASSERT_GE(chooser.selectedRow(), 0);
        const std::optional<QVariantMap> card =
            chooser.cardDictionaryAtIndex(chooser.selectedRow());
        ASSERT_TRUE(card);
        const QString maker = Info::text(*card, Info::paperManufacturer);
        ASSERT_FALSE(maker.isEmpty());
        ASSERT_NE(maker, "Quarn");
        QPushButton* custom = format.button(Controller::layoutSheetString("Custom Size…"));
        ASSERT_TRUE(custom);
        QTest::mouseClick(custom, Qt::LeftButton);
        ASSERT_EQ(format.steps->currentIndex(), 3);
        // The pane starts from the sheet; the layout saved from it is the user's.
        ASSERT_EQ(
            Info::text(chooser.paperSizeController()->dimensionInfo(), Info::paperManufacturer),
            maker);
        chooser.customLayoutAction(2); // new
        chooser.saveCustomNameAction("Mine");
        chooser.goBackAction(); // leaving stores the pane's edits in it
        ASSERT_EQ(chooser.customLayouts().size(), 1);
        EXPECT_EQ(Info::text(chooser.customLayouts().at(0).toMap(), Info::paperManufacturer),
                  "Quarn");
        // The pane starts from the sheet again; this layout is stored when the chooser goes.
        chooser.customSizeAction();
        chooser.customLayoutAction(4); // new
        chooser.saveCustomNameAction("Second");
    }
    const QVariantList saved = customLayoutsOnDisk();
    ASSERT_EQ(saved.size(), 2);
    for (const QVariant& layout : saved)
        EXPECT_EQ(layout.toMap().value(Info::paperManufacturer), "Quarn");
    EXPECT_EQ(saved.at(0).toMap().value(Info::paperCode), "Mine");
    EXPECT_EQ(saved.at(1).toMap().value(Info::paperCode), "Second");
}

TEST_F(LayoutSheetTest, AnEnvelopeOfNoSizeCannotBeChosen)
{
    Controller chooser(true, 0);
    FormatStepWidgets sheet;
    chooser.beginSheetForController(nullptr);
    sheet.steps = chooser.sheet()->findChild<QStackedWidget*>();
    ASSERT_TRUE(sheet.steps);
    chooser.projectTypeAction(0);
    chooser.continueAction();
    QPushButton* custom = sheet.button(Controller::layoutSheetString("Custom Size…"));
    ASSERT_TRUE(custom);
    QTest::mouseClick(custom, Qt::LeftButton);
    LBPaperSizeController* pane = chooser.paperSizeController();
    ASSERT_TRUE(pane);
    choose(pane->paperSizePopup(), "Custom");
    QLineEdit* width = pane->field(LBPaperSizeController::PaperWidthField);
    QPushButton* chooseButton = sheet.button(Controller::dialogString("Choose"));
    ASSERT_TRUE(chooseButton);
    const auto warning = [&] {
        for (QLabel* label : sheet.steps->currentWidget()->findChildren<QLabel*>())
            if (label->isVisibleTo(sheet.steps) && label->text().contains("greater than 0"))
                return label->text();
        return QString();
    };
    ASSERT_TRUE(chooseButton->isEnabled());
    EXPECT_TRUE(warning().isEmpty());

    // Each text leaves the envelope without a width: it cannot be chosen, and says why.
    for (const char* typed : {"abc", "0", "-3"}) {
        width->selectAll();
        QTest::keyClicks(width, typed);
        EXPECT_FALSE(chooseButton->isEnabled()) << typed;
        EXPECT_EQ(warning(), QString("Type a paper width and height greater than 0.")) << typed;
    }
    width->selectAll();
    QTest::keyClicks(width, "7");
    EXPECT_TRUE(chooseButton->isEnabled());
    EXPECT_TRUE(warning().isEmpty());
    EXPECT_DOUBLE_EQ(pane->dimensionInfo().value("labelWidth").toDouble(), 7 * 72.0);
}

TEST_F(LayoutSheetTest, TheCustomSizeFormStaysPutWhileItsWarningShows)
{
    RecordingHost host;
    Controller chooser(false, 1);
    chooser.beginSheetForController(&host);
    chooser.goToStep(3);
    QDialog* sheet = chooser.sheet();
    LBPaperSizeController* pane = chooser.paperSizeController();
    ASSERT_TRUE(pane);
    QLineEdit* rows = pane->field(LBPaperSizeController::RowsField);
    const auto shownWarning = [&] {
        for (QLabel* label : sheet->findChildren<QLabel*>())
            if (label->isVisibleTo(sheet) && label->text() == pane->overflowWarning())
                return label->text();
        return QString();
    };
    QCoreApplication::processEvents();
    ASSERT_TRUE(shownWarning().isEmpty());
    const QPoint place = rows->mapTo(sheet, QPoint(0, 0));

    for (const char* typed : {"0", "5"}) {
        rows->selectAll();
        QTest::keyClicks(rows, typed);
        QCoreApplication::processEvents();
        EXPECT_EQ(rows->mapTo(sheet, QPoint(0, 0)), place) << typed;
    }
    rows->selectAll();
    QTest::keyClicks(rows, "0");
    QCoreApplication::processEvents();
    EXPECT_EQ(shownWarning(), "Type at least one row and one column.");
}
