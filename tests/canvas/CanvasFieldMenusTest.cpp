// The merge-field menus of the canvas, built without showing them: the date positions, the
// identity, date and phone menus and what a choice stores, the address-block menu at a
// box's tab and what its choice does to the box.

#include "CanvasTestSupport.h"
#include "TestFont.h"

#include "platform/core/Range.h"
#include "platform/core/TextForms.h"
#include "platform/text/AttributedString.h"

#include <QAction>
#include <QFontMetricsF>
#include <QMenu>
#include <QSet>

using platform::AttributedString;
using platform::Range;

namespace {

// A host whose merge-field formats answer in a way the titles show.
class FormattingHost : public TestHost
{
public:
    QString dateStringForDate(const QDateTime&, qint64 formatIndex) const override
    {
        return QStringLiteral("D%1").arg(formatIndex);
    }
    QString phoneFormatStringAtIndex(qint64 index) const override
    {
        return index <= 13 ? QStringLiteral("P%1").arg(index) : QString();
    }
    std::optional<AttributedString> preformattedAddressStringForFieldStr(const QString& fieldStr,
                                                                         bool isMyField) override
    {
        asked = fieldStr;
        askedMine = isMyField;
        if (!block)
            return std::nullopt;
        return block;
    }
    void customizeCounterField(const QVariantMap& rolloverEntry, LBTextArea* inTextObject) override
    {
        counterEntry = rolloverEntry;
        counterBox = inTextObject;
    }
    std::optional<AttributedString> block;
    QVariantMap counterEntry;
    LBTextArea* counterBox = nullptr;
    QString asked;
    bool askedMine = false;
};

QVariantMap fieldOf(const LBTextArea& box, qsizetype index)
{
    return box.contents()->attributedString().attribute(LBQFieldAttributeName, index).toMap();
}

} // namespace

class CanvasFieldMenus : public CanvasTest
{
protected:
    CanvasFieldMenus()
    {
        LBGraphicView::setShowsTextPopupMenus(false);
        formatting = new FormattingHost;
        formatting->doc = document.get();
        formatting->canvas = canvas;
        document->addWindowController(formatting);
        canvas->setWindowController(formatting);
    }
    ~CanvasFieldMenus() override { LBGraphicView::setShowsTextPopupMenus(true); }

    // A box "To " + a field "FIELD" (characters 3 to 7) + " end".
    std::shared_ptr<LBTextArea> boxWithField(const QVariantMap& field,
                                             const QRectF& bounds = QRectF(100, 100, 300, 60))
    {
        auto box = addTextBox(bounds, QStringLiteral("To FIELD end"));
        box->contents()->addAttribute(LBQFieldAttributeName, field, Range(3, 5));
        return box;
    }
    // Opens the box's first field menu as a click on the field does.
    QMenu* openFieldMenu(const std::shared_ptr<LBTextArea>& box)
    {
        const QVariantMap entry = box->fieldRolloverArray()->value(0);
        canvas->setFieldMenuTarget(box, entry);
        canvas->displayFieldMenuAtPoint(QPointF(100, 100),
                                        entry.value(QStringLiteral("LBFieldDictionary"))
                                            .toMap()
                                            .value(QStringLiteral("LBPropertyName"))
                                            .toString());
        return canvas->fieldMenuButton();
    }
    static QList<qsizetype> checkedPositions(QMenu* menu)
    {
        QList<qsizetype> positions;
        const QList<QAction*> actions = menu->actions();
        for (qsizetype i = 0; i < actions.size(); ++i) {
            if (actions.at(i)->isChecked())
                positions.append(i);
        }
        return positions;
    }
    static void choose(QMenu* menu, qsizetype position) { menu->actions().at(position)->trigger(); }
    // The middle of the box's field run, in canvas points.
    static QPointF fieldPoint(const LBTextArea& box)
    {
        const QVariantMap entry = box.fieldRolloverArray()->value(0);
        const QRectF rect =
            platform::rectFromString(
                entry.value(QStringLiteral("LBRolloverRectArray")).toList().value(0).toString())
                .translated(box.bounds().topLeft());
        return rect.center();
    }

    FormattingHost* formatting = nullptr; // owned by the document
};

TEST(CanvasDateMenu, PositionsAndFormatIndexesMapBothWays)
{
    const std::pair<qint64, qint64> pairs[] = {
        {0, 0}, {1, 23}, {6, 1}, {7, 28}, {8, 2}, {26, 20}, {27, 21}, {28, 22},
    };
    for (const auto& [position, format] : pairs) {
        EXPECT_EQ(LBGraphicView::dateFormatIndexForMenuIndex(position), format) << position;
        EXPECT_EQ(LBGraphicView::menuIndexForDateFormatIndex(format), position) << format;
    }
    QSet<qint64> formats;
    for (qint64 position = 0; position <= 28; ++position) {
        const qint64 format = LBGraphicView::dateFormatIndexForMenuIndex(position);
        formats.insert(format);
        EXPECT_EQ(LBGraphicView::menuIndexForDateFormatIndex(format), position);
    }
    EXPECT_EQ(formats.size(), 29); // every format once
}

TEST_F(CanvasFieldMenus, ADateFieldOpensAtItsFormatAndStoresTheChosenOne)
{
    auto box = boxWithField({{QStringLiteral("LBPropertyName"), QStringLiteral("Date")},
                             {QStringLiteral("LBDateFormatIndex"), 1}});
    QMenu* menu = openFieldMenu(box);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 29);
    EXPECT_EQ(checkedPositions(menu), QList<qsizetype>({6}));
    EXPECT_EQ(menu->actions().at(6)->text(), QStringLiteral("D1 (short system date)"));
    EXPECT_EQ(menu->actions().at(8)->text(), QStringLiteral("D2"));
    EXPECT_EQ(menu->actions().at(28)->text(), QStringLiteral("D22 (day/year)"));

    choose(menu, 1);
    EXPECT_EQ(platform::intValue(fieldOf(*box, 3).value(QStringLiteral("LBDateFormatIndex"))), 23);
    EXPECT_EQ(box->fieldsOverlappingRange(Range(0, 12)), QList<Range>({Range(3, 5)}));
    EXPECT_EQ(canvas->targetTextObject(), nullptr); // the menu let go of its field

    // Format 20 opens at position 26.
    auto other =
        boxWithField({{QStringLiteral("LBDateFormatIndex"), 20}}, QRectF(100, 300, 300, 60));
    menu = openFieldMenu(other);
    ASSERT_TRUE(menu);
    EXPECT_EQ(checkedPositions(menu), QList<qsizetype>({26}));
}

TEST_F(CanvasFieldMenus, IdentityMenusPlaceTheirPhoneFormatsAfterASeparator)
{
    const QString phone = QStringLiteral("kLBQIdentityPhoneProperty");
    auto box = boxWithField(
        {{QStringLiteral("LBPropertyName"), phone}, {QStringLiteral("LBIdentityFieldIndex"), 2}});
    QMenu* menu = openFieldMenu(box);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 25);
    EXPECT_TRUE(menu->actions().at(10)->isSeparator());
    EXPECT_EQ(menu->actions().at(3)->text(), QStringLiteral("Work"));
    EXPECT_EQ(menu->actions().at(11)->text(), QStringLiteral("P0"));
    EXPECT_EQ(checkedPositions(menu), QList<qsizetype>({2, 11})); // identity 2, phone 0
    choose(menu, 15);
    QVariantMap field = fieldOf(*box, 3);
    EXPECT_EQ(platform::intValue(field.value(QStringLiteral("LBPhoneFormatIndex"))), 4);
    EXPECT_EQ(platform::intValue(field.value(QStringLiteral("LBIdentityFieldIndex"))), 2);

    auto fax = boxWithField(
        {{QStringLiteral("LBPropertyName"), QStringLiteral("kLBQIdentityFaxPhoneProperty")},
         {QStringLiteral("LBIdentityFieldIndex"), 0},
         {QStringLiteral("LBPhoneFormatIndex"), 1}},
        QRectF(100, 300, 300, 60));
    menu = openFieldMenu(fax);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 18);
    EXPECT_TRUE(menu->actions().at(3)->isSeparator());
    EXPECT_EQ(checkedPositions(menu), QList<qsizetype>({0, 5}));
    EXPECT_EQ(menu->actions().at(2)->text(), QStringLiteral("Work"));
    choose(menu, 2);
    field = fieldOf(*fax, 3);
    EXPECT_EQ(platform::intValue(field.value(QStringLiteral("LBIdentityFieldIndex"))), 2);
    EXPECT_EQ(platform::intValue(field.value(QStringLiteral("LBPhoneFormatIndex"))), 1);

    // Another identity property gets no menu.
    auto other = boxWithField({{QStringLiteral("LBPropertyName"), QStringLiteral("Birthday")},
                               {QStringLiteral("LBIdentityFieldIndex"), 0}},
                              QRectF(100, 500, 300, 60));
    EXPECT_EQ(openFieldMenu(other), nullptr);
}

TEST_F(CanvasFieldMenus, AStaleFieldEntryChangesNothing)
{
    auto box = boxWithField({{QStringLiteral("LBTimeFormatIndex"), 0}});
    QMenu* menu = openFieldMenu(box);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->actions().size(), 5);
    // The text changed under the menu: the field is gone from its range.
    box->setContents(QStringLiteral("short"));
    const QString before = box->contents()->string();
    choose(menu, 3);
    EXPECT_EQ(box->contents()->string(), before);
    EXPECT_FALSE(box->containsFields());

    // The field still there but re-formatted elsewhere meanwhile.
    auto other =
        boxWithField({{QStringLiteral("LBPhoneFormatIndex"), 0}}, QRectF(100, 300, 300, 60));
    menu = openFieldMenu(other);
    ASSERT_TRUE(menu);
    other->contents()->addAttribute(
        LBQFieldAttributeName, QVariantMap{{QStringLiteral("LBPhoneFormatIndex"), 7}}, Range(3, 5));
    choose(menu, 2);
    EXPECT_EQ(platform::intValue(fieldOf(*other, 3).value(QStringLiteral("LBPhoneFormatIndex"))),
              7);
}

TEST_F(CanvasFieldMenus, AClickOnAFieldRunOpensItsMenuAndStartsNoMove)
{
    auto box = boxWithField({{QStringLiteral("LBPhoneFormatIndex"), 3}});
    const QPointF point = fieldPoint(*box);
    click(point);
    QMenu* menu = canvas->fieldMenuButton();
    ASSERT_TRUE(menu);
    EXPECT_EQ(canvas->targetTextObject(), box.get());
    EXPECT_EQ(checkedPositions(menu), QList<qsizetype>({3}));
    EXPECT_EQ(box->bounds(), QRectF(100, 100, 300, 60));

    // Hiding it lets go of it on the next pass of the event loop, unless a menu opened
    // meanwhile has taken its place.
    QMetaObject::invokeMethod(menu, "aboutToHide");
    click(point);
    QMenu* next = canvas->fieldMenuButton();
    ASSERT_TRUE(next);
    EXPECT_NE(next, menu);
    QCoreApplication::processEvents();
    EXPECT_EQ(canvas->fieldMenuButton(), next);
    EXPECT_EQ(canvas->targetTextObject(), box.get());
    QMetaObject::invokeMethod(next, "aboutToHide");
    QCoreApplication::processEvents();
    EXPECT_EQ(canvas->fieldMenuButton(), nullptr);
    canvas->removeTextPopupButton(); // twice is harmless

    // A counter field opens the counter sheet instead.
    auto counter =
        boxWithField({{QStringLiteral("IncludeZeros"), true}}, QRectF(100, 300, 300, 60));
    click(fieldPoint(*counter));
    EXPECT_EQ(canvas->fieldMenuButton(), nullptr);
    EXPECT_EQ(formatting->counterBox, counter.get());
    EXPECT_EQ(formatting->counterEntry.value(QStringLiteral("LBFieldRange")).toString(),
              QStringLiteral("{3, 5}"));
}

TEST_F(CanvasFieldMenus, TheAddressTabOpensTheBlocksOfItsKind)
{
    auto box = addTextBox(QRectF(100, 200, 200, 30), QStringLiteral("Jo"));
    box->setTextBoxType(LBTextArea::DeliveryAddressBox);
    auto second = add(QStringLiteral("other"), QRectF(400, 400, 50, 50));
    const QRectF tab = box->textTabBounds();
    ASSERT_FALSE(tab.isEmpty());

    // Two selected: the tab takes no click.
    canvas->selectGraphic(box);
    canvas->selectGraphic(second);
    EXPECT_FALSE(canvas->textTabUnderPoint(tab.center()));
    EXPECT_EQ(canvas->textTypeMenuButton(), nullptr);

    canvas->clearSelection();
    canvas->selectGraphic(box);
    click(tab.center());
    QMenu* menu = canvas->textTypeMenuButton();
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 12);
    EXPECT_TRUE(menu->actions().at(8)->isSeparator());
    EXPECT_EQ(menu->actions().at(3)->text(), QStringLiteral("Name+Company"));
    EXPECT_TRUE(checkedPositions(menu).isEmpty());
    EXPECT_EQ(canvas->selectedGraphics(true).size(), 1);

    // Until the merge subsystem answers, a choice changes nothing.
    choose(menu, 3);
    EXPECT_EQ(formatting->asked, QStringLiteral("Name+Company"));
    EXPECT_FALSE(formatting->askedMine);
    EXPECT_EQ(box->contents()->string(), QStringLiteral("Jo"));
    EXPECT_EQ(canvas->textTypeMenuButton(), nullptr);

    // A return box offers its own titles.
    box->setTextBoxType(LBTextArea::ReturnAddressBox);
    ASSERT_TRUE(canvas->textTabUnderPoint(tab.center()));
    EXPECT_EQ(canvas->textTypeMenuButton()->actions().at(0)->text(), QStringLiteral("MyName"));
    canvas->removeTextPopupButton();
}

TEST_F(CanvasFieldMenus, AnAddressBlockReplacesTheTextAndGrowsOnlyALowBox)
{
    QFont font = testFont();
    font.setPointSizeF(20.0);
    AttributedString block(QStringLiteral("Name\nStreet\nTown"));
    block.addAttribute(LBQFieldAttributeName, QVariantMap{{QStringLiteral("Key"), 1}}, Range(0, 4));
    formatting->block = block;
    struct Case
    {
        const char* name;
        double height;
        bool grows;
    };
    const Case cases[] = {{"low", 30.0, true}, {"high enough", 400.0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto box = addTextBox(QRectF(100, 200, 200, c.height), QStringLiteral("Jo"));
        box->contents()->addAttribute(platform::FontAttributeName, font, Range(0, 2));
        box->setTextBoxType(LBTextArea::DeliveryAddressBox);
        canvas->clearSelection();
        canvas->selectGraphic(box);
        ASSERT_TRUE(canvas->textTabUnderPoint(box->textTabBounds().center()));
        choose(canvas->textTypeMenuButton(), 3);
        EXPECT_EQ(box->contents()->string(), QStringLiteral("Name\nStreet\nTown"));
        EXPECT_EQ(box->contents()->attributedString().attribute(platform::FontAttributeName, 7),
                  QVariant(font));
        EXPECT_TRUE(box->containsFields());
        AttributedString styled = block;
        styled.addAttribute(platform::FontAttributeName, font, Range(0, block.length()));
        const double required = 3 * QFontMetricsF(font).lineSpacing() + styled.size().height();
        const QRectF bounds = box->bounds();
        EXPECT_EQ(bounds.topLeft(), QPointF(100, 200));
        EXPECT_EQ(bounds.width(), 200.0);
        EXPECT_DOUBLE_EQ(bounds.height(), c.grows ? required : c.height);
        // The old text comes back with undo.
        closeStep();
        undo()->undo();
        EXPECT_EQ(box->contents()->string(), QStringLiteral("Jo"));
    }
}

TEST_F(CanvasFieldMenus, ATurnedBoxsTabHitsWhereItIsDrawn)
{
    auto box = addTextBox(QRectF(200, 200, 200, 100), QStringLiteral("Jo"));
    box->setTextBoxType(LBTextArea::ReturnAddressBox);
    canvas->selectGraphic(box);
    const QRectF tab = box->textTabBounds();
    box->setRotation(180.0);
    // Turned half round the box's centre, the tab hangs below the box.
    const QPointF center = box->bounds().center();
    const QPointF turned = 2 * center - tab.center();
    EXPECT_FALSE(tab.contains(turned));
    EXPECT_TRUE(canvas->textTabUnderPoint(turned));
    canvas->removeTextPopupButton();
    EXPECT_FALSE(canvas->textTabUnderPoint(QPointF(center.x(), tab.top() - 30.0)));
}
