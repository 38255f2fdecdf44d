#include "platform/core/Archive.h"

#include "platform/core/PropertyList.h"
#include "platform/drawing/BezierPath.h"
#include "platform/drawing/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/PrintInfo.h"

#include "TestFont.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QPointF>
#include <QVariantList>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <limits>

using platform::Archive;
using platform::AttributedString;
using platform::ParagraphStyle;
using platform::PropertyList;
using platform::Range;

namespace {

// Exact equality: same spec and the same stored components.
void expectSameColor(const QColor& actual, const QColor& expected, const char* what)
{
    EXPECT_EQ(actual.spec(), expected.spec()) << what;
    EXPECT_EQ(actual.alphaF(), expected.alphaF()) << what;
    switch (expected.spec()) {
    case QColor::Cmyk:
        EXPECT_EQ(actual.cyanF(), expected.cyanF()) << what;
        EXPECT_EQ(actual.magentaF(), expected.magentaF()) << what;
        EXPECT_EQ(actual.yellowF(), expected.yellowF()) << what;
        EXPECT_EQ(actual.blackF(), expected.blackF()) << what;
        break;
    case QColor::Hsv:
    case QColor::Hsl:
        EXPECT_EQ(actual.hueF(), expected.hueF()) << what;
        EXPECT_EQ(actual.hsvSaturationF(), expected.hsvSaturationF()) << what;
        EXPECT_EQ(actual.valueF(), expected.valueF()) << what;
        EXPECT_EQ(actual.hslSaturationF(), expected.hslSaturationF()) << what;
        EXPECT_EQ(actual.lightnessF(), expected.lightnessF()) << what;
        break;
    default:
        EXPECT_EQ(actual.redF(), expected.redF()) << what;
        EXPECT_EQ(actual.greenF(), expected.greenF()) << what;
        EXPECT_EQ(actual.blueF(), expected.blueF()) << what;
        break;
    }
    EXPECT_TRUE(actual == expected) << what;
}

QVariantMap rootOf(const QByteArray& data)
{
    return PropertyList::fromXml(data).value_or(QVariant()).toMap().value("root").toMap();
}

QByteArray archiveWithRoot(const QVariant& root, const QVariant& version = 1)
{
    return PropertyList::toXml(QVariantMap{{"archive", version}, {"root", root}});
}

QVariantMap colorEntry(const QVariant& space, const QVariant& components, const QVariant& alpha)
{
    return QVariantMap{
        {"type", "color"}, {"space", space}, {"components", components}, {"alpha", alpha}};
}

} // namespace

TEST(Archive, ColorsRoundTripExactlyWithTheirSpace)
{
    struct Case
    {
        const char* what;
        QColor color;
        const char* space;
    };
    const Case cases[] = {
        {"8-bit rgb", QColor(12, 34, 56, 78), "rgb"},
        {"float rgb", QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.4f), "rgb"},
        {"16-bit rgb", QColor::fromRgba64(1, 65534, 32767, 12345), "rgb"},
        {"8-bit grey", QColor(128, 128, 128), "grey"},
        {"float grey", QColor::fromRgbF(0.8f, 0.8f, 0.8f, 0.7f), "grey"},
        {"black", QColor(Qt::black), "grey"},
        {"transparent", QColor(Qt::transparent), "grey"},
        {"extended", QColor::fromRgbF(1.5f, -0.25f, 0.001f, 0.75f), "extended-rgb"},
        {"extended in range", QColor::fromRgbF(0.001f, 0.3f, 1.0f).toExtendedRgb(), "extended-rgb"},
        {"cmyk", QColor::fromCmykF(0.1f, 0.2f, 0.3f, 0.4f, 0.5f), "cmyk"},
        {"cmyk 8-bit", QColor::fromCmyk(1, 2, 3, 4, 5), "cmyk"},
        {"hsv", QColor::fromHsvF(0.25f, 0.5f, 0.75f, 1.0f), "hsv"},
        {"hsv achromatic", QColor::fromHsvF(-1.0f, 0.0f, 0.5f), "hsv"},
        {"hsl", QColor::fromHsl(359, 255, 1, 2), "hsl"},
    };
    for (const Case& c : cases) {
        const QByteArray data = Archive::archivedDataWithColor(c.color);
        EXPECT_EQ(rootOf(data).value("space"), QString(c.space)) << c.what;
        const std::optional<QColor> back = Archive::colorFromArchivedData(data);
        ASSERT_TRUE(back) << c.what;
        expectSameColor(*back, c.color, c.what);
    }
    EXPECT_EQ(rootOf(Archive::archivedDataWithColor(QColor(128, 128, 128))).value("components"),
              QVariantList{128 / 255.0f});
    EXPECT_TRUE(Archive::archivedDataWithColor(QColor()).isEmpty());
}

TEST(Archive, ArraysOfPropertyListValuesRoundTrip)
{
    const QDateTime date(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC);
    const QVariantList array{
        QString("Background"),
        QString(),
        QByteArray("\x00\xff", 2),
        qint64(-5),
        2.5,
        true,
        false,
        date,
        QVariantList{},
        QVariantList{QString("a"), QVariantList{qint64(1)}},
        QVariantMap{{"visible", true}, {"colour", QColor(1, 2, 3)}, {"empty", QVariantMap{}}},
        QColor(Qt::red),
    };
    const std::optional<QVariantList> back =
        Archive::arrayFromArchivedData(Archive::archivedDataWithArray(array));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, array);
    EXPECT_EQ(back->value(1), QString(""));

    // Kinds with a meaning of their own in QVariant come back as their plain form.
    const std::optional<QVariantList> widened = Archive::arrayFromArchivedData(
        Archive::archivedDataWithArray({7, 0.5f, QStringList{"x"}, QVariantHash{{"k", 1u}}}));
    ASSERT_TRUE(widened);
    EXPECT_EQ(widened->value(0).typeId(), QMetaType::LongLong);
    EXPECT_EQ(widened->value(1).typeId(), QMetaType::Double);
    EXPECT_EQ(*widened,
              (QVariantList{qint64(7), 0.5, QVariantList{"x"}, QVariantMap{{"k", qint64(1)}}}));

    // A kind without an entry type, however deep, gives no data at all.
    EXPECT_TRUE(
        Archive::archivedDataWithArray({QString("a"), QVariantList{QPointF(1, 2)}}).isEmpty());
    EXPECT_TRUE(Archive::archivedDataWithArray({QVariant()}).isEmpty());
}

TEST(Archive, ForeignOrDamagedDataDecodesToNothing)
{
    const QVariantList rgb{0.1, 0.2, 0.3};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        const char* what;
        QByteArray data;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"not XML", "garbage \x00\xff"},
        {"text form", PropertyList::toText(QVariantMap{{"archive", 1}})},
        {"another root", PropertyList::toXml(QVariantList{1, 2})},
        {"no version", PropertyList::toXml(QVariantMap{{"root", colorEntry("rgb", rgb, 1.0)}})},
        {"later version", archiveWithRoot(colorEntry("rgb", rgb, 1.0), 2)},
        {"version as text", archiveWithRoot(colorEntry("rgb", rgb, 1.0), "1")},
        {"no root", archiveWithRoot(QVariant())},
        {"entry not a dictionary", archiveWithRoot(QVariantList{})},
        {"no type", archiveWithRoot(QVariantMap{{"space", "rgb"}})},
        {"unknown type", archiveWithRoot(QVariantMap{{"type", "bezier"}})},
        {"unknown space", archiveWithRoot(colorEntry("lab", rgb, 1.0))},
        {"space not text", archiveWithRoot(colorEntry(3, rgb, 1.0))},
        {"missing component", archiveWithRoot(colorEntry("rgb", QVariantList{0.1, 0.2}, 1.0))},
        {"extra component", archiveWithRoot(colorEntry("grey", rgb, 1.0))},
        {"no components", archiveWithRoot(colorEntry("rgb", QVariant(), 1.0))},
        {"component as text",
         archiveWithRoot(colorEntry("rgb", QVariantList{"0.1", 0.2, 0.3}, 1.0))},
        {"component above 1", archiveWithRoot(colorEntry("rgb", QVariantList{0.1, 1.5, 0.3}, 1.0))},
        {"negative component",
         archiveWithRoot(colorEntry("cmyk", QVariantList{0.1, -0.5, 0.3, 0}, 1.0))},
        {"NaN component", archiveWithRoot(colorEntry("rgb", QVariantList{nan, 0.2, 0.3}, 1.0))},
        {"infinite extended",
         archiveWithRoot(colorEntry("extended-rgb", QVariantList{qInf(), 0.2, 0.3}, 1.0))},
        {"huge extended",
         archiveWithRoot(colorEntry("extended-rgb", QVariantList{1e6, 0.2, 0.3}, 1.0))},
        {"bad hue", archiveWithRoot(colorEntry("hsv", QVariantList{-0.5, 0.2, 0.3}, 1.0))},
        {"no alpha", archiveWithRoot(colorEntry("rgb", rgb, QVariant()))},
        {"alpha above 1", archiveWithRoot(colorEntry("rgb", rgb, 1.01))},
        {"NaN alpha", archiveWithRoot(colorEntry("rgb", rgb, nan))},
        {"items not a list", archiveWithRoot(QVariantMap{{"type", "array"}, {"items", "x"}})},
        {"item not an entry",
         archiveWithRoot(QVariantMap{{"type", "array"}, {"items", QVariantList{"x"}}})},
        {"bad item deep down",
         archiveWithRoot(QVariantMap{
             {"type", "dictionary"},
             {"items", QVariantMap{{"c", colorEntry("rgb", QVariantList{2, 0, 0}, 1)}}}})},
        {"value of a list",
         archiveWithRoot(QVariantMap{{"type", "value"}, {"value", QVariantList{}}})},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Archive::valueFromArchivedData(c.data)) << c.what;
        EXPECT_FALSE(Archive::colorFromArchivedData(c.data)) << c.what;
    }

    // The right kind only.
    const QByteArray colour = Archive::archivedDataWithColor(Qt::blue);
    const QByteArray array = Archive::archivedDataWithArray({QString("a")});
    EXPECT_FALSE(Archive::arrayFromArchivedData(colour));
    EXPECT_FALSE(Archive::colorFromArchivedData(array));
    EXPECT_TRUE(Archive::colorFromArchivedData(colour));

    // Cut short anywhere, the data fails cleanly.
    for (qsizetype n = 0; n < colour.size() - 9; ++n)
        ASSERT_FALSE(Archive::colorFromArchivedData(colour.left(n))) << n;
}

TEST(Archive, RepeatedKeysKeepTheirLastValue)
{
    // As a property list's dictionary keeps a key: the last value counts, in any key order,
    // and an earlier one that would not decode is no failure.
    const auto value = [](const char* xml) {
        return QByteArray("<dict><key>type</key><string>value</string><key>value</key>") + xml
               + "</dict>";
    };
    const QByteArray data = "<plist><dict><key>root</key><dict><key>items</key><dict>"
                            "<key>c</key><dict><key>type</key><string>unknown</string></dict>"
                            "<key>a</key>"
                            + value("<integer>1</integer><key>value</key><integer>2</integer>")
                            + "<key>c</key>" + value("<true/>")
                            + "</dict><key>type</key><string>dictionary</string></dict>"
                              "<key>archive</key><integer>1</integer></dict></plist>";
    const std::optional<QVariant> decoded = Archive::valueFromArchivedData(data);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, QVariant(QVariantMap{{"a", qint64(2)}, {"c", true}}));
}

namespace {

// Text with every kind of attribute a text box stores, merge field included.
AttributedString richText()
{
    using namespace platform;
    ParagraphStyle centred;
    centred.alignment = ParagraphStyle::Alignment::Center;
    centred.lineSpacing = 2.5;
    centred.firstLineHeadIndent = 10;
    centred.headIndent = 4;
    centred.tailIndent = -6;
    centred.lineHeightMultiple = 1.5;
    centred.paragraphSpacing = 3;
    centred.baseWritingDirection = ParagraphStyle::WritingDirection::RightToLeft;
    centred.lineBreakMode = ParagraphStyle::LineBreakMode::TruncatingTail;

    QFont boldItalic = testFont(9.5);
    boldItalic.setWeight(QFont::Bold);
    boldItalic.setStyle(QFont::StyleItalic);
    QFont named = testFont(30);
    named.setStyleName(QStringLiteral("Oblique"));
    QFont pixels = testFont();
    pixels.setPixelSize(17);

    AttributedString text(QStringLiteral("Dear «First Name»,\nsee you soon\u2026"),
                          {{FontAttributeName, testFont()}});
    text.addAttributes({{ForegroundColorAttributeName, QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.8f)},
                        {FontAttributeName, boldItalic},
                        {QStringLiteral("LBQFieldAttributeName"),
                         QVariantMap{{"Property", "First"}, {"LBPhoneFormatIndex", 2}}}},
                       Range(5, 12));
    text.addAttribute(ParagraphStyleAttributeName, QVariant::fromValue(centred), Range(0, 19));
    text.addAttributes({{KernAttributeName, 1.5}, {UnderlineStyleAttributeName, 1}}, Range(19, 3));
    text.addAttributes({{FontAttributeName, named},
                        {ShadowAttributeName,
                         QVariant::fromValue(Shadow{QSizeF(1, -2), 3, QColor(10, 20, 30, 40)})},
                        {StrokeWidthAttributeName, -3.0},
                        {StrokeColorAttributeName, QColor(Qt::red)}},
                       Range(22, 4));
    text.addAttributes(
        {{FontAttributeName, pixels}, {BaselineOffsetAttributeName, 2.0}, {KernAttributeName, 0.0}},
        Range(26, 5));
    return text;
}

} // namespace

TEST(Archive, AttributedTextRoundTripsExactly)
{
    const AttributedString text = richText();
    const QByteArray data = Archive::archivedDataWithAttributedString(text);
    ASSERT_FALSE(data.isEmpty());
    const std::optional<AttributedString> back = Archive::attributedStringFromArchivedData(data);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->string(), text.string());
    // Run by run, so a failure names the attribute.
    for (qsizetype i = 0; i < text.length(); ++i) {
        const QVariantMap expected = text.attributesAtIndex(i);
        const QVariantMap actual = back->attributesAtIndex(i);
        EXPECT_EQ(actual.keys(), expected.keys()) << i;
        for (const QString& key : expected.keys())
            EXPECT_TRUE(actual.value(key) == expected.value(key)) << i << " " << key.toStdString();
    }
    EXPECT_TRUE(*back == text);
    const QFont font = back->attribute(platform::FontAttributeName, 0).value<QFont>();
    EXPECT_EQ(font.family(), testFont().family());
    EXPECT_EQ(font.pointSizeF(), 12.0);
    EXPECT_EQ(back->attribute(platform::FontAttributeName, 27).value<QFont>().pixelSize(), 17);

    // Empty text, and attributed text inside arrays (the per-label texts of a box).
    EXPECT_TRUE(Archive::attributedStringFromArchivedData(
                    Archive::archivedDataWithAttributedString(AttributedString()))
                == AttributedString());
    const QVariantList entries{QVariantMap{{"EditedText", QVariant::fromValue(text)},
                                           {"EditedTextLabelIndex", qint64(3)}}};
    const std::optional<QVariantList> list =
        Archive::arrayFromArchivedData(Archive::archivedDataWithArray(entries));
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->value(0).toMap().value("EditedText").value<AttributedString>() == text);

    // A family is kept as named, commas and brackets included.
    for (const QString& family :
         {QStringLiteral("De,jaVu Sans"), QStringLiteral("Label [Maker]")}) {
        QFont font;
        font.setFamilies({family});
        font.setPointSizeF(10);
        const std::optional<QVariant> back =
            Archive::valueFromArchivedData(Archive::archivedDataWithValue(font));
        ASSERT_TRUE(back);
        EXPECT_EQ(back->value<QFont>().families(), QStringList{family});
        EXPECT_TRUE(back->value<QFont>() == font) << family.toStdString();
    }

    // An attribute of a kind the archive does not know gives no data at all.
    AttributedString odd(QStringLiteral("x"), {{"Where", QPointF(1, 2)}});
    EXPECT_TRUE(Archive::archivedDataWithAttributedString(odd).isEmpty());
}

TEST(Archive, DamagedAttributedTextDecodesToNothing)
{
    const QVariantMap good = rootOf(Archive::archivedDataWithAttributedString(richText()));
    ASSERT_EQ(good.value("type"), QString("attributed-string"));
    const QVariantList runs = good.value("runs").toList();
    ASSERT_GT(runs.size(), 3);

    // Changes one run (index 1, which holds the field, the bold italic font and a colour).
    const auto withRun = [&](const std::function<void(QVariantMap&)>& change) {
        QVariantList changed = runs;
        QVariantMap run = changed[1].toMap();
        change(run);
        changed[1] = run;
        QVariantMap root = good;
        root["runs"] = changed;
        return archiveWithRoot(root);
    };
    const auto withFont = [&](const std::function<void(QVariantMap&)>& change) {
        return withRun([&](QVariantMap& run) {
            QVariantMap attributes = run["attributes"].toMap();
            QVariantMap font = attributes["Font"].toMap();
            change(font);
            attributes["Font"] = font;
            run["attributes"] = attributes;
        });
    };
    QVariantMap noText = good;
    noText.remove("string");
    QVariantMap shortText = good;
    shortText["string"] = good.value("string").toString().chopped(1);
    QVariantMap longText = good;
    longText["string"] = good.value("string").toString() + "!";

    struct Case
    {
        const char* what;
        QByteArray data;
    };
    const Case cases[] = {
        {"no text", archiveWithRoot(noText)},
        {"runs beyond the text", archiveWithRoot(shortText)},
        {"runs short of the text", archiveWithRoot(longText)},
        {"run of length 0", withRun([](QVariantMap& r) { r["length"] = qint64(0); })},
        {"negative length", withRun([](QVariantMap& r) { r["length"] = qint64(-3); })},
        {"length as text", withRun([](QVariantMap& r) { r["length"] = "12"; })},
        {"attributes not a dictionary",
         withRun([](QVariantMap& r) { r["attributes"] = QVariantList{}; })},
        {"attribute not an entry", withRun([](QVariantMap& r) {
             QVariantMap a = r["attributes"].toMap();
             a["Kern"] = 2.0;
             r["attributes"] = a;
         })},
        {"font without family", withFont([](QVariantMap& f) { f.remove("family"); })},
        {"font of size 0", withFont([](QVariantMap& f) { f["size"] = 0.0; })},
        {"font of NaN size", withFont([](QVariantMap& f) { f["size"] = qQNaN(); })},
        {"font with two sizes", withFont([](QVariantMap& f) { f["pixels"] = qint64(12); })},
        {"font without size", withFont([](QVariantMap& f) { f.remove("size"); })},
        {"font weight 0", withFont([](QVariantMap& f) { f["weight"] = qint64(0); })},
        {"font style 7", withFont([](QVariantMap& f) { f["style"] = qint64(7); })},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Archive::attributedStringFromArchivedData(c.data)) << c.what;
        EXPECT_FALSE(Archive::valueFromArchivedData(c.data)) << c.what;
    }

    // Paragraph styles and shadows check their fields too.
    const auto paragraph = [](const char* key, const QVariant& value) {
        QVariantMap entry =
            rootOf(Archive::archivedDataWithValue(QVariant::fromValue(ParagraphStyle())));
        entry[key] = value;
        return archiveWithRoot(entry);
    };
    EXPECT_TRUE(Archive::valueFromArchivedData(paragraph("alignment", qint64(4))));
    EXPECT_FALSE(Archive::valueFromArchivedData(paragraph("alignment", qint64(5))));
    EXPECT_FALSE(Archive::valueFromArchivedData(paragraph("direction", qint64(-2))));
    EXPECT_FALSE(Archive::valueFromArchivedData(paragraph("line-break", qint64(6))));
    EXPECT_FALSE(Archive::valueFromArchivedData(paragraph("head-indent", qInf())));
    EXPECT_FALSE(Archive::valueFromArchivedData(paragraph("paragraph-spacing", "wide")));
    // The later fields are written only when set: a plain style has none of them.
    EXPECT_FALSE(rootOf(Archive::archivedDataWithValue(QVariant::fromValue(ParagraphStyle())))
                     .contains("line-height-multiple"));
    QVariantMap shadow =
        rootOf(Archive::archivedDataWithValue(QVariant::fromValue(platform::Shadow{})));
    shadow["color"] = QVariantMap{{"type", "value"}, {"value", "black"}};
    EXPECT_FALSE(Archive::valueFromArchivedData(archiveWithRoot(shadow)));

    // Cut short anywhere, the data fails cleanly; another kind is not attributed text.
    const QByteArray data = Archive::archivedDataWithAttributedString(richText());
    for (qsizetype n = 0; n < data.size() - 9; n += 7)
        ASSERT_FALSE(Archive::attributedStringFromArchivedData(data.left(n))) << n;
    EXPECT_FALSE(
        Archive::attributedStringFromArchivedData(Archive::archivedDataWithColor(Qt::red)));
}

namespace {

// A path using every element kind and every attribute away from its default, with numbers
// that have no short decimal form.
platform::BezierPath detailedPath()
{
    using platform::BezierPath;
    BezierPath path;
    path.moveTo(QPointF(0.1, 1.0 / 3.0));
    path.lineTo(QPointF(-25.5, 1e-7));
    path.curveTo(QPointF(100, 200), QPointF(2.0 / 3.0, -0.0), QPointF(1e12, 7));
    path.closePath();
    path.lineTo(QPointF(3, 4)); // on from the start of the closed subpath
    path.moveTo(QPointF(5, 6));
    path.setLineWidth(2.25);
    path.setLineCapStyle(BezierPath::LineCap::Square);
    path.setLineJoinStyle(BezierPath::LineJoin::Bevel);
    path.setMiterLimit(4.5);
    path.setFlatness(0.1);
    path.setWindingRule(BezierPath::WindingRule::EvenOdd);
    path.setLineDash({3.0, 1.0 / 7.0, 2.0}, 0.75);
    return path;
}

} // namespace

TEST(Archive, BezierPathsRoundTripExactly)
{
    const platform::BezierPath paths[] = {detailedPath(), platform::BezierPath(),
                                          platform::BezierPath::withOvalInRect({1, 2, 30, 40})};
    for (const platform::BezierPath& path : paths) {
        const QByteArray data = Archive::archivedDataWithBezierPath(path);
        const std::optional<platform::BezierPath> back = Archive::bezierPathFromArchivedData(data);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, path);
        EXPECT_EQ(back->elements(), path.elements());
        EXPECT_EQ(Archive::archivedDataWithBezierPath(*back), data);
    }
    // Another kind is no path, and a path is no colour.
    const QByteArray path = Archive::archivedDataWithBezierPath(detailedPath());
    EXPECT_FALSE(Archive::bezierPathFromArchivedData(Archive::archivedDataWithColor(Qt::red)));
    EXPECT_FALSE(Archive::colorFromArchivedData(path));
}

TEST(Archive, DamagedBezierPathsDecodeToNothing)
{
    const QVariantMap good = rootOf(Archive::archivedDataWithBezierPath(detailedPath()));
    ASSERT_EQ(good.value("type"), QString("bezier-path"));
    const auto with = [&](const char* key, const QVariant& value) {
        QVariantMap root = good;
        if (value.isValid())
            root[key] = value;
        else
            root.remove(key);
        return archiveWithRoot(root);
    };
    struct Case
    {
        const char* what;
        QByteArray data;
    };
    const Case cases[] = {
        {"no elements", with("elements", QVariant())},
        {"elements as a list", with("elements", QVariantList{"M", 1, 2})},
        {"line before any move", with("elements", "L 1 2")},
        {"close before any move", with("elements", "Z M 1 2")},
        {"unknown letter", with("elements", "M 1 2 Q 3 4")},
        {"too few numbers", with("elements", "M 1 2 C 1 2 3 4 5")},
        {"not a number", with("elements", "M 1 x")},
        {"infinite number", with("elements", "M 1 inf")},
        {"two spaces", with("elements", "M 1  2")},
        {"trailing space", with("elements", "M 1 2 ")},
        {"no line width", with("line-width", QVariant())},
        {"NaN line width", with("line-width", qQNaN())},
        {"cap 3", with("line-cap", qint64(3))},
        {"join -1", with("line-join", qint64(-1))},
        {"winding rule 2", with("winding-rule", qint64(2))},
        {"winding rule as text", with("winding-rule", "0")},
        {"dash not a list", with("dash", 2.0)},
        {"dash of text", with("dash", QVariantList{"2"})},
        {"no dash phase", with("dash-phase", QVariant())},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(Archive::bezierPathFromArchivedData(c.data)) << c.what;

    const QByteArray data = Archive::archivedDataWithBezierPath(detailedPath());
    for (qsizetype n = 0; n < data.size() - 9; n += 5)
        ASSERT_FALSE(Archive::bezierPathFromArchivedData(data.left(n))) << n;
}

TEST(Archive, PrintSettingsRoundTrip)
{
    platform::PrintInfo printInfo;
    printInfo.setPaperBySize({595.2755907, 841.88976399});
    printInfo.setOrientation(platform::PrintInfo::Landscape);
    printInfo.setPrinterName(QStringLiteral("Office \u00e9"));
    EXPECT_EQ(printInfo.paperName(), QStringLiteral("A4"));
    const QByteArray data = platform::Archive::archivedDataWithPrintInfo(printInfo);
    EXPECT_EQ(platform::Archive::printInfoFromArchivedData(data), printInfo);
    EXPECT_EQ(platform::Archive::printInfoFromArchivedData(
                  platform::Archive::archivedDataWithPrintInfo(platform::PrintInfo())),
              platform::PrintInfo());
    // Another value, or a field out of range, is no print settings.
    EXPECT_FALSE(platform::Archive::printInfoFromArchivedData(
        platform::Archive::archivedDataWithColor(Qt::red)));
    for (const auto& [field, value] : {std::pair<const char*, QVariant>{"orientation", qint64(7)},
                                       {"paper-width", QStringLiteral("wide")},
                                       {"printer", qint64(1)}}) {
        QVariantMap archive = platform::PropertyList::fromXml(data)->toMap();
        QVariantMap root = archive.value("root").toMap();
        root.insert(QString::fromLatin1(field), value);
        archive.insert("root", root);
        EXPECT_FALSE(
            platform::Archive::printInfoFromArchivedData(platform::PropertyList::toXml(archive)))
            << field;
    }
    platform::PrintInfo infinite;
    infinite.setPaperSize({qInf(), 1});
    EXPECT_TRUE(platform::Archive::archivedDataWithPrintInfo(infinite).isEmpty());
}
