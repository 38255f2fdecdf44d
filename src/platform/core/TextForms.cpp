#include "platform/core/TextForms.h"

#include <QColor>
#include <QLocale>
#include <QStringList>
#include <QUuid>
#include <QVariant>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace platform {

namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f' || c == u'\v';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Length of the decimal number (sign, digits, fraction, exponent) that starts at `from`,
// or 0 when no number starts there. A lone sign or point is no number.
qsizetype numberLength(const QString& text, qsizetype from)
{
    const qsizetype n = text.size();
    qsizetype i = from;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i - from;
}

qsizetype skipSpace(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

// The leading decimal number of the text as 7-bit bytes (a C string), empty when there is
// none. A short one, as numbers nearly always are, is held in place: numbers are read for
// every field of every record, and a byte array made of a part of the text cost two
// allocations a number.
class LeadingNumber
{
public:
    explicit LeadingNumber(const QString& text)
    {
        const qsizetype start = skipSpace(text);
        _size = numberLength(text, start);
        if (_size < qsizetype(sizeof _buffer)) {
            // The number's characters are digits, signs, points and exponent letters.
            for (qsizetype i = 0; i < _size; ++i)
                _buffer[i] = char(text[start + i].unicode());
            _buffer[_size] = '\0';
        } else {
            _long = text.mid(start, _size).toLatin1();
        }
    }
    LeadingNumber(const LeadingNumber&) = delete;
    LeadingNumber& operator=(const LeadingNumber&) = delete;

    bool isEmpty() const { return _size == 0; }
    const char* constData() const
    {
        return _size < qsizetype(sizeof _buffer) ? _buffer : _long.constData();
    }

private:
    qsizetype _size = 0;
    char _buffer[64];
    QByteArray _long;
};

template <typename Int>
Int leadingInteger(const QString& text)
{
    qsizetype i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    // Accumulate toward the sign so the most negative value is reachable.
    Int value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        const Int digit = Int(text[i].unicode() - u'0');
        if (negative) {
            if (value < (std::numeric_limits<Int>::min() + digit) / 10)
                return std::numeric_limits<Int>::min();
            value = value * 10 - digit;
        } else {
            if (value > (std::numeric_limits<Int>::max() - digit) / 10)
                return std::numeric_limits<Int>::max();
            value = value * 10 + digit;
        }
    }
    return value;
}

template <typename Int>
Int truncateToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    if (value <= double(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    return Int(value);
}

QString shortest(double value)
{
    if (value == 0)
        value = 0; // no "-0"
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QList<double> numbersIn(const QString& text, int wanted)
{
    QList<double> numbers;
    qsizetype i = 0;
    while (i < text.size() && numbers.size() < wanted) {
        const qsizetype length = numberLength(text, i);
        if (length == 0) {
            ++i;
            continue;
        }
        numbers.append(doubleValue(text.mid(i, length)));
        i += length;
    }
    while (numbers.size() < wanted)
        numbers.append(0.0);
    return numbers;
}

bool isText(const QVariant& value)
{
    const int type = value.metaType().id();
    return type == QMetaType::QString || type == QMetaType::QByteArray;
}

// Booleans count as the numbers 0 and 1 for the readers.
bool isNumber(const QVariant& value)
{
    return isNumberType(value.typeId()) || value.typeId() == QMetaType::Bool;
}

bool isIntegral(const QVariant& value)
{
    return isIntegerType(value.typeId()) || value.typeId() == QMetaType::Bool;
}

} // namespace

bool startsWithNumber(const QString& text)
{
    return numberLength(text, skipSpace(text)) > 0;
}

std::optional<double> typedDouble(const QString& text)
{
    if (!startsWithNumber(text))
        return std::nullopt;
    return doubleValue(text);
}

QString stringFromRect(const QRectF& rect)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}")
        .arg(shortest(rect.x()), shortest(rect.y()), shortest(rect.width()),
             shortest(rect.height()));
}

QString stringFromPoint(const QPointF& point)
{
    return QStringLiteral("{%1, %2}").arg(shortest(point.x()), shortest(point.y()));
}

QString stringFromSize(const QSizeF& size)
{
    return QStringLiteral("{%1, %2}").arg(shortest(size.width()), shortest(size.height()));
}

QRectF rectFromString(const QString& text)
{
    const QList<double> n = numbersIn(text, 4);
    return QRectF(n[0], n[1], n[2], n[3]);
}

QPointF pointFromString(const QString& text)
{
    const QList<double> n = numbersIn(text, 2);
    return QPointF(n[0], n[1]);
}

QSizeF sizeFromString(const QString& text)
{
    const QList<double> n = numbersIn(text, 2);
    return QSizeF(n[0], n[1]);
}

int intValue(const QString& text)
{
    return leadingInteger<int>(text);
}

qint64 integerValue(const QString& text)
{
    return leadingInteger<qint64>(text);
}

// A number too large for the type reads as the largest finite one, so stored text never
// brings in an infinity (which the writers would write as "inf", no number to the readers).
double floatValue(const QString& text)
{
    const LeadingNumber number(text);
    if (number.isEmpty())
        return 0.0;
    const float value = strtof_l(number.constData(), nullptr, cLocale());
    return double(std::clamp(value, -std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::max()));
}

double doubleValue(const QString& text)
{
    const LeadingNumber number(text);
    if (number.isEmpty())
        return 0.0;
    const double value = strtod_l(number.constData(), nullptr, cLocale());
    return std::clamp(value, -std::numeric_limits<double>::max(),
                      std::numeric_limits<double>::max());
}

bool boolValue(const QString& text)
{
    qsizetype i = skipSpace(text);
    while (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    while (i < text.size() && text[i] == u'0')
        ++i;
    if (i >= text.size())
        return false;
    const QChar c = text[i];
    return c == u'Y' || c == u'y' || c == u'T' || c == u't' || (c >= u'1' && c <= u'9');
}

int intValue(const QVariant& value)
{
    if (isText(value))
        return intValue(value.toString());
    if (isIntegral(value))
        return int(std::clamp<qint64>(value.toLongLong(), std::numeric_limits<int>::min(),
                                      std::numeric_limits<int>::max()));
    if (isNumber(value))
        return truncateToInteger<int>(value.toDouble());
    return 0;
}

qint64 integerValue(const QVariant& value)
{
    if (isText(value))
        return integerValue(value.toString());
    if (isIntegral(value))
        return value.toLongLong();
    if (isNumber(value))
        return truncateToInteger<qint64>(value.toDouble());
    return 0;
}

double floatValue(const QVariant& value)
{
    if (isText(value))
        return floatValue(value.toString());
    if (isNumber(value))
        return double(float(value.toDouble()));
    return 0.0;
}

double doubleValue(const QVariant& value)
{
    if (isText(value))
        return doubleValue(value.toString());
    if (isNumber(value))
        return value.toDouble();
    return 0.0;
}

bool boolValue(const QVariant& value)
{
    if (isText(value))
        return boolValue(value.toString());
    if (isNumber(value))
        return value.toDouble() != 0.0;
    return false;
}

bool isIntegerType(int metaTypeId)
{
    switch (metaTypeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar: return true;
    default: return false;
    }
}

bool isNumberType(int metaTypeId)
{
    return isIntegerType(metaTypeId) || metaTypeId == QMetaType::Double
           || metaTypeId == QMetaType::Float;
}

QString formatLong(qint64 value)
{
    return QString::number(value);
}

namespace {

// printf's fixed form in the C locale: exact ties of the binary value go to the even
// digit (0.125 is "0.12"), and a negative zero keeps its sign ("-0.00").
QString formatFixed(double value, int decimals)
{
    // The largest double has 309 digits before the point.
    char buffer[320 + 16];
    if (std::isfinite(value)) {
        // The same digits as printf's (the exact binary value, ties to even, the sign of
        // a negative zero kept), without its locale switch and format parsing.
        const auto written = std::to_chars(buffer, buffer + sizeof buffer, value,
                                           std::chars_format::fixed, decimals);
        if (written.ec == std::errc())
            return QString::fromLatin1(buffer, written.ptr - buffer);
    }
    const locale_t previous = uselocale(cLocale());
    const int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    uselocale(previous);
    return QString::fromLatin1(buffer, std::clamp(length, 0, int(sizeof buffer) - 1));
}

} // namespace

QString format2f(double value)
{
    return formatFixed(value, 2);
}

QString format6f(double value)
{
    return formatFixed(value, 6);
}

namespace {

const QString sRGBWord = QStringLiteral("sRGB");
const QString extendedSRGBWord = QStringLiteral("extended-sRGB");

} // namespace

QString orvaneStringRepresentation(const QColor& color)
{
    if (!color.isValid())
        return QString();
    const bool extended = color.spec() == QColor::ExtendedRgb;
    const QColor rgb = extended ? color : color.toRgb();
    for (const float component : {rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()})
        if (!std::isfinite(component))
            return QString();
    // redF() and the others give QColor's stored values exactly (16-bit integers over
    // 65535, or half floats), and the shortest form of a double reads back the same double.
    return QStringList{extended ? extendedSRGBWord : sRGBWord, shortest(rgb.redF()),
                       shortest(rgb.greenF()), shortest(rgb.blueF()), shortest(rgb.alphaF())}
        .join(u' ');
}

QColor colorWithOrvaneStringRepresentation(const QString& text)
{
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    if (words.size() != 5 || (words[0] != sRGBWord && words[0] != extendedSRGBWord))
        return QColor();
    double values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = QLocale::c().toDouble(words[i + 1], &ok);
        if (!ok || !std::isfinite(values[i]))
            return QColor();
    }
    const auto [red, green, blue, alpha] = values;
    // Extended components are half floats: a value beyond their range would read as an
    // infinity, which no form can hold.
    constexpr double halfFloatMaximum = 65504;
    if (alpha < 0 || alpha > 1 || std::abs(red) > halfFloatMaximum
        || std::abs(green) > halfFloatMaximum || std::abs(blue) > halfFloatMaximum)
        return QColor();
    if (words[0] == extendedSRGBWord) {
        // Half floats set one by one, so values within 0...1 stay extended and exact.
        QColor color = QColor::fromRgbF(2, 0, 0).toExtendedRgb();
        color.setRedF(float(red));
        color.setGreenF(float(green));
        color.setBlueF(float(blue));
        color.setAlphaF(float(alpha));
        return color;
    }
    const auto inRange = [](double v) { return v >= 0 && v <= 1; };
    if (!inRange(red) || !inRange(green) || !inRange(blue))
        return QColor::fromRgbF(float(red), float(green), float(blue), float(alpha));
    const auto sixteenBits = [](double v) { return quint16(std::lround(v * 65535.0)); };
    return QColor::fromRgba64(sixteenBits(red), sixteenBits(green), sixteenBits(blue),
                              sixteenBits(alpha));
}

QString UUIDString()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

bool pointInRect(const QPointF& point, const QRectF& rect)
{
    return point.x() >= rect.x() && point.x() < rect.x() + rect.width() && point.y() >= rect.y()
           && point.y() < rect.y() + rect.height();
}

} // namespace platform
