// The program's style: the icons it reads itself, and the PNG reader they go through.

#include "platform/drawing/Image.h"
#include "platform/ui/ApplicationStyle.h"

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::ApplicationStyle;

TEST(ApplicationStyle, GivesTheIconsItReadsItselfAtEverySize)
{
    ApplicationStyle style;
    for (const QStyle::StandardPixmap which :
         {QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton,
          QStyle::SP_LineEditClearButton}) {
        const QIcon icon = style.standardIcon(which, nullptr, nullptr);
        ASSERT_FALSE(icon.isNull()) << which;
        EXPECT_GE(icon.availableSizes().size(), 2) << which;
        EXPECT_FALSE(icon.pixmap(16, 16).isNull()) << which;
    }
    // Any other icon is its base style's.
    EXPECT_FALSE(style.standardIcon(QStyle::SP_ArrowUp, nullptr, nullptr).isNull());
}

TEST(ApplicationStyle, ReadPngImageReadsPngsOnly)
{
    QTemporaryDir dir;
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    const QString png = dir.filePath(QStringLiteral("a.png"));
    const QString jpeg = dir.filePath(QStringLiteral("b.png")); // JPEG bytes under a PNG name
    ASSERT_TRUE(picture.save(png, "PNG"));
    ASSERT_TRUE(picture.save(jpeg, "JPEG"));
    const QImage read = platform::readPngImage(png);
    ASSERT_FALSE(read.isNull());
    EXPECT_EQ(read.size(), QSize(3, 2));
    EXPECT_EQ(read.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_TRUE(platform::readPngImage(jpeg).isNull());
    EXPECT_TRUE(platform::readPngImage(dir.filePath(QStringLiteral("missing.png"))).isNull());
}
