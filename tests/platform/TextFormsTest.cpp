#include "platform/core/TextForms.h"

#include <QColor>
#include <QRegularExpression>
#include <QVariant>

#include <gtest/gtest.h>

#include <limits>

#include <cfloat>
#include <climits>

using namespace platform;

TEST(TextForms, GeometryTextsRoundTrip)
{
    EXPECT_EQ(stringFromRect(QRectF(10, 20, 100, 50)), QStringLiteral("{{10, 20}, {100, 50}}"));
    EXPECT_EQ(stringFromPoint(QPointF(0.5, 0.5)), QStringLiteral("{0.5, 0.5}"));
    EXPECT_EQ(stringFromSize(QSizeF(-0.0, 12.25)), QStringLiteral("{0, 12.25}"));

    const QRectF odd(0.1, -7.3, 1e-3, 123456.789);
    EXPECT_EQ(rectFromString(stringFromRect(odd)), odd);
}

TEST(TextForms, LenientGeometryReaders)
{
    struct Case
    {
        const char* text;
        QRectF rect;
    };
    const Case cases[] = {
        {"{{1, 2}, {3}}", QRectF(1, 2, 3, 0)},
        {"{{1.5,-2},{3e1, 4}}", QRectF(1.5, -2, 30, 4)},
        {"", QRectF(0, 0, 0, 0)},
        {"garbage 7 and 8", QRectF(7, 8, 0, 0)},
        {"{{1, 2}, {3, 4}, {5, 6}}", QRectF(1, 2, 3, 4)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rectFromString(QString::fromLatin1(c.text)), c.rect) << c.text;
    EXPECT_EQ(pointFromString(QStringLiteral("{0.5}")), QPointF(0.5, 0));
    EXPECT_EQ(sizeFromString(QStringLiteral("{100, 50}")), QSizeF(100, 50));
}

TEST(TextForms, IntegerReadersTakeTheLeadingNumberOnly)
{
    struct Case
    {
        const char* text;
        int i;
        qint64 l;
    };
    const Case cases[] = {
        {"2.00", 2, 2},
        {"abc", 0, 0},
        {"  -42xyz", -42, -42},
        {"+7", 7, 7},
        {"", 0, 0},
        {"- 3", 0, 0},
        {"99999999999", INT_MAX, 99999999999LL},
        {"-99999999999", INT_MIN, -99999999999LL},
        {"-2147483648", INT_MIN, -2147483648LL},
        {"99999999999999999999", INT_MAX, LLONG_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(intValue(QString::fromLatin1(c.text)), c.i) << c.text;
        EXPECT_EQ(integerValue(QString::fromLatin1(c.text)), c.l) << c.text;
    }
}

TEST(TextForms, RealReaders)
{
    // floatValue rounds through single precision, doubleValue keeps double precision.
    EXPECT_EQ(floatValue(QStringLiteral("0.1")), double(0.1f));
    EXPECT_NE(floatValue(QStringLiteral("0.1")), 0.1);
    EXPECT_EQ(doubleValue(QStringLiteral("0.1")), 0.1);
    EXPECT_EQ(doubleValue(QStringLiteral(" 12.5e2pt")), 1250.0);
    EXPECT_EQ(doubleValue(QStringLiteral(".5")), 0.5);
    EXPECT_EQ(doubleValue(QStringLiteral("1e")), 1.0);
    EXPECT_EQ(doubleValue(QStringLiteral("inf")), 0.0);
    EXPECT_EQ(doubleValue(QStringLiteral("nan")), 0.0);
    EXPECT_EQ(doubleValue(QStringLiteral("0x10")), 0.0);
    // Numbers of any length read alike, short or long.
    for (const qsizetype zeros : {0, 62, 63, 64, 200}) {
        EXPECT_EQ(doubleValue(QString(zeros, u'0') + QStringLiteral("7.25mm")), 7.25) << zeros;
        EXPECT_EQ(floatValue(QStringLiteral(" -") + QString(zeros, u'0') + QStringLiteral("3e1")),
                  -30.0)
            << zeros;
    }
    EXPECT_EQ(doubleValue(QStringLiteral("1") + QString(80, u'0') + QStringLiteral(".5")), 1e80);
    // Beyond the type's range: the largest finite value, so nothing read is infinite and
    // what is read writes and reads back the same.
    EXPECT_EQ(floatValue(QStringLiteral("1e300")), double(FLT_MAX));
    EXPECT_EQ(floatValue(QStringLiteral("-1e39")), -double(FLT_MAX));
    EXPECT_EQ(doubleValue(QStringLiteral("1e999")), DBL_MAX);
    EXPECT_EQ(rectFromString(QStringLiteral("{{1, -1e+2685}, {0, 0}}")), QRectF(1, -DBL_MAX, 0, 0));
    const QRectF huge = rectFromString(QStringLiteral("{{1e999, 0}, {7, 0}}"));
    EXPECT_EQ(rectFromString(stringFromRect(huge)), huge);

    // Whether there is a number to read at all: "0.00" is one, "abc" reads 0 without one.
    for (const char* number : {"0.00", " -2", ".5x", "+7", "1e"})
        EXPECT_TRUE(startsWithNumber(QString::fromLatin1(number))) << number;
    for (const char* text : {"", "  ", "abc", "-", ".", "+.e5", "x1"}) {
        EXPECT_FALSE(startsWithNumber(QString::fromLatin1(text))) << text;
        EXPECT_FALSE(typedDouble(QString::fromLatin1(text))) << text;
    }
    EXPECT_EQ(typedDouble(QStringLiteral("0.00")), 0.0); // a typed 0 is a number
    EXPECT_EQ(typedDouble(QStringLiteral(" -2.5 cm")), -2.5);
}

TEST(TextForms, BoolReader)
{
    for (const char* yes : {"YES", "yes", "Y", "true", "T", "1", "007", " +5", "-1"})
        EXPECT_TRUE(boolValue(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"NO", "no", "false", "0", "000", "", "  ", "abc", "-0"})
        EXPECT_FALSE(boolValue(QString::fromLatin1(no))) << no;
}

TEST(TextForms, ReadersOfStoredValues)
{
    EXPECT_EQ(intValue(QVariant(QStringLiteral("12.9"))), 12);
    EXPECT_EQ(intValue(QVariant(12.9)), 12);
    EXPECT_EQ(intValue(QVariant(-12.9)), -12);
    EXPECT_EQ(intValue(QVariant(qint64(1) << 40)), INT_MAX);
    EXPECT_EQ(intValue(QVariant(true)), 1);
    EXPECT_EQ(intValue(QVariant()), 0);
    EXPECT_EQ(intValue(QVariant(QVariantList{1})), 0);
    EXPECT_EQ(integerValue(QVariant(QByteArray("123"))), 123);
    EXPECT_EQ(floatValue(QVariant(0.1)), double(0.1f));
    EXPECT_TRUE(boolValue(QVariant(QStringLiteral("YES"))));
    EXPECT_TRUE(boolValue(QVariant(2)));
    EXPECT_FALSE(boolValue(QVariant(0.0)));
    EXPECT_FALSE(boolValue(QVariant()));
}

TEST(TextForms, NumberWriters)
{
    EXPECT_EQ(formatLong(-42), QStringLiteral("-42"));
    // The C library's forms: exact binary ties go to the even digit, -0 keeps its sign.
    struct Case
    {
        double value;
        const char* twoDecimals;
        const char* sixDecimals;
    };
    const Case cases[] = {
        {12.345, "12.35", "12.345000"}, // just above 12.345 in binary
        {2, "2.00", "2.000000"},
        {0.1, "0.10", "0.100000"},
        {-1.5, "-1.50", "-1.500000"},
        {0.125, "0.12", "0.125000"},
        {0.375, "0.38", "0.375000"},
        {-0.625, "-0.62", "-0.625000"},
        {0.0078125, "0.01", "0.007812"},
        {0.0234375, "0.02", "0.023438"},
        {-0.0, "-0.00", "-0.000000"},
        {-0.001, "-0.00", "-0.001000"},
        {1e20, "100000000000000000000.00", "100000000000000000000.000000"},
        {qInf(), "inf", "inf"},
        {-qInf(), "-inf", "-inf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(format2f(c.value), QLatin1String(c.twoDecimals)) << c.value;
        EXPECT_EQ(format6f(c.value), QLatin1String(c.sixDecimals)) << c.value;
    }
    EXPECT_EQ(format2f(-std::numeric_limits<double>::max()).size(), 309 + 1 + 3);
}

TEST(TextForms, PointInRectIsHalfOpen)
{
    const QRectF rect(10, 20, 5, 5);
    struct Case
    {
        QPointF p;
        bool inside;
    };
    const Case cases[] = {
        {{10, 20}, true},  {{14.99, 24.99}, true}, {{15, 22}, false},
        {{12, 25}, false}, {{9.99, 22}, false},    {{12, 19.99}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pointInRect(c.p, rect), c.inside) << c.p.x() << "," << c.p.y();
    EXPECT_FALSE(pointInRect(QPointF(0, 0), QRectF(0, 0, 0, 0)));
}

TEST(TextForms, ColourStringsReadBackTheIdenticalColour)
{
    EXPECT_EQ(orvaneStringRepresentation(QColor(Qt::red)), QStringLiteral("sRGB 1 0 0 1"));
    EXPECT_EQ(orvaneStringRepresentation(QColor::fromRgbF(0, 0, 0, 0)),
              QStringLiteral("sRGB 0 0 0 0"));

    // Every value a channel can hold, in each channel and in alpha.
    for (int v = 0; v <= 65535; ++v) {
        const QColor color = QColor::fromRgba64(quint16(v), quint16(65535 - v), quint16(v / 3),
                                                quint16((v * 7) % 65536));
        const QColor back = colorWithOrvaneStringRepresentation(orvaneStringRepresentation(color));
        ASSERT_EQ(back, color) << v;
    }

    // Extended colours stay extended and exact, also within 0...1.
    for (const QColor& color : {QColor::fromRgbF(1.25f, -0.5f, 0.5f, 0.75f),
                                QColor::fromRgbF(0.1f, 0.2f, 0.3f).toExtendedRgb()}) {
        const QString text = orvaneStringRepresentation(color);
        EXPECT_TRUE(text.startsWith(QStringLiteral("extended-sRGB "))) << text.toStdString();
        const QColor back = colorWithOrvaneStringRepresentation(text);
        EXPECT_EQ(back.spec(), QColor::ExtendedRgb);
        EXPECT_EQ(back, color) << text.toStdString();
    }

    // Other spaces are written as their sRGB value.
    const QColor hsv = QColor::fromHsvF(0.3f, 0.6f, 0.9f, 0.5f);
    EXPECT_EQ(colorWithOrvaneStringRepresentation(orvaneStringRepresentation(hsv)), hsv.toRgb());
    EXPECT_EQ(orvaneStringRepresentation(QColor()), QString());
    EXPECT_EQ(orvaneStringRepresentation(QColor::fromRgbF(1e30f, 0, 0)), QString());
    const QColor widest = QColor::fromRgbF(65504, -65504, 0);
    EXPECT_EQ(colorWithOrvaneStringRepresentation(orvaneStringRepresentation(widest)), widest);
}

TEST(TextForms, ColourStringsOfOtherFormsDoNotRead)
{
    const char* const texts[] = {
        "",
        "sRGB 1 0 0",
        "sRGB 1 0 0 1 1",
        "RGB 1 0 0 1",
        "sRGB 1 0 x 1",
        "sRGB 1 0 0.5y 1",
        "sRGB nan 0 0 1",
        "sRGB inf 0 0 1",
        "sRGB 1e30 0 0 1",
        "extended-sRGB 1.5 1e9 0 0.5",
        "sRGB 1 0 0 1.5",
        "sRGB 1 0 0 -0.1",
        "0.5 0.5 0.5 1",
        "NSCalibratedRGBColorSpace 1 0 0 1",
    };
    for (const char* text : texts)
        EXPECT_FALSE(colorWithOrvaneStringRepresentation(QString::fromLatin1(text)).isValid())
            << text;
    // Blanks around and between the numbers do not matter.
    EXPECT_EQ(colorWithOrvaneStringRepresentation(QStringLiteral("  sRGB 0  1 0 1 ")),
              QColor(Qt::green));
}

TEST(TextForms, IdentifierStringsAreNewEachTime)
{
    const QString first = UUIDString();
    EXPECT_NE(first, UUIDString());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$"))
                    .match(first)
                    .hasMatch())
        << first.toStdString();
}
