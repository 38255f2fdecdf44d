// The merged text of a label cell: fields replaced by the record's values, case from the
// shown name, bracket groups, repeat blocks, blank lines, pictures, and fitting.

#include "MergeFieldsSupport.h"

#include "graphics/LBTextArea.h"
#include "platform/core/NotificationCenter.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"

#include <QBuffer>

namespace {

const QVariantMap fontAttributes{
    {platform::FontAttributeName, QFont(QStringLiteral("DejaVu Sans"), 12)}};

// Text of parts: "{Name}" is a merge-field run of that name, anything else plain text.
platform::AttributedString fields(const QStringList& parts)
{
    platform::AttributedString text;
    for (const QString& part : parts) {
        QVariantMap attributes = fontAttributes;
        QString run = part;
        if (part.size() > 2 && part.startsWith(QLatin1Char('{'))
            && part.endsWith(QLatin1Char('}'))) {
            run = part.mid(1, part.size() - 2);
            attributes.insert(LBQFieldAttributeName,
                              LBMergeServices::fieldAttributeForFieldString(run));
        }
        text.appendAttributedString(platform::AttributedString(run, attributes));
    }
    return text;
}

double widthOf(const QString& text)
{
    return platform::AttributedString(text, fontAttributes).size().width();
}

} // namespace

class MergedTextTest : public MergeFieldsTest
{
protected:
    MergedTextTest()
    {
        services->setSelectedPeople(
            addCards(card(QStringLiteral("UID:ann\nN:McDonald;Ann\nORG:Acme\nADR;TYPE=home:;;1 Elm "
                                         "St;Springfield;IL;62701;"))
                     + card(QStringLiteral("UID:bo\nN:Lee;Bo\nADR:;;2 Oak St;Dover;DE;19901;"))
                     + card(QStringLiteral("UID:cy\nN:Cole;Cy"))));
        view =
            std::make_unique<LBRenderingView>(QRectF(0, 0, 600, 400), document->documentGraphics());
        view->setContactServer(controller);
        view->setContactIndex(0);
        view->setCounter(0);
        defaults().setBool(false, QStringLiteral("Auto Delete Blank Lines"));
    }
    ~MergedTextTest() override
    {
        defaults().removeObjectForKey(QStringLiteral("Auto Delete Blank Lines"));
    }

    std::shared_ptr<LBTextArea> box(const platform::AttributedString& text, double width = 400,
                                    quint64 mask = 0)
    {
        auto area = std::make_shared<LBTextArea>();
        area->setBoundsNoOtherChanges(QRectF(50, 20, width, 100));
        area->setContents(text);
        area->setTextResizeMask(mask);
        return area;
    }
    // The text of what the cell draws for record i.
    QString merged(const std::shared_ptr<LBTextArea>& area, qint64 record = 0)
    {
        view->setContactIndex(record);
        const LBGraphicPtr drawn = view->textObjectForDrawing(area);
        return static_cast<LBTextArea&>(*drawn).contents()->string();
    }

    std::unique_ptr<LBRenderingView> view;
};

TEST_F(MergedTextTest, FieldsTakeTheRecordsValuesInTheCaseOfTheirNames)
{
    struct Case
    {
        QStringList parts;
        qint64 record;
        const char* text;
    } cases[] = {
        {{"Dear ", "{First Name}", "!"}, 0, "Dear Ann!"},
        {{"{LAST NAME}"}, 0, "MCDONALD"},
        {{"{last name}"}, 0, "mcdonald"},
        {{"{Last Name}"}, 0, "McDonald"},
        {{"{First Name}", " ", "{Company}", "|"}, 1, "Bo |"},
        {{"{Address(1-line)}"}, 1, "2 Oak St Dover DE 19901"},
        {{"{Nothing Known}"}, 0, "Nothing Known"},
        {{"{First Name}"}, -1, "First Name"}, // no record: the names show
    };
    for (const Case& c : cases)
        EXPECT_EQ(merged(box(fields(c.parts)), c.record), QString::fromLatin1(c.text))
            << c.parts.join(QLatin1Char('+')).toStdString();
}

TEST_F(MergedTextTest, TextThatResolvesToItselfDrawsTheSource)
{
    const auto plain = box(fields({"no fields here"}));
    view->setContactIndex(0);
    EXPECT_EQ(view->textObjectForDrawing(plain), plain);
    const auto withField = box(fields({"{First Name}"}));
    const LBGraphicPtr drawn = view->textObjectForDrawing(withField);
    EXPECT_NE(drawn, withField);
    EXPECT_EQ(withField->contents()->string(), QStringLiteral("First Name")); // the design stays
}

TEST_F(MergedTextTest, BracketGroupsGoWhenNothingInsideHasAValue)
{
    const QStringList parts{"{[}", "{Company}", " ", "{]}", "{Street}"};
    EXPECT_EQ(merged(box(fields(parts)), 0), QStringLiteral("Acme 1 Elm St"));
    EXPECT_EQ(merged(box(fields(parts)), 1), QStringLiteral("2 Oak St"));
    // The spouse block of the address blocks.
    EXPECT_EQ(merged(box(fields({"{First Name}", " ", "{[}", "and ", "{Spouse}", " ", "{]}",
                                 "{Last Name}"})),
                     2),
              QStringLiteral("Cy Cole"));
}

TEST_F(MergedTextTest, RepeatBlocksRepeatForEachSelectedPerson)
{
    const auto area =
        box(fields({"To: ", "{Repeat Start}", "{First Name}", ", ", "{Repeat Stop}", "end"}));
    EXPECT_EQ(merged(area, 0), QStringLiteral("To: Ann, Bo, Cy, end"));
}

TEST_F(MergedTextTest, BlankLinesOfEmptyFields)
{
    const QStringList parts{"{First Name}", "\r", "{Company}", "\r", "{City}"};
    EXPECT_EQ(merged(box(fields(parts)), 1), QStringLiteral("Bo\r\rDover"));
    defaults().setBool(true, QStringLiteral("Auto Delete Blank Lines"));
    EXPECT_EQ(merged(box(fields(parts)), 1), QStringLiteral("Bo\rDover"));
    EXPECT_EQ(merged(box(fields({"{Company}", "\r", "{City}"})), 1), QStringLiteral("Dover"));
    EXPECT_EQ(merged(box(fields({"{City}", "\r", "{Company}"})), 1), QStringLiteral("Dover"));
    EXPECT_EQ(merged(box(fields({"{Company}", " ", "{City}"})), 1), QStringLiteral("Dover"));
}

TEST_F(MergedTextTest, PicturesBecomeAttachments)
{
    const QByteArray png = redPNG(4, 4);
    auto person = std::make_shared<platform::ContactPerson>();
    person->setValue(platform::ContactFirstNameProperty, QStringLiteral("Pic"));
    person->setImageData(png);
    store.addPerson(person);
    services->setSelectedPeople({person});
    const auto area = box(fields({"A", "{Picture}", "B"}));
    view->setContactIndex(0);
    const LBGraphicPtr drawn = view->textObjectForDrawing(area);
    const platform::AttributedString text =
        static_cast<LBTextArea&>(*drawn).contents()->attributedString();
    ASSERT_EQ(text.string(),
              QStringLiteral("A") + platform::AttachmentCharacter + QStringLiteral("B"));
    const auto image =
        text.attribute(platform::AttachmentAttributeName, 1).value<platform::ImagePtr>();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelsWide(), 4);
    // Without a picture the run goes.
    services->setSelectedPeople(addCards(card(QStringLiteral("N:No;Picture"))));
    EXPECT_EQ(merged(area, 0), QStringLiteral("AB"));
}

TEST_F(MergedTextTest, SendersFieldsAreTheOwnCards)
{
    addCards(card(
        QStringLiteral("UID:me\nN:Self;Sue\nADR;TYPE=work:;;9 Work Rd;Springfield;IL;62702;")));
    defaults().setObject(QStringLiteral("me"), QStringLiteral("My Person ID"));
    EXPECT_EQ(merged(box(fields({"{My First Name}", " to ", "{First Name}"})), 1),
              QStringLiteral("Sue to Bo"));
    QVariantMap identity =
        LBMergeServices::fieldAttributeForFieldString(QStringLiteral("Sender Address (1-line)"));
    identity[QStringLiteral("LBIdentityFieldIndex")] = 4; // the work address
    platform::AttributedString text(QStringLiteral("Sender Address (1-line)"), fontAttributes);
    text.addAttribute(LBQFieldAttributeName, identity, platform::Range(0, text.length()));
    EXPECT_EQ(merged(box(text), 0), QStringLiteral("9 Work Rd Springfield IL 62702"));
}

TEST_F(MergedTextTest, FittingGrowsAndExpandsByTheMask)
{
    const double w = widthOf(QStringLiteral("Ann"));
    const auto fitted = [&](double boxWidth, quint64 mask) {
        const auto area = box(fields({"{First Name}"}), boxWidth, mask);
        view->setContactIndex(0);
        return std::static_pointer_cast<LBTextArea>(view->textObjectForDrawing(area));
    };
    const auto firstFont = [](const LBTextArea& area) {
        return area.contents()
            ->attributedString()
            .attribute(platform::FontAttributeName, 0)
            .value<QFont>();
    };
    // Room of 12 points is not enough to expand, 20 is.
    EXPECT_DOUBLE_EQ(firstFont(*fitted(w + 12, LBTextArea::IncreaseFont)).pointSizeF(), 12.0);
    const auto expanded = fitted(w + 40, LBTextArea::IncreaseFont);
    EXPECT_GT(firstFont(*expanded).pointSizeF(), 12.0);
    EXPECT_LE(expanded->contents()->attributedString().size().width() + 15, w + 40 + 0.5);
    // Both sides: the box grows around its centre to the line's width + 10.
    const auto grown = fitted(w - 10, LBTextArea::ResizeLeftSide | LBTextArea::ResizeRightSide);
    EXPECT_NEAR(grown->bounds().width(), w + 10, 0.01);
    EXPECT_NEAR(grown->bounds().center().x(), 50 + (w - 10) / 2, 0.01);
    const auto keptRight = fitted(w - 10, LBTextArea::ResizeLeftSide);
    EXPECT_NEAR(keptRight->bounds().right(), 50 + w - 10, 0.01);
    // Shrinking fits the line inside the box.
    const auto shrunk = fitted(w - 5, LBTextArea::ReduceFont);
    EXPECT_LT(shrunk->contents()->attributedString().size().width() + 10, w - 5 + 0.01);
}

TEST_F(MergedTextTest, FittingEndsWhenScalingChangesNothing)
{
    // A line of a picture alone does not widen with its font: the loop stops.
    auto person = std::make_shared<platform::ContactPerson>();
    const QByteArray png = redPNG(40, 10);
    person->setImageData(png);
    store.addPerson(person);
    services->setSelectedPeople({person});
    const auto area = box(fields({"{Picture}"}), 300, LBTextArea::IncreaseFont);
    view->setContactIndex(0);
    EXPECT_TRUE(view->textObjectForDrawing(area));
}

TEST_F(MergedTextTest, FittingFactorsAreKeptPerRecord)
{
    const double w = widthOf(QStringLiteral("McDonald"));
    const auto area = box(fields({"{Last Name}"}), w - 5, LBTextArea::ReduceFont);
    view->setCachedTextAdjustments(true);
    view->setBuildMultiplierArrays(true);
    view->setContactIndex(0);
    view->textObjectForDrawing(area);
    ASSERT_EQ(area->shrinkMultipliers().value(0).size(), 1);
    EXPECT_LT(area->shrinkMultipliers().value(0).first(), 1.0);
    EXPECT_FALSE(area->shrinkMultipliers().contains(1));
    view->setBuildMultiplierArrays(false);
    // A cached record applies its factor; a record not cached is measured, not given
    // record 0's factor.
    const auto cached = std::static_pointer_cast<LBTextArea>(view->textObjectForDrawing(area));
    EXPECT_LT(cached->contents()->attributedString().size().width() + 10, w - 5 + 0.01);
    view->setContactIndex(1); // "Lee" fits as it is
    const auto measured = std::static_pointer_cast<LBTextArea>(view->textObjectForDrawing(area));
    EXPECT_DOUBLE_EQ(measured->contents()
                         ->attributedString()
                         .attribute(platform::FontAttributeName, 0)
                         .value<QFont>()
                         .pointSizeF(),
                     12.0);
}

TEST_F(MergedTextTest, FindsFieldsByPropertyName)
{
    const platform::AttributedString text = fields({"Hi ", "{First Name}", " ", "{Last Name}"});
    const platform::Range r = view->findFieldWithName(QStringLiteral("Last"), &text);
    EXPECT_EQ(r.location, 14);
    EXPECT_EQ(r.length, 9);
    EXPECT_EQ(view->findFieldWithName(QStringLiteral("Nope"), &text).length, 0);
    EXPECT_EQ(view->findFieldWithName(QStringLiteral("Last"), nullptr).length, 0);
    const auto lines = LBRenderingView::breakStringIntoLines(fields({"a\rb\nc"}));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.at(0).string(), QStringLiteral("a\r"));
    EXPECT_EQ(LBRenderingView::joinLinesIntoString(lines).string(), QStringLiteral("a\rb\nc"));
    EXPECT_TRUE(LBRenderingView::breakStringIntoLines({}).isEmpty());
}

// A printed sheet draws each label's text through one copy of the box given the label's
// text when it can; what it draws must be what the general path draws, record by record:
// empty fields and their blank lines, text that is not ASCII, the case of a name, fields
// the light path leaves to the general one (bracket groups), and no text at all.
TEST_F(MergedTextTest, ASheetDrawsTheSameTextsThroughOneCopyAsThroughACopyPerLabel)
{
    defaults().setBool(true, QStringLiteral("Auto Delete Blank Lines"));
    // Name, two address lines, city, state, zip.
    const QStringList records{
        "Ann Example",
        "1 Market Street",
        "Suite 100",
        "Springfield",
        "IL",
        "62701", //
        "Zoë Ångström",
        "2 Market Street",
        "",
        "Fairview, North",
        "OR",
        "97024", //
        "Jiří Dvořák",
        "",
        "",
        "Madison",
        "WI",
        "53703", //
        "",
        "4 Market Street",
        "",
        "Dover",
        "DE",
        "19901", //
        "Łukasz Wójcik",
        "5 Market Street",
        "Floor 2",
        "",
        "",
        "", //
        "",
        "",
        "",
        "",
        "",
        "", //
    };
    document->setImportTextArray(records, 6);
    QVariantMap& info = layout();
    info[DimensionInfo::documentType] = 1;
    info[DimensionInfo::numRows] = 3;
    info[DimensionInfo::numColumns] = 2;
    info[DimensionInfo::labelWidth] = 200;
    info[DimensionInfo::labelHeight] = 110;
    // Cells off whole points, where a moved painter and a moved box could round apart.
    info[DimensionInfo::topMargin] = 10.25;
    info[DimensionInfo::leftMargin] = 10.5;
    info[DimensionInfo::hLabelSpace] = 5;
    info[DimensionInfo::vLabelSpace] = 5;
    info[DimensionInfo::startLabel] = 1;
    info[DimensionInfo::labelDirection] = 1;
    info[DimensionInfo::pageWidth] = 425;
    info[DimensionInfo::pageHeight] = 360;

    const QStringList address{"{Import 1}", "\n", "{Import 2}", "\n", "{Import 3}", "\n",
                              "{Import 4}", ", ", "{Import 5}", " ",  "{Import 6}"};
    const QStringList bracketGroup{"{[}",        "{Import 3}", " ",         "{]}",
                                   "{Import 1}", "\n",         "{Import 4}"};
    const struct
    {
        QStringList parts;
        bool stroked;
    } designs[] = {
        {address, false},
        {address, true},
        {{"To ", "{IMPORT 1}", " at ", "{import 4}", "\n", "{Import 3}", " ", "{Import 6}"}, false},
        {bracketGroup, false},
    };
    for (const auto& [design, stroked] : designs) {
        SCOPED_TRACE(design.join(QLatin1Char('+')).toStdString() + (stroked ? " stroked" : ""));
        const auto area = box(fields(design), 190);
        area->setBoundsNoOtherChanges(QRectF(5.25, 5.5, 190, 100));
        area->setDrawsStroke(stroked);
        document->undoManager()->disableUndoRegistration();
        document->insertGraphic(area, 0, 1);
        document->undoManager()->enableUndoRegistration();

        LBRenderingView sheet(QRectF(0, 0, 425, 360), document->documentGraphics());
        sheet.setContactServer(controller);
        sheet.updateLabelSettings();
        sheet.setFIMType(0);
        sheet.setPageNum(0);
        sheet.setPrintingDocument(document.get());
        int notices = 0;
        const platform::ObserverToken counting =
            platform::NotificationCenter::defaultCenter().addObserver(
                LBGraphicDidChange, nullptr, [&](const platform::Notification& n) {
                    // (The design's box itself hears of every label's drawing.)
                    if (n.object != area.get())
                        ++notices;
                });
        const auto drawn = [&](bool reuse) {
            sheet.setReusesTextCopies(reuse);
            notices = 0;
            QImage image(QSize(850, 720), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.scale(2, 2);
            platform::GraphicsContext context(&painter, false);
            context.setBaseTransform(painter.transform());
            platform::GraphicsContext::Scope scope(context);
            sheet.drawRect(sheet.bounds());
            return image;
        };
        const QImage general = drawn(false);
        const int generalNotices = notices;
        const QImage light = drawn(true);
        EXPECT_TRUE(light == general);
        // Every cell with a record shows text (the last record has none).
        for (int cell = 0; cell < 5; ++cell) {
            const QRect inCell(2 * (11 + (cell % 2) * 205), 2 * (11 + (cell / 2) * 115), 396, 216);
            bool ink = false;
            for (int y = inCell.top(); y <= inCell.bottom() && !ink; ++y)
                for (int x = inCell.left(); x <= inCell.right() && !ink; ++x)
                    ink = qAlpha(general.pixel(x, y)) != 0 && qGray(general.pixel(x, y)) < 128;
            EXPECT_TRUE(ink) << "cell " << cell;
        }
        // The general path copies the box for each label, with change notices; the light
        // one copies it once for the sheet (bracket groups take the general one).
        if (design != bracketGroup) {
            EXPECT_LT(2 * notices, generalNotices);
        }
        sheet.setPrintingDocument(nullptr);
        document->undoManager()->disableUndoRegistration();
        document->removeGraphicAtIndex(0, 1);
        document->undoManager()->enableUndoRegistration();
    }
}
