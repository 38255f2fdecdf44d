#include "platform/core/DelimitedText.h"

#include <gtest/gtest.h>

using platform::DelimitedText;

TEST(DelimitedTextTest, RecordsAndFields)
{
    struct Case
    {
        const char* name;
        QByteArray data;
        char separator;
        QList<QStringList> records;
    } cases[] = {
        {"CR LF, a short second line",
         "a\tb\tc\r\nd\te\r\n",
         '\t',
         {{"a", "b", "c"}, {"d", "e", " "}}},
        {"LF with a final line end", "a\nb\n", '\t', {{"a"}, {"b"}}},
        {"LF without a final line end", "a\nb", '\t', {{"a"}, {"b"}}},
        {"CR only", "a,b\rc,d\r", ',', {{"a", "b"}, {"c", "d"}}},
        // A line end splits the text only before more text: one at the very end does not
        // choose the lines' end, and a CR LF there ends the last line.
        {"LF lines, CR LF at the very end", "a\nb\nc\r\n", ',', {{"a"}, {"b"}, {"c"}}},
        {"CR lines, CR LF at the very end", "a\rb\r\n", ',', {{"a"}, {"b"}}},
        {"LF lines, a CR at the very end", "a\nb\r", ',', {{"a"}, {"b"}}},
        {"one line ended by CR", "a,b\r", ',', {{"a", "b"}}},
        {"a CR that splits comes before LF", "a\rb\nc\n", ',', {{"a"}, {"b\nc"}}},
        {"CR LF lines, an LF inside a line is text", "a\nb\r\nc\r\n", ',', {{"a\nb"}, {"c"}}},
        {"a quoted comma is one field",
         "\"Smith, Ann\",Springfield\n",
         ',',
         {{"Smith, Ann", "Springfield"}}},
        {"quotes inside stay text", "ab\"c,d\n", ',', {{"ab\"c", "d"}}},
        {"a doubled quote", "\"say \"\"hi\"\"\",x\n", ',', {{"say \"hi\"", "x"}}},
        {"a line end inside quotes", "\"one\ntwo\",3\n4,5\n", ',', {{"one\ntwo", "3"}, {"4", "5"}}},
        {"a quoted CR does not choose the line end",
         "\"x\ry\",1\n2,3\n",
         ',',
         {{"x\ry", "1"}, {"2", "3"}}},
        {"the widest record sets the columns",
         "a\nb,c,d\n",
         ',',
         {{"a", " ", " "}, {"b", "c", "d"}}},
        {"an empty line is a record", "a\n\nb\n", ',', {{"a"}, {""}, {"b"}}},
        {"tabs are text in a comma file", "a\tb,c\n", ',', {{"a\tb", "c"}}},
        {"UTF-8 with a mark", "\xEF\xBB\xBFM\xC3\xBCller\n", ',', {{"Müller"}}},
        {"a second mark is text",
         "\xEF\xBB\xBF\xEF\xBB\xBF"
         "6\n",
         ',',
         {{QString(QChar(0xFEFF)) + QLatin1String("6")}}},
        {"Latin-1 when not UTF-8", "M\xFCller\n", ',', {{"Müller"}}},
        {"UTF-16",
         QByteArray("\xFF\xFE"
                    "a\0,\0b\0\n\0",
                    10),
         ',',
         {{"a", "b"}}},
    };
    for (const Case& c : cases) {
        QString error;
        const auto text = DelimitedText::read(c.data, QLatin1Char(c.separator), &error);
        ASSERT_TRUE(text) << c.name << ": " << error.toStdString();
        EXPECT_EQ(text->records(), c.records) << c.name;
        EXPECT_EQ(text->columns(), c.records.first().size()) << c.name;
    }
}

TEST(DelimitedTextTest, EmptyAndBinaryDataAreRejected)
{
    QString error;
    EXPECT_FALSE(DelimitedText::read(QByteArray(), QLatin1Char(','), &error));
    EXPECT_EQ(error, QStringLiteral("The file is empty."));
    EXPECT_FALSE(
        DelimitedText::read(QByteArray("PK\x03\x04\0\0\x01", 7), QLatin1Char(','), &error));
    EXPECT_EQ(error, QStringLiteral("The file is not text."));
    // UTF-16 with a lone surrogate and an odd last byte.
    EXPECT_FALSE(DelimitedText::read(QByteArray::fromBase64("//7/0OnYOQNwYAAA0A=="),
                                     QLatin1Char(','), &error));
    EXPECT_EQ(error, QStringLiteral("The file is not text."));
}

// Short records stay short in storage and are padded only as they are read, and a record's
// fields and all the fields padded are bounded: a small file cannot ask for gigabytes.
TEST(DelimitedTextTest, ShortRecordsStayShortAndTheFieldsAreBounded)
{
    const QByteArray widest(DelimitedText::MaxColumns - 1, ',');
    QString error;
    const auto text =
        DelimitedText::read(widest + "\n" + QByteArray(999, '\n') + "x", QLatin1Char(','), &error);
    ASSERT_TRUE(text) << error.toStdString();
    ASSERT_EQ(text->recordCount(), 1001);
    EXPECT_EQ(text->columns(), DelimitedText::MaxColumns);
    EXPECT_EQ(text->fieldCount(0), DelimitedText::MaxColumns);
    for (qsizetype r = 1; r < text->recordCount(); ++r)
        ASSERT_EQ(text->fieldCount(r), 1) << r;
    EXPECT_EQ(text->field(1000, 0), QStringLiteral("x"));
    EXPECT_EQ(text->field(1000, 1), QStringLiteral(" "));
    EXPECT_EQ(text->record(1).size(), DelimitedText::MaxColumns);

    struct Case
    {
        const char* name;
        QByteArray data;
        const char* error;
    } cases[] = {
        {"a record past the widest allowed", widest + ",\n",
         "A record has more than 16384 fields."},
        {"a short line past it", "a\n" + widest + ",", "A record has more than 16384 fields."},
        {"padded, more fields than allowed in all", widest + QByteArray(1024, '\n') + "x",
         "The file has more than 16777216 fields."},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(DelimitedText::read(c.data, QLatin1Char(','), &error)) << c.name;
        EXPECT_EQ(error, QLatin1String(c.error)) << c.name;
    }
}

TEST(DelimitedTextTest, WrittenRecordsReadBackEqual)
{
    const QList<QStringList> records{{"plain", "with, comma", "with \"quote\""},
                                     {"two\nlines", "", "x"}};
    const auto text =
        DelimitedText::read(DelimitedText::write(records, QLatin1Char(',')), QLatin1Char(','));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->records(), records);
    EXPECT_EQ(text->flattened().size(), 6);
}
