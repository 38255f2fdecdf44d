// Stored graphics of every registered class: a graphic with every key away from its default
// writes, reads and writes again to the same bytes; the shapes' own keys; and damaged or
// cut-off graphics lists load what they can without losing anything else or crashing.

#include "MessageLog.h"
#include "ShapeTestSupport.h"
#include "TestFont.h"

#include "platform/core/Archive.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyList.h"
#include "platform/text/AttributedString.h"
#include "shapes/LBModifiedShape.h"

#include <QHash>
#include <QImage>

#include <gtest/gtest.h>

#include <numbers>
#include <random>

using platform::Archive;
using platform::PropertyList;

namespace {

QByteArray colorData(const QColor& color)
{
    return Archive::archivedDataWithColor(color);
}

QByteArray tiffData(const QColor& color)
{
    QImage bitmap(5, 4, QImage::Format_ARGB32);
    bitmap.fill(color);
    bitmap.setPixelColor(1, 2, Qt::white);
    return platform::Image::fromBitmap(bitmap, QSizeF(5, 4))->TIFFRepresentationUsingLZW();
}

QByteArray pngData()
{
    QImage bitmap(3, 2, QImage::Format_ARGB32);
    bitmap.fill(QColor(200, 100, 50, 255));
    return platform::Image::fromBitmap(bitmap, QSizeF(3, 2))->pngData();
}

// A text with a merge field in it.
platform::AttributedString fieldText()
{
    platform::AttributedString text(
        QStringLiteral("Dear First,"),
        {{platform::FontAttributeName, testFont(14)},
         {platform::ForegroundColorAttributeName, QColor(Qt::darkRed)}});
    text.addAttribute(LBQFieldAttributeName,
                      QVariantMap{{"LBIdentityFieldIndex", qint64(2)}, {"IncludeZeros", "YES"}},
                      platform::Range(5, 5));
    return text;
}

// Every key of every graphic class with a value away from the defaults.
QVariantMap everyKey(const QString& className)
{
    platform::BezierPath path;
    path.moveTo({0, 0});
    path.curveTo({60, 40}, {30, 0}, {60, 10});
    path.lineTo({0, 40});
    path.closePath();
    path.setWindingRule(platform::BezierPath::WindingRule::EvenOdd);

    const QVariantList effects{
        QVariantMap{{"effect", qint64(3)},
                    {"modifier0", qint64(30)},
                    {"colorData", colorData(QColor(10, 200, 30))}},
        QVariantMap{{"effect", qint64(8)},
                    {"modifier0", qint64(40)},
                    {"modifier1", qint64(55)},
                    {"location0", "{0.25, 0.75}"}},
    };
    return QVariantMap{
        {"Class", className},
        // Graphic.
        {"Bounds", "{{12, 34}, {120, 80}}"},
        {"FillColor", colorData(Qt::red)},
        {"FillColor2", colorData(Qt::blue)},
        {"FillType", "2"},
        {"StrokeColor", colorData(Qt::green)},
        {"StrokeLineWidth", "2.50"},
        {"DrawsStroke", "YES"},
        {"Rotation", "12.35"},
        {"FlippedHorizontally", "YES"},
        {"FlippedVertically", "YES"},
        {"GroupRotation", "5.00"},
        {"LineDashCount", "2"},
        {"LineDashPattern", "{{3, 1}, {0, 0}}"},
        {"ShadowOn", "NO"},
        {"ShadowType", "2"},
        {"ShadowHeight", "4"},
        {"ShadowRadius", "6"},
        {"ShadowAzimuth", "45"},
        {"ShadowAlpha", "0.60"},
        {"ShadowColor", colorData(Qt::darkBlue)},
        {"GraphicAlpha", "0.80"},
        {"FillImage", tiffData(Qt::darkCyan)},
        {"ObjectMask", tiffData(Qt::gray)},
        {"ImageMask", tiffData(Qt::black)},
        {"MaskImage", pngData()},
        {"OrigCropImageBounds", "{{1, 2}, {3, 4}}"},
        {"OrigCropGraphicBounds", "{{5, 6}, {7, 8}}"},
        {"FillImageScaling", "1"},
        {"FillImageTransparency", "0.70"},
        {"FillImageRotation", "15.00"},
        {"FillImageFlippedHorizontally", "YES"},
        {"FillImageFlippedVertically", "YES"},
        {"OrigShapeRotation", "25.00"},
        {"OrigShapeFlippedHorizontally", "YES"},
        {"OrigShapeFlippedVertically", "YES"},
        {"GradientAngle", "30.00"},
        {"GradientCenter", "0.40"},
        {"GradientCenterSize", "0.30"},
        {"Locked", "YES"},
        {"IsGrouped", "YES"},
        {"GroupedChildrenCount", "2"},
        {"GroupBounds", "{{0, 0}, {300, 200}}"},
        {"ConstrainProportions", "YES"},
        {"IsPlaceholder", "YES"},
        {"DrawsPlaceholderText", "YES"},
        {"PlaceholderSizeRatio", "1.250000"},
        {"PlaceholderLabel", "Your logo \u00e9"},
        {"PlaceholderLabelPosition", "3"},
        {"PlaceholderLabelIsVertical", "YES"},
        {"PlaceholderType", "Text+Image"},
        {"HidePlaceholderOutline", "YES"},
        {"PlaceholderColor", colorData(Qt::yellow)},
        {"PlaceholderPatternIndex", qint64(2)},
        {"PlaceholderImageIndex", qint64(3)},
        {"PlaceholderLabelColor", colorData(Qt::magenta)},
        {"Brightness", "10.000000"},
        {"Contrast", "-20.000000"},
        {"Saturation", "30.000000"},
        {"Hue", "40.000000"},
        {"Sharpness", "50.000000"},
        {"Exposure", "60.000000"},
        {"EffectsArray", effects},
        {"LBColorMaskType", "2"},
        {"LBColorMaskSize", "40"},
        {"LBColorMaskSoftness", "5"},
        {"LBColorMaskOpacity", "70"},
        {"LBColorMaskOffset", "8"},
        {"LBColorMaskAngle", "45"},
        {"LBReflectionEnabled", "YES"},
        {"LBReflectionTransparency", "0.40"},
        {"LBReflectionHeight", "0.30"},
        {"LBReflectionHOffset", "0.10"},
        {"LBReflectionVOffset", "0.20"},
        // Text area.
        {"Text", Archive::archivedDataWithAttributedString(fieldText())},
        {"TextResizeMask", "17"},
        {"HorizontalAlignment", "1"},
        {"VerticalAlignment", "2"},
        {"TextBoxType", "1"},
        {"EditedTextArray", Archive::archivedDataWithArray(
                                {QVariantMap{{"EditedText", QVariant::fromValue(fieldText())},
                                             {"EditedTextLabelIndex", qint64(3)}}})},
        {"AddressIndexArray",
         Archive::archivedDataWithArray(
             {QVariantMap{{"AddressIndex", qint64(1)}, {"EditedTextContactUID", "ab-12"}}})},
        {"TextIsCurved", "YES"},
        {"TextIsSpiral", "YES"},
        {"TextDrawsOnInsideOfCurve", "YES"},
        {"TextCurveStartingAngle", "90"},
        {"TextSpiralRate", "0.300000"},
        {"TextGradientType", "2"},
        {"TextGradientColor1", colorData(Qt::red)},
        {"TextGradientColor2", colorData(Qt::green)},
        {"TextGradientCenter", "0.40"},
        {"TextGradientCenterSize", "0.20"},
        {"TextGradientAngle", "60.00"},
        // Shapes.
        {"ShapeWithTextXLoc", "0.250000"},
        {"ShapeWithTextReverse", "YES"},
        {"ShapeModifier1", "100.000000"},
        {"ShapeModifier2", "100.000000"},
        {"AlternateShape", "1"},
        {"ArrowHeadAngle", "90"},
        {"TriangleAngle", "180"},
        {"RightTriangleAngle", "270"},
        {"LBBezierPath", Archive::archivedDataWithBezierPath(path)},
        {"OrigBounds", "{{0, 0}, {60, 40}}"},
        // Lines and curves.
        {"LineAngle", "45"},
        {"LineStartsAtLowerLeft", "YES"},
        {"LineArrow1Type", "3"},
        {"LineArrow2Type", "10"},
        {"LineArrow1Size", "1.500000"},
        {"LineArrow2Size", "2.000000"},
        {"ControlPoints", QVariantList{"{0, 0.5}", "{0.5, 0}", "{1, 1}"}},
        {"ModifierRects",
         QVariantList{"{{0, 0.5}, {0.1, 0.4}}", "{{0.3, 0}, {0.7, 0}}", "{{1, 1}, {1, 1}}"}},
        {"ClosedPath", "YES"},
        // Images and barcodes.
        {"ImageType", "8"},
        {"LazyImagePathKey", "/Kits/Paper \u00e9/Blue.png"},
        {"BarcodeType", "12"},
        {"BarcodeDataSource", "1"},
        {"BarcodeDataString", "A40156B"},
        {"BarcodeABFieldIndex", "3"},
        {"BarcodeImportFieldIndex", "7"},
    };
}

// The text form of what a graphic writes, as documents and the pasteboard keep it.
QByteArray stored(const LBGraphic& graphic)
{
    return PropertyList::toText(graphic.propertyListRepresentation());
}

std::shared_ptr<LBGraphic> loaded(const QByteArray& text)
{
    const std::optional<QVariant> dictionary = PropertyList::fromText(text);
    if (!dictionary)
        return nullptr;
    return LBGraphic::graphicWithPropertyListRepresentation(dictionary->toMap());
}

QStringList graphicClasses()
{
    registerShapeClasses();
    return platform::ClassRegistry<LBGraphic>::classNames();
}

} // namespace

TEST(GraphicPropertyList, EveryClassWritesReadsAndWritesAgainTheSameBytes)
{
    const QStringList classes = graphicClasses();
    // LBGraphic and its 34 subclasses.
    EXPECT_EQ(classes.size(), 35);
    // Keys whose value cannot be away from the default of every class: the name; the stroke
    // flag, which text areas start without and other graphics with; the shadow flag, "NO"
    // for every shadow kind but 1 (the kind is "ShadowType"); the modifiers, which stay 0
    // in classes that have none; keeping proportions, which image graphics start with.
    const QStringList sameAsDefault{"Class",          "DrawsStroke",    "ShadowOn",
                                    "ShapeModifier1", "ShapeModifier2", "ConstrainProportions"};
    MessageLog log;

    for (const QString& name : classes) {
        SCOPED_TRACE(name.toStdString());
        const QVariantMap keys = everyKey(name);
        const std::shared_ptr<LBGraphic> first =
            LBGraphic::graphicWithPropertyListRepresentation(keys);
        ASSERT_TRUE(first);
        EXPECT_EQ(first->graphicType(), name);

        // Every key the class writes holds a value its defaults do not, pictures and text
        // included.
        const QVariantMap written = first->propertyListRepresentation();
        const QVariantMap defaults =
            platform::ClassRegistry<LBGraphic>::create(name)->propertyListRepresentation();
        for (auto it = written.cbegin(); it != written.cend(); ++it) {
            if (keys.contains(it.key()) && !sameAsDefault.contains(it.key())) {
                EXPECT_NE(it.value(), defaults.value(it.key())) << it.key().toStdString();
            }
        }
        QStringList expected{"FillImage", "ObjectMask", "ImageMask", "MaskImage", "ShadowType"};
        if (dynamic_cast<LBTextArea*>(first.get()))
            expected += {"Text", "EditedTextArray", "AddressIndexArray"};
        for (const QString& key : expected)
            EXPECT_TRUE(written.contains(key)) << key.toStdString();

        const QByteArray bytes = stored(*first);
        const std::shared_ptr<LBGraphic> second = loaded(bytes);
        ASSERT_TRUE(second);
        EXPECT_EQ(stored(*second), bytes);
    }
    EXPECT_TRUE(log.messages.isEmpty()) << log.messages.join('\n').toStdString();
}

namespace {

QVariantMap ofClass(const char* name, QVariantMap keys = {})
{
    keys.insert(QStringLiteral("Class"), QString::fromLatin1(name));
    return keys;
}

template <typename T>
std::shared_ptr<T> load(const QVariantMap& dictionary)
{
    graphicClasses();
    return std::dynamic_pointer_cast<T>(
        LBGraphic::graphicWithPropertyListRepresentation(dictionary));
}

} // namespace

TEST(GraphicPropertyList, ShapesOwnKeys)
{
    MessageLog log;
    // A class alone: every default of the class; "Rectangle" without the prefix too.
    const auto rectangle = load<LBShape>(ofClass("Rectangle"));
    ASSERT_TRUE(rectangle);
    EXPECT_EQ(rectangle->graphicType(), "LBRectangle");
    EXPECT_EQ(
        rectangle->propertyListRepresentation(),
        platform::ClassRegistry<LBGraphic>::create("LBRectangle")->propertyListRepresentation());
    EXPECT_TRUE(rectangle->drawsStroke() == false && !rectangle->isShapeWithText());

    // The text's start and direction; a shape is no old text box, whatever its fill.
    const auto shape = load<LBShape>(ofClass("LBShape", {{"ShapeWithTextXLoc", "0.500000"},
                                                         {"ShapeWithTextReverse", "YES"},
                                                         {"FillType", "2"},
                                                         {"DrawsBackgroundColor", "YES"}}));
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->shapeWithTextXLoc(), 0.5);
    EXPECT_TRUE(shape->shapeWithTextReverse());
    EXPECT_EQ(shape->fillType(), 2);
    EXPECT_EQ(shape->textGradientType(), 0);

    // A variant keeps the modifiers stored with it; stored values load clamped; missing
    // ones keep the class defaults.
    const auto star = load<LBModifiedShape>(
        ofClass("LBStarPolygon", {{"ShapeModifier1", "7.000000"}, {"AlternateShape", "1"}}));
    ASSERT_TRUE(star);
    EXPECT_EQ(star->alternateShape(), 1);
    EXPECT_EQ(star->modifier1(), 7.0);
    EXPECT_EQ(star->modifier2(), 0.6 / std::numbers::pi); // the variant's, none stored
    const auto polygon = load<LBModifiedShape>(ofClass("LBPolygon", {{"ShapeModifier1", "99.0"}}));
    EXPECT_EQ(polygon->modifier1(), 13.0);
    const auto gear = load<LBModifiedShape>(ofClass("LBGear"));
    EXPECT_EQ(gear->modifier1(), 5.0);
    EXPECT_EQ(gear->modifier2(), 0.5);
    EXPECT_EQ(gear->alternateShape(), 0);
    EXPECT_TRUE(log.messages.isEmpty());

    // A free path: its archived path and original bounds; path data that does not decode
    // leaves no path, and a missing original size leaves the path unstretched.
    platform::BezierPath path;
    path.moveTo({0, 0});
    path.lineTo({10, 5});
    const auto free = load<LBShape>(
        ofClass("LBBezierPath", {{"LBBezierPath", Archive::archivedDataWithBezierPath(path)},
                                 {"Bounds", "{{100, 100}, {40, 40}}"}}));
    ASSERT_TRUE(free);
    EXPECT_EQ(elementsText(free->shapeBezierPath()), "M 100 100 L 110 105");
    const auto broken =
        load<LBShape>(ofClass("LBBezierPath", {{"LBBezierPath", QByteArray("M 0 0")}}));
    ASSERT_TRUE(broken);
    EXPECT_FALSE(broken->shapeBezierPath());
    EXPECT_TRUE(log.contains("\"LBBezierPath\" of LBBezierPath is not an archived path"));

    // A triangle stored at an angle it does not know keeps it, to be written back.
    const auto triangle = load<LBShape>(ofClass("LBTriangle", {{"TriangleAngle", "45"}}));
    ASSERT_TRUE(triangle);
    EXPECT_EQ(triangle->propertyListRepresentation().value("TriangleAngle"), "45");
}

TEST(GraphicPropertyList, DamagedOrCutOffGraphicsListsLoadWhatTheyCan)
{
    // A graphics list of graphics of several classes, as the document stores it.
    const QStringList classes = graphicClasses();
    QVariantList list;
    for (qsizetype i = 0; i < classes.size(); i += 8)
        list.append(LBGraphic::graphicWithPropertyListRepresentation(everyKey(classes[i]))
                        ->propertyListRepresentation());
    ASSERT_GE(list.size(), 4);
    const QByteArray text = PropertyList::toText(list);
    MessageLog log;

    // Cut off anywhere, the list is refused with a clear error. (Cut to nothing, it is an
    // empty text, which reads as an empty string table.)
    for (qsizetype n = 1; n < text.size(); n += 1 + text.size() / 80) {
        QString error;
        EXPECT_FALSE(PropertyList::fromText(text.left(n), &error)) << n;
        EXPECT_FALSE(error.isEmpty());
    }

    // Garbled anywhere, whatever still reads loads without harm.
    std::mt19937 random(11);
    const QByteArray replacements("{}()<>\";=,0x \\");
    int read = 0;
    for (int i = 0; i < 100; ++i) {
        QByteArray damaged = text;
        damaged[random() % damaged.size()] = replacements[random() % replacements.size()];
        const std::optional<QVariant> value = PropertyList::fromText(damaged);
        if (!value)
            continue;
        ++read;
        for (const QVariant& entry : value->toList()) {
            if (const auto graphic =
                    LBGraphic::graphicWithPropertyListRepresentation(entry.toMap())) {
                graphic->propertyListRepresentation();
                graphic->bezierPath();
            }
        }
    }
    EXPECT_GT(read, 0);

    // Any one value damaged or of the wrong kind: logged, and every other key loads as it
    // was stored, but for those that count only with the damaged one.
    const QHash<QString, QStringList> countOnlyWith{
        {"TextGradientType",
         {"TextGradientColor1", "TextGradientColor2", "TextGradientCenter",
          "TextGradientCenterSize", "TextGradientAngle"}},
        {"PlaceholderType", {"FillImage"}},   // a photo placeholder without type leaves it out
        {"ControlPoints", {"ModifierRects"}}, // handles without their points are passed over
    };
    for (const QVariant& stored : list) {
        const QVariantMap good = stored.toMap();
        for (auto key = good.cbegin(); key != good.cend(); ++key) {
            // A value of the wrong kind, and damaged data or data where text is due.
            const QByteArray data = key->toByteArray();
            const QVariantList values{QVariantMap{{"x", "1"}},
                                      key->typeId() == QMetaType::QByteArray
                                          ? data.left(data.size() / 2)
                                          : QByteArray("\x01junk")};
            for (const QVariant& value : values) {
                SCOPED_TRACE((good.value("Class").toString() + " " + key.key()).toStdString());
                QVariantMap damaged = good;
                damaged.insert(key.key(), value);
                log.messages.clear();
                const auto graphic = LBGraphic::graphicWithPropertyListRepresentation(damaged);
                EXPECT_FALSE(log.messages.isEmpty());
                if (key.key() == "Class") {
                    EXPECT_FALSE(graphic);
                    continue;
                }
                ASSERT_TRUE(graphic);
                const QVariantMap written = graphic->propertyListRepresentation();
                for (auto other = good.cbegin(); other != good.cend(); ++other) {
                    if (other.key() != key.key()
                        && !countOnlyWith.value(key.key()).contains(other.key())) {
                        EXPECT_EQ(written.value(other.key()), other.value())
                            << other.key().toStdString();
                    }
                }
            }
        }
    }
}
