// Pasteboards over MIME data: the type names' MIME types, the types offered, typed data,
// the clipboard's change count; drags and a destination's view of them.

#include "platform/ui/Pasteboard.h"
#include "platform/core/Archive.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/Drag.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

TEST(Pasteboard, TypeNamesMapToTheirMimeTypes)
{
    const std::pair<QString, const char*> cases[] = {
        {QStringLiteral("Quarn Print Line"), "application/x-quarn-print-line"},
        {QStringLiteral("Quarn Print Line 1"), "application/x-quarn-print-line-1"},
        {QStringLiteral("LBQFieldPboardType"), "application/x-lbq-field-ranges"},
        {platform::ColorPboardType, "application/x-color"},
        {platform::FilenamesPboardType, "text/uri-list"},
        {platform::RTFDPboardType, "application/x-veltrin-rich-text"},
        {platform::StringPboardType, "text/plain"},
        {platform::TIFFPboardType, "image/tiff"},
        {platform::PNGPboardType, "image/png"},
        {platform::PDFPboardType, "application/pdf"},
        {platform::PostScriptPboardType, "application/postscript"},
        {platform::PICTPboardType, "image/x-pict"},
        {QStringLiteral("image/jpeg"), "image/jpeg"},
        {QStringLiteral("LBLayerPboardType"), "application/x-veltrin-layer-row"},
        {QStringLiteral("LBTextTablePboardType"), "application/x-veltrin-text-library-row"},
    };
    for (const auto& [type, mime] : cases) {
        EXPECT_EQ(platform::mimeTypeForPasteboardType(type), QString::fromLatin1(mime))
            << type.toStdString();
        EXPECT_EQ(platform::pasteboardTypeForMimeType(QString::fromLatin1(mime)), type);
    }
    // Any other name: its letters and digits.
    EXPECT_EQ(platform::mimeTypeForPasteboardType(QStringLiteral("LBOtherPboardType")),
              QStringLiteral("application/x-lbotherpboardtype"));
    const QStringList images = platform::imagePasteboardTypes();
    EXPECT_EQ(
        images.mid(0, 5),
        QStringList({platform::TIFFPboardType, platform::PICTPboardType, platform::PDFPboardType,
                     platform::PostScriptPboardType, platform::PNGPboardType}));
    EXPECT_TRUE(images.contains(QStringLiteral("image/jpeg")));
}

TEST(Pasteboard, TypedDataAndTheTypesOffered)
{
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    pasteboard.declareTypes({QStringLiteral("Quarn Print Line"), platform::TIFFPboardType,
                             platform::StringPboardType, platform::ColorPboardType,
                             platform::FilenamesPboardType});
    EXPECT_TRUE(pasteboard.types().isEmpty()); // declared, but no data yet: not offered
    EXPECT_TRUE(pasteboard.setData("( )", QStringLiteral("Quarn Print Line")));
    EXPECT_FALSE(pasteboard.setData("%PDF", platform::PDFPboardType)); // not declared
    EXPECT_TRUE(pasteboard.setString(QStringLiteral("words"), platform::StringPboardType));
    EXPECT_TRUE(pasteboard.setColor(QColor(10, 20, 30, 40)));
    EXPECT_TRUE(pasteboard.setPropertyList(QStringList{QStringLiteral("/a b/c.png")},
                                           platform::FilenamesPboardType));

    const QStringList offered = pasteboard.types();
    for (const QString& type : {QStringLiteral("Quarn Print Line"), platform::StringPboardType,
                                platform::ColorPboardType, platform::FilenamesPboardType})
        EXPECT_TRUE(offered.contains(type)) << type.toStdString();
    EXPECT_FALSE(offered.contains(platform::TIFFPboardType));
    EXPECT_EQ(
        pasteboard.availableTypeFromArray(
            {platform::TIFFPboardType, platform::ColorPboardType, platform::StringPboardType}),
        platform::ColorPboardType);
    EXPECT_TRUE(pasteboard.availableTypeFromArray({platform::PDFPboardType}).isNull());
    EXPECT_EQ(pasteboard.dataForType(QStringLiteral("Quarn Print Line")), QByteArray("( )"));
    EXPECT_EQ(pasteboard.stringForType(platform::StringPboardType), QStringLiteral("words"));
    EXPECT_EQ(pasteboard.color(), QColor(10, 20, 30, 40));
    EXPECT_EQ(pasteboard.propertyListForType(platform::FilenamesPboardType).toStringList(),
              QStringList({QStringLiteral("/a b/c.png")}));

    // A drop made elsewhere offers what its data holds.
    QMimeData foreign;
    foreign.setText(QStringLiteral("x"));
    foreign.setData(QStringLiteral("image/png"), "png");
    EXPECT_EQ(platform::Pasteboard(&foreign).types(),
              QStringList({platform::StringPboardType, platform::PNGPboardType}));
}

TEST(Pasteboard, RichTextFilesAndImagesByType)
{
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    EXPECT_FALSE(pasteboard.attributedString()); // nothing offered
    EXPECT_TRUE(pasteboard.imageData().isEmpty());

    platform::AttributedString rich(QStringLiteral("Bold "),
                                    {{platform::ForegroundColorAttributeName, QColor(Qt::red)}});
    rich.appendAttributedString(platform::AttributedString(QStringLiteral("plain")));
    EXPECT_FALSE(pasteboard.setAttributedString(rich)); // rich text not declared
    pasteboard.declareTypes({platform::RTFDPboardType, platform::FilenamesPboardType,
                             platform::PNGPboardType, platform::TIFFPboardType});
    ASSERT_TRUE(pasteboard.setAttributedString(rich));
    bool isRich = false;
    EXPECT_EQ(pasteboard.attributedString(&isRich), rich);
    EXPECT_TRUE(isRich);
    // Other programs find the characters as plain text.
    EXPECT_EQ(data.text(), QStringLiteral("Bold plain"));
    EXPECT_EQ(pasteboard.availableTypeFromArray({platform::StringPboardType}),
              platform::StringPboardType);

    ASSERT_TRUE(pasteboard.setFilenames({QStringLiteral("/tmp/one.png"), QStringLiteral("/x y")}));
    EXPECT_EQ(pasteboard.filenames(),
              QStringList({QStringLiteral("/tmp/one.png"), QStringLiteral("/x y")}));

    // Images by type: the first of the image types offered, in their order.
    ASSERT_TRUE(pasteboard.setData("png bytes", platform::PNGPboardType));
    ASSERT_TRUE(pasteboard.setData("tiff bytes", platform::TIFFPboardType));
    QString type;
    EXPECT_EQ(pasteboard.imageData(&type), QByteArray("tiff bytes"));
    EXPECT_EQ(type, platform::TIFFPboardType);
    EXPECT_EQ(pasteboard.availableImageType(), platform::TIFFPboardType);

    // Another program's text: plain; our rich text spoilt: the plain text beside it.
    QMimeData foreign;
    foreign.setText(QStringLiteral("from afar"));
    EXPECT_EQ(platform::Pasteboard(&foreign).attributedString(),
              platform::AttributedString(QStringLiteral("from afar")));
    foreign.setData(platform::mimeTypeForPasteboardType(platform::RTFDPboardType), "<broken");
    EXPECT_EQ(platform::Pasteboard(&foreign).attributedString(&isRich),
              platform::AttributedString(QStringLiteral("from afar")));
    EXPECT_FALSE(isRich);
    foreign.removeFormat(QStringLiteral("text/plain"));
    EXPECT_FALSE(platform::Pasteboard(&foreign).attributedString());
    foreign.setUrls({QUrl(QStringLiteral("https://example.org/a.png")),
                     QUrl::fromLocalFile(QStringLiteral("/tmp/b.png"))});
    EXPECT_EQ(platform::Pasteboard(&foreign).filenames(),
              QStringList({QStringLiteral("/tmp/b.png")}));
}

TEST(Pasteboard, TheGeneralPasteboardCountsEveryChangeOfTheClipboard)
{
    platform::Pasteboard& general = platform::Pasteboard::generalPasteboard();
    const qint64 before = platform::Pasteboard::generalChangeCount();
    const qint64 count = general.declareTypes({platform::StringPboardType});
    EXPECT_EQ(count, before + 1);
    general.setString(QStringLiteral("copied"), platform::StringPboardType);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("copied"));
    EXPECT_EQ(general.stringForType(platform::StringPboardType), QStringLiteral("copied"));

    QGuiApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
    EXPECT_EQ(platform::Pasteboard::generalChangeCount(), before + 2);
    EXPECT_EQ(general.stringForType(platform::StringPboardType), QStringLiteral("from elsewhere"));
}

TEST(Drag, ADestinationInThisProcessKnowsTheSourceAndTheImage)
{
    QWidget source;
    QWidget destination;
    platform::Drag drag(&source);
    drag.pasteboard().declareTypes({QStringLiteral("Quarn Print Line")});
    drag.pasteboard().setData("( )", QStringLiteral("Quarn Print Line"));
    drag.setImage(QImage(40, 20, QImage::Format_ARGB32), QPoint(10, 5));
    EXPECT_EQ(drag.imageRectAroundPointer(), QRect(-10, -5, 40, 20));

    bool ran = false;
    platform::Drag::setRunner([&](platform::Drag& running) {
        ran = true;
        EXPECT_EQ(platform::Drag::current(), &running);
        QDropEvent event(QPointF(100, 100), Qt::CopyAction | Qt::MoveAction, running.mimeData(),
                         Qt::LeftButton, Qt::ShiftModifier);
        // The destination at zoom 2: its coordinates are half the pixels.
        platform::DraggingInfo info(&event, QPointF(50, 50), 2.0);
        EXPECT_EQ(info.draggingSource(), &source);
        EXPECT_EQ(info.draggedImageSize(), QSize(40, 20));
        EXPECT_EQ(info.draggedImageLocation(), QPointF(45, 57.5)); // lower-left corner
        EXPECT_EQ(info.modifiers(), Qt::ShiftModifier);
        EXPECT_EQ(info.draggingPasteboard().dataForType(QStringLiteral("Quarn Print Line")),
                  QByteArray("( )"));
        return Qt::MoveAction;
    });
    EXPECT_EQ(drag.exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction), Qt::MoveAction);
    EXPECT_TRUE(ran);
    EXPECT_EQ(platform::Drag::current(), nullptr);
    platform::Drag::setRunner({});

    // From elsewhere: no source, no image; the image's corner is the pointer.
    QMimeData other;
    QDropEvent event(QPointF(100, 100), Qt::CopyAction, &other, Qt::LeftButton, {});
    platform::DraggingInfo info(&event, QPointF(100, 100));
    EXPECT_EQ(info.draggingSource(), nullptr);
    EXPECT_TRUE(info.draggedImageSize().isEmpty());
    EXPECT_EQ(info.draggedImageLocation(), QPointF(100, 100));
}
