// Pictures from files and pasteboards, and drops onto the canvas from elsewhere: picture
// files, text (with a merge field), colours, files over a text box, and drops the canvas
// refuses. Drops are played with synthetic drag events (offscreen, a real drag ends at
// once).

#include "CanvasTestSupport.h"

#include "canvas/LBFieldRanges.h"
#include "canvas/LBTextView.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"
#include "shapes/LBImage.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QUrl>

namespace {

class CanvasDrop : public CanvasTest
{
protected:
    // A picture file of w × h points (72 dpi).
    QString picture(const QString& fileName, int w, int h)
    {
        const QString path = _files.filePath(fileName);
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::green);
        image.setDotsPerMeterX(2835);
        image.setDotsPerMeterY(2835);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
    QString file(const QString& fileName, const QByteArray& data)
    {
        const QString path = _files.filePath(fileName);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    }
    static QByteArray pdfData(const QSizeF& points)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(points, QPageSize::Point));
        writer.setPageMargins(QMarginsF());
        QPainter painter(&writer);
        painter.fillRect(QRectF(0, 0, 10, 10), Qt::red);
        painter.end();
        return bytes;
    }
    // The front-most graphic of the selected layer.
    LBGraphicPtr front() const
    {
        const LBDocument::Layer& layer = document->pageGraphics().at(1);
        return layer.isEmpty() ? nullptr : layer.first();
    }
    qsizetype count() const { return document->pageGraphics().at(1).size(); }

    // Enters, moves and drops the data at the point; the action the drop was taken with,
    // none when refused.
    Qt::DropAction drop(QMimeData& data, const QPointF& at)
    {
        const QPoint position = canvas->convertToWidget(at).toPoint();
        QDragEnterEvent enter(position, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDragMoveEvent move(position, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &move);
        QDropEvent dropEvent(QPointF(position), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &dropEvent);
        return dropEvent.isAccepted() ? dropEvent.dropAction() : Qt::IgnoreAction;
    }
    // The answer to a drag moved over the point, without dropping.
    Qt::DropAction hover(QMimeData& data, const QPointF& at)
    {
        const QPoint position = canvas->convertToWidget(at).toPoint();
        QDragEnterEvent enter(position, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &enter);
        QDragMoveEvent move(position, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &move);
        return move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
    }

private:
    QTemporaryDir _files;
};

} // namespace

// ==== Pictures ============================================================================

TEST_F(CanvasDrop, PicturesTakeTheirNaturalSizeShrunkToThePage)
{
    ASSERT_TRUE(canvas->makeNewImageFromContentsOfFile(picture("big.png", 3000, 2000),
                                                       QPointF(300, 400), QSizeF()));
    EXPECT_EQ(front()->bounds().size(), QSizeF(612, 408));
    EXPECT_EQ(front()->bounds().center(), QPointF(300, 400));
    EXPECT_TRUE(canvas->graphicIsSelected(front().get()));

    ASSERT_TRUE(canvas->makeNewImageFromContentsOfFile(picture("wide.png", 700, 500),
                                                       QPointF(-1, -1), QSizeF()));
    EXPECT_EQ(front()->bounds(), QRectF(306 - 350, 396 - 250, 700, 500)); // centred on the page

    host->zoom = 2.0;
    ASSERT_TRUE(canvas->makeNewImageFromContentsOfFile(picture("small.png", 20, 20),
                                                       QPointF(100, 100), QSizeF(200, 100)));
    EXPECT_EQ(front()->bounds(), QRectF(50, 75, 100, 50));
}

TEST_F(CanvasDrop, PostScriptBecomesAPdfWorkingFile)
{
    const QByteArray eps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 50\n"
                           "newpath 0 0 moveto 100 0 lineto 100 50 lineto closepath fill\n"
                           "showpage\n%%EOF\n";
    ASSERT_TRUE(
        canvas->makeNewImageFromContentsOfFile(file("art.eps", eps), QPointF(200, 200), QSizeF()));
    const auto* image = dynamic_cast<LBImage*>(front().get());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->bounds().size(), QSizeF(100, 50));
    const QString path = image->imageFilePathOfType(LBGraphic::FillImageType);
    EXPECT_EQ(QFileInfo(path).suffix(), QStringLiteral("pdf"));
    EXPECT_TRUE(path.startsWith(LBProcessState::temporaryFolderPath()));
}

TEST_F(CanvasDrop, PictAndUnreadableFilesInsertNothing)
{
    const QString files[] = {
        file("old.pict", QByteArray(600, '\0')),
        file("broken.png", "not a picture"),
        file("notes.txt", "text"),
        QStringLiteral("/nonexistent/none.png"),
    };
    for (const QString& path : files) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(canvas->makeNewImageFromContentsOfFile(path, QPointF(100, 100), QSizeF()));
    }
    EXPECT_EQ(count(), 0);
}

TEST_F(CanvasDrop, PicturesFromAPasteboardPreferPdfAndLandInTheMiddleOfThePage)
{
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    pasteboard.declareTypes({platform::TIFFPboardType, platform::PDFPboardType});
    QImage bitmap(40, 20, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    bitmap.save(&buffer, "TIFF");
    pasteboard.setData(tiff, platform::TIFFPboardType);
    pasteboard.setData(pdfData(QSizeF(80, 60)), platform::PDFPboardType);
    ASSERT_TRUE(canvas->makeNewImageFromPasteboard(pasteboard, QPointF(10, 10)));
    EXPECT_EQ(QFileInfo(front()->imageFilePathOfType(LBGraphic::FillImageType)).suffix(),
              QStringLiteral("pdf"));
    EXPECT_EQ(front()->bounds().size(), QSizeF(80, 60));

    // TIFF alone, pasted: the middle of the page, not of its visible part.
    platform::Pasteboard& general = platform::Pasteboard::generalPasteboard();
    general.declareTypes({platform::TIFFPboardType});
    general.setData(tiff, platform::TIFFPboardType);
    canvas->paste(nullptr);
    EXPECT_EQ(front()->bounds().center(), QPointF(306, 396));
    EXPECT_EQ(undoName(), undoStrings("Paste"));

    // PICT data is refused.
    pasteboard.declareTypes({platform::PICTPboardType});
    pasteboard.setData(QByteArray(600, '\0'), platform::PICTPboardType);
    EXPECT_FALSE(canvas->makeNewImageFromPasteboard(pasteboard, QPointF(10, 10)));
    EXPECT_EQ(count(), 2);
}

// ==== Drops ===============================================================================

TEST_F(CanvasDrop, DroppedFilesCascadeFromTheDropPoint)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(picture("a.png", 20, 10)),
                  QUrl::fromLocalFile(picture("b.png", 20, 10)),
                  QUrl::fromLocalFile(picture("c.png", 20, 10))});
    EXPECT_EQ(drop(data, QPointF(100, 100)), Qt::CopyAction);
    ASSERT_EQ(count(), 3);
    const LBDocument::Layer& layer = document->pageGraphics().at(1);
    EXPECT_EQ(layer.at(2)->bounds().center(), QPointF(100, 100));
    EXPECT_EQ(layer.at(1)->bounds().center(), QPointF(110, 110));
    EXPECT_EQ(layer.at(0)->bounds().center(), QPointF(120, 120));
}

TEST_F(CanvasDrop, AStringBecomesATextBoxAtTheDropOneAndAHalfLinesWide)
{
    QMimeData data;
    data.setText(QStringLiteral("Dropped text"));
    EXPECT_EQ(drop(data, QPointF(200, 300)), Qt::CopyAction);
    ASSERT_EQ(count(), 1);
    auto* box = dynamic_cast<LBTextArea*>(front().get());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->contents()->string(), QStringLiteral("Dropped text"));
    const QSizeF line = box->requiredSize(1000000.0);
    EXPECT_EQ(box->bounds(), QRectF(200, 300, line.width() * 1.5, line.height()));
    EXPECT_TRUE(canvas->graphicIsSelected(box));
}

TEST_F(CanvasDrop, AMergeFieldComesOutCentredOnThePointer)
{
    // A field dragged out of the editor: its image is the field's, 80 × 14.
    QWidget source;
    platform::Drag drag(&source);
    drag.pasteboard().declareTypes(
        {platform::StringPboardType, QStringLiteral("LBQFieldPboardType")});
    drag.pasteboard().setString(QStringLiteral("Name"), platform::StringPboardType);
    drag.pasteboard().setData("()", QStringLiteral("LBQFieldPboardType"));
    QImage image(80, 14, QImage::Format_ARGB32);
    image.fill(Qt::white);
    drag.setImage(image, QPoint(10, 3));
    Qt::DropAction taken = Qt::IgnoreAction;
    platform::Drag::setRunner([&](platform::Drag& d) {
        taken = drop(*d.mimeData(), QPointF(200, 300));
        return taken;
    });
    drag.exec(Qt::CopyAction, Qt::CopyAction);
    EXPECT_EQ(taken, Qt::CopyAction);
    ASSERT_EQ(count(), 1);
    EXPECT_EQ(front()->bounds().topLeft(), QPointF(156, 294));
}

TEST_F(CanvasDrop, DroppedRichTextKeepsItsMergeFieldsWhenTheirListIsSound)
{
    struct Case
    {
        QByteArray fields;
        bool keepsField;
    };
    const Case cases[] = {
        {"( { LBFieldRangeKey = \"{5, 4}\"; LBFieldDictKey = { LBPropertyName = First; }; } )",
         true},
        {"( { LBFieldRangeKey = \"{5, 40}\"; LBFieldDictKey = { LBPropertyName = First; }; } )",
         false},
        {"{ LBFieldRangeKey = \"{5, 4}\"; }", false},
    };
    double y = 100.0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields.constData());
        y += 100.0; // each on empty canvas, not onto the box before
        QMimeData data;
        platform::Pasteboard pasteboard(&data);
        pasteboard.declareTypes({platform::RTFDPboardType, LBQFieldPboardType});
        pasteboard.setAttributedString(platform::AttributedString(QStringLiteral("Dear Name")));
        pasteboard.setData(c.fields, LBQFieldPboardType);
        EXPECT_EQ(drop(data, QPointF(100, y)), Qt::CopyAction);
        auto* box = dynamic_cast<LBTextArea*>(front().get());
        ASSERT_NE(box, nullptr);
        const platform::AttributedString& text = box->contents()->attributedString();
        EXPECT_EQ(text.string(), QStringLiteral("Dear Name"));
        const QVariant field = text.attribute(LBQFieldAttributeName, 6);
        EXPECT_EQ(field.toMap().value(QStringLiteral("LBPropertyName")).toString(),
                  c.keepsField ? QStringLiteral("First") : QString());
        EXPECT_FALSE(text.attribute(LBQFieldAttributeName, 2).isValid());
    }
}

TEST_F(CanvasDrop, ATextDragOfTheEditorIsLeftToTheEditor)
{
    auto box = addTextBox(QRectF(100, 100, 200, 50), QStringLiteral("Hello"));
    platform::NotificationCenter::defaultCenter().post(LBDragStartedInTextViewNotification,
                                                       nullptr);
    EXPECT_TRUE(canvas->isDraggingTextFromTextView());
    QMimeData data;
    data.setText(QStringLiteral("moved"));
    EXPECT_EQ(hover(data, QPointF(150, 120)), Qt::CopyAction);
    EXPECT_EQ(canvas->editingGraphic(), nullptr); // no editor opened for it
    platform::NotificationCenter::defaultCenter().post(LBDragEndedInTextViewNotification, nullptr);
    EXPECT_FALSE(canvas->isDraggingTextFromTextView());
    Q_UNUSED(box);
}

TEST_F(CanvasDrop, TextDroppedOnTheEditedBoxIsAppended)
{
    auto box = addTextBox(QRectF(100, 100, 200, 50), QStringLiteral("Hello"));
    canvas->selectGraphic(box);
    canvas->startEditingGraphic(box, nullptr, false);
    ASSERT_EQ(canvas->editingGraphic(), box.get());
    QMimeData data;
    data.setText(QStringLiteral(" world"));
    EXPECT_EQ(drop(data, QPointF(150, 120)), Qt::CopyAction);
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(box->contents()->string(), QStringLiteral("Hello world"));
}

TEST_F(CanvasDrop, AFileOverATextBoxOpensItsEditor)
{
    auto box = addTextBox(QRectF(100, 100, 200, 50), QStringLiteral("Hello"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(picture("a.png", 20, 10))});
    EXPECT_EQ(hover(data, QPointF(400, 400)), Qt::CopyAction);
    EXPECT_EQ(canvas->editingGraphic(), nullptr);
    EXPECT_EQ(hover(data, QPointF(150, 120)), Qt::CopyAction);
    EXPECT_EQ(canvas->editingGraphic(), box.get());
    // Leaving it for empty canvas ends the editing again.
    NotificationCount stopped(LBStopEditingTextDuringDrag, canvas);
    EXPECT_EQ(hover(data, QPointF(400, 400)), Qt::CopyAction);
    EXPECT_EQ(canvas->editingGraphic(), nullptr);
    EXPECT_EQ(stopped.count, 1);
}

TEST_F(CanvasDrop, AColourFillsTheGraphicUnderTheDropOpaque)
{
    auto target = add("target", QRectF(100, 100, 50, 50));
    QMimeData data;
    data.setColorData(QColor(0, 0, 255, 100));
    EXPECT_EQ(drop(data, QPointF(120, 120)), Qt::CopyAction);
    EXPECT_EQ(target->fillColor(), QColor(0, 0, 255));
    EXPECT_EQ(undoName(), undoStrings("Set Fill Color"));

    // On empty canvas nothing changes and the drop is refused.
    undo()->removeAllActions();
    EXPECT_EQ(drop(data, QPointF(400, 400)), Qt::IgnoreAction);
    closeStep();
    EXPECT_FALSE(undo()->canUndo());
}

TEST_F(CanvasDrop, UnusableDropsAreRefused)
{
    add("old", QRectF(10, 10, 10, 10));
    QMimeData foreign;
    foreign.setData(QStringLiteral("application/x-something-else"), "data");
    EXPECT_EQ(drop(foreign, QPointF(100, 100)), Qt::IgnoreAction);

    QMimeData unreadable;
    unreadable.setUrls({QUrl::fromLocalFile(file("notes.txt", "text"))});
    EXPECT_EQ(drop(unreadable, QPointF(100, 100)), Qt::IgnoreAction);

    QMimeData badGraphics;
    badGraphics.setData(QStringLiteral("application/x-quarn-print-line"), "( broken");
    undo()->removeAllActions();
    EXPECT_EQ(drop(badGraphics, QPointF(100, 100)), Qt::IgnoreAction);
    closeStep();
    EXPECT_FALSE(undo()->canUndo());
    EXPECT_EQ(layer(), QStringList({"old"}));
}
