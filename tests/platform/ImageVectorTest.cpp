// Vector pictures in Image: PDF through poppler, EPS through the gs command, SVG text; what
// each keeps and draws, and how each kind of bad input is told.

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/drawing/PDFReading.h"

#include <QBuffer>
#include <QDir>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>

using platform::GraphicsContext;
using platform::Image;
using platform::ImagePtr;
using platform::OffscreenContext;

namespace {

QByteArray pdfOf(const QSizeF& points, const std::function<void(QPainter&)>& draw)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter(&writer);
    draw(painter);
    painter.end();
    return bytes;
}

// 200 × 100 points: red on the left half, blue in a square on the right, clear elsewhere.
QByteArray samplePdf()
{
    return pdfOf(QSizeF(200, 100), [](QPainter& p) {
        p.fillRect(QRectF(0, 0, 100, 100), Qt::red);
        p.fillRect(QRectF(140, 20, 40, 40), Qt::blue);
    });
}

// 100 × 50 points (its box starts at 10, 20): a green band along the bottom half.
QByteArray sampleEps(const QByteArray& tag = QByteArray())
{
    return "%!PS-Adobe-3.0 EPSF-3.0\n"
           "%%BoundingBox: 10 20 110 70\n"
           "%%Title: "
           + tag
           + "\n%%EndComments\n"
             "0 1 0 setrgbcolor\n"
             "10 20 100 25 rectfill\n"
             "showpage\n";
}

// The same PostScript behind a DOS binary header, with a few bytes of "preview".
QByteArray dosEps(const QByteArray& postScript)
{
    QByteArray header(30, '\0');
    const QByteArray preview("not really a TIFF");
    const auto put = [&header](int at, quint32 value) {
        qToLittleEndian(value, header.data() + at);
    };
    header.replace(0, 4, "\xc5\xd0\xd3\xc6");
    put(4, 30);
    put(8, quint32(postScript.size()));
    put(20, quint32(30 + postScript.size()));
    put(24, quint32(preview.size()));
    put(28, 0xffff);
    return header + postScript + preview;
}

QImage drawn(const ImagePtr& image, const QSize& pixels, bool onScreen = false)
{
    QImage target(pixels, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    QPainter painter(&target);
    GraphicsContext context(&painter, onScreen);
    GraphicsContext::Scope scope(context);
    image->drawInRect(QRectF(QPointF(0, 0), QSizeF(pixels)));
    painter.end();
    return target;
}

// What an image draws into a PDF, and whether that PDF holds any image object.
QByteArray printed(const ImagePtr& image)
{
    return pdfOf(QSizeF(300, 300), [&](QPainter& painter) {
        GraphicsContext context(&painter);
        GraphicsContext::Scope scope(context);
        image->drawInRect(QRectF(20, 30, 200, 100));
    });
}

bool holdsImageObject(const QByteArray& pdf)
{
    return pdf.contains("/Subtype /Image") || pdf.contains("/Subtype/Image");
}

// Runs with PATH naming only an empty folder, so no gs is found.
class WithoutGhostscript
{
public:
    WithoutGhostscript() : _path(qgetenv("PATH")) { qputenv("PATH", _empty.path().toLocal8Bit()); }
    ~WithoutGhostscript() { qputenv("PATH", _path); }

private:
    QByteArray _path;
    QTemporaryDir _empty;
};

} // namespace

TEST(ImageVectorTest, PdfAndEpsLoadWithTheirSizesAndDraw)
{
    const QByteArray pdf = samplePdf();
    const QByteArray eps = sampleEps();
    const struct
    {
        QByteArray data;
        Image::RepresentationKind kind;
        QSizeF size;
        QPoint colouredAt; // in a 2 × drawing
        QRgb colour;
        QPoint clearAt; // likewise, just beside the colour
    } cases[] = {
        {pdf, Image::RepresentationKind::PDF, QSizeF(200, 100), QPoint(100, 100),
         qRgba(255, 0, 0, 255), QPoint(300, 160)},
        {eps, Image::RepresentationKind::EPS, QSizeF(100, 50), QPoint(100, 74),
         qRgba(0, 255, 0, 255), QPoint(100, 44)},
        {dosEps(eps), Image::RepresentationKind::EPS, QSizeF(100, 50), QPoint(100, 74),
         qRgba(0, 255, 0, 255), QPoint(100, 44)},
    };
    for (const auto& c : cases) {
        QString error;
        const ImagePtr image = Image::fromData(c.data, &error);
        ASSERT_TRUE(image);
        EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
        EXPECT_TRUE(image->loadError().isEmpty());
        EXPECT_EQ(image->representationKind(), c.kind);
        EXPECT_NEAR(image->size().width(), c.size.width(), 0.01);
        EXPECT_NEAR(image->size().height(), c.size.height(), 0.01);
        EXPECT_EQ(image->pixelsWide(), 0) << "no bitmap stands behind a vector picture";

        // Drawn at twice its size, vector (into an image) and from the screen bitmap.
        const QSize pixels = (c.size * 2).toSize();
        for (bool onScreen : {false, true}) {
            const QImage out = drawn(image, pixels, onScreen);
            EXPECT_EQ(out.pixel(c.colouredAt), c.colour) << onScreen;
            EXPECT_EQ(qAlpha(out.pixel(c.clearAt)), 0) << "clear where nothing is drawn";
        }

        // The original bytes are written back; read again, they give the same picture.
        image->setDataRetained(true);
        EXPECT_EQ(image->data(), c.data);
        const ImagePtr again = Image::fromData(image->data());
        EXPECT_EQ(again->representationKind(), c.kind);
        EXPECT_EQ(again->size(), image->size());

        // A copy keeps the vector form and its own size.
        const ImagePtr copy = image->copy();
        copy->setSize(image->size() * 3);
        EXPECT_EQ(copy->representationKind(), c.kind);
        EXPECT_EQ(copy->data(), c.data);
        EXPECT_NE(copy->size(), image->size());
        EXPECT_EQ(drawn(copy, pixels).pixel(c.colouredAt), c.colour);

        // The 72 dpi bitmap has a pixel a point.
        const QImage bitmap = image->forcedBitmapImageRep();
        EXPECT_EQ(bitmap.size(), c.size.toSize());
        EXPECT_EQ(bitmap.pixel(c.colouredAt / 2), c.colour);
        EXPECT_EQ(qAlpha(bitmap.pixel(c.clearAt / 2)), 0);
    }
}

TEST(ImageVectorTest, PrintedPicturesStayVector)
{
    for (const QByteArray& data : {samplePdf(), sampleEps()}) {
        const ImagePtr image = Image::fromData(data);
        ASSERT_TRUE(image && image->loadError().isEmpty());
        const QByteArray output = printed(image);
        EXPECT_FALSE(holdsImageObject(output));
        // What was printed is the picture: read back, the red or green is there.
        const QImage seen = drawn(Image::fromData(output), QSize(300, 300));
        const QRgb inside = seen.pixel(image->representationKind() == Image::RepresentationKind::PDF
                                           ? QPoint(60, 80)
                                           : QPoint(120, 110));
        EXPECT_EQ(qAlpha(inside), 255);
        EXPECT_EQ(qBlue(inside), 0);
    }
    // The screen bitmap is not what goes to print.
    const ImagePtr image = Image::fromData(samplePdf());
    drawn(image, QSize(400, 200), true);
    EXPECT_FALSE(holdsImageObject(printed(image)));
}

TEST(ImageVectorTest, APartOfAPdfLandsOnTheRectangle)
{
    const ImagePtr image = Image::fromData(samplePdf());
    // The blue square's part of the picture, drawn over the whole target.
    QImage target(80, 80, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    {
        QPainter painter(&target);
        GraphicsContext context(&painter);
        GraphicsContext::Scope scope(context);
        image->drawInRect(QRectF(0, 0, 80, 80), QRectF(140, 20, 40, 40));
    }
    EXPECT_EQ(target.pixel(2, 2), qRgba(0, 0, 255, 255));
    EXPECT_EQ(target.pixel(77, 77), qRgba(0, 0, 255, 255));
}

TEST(ImageVectorTest, PicturesThatCannotBeDrawnKeepTheirBytesAndSayWhy)
{
    const QByteArray damagedPdf = "%PDF-1.4\n1 0 obj << /Type /Catalog >> garbage\n%%EOF\n";
    const QByteArray rejectedEps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 40 30\n"
                                   "this is not postscript at all {{{\n";
    const QByteArray laterBox = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: (atend)\n"
                                "nonsense again\n%%Trailer\n%%BoundingBox: 5 5 25 45\n";
    QByteArray brokenDos = dosEps(sampleEps());
    qToLittleEndian(quint32(1 << 30), brokenDos.data() + 8); // the section runs past the end
    const struct
    {
        const char* label;
        QByteArray data;
        Image::RepresentationKind kind;
        QSizeF size;
        const char* said;
    } cases[] = {
        {"damaged PDF", damagedPdf, Image::RepresentationKind::PDF, QSizeF(), "damaged"},
        {"rejected EPS", rejectedEps, Image::RepresentationKind::EPS, QSizeF(40, 30), "rejected"},
        {"box at the end", laterBox, Image::RepresentationKind::EPS, QSizeF(20, 40), "rejected"},
        {"damaged DOS header", brokenDos, Image::RepresentationKind::EPS, QSizeF(), "header"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QString error;
        const ImagePtr image = Image::fromData(c.data, &error);
        ASSERT_TRUE(image);
        EXPECT_TRUE(error.contains(QLatin1String(c.said))) << qPrintable(error);
        EXPECT_EQ(image->loadError(), error);
        EXPECT_EQ(image->representationKind(), c.kind);
        EXPECT_EQ(image->size(), c.size);
        image->setDataRetained(true);
        EXPECT_EQ(image->data(), c.data);
        if (!c.size.isEmpty()) {
            const QImage out = drawn(image, c.size.toSize());
            EXPECT_EQ(out.pixel(1, 1), 0u) << "nothing to draw";
        }
        EXPECT_FALSE(holdsImageObject(printed(image)));
    }
}

TEST(ImageVectorTest, APdfThatKeepsItsReaderBusyIsRefusedAsDamaged)
{
    // Hundreds of trailers, each a dictionary that runs to the end of the file: poppler's
    // repair parses the rest of the file again at every one, for seconds.
    QByteArray busy = "%PDF-1.4\n";
    for (int i = 0; i < 600; ++i)
        busy += "trailer\n<< /Root 1 0 R 0 0 0 0 0 0 0 0 0 0\n";
    platform::setPDFReadingTimeLimit(100);
    QString error;
    const ImagePtr image = Image::fromData(busy, &error);
    platform::setPDFReadingTimeLimit(5000);
    ASSERT_TRUE(image);
    EXPECT_TRUE(error.contains(QLatin1String("took longer"))) << qPrintable(error);
    EXPECT_EQ(image->representationKind(), Image::RepresentationKind::PDF);
    EXPECT_TRUE(image->size().isEmpty());
    EXPECT_TRUE(image->pdfData().isEmpty());
    image->setDataRetained(true);
    EXPECT_EQ(image->data(), busy) << "kept, so a document holding it saves it unchanged";

    // A sound PDF read the same way still draws.
    const ImagePtr sound = Image::fromData(samplePdf());
    EXPECT_TRUE(sound->loadError().isEmpty()) << qPrintable(sound->loadError());
    EXPECT_FALSE(sound->size().isEmpty());
}

TEST(ImageVectorTest, WithoutGhostscriptAnEpsSaysSoAndConvertedOnesStayConverted)
{
    // Converted once while gs is there...
    const QByteArray converted = sampleEps("converted before");
    ASSERT_TRUE(Image::fromData(converted)->loadError().isEmpty());

    WithoutGhostscript noGs;
    QString error;
    const QByteArray never = sampleEps("never converted");
    const ImagePtr image = Image::fromData(never, &error);
    ASSERT_TRUE(image);
    EXPECT_TRUE(error.contains(QLatin1String("not installed"))) << qPrintable(error);
    EXPECT_EQ(image->size(), QSizeF(100, 50)) << "from its bounding box";
    image->setDataRetained(true);
    EXPECT_EQ(image->data(), never);

    // ...and not again: the same EPS still draws.
    const ImagePtr again = Image::fromData(converted);
    EXPECT_TRUE(again->loadError().isEmpty());
    EXPECT_EQ(drawn(again, QSize(100, 50)).pixel(50, 40), qRgba(0, 255, 0, 255));
}

TEST(ImageVectorTest, SvgTextMakesAVectorPicture)
{
    const QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width="30.5" height="12"
        viewBox="0 0 30.5 12"><rect x="0" y="0" width="15" height="12" fill="#000"/></svg>)";
    const ImagePtr image = Image::withSVGData(svg);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->representationKind(), Image::RepresentationKind::SVG);
    EXPECT_EQ(image->size(), QSizeF(30.5, 12));
    const QImage out = drawn(image, QSize(61, 24));
    EXPECT_EQ(out.pixel(10, 10), qRgba(0, 0, 0, 255));
    EXPECT_EQ(out.pixel(50, 10), 0u);
    QString error;
    EXPECT_EQ(Image::withSVGData("<svg", &error), nullptr);
    EXPECT_FALSE(error.isEmpty());
}

TEST(ImageVectorTest, PdfDataIsTheDocumentDrawnForPdfAndEps)
{
    const QByteArray pdf = samplePdf();
    EXPECT_EQ(Image::fromData(pdf)->pdfData(), pdf);
    const QByteArray converted = Image::fromData(sampleEps("pdf data"))->pdfData();
    EXPECT_TRUE(converted.startsWith("%PDF-"));
    // The conversion draws as the EPS does.
    const ImagePtr again = Image::fromData(converted);
    EXPECT_EQ(again->size(), QSizeF(100, 50));
    EXPECT_EQ(drawn(again, QSize(100, 50)).pixel(50, 40), qRgba(0, 255, 0, 255));

    QImage bitmap(2, 2, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    EXPECT_TRUE(Image::fromBitmap(bitmap)->pdfData().isEmpty());
    EXPECT_TRUE(Image::fromData("%PDF-1.4 damaged")->pdfData().isEmpty());
}
