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
        {"a quoted comma is one field",
         "\"Smith, Ann\",Springfield\n",
         ',',
         {{"Smith, Ann", "Springfield"}}},
        {"quotes inside stay text", "ab\"c,d\n", ',', {{"ab\"c", "d"}}},
        {"a doubled quote", "\"say \"\"hi\"\"\",x\n", ',', {{"say \"hi\"", "x"}}},
        {"a line end inside quotes", "\"one\ntwo\",3\n4,5\n", ',', {{"one\ntwo", "3"}, {"4", "5"}}},
        {"the widest record sets the columns",
         "a\nb,c,d\n",
         ',',
         {{"a", " ", " "}, {"b", "c", "d"}}},
        {"an empty line is a record", "a\n\nb\n", ',', {{"a"}, {""}, {"b"}}},
        {"tabs are text in a comma file", "a\tb,c\n", ',', {{"a\tb", "c"}}},
        {"UTF-8 with a mark", "\xEF\xBB\xBFM\xC3\xBCller\n", ',', {{"Müller"}}},
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
        EXPECT_EQ(text->records, c.records) << c.name;
        EXPECT_EQ(text->columns, c.records.first().size()) << c.name;
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
}

TEST(DelimitedTextTest, WrittenRecordsReadBackEqual)
{
    const QList<QStringList> records{{"plain", "with, comma", "with \"quote\""},
                                     {"two\nlines", "", "x"}};
    const auto text =
        DelimitedText::read(DelimitedText::write(records, QLatin1Char(',')), QLatin1Char(','));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->records, records);
    EXPECT_EQ(text->flattened().size(), 6);
}
