// The graphic property list: one table of stored dictionaries and the attributes they
// load as (classes, value encodings, the order-dependent keys, legacy keys, bad input),
// then the writing rules.

#include "GraphicTestSupport.h"
#include "MessageLog.h"
#include "TestFont.h"

#include "graphics/LBTextArea.h"
#include "platform/core/Archive.h"
#include "platform/core/TextForms.h"
#include "platform/text/AttributedString.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <functional>
#include <typeinfo>

using platform::Archive;

namespace {

QByteArray colorData(const QColor& color)
{
    return Archive::archivedDataWithColor(color);
}

// The LZW TIFF of a small opaque picture, as graphics store their pictures.
QByteArray tiffData(Qt::GlobalColor color = Qt::darkCyan)
{
    QImage bitmap(4, 3, QImage::Format_ARGB32);
    bitmap.fill(color);
    return platform::Image::fromBitmap(bitmap, QSizeF(4, 3))->TIFFRepresentationUsingLZW();
}

QByteArray pngData()
{
    QImage bitmap(2, 2, QImage::Format_ARGB32);
    bitmap.fill(QColor(10, 20, 30, 128));
    return platform::Image::fromBitmap(bitmap, QSizeF(2, 2))->pngData();
}

const QByteArray garbage("\x89PNG but not really", 19);

// A dictionary of class LBGraphic with the keys given.
QVariantMap graphic(QVariantMap keys)
{
    keys.insert(QStringLiteral("Class"), QStringLiteral("LBGraphic"));
    return keys;
}

QVariantMap textArea(QVariantMap keys)
{
    keys.insert(QStringLiteral("Class"), QStringLiteral("LBTextArea"));
    return keys;
}

LBTextArea* asText(LBGraphic* g)
{
    return dynamic_cast<LBTextArea*>(g);
}

qint64 shadowType(const LBGraphic& g, qint64* h = nullptr, qint64* r = nullptr,
                  qint64* az = nullptr, double* a = nullptr, QColor* c = nullptr)
{
    return g.shadowInfo(h, r, az, a, c);
}

// The value a graphic writes for a key (what it loaded, in stored form).
QVariant written(const LBGraphic& g, const char* key)
{
    return g.propertyListRepresentation().value(QString::fromLatin1(key));
}

struct Case
{
    const char* what;
    QVariantMap dictionary;
    // Checks the graphic made (nullptr when none was).
    std::function<void(LBGraphic*)> check;
    // A text the log must hold; nullptr when nothing may be logged.
    const char* log = nullptr;
};

} // namespace

TEST(LBGraphicPropertyList, DictionariesLoadAsTheirAttributes)
{
    const platform::AttributedString text(QStringLiteral("Hello"),
                                          {{platform::FontAttributeName, testFont()}});
    const Case cases[] = {
        // --- The class ---
        {"a class alone has every default of its class",
         {{"Class", "LBGraphic"}},
         [](LBGraphic* g) {
             ASSERT_TRUE(g);
             EXPECT_EQ(typeid(*g), typeid(LBGraphic));
             EXPECT_EQ(g->propertyListRepresentation(), LBGraphic().propertyListRepresentation());
         }},
        {"a text area alone has the text area's defaults",
         {{"Class", "LBTextArea"}},
         [](LBGraphic* g) {
             ASSERT_TRUE(asText(g));
             EXPECT_EQ(g->propertyListRepresentation(), LBTextArea().propertyListRepresentation());
             EXPECT_FALSE(g->drawsStroke());
             EXPECT_EQ(g->reflectionHeight(), 1.0);
             EXPECT_FALSE(asText(g)->contents());
         }},
        {"a name without the prefix is tried with it",
         {{"Class", "TextArea"}},
         [](LBGraphic* g) { EXPECT_TRUE(asText(g)); }},
        {"an unknown name makes nothing",
         {{"Class", "LBNoSuchGraphic"}},
         [](LBGraphic* g) { EXPECT_FALSE(g); },
         "no graphic class \"LBNoSuchGraphic\""},
        {"a class of the program that is no graphic makes nothing",
         {{"Class", "LBDocument"}},
         [](LBGraphic* g) { EXPECT_FALSE(g); },
         "no graphic class \"LBDocument\""},
        {"an empty name makes nothing",
         {{"Class", ""}},
         [](LBGraphic* g) { EXPECT_FALSE(g); },
         "no graphic class"},
        {"no class makes nothing",
         {{"Bounds", "{{1, 2}, {3, 4}}"}},
         [](LBGraphic* g) { EXPECT_FALSE(g); },
         "\"Class\" is missing"},
        {"a class that is no text makes nothing",
         {{"Class", QVariantMap{{"Class", "LBGraphic"}}}},
         [](LBGraphic* g) { EXPECT_FALSE(g); },
         "\"Class\" is not text"},

        // --- Value encodings ---
        {"reals are read in single precision, integers by their leading digits",
         graphic({{"Rotation", "12.35"}, {"FillType", "2.00"}, {"PlaceholderLabelPosition", "7x"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->rotation(), double(12.35f));
             EXPECT_EQ(g->fillType(), 2);
             EXPECT_EQ(g->placeholderLabelPosition(), 7);
         }},
        {"only the text YES is true",
         graphic({{"Locked", "YES"}, {"ConstrainProportions", "yes"}, {"DrawsStroke", "1"}}),
         [](LBGraphic* g) {
             EXPECT_TRUE(g->locked());
             EXPECT_FALSE(g->constrainProportions());
             EXPECT_FALSE(g->drawsStroke());
         }},
        {"missing numbers of a rectangle read 0; bounds stay a point wide and high",
         graphic({{"Bounds", "{{10, 20}, {30}}"}}),
         [](LBGraphic* g) { EXPECT_EQ(g->bounds(), QRectF(10, 20, 30, 1)); }},
        {"stored bounds stand as they are: relative to their page",
         graphic({{"Bounds", "{{10, 10}, {40, 30}}"}, {"GroupBounds", "{{5, 5}, {90, 90}}"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->bounds(), QRectF(10, 10, 40, 30));
             EXPECT_EQ(g->groupBounds(), QRectF(5, 5, 90, 90));
             EXPECT_EQ(g->visiblePageOrigin(), QPointF());
         }},
        {"a scaling of 2.9 is 2; number objects and numbers read as their text",
         graphic({{"FillImageScaling", "2.9"},
                  {"PlaceholderPatternIndex", qint64(7)},
                  {"PlaceholderImageIndex", "3"},
                  {"GradientAngle", 30.5}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->fillImageScaling(), 2);
             EXPECT_EQ(g->placeholderPatternIndex(), 7);
             EXPECT_EQ(g->placeholderImageIndex(), 3);
             EXPECT_EQ(g->gradientAngle(), 30.5);
         }},
        {"the dash count, then the four lengths of the dash rectangle",
         graphic({{"LineDashCount", "2"}, {"LineDashPattern", "{{3, 1}, {0, 0}}"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->lineDashCount(), 2);
             EXPECT_EQ(g->getLineDashPattern(), (LBGraphic::DashPattern{3, 1, 0, 0}));
         }},
        {"colours are archived data",
         graphic({{"FillColor", colorData(Qt::red)},
                  {"FillColor2", colorData(Qt::blue)},
                  {"StrokeColor", colorData(Qt::green)},
                  {"DrawsStroke", "NO"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->fillColor(), QColor(Qt::red));
             EXPECT_EQ(g->fillColor1(), QColor(Qt::blue));
             EXPECT_EQ(g->strokeColor(), QColor(Qt::green));
             EXPECT_FALSE(g->drawsStroke()); // read after the colour, which turned it on
         }},
        {"a missing centre size reads back as 0.01",
         graphic({}),
         [](LBGraphic* g) { EXPECT_EQ(g->gradientCenterSize(), 0.01); }},

        // --- Shadow ---
        {"a shadow of zeros keeps the default shadow",
         graphic({{"ShadowOn", "NO"},
                  {"ShadowHeight", "0"},
                  {"ShadowRadius", "0"},
                  {"ShadowAzimuth", "0"},
                  {"ShadowAlpha", "0.00"}}),
         [](LBGraphic* g) {
             qint64 h, r, az;
             double a;
             EXPECT_EQ(shadowType(*g, &h, &r, &az, &a), 0);
             EXPECT_EQ(h, 3);
             EXPECT_EQ(r, 3);
             EXPECT_EQ(az, 90);
             EXPECT_EQ(a, 0.25);
         }},
        {"one shadow value sets them all, the missing ones 0 and black",
         graphic({{"ShadowOn", "NO"}, {"ShadowHeight", "5"}}),
         [](LBGraphic* g) {
             qint64 h, r, az;
             double a;
             QColor c;
             EXPECT_EQ(shadowType(*g, &h, &r, &az, &a, &c), 0);
             EXPECT_EQ(h, 5);
             EXPECT_EQ(r, 0);
             EXPECT_EQ(az, 0);
             EXPECT_EQ(a, 0.0);
             EXPECT_EQ(c, QColor(Qt::black));
         }},
        {"a shadow that is on",
         graphic({{"ShadowOn", "YES"},
                  {"ShadowHeight", "4"},
                  {"ShadowRadius", "2"},
                  {"ShadowAzimuth", "45"},
                  {"ShadowAlpha", "0.50"},
                  {"ShadowColor", colorData(Qt::red)}}),
         [](LBGraphic* g) {
             qint64 h, r, az;
             double a;
             QColor c;
             EXPECT_EQ(shadowType(*g, &h, &r, &az, &a, &c), 1);
             EXPECT_EQ(QList<qint64>({h, r, az}), QList<qint64>({4, 2, 45}));
             EXPECT_EQ(a, 0.5);
             EXPECT_EQ(c, QColor(Qt::red));
         }},
        {"a stored shadow type decides over the on flag",
         graphic({{"ShadowOn", "NO"}, {"ShadowType", "2"}, {"ShadowHeight", "4"}}),
         [](LBGraphic* g) { EXPECT_EQ(shadowType(*g), 2); }},
        {"a stored shadow type of 0 turns an on flag off",
         graphic({{"ShadowOn", "YES"}, {"ShadowType", "0"}, {"ShadowHeight", "4"}}),
         [](LBGraphic* g) { EXPECT_EQ(shadowType(*g), 0); }},

        // --- Overall opacity ---
        {"an alpha of 0.00 is applied: a transparent graphic stays transparent",
         graphic({{"GraphicAlpha", "0.00"}}),
         [](LBGraphic* g) { EXPECT_EQ(g->graphicAlpha(), 0.0); }},
        {"an alpha that is no number keeps 1",
         graphic({{"GraphicAlpha", "none"}}),
         [](LBGraphic* g) { EXPECT_EQ(g->graphicAlpha(), 1.0); }},
        {"an alpha after white space",
         graphic({{"GraphicAlpha", " .25"}}),
         [](LBGraphic* g) { EXPECT_EQ(g->graphicAlpha(), 0.25); }},

        // --- Pictures ---
        {"a file path is stored as it is, found or not",
         graphic({{"FillImageFilePath", "/nowhere/picture.png"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->imageFilePathOfType(LBGraphic::FillImageType), "/nowhere/picture.png");
             EXPECT_FALSE(g->imageOfType(LBGraphic::FillImageType));
         }},
        {"picture data become the pictures; the fill image keeps its data",
         graphic({{"FillImage", tiffData()},
                  {"ObjectMask", tiffData(Qt::gray)},
                  {"ImageMask", tiffData(Qt::white)},
                  {"MaskImage", pngData()}}),
         [](LBGraphic* g) {
             const auto fill = g->imageOfType(LBGraphic::FillImageType);
             ASSERT_TRUE(fill);
             EXPECT_TRUE(fill->dataRetained());
             EXPECT_EQ(fill->bitmap().pixelColor(0, 0), QColor(Qt::darkCyan));
             EXPECT_EQ(fill->size(), QSizeF(4, 3));
             EXPECT_TRUE(g->imageOfType(LBGraphic::ObjectMaskType));
             EXPECT_TRUE(g->imageOfType(LBGraphic::ExternalMaskType));
             EXPECT_EQ(g->maskImage().size(), QSize(2, 2));
         }},
        {"picture data that cannot be read are kept and written back unchanged",
         graphic({{"FillImage", garbage}, {"ImageMask", garbage}, {"MaskImage", garbage}}),
         [](LBGraphic* g) {
             EXPECT_FALSE(g->imageOfType(LBGraphic::FillImageType));
             EXPECT_TRUE(g->maskImage().isNull());
             for (const char* key : {"FillImage", "ImageMask", "MaskImage"})
                 EXPECT_EQ(written(*g, key), garbage) << key;
             EXPECT_FALSE(g->propertyListRepresentation().contains("ObjectMask"));
         },
         "\"FillImage\" of LBGraphic is no picture that can be read"},
        {"an empty photo placeholder gets its stock picture again",
         graphic({{"IsPlaceholder", "YES"}, {"DrawsPlaceholderText", "YES"}, {"PlaceholderType", "Photo"}}),
         [](LBGraphic* g) {
             EXPECT_TRUE(g->imageOfType(LBGraphic::FillImageType));
             EXPECT_EQ(g->placeholderTypeString(), "Photo");
         }},
        {"the stock picture does not replace stored data that cannot be read",
         graphic({{"IsPlaceholder", "YES"}, {"PlaceholderType", "Photo"}, {"FillImage", garbage}}),
         [](LBGraphic* g) { EXPECT_EQ(written(*g, "FillImage"), garbage); },
         "is no picture that can be read"},

        // --- Fill-image triples and the placeholder ratio ---
        {"the shape's turn when cropped takes the fill image's where missing",
         graphic({{"FillImageRotation", "30.00"},
                  {"FillImageFlippedHorizontally", "YES"},
                  {"OrigShapeFlippedVertically", "YES"}}),
         [](LBGraphic* g) {
             double rotation;
             bool h, v;
             g->getOrigShapeRotation(&rotation, &h, &v);
             EXPECT_EQ(rotation, 30.0);
             EXPECT_TRUE(h);
             EXPECT_TRUE(v);
             g->getFillImageRotation(&rotation, &h, &v);
             EXPECT_FALSE(v);
         }},
        {"the stored placeholder ratio replaces the one the flag records",
         graphic({{"Bounds", "{{0, 0}, {100, 50}}"},
                  {"IsPlaceholder", "YES"},
                  {"PlaceholderSizeRatio", "0.750000"}}),
         [](LBGraphic* g) { EXPECT_EQ(g->placeholderSizeRatio(), 0.75); }},
        {"without a stored ratio the flag records the bounds' ratio",
         graphic({{"Bounds", "{{0, 0}, {100, 50}}"}, {"IsPlaceholder", "YES"}}),
         [](LBGraphic* g) { EXPECT_EQ(g->placeholderSizeRatio(), 2.0); }},

        // --- Effects ---
        {"an old tint becomes a colour effect in front of the stored ones",
         graphic({{"TintOn", "YES"},
                  {"TintSaturation", "0.456"},
                  {"TintColor", colorData(Qt::blue)},
                  {"EffectsArray", QVariantList{QVariantMap{{"effect", "7"}}}}}),
         [](LBGraphic* g) {
             ASSERT_EQ(g->numEffects(), 2);
             const QVariantMap tint = g->effectDictionaryAtIndex(0);
             EXPECT_EQ(tint.value("effect").toLongLong(), 3);
             EXPECT_EQ(tint.value("modifier0").toLongLong(), 45);
             EXPECT_EQ(Archive::colorFromArchivedData(tint.value("colorData").toByteArray()),
                       QColor(Qt::blue));
             const QVariantMap seven = g->effectDictionaryAtIndex(1);
             EXPECT_EQ(seven.value("effect").toLongLong(), 7);
             EXPECT_EQ(seven.value("modifier0").toLongLong(), 0);
         }},
        {"an effect entry's missing values are 0 and the centre",
         graphic({{"EffectsArray", QVariantList{QVariantMap{{"effect", "5"}}}}}),
         [](LBGraphic* g) {
             ASSERT_EQ(g->numEffects(), 1);
             EXPECT_EQ(g->effectDictionaryAtIndex(0).value("modifier0").toLongLong(), 0);
             EXPECT_EQ(g->effectDictionaryAtIndex(0).value("location0"), "{0.5, 0.5}");
         }},
        {"an effect entry that is no dictionary is passed over",
         graphic({{"EffectsArray", QVariantList{"junk", QVariantMap{{"effect", "2"}, {"modifier0", "40"}}}}}),
         [](LBGraphic* g) {
             ASSERT_EQ(g->numEffects(), 1);
             EXPECT_EQ(g->effectDictionaryAtIndex(0).value("modifier0").toLongLong(), 40);
         },
         "entry 0 is not a dictionary"},
        {"an effects list that is no array counts as missing",
         graphic({{"EffectsArray", "(none)"}}),
         [](LBGraphic* g) { EXPECT_EQ(g->numEffects(), 0); },
         "\"EffectsArray\" of LBGraphic is text, not an array"},
        {"an effect colour that does not decode leaves the kind's own",
         graphic({{"EffectsArray", QVariantList{QVariantMap{{"effect", "3"}, {"colorData", garbage}}}}}),
         [](LBGraphic* g) {
             ASSERT_EQ(g->numEffects(), 1);
             const QByteArray color = g->effectDictionaryAtIndex(0).value("colorData").toByteArray();
             EXPECT_EQ(Archive::colorFromArchivedData(color), QColor(Qt::red));
         },
         "\"colorData\" of LBGraphic is not an archived colour"},

        // --- Colour mask and reflection are stored directly ---
        {"colour mask and reflection values",
         graphic({{"LBColorMaskType", "2"},
                  {"LBColorMaskSize", "40"},
                  {"LBColorMaskAngle", "15"},
                  {"LBReflectionEnabled", "YES"},
                  {"LBReflectionHeight", "0.30"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->colorMaskType(), 2);
             EXPECT_EQ(written(*g, "LBColorMaskSize"), "40");
             EXPECT_EQ(written(*g, "LBColorMaskSoftness"), "0"); // not the first-mask defaults
             EXPECT_EQ(written(*g, "LBColorMaskAngle"), "15");
             EXPECT_TRUE(g->reflectionEnabled());
             EXPECT_EQ(g->reflectionHeight(), double(0.3f));
         }},

        // --- Text areas ---
        {"a text area's own keys",
         textArea({{"Text", Archive::archivedDataWithAttributedString(text)},
                   {"TextResizeMask", "17"},
                   {"HorizontalAlignment", "1"},
                   {"VerticalAlignment", "2"},
                   {"TextBoxType", "2"},
                   {"TextIsCurved", "YES"},
                   {"TextCurveStartingAngle", "90"},
                   {"TextSpiralRate", "0.500000"},
                   {"TextGradientType", "3"},
                   {"TextGradientColor1", colorData(Qt::red)},
                   {"TextGradientAngle", "45.00"}}),
         [](LBGraphic* g) {
             LBTextArea* t = asText(g);
             ASSERT_TRUE(t && t->contents());
             EXPECT_EQ(t->contents()->string(), "Hello");
             EXPECT_EQ(t->textResizeMask(), 17u);
             EXPECT_EQ(t->textBlockHorizontalAlignment(), 1);
             EXPECT_EQ(t->textBlockVerticalAlignment(), 2);
             EXPECT_EQ(t->textBoxType(), 2);
             EXPECT_TRUE(t->isCurved());
             EXPECT_EQ(t->curveStartingAngle(), 90);
             EXPECT_EQ(t->spiralRate(), 0.5);
             EXPECT_EQ(t->textGradientType(), 3);
             EXPECT_EQ(t->textGradientColor1(), QColor(Qt::red));
             EXPECT_EQ(t->textGradientAngle(), 45.0);
         }},
        {"per-label texts keep their dictionaries and pass over anything else",
         textArea({{"EditedTextArray",
                    Archive::archivedDataWithArray(
                        {QVariantMap{{"EditedText", QVariant::fromValue(platform::AttributedString("x"))},
                                     {"EditedTextLabelIndex", qint64(3)}},
                         QStringLiteral("stray")})}}),
         [](LBGraphic* g) {
             ASSERT_TRUE(asText(g)->editedTextArray());
             ASSERT_EQ(asText(g)->editedTextArray()->size(), 1);
             EXPECT_EQ(asText(g)->editedTextArray()->at(0).value("EditedTextLabelIndex"), 3);
         },
         "\"EditedTextArray\" of LBTextArea entry 1 is not a dictionary"},
        {"the text gradient's values count only with its type",
         textArea({{"TextGradientColor1", colorData(Qt::red)}, {"TextGradientAngle", "45.00"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(asText(g)->textGradientColor1(), QColor(Qt::black));
             EXPECT_EQ(asText(g)->textGradientAngle(), 0.0);
         }},
        {"an old text box's gradient fill moves to its text",
         textArea({{"FillType", "2"},
                   {"FillColor", colorData(Qt::red)},
                   {"FillColor2", colorData(Qt::blue)},
                   {"GradientAngle", "45.00"},
                   {"GradientCenter", "0.50"}}),
         [](LBGraphic* g) {
             LBTextArea* t = asText(g);
             EXPECT_EQ(t->fillType(), 0);
             EXPECT_EQ(t->textGradientType(), 2);
             EXPECT_EQ(t->textGradientColor1(), QColor(Qt::red));
             EXPECT_EQ(t->textGradientColor2(), QColor(Qt::blue));
             EXPECT_EQ(t->textGradientAngle(), 45.0);
             EXPECT_EQ(t->textGradientCenter(), 0.5);
         }},
        {"an old text box's background becomes its solid fill",
         textArea({{"FillType", "3"},
                   {"TextBackgroundColor", colorData(Qt::green)},
                   {"DrawsBackgroundColor", "YES"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->fillType(), 1);
             EXPECT_EQ(g->fillColor(), QColor(Qt::green));
             EXPECT_EQ(asText(g)->textGradientType(), 3);
         }},
        {"a text box with a text gradient type is no old text box",
         textArea({{"FillType", "2"}, {"TextGradientType", "0"}, {"DrawsBackgroundColor", "YES"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->fillType(), 2);
             EXPECT_EQ(asText(g)->textGradientType(), 0);
         }},
        {"the old background keys mean nothing to other graphics",
         graphic({{"TextBackgroundColor", colorData(Qt::green)}, {"DrawsBackgroundColor", "YES"}}),
         [](LBGraphic* g) { EXPECT_EQ(g->fillType(), 0); }},

        // --- Values of the wrong kind and data that does not decode ---
        {"bounds that are a dictionary count as missing",
         graphic({{"Bounds", QVariantMap{{"x", 1}}}, {"Rotation", "5.00"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->bounds(), QRectF(0, 0, 1, 1));
             EXPECT_EQ(g->rotation(), 5.0);
         },
         "\"Bounds\" of LBGraphic is a dictionary, not text"},
        {"a colour that is text counts as missing",
         graphic({{"FillColor", "red"}, {"FillType", "1"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->fillColor(), QColor(Qt::black));
             EXPECT_EQ(g->fillType(), 1);
         },
         "\"FillColor\" of LBGraphic is text, not data"},
        {"a colour that does not decode is skipped",
         graphic({{"StrokeColor", garbage}, {"StrokeLineWidth", "3.00"}}),
         [](LBGraphic* g) {
             EXPECT_EQ(g->strokeColor(), QColor(Qt::black));
             EXPECT_EQ(g->strokeLineWidth(), 3.0);
         },
         "\"StrokeColor\" of LBGraphic is not an archived colour"},
        {"text that does not decode is skipped",
         textArea({{"Text", garbage}, {"TextBoxType", "1"}}),
         [](LBGraphic* g) {
             EXPECT_FALSE(asText(g)->contents());
             EXPECT_EQ(asText(g)->textBoxType(), 1);
         },
         "\"Text\" of LBTextArea is not an archived text"},
        {"a picture that is text counts as missing",
         graphic({{"FillImage", "picture.png"}}),
         [](LBGraphic* g) {
             EXPECT_FALSE(g->imageOfType(LBGraphic::FillImageType));
             EXPECT_FALSE(g->propertyListRepresentation().contains("FillImage"));
         },
         "\"FillImage\" of LBGraphic is text, not data"},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageLog log;
        const std::shared_ptr<LBGraphic> g =
            LBGraphic::graphicWithPropertyListRepresentation(c.dictionary);
        c.check(g.get());
        if (c.log)
            EXPECT_TRUE(log.contains(QString::fromLatin1(c.log)))
                << log.messages.join('\n').toStdString();
        else
            EXPECT_TRUE(log.messages.isEmpty()) << log.messages.join('\n').toStdString();
    }
}

TEST(LBGraphicPropertyList, WritingRules)
{
    // Bounds relative to the page shown; group bounds only while grouped.
    auto g = std::make_shared<LBGraphic>();
    g->setBounds(QRectF(110, 60, 40, 30));
    g->setGroupBounds(QRectF(105, 55, 90, 90));
    g->setVisiblePageOrigin(QPointF(100, 50));
    QVariantMap d = g->propertyListRepresentation();
    EXPECT_EQ(d.value("Class"), "LBGraphic");
    EXPECT_EQ(d.value("Bounds"), "{{10, 10}, {40, 30}}");
    EXPECT_EQ(d.value("GroupBounds"), "{{105, 55}, {90, 90}}");
    g->setIsGrouped(true);
    EXPECT_EQ(g->propertyListRepresentation().value("GroupBounds"), "{{5, 5}, {90, 90}}");
    EXPECT_EQ(g->bounds(), QRectF(110, 60, 40, 30)); // writing changes nothing

    // Two decimals, rounded; the dash as a rectangle; the shadow flag and, past type 1,
    // the type beside it.
    g->setRotation(12.345);
    g->setLineDash({3, 1, 0, 0}, 2);
    g->setShadowInfo(2, -1, -1, -1, -1, QColor());
    d = g->propertyListRepresentation();
    EXPECT_EQ(d.value("Rotation"), "12.35");
    EXPECT_EQ(d.value("LineDashCount"), "2");
    EXPECT_EQ(d.value("LineDashPattern"), "{{3, 1}, {0, 0}}");
    EXPECT_EQ(d.value("ShadowOn"), "NO");
    EXPECT_EQ(d.value("ShadowType"), "2");
    g->setShadowInfo(1, -1, -1, -1, -1, QColor());
    d = g->propertyListRepresentation();
    EXPECT_EQ(d.value("ShadowOn"), "YES");
    EXPECT_FALSE(d.contains("ShadowType"));

    // Keys written only when set; the effects list always.
    EXPECT_FALSE(d.contains("PlaceholderLabel"));
    EXPECT_FALSE(d.contains("PlaceholderType"));
    EXPECT_EQ(d.value("EffectsArray"), QVariantList());
    EXPECT_EQ(d.value("PlaceholderPatternIndex").typeId(), QMetaType::LongLong);
    g->setStrokeColor(QColor());
    EXPECT_FALSE(g->propertyListRepresentation().contains("StrokeColor"));

    // Pictures: LZW TIFF of a bitmap, of a capture of a vector picture, PNG for the mask
    // effect; a file path instead of data.
    g->setImage(platform::Image::fromData(tiffData()), LBGraphic::FillImageType);
    g->setImage(platform::Image::imageNamed("PlaceholderMan"), LBGraphic::ObjectMaskType);
    QImage mask(3, 3, QImage::Format_ARGB32);
    mask.fill(Qt::red);
    g->setMaskImage(mask);
    d = g->propertyListRepresentation();
    for (const char* key : {"FillImage", "ObjectMask"}) {
        const QByteArray data = d.value(key).toByteArray();
        EXPECT_TRUE(data.startsWith("II*") || data.startsWith("MM")) << key;
        ASSERT_TRUE(platform::Image::fromData(data)) << key;
    }
    EXPECT_TRUE(d.value("MaskImage").toByteArray().startsWith("\x89PNG"));
    g->setImageFilePath(QStringLiteral("/pictures/a.png"), LBGraphic::FillImageType);
    d = g->propertyListRepresentation();
    EXPECT_EQ(d.value("FillImageFilePath"), "/pictures/a.png");
    EXPECT_FALSE(d.contains("FillImage"));

    // A photo placeholder still showing its prompt leaves out its stock picture; other
    // placeholders keep their picture.
    auto photo = std::make_shared<LBGraphic>();
    photo->setIsPlaceholder(true);
    photo->setDrawPlaceholderText(true);
    photo->setPlaceholderTypeString(QStringLiteral("Photo"));
    ASSERT_TRUE(photo->imageOfType(LBGraphic::FillImageType));
    EXPECT_FALSE(photo->propertyListRepresentation().contains("FillImage"));
    photo->setPlaceholderTypeString(QStringLiteral("Text+Image"));
    EXPECT_TRUE(photo->propertyListRepresentation().contains("FillImage"));
}

TEST(LBGraphicPropertyList, RepeatedNumbersAreWrittenAsTheirOwnText)
{
    // Texts of values met before are reused: each must still be its own value's, through
    // repeats, values of the same printed text, zero and negative zero, and more values
    // than are kept.
    auto g = std::make_shared<LBGraphic>();
    for (int i = 0; i < 2000; ++i) {
        const double turn = i % 5 == 0 ? -0.0 : i % 5 == 1 ? 0.0 : i % 5 == 2 ? 0.004 : i * 0.37;
        const QRectF bounds(i % 3 == 0 ? -0.0 : i % 300, 2, 10 + i % 700, 5);
        g->setRotation(turn);
        g->setBounds(bounds);
        g->setLineDash({3, 1, 0, 0}, i % 40);
        g->setBrightness(i % 2 ? -0.0 : i * 0.001);
        const QVariantMap d = g->propertyListRepresentation();
        ASSERT_EQ(d.value("Rotation"), platform::format2f(g->rotation())) << i;
        ASSERT_EQ(d.value("Bounds"), platform::stringFromRect(g->bounds().translated(-QPointF())))
            << i;
        ASSERT_EQ(d.value("LineDashCount"), QString::number(i % 40)) << i;
        ASSERT_EQ(d.value("Brightness"), platform::format6f(g->brightness())) << i;
    }
}

TEST(LBGraphicPropertyList, VectorPicturesAreStoredAsTheirOwnBytes)
{
    // A small PDF, and an EPS that cannot be drawn here: both kept exactly.
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageSize(
            QPageSize(QSizeF(40, 20), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        painter.fillRect(QRectF(0, 0, 20, 20), Qt::red);
    }
    const QByteArray eps(
        "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 30 10\nthis is no PostScript\n");
    for (const QByteArray& data : {pdf, eps}) {
        const auto g = std::make_shared<LBGraphic>();
        g->setImage(platform::Image::fromData(data), LBGraphic::FillImageType);
        ASSERT_TRUE(g->imageOfType(LBGraphic::FillImageType));
        EXPECT_EQ(g->propertyListRepresentation().value("FillImage"), data);
        const auto back =
            LBGraphic::graphicWithPropertyListRepresentation(graphic({{"FillImage", data}}));
        ASSERT_TRUE(back && back->imageOfType(LBGraphic::FillImageType));
        EXPECT_EQ(back->imageOfType(LBGraphic::FillImageType)->representationKind(),
                  g->imageOfType(LBGraphic::FillImageType)->representationKind());
        EXPECT_EQ(back->propertyListRepresentation().value("FillImage"), data);
    }
}

TEST(LBGraphicPropertyList, ANewPictureReplacesDataThatCouldNotBeRead)
{
    MessageLog log;
    const auto g =
        LBGraphic::graphicWithPropertyListRepresentation(graphic({{"FillImage", garbage}}));
    ASSERT_TRUE(g);
    // A copy carries the data too.
    EXPECT_EQ(g->copy()->propertyListRepresentation().value("FillImage"), garbage);
    g->setImage(platform::Image::fromData(tiffData(Qt::red)), LBGraphic::FillImageType);
    const QByteArray written = g->propertyListRepresentation().value("FillImage").toByteArray();
    EXPECT_NE(written, garbage);
    ASSERT_TRUE(platform::Image::fromData(written));
    EXPECT_EQ(platform::Image::fromData(written)->bitmap().pixelColor(0, 0), QColor(Qt::red));
}
