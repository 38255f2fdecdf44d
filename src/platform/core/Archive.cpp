#include "platform/core/Archive.h"

#include "platform/core/PropertyList.h"
#include "platform/core/PropertyListTree.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/BezierPath.h"
#include "platform/drawing/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/PrintInfo.h"

#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QLocale>
#include <QStringList>
#include <QVarLengthArray>
#include <QVariantHash>
#include <QVariantMap>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace platform {

namespace {

constexpr qint64 archiveVersion = 1;

const QString archiveKey = QStringLiteral("archive");
const QString rootKey = QStringLiteral("root");
const QString typeKey = QStringLiteral("type");
const QString valueKey = QStringLiteral("value");
const QString itemsKey = QStringLiteral("items");
const QString spaceKey = QStringLiteral("space");
const QString componentsKey = QStringLiteral("components");
const QString alphaKey = QStringLiteral("alpha");
const QString familyKey = QStringLiteral("family");
const QString faceKey = QStringLiteral("face");
const QString weightKey = QStringLiteral("weight");
const QString styleKey = QStringLiteral("style");
const QString sizeKey = QStringLiteral("size");
const QString pixelsKey = QStringLiteral("pixels");
const QString alignmentKey = QStringLiteral("alignment");
const QString directionKey = QStringLiteral("direction");
const QString lineBreakKey = QStringLiteral("line-break");
const QString lineSpacingKey = QStringLiteral("line-spacing");
const QString firstLineHeadIndentKey = QStringLiteral("first-line-head-indent");
const QString headIndentKey = QStringLiteral("head-indent");
const QString tailIndentKey = QStringLiteral("tail-indent");
const QString lineHeightMultipleKey = QStringLiteral("line-height-multiple");
const QString paragraphSpacingKey = QStringLiteral("paragraph-spacing");
const QString widthKey = QStringLiteral("width");
const QString heightKey = QStringLiteral("height");
const QString blurKey = QStringLiteral("blur");
const QString colorKey = QStringLiteral("color");
const QString stringKey = QStringLiteral("string");
const QString runsKey = QStringLiteral("runs");
const QString lengthKey = QStringLiteral("length");
const QString attributesKey = QStringLiteral("attributes");
const QString elementsKey = QStringLiteral("elements");
const QString lineWidthKey = QStringLiteral("line-width");
const QString lineCapKey = QStringLiteral("line-cap");
const QString lineJoinKey = QStringLiteral("line-join");
const QString miterLimitKey = QStringLiteral("miter-limit");
const QString flatnessKey = QStringLiteral("flatness");
const QString windingRuleKey = QStringLiteral("winding-rule");
const QString dashKey = QStringLiteral("dash");
const QString dashPhaseKey = QStringLiteral("dash-phase");
const QString paperNameKey = QStringLiteral("paper-name");
const QString paperWidthKey = QStringLiteral("paper-width");
const QString paperHeightKey = QStringLiteral("paper-height");
const QString orientationKey = QStringLiteral("orientation");
const QString printerKey = QStringLiteral("printer");

// An entry's fields as they are written, and as they are read: straight from the tree of
// the archive's property list, with no QVariant made of any container.
using Fields = QVariantMap;
using Entry = PropertyListTree::Value;

std::optional<Fields> encodeEntry(const QVariant& value);
std::optional<QVariant> decodeEntry(const Entry& entry);

// Calls take(key, value) for each entry of a dictionary, once a key: where the document
// repeats a key, only for its last value, as a QVariantMap keeps it. Stops at, and
// returns, the first false that take returns.
template <typename Take>
bool forEachEntry(const Entry& dictionary, Take take)
{
    // Writers sort the keys, and then none repeats.
    const QString* previous = nullptr;
    bool sorted = true;
    for (const Entry entry : dictionary) {
        if (previous && !(*previous < entry.key())) {
            sorted = false;
            break;
        }
        previous = &entry.key();
    }
    if (sorted) {
        for (const Entry entry : dictionary) {
            if (!take(entry.key(), entry))
                return false;
        }
        return true;
    }
    std::map<QString, Entry> entries;
    for (const Entry entry : dictionary)
        entries.insert_or_assign(entry.key(), entry);
    for (const auto& [key, entry] : entries) {
        if (!take(key, entry))
            return false;
    }
    return true;
}

// --- plain property-list values ------------------------------------------------------

bool isPlainValue(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::Bool: return true;
    case QMetaType::QDateTime: return value.toDateTime().isValid();
    default: return isNumberType(value.typeId());
    }
}

std::optional<Fields> encodePlainValue(const QVariant& value)
{
    if (value.typeId() == QMetaType::Float)
        return Fields{{valueKey, double(value.toFloat())}};
    return Fields{{valueKey, value}};
}

std::optional<QVariant> decodePlainValue(const Entry& fields)
{
    const Entry value = fields.value(valueKey);
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::Bool:
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::QDateTime: return value.scalar();
    default: return std::nullopt;
    }
}

// --- arrays and dictionaries ---------------------------------------------------------

bool isArray(const QVariant& value)
{
    return value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList;
}

std::optional<Fields> encodeArray(const QVariant& value)
{
    QVariantList items;
    for (const QVariant& element : value.toList()) {
        std::optional<Fields> entry = encodeEntry(element);
        if (!entry)
            return std::nullopt;
        items.append(*entry);
    }
    return Fields{{itemsKey, items}};
}

std::optional<QVariant> decodeArray(const Entry& fields)
{
    const Entry items = fields.value(itemsKey);
    if (items.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QVariantList list;
    list.reserve(items.count());
    for (const Entry item : items) {
        std::optional<QVariant> element = decodeEntry(item);
        if (!element)
            return std::nullopt;
        list.append(*element);
    }
    return list;
}

bool isDictionary(const QVariant& value)
{
    return value.typeId() == QMetaType::QVariantMap || value.typeId() == QMetaType::QVariantHash;
}

std::optional<Fields> encodeDictionary(const QVariant& value)
{
    QVariantMap items;
    const QVariantMap map = value.toMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        std::optional<Fields> entry = encodeEntry(it.value());
        if (!entry)
            return std::nullopt;
        items.insert(it.key(), *entry);
    }
    return Fields{{itemsKey, items}};
}

// Decodes the entries of a dictionary into map; false when one does not decode.
bool decodeEntries(const Entry& dictionary, QVariantMap& map)
{
    return forEachEntry(dictionary, [&map](const QString& key, const Entry& entry) {
        std::optional<QVariant> element = decodeEntry(entry);
        if (!element)
            return false;
        map.insert(key, std::move(*element));
        return true;
    });
}

std::optional<QVariant> decodeDictionary(const Entry& fields)
{
    const Entry items = fields.value(itemsKey);
    QVariantMap map;
    if (items.typeId() != QMetaType::QVariantMap || !decodeEntries(items, map))
        return std::nullopt;
    return map;
}

// --- colours -------------------------------------------------------------------------

// Largest finite magnitude of the half floats an extended-range QColor keeps.
constexpr double extendedLimit = 65504.0;

bool isColor(const QVariant& value)
{
    return value.typeId() == QMetaType::QColor && value.value<QColor>().isValid();
}

std::optional<Fields> encodeColor(const QVariant& value)
{
    const QColor color = value.value<QColor>();
    QString space;
    QList<float> components;
    switch (color.spec()) {
    case QColor::Rgb: {
        const QRgba64 rgba = color.rgba64();
        if (rgba.red() == rgba.green() && rgba.green() == rgba.blue()) {
            space = QStringLiteral("grey");
            components = {color.redF()};
        } else {
            space = QStringLiteral("rgb");
            components = {color.redF(), color.greenF(), color.blueF()};
        }
        break;
    }
    case QColor::ExtendedRgb:
        space = QStringLiteral("extended-rgb");
        components = {color.redF(), color.greenF(), color.blueF()};
        break;
    case QColor::Cmyk:
        space = QStringLiteral("cmyk");
        components = {color.cyanF(), color.magentaF(), color.yellowF(), color.blackF()};
        break;
    case QColor::Hsv:
        space = QStringLiteral("hsv");
        components = {color.hsvHueF(), color.hsvSaturationF(), color.valueF()};
        break;
    case QColor::Hsl:
        space = QStringLiteral("hsl");
        components = {color.hslHueF(), color.hslSaturationF(), color.lightnessF()};
        break;
    case QColor::Invalid: return std::nullopt;
    }
    QVariantList list;
    for (float component : std::as_const(components))
        list.append(double(component));
    return Fields{{spaceKey, space}, {componentsKey, list}, {alphaKey, double(color.alphaF())}};
}

std::optional<double> number(const Entry& value)
{
    if (value.typeId() != QMetaType::Double && value.typeId() != QMetaType::LongLong)
        return std::nullopt;
    const double number = value.scalar().toDouble();
    if (!std::isfinite(number))
        return std::nullopt;
    return number;
}

bool inUnitRange(double value)
{
    return value >= 0.0 && value <= 1.0;
}

std::optional<QVariant> decodeColor(const Entry& fields)
{
    const Entry spaceValue = fields.value(spaceKey);
    const QString& space = spaceValue.string();
    const Entry componentsValue = fields.value(componentsKey);
    const std::optional<double> alpha = number(fields.value(alphaKey));
    if (spaceValue.typeId() != QMetaType::QString
        || componentsValue.typeId() != QMetaType::QVariantList || !alpha || !inUnitRange(*alpha))
        return std::nullopt;
    QVarLengthArray<float, 4> c;
    for (const Entry component : componentsValue) {
        const std::optional<double> value = number(component);
        if (!value)
            return std::nullopt;
        c.append(float(*value));
    }
    const auto a = float(*alpha);
    const auto unit = [&c](qsizetype from) {
        return std::all_of(c.cbegin() + from, c.cend(), [](float v) { return inUnitRange(v); });
    };
    const auto hue = [&c] { return c[0] == -1.0f || inUnitRange(c[0]); };

    if (space == QLatin1String("grey") && c.size() == 1 && unit(0))
        return QColor::fromRgbF(c[0], c[0], c[0], a);
    if (space == QLatin1String("rgb") && c.size() == 3 && unit(0))
        return QColor::fromRgbF(c[0], c[1], c[2], a);
    if (space == QLatin1String("extended-rgb") && c.size() == 3
        && std::all_of(c.cbegin(), c.cend(),
                       [](float v) { return std::abs(v) <= extendedLimit; })) {
        QColor color(QColor::ExtendedRgb);
        color.setRgbF(c[0], c[1], c[2], a);
        return color;
    }
    if (space == QLatin1String("cmyk") && c.size() == 4 && unit(0))
        return QColor::fromCmykF(c[0], c[1], c[2], c[3], a);
    if (space == QLatin1String("hsv") && c.size() == 3 && hue() && unit(1))
        return QColor::fromHsvF(c[0], c[1], c[2], a);
    if (space == QLatin1String("hsl") && c.size() == 3 && hue() && unit(1))
        return QColor::fromHslF(c[0], c[1], c[2], a);
    return std::nullopt;
}

// --- fonts ---------------------------------------------------------------------------

bool isFont(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<QFont>();
}

std::optional<Fields> encodeFont(const QVariant& value)
{
    const QFont font = value.value<QFont>();
    Fields fields{{familyKey, font.family()},
                  {faceKey, font.styleName()},
                  {weightKey, qint64(font.weight())},
                  {styleKey, qint64(font.style())}};
    if (font.pointSizeF() > 0)
        fields.insert(sizeKey, font.pointSizeF());
    else if (font.pixelSize() > 0)
        fields.insert(pixelsKey, qint64(font.pixelSize()));
    else
        return std::nullopt;
    return fields;
}

std::optional<qint64> integer(const Entry& value, qint64 minimum, qint64 maximum)
{
    if (value.typeId() != QMetaType::LongLong)
        return std::nullopt;
    const qint64 number = value.scalar().toLongLong();
    if (number < minimum || number > maximum)
        return std::nullopt;
    return number;
}

std::optional<QVariant> decodeFont(const Entry& fields)
{
    const Entry family = fields.value(familyKey);
    const Entry face = fields.value(faceKey);
    const std::optional<qint64> weight = integer(fields.value(weightKey), 1, 1000);
    const std::optional<qint64> style =
        integer(fields.value(styleKey), QFont::StyleNormal, QFont::StyleOblique);
    if (family.typeId() != QMetaType::QString || face.typeId() != QMetaType::QString || !weight
        || !style)
        return std::nullopt;
    // Exactly this family: the constructor would split a name at commas.
    QFont font;
    font.setFamilies({family.string()});
    if (!face.string().isEmpty())
        font.setStyleName(face.string());
    font.setWeight(QFont::Weight(*weight));
    font.setStyle(QFont::Style(*style));
    if (fields.contains(sizeKey)) {
        // QFont keeps point sizes as doubles; anything beyond the layout's limits is
        // clipped by the text system, but a size must be a size.
        const std::optional<double> size = number(fields.value(sizeKey));
        if (!size || *size <= 0 || *size > 1e6 || fields.contains(pixelsKey))
            return std::nullopt;
        font.setPointSizeF(*size);
    } else {
        const std::optional<qint64> pixels = integer(fields.value(pixelsKey), 1, 1000000);
        if (!pixels)
            return std::nullopt;
        font.setPixelSize(int(*pixels));
    }
    return font;
}

// --- paragraph styles ----------------------------------------------------------------

bool isParagraphStyle(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<ParagraphStyle>();
}

std::optional<Fields> encodeParagraphStyle(const QVariant& value)
{
    const auto style = value.value<ParagraphStyle>();
    Fields fields{{alignmentKey, qint64(style.alignment)},
                  {directionKey, qint64(style.baseWritingDirection)},
                  {lineBreakKey, qint64(style.lineBreakMode)},
                  {lineSpacingKey, double(style.lineSpacing)},
                  {firstLineHeadIndentKey, double(style.firstLineHeadIndent)},
                  {headIndentKey, double(style.headIndent)},
                  {tailIndentKey, double(style.tailIndent)}};
    // Written only when set, so styles without them read and write as before.
    if (style.lineHeightMultiple != 0)
        fields.insert(lineHeightMultipleKey, double(style.lineHeightMultiple));
    if (style.paragraphSpacing != 0)
        fields.insert(paragraphSpacingKey, double(style.paragraphSpacing));
    return fields;
}

std::optional<QVariant> decodeParagraphStyle(const Entry& fields)
{
    using Style = ParagraphStyle;
    const std::optional<qint64> alignment =
        integer(fields.value(alignmentKey), qint64(Style::Alignment::Left),
                qint64(Style::Alignment::Natural));
    const std::optional<qint64> direction =
        integer(fields.value(directionKey), qint64(Style::WritingDirection::Natural),
                qint64(Style::WritingDirection::RightToLeft));
    const std::optional<qint64> lineBreak =
        integer(fields.value(lineBreakKey), qint64(Style::LineBreakMode::WordWrapping),
                qint64(Style::LineBreakMode::TruncatingMiddle));
    const std::optional<double> lineSpacing = number(fields.value(lineSpacingKey));
    const std::optional<double> firstLineHeadIndent = number(fields.value(firstLineHeadIndentKey));
    const std::optional<double> headIndent = number(fields.value(headIndentKey));
    const std::optional<double> tailIndent = number(fields.value(tailIndentKey));
    if (!alignment || !direction || !lineBreak || !lineSpacing || !firstLineHeadIndent
        || !headIndent || !tailIndent)
        return std::nullopt;
    Style style;
    style.alignment = Style::Alignment(*alignment);
    style.baseWritingDirection = Style::WritingDirection(*direction);
    style.lineBreakMode = Style::LineBreakMode(*lineBreak);
    style.lineSpacing = *lineSpacing;
    style.firstLineHeadIndent = *firstLineHeadIndent;
    style.headIndent = *headIndent;
    style.tailIndent = *tailIndent;
    for (const auto& [key, field] : {std::pair{lineHeightMultipleKey, &style.lineHeightMultiple},
                                     std::pair{paragraphSpacingKey, &style.paragraphSpacing}}) {
        if (!fields.contains(key))
            continue;
        const std::optional<double> value = number(fields.value(key));
        if (!value)
            return std::nullopt;
        *field = *value;
    }
    return QVariant::fromValue(style);
}

// --- text shadows --------------------------------------------------------------------

bool isShadow(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<Shadow>();
}

std::optional<Fields> encodeShadow(const QVariant& value)
{
    const auto shadow = value.value<Shadow>();
    Fields fields{{widthKey, double(shadow.offset.width())},
                  {heightKey, double(shadow.offset.height())},
                  {blurKey, double(shadow.blurRadius)}};
    if (shadow.color.isValid()) {
        std::optional<Fields> color = encodeEntry(shadow.color);
        if (!color)
            return std::nullopt;
        fields.insert(colorKey, *color);
    }
    return fields;
}

std::optional<QVariant> decodeShadow(const Entry& fields)
{
    const std::optional<double> width = number(fields.value(widthKey));
    const std::optional<double> height = number(fields.value(heightKey));
    const std::optional<double> blur = number(fields.value(blurKey));
    if (!width || !height || !blur)
        return std::nullopt;
    Shadow shadow;
    shadow.offset = QSizeF(*width, *height);
    shadow.blurRadius = *blur;
    shadow.color = QColor();
    if (fields.contains(colorKey)) {
        const std::optional<QVariant> color = decodeEntry(fields.value(colorKey));
        if (!color || color->typeId() != QMetaType::QColor)
            return std::nullopt;
        shadow.color = color->value<QColor>();
    }
    return QVariant::fromValue(shadow);
}

// --- print settings ------------------------------------------------------------------

bool isPrintInfo(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<PrintInfo>();
}

std::optional<Fields> encodePrintInfo(const QVariant& value)
{
    const auto printInfo = value.value<PrintInfo>();
    if (!std::isfinite(printInfo.paperSize().width())
        || !std::isfinite(printInfo.paperSize().height()))
        return std::nullopt;
    return Fields{{paperNameKey, printInfo.paperName()},
                  {paperWidthKey, printInfo.paperSize().width()},
                  {paperHeightKey, printInfo.paperSize().height()},
                  {orientationKey, qint64(printInfo.orientation())},
                  {printerKey, printInfo.printerName()}};
}

std::optional<QVariant> decodePrintInfo(const Entry& fields)
{
    const Entry paperName = fields.value(paperNameKey);
    const std::optional<double> width = number(fields.value(paperWidthKey));
    const std::optional<double> height = number(fields.value(paperHeightKey));
    const std::optional<qint64> orientation =
        integer(fields.value(orientationKey), PrintInfo::Portrait, PrintInfo::Landscape);
    const Entry printer = fields.value(printerKey);
    if (paperName.typeId() != QMetaType::QString || !width || !height || !orientation
        || printer.typeId() != QMetaType::QString)
        return std::nullopt;
    PrintInfo printInfo;
    printInfo.setPaperName(paperName.string());
    printInfo.setPaperSize(QSizeF(*width, *height));
    printInfo.setOrientation(PrintInfo::Orientation(*orientation));
    printInfo.setPrinterName(printer.string());
    return QVariant::fromValue(printInfo);
}

// --- attributed strings --------------------------------------------------------------

bool isAttributedString(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<AttributedString>();
}

std::optional<Fields> encodeAttributedString(const QVariant& value)
{
    const auto string = value.value<AttributedString>();
    QVariantList runs;
    bool failed = false;
    string.enumerateAttributesInRange(
        Range(0, string.length()),
        [&](const QVariantMap& attributes, const Range& range, bool& stop) {
            QVariantMap entries;
            for (auto it = attributes.cbegin(); it != attributes.cend(); ++it) {
                std::optional<Fields> entry = encodeEntry(it.value());
                if (!entry) {
                    failed = stop = true;
                    return;
                }
                entries.insert(it.key(), *entry);
            }
            runs.append(QVariantMap{{lengthKey, qint64(range.length)}, {attributesKey, entries}});
        });
    if (failed)
        return std::nullopt;
    return Fields{{stringKey, string.string()}, {runsKey, runs}};
}

std::optional<QVariant> decodeAttributedString(const Entry& fields)
{
    const Entry text = fields.value(stringKey);
    const Entry runs = fields.value(runsKey);
    if (text.typeId() != QMetaType::QString || runs.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    AttributedString string(text.string());
    qsizetype start = 0;
    for (const Entry run : runs) {
        if (run.typeId() != QMetaType::QVariantMap)
            return std::nullopt;
        const std::optional<qint64> length =
            integer(run.value(lengthKey), 1, string.length() - start);
        const Entry entries = run.value(attributesKey);
        QVariantMap attributes;
        if (!length || entries.typeId() != QMetaType::QVariantMap
            || !decodeEntries(entries, attributes))
            return std::nullopt;
        string.setAttributes(attributes, Range(start, *length));
        start += *length;
    }
    if (start != string.length())
        return std::nullopt;
    return QVariant::fromValue(string);
}

// --- Bezier paths ----------------------------------------------------------------------

bool isBezierPath(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<BezierPath>();
}

void appendNumber(QString& text, double number)
{
    text += QLatin1Char(' ');
    text += QString::number(number, 'g', QLocale::FloatingPointShortest);
}

QString elementsText(const BezierPath& path)
{
    QString text;
    for (const BezierPath::Element& element : path.elements()) {
        if (!text.isEmpty())
            text += QLatin1Char(' ');
        int points = 0;
        switch (element.type) {
        case BezierPath::ElementType::MoveTo:
            text += QLatin1Char('M');
            points = 1;
            break;
        case BezierPath::ElementType::LineTo:
            text += QLatin1Char('L');
            points = 1;
            break;
        case BezierPath::ElementType::CurveTo:
            text += QLatin1Char('C');
            points = 3;
            break;
        case BezierPath::ElementType::ClosePath: text += QLatin1Char('Z'); break;
        }
        for (int i = 0; i < points; ++i) {
            appendNumber(text, element.points[i].x());
            appendNumber(text, element.points[i].y());
        }
    }
    return text;
}

// Rebuilds the elements into path; false for text that is not an element list as
// elementsText() writes it.
bool readElements(const QString& text, BezierPath& path)
{
    if (text.isEmpty())
        return true;
    const QStringList tokens = text.split(QLatin1Char(' '));
    qsizetype i = 0;
    const auto numbers = [&](int count, std::array<QPointF, 3>& points) {
        if (i + 2 * count > tokens.size())
            return false;
        for (int p = 0; p < count; ++p) {
            bool okX = false, okY = false;
            const double x = tokens[i++].toDouble(&okX);
            const double y = tokens[i++].toDouble(&okY);
            if (!okX || !okY || !std::isfinite(x) || !std::isfinite(y))
                return false;
            points[p] = QPointF(x, y);
        }
        return true;
    };
    while (i < tokens.size()) {
        const QString& letter = tokens[i++];
        std::array<QPointF, 3> p{};
        // A path always starts with a move: drawing on an empty path adds one.
        if (path.isEmpty() && letter != QLatin1String("M"))
            return false;
        if (letter == QLatin1String("M") && numbers(1, p))
            path.moveTo(p[0]);
        else if (letter == QLatin1String("L") && numbers(1, p))
            path.lineTo(p[0]);
        else if (letter == QLatin1String("C") && numbers(3, p))
            path.curveTo(p[2], p[0], p[1]);
        else if (letter == QLatin1String("Z"))
            path.closePath();
        else
            return false;
    }
    return true;
}

std::optional<Fields> encodeBezierPath(const QVariant& value)
{
    const auto path = value.value<BezierPath>();
    QVariantList dash;
    for (qreal length : path.lineDash())
        dash.append(double(length));
    return Fields{{elementsKey, elementsText(path)},
                  {lineWidthKey, double(path.lineWidth())},
                  {lineCapKey, qint64(path.lineCapStyle())},
                  {lineJoinKey, qint64(path.lineJoinStyle())},
                  {miterLimitKey, double(path.miterLimit())},
                  {flatnessKey, double(path.flatness())},
                  {windingRuleKey, qint64(path.windingRule())},
                  {dashKey, dash},
                  {dashPhaseKey, double(path.lineDashPhase())}};
}

std::optional<QVariant> decodeBezierPath(const Entry& fields)
{
    const Entry elements = fields.value(elementsKey);
    const std::optional<double> lineWidth = number(fields.value(lineWidthKey));
    const std::optional<qint64> cap = integer(fields.value(lineCapKey), 0, 2);
    const std::optional<qint64> join = integer(fields.value(lineJoinKey), 0, 2);
    const std::optional<double> miterLimit = number(fields.value(miterLimitKey));
    const std::optional<double> flatness = number(fields.value(flatnessKey));
    const std::optional<qint64> winding = integer(fields.value(windingRuleKey), 0, 1);
    const Entry dashValue = fields.value(dashKey);
    const std::optional<double> dashPhase = number(fields.value(dashPhaseKey));
    if (elements.typeId() != QMetaType::QString || !lineWidth || !cap || !join || !miterLimit
        || !flatness || !winding || dashValue.typeId() != QMetaType::QVariantList || !dashPhase)
        return std::nullopt;
    QList<qreal> dash;
    for (const Entry length : dashValue) {
        const std::optional<double> value = number(length);
        if (!value)
            return std::nullopt;
        dash.append(*value);
    }
    BezierPath path;
    if (!readElements(elements.string(), path))
        return std::nullopt;
    path.setLineWidth(*lineWidth);
    path.setLineCapStyle(BezierPath::LineCap(*cap));
    path.setLineJoinStyle(BezierPath::LineJoin(*join));
    path.setMiterLimit(*miterLimit);
    path.setFlatness(*flatness);
    path.setWindingRule(BezierPath::WindingRule(*winding));
    path.setLineDash(dash, *dashPhase);
    return QVariant::fromValue(path);
}

// --- the entry types: add a kind of value here -----------------------------------------

struct EntryType
{
    const char* name;
    bool (*handles)(const QVariant& value);
    std::optional<Fields> (*encode)(const QVariant& value);
    std::optional<QVariant> (*decode)(const Entry& fields);
};

const EntryType entryTypes[] = {
    {"value", isPlainValue, encodePlainValue, decodePlainValue},
    {"array", isArray, encodeArray, decodeArray},
    {"dictionary", isDictionary, encodeDictionary, decodeDictionary},
    {"color", isColor, encodeColor, decodeColor},
    {"font", isFont, encodeFont, decodeFont},
    {"paragraph-style", isParagraphStyle, encodeParagraphStyle, decodeParagraphStyle},
    {"shadow", isShadow, encodeShadow, decodeShadow},
    {"attributed-string", isAttributedString, encodeAttributedString, decodeAttributedString},
    {"bezier-path", isBezierPath, encodeBezierPath, decodeBezierPath},
    {"print-info", isPrintInfo, encodePrintInfo, decodePrintInfo},
};

std::optional<Fields> encodeEntry(const QVariant& value)
{
    for (const EntryType& type : entryTypes) {
        if (!type.handles(value))
            continue;
        std::optional<Fields> fields = type.encode(value);
        if (fields)
            fields->insert(typeKey, QString::fromLatin1(type.name));
        return fields;
    }
    return std::nullopt;
}

std::optional<QVariant> decodeEntry(const Entry& entry)
{
    if (entry.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const Entry name = entry.value(typeKey);
    if (name.typeId() != QMetaType::QString)
        return std::nullopt;
    for (const EntryType& type : entryTypes) {
        if (name.string() == QLatin1String(type.name))
            return type.decode(entry);
    }
    return std::nullopt;
}

} // namespace

QByteArray Archive::archivedDataWithValue(const QVariant& value)
{
    const std::optional<Fields> root = encodeEntry(value);
    if (!root)
        return QByteArray();
    return PropertyList::toXml(QVariantMap{{archiveKey, archiveVersion}, {rootKey, *root}});
}

std::optional<QVariant> Archive::valueFromArchivedData(const QByteArray& data)
{
    if (data.isEmpty())
        return std::nullopt;
    const std::optional<PropertyListTree> archive = PropertyListTree::fromXml(data);
    if (!archive || archive->root().typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const Entry map = archive->root();
    if (integer(map.value(archiveKey), archiveVersion, archiveVersion) != archiveVersion)
        return std::nullopt;
    return decodeEntry(map.value(rootKey));
}

namespace {

// The archived value when it is a T.
template <typename T>
std::optional<T> archivedValueOfType(const QByteArray& data)
{
    const std::optional<QVariant> value = Archive::valueFromArchivedData(data);
    if (!value || value->metaType() != QMetaType::fromType<T>())
        return std::nullopt;
    return value->value<T>();
}

// A colour exactly as archived: its space and the components and alpha the archive keeps
// (each stands for one stored value of the colour, so equal keys archive alike).
struct ColorKey
{
    int spec = 0;
    std::array<float, 5> values{};
    bool operator==(const ColorKey&) const = default;
};

size_t qHash(const ColorKey& key, size_t seed = 0)
{
    return qHashMulti(seed, key.spec, key.values[0], key.values[1], key.values[2], key.values[3],
                      key.values[4]);
}

ColorKey archiveKeyOf(const QColor& color)
{
    ColorKey key;
    key.spec = color.spec();
    switch (color.spec()) {
    case QColor::Cmyk:
        key.values = {color.cyanF(), color.magentaF(), color.yellowF(), color.blackF()};
        break;
    case QColor::Hsv: key.values = {color.hsvHueF(), color.hsvSaturationF(), color.valueF()}; break;
    case QColor::Hsl:
        key.values = {color.hslHueF(), color.hslSaturationF(), color.lightnessF()};
        break;
    default: key.values = {color.redF(), color.greenF(), color.blueF()}; break;
    }
    key.values[4] = color.alphaF();
    return key;
}

// Designs repeat a few colours many times over (every graphic stores several), so the
// archives of the colours met last are kept, both ways, a bounded number per thread.
template <typename Key, typename Value>
class RecentValues
{
public:
    template <typename Make>
    Value value(const Key& key, Make make)
    {
        const auto found = _values.constFind(key);
        if (found != _values.cend())
            return *found;
        if (_values.size() >= Limit)
            _values.clear();
        return *_values.insert(key, make());
    }

private:
    static constexpr qsizetype Limit = 512;
    QHash<Key, Value> _values;
};

} // namespace

QByteArray Archive::archivedDataWithColor(const QColor& color)
{
    if (!color.isValid())
        return QByteArray();
    thread_local RecentValues<ColorKey, QByteArray> archives;
    return archives.value(archiveKeyOf(color), [&color] { return archivedDataWithValue(color); });
}

std::optional<QColor> Archive::colorFromArchivedData(const QByteArray& data)
{
    thread_local RecentValues<QByteArray, std::optional<QColor>> colors;
    return colors.value(
        data, [&data]() -> std::optional<QColor> { return archivedValueOfType<QColor>(data); });
}

QByteArray Archive::archivedDataWithArray(const QVariantList& array)
{
    return archivedDataWithValue(array);
}

std::optional<QVariantList> Archive::arrayFromArchivedData(const QByteArray& data)
{
    return archivedValueOfType<QVariantList>(data);
}

QByteArray Archive::archivedDataWithAttributedString(const AttributedString& string)
{
    return archivedDataWithValue(QVariant::fromValue(string));
}

std::optional<AttributedString> Archive::attributedStringFromArchivedData(const QByteArray& data)
{
    return archivedValueOfType<AttributedString>(data);
}

QByteArray Archive::archivedDataWithBezierPath(const BezierPath& path)
{
    return archivedDataWithValue(QVariant::fromValue(path));
}

std::optional<BezierPath> Archive::bezierPathFromArchivedData(const QByteArray& data)
{
    return archivedValueOfType<BezierPath>(data);
}

QByteArray Archive::archivedDataWithPrintInfo(const PrintInfo& printInfo)
{
    return archivedDataWithValue(QVariant::fromValue(printInfo));
}

std::optional<PrintInfo> Archive::printInfoFromArchivedData(const QByteArray& data)
{
    return archivedValueOfType<PrintInfo>(data);
}

} // namespace platform
