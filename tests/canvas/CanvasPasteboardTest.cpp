// Copy, cut and paste through the clipboard (the offscreen platform keeps one in the
// process): the paste cascade, pasted graphics kept on the page, groups, picture files
// duplicated once, the types offered, and bad data.

#include "CanvasTestSupport.h"

#include "shapes/LBImage.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace {

const QString kPrintLine = QStringLiteral("Quarn Print Line");

class CanvasPasteboard : public CanvasTest
{
protected:
    ~CanvasPasteboard() override
    {
        for (const QString& path : _duplicates)
            QFile::remove(path);
    }

    // Graphics put on the clipboard by someone else (another window or program).
    static void putOnClipboard(const QList<LBGraphicPtr>& graphics)
    {
        platform::Pasteboard& pasteboard = platform::Pasteboard::generalPasteboard();
        pasteboard.declareTypes({kPrintLine});
        pasteboard.setData(LBDocument::dataForGraphics(graphics), kPrintLine);
    }
    // The graphics the clipboard holds.
    static QList<LBGraphicPtr> clipboardGraphics()
    {
        return *LBGraphicView::graphicsFromPasteboard(platform::Pasteboard::generalPasteboard());
    }
    QList<QPointF> frontOrigins(qsizetype count) const
    {
        QList<QPointF> origins;
        for (qsizetype i = 0; i < count; ++i)
            origins.append(document->pageGraphics().at(1).at(i)->bounds().topLeft());
        return origins;
    }
    void forgetDuplicate(const QString& path) { _duplicates.append(path); }

private:
    QStringList _duplicates;
};

} // namespace

TEST_F(CanvasPasteboard, RepeatedPastesCascade)
{
    auto original = add("original", QRectF(100, 100, 40, 30));
    canvas->selectGraphic(original);
    canvas->copy(nullptr);
    for (const QPointF expected : {QPointF(110, 110), QPointF(120, 120), QPointF(130, 130)}) {
        canvas->paste(nullptr);
        EXPECT_EQ(document->pageGraphics().at(1).first()->bounds(),
                  QRectF(expected, QSizeF(40, 30)));
        EXPECT_EQ(canvas->selectedGraphics(true).size(), 1);
        EXPECT_EQ(undoName(), undoStrings("Paste"));
    }
    EXPECT_EQ(document->pageGraphics().at(1).size(), 4);
}

TEST_F(CanvasPasteboard, CutThenPastePutsTheGraphicBack)
{
    auto original = add("original", QRectF(100, 100, 40, 30));
    canvas->selectGraphic(original);
    canvas->cut(nullptr);
    EXPECT_TRUE(document->pageGraphics().at(1).isEmpty());
    EXPECT_EQ(undoName(), undoStrings("Cut"));
    canvas->paste(nullptr);
    canvas->paste(nullptr);
    EXPECT_EQ(frontOrigins(2), QList<QPointF>({QPointF(110, 110), QPointF(100, 100)}));
}

TEST_F(CanvasPasteboard, ContentsFromElsewhereArePastedAtTheirPlaceFirst)
{
    putOnClipboard({filledRectangle(QRectF(50, 60, 40, 30))});
    canvas->paste(nullptr);
    canvas->paste(nullptr);
    EXPECT_EQ(frontOrigins(2), QList<QPointF>({QPointF(60, 70), QPointF(50, 60)}));

    // Selecting between pastes does not restart the cascade; new contents do.
    canvas->clearSelection();
    canvas->paste(nullptr);
    EXPECT_EQ(frontOrigins(1).first(), QPointF(70, 80));
    putOnClipboard({filledRectangle(QRectF(50, 60, 40, 30))});
    canvas->paste(nullptr);
    EXPECT_EQ(frontOrigins(1).first(), QPointF(50, 60));
}

TEST_F(CanvasPasteboard, PastedGraphicsStayOnThePage)
{
    struct Case
    {
        QRectF stored;
        QPointF pasted;
    };
    // The page is (0, 0, 612, 792).
    const Case cases[] = {
        {QRectF(590, 10, 100, 40), QPointF(512, 10)},   {QRectF(-80, 10, 60, 40), QPointF(0, 10)},
        {QRectF(300, 780, 40, 100), QPointF(300, 692)}, {QRectF(300, -90, 40, 60), QPointF(300, 0)},
        {QRectF(560, 700, 60, 40), QPointF(560, 700)}, // reaches in far enough: stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.x());
        putOnClipboard({filledRectangle(c.stored)});
        canvas->paste(nullptr);
        EXPECT_EQ(frontOrigins(1).first(), c.pasted);
    }
}

TEST_F(CanvasPasteboard, AGroupIsPastedWholeAndSelected)
{
    auto parent = add("parent", QRectF(100, 100, 20, 20));
    auto member = add("member", QRectF(130, 100, 20, 20));
    for (const auto& g : {parent, member}) {
        g->setIsGrouped(true);
        g->setGroupBounds(QRectF(100, 100, 50, 20));
    }
    parent->setGroupedChildrenCount(1);
    canvas->selectGraphic(member);
    canvas->copy(nullptr);
    canvas->paste(nullptr);
    const LBDocument::Layer& layer = document->pageGraphics().at(1);
    ASSERT_EQ(layer.size(), 4);
    EXPECT_EQ(layer.at(0)->groupedChildrenCount(), 1);
    EXPECT_EQ(layer.at(0)->bounds(), QRectF(110, 110, 20, 20));
    EXPECT_EQ(layer.at(1)->bounds(), QRectF(140, 110, 20, 20));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(layer.at(i)->groupBounds(), QRectF(110, 110, 50, 20));
    EXPECT_EQ(canvas->selectedGraphics(true), layer.mid(0, 2));
}

TEST_F(CanvasPasteboard, TypesOfferedAndTheClipboardRoundTrip)
{
    auto a = add("a", QRectF(100, 100, 40, 30));
    auto b = add("b", QRectF(200, 100, 40, 30));
    platform::Pasteboard& general = platform::Pasteboard::generalPasteboard();
    canvas->selectGraphic(a);
    canvas->copy(nullptr);
    EXPECT_EQ(general.types(), QStringList({kPrintLine, platform::TIFFPboardType}));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasFormat(QStringLiteral("application/x-quarn-print-line")));
    EXPECT_FALSE(QImage::fromData(data->data(QStringLiteral("image/tiff"))).isNull());

    canvas->selectGraphic(b);
    canvas->copy(nullptr);
    EXPECT_EQ(general.types(), QStringList({kPrintLine}));
    const QList<LBGraphicPtr> copied = clipboardGraphics();
    ASSERT_EQ(copied.size(), 2);
    EXPECT_EQ(copied.at(0)->bounds(), a->bounds()); // page at the origin

    // Locked graphics are not copied: nothing selected to copy leaves the clipboard alone.
    a->setLocked(true);
    b->setLocked(true);
    canvas->copy(nullptr);
    EXPECT_EQ(clipboardGraphics().size(), 2);
}

TEST_F(CanvasPasteboard, GraphicsSharingAPictureFileShareOneDuplicate)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("shared.png"));
    QImage bitmap(4, 4, QImage::Format_ARGB32);
    bitmap.fill(Qt::blue);
    ASSERT_TRUE(bitmap.save(path));
    QList<LBGraphicPtr> images;
    for (int i = 0; i < 2; ++i) {
        auto image = std::make_shared<LBImage>();
        image->setBounds(QRectF(50 + 60 * i, 50, 40, 40));
        image->setDocument(document.get());
        image->setImageFilePath(path, true, false, LBGraphic::FillImageType);
        undo()->disableUndoRegistration();
        document->insertGraphic(image, 0, 1);
        undo()->enableUndoRegistration();
        canvas->selectGraphic(image);
        images.append(image);
    }
    const QString source = document->imageFilePathForGraphic(*images.first());
    ASSERT_FALSE(source.isEmpty());

    canvas->copy(nullptr);
    const QList<LBGraphicPtr> copied = clipboardGraphics();
    ASSERT_EQ(copied.size(), 2);
    const QString first = copied.at(0)->imageFilePathOfType(LBGraphic::FillImageType);
    forgetDuplicate(first);
    EXPECT_EQ(copied.at(1)->imageFilePathOfType(LBGraphic::FillImageType), first);
    EXPECT_NE(first, source);
    EXPECT_EQ(QFileInfo(first).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    EXPECT_TRUE(QFileInfo::exists(first));
    // The graphics on the page keep their own file.
    EXPECT_EQ(document->imageFilePathForGraphic(*images.first()), source);
}

TEST_F(CanvasPasteboard, UnreadableGraphicsChangeNothing)
{
    add("old", QRectF(10, 10, 10, 10));
    platform::Pasteboard& general = platform::Pasteboard::generalPasteboard();
    for (const QByteArray& data : {QByteArray("( not a dictionary"), QByteArray("(1, 2)")}) {
        SCOPED_TRACE(data.constData());
        general.declareTypes({kPrintLine});
        general.setData(data, kPrintLine);
        undo()->removeAllActions();
        canvas->paste(nullptr);
        EXPECT_EQ(layer(), QStringList({"old"}));
        closeStep();
        EXPECT_FALSE(undo()->canUndo());
    }
}
