// Picture files of the document: downsampling to the display resolution, the faces'
// background pictures, and bringing every picture to a new image quality.

#include "DocumentTestSupport.h"

#include "MessageLog.h"
#include "platform/drawing/Image.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSet>

namespace {

QImage filled(int width, int height, int dpi = 72)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    return image;
}

} // namespace

TEST_F(DocumentTest, PicturesFinerThanTheDisplayResolutionAreDownsampled)
{
    const platform::ImagePtr photo = platform::Image::fromBitmap(filled(3000, 2000));
    // 720 dpi at 300 x 200 points: a copy at 150 dpi, read back from a working TIFF file.
    const platform::ImagePtr smaller = document->downsampleImage(photo, QSizeF(300, 200));
    ASSERT_NE(smaller, photo);
    EXPECT_EQ(smaller->pixelsWide(), 625);
    EXPECT_EQ(smaller->pixelsHigh(), 417);
    EXPECT_TRUE(smaller->dataRetained());
    EXPECT_TRUE(smaller->data().startsWith("II*") || smaller->data().startsWith("MM"));
    EXPECT_EQ(smaller->bitmapImageRep().pixel(300, 200), QColor(200, 120, 40).rgb());

    struct Case
    {
        const char* what;
        platform::ImagePtr image;
        QSizeF drawingSize;
        bool fullResolution;
    };
    const platform::ImagePtr vector = platform::Image::withSize(QSizeF(50, 50));
    for (const Case& c : {
             Case{"160 dpi (ratio 1.07)", platform::Image::fromBitmap(filled(1000, 1000)),
                  QSizeF(450, 450), false},
             Case{"full resolution", photo, QSizeF(300, 200), true},
             Case{"no bitmap", vector, QSizeF(5, 5), false},
             Case{"no drawing size", photo, QSizeF(0, 200), false},
         }) {
        LBProcessState::setUseFullResolutionImages(c.fullResolution);
        EXPECT_EQ(document->downsampleImage(c.image, c.drawingSize), c.image) << c.what;
    }
    LBProcessState::setUseFullResolutionImages(false);
}

TEST_F(DocumentTest, BackgroundPicturesCoverThePageAtNoLessThanPrintQuality)
{
    QTemporaryDir folder;
    const QString png = folder.filePath("texture.png");
    const QString jpeg = folder.filePath("texture.jpeg");
    ASSERT_TRUE(filled(2000, 2000).save(png));
    ASSERT_TRUE(filled(2000, 2000).save(jpeg, "JPEG"));
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();

    // At print quality 300 a 2000-pixel square covering a Letter page (792 points high,
    // 181 dpi) is kept as it is.
    NotificationCounter redraws(LBRedrawGraphicViews, document.get());
    NotificationCounter layers(LBUpdateLayersView, nullptr);
    step([&] { document->setBackgroundImagePath(png, true, 0); });
    EXPECT_EQ(document->backgroundImagePath(0), png);
    ASSERT_NE(document->backgroundImage(0), nullptr);
    EXPECT_EQ(document->backgroundImage(0)->pixelsWide(), 2000);
    EXPECT_EQ(redraws.count, 1);
    EXPECT_EQ(layers.count, 1);

    // At 100 it is drawn at 100 dpi: 792 x 100 / 72 = 1100 pixels, in a working file of
    // the source's kind; the display resolution is put back.
    defaults.setInteger(100, "Print Quality");
    LBProcessState::setImageDisplayResolution(72);
    for (const QString& source : {png, jpeg}) {
        step([&] { document->setBackgroundImagePath(source, true, 1); });
        const QString path = document->backgroundImagePath(1);
        EXPECT_NE(path, source);
        EXPECT_TRUE(document->temporaryFileIsInUse(path));
        EXPECT_EQ(QFileInfo(path).suffix(), source == png ? "png" : "jpg");
        ASSERT_NE(document->backgroundImage(1), nullptr);
        EXPECT_EQ(document->backgroundImage(1)->pixelsWide(), 1100);
        EXPECT_EQ(LBProcessState::imageDisplayResolution(), 72);
    }
    defaults.removeObjectForKey("Print Quality");

    // Without updating the picture only the path changes.
    const platform::ImagePtr shown = document->backgroundImage(0);
    step([&] { document->setBackgroundImagePath(jpeg, false, 0); });
    EXPECT_EQ(document->backgroundImagePath(0), jpeg);
    EXPECT_EQ(document->backgroundImage(0), shown);

    undo();
    EXPECT_EQ(document->backgroundImagePath(0), png);
    step([&] { document->setBackgroundImagePath(QString(), true, 0); });
    EXPECT_TRUE(document->backgroundImagePath(0).isNull());
    EXPECT_EQ(document->backgroundImage(0), nullptr);
    undo();
    EXPECT_EQ(document->backgroundImagePath(0), png);
    EXPECT_NE(document->backgroundImage(0), nullptr);
}

TEST_F(DocumentTest, MissingOrUnreadableBackgroundsKeepTheirPathAndSayWhy)
{
    QTemporaryDir folder;
    const QString garbage = folder.filePath("broken.png");
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();

    struct Case
    {
        const char* what;
        QString path;
    };
    for (const Case& c : {Case{"missing in an untitled document", "/nowhere/photo.png"},
                          Case{"not a picture", garbage},
                          Case{"a Photoshop file that does not read", folder.filePath("a.psd")}}) {
        if (c.path.endsWith(".psd")) {
            QFile psd(c.path);
            ASSERT_TRUE(psd.open(QIODevice::WriteOnly));
            psd.write("8BPS garbage");
        }
        MessageLog log;
        document->setBackgroundImagePath(c.path, true, 0);
        EXPECT_EQ(document->backgroundImagePath(0), c.path) << c.what;
        EXPECT_EQ(document->backgroundImage(0), nullptr) << c.what;
        ASSERT_FALSE(log.messages.isEmpty()) << c.what;
        EXPECT_TRUE(log.messages.last().contains(QFileInfo(c.path).fileName())) << c.what;
    }

    // A file that moved is looked for in the saved package.
    const QString package = folder.filePath("Card.quarnlb");
    ASSERT_TRUE(QDir().mkpath(package));
    ASSERT_TRUE(filled(20, 20).save(package + "/12345.png"));
    document->setFileName(package);
    document->setBackgroundImagePath("/old/place/12345.png", true, 1);
    EXPECT_EQ(document->backgroundImagePath(1), package + "/12345.png");
    EXPECT_NE(document->backgroundImage(1), nullptr);
}

TEST_F(DocumentTest, PostScriptAndPhotoshopBackgroundsAreKeptAsPdfAndPng)
{
    QTemporaryDir folder;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const QString eps = write("logo.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 50\n"
                                          "0 0 1 setrgbcolor 0 0 100 50 rectfill\nshowpage\n");
    // A 2 x 1 RGB picture: red, then blue; raw planes.
    const QByteArray psdBytes = QByteArray::fromHex("3842505300010000000000000003"
                                                    "00000001000000020008000300000000"
                                                    "00000000"
                                                    "00000000"
                                                    "0000"
                                                    "ff00"
                                                    "0000"
                                                    "00ff");
    const QString psd = write("photo.PSD", psdBytes);

    struct Case
    {
        QString source;
        QString suffix;
        QByteArray magic;
    };
    for (const Case& c : {Case{eps, "pdf", "%PDF-"}, Case{psd, "png", "\x89PNG"}}) {
        document->setBackgroundImagePath(c.source, true, 0);
        const QString path = document->backgroundImagePath(0);
        EXPECT_EQ(QFileInfo(path).suffix(), c.suffix) << c.source.toStdString();
        EXPECT_TRUE(document->temporaryFileIsInUse(path));
        QFile converted(path);
        ASSERT_TRUE(converted.open(QIODevice::ReadOnly));
        const QByteArray bytes = converted.readAll();
        EXPECT_TRUE(bytes.startsWith(c.magic)) << path.toStdString();
        ASSERT_NE(document->backgroundImage(0), nullptr);
        EXPECT_EQ(document->backgroundImage(0)->data(),
                  bytes); // the picture keeps its file's bytes
    }
    EXPECT_EQ(document->backgroundImage(0)->bitmapImageRep().pixel(1, 0), QColor(Qt::blue).rgb());

    // PostScript that gs rejects: the path stays, nothing is shown, the log says why.
    const QString broken = write("broken.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 "
                                               "40 30\nthis is no postscript\n");
    MessageLog log;
    document->setBackgroundImagePath(broken, true, 1);
    EXPECT_EQ(document->backgroundImagePath(1), broken);
    EXPECT_EQ(document->backgroundImage(1), nullptr);
    ASSERT_FALSE(log.messages.isEmpty());
    EXPECT_TRUE(log.messages.last().contains("broken.eps"));
}

TEST_F(DocumentTest, ImageQualityChangesBringEveryPictureToTheNewResolution)
{
    QTemporaryDir folder;
    const QString photo = folder.filePath("photo.png");
    ASSERT_TRUE(filled(1000, 1000).save(photo));
    auto* controller = new FakeWindowController;
    document->addWindowController(controller);
    const LBGraphicPtr g = graphic("photo");
    g->setBoundsNoOtherChanges(QRectF(0, 0, 100, 100));
    // A photo shown through the graphic's outline, drawn at its crop size.
    g->setCropImageBounds(QRectF(0, 0, 100, 100), QRectF(0, 0, 100, 100));
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(g, 0, 1);
    g->setImageFilePath(photo, true, false, LBGraphic::FillImageType);
    document->undoManager()->enableUndoRegistration();
    ASSERT_NE(g->imageOfType(LBGraphic::FillImageType), nullptr);
    EXPECT_EQ(g->imageOfType(LBGraphic::FillImageType)->pixelsWide(), 208); // 150 dpi
    document->resetChangeCount();

    LBProcessState::setImageDisplayResolution(300);
    document->imageQualityChanged(nullptr);
    EXPECT_EQ(g->imageOfType(LBGraphic::FillImageType)->pixelsWide(), 417);
    EXPECT_EQ(controller->refreshes, 1);
    EXPECT_FALSE(document->isDocumentEdited());

    LBProcessState::setImageDisplayResolution(72);
    platform::NotificationCenter::defaultCenter().post(LBImageQualityChanged);
    EXPECT_EQ(g->imageOfType(LBGraphic::FillImageType)->pixelsWide(), 100);
    EXPECT_EQ(controller->refreshes, 2);
    EXPECT_TRUE(document->isDocumentEdited());
}

TEST_F(DocumentTest, WorkingFilesGetNamesOfTheirOwn)
{
    QStringList paths;
    for (int i = 0; i < 20; ++i)
        paths.append(LBDocument::newTemporaryFilePath("png"));
    EXPECT_EQ(QSet<QString>(paths.begin(), paths.end()).size(), 20);
    for (const QString& path : paths) {
        EXPECT_TRUE(path.startsWith(LBProcessState::temporaryFolderPath()));
        EXPECT_TRUE(QRegularExpression("/[0-9]+\\.[0-9]{6}\\.png$").match(path).hasMatch())
            << path.toStdString();
    }
}
