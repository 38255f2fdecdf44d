#include "kitfile/iCorbeilFile.h"

#include "kitfile/KitPackage.h"
#include "kitfile/KitResources.h"
#include "kitfile/ManifestValues.h"
#include "platform/core/Error.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/Image.h"

#include <QBuffer>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

using kitfile::isPlainName;
using kitfile::KitPackage;

namespace {

const QString imagesFolder = QStringLiteral("Images");
const QString thumbnailsFolder = QStringLiteral("Thumbnails");
const QString detailThumbnailsFolder = QStringLiteral("Thumbnails_Detailed");

} // namespace

iCorbeilFile::iCorbeilFile() : _info(std::make_shared<iCorbeilInfo>())
{}

iCorbeilFile::~iCorbeilFile()
{
    removeTemporaryFile();
}

void iCorbeilFile::setInfo(const std::shared_ptr<iCorbeilInfo>& info)
{
    _info = info ? info : std::make_shared<iCorbeilInfo>();
}

QString iCorbeilFile::name() const
{
    return _info->name();
}

std::optional<QVariantList> iCorbeilFile::releases() const
{
    return _info->releases();
}

QStringList iCorbeilFile::filenames() const
{
    QStringList names;
    for (const auto& object : _objects) {
        if (!object->filename().isNull())
            names.append(object->filename());
    }
    return names;
}

QStringList iCorbeilFile::allImageFilenames() const
{
    QStringList names;
    for (const auto& object : _objects) {
        if (!object->filename().isNull())
            names.append(object->filename());
        for (const QString& name : {object->thumbnailFilename(), object->detailThumbnailFilename()})
            if (!name.isNull() && !array(names, name))
                names.append(name);
    }
    return names;
}

bool iCorbeilFile::array(const QStringList& array, const QString& containsCaseInsensitiveString)
{
    return array.contains(containsCaseInsensitiveString, Qt::CaseInsensitive);
}

QVariantMap iCorbeilFile::createNewRelease() const
{
    // To the second, as the manifest keeps dates, so a release reads back as it was made.
    const QDateTime now =
        QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
    return {
        {VQReleaseDate, now},
        {VQReleaseVersion, QStringLiteral("1.0")},
        {VQReleaseSummary, kitfile::localizedString(QStringLiteral("New Release"))},
    };
}

void iCorbeilFile::loadDefaults()
{
    _info->loadDefaults();
}

void iCorbeilFile::saveDefaults() const
{
    _info->saveDefaults();
}

std::shared_ptr<platform::Image> iCorbeilFile::loadImageAtPath(const QString& path)
{
    return path.isEmpty() ? nullptr : platform::Image::fromFile(path);
}

std::shared_ptr<platform::Image> iCorbeilFile::loadThumbnailAtPath(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return nullptr;
    QByteArray data = file.readAll();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize pixels = reader.size();
    if (!pixels.isValid() || std::max(pixels.width(), pixels.height()) <= largestThumbnailPixels)
        return platform::Image::fromData(data);
    reader.setScaledSize(
        pixels.scaled(largestThumbnailPixels, largestThumbnailPixels, Qt::KeepAspectRatio));
    const QImage bitmap = reader.read();
    if (bitmap.isNull())
        return nullptr;
    // The reader scales the resolution with the pixels, so the picture's size in points is
    // as the file gives it; without a resolution, a pixel is a point of the file's pixels.
    const bool hasResolution = bitmap.dotsPerMeterX() > 0 && bitmap.dotsPerMeterY() > 0;
    return platform::Image::fromBitmap(bitmap, hasResolution ? QSizeF() : QSizeF(pixels));
}

bool iCorbeilFile::loadImageForObject(iCorbeilImage& object, const QUrl& fromURL)
{
    std::shared_ptr<platform::Image> image;
    if (temporaryFileExists())
        image = loadImageAtPath(
            KitPackage(_temporaryPath).existingFile(imagesFolder, object.filename()));
    if (!image)
        image = loadImageAtPath(
            KitPackage(fromURL.toLocalFile()).existingFile(imagesFolder, object.filename()));
    object.setImage(image);
    return image != nullptr;
}

// --- The temporary package and staging ---

bool iCorbeilFile::temporaryFileExists() const
{
    return !_temporaryPath.isEmpty() && QFileInfo(_temporaryPath).isDir();
}

bool iCorbeilFile::createTemporaryFileIfNeeded()
{
    if (temporaryFileExists())
        return true;
    if (_temporaryPath.isEmpty())
        _temporaryPath = QDir(QDir::tempPath())
                             .filePath(QStringLiteral("iCorbeil-") + platform::UUIDString()
                                       + QStringLiteral(".icorbeil"));
    platform::Error error;
    if (!QFileInfo::exists(_temporaryPath) && !createPackageAtPath(_temporaryPath, &error)) {
        qWarning().noquote() << QStringLiteral("Can't create temporary file for iCorbeil: %1")
                                    .arg(error.description);
        return false;
    }
    return temporaryFileExists();
}

bool iCorbeilFile::createPackageAtPath(const QString& path, platform::Error* error)
{
    // Only what this call made is removed on failure, never a folder that was there.
    const bool existed = QFileInfo::exists(path);
    const bool made = QDir().mkpath(path) && KitPackage(path).ensureFolder(imagesFolder, error)
                      && KitPackage(path).ensureFolder(thumbnailsFolder, error)
                      && KitPackage(path).ensureFolder(detailThumbnailsFolder, error);
    if (made)
        return true;
    if (!existed)
        QDir(path).removeRecursively();
    return platform::Error::fail(
        error, platform::FileErrorDomain, QFileDevice::UnspecifiedError,
        QStringLiteral("Cannot create the kit package %1.").arg(kitfile::quoted(path)));
}

QString iCorbeilFile::nameForImage(const QString& name) const
{
    if (!isPlainName(name))
        return QString();
    const QStringList taken = allImageFilenames();
    if (!array(taken, name))
        return name;
    const QFileInfo info(name);
    const QString base = info.completeBaseName();
    const QString extension = info.suffix();
    for (int n = 1;; ++n) {
        const QString candidate = extension.isEmpty()
                                      ? QStringLiteral("%1-%2").arg(base).arg(n)
                                      : QStringLiteral("%1-%2.%3").arg(base).arg(n).arg(extension);
        if (!array(taken, candidate))
            return candidate;
    }
}

bool iCorbeilFile::saveImage(const std::shared_ptr<platform::Image>& image, const QString& name,
                             const QString& folder)
{
    if (!name.endsWith(QStringLiteral("png"), Qt::CaseInsensitive)) {
        qWarning().noquote() << QStringLiteral("Must be PNG file.");
        return false;
    }
    if (!temporaryFileExists()) {
        qWarning().noquote() << QStringLiteral("Corbeil temporary file not created yet.");
        return false;
    }
    const QString path = KitPackage(_temporaryPath).filePath(folder, name);
    const QByteArray png = image ? image->pngData() : QByteArray();
    platform::Error error{platform::FileErrorDomain, 0, QStringLiteral("There is no picture.")};
    if (png.isEmpty() || !kitfile::writeFileAtomically(path, png, &error)) {
        qWarning().noquote() << QStringLiteral("Unable to save image %1 to temporary file: %2")
                                    .arg(name, error.description);
        return false;
    }
    return true;
}

bool iCorbeilFile::addImage(iCorbeilImage& object)
{
    if (!createTemporaryFileIfNeeded())
        return false;
    const QStringList names = {object.filename(), object.thumbnailFilename()};
    if (object.imageChanged() && !(isPlainName(names[0]) && isPlainName(names[1]))) {
        qWarning().noquote() << QStringLiteral("Unable to stage image %1: not a plain file name")
                                    .arg(names.join(QStringLiteral(", ")));
        return false;
    }
    const KitPackage staging(_temporaryPath);
    bool staged = true;
    if (object.imageChanged()) {
        if (!object.originalPath().isEmpty()) {
            // A file staged before under this name is replaced, so an updated image is
            // never lost to a failed copy.
            const QString target = staging.filePath(imagesFolder, object.filename());
            platform::Error error;
            if (!kitfile::removeItem(target, &error)
                || !kitfile::copyFile(object.originalPath(), target, &error)) {
                qWarning().noquote() << QStringLiteral("error copying file %1 to %2: %3")
                                            .arg(object.originalPath(), target, error.description);
                staged = false;
            }
        } else {
            staged = saveImage(object.image(), object.filename(), imagesFolder);
        }
        staged =
            saveImage(object.thumbnail(), object.thumbnailFilename(), thumbnailsFolder) && staged;
    }
    if (object.detailThumbnailChanged() && object.detailThumbnail()) {
        staged = isPlainName(object.detailThumbnailFilename())
                 && saveImage(object.detailThumbnail(), object.detailThumbnailFilename(),
                              detailThumbnailsFolder)
                 && staged;
    }
    if (staged)
        object.setImage(nullptr);
    return staged;
}

bool iCorbeilFile::updateImage(iCorbeilImage& object)
{
    return addImage(object);
}

bool iCorbeilFile::removeImage(const iCorbeilImage& object)
{
    if (!temporaryFileExists())
        return true;
    const KitPackage staging(_temporaryPath);
    QList<std::pair<QString, QString>> files = {{imagesFolder, object.filename()},
                                                {thumbnailsFolder, object.thumbnailFilename()}};
    if (!object.detailThumbnailFilename().isNull())
        files.append({detailThumbnailsFolder, object.detailThumbnailFilename()});
    bool removed = true;
    for (const auto& [folder, name] : files) {
        platform::Error error{platform::FileErrorDomain, 0,
                              QStringLiteral("not a plain file name")};
        if (!isPlainName(name) || !kitfile::removeItem(staging.filePath(folder, name), &error)) {
            qWarning().noquote() << QStringLiteral(
                                        "Unable to delete image %1 from temporary file: %2")
                                        .arg(name, error.description);
            removed = false;
        }
    }
    return removed;
}

bool iCorbeilFile::removeTemporaryFile()
{
    if (_temporaryPath.isEmpty())
        return false;
    platform::Error error;
    if (!kitfile::removeItem(_temporaryPath, &error)) {
        qWarning().noquote()
            << QStringLiteral("Unable to delete temporary file: %1").arg(error.description);
        return true;
    }
    _temporaryPath.clear();
    return false;
}
