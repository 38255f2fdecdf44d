#include "platform/text/GlyphOutlines.h"

#include "TestFont.h"

#include <QPainterPath>
#include <QRawFont>

#include <gtest/gtest.h>

TEST(GlyphOutlines, CachedOutlinesMatchTheFontPerSizeAndGlyph)
{
    for (qreal pixelSize : {12.0, 30.0}) {
        QFont font = testFont();
        font.setPixelSize(int(pixelSize));
        const QRawFont sized = QRawFont::fromFont(font);
        ASSERT_TRUE(sized.isValid());
        for (QChar c : QStringLiteral("Ag%")) {
            const quint32 glyph = sized.glyphIndexesForString(QString(c)).value(0);
            const QPainterPath expected = sized.pathForGlyph(glyph);
            EXPECT_EQ(platform::glyphOutline(sized, glyph), expected)
                << pixelSize << " " << int(c.unicode());
            EXPECT_EQ(platform::glyphOutline(sized, glyph), expected) << "from the cache";
        }
    }
    EXPECT_TRUE(platform::glyphOutline(QRawFont(), 1).isEmpty());
}
