// The image well's drops and drags out, and the link field's links.

#include "controls/DSClickableURLTextField.h"
#include "controls/LBDragImageView.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Pasteboard.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Link
{
    QString text;
    QVariant link;
};

platform::AttributedString textWithLinks(const QList<Link>& runs)
{
    platform::AttributedString text;
    for (const Link& run : runs) {
        QVariantMap attributes;
        if (run.link.isValid())
            attributes.insert(platform::LinkAttributeName, run.link);
        text.appendAttributedString(platform::AttributedString(run.text, attributes));
    }
    return text;
}

} // namespace

TEST(LBDragImageViewTest, DropKeepsThePathAndSendsTheActionOnce)
{
    QTemporaryDir folder;
    const QString picturePath = folder.filePath("logo.png");
    QImage bitmap(20, 10, QImage::Format_ARGB32);
    bitmap.fill(Qt::green);
    ASSERT_TRUE(bitmap.save(picturePath));
    const QString textPath = folder.filePath("notes.txt");
    QFile text(textPath);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();

    LBDragImageView well;
    well.resize(64, 64);
    well.show();
    int actions = 0;
    well.setAction([&](LBDragImageView*) { ++actions; });
    // A drop sent as the platform sends it: the first file counts.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(picturePath), QUrl::fromLocalFile(textPath)});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&well, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QApplication::sendEvent(&well, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(well.image());
    EXPECT_EQ(well.imageFilePath(), picturePath);
    EXPECT_TRUE(well.containsImage());
    EXPECT_EQ(actions, 1);
    // A file that is no picture changes nothing.
    EXPECT_FALSE(well.dropFiles({textPath}));
    EXPECT_EQ(well.imageFilePath(), picturePath);
    EXPECT_EQ(actions, 1);
    // Setting an image in code after a drop clears the path... unless a drop is pending,
    // which the failed drop left: its path comes in with the next image.
    well.setImage(platform::Image::fromFile(picturePath));
    EXPECT_EQ(well.imageFilePath(), textPath);
    well.setImage(platform::Image::fromFile(picturePath));
    EXPECT_TRUE(well.imageFilePath().isEmpty());
}

TEST(LBDragImageViewTest, LettingGoOutsideRemovesThePicture)
{
    QWidget window;
    LBDragImageView well(&window);
    well.setGeometry(10, 10, 64, 64);
    window.show();
    QImage bitmap(20, 10, QImage::Format_ARGB32);
    bitmap.fill(Qt::green);
    well.setImage(platform::Image::fromBitmap(bitmap, QSizeF(20, 10)));
    well.setContainsImage(true);
    int actions = 0;
    well.setAction([&](LBDragImageView*) { ++actions; });
    const QRect global = well.globalRect();
    // Inside, edges included: nothing changes; no position known: nothing either.
    well.dragEnded(global.center());
    well.dragEnded(global.topLeft());
    well.dragEnded(global.topLeft() + QPoint(64, 64));
    well.dragEnded(std::nullopt);
    EXPECT_TRUE(well.image());
    EXPECT_EQ(actions, 0);
    well.dragEnded(global.topLeft() + QPoint(65, 30));
    EXPECT_FALSE(well.image());
    EXPECT_TRUE(well.containsImage()); // left as it was
    EXPECT_EQ(actions, 1);
    // The drag carries the private type alone, with no data.
    std::unique_ptr<QMimeData> dragged(LBDragImageView::dragMimeData());
    EXPECT_EQ(dragged->formats(),
              QStringList{platform::mimeTypeForPasteboardType(LBIgnoreImageDragType)});
    EXPECT_FALSE(dragged->hasImage());
    EXPECT_FALSE(dragged->hasUrls());
}

TEST(DSClickableURLTextFieldTest, OpensOnlyWhenPressAndReleaseMeetOneLink)
{
    DSClickableURLTextField field;
    field.resize(300, 20);
    QList<QUrl> opened;
    field.setURLOpener([&](const QUrl& url) { opened.append(url); });
    // No links: no pointing hand, nothing opens.
    field.setStringValue("Plain text only");
    EXPECT_TRUE(field.cursorRects().isEmpty());
    field.mouseDownAt(QPointF(10, 8));
    field.mouseUpAt(QPointF(10, 8));
    EXPECT_TRUE(opened.isEmpty());

    field.setAttributedStringValue(textWithLinks({{"Get ", {}},
                                                  {"one", QUrl("https://example.com/one")},
                                                  {" or ", {}},
                                                  {"two", QString("https://example.com/two")}}));
    const QList<QRectF> links = field.cursorRects();
    ASSERT_EQ(links.size(), 2);
    const QPointF one = links[0].center(), two = links[1].center();
    EXPECT_EQ(field.urlAtPoint(one), QUrl("https://example.com/one"));
    // Pressed on one, released on the other or outside: nothing.
    field.mouseDownAt(one);
    field.mouseUpAt(two);
    field.mouseDownAt(one);
    field.mouseUpAt(QPointF(links[0].left() - 10, one.y()));
    EXPECT_TRUE(opened.isEmpty());
    // A link kept as text opens as a URL.
    field.mouseDownAt(two);
    field.mouseUpAt(two);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0], QUrl("https://example.com/two"));

    // A delegate that opens the link itself keeps the opener out.
    struct Opening : DSClickableURLTextFieldDelegate
    {
        int calls = 0;
        bool textFieldOpenURL(DSClickableURLTextField*, const QUrl&) override
        {
            ++calls;
            return true;
        }
    } delegate;
    field.setDelegate(&delegate);
    field.mouseDownAt(one);
    field.mouseUpAt(one);
    EXPECT_EQ(delegate.calls, 1);
    EXPECT_EQ(opened.size(), 1);
}

TEST(DSClickableURLTextFieldTest, CopyURLMenuOnlyWhenAllowed)
{
    DSClickableURLTextField field;
    field.resize(300, 20);
    field.setAttributedStringValue(textWithLinks({{"site", QUrl("https://example.com/")}}));
    const QPointF link = field.cursorRects().value(0).center();
    EXPECT_EQ(field.menuForPoint(link), nullptr);
    field.setCanCopyURLs(true);
    EXPECT_EQ(field.menuForPoint(QPointF(290, 10)), nullptr); // no link there
    std::unique_ptr<QMenu> menu(field.menuForPoint(link));
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "Copy URL");
    menu->actions()[0]->trigger();
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->urls(), QList<QUrl>{QUrl("https://example.com/")});
    EXPECT_EQ(copied->text(), "https://example.com/");
}
