// Applying a layout: templates read and merged, blank layouts with their label kinds, page
// size and orientation, the quarter turn, moving the design, address boxes, and what is
// asked of the chooser, merge support and preview mode (through a window controller that
// records it).

#include "ModeControllerFakes.h"
#include "WindowTestSupport.h"

#include "graphics/GraphicClasses.h"
#include "graphics/LBTextArea.h"
#include "platform/core/PropertyList.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Alert.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace {

using Info = DimensionInfo;
using Orientation = platform::PrintInfo::Orientation;

// Records what applying a layout asks of the parts of the window that come later, and
// answers as the test says.
class RecordingWindowController : public TestWindowController
{
public:
    void removeLayoutSheetController() override { calls.append("remove sheet"); }
    bool isSmartTemplate() const override
    {
        calls.append("smart template?");
        return smartTemplate;
    }
    void showSmartTemplateHelp() override { calls.append("help"); }
    void showOrHideColumnsAsNecessary(qint64 mode) override
    {
        calls.append(QStringLiteral("columns for mode %1").arg(mode));
    }
    void addQuarnLabelControls() override { calls.append("label controls"); }
    void zoomToFit() override { calls.append("zoom to fit"); }
    void switchToDesignMode(QObject* sender) override
    {
        calls.append("design mode");
        LBWindowController::switchToDesignMode(sender);
    }
    void scanGraphicsForContactFields() override
    {
        LBWindowController::scanGraphicsForContactFields();
        _foundDeliveryAddress = findsDeliveryAddress;
        _foundOtherContactField = findsOtherField;
        calls.append("scan");
    }
    std::shared_ptr<LBTextArea> textObjForPreformattedFieldStr(const QString& field) override
    {
        calls.append("text " + field);
        if (!addressText)
            return LBWindowController::textObjForPreformattedFieldStr(field);
        auto box = std::make_shared<LBTextArea>();
        box->setContents(addressText(field));
        return box;
    }

    mutable QStringList calls;
    bool smartTemplate = false;
    bool findsDeliveryAddress = false;
    bool findsOtherField = false;
    std::function<QString(const QString&)> addressText;
};

class LayoutsTest : public DocumentTest
{
protected:
    LayoutsTest()
    {
        registerGraphicClasses();
        controller = new RecordingWindowController;
        document->addWindowController(controller);
        platform::UserDefaults::standardUserDefaults().setBool(false, "DisableSmartTemplateHelp");
        // The window, loaded: in preview mode.
        controller->window();
        controller->calls.clear();
    }
    // The window controller goes with the document, while the mode log is there.
    ~LayoutsTest() override { document.reset(); }

    QStringList modeLog;
    RecordingFactories factories{&modeLog, true, false, false};

    QVariantMap& layout() { return document->dimensionInfo(); }

    // A template package: two pages of graphics at known places and a layout.
    QString writeTemplate(const QString& name, const QVariantMap& templateLayout)
    {
        LBDocument::Pages pages;
        for (int p = 0; p < 2; ++p) {
            LBDocument::Page page{LBDocument::Layer(), LBDocument::Layer()};
            for (int i = 0; i < 2; ++i) {
                auto graphic = std::make_shared<LBGraphic>();
                graphic->setBounds(QRectF(10 + 100 * i + p, 20 + 10 * i, 50, 40));
                page[1].append(graphic);
            }
            pages.append(page);
        }
        QVariantMap contents = LBDocument::dictionaryForGraphics(pages);
        contents.insert("DimensionInfo", templateLayout);
        const QString package = _templates.filePath(name);
        EXPECT_TRUE(QDir().mkpath(package));
        QFile file(package + "/Contents.quarnd");
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(platform::PropertyList::toText(contents));
        return package;
    }

    // The origins of every graphic of every page.
    QList<QPointF> origins()
    {
        QList<QPointF> all;
        for (const LBDocument::Page& page : document->documentGraphics()) {
            for (const LBDocument::Layer& layer : page) {
                for (const LBGraphicPtr& graphic : layer)
                    all.append(graphic->bounds().topLeft());
            }
        }
        return all;
    }

    // Leaves a step to undo, so tests can see that applying a layout empties the history.
    void leaveAnUndoStep()
    {
        step([&] { document->setBackgroundColor(Qt::red, 0); });
        ASSERT_TRUE(document->undoManager()->canUndo());
    }

    RecordingWindowController* controller = nullptr;
    QTemporaryDir _templates;
};

QVariantMap sheet(qint64 labelType)
{
    QVariantMap info = Info::defaults(QSizeF(612, 792));
    info.insert(Info::labelType, labelType);
    return info;
}

} // namespace

TEST(LayoutsQuarterTurn, TurnsLabelsGapsAndMarginsAndBack)
{
    // 5 x 2 labels of 252 x 144, 36 from the top and 54 from the left of a page 792 high:
    // landscape leaves 792 - 252 x 2 - 54 = 234 above the turned labels.
    QVariantMap info = Info::defaults(QSizeF(612, 792));
    info.insert(Info::hLabelSpace, 9.0);
    info.insert(Info::vLabelSpace, 0.0);
    LBWindowController controller;
    controller.swapDimensionsInDict(info, true);
    EXPECT_EQ(Info::real(info, Info::labelWidth), 144);
    EXPECT_EQ(Info::real(info, Info::labelHeight), 252);
    EXPECT_EQ(Info::integer(info, Info::numRows), 2);
    EXPECT_EQ(Info::integer(info, Info::numColumns), 5);
    EXPECT_EQ(Info::real(info, Info::hLabelSpace), 0);
    EXPECT_EQ(Info::real(info, Info::vLabelSpace), 9);
    EXPECT_EQ(Info::real(info, Info::topMargin), 792 - 252 * 2 - 9 - 54);
    EXPECT_EQ(Info::real(info, Info::leftMargin), 36);
    EXPECT_EQ(Info::real(info, Info::pageWidth), 612); // the page stays
    EXPECT_EQ(Info::real(info, Info::pageHeight), 792);

    controller.swapDimensionsInDict(info, false);
    EXPECT_EQ(Info::real(info, Info::labelWidth), 252);
    EXPECT_EQ(Info::integer(info, Info::numRows), 5);
    EXPECT_EQ(Info::real(info, Info::topMargin), 36 + 9 - 9); // the left margin before
    EXPECT_EQ(Info::real(info, Info::leftMargin), 792 - 252 * 2 - 9 - (792 - 252 * 2 - 9 - 54));

    // Without rows or columns the margins simply swap.
    QVariantMap single = {{Info::topMargin, 5.0}, {Info::leftMargin, 7.0}};
    controller.swapDimensionsInDict(single, true);
    EXPECT_EQ(Info::real(single, Info::topMargin), 7);
    EXPECT_EQ(Info::real(single, Info::leftMargin), 5);
}

TEST_F(LayoutsTest, PageSizeAndOrientationFollowTheLabelKind)
{
    struct Case
    {
        const char* what;
        qint64 cardType;
        bool envelope, letterhead, disc, swapPage, swapVertical;
        Orientation orientation;
        QSizeF page;
        QSizeF label;
        qint64 rows;
        QVariant rotateLabels;
    };
    // The layout: a landscape paper (792 x 612), labels of 252 x 144, 5 x 2.
    // clang-format off
    const Case cases[] = {
        {"plain sheet", 1, false, false, false, false, true, Orientation::Portrait,
         {612, 792}, {252, 144}, 5, {}},
        {"vertical sheet", 2, false, false, false, false, true, Orientation::Landscape,
         {792, 612}, {144, 252}, 2, {}},
        {"vertical sheet, unturned", 2, false, false, false, false, false,
         Orientation::Landscape, {792, 612}, {252, 144}, 5, {}},
        {"envelope", 5, true, false, false, false, true, Orientation::Landscape,
         {252, 144}, {252, 144}, 1, {}},
        {"vertical envelope", 6, true, false, false, true, true, Orientation::Portrait,
         {144, 252}, {144, 252}, 1, {}},
        {"letterhead", 7, false, true, false, false, true, Orientation::Portrait,
         {252, 144}, {252, 144}, 1, {}},
        {"vertical letterhead", 8, false, true, false, true, true, Orientation::Landscape,
         {144, 252}, {144, 252}, 1, {}},
        {"disc", 17, false, false, true, false, true, Orientation::Portrait,
         {792, 612}, {792, 612}, 1, "NO"},
        {"turned disc", 17, false, false, true, true, true, Orientation::Portrait,
         {612, 792}, {612, 792}, 1, "YES"},
        {"vertical disc", 18, false, false, true, false, true, Orientation::Landscape,
         {792, 612}, {792, 612}, 1, "NO"},
    };
    // clang-format on
    QVariantMap chosen = Info::defaults(QSizeF(792, 612));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QVariantMap info = chosen;
        controller->setPageSizeAndOrientationForLayout(
            chosen, info, c.cardType, c.envelope, c.letterhead, c.disc, c.swapPage, c.swapVertical);
        EXPECT_EQ(document->printInfo().orientation(), c.orientation);
        EXPECT_EQ(QSizeF(Info::real(info, Info::pageWidth), Info::real(info, Info::pageHeight)),
                  c.page);
        EXPECT_EQ(QSizeF(Info::real(info, Info::labelWidth), Info::real(info, Info::labelHeight)),
                  c.label);
        EXPECT_EQ(Info::integer(info, Info::numRows), c.rows);
        EXPECT_EQ(info.value(Info::rotateLabels), c.rotateLabels);
        if (c.envelope || c.letterhead || c.disc) {
            for (const QString& key : {Info::leftMargin, Info::topMargin, Info::hLabelSpace,
                                       Info::vLabelSpace, Info::cornerRadius})
                EXPECT_EQ(Info::real(info, key), 0) << key.toStdString();
            EXPECT_EQ(Info::integer(info, Info::numColumns), 1);
        }
    }
}

TEST_F(LayoutsTest, BlankLayoutsDeriveTheirLabelKindAndFileType)
{
    struct Case
    {
        const char* what;
        QVariantMap layout;
        bool includesLabelType, vertical;
        qint64 labelType;
        const char* fileType;
    };
    const Case cases[] = {
        {"plain", {}, false, false, 1, "Veltrin Label"},
        {"plain vertical", {}, false, true, 2, "Veltrin Label"},
        {"envelope", {{"category", "Envelopes"}}, false, false, 5, "Veltrin Envelope"},
        {"vertical envelope", {{"category", "Envelopes"}}, false, true, 6, "Veltrin Envelope"},
        {"label printer", {{"paperManufacturer", "DYMO"}}, false, false, 5, "Veltrin Label"},
        {"letterhead", {{"category", "Letterhead"}}, false, true, 8, "Veltrin Page"},
        {"disc", {{"category", "Disc Labels"}}, false, false, 17, "Veltrin Label"},
        {"rounded", {{"cornerRadius", 6}}, false, false, 3, "Veltrin Label"},
        {"rounded vertical", {{"cornerRadius", 6}}, false, true, 4, "Veltrin Label"},
        {"round", {{"innerDiameter", 40}}, false, false, 5, "Veltrin Label"},
        // Kept: its own kind, 0 read as 1, the corner radius only for rounded kinds.
        {"kept rounded", {{"labelType", 3}, {"cornerRadius", 6}}, true, false, 3, "Veltrin Label"},
        {"kept plain", {{"labelType", 1}, {"cornerRadius", 6}}, true, false, 1, "Veltrin Label"},
        {"kept none", {{"labelType", 0}}, true, false, 1, "Veltrin Label"},
        {"kept envelope", {{"labelType", 6}}, true, false, 6, "Veltrin Envelope"},
    };
    // Already in design mode, where a blank layout leaves the window: no mode is entered, so
    // the window fits the new page itself, from 100 % whatever the old page's zoom was.
    controller->switchToDesignMode(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        layout() = sheet(1);
        leaveAnUndoStep();
        controller->setZoomSliderValue(9.0);
        controller->calls.clear();
        controller->chooseBlankLayout(c.layout, c.includesLabelType, 0, c.vertical, false, false,
                                      false);
        EXPECT_EQ(Info::integer(layout(), Info::labelType), c.labelType);
        EXPECT_EQ(document->fileType(), c.fileType);
        if (c.labelType != 3 && c.labelType != 4) {
            EXPECT_EQ(Info::real(layout(), Info::cornerRadius), 0);
        }
        EXPECT_EQ(controller->calls, QStringList({"remove sheet", "design mode", "zoom to fit"}));
        EXPECT_DOUBLE_EQ(controller->zoomSliderValue(),
                         LBWindowController::ActualSizeZoomSliderValue);
        EXPECT_EQ(controller->mode(), LBWindowController::DesignMode);
        EXPECT_TRUE(controller->zoomToFitOnModeChange());
        EXPECT_FALSE(document->undoManager()->canUndo());
    }
}

TEST_F(LayoutsTest, AGapOfTheOtherDirectionDoesNotSurviveABlankLayout)
{
    struct Case
    {
        double oldAcross, oldDown;
        QVariantMap layout;
        double across, down;
    };
    const Case cases[] = {
        {0, 6, {{"hLabelSpace", 9}}, 9, 0},
        {6, 0, {{"vLabelSpace", 9}}, 0, 9},
        {6, 6, {{"hLabelSpace", 9}}, 9, 6}, // the old layout gapped both ways
        {0, 6, {{"hLabelSpace", 9}, {"vLabelSpace", 3}}, 9, 3},
        {0, 6, {}, 0, 6},
    };
    for (const Case& c : cases) {
        layout() = sheet(1);
        layout().insert(Info::hLabelSpace, c.oldAcross);
        layout().insert(Info::vLabelSpace, c.oldDown);
        controller->chooseBlankLayout(c.layout, true, 0, false, false, false, false);
        EXPECT_EQ(Info::real(layout(), Info::hLabelSpace), c.across);
        EXPECT_EQ(Info::real(layout(), Info::vLabelSpace), c.down);
    }
}

TEST_F(LayoutsTest, NewDocumentsGetTheAddressBoxesAskedFor)
{
    controller->addressText = [](const QString& field) {
        return field == "MyName" ? QStringLiteral("Jane Appleseed")
                                 : QStringLiteral("Jane Appleseed\nAcme Widgets Incorporated");
    };
    const auto textSize = [](const QString& text) {
        LBTextArea box;
        box.setContents(text);
        return box.contents()->attributedString().size();
    };
    const QSizeF delivery = textSize("Jane Appleseed\nAcme Widgets Incorporated");
    const QSizeF own = textSize("Jane Appleseed");

    struct Case
    {
        const char* what;
        QVariantMap layout;
        bool delivery, returnAddress;
        QStringList texts;
        QList<QRectF> boxes; // front to back
        qint64 repeatCount;
        qint64 returnAlignment = 1; // of a box in the top-left corner
    };
    const QVariantMap labels = {{"labelWidth", 252}, {"labelHeight", 144}};
    const QVariantMap narrow = {{"labelWidth", 60}, {"labelHeight", 20}};
    const QVariantMap envelope = {
        {"category", "Envelopes"}, {"labelWidth", 684}, {"labelHeight", 297}};
    const auto centred = [](QSizeF label, QSizeF size) {
        return QRectF(
            QPointF((label.width() - size.width()) / 2, (label.height() - size.height()) / 2),
            size);
    };
    const Case cases[] = {
        {"delivery on labels",
         labels,
         true,
         false,
         {"Name+Company"},
         {centred({252, 144}, {252 - 10, 144 - 10})},
         1},
        {"return on labels",
         labels,
         false,
         true,
         {"MyName"},
         {centred({252, 144}, {252 - 4, 144 - 4})},
         10},
        {"narrow labels", narrow, true, false, {"Name+Company"}, {QRectF(5, 5, 50, 10)}, 1},
        {"envelope",
         envelope,
         true,
         true,
         {"Name+Company", "MyName"},
         // The return address from the top-left corner down, with room for an address.
         {QRectF(15, 15, 200, own.height() * 2.5),
          centred({684, 297}, {684 - 4, delivery.height() * 1.5})},
         1,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        document = std::make_unique<LBDocument>();
        controller = new RecordingWindowController;
        controller->addressText = [](const QString& field) {
            return field == "MyName" ? QStringLiteral("Jane Appleseed")
                                     : QStringLiteral("Jane Appleseed\nAcme Widgets Incorporated");
        };
        document->addWindowController(controller);
        controller->chooseBlankLayout(c.layout, false, 0, false, true, c.delivery, c.returnAddress);
        QStringList asked;
        for (const QString& call : controller->calls) {
            if (call.startsWith("text "))
                asked.append(call.mid(5));
        }
        EXPECT_EQ(asked, c.texts);
        const LBDocument::Layer& layer = document->pageGraphics()[document->selectedLayerIndex()];
        ASSERT_EQ(layer.size(), c.boxes.size());
        for (qsizetype i = 0; i < layer.size(); ++i) {
            expectNear(layer[i]->bounds(), c.boxes[i]);
            auto* box = dynamic_cast<LBTextArea*>(layer[i].get());
            ASSERT_NE(box, nullptr);
            const qint64 alignment =
                c.boxes[i].topLeft() == QPointF(15, 15) ? c.returnAlignment : 1;
            EXPECT_EQ(box->textBlockHorizontalAlignment(), alignment);
            EXPECT_EQ(box->textBlockVerticalAlignment(), alignment);
            // A longer merged address makes its font smaller rather than being cut off.
            EXPECT_EQ(box->textResizeMask(), quint64(LBTextArea::ReduceFont));
        }
        EXPECT_EQ(document->labelRepeatCount(), c.repeatCount);
        EXPECT_FALSE(document->undoManager()->canUndo());
    }

    // Not a new document, or a window that makes no address box: nothing is inserted.
    controller->calls.clear();
    controller->chooseBlankLayout(labels, false, 0, false, false, true, true);
    EXPECT_FALSE(controller->calls.join(" ").contains("text"));
    controller->addressText = nullptr;
    controller->chooseBlankLayout(labels, false, 0, false, true, true, false);
    EXPECT_TRUE(document->pageGraphics()[1].size() == 2);
}

TEST_F(LayoutsTest, TemplatesOpenedAsThemselvesKeepTheirFileAndLayout)
{
    const QString path = writeTemplate("Party.quarnpg", sheet(8));
    leaveAnUndoStep();
    controller->setZoomSliderValue(9.0);
    EXPECT_EQ(controller->chooseLayout(path, sheet(1), false, QPointF(10, -5), 0), 0);
    // Fitted from 100 %, not from the old page's zoom.
    EXPECT_DOUBLE_EQ(controller->zoomSliderValue(), LBWindowController::ActualSizeZoomSliderValue);
    EXPECT_EQ(QFileInfo(document->fileName()).absoluteFilePath(),
              QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(document->fileType(), "Veltrin Page");
    EXPECT_EQ(Info::integer(layout(), Info::labelType), 8);
    EXPECT_EQ(origins().first(), QPointF(10, 20)); // not moved
    EXPECT_EQ(controller->calls, QStringList({"remove sheet", "scan", "columns for mode 1",
                                              "label controls", "zoom to fit"}));
    EXPECT_TRUE(controller->zoomToFitOnModeChange());
    EXPECT_FALSE(document->undoManager()->canUndo());
}

TEST_F(LayoutsTest, UntitledTemplatesTakeTheChosenLayoutUnderTheirOwnKind)
{
    struct Case
    {
        const char* name;
        qint64 stored;
        qint64 applied;
    };
    // Letterhead numbers 11-15 are horizontal whatever the template says.
    const Case cases[] = {
        {"Letterhead #013.quarnpg", 8, 7},
        {"Letterhead #015.quarnpg", 8, 7},
        {"Letterhead #016.quarnpg", 8, 8},
        {"Letterhead #013.quarnpg", 2, 2},
        {"Card.quarnlb", 1, 1},
    };
    QVariantMap chosen = sheet(1);
    chosen.insert(Info::paperCode, "5160");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = writeTemplate(c.name, sheet(c.stored));
        EXPECT_EQ(controller->chooseLayout(path, chosen, true, QPointF(), 0), c.applied);
        EXPECT_EQ(Info::integer(layout(), Info::labelType), c.applied);
        EXPECT_EQ(Info::text(layout(), Info::paperCode), "5160");
        EXPECT_TRUE(document->fileName().isNull()); // untitled
        EXPECT_EQ(document->fileType(),
                  QString(c.name).endsWith("quarnpg") ? "Veltrin Page" : "Veltrin Label");
        EXPECT_FALSE(document->undoManager()->canUndo());
    }

    // Without a chosen layout the template's own stands.
    const QString path = writeTemplate("Plain.quarnlb", sheet(4));
    EXPECT_EQ(controller->chooseLayout(path, std::nullopt, true, QPointF(), 0), 0);
    EXPECT_EQ(Info::integer(layout(), Info::labelType), 4);
}

TEST_F(LayoutsTest, UntitledTemplatesMoveTheirDesignByTheDelta)
{
    const QString path = writeTemplate("Card.quarnlb", sheet(1));
    controller->chooseLayout(path, std::nullopt, true, QPointF(), 0);
    const QList<QPointF> template_ = origins();
    ASSERT_EQ(template_.size(), 4); // two graphics on each of two pages

    controller->chooseLayout(path, std::nullopt, true, QPointF(10, -5), 0);
    QList<QPointF> moved;
    for (const QPointF& origin : template_)
        moved.append(origin + QPointF(10, -5));
    EXPECT_EQ(origins(), moved);
    EXPECT_FALSE(document->undoManager()->canUndo());

    // Moving is outside undo.
    controller->offsetGraphicsByDelta(QPointF(1, 1));
    EXPECT_FALSE(document->undoManager()->canUndo());
}

TEST_F(LayoutsTest, EveryLabelShowsTheDesignUnlessItHasContactFields)
{
    struct Case
    {
        const char* what;
        qint64 labelType;
        bool delivery, other;
        qint64 repeatCount;
    };
    const Case cases[] = {
        {"labels without fields", 1, false, false, 10},
        {"rounded labels without fields", 4, false, false, 10},
        {"envelope", 5, false, false, 1},
        {"labels with an address", 1, true, false, 1},
        {"labels with another field", 1, false, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        document->setLabelRepeatCount(1);
        controller->findsDeliveryAddress = c.delivery;
        controller->findsOtherField = c.other;
        const QString path = writeTemplate("Card.quarnlb", sheet(c.labelType));
        controller->chooseLayout(path, std::nullopt, true, QPointF(), 0);
        EXPECT_EQ(document->labelRepeatCount(), c.repeatCount);
    }
}

TEST_F(LayoutsTest, SmartTemplateHelpComesLastUnlessSwitchedOff)
{
    const QString path = writeTemplate("Smart.quarnlb", sheet(1));
    controller->smartTemplate = true;
    controller->switchToDesignMode(nullptr);
    controller->calls.clear();
    controller->chooseLayout(path, std::nullopt, true, QPointF(), 0);
    EXPECT_EQ(controller->calls, QStringList({"smart template?", "remove sheet", "scan",
                                              "columns for mode 2", "zoom to fit", "help"}));

    platform::UserDefaults::standardUserDefaults().setBool(true, "DisableSmartTemplateHelp");
    controller->calls.clear();
    controller->chooseLayout(path, std::nullopt, true, QPointF(), 0);
    EXPECT_FALSE(controller->calls.contains("help"));
    EXPECT_FALSE(controller->calls.contains("smart template?"));
    platform::UserDefaults::standardUserDefaults().setBool(false, "DisableSmartTemplateHelp");
}

TEST_F(LayoutsTest, ATemplateThatCannotBeReadChangesNothing)
{
    QStringList alerts;
    platform::Alert::setResponder([&](const platform::Alert& alert, QWidget*) {
        alerts.append(alert.messageText);
        return platform::Alert::Response();
    });
    fill(1, {"a", "b"});
    layout()[Info::paperCode] = "mine";
    const QString before = snapshot();
    for (const QString& path : {_templates.filePath("Missing.quarnlb"),
                                QString(writeTemplate("Broken.quarnlb", sheet(1)))}) {
        if (path.endsWith("Broken.quarnlb")) {
            QFile file(path + "/Contents.quarnd");
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("{ GraphicsList = (");
        }
        controller->calls.clear();
        EXPECT_EQ(controller->chooseLayout(path, sheet(2), true, QPointF(10, 10), 0), 0);
        EXPECT_EQ(snapshot(), before);
        EXPECT_EQ(Info::text(layout(), Info::paperCode), "mine");
        EXPECT_TRUE(controller->calls.isEmpty());
    }
    EXPECT_EQ(alerts,
              QStringList({"The document \u201cMissing.quarnlb\u201d could not be opened.",
                           "The document \u201cBroken.quarnlb\u201d could not be opened."}));
    platform::Alert::setResponder(nullptr);
}

TEST_F(LayoutsTest, ALandscapePlainSheetBecomesItsVerticalKindAndBack)
{
    // A plain type-1 sheet: landscape re-applies it as type 2, turned; portrait turns it
    // back to type 1.
    layout() = sheet(1);
    document->ourSetPrintInfo(platform::PrintInfo());
    struct Case
    {
        Orientation orientation;
        qint64 labelType;
        QSizeF page, label;
        qint64 rows, columns;
    };
    for (const Case& c : {Case{Orientation::Landscape, 2, {792, 612}, {144, 252}, 2, 5},
                          Case{Orientation::Portrait, 1, {612, 792}, {252, 144}, 5, 2}}) {
        leaveAnUndoStep();
        platform::PrintInfo info = document->printInfo();
        info.setOrientation(c.orientation);
        document->setPrintInfo(info);
        EXPECT_EQ(Info::integer(layout(), Info::labelType), c.labelType);
        EXPECT_EQ(document->printInfo().orientation(), c.orientation);
        EXPECT_EQ(
            QSizeF(Info::real(layout(), Info::pageWidth), Info::real(layout(), Info::pageHeight)),
            c.page);
        EXPECT_EQ(
            QSizeF(Info::real(layout(), Info::labelWidth), Info::real(layout(), Info::labelHeight)),
            c.label);
        EXPECT_EQ(Info::integer(layout(), Info::numRows), c.rows);
        EXPECT_EQ(Info::integer(layout(), Info::numColumns), c.columns);
        EXPECT_FALSE(document->undoManager()->canUndo());
    }
}
