// The items of the template browsers on a fixture tree of folders and packages.

#include "layouts/LBLayoutItem.h"
#include "layouts/LBTemplateObject.h"

#include "platform/drawing/Image.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TemplateTree : public ::testing::Test
{
protected:
    QString path(const QString& relative) const { return _root.filePath(relative); }
    void folder(const QString& relative) { ASSERT_TRUE(QDir().mkpath(path(relative))); }
    void file(const QString& relative)
    {
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    // A green pixel as GIF (which Qt reads but does not write).
    void greenGif(const QString& relative)
    {
        static const char gif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\xff\x00\x00\x00\x00"
                                  ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(gif, sizeof gif - 1);
    }
    void picture(const QString& relative, const QColor& color, const char* format)
    {
        QImage image(12, 8, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(path(relative), format));
    }

    QTemporaryDir _root;
};

QColor colorOf(const std::shared_ptr<platform::Image>& image)
{
    return image ? image->bitmapImageRep().pixelColor(0, 0) : QColor();
}

} // namespace

TEST_F(TemplateTree, OnlyRealSubFoldersAreNodesAndLeavesAnswerMinusOne)
{
    folder("Packages only/Card.quarnlb");
    folder("Packages only/Kit.icorbeil");
    file("Packages only/notes.txt");
    folder("Hidden only/.cache");
    folder("Mixed/Zeta");
    folder("Mixed/Alpha/Inner");
    folder("Mixed/Old.quarnl");
    folder("Mixed/.git");
    folder("Empty");
    file("plain.txt");
    folder("Letter.quarnpg/Sub");

    struct Case
    {
        const char* path;
        qint64 children;
    };
    const Case cases[] = {
        {"Packages only", -1}, {"Hidden only", -1},    {"Empty", -1}, {"missing", -1},
        {"plain.txt", -1},     {"Letter.quarnpg", -1}, {"Mixed", 2},
    };
    for (const Case& c : cases) {
        LBLayoutItem item(path(c.path), nullptr);
        EXPECT_EQ(item.numberOfChildren(), c.children) << c.path;
        EXPECT_EQ(item.children().size(), qMax<qint64>(0, c.children)) << c.path;
    }

    LBLayoutItem mixed(path("Mixed"), nullptr);
    ASSERT_EQ(mixed.numberOfChildren(), 2);
    EXPECT_EQ(mixed.childAtIndex(0)->relativePath(), "Alpha");
    EXPECT_EQ(mixed.childAtIndex(1)->relativePath(), "Zeta");
    EXPECT_EQ(mixed.childAtIndex(0)->parent(), &mixed);
    EXPECT_EQ(mixed.childAtIndex(0)->numberOfChildren(), 1);
    EXPECT_EQ(mixed.childAtIndex(1)->numberOfChildren(), -1);

    // Read once: later changes are not seen by a node that has read its folder, a leaf
    // included.
    folder("Mixed/Beta");
    folder("Empty/Now");
    EXPECT_EQ(mixed.numberOfChildren(), 2);
    LBLayoutItem empty(path("Empty"), nullptr);
    EXPECT_EQ(empty.numberOfChildren(), 1); // a new node reads it afresh
}

TEST_F(TemplateTree, NodesKnowTheirFullPath)
{
    folder("A/B/C");
    LBLayoutItem root(path("A/B"), nullptr);
    EXPECT_EQ(root.relativePath(), path("A/B"));
    EXPECT_EQ(root.fullPath(), path("A/B"));
    ASSERT_EQ(root.numberOfChildren(), 1);
    LBLayoutItem* c = root.childAtIndex(0);
    EXPECT_EQ(c->relativePath(), "C");
    EXPECT_EQ(c->fullPath(), path("A/B/C"));

    LBLayoutItem slash("/", nullptr);
    LBLayoutItem child("/tmp", &slash);
    EXPECT_EQ(child.relativePath(), "tmp");
    EXPECT_EQ(child.fullPath(), "/tmp");
}

TEST_F(TemplateTree, TemplatePicturesComeFromThePreviewForTheCellSize)
{
    folder("Both.quarnlb");
    picture("Both.quarnlb/Preview120.jpg", Qt::red, "JPEG");
    picture("Both.quarnlb/Preview.jpg", Qt::blue, "JPEG");
    folder("Small only.quarnlb");
    picture("Small only.quarnlb/Preview120.jpg", Qt::red, "JPEG");
    folder("Gif.quarnlb");
    greenGif("Gif.quarnlb/Preview.gif");
    folder("Folder preview.quarnlb/Preview.jpg");
    folder("Broken.quarnlb");
    file("Broken.quarnlb/Preview.jpg");

    struct Case
    {
        const char* package;
        double cell;
        QColor expected; // invalid: no picture
    };
    const Case cases[] = {
        {"Both.quarnlb", 120, Qt::red},      {"Both.quarnlb", 121, Qt::blue},
        {"Small only.quarnlb", 64, Qt::red}, {"Small only.quarnlb", 121, QColor()},
        {"Gif.quarnlb", 64, Qt::green},      {"Folder preview.quarnlb", 200, QColor()},
        {"Broken.quarnlb", 200, QColor()},   {"Missing.quarnlb", 64, QColor()},
    };
    for (const Case& c : cases) {
        const auto item = LBTemplateObject::templateObjectWithPath(path(c.package), 0);
        item->setCellSize(c.cell);
        const QColor color = colorOf(item->imageRepresentation());
        EXPECT_EQ(color.isValid(), c.expected.isValid()) << c.package << " " << c.cell;
        if (c.expected.isValid()) {
            EXPECT_NEAR(color.hueF(), c.expected.hueF(), 0.05) << c.package << " " << c.cell;
        }
    }
}

TEST_F(TemplateTree, AMissingPreviewIsTriedAgainAndAPictureMadeIsKept)
{
    folder("Later.quarnlb");
    const auto item = LBTemplateObject::templateObjectWithPath(path("Later.quarnlb"), 0);
    item->setCellSize(200);
    EXPECT_EQ(item->imageRepresentation(), nullptr);
    picture("Later.quarnlb/Preview.jpg", Qt::blue, "JPEG");
    const std::shared_ptr<platform::Image> made = item->imageRepresentation();
    ASSERT_NE(made, nullptr);
    QFile::remove(path("Later.quarnlb/Preview.jpg"));
    item->setCellSize(100);
    item->setPath(path("Elsewhere.quarnlb"));
    EXPECT_EQ(item->imageRepresentation(), made);
}

TEST(LBTemplateObject, BlankSheetsAreWhitePicturesOfThePapersShape)
{
    struct Case
    {
        QSizeF paper;
        QSizeF picture;
    };
    const Case cases[] = {
        {{612, 792}, {612.0 * 100 / 792, 100}}, // 77.27...
        {{792, 612}, {100, 612.0 * 100 / 792}},
        {{500, 500}, {100, 100}},
    };
    for (const Case& c : cases) {
        const auto item = LBTemplateObject::templateObjectWithPath("738000000.5/8.5x11in", 0);
        item->setBlankPaperSize(c.paper);
        item->setCellSize(100);
        const std::shared_ptr<platform::Image> image = item->imageRepresentation();
        ASSERT_NE(image, nullptr);
        EXPECT_DOUBLE_EQ(image->size().width(), c.picture.width());
        EXPECT_DOUBLE_EQ(image->size().height(), c.picture.height());
        EXPECT_EQ(image->bitmapImageRep().pixelColor(0, 0), QColor(Qt::white));
    }
}

TEST(LBTemplateObject, IdentifiedByPathAndTitledByName)
{
    const auto card = LBTemplateObject::templateObjectWithPath("/T/Card.v2.quarnlb", 3);
    EXPECT_EQ(card->imageUID(), "/T/Card.v2.quarnlb");
    EXPECT_EQ(card->imageTitle(), "Card.v2");
    EXPECT_EQ(card->placeholderImageType(), 3);
    EXPECT_EQ(card->blankPaperSize(), QSizeF(0, 0));

    const auto blank = LBTemplateObject::templateObjectWithPath("738000000.5/8.5x11in", 0);
    blank->setBlankPaperSize(QSizeF(612, 792));
    EXPECT_EQ(blank->imageTitle(), "8.5x11in");
    blank->setPath("738000000.5/A4/Letter 2.5");
    EXPECT_EQ(blank->imageTitle(), "A4/Letter 2.5");
}
