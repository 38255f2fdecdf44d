// The document's picture files: downsampling pictures to the display resolution, the
// faces' background pictures, the working files the document keeps, and the record of
// the picture files it copied.

#include "document/LBDocument.h"

#include "document/DocumentWindowController.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace {

// Writes the bytes to the file; false (and the reason) when that fails.
bool writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    *error = file.errorString();
    return false;
}

} // namespace

QString LBDocument::timeStampedName(const QString& extension,
                                    const std::function<bool(const QString&)>& taken)
{
    const QDateTime referenceDate(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc());
    double seconds = referenceDate.msecsTo(QDateTime::currentDateTimeUtc()) / 1000.0;
    for (;;) {
        QString name = QString::asprintf("%f", seconds);
        if (!extension.isEmpty())
            name += QLatin1Char('.') + extension;
        if (!taken(name))
            return name;
        seconds += 0.000001;
    }
}

QString LBDocument::newTemporaryFilePath(const QString& extension)
{
    QString folder = LBProcessState::temporaryFolderPath();
    if (folder.isEmpty())
        folder = QDir::tempPath() + QLatin1Char('/');
    QDir().mkpath(folder);
    // Two files made within the clock's resolution would get one name: the next free
    // microsecond is taken, and the file is made at once so the name stays taken.
    return folder + timeStampedName(extension, [&folder](const QString& name) {
               QFile file(folder + name);
               if (file.open(QIODevice::NewOnly))
                   return false;
               // A folder that cannot be written: the writer will say so.
               return file.exists();
           });
}

void LBDocument::rememberTemporaryFileName(const QString& name)
{
    _temporaryFileNames.append(name);
}

bool LBDocument::temporaryFileIsInUse(const QString& name) const
{
    return _temporaryFileNames.contains(name);
}

void LBDocument::rememberImageFile(const QString& originalPath, const QString& newPath)
{
    _originalImageFilePaths.append(originalPath);
    _newImageFilePaths.append(newPath);
}

// ==== Downsampling =======================================================================

std::shared_ptr<platform::Image>
LBDocument::downsampledCopy(const std::shared_ptr<platform::Image>& image,
                            const QSizeF& drawingSize) const
{
    if (!image || LBProcessState::useFullResolutionImages())
        return nullptr;
    const QImage bitmap = image->bitmapImageRep();
    if (bitmap.isNull() || !(drawingSize.width() > 0.0 && drawingSize.height() > 0.0))
        return nullptr;

    const double ratio =
        std::min(bitmap.width() / drawingSize.width(), bitmap.height() / drawingSize.height());
    const auto resolution = static_cast<qint64>(ratio * 72.0);
    const qint64 displayResolution = LBProcessState::imageDisplayResolution();
    if (displayResolution <= 0 || double(resolution) / double(displayResolution) <= 1.1)
        return nullptr;

    // Drawn at one pixel a point into the target's whole pixels.
    const QSizeF pixels = platform::Image::roundRectToIntegerBoundaries(
                              QRectF(QPointF(), drawingSize * (double(displayResolution) / 72.0)))
                              .size();
    const platform::ImagePtr smaller = image->imageScaledToSize(pixels);
    if (!smaller || smaller->bitmap().isNull())
        return nullptr;
    // The copy's size in points: its pixels on the screens' backing scale, whole points.
    const double scale = std::max(1.0, LBProcessState::displayScaleFactor());
    const QSizeF points(std::round(pixels.width() / scale), std::round(pixels.height() / scale));
    return platform::Image::fromBitmap(smaller->bitmap(), points);
}

std::shared_ptr<platform::Image>
LBDocument::downsampleImage(const std::shared_ptr<platform::Image>& image,
                            const QSizeF& drawingSize)
{
    const platform::ImagePtr smaller = downsampledCopy(image, drawingSize);
    if (!smaller)
        return image;
    const QByteArray tiff = smaller->TIFFRepresentationUsingLZW();
    const QString path = newTemporaryFilePath(QStringLiteral("tif"));
    QString error;
    if (tiff.isEmpty() || !writeFile(path, tiff, &error)) {
        qWarning().noquote() << QStringLiteral("The downsampled picture cannot be written to "
                                               "\"%1\": %2")
                                    .arg(path, error);
        return image;
    }
    const platform::ImagePtr written = platform::Image::fromFile(path, &error);
    if (!written)
        return image;
    written->setDataRetained(true);
    rememberTemporaryFileName(path);
    return written;
}

void LBDocument::imageQualityChanged(const platform::Notification* notification)
{
    for (const Page& page : std::as_const(_documentGraphics)) {
        for (const Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer)
                graphic->downsampleFillImage(true);
        }
    }
    if (DocumentWindowController* controller = windowController())
        controller->refreshWindow();
    if (notification)
        markEdited();
}

// ==== Background pictures ================================================================

platform::ImagePtr LBDocument::readKeepablePicture(QString& path, QString* error)
{
    platform::ImagePtr picture = platform::Image::fromFile(path, error);
    if (!picture)
        return nullptr;
    if (!picture->loadError().isEmpty()) {
        *error = picture->loadError();
        return nullptr;
    }
    const QString extension = QFileInfo(path).suffix();
    const bool postScript = extension == QLatin1String("eps") || extension == QLatin1String("EPS");
    const bool photoshop = extension == QLatin1String("psd") || extension == QLatin1String("PSD");
    if (!postScript && !photoshop)
        return picture;

    // Kept as PDF or PNG in a working file, which the path then names.
    const QByteArray converted = postScript ? picture->pdfData() : picture->pngData();
    if (converted.isEmpty()) {
        *error = QStringLiteral("it cannot be converted to %1").arg(postScript ? "PDF" : "PNG");
        return nullptr;
    }
    const QString workingFile =
        newTemporaryFilePath(postScript ? QStringLiteral("pdf") : QStringLiteral("png"));
    if (!writeFile(workingFile, converted, error))
        return nullptr;
    rememberTemporaryFileName(workingFile);
    path = workingFile;
    return platform::Image::fromData(converted, error);
}

void LBDocument::setBackgroundImagePath(const QString& path, bool updateImage, qint64 forPage)
{
    Face& f = face(forPage);
    registerUndo([this, old = f.backgroundImagePath, updateImage, forPage] {
        setBackgroundImagePath(old, updateImage, forPage);
    });
    f.backgroundImagePath = QString();
    if (updateImage)
        f.backgroundImage.reset();

    if (!path.isEmpty()) {
        QString file = path;
        // A file that moved may be a member of the saved package.
        if (!QFileInfo::exists(file) && !fileName().isNull())
            file = QDir(fileName()).filePath(QFileInfo(file).fileName());

        QString error;
        const platform::ImagePtr picture = readKeepablePicture(file, &error);
        f.backgroundImagePath = file;
        if (!picture) {
            qWarning().noquote() << QStringLiteral("The background picture \"%1\" cannot be "
                                                   "shown: %2")
                                        .arg(file, error);
        } else {
            picture->setDataRetained(true);
            // Drawn large enough to cover the page.
            const QSizeF size = picture->size();
            const QSizeF page = documentSize();
            const double cover =
                size.width() > 0.0 && size.height() > 0.0
                    ? std::max(page.width() / size.width(), page.height() / size.height())
                    : 1.0;
            // A background is printed as it is shown: downsampled no further than the
            // print resolution.
            const qint64 displayResolution = LBProcessState::imageDisplayResolution();
            const qint64 printQuality =
                platform::UserDefaults::standardUserDefaults().integerForKey(
                    QStringLiteral("Print Quality"));
            LBProcessState::setImageDisplayResolution(std::max(displayResolution, printQuality));
            const platform::ImagePtr shown = downsampleImage(picture, size * cover);
            LBProcessState::setImageDisplayResolution(displayResolution);

            platform::ImagePtr kept = picture;
            if (shown != picture) {
                const QString suffix = QFileInfo(file).suffix();
                const bool jpeg = QStringList{QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                              QStringLiteral("JPG"), QStringLiteral("JPEG")}
                                      .contains(suffix);
                const QByteArray bytes = jpeg ? shown->jpegData(0.7) : shown->pngData();
                const QString smaller =
                    newTemporaryFilePath(jpeg ? QStringLiteral("jpg") : QStringLiteral("png"));
                const platform::ImagePtr written =
                    writeFile(smaller, bytes, &error) ? platform::Image::fromData(bytes) : nullptr;
                if (written) {
                    written->setDataRetained(true);
                    rememberTemporaryFileName(smaller);
                    f.backgroundImagePath = smaller;
                    kept = written;
                } else {
                    qWarning().noquote() << QStringLiteral("The downsampled background picture "
                                                           "cannot be written to \"%1\": %2")
                                                .arg(smaller, error);
                }
            }
            if (updateImage)
                f.backgroundImage = kept;
        }
    }

    if (updateImage)
        postRedrawGraphicViews();
    platform::NotificationCenter::defaultCenter().post(LBUpdateLayersView);
}
