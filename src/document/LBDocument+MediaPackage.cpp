// The picture files in the document package: stored once per source file on every save
// (with the downsampled copies that make opening fast), loaded back on open, pictures the
// document cannot keep converted, and finding a graphic's file while the document lives.

#include "document/LBDocument.h"

#include "graphics/LBProcessState.h"
#include "platform/core/FileWrapper.h"
#include "platform/drawing/Image.h"
#include "shapes/LBImage.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <sys/stat.h>

using platform::FileWrapper;

namespace {

const QString downsampledPrefix = QStringLiteral("D");

QString fileNameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

// A file at an absolute path: a relative one (a bare name read from a document) names
// nothing here, whatever the working folder holds.
bool isFile(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.isAbsolute() && info.isFile();
}

// Whether two files are one: the same file on disk (a link), or the same bytes.
bool sameFile(const QString& path, const FileWrapper& member)
{
    if (member.path().isEmpty())
        return false;
    struct stat a = {};
    struct stat b = {};
    if (::stat(QFile::encodeName(path).constData(), &a) != 0
        || ::stat(QFile::encodeName(member.path()).constData(), &b) != 0)
        return false;
    if (a.st_dev == b.st_dev && a.st_ino == b.st_ino)
        return true;
    if (a.st_size != b.st_size)
        return false;
    QFile x(path);
    QFile y(member.path());
    if (!x.open(QIODevice::ReadOnly) || !y.open(QIODevice::ReadOnly))
        return false;
    while (!x.atEnd()) {
        if (x.read(1 << 16) != y.read(1 << 16))
            return false;
    }
    return true;
}

bool isPostScript(const QString& extension)
{
    return extension == QLatin1String("eps") || extension == QLatin1String("EPS");
}

bool isPhotoshop(const QString& extension)
{
    return extension == QLatin1String("psd") || extension == QLatin1String("PSD");
}

// A member's picture, read whole; nullptr when it cannot be read.
platform::ImagePtr pictureOf(const FileWrapper& member, const QString& name)
{
    platform::Error readError;
    const std::optional<QByteArray> data = member.regularFileContents(&readError);
    QString error = readError.description;
    const platform::ImagePtr image = data ? platform::Image::fromData(*data, &error) : nullptr;
    if (!image)
        qWarning().noquote() << QStringLiteral("The picture \"%1\" of the document cannot be "
                                               "read: %2")
                                    .arg(name, error);
    else
        image->setDataRetained(true);
    return image;
}

// The size a graphic draws its fill image at: the crop's picture for a cropped photo.
QSizeF drawingSizeOf(const LBGraphic& graphic)
{
    if (graphic.isImageCrop()) {
        QRectF imageBounds;
        QRectF shapeBounds;
        graphic.getCropImageBounds(&imageBounds, &shapeBounds);
        if (imageBounds.width() > 0.0 && imageBounds.height() > 0.0)
            return imageBounds.size();
    }
    return graphic.bounds().size();
}

} // namespace

// What one save of the package knows: the package being built, the members it may reuse
// and where each member came from.
struct LBDocument::PackageWrite
{
    FileWrapper package = FileWrapper::directory();
    QString finalPath;
    // The saved package, the AutoRecover copy and the copy being replaced.
    std::optional<FileWrapper> saved;
    std::optional<FileWrapper> temporary;
    std::optional<FileWrapper> oldTemporary;
    // Each member added, as its source (to tell a JPEG source).
    QHash<QString, FileWrapper> sources;
    QSet<QString> downsampledCopies;

    const FileWrapper* savedMembers() const { return saved ? &*saved : nullptr; }
    const FileWrapper* temporaryMembers() const { return temporary ? &*temporary : nullptr; }
    const FileWrapper* oldTemporaryMembers() const
    {
        return oldTemporary ? &*oldTemporary : nullptr;
    }
};

const FileWrapper* LBDocument::findWrapperForFile(const QString& path,
                                                  const FileWrapper* inFileWrappers,
                                                  const FileWrapper* temporaryFileWrappers,
                                                  const FileWrapper* oldTemporaryFileWrappers)
{
    const QString name = fileNameOf(path);
    for (const FileWrapper* folder :
         {inFileWrappers, temporaryFileWrappers, oldTemporaryFileWrappers}) {
        if (!folder)
            continue;
        if (const FileWrapper* member = folder->fileWrapper(name);
            member && member->isRegularFile())
            return member;
    }
    return nullptr;
}

QString LBDocument::imageFilePathForGraphic(const LBGraphic& graphic) const
{
    const QString path = graphic.imageFilePathOfType(LBGraphic::FillImageType);
    if (path.isEmpty())
        return QString();
    if (isFile(path))
        return path;
    const QString name = fileNameOf(path);
    QStringList folders;
    if (!fileName().isNull())
        folders << fileName();
    folders << _temporaryFilePath << _previousTemporaryFilePath;
    for (const QString& folder : std::as_const(folders)) {
        if (!folder.isEmpty() && isFile(QDir(folder).filePath(name)))
            return QDir(folder).filePath(name);
    }
    return QString();
}

// ==== Saving =============================================================================

FileWrapper LBDocument::packageWithMediaFiles(const QString& finalPath)
{
    PackageWrite write;
    write.finalPath = finalPath;
    const auto members = [](const QString& folder) -> std::optional<FileWrapper> {
        if (folder.isEmpty() || !QFileInfo(folder).isDir())
            return std::nullopt;
        return FileWrapper::directoryWithPath(folder);
    };
    if (!fileName().isNull())
        write.saved = members(fileName());
    write.temporary = members(_temporaryFilePath);
    if (_previousTemporaryFilePath != _temporaryFilePath)
        write.oldTemporary = members(_previousTemporaryFilePath);

    moveMediaFilesIntoDocumentPackage(write);
    if (!face(0).backgroundImagePath.isEmpty() || !face(1).backgroundImagePath.isEmpty())
        moveBackgroundImageIntoDocumentPackage(write);
    // What the document never read stays, under its own name.
    for (const QString& name : std::as_const(_membersNotRead)) {
        if (write.package.fileWrapper(name))
            continue;
        if (const FileWrapper* member = findWrapperForFile(
                name, write.savedMembers(), write.temporaryMembers(), write.oldTemporaryMembers()))
            write.package.addFileWrapper(name, *member);
    }
    return write.package;
}

QString LBDocument::storeFile(PackageWrite& write, const QString& path, bool record)
{
    const QString name = fileNameOf(path);
    const bool exists = isFile(path);
    // Stored already by this save, from this very file.
    if (const auto added = write.sources.constFind(name);
        added != write.sources.cend() && (!exists || sameFile(path, *added)))
        return name;
    // A member kept from before: the file itself, or a file that is no longer where it
    // was named (its member is the picture).
    const FileWrapper* member = findWrapperForFile(
        path, write.savedMembers(), write.temporaryMembers(), write.oldTemporaryMembers());
    if (member && !write.package.fileWrapper(name) && (!exists || sameFile(path, *member))) {
        write.package.addFileWrapper(name, *member);
        write.sources.insert(name, *member);
        return name;
    }
    if (!exists || !QFileInfo(path).isReadable()) {
        qWarning().noquote()
            << QStringLiteral("Couldn't copy image file into document package: %1").arg(path);
        return QString();
    }
    // A new member; its name taken by nothing the package, the lists or the disk hold.
    const QString newName =
        timeStampedName(QFileInfo(path).suffix(), [&](const QString& candidate) {
            return write.package.fileWrapper(candidate) || write.sources.contains(candidate)
                   || std::any_of(_newImageFilePaths.cbegin(), _newImageFilePaths.cend(),
                                  [&](const QString& p) { return fileNameOf(p) == candidate; })
                   || (write.saved && write.saved->fileWrapper(candidate))
                   || (write.temporary && write.temporary->fileWrapper(candidate))
                   || (write.oldTemporary && write.oldTemporary->fileWrapper(candidate))
                   || QFileInfo::exists(QDir(write.finalPath).filePath(candidate));
        });
    const FileWrapper copy = FileWrapper::regularFileWithPath(path);
    write.package.addFileWrapper(newName, copy);
    write.sources.insert(newName, copy);
    if (record)
        rememberImageFile(path, newName);
    return newName;
}

void LBDocument::moveMediaFilesIntoDocumentPackage(PackageWrite& write)
{
    const QDir package(write.finalPath);
    for (const Page& page : std::as_const(_documentGraphics)) {
        for (const Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer) {
                for (const qint64 type : {LBGraphic::FillImageType, LBGraphic::ObjectMaskType,
                                          LBGraphic::ExternalMaskType}) {
                    const QString path = graphic->imageFilePathOfType(type);
                    if (path.isEmpty())
                        continue;
                    QString member;
                    const qsizetype known = _originalImageFilePaths.indexOf(path);
                    if (known >= 0) {
                        // Stored before under its recorded name, which must be in this
                        // package too.
                        member = fileNameOf(_newImageFilePaths.at(known));
                        if (!write.package.fileWrapper(member)) {
                            if (const FileWrapper* kept = findWrapperForFile(
                                    member, write.savedMembers(), write.temporaryMembers(),
                                    write.oldTemporaryMembers())) {
                                write.package.addFileWrapper(member, *kept);
                                write.sources.insert(member, *kept);
                            } else if (isFile(path)) {
                                const FileWrapper copy = FileWrapper::regularFileWithPath(path);
                                write.package.addFileWrapper(member, copy);
                                write.sources.insert(member, copy);
                            } else {
                                qWarning().noquote()
                                    << QStringLiteral("Couldn't copy image file into "
                                                      "document package: %1")
                                           .arg(path);
                                member.clear();
                            }
                        }
                    } else {
                        member = storeFile(write, path, true);
                    }
                    if (member.isEmpty())
                        continue;
                    graphic->updateImageFileName(package.filePath(member), type);
                    if (type == LBGraphic::FillImageType && graphic->imageWasDownsampled())
                        addDownsampledCopy(write, *graphic, member);
                }
            }
        }
    }
}

void LBDocument::addDownsampledCopy(PackageWrite& write, LBGraphic& graphic, const QString& member)
{
    const QString name = downsampledPrefix + member;
    if (write.downsampledCopies.contains(name))
        return;
    if (!graphic.downSampledImageWasResampled()) {
        // The copy saved before is still the picture.
        if (const FileWrapper* kept =
                findWrapperForFile(name, write.savedMembers(), write.temporaryMembers(), nullptr)) {
            write.package.addFileWrapper(name, *kept);
            write.downsampledCopies.insert(name);
            return;
        }
    }
    // The copy is the picture before any mask: a masked fill image is made again from its
    // file, since loading masks it again.
    const FileWrapper source = write.sources.value(member);
    platform::ImagePtr picture = graphic.imageOfType(LBGraphic::FillImageType);
    if (graphic.imageOfType(LBGraphic::ObjectMaskType)
        || graphic.imageOfType(LBGraphic::ExternalMaskType)) {
        const std::optional<QByteArray> data = source.regularFileContents();
        const platform::ImagePtr original = data ? platform::Image::fromData(*data) : nullptr;
        picture = original ? downsampledCopy(original, drawingSizeOf(graphic)) : nullptr;
        if (!picture)
            picture = original;
    }
    if (!picture || picture->bitmapImageRep().isNull())
        return;
    const bool jpeg = source.regularFileStartsWith(QByteArray("\xFF\xD8\xFF", 3));
    const QByteArray bytes = jpeg ? picture->jpegData(0.7) : picture->TIFFRepresentationUsingLZW();
    if (bytes.isEmpty())
        return;
    write.package.addFileWrapper(name, FileWrapper::regularFileWithContents(bytes));
    write.downsampledCopies.insert(name);
    graphic.setDownSampledImageWasResampled(false);
}

void LBDocument::moveBackgroundImageIntoDocumentPackage(PackageWrite& write)
{
    for (Face& f : _faces) {
        if (f.backgroundImagePath.isEmpty())
            continue;
        // A file that cannot be read keeps its path: the face still names its picture.
        const QString member = storeFile(write, f.backgroundImagePath, false);
        if (!member.isEmpty())
            f.backgroundImagePath = QDir(write.finalPath).filePath(member);
    }
}

// ==== Opening ============================================================================

bool LBDocument::loadImageFilesFromDocumentFileWrappers(const FileWrapper& package,
                                                        const QString& filePath)
{
    const QDir folder(filePath);
    // A member of the package by the last component of a stored path; nullptr for a name
    // that is no member (or names none: ".", "..").
    const auto memberNamed = [&package](const QString& name) -> const FileWrapper* {
        if (!FileWrapper::isSinglePathComponent(name))
            return nullptr;
        const FileWrapper* member = package.fileWrapper(name);
        return member && member->isRegularFile() ? member : nullptr;
    };
    // Where a stored name puts its file: the member, or for a member that is missing its
    // place in the package (it may come back). Null for what is no member but stands
    // there (a folder, a link leading out) or names none: the name is dropped, so that
    // nothing outside the package is ever read for it.
    const auto memberPath = [&](const QString& name) -> QString {
        if (!FileWrapper::isSinglePathComponent(name))
            return QString();
        const QString path = folder.filePath(name);
        if (memberNamed(name) || !(QFileInfo::exists(path) || QFileInfo(path).isSymLink()))
            return path;
        qWarning().noquote() << QStringLiteral("The picture \"%1\" is no file of the document; "
                                               "it is left out")
                                    .arg(name);
        return QString();
    };
    // Graphics that show one file share its picture: each member is read once.
    QHash<QString, platform::ImagePtr> pictures;
    const auto readPicture = [&pictures](const FileWrapper& member, const QString& name) {
        const auto read = pictures.constFind(name);
        if (read != pictures.cend())
            return *read;
        return *pictures.insert(name, pictureOf(member, name));
    };
    bool nonStandard = false;
    for (const Page& page : std::as_const(_documentGraphics)) {
        for (const Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer) {
                const QString fillPath = graphic->imageFilePathOfType(LBGraphic::FillImageType);
                const QString fill = fileNameOf(fillPath);
                if (!memberPath(fill).isNull()) {
                    const QString extension = QFileInfo(fill).suffix();
                    const bool kept = isPostScript(extension) || isPhotoshop(extension)
                                      || extension == QLatin1String("pdf");
                    platform::ImagePtr picture;
                    if (const FileWrapper* twin =
                            kept ? nullptr : memberNamed(downsampledPrefix + fill)) {
                        picture = readPicture(*twin, downsampledPrefix + fill);
                        if (picture)
                            graphic->setImageWasDownsampled(true);
                    }
                    if (!picture) {
                        if (const FileWrapper* member = memberNamed(fill)) {
                            picture = readPicture(*member, fill);
                            if (isPostScript(extension) || isPhotoshop(extension))
                                nonStandard = true;
                            if (picture && graphic->downsampleFillImageEnabled()
                                && !isPostScript(extension) && extension != QLatin1String("pdf")) {
                                const platform::ImagePtr smaller =
                                    downsampleImage(picture, drawingSizeOf(*graphic));
                                if (smaller && smaller != picture) {
                                    picture = smaller;
                                    graphic->setImageWasDownsampled(true);
                                }
                            }
                        } else {
                            qWarning().noquote() << QStringLiteral("The picture \"%1\" is missing "
                                                                   "from the document")
                                                        .arg(fill);
                        }
                    }
                    if (picture)
                        graphic->setImage(picture, LBGraphic::FillImageType);
                    graphic->updateImageFileName(memberPath(fill), LBGraphic::FillImageType);
                } else if (!fillPath.isEmpty()) {
                    graphic->updateImageFileName(QString(), LBGraphic::FillImageType);
                }
                for (const qint64 type : {LBGraphic::ObjectMaskType, LBGraphic::ExternalMaskType}) {
                    const QString maskPath = graphic->imageFilePathOfType(type);
                    if (maskPath.isEmpty())
                        continue;
                    const QString mask = fileNameOf(maskPath);
                    if (const FileWrapper* member = memberNamed(mask)) {
                        if (const platform::ImagePtr picture = readPicture(*member, mask))
                            graphic->setImage(picture, type);
                    }
                    graphic->updateImageFileName(memberPath(mask), type);
                }
                if (graphic->colorMaskType() != 0)
                    graphic->createColorMask();
            }
        }
    }
    _downsampledImageDPI = LBProcessState::imageDisplayResolution();
    return nonStandard;
}

void LBDocument::rememberMembersNotRead(const FileWrapper& package)
{
    static const QSet<QString> ownFiles = {
        QStringLiteral("Contents.quarnd"), QStringLiteral("Preview.jpg"),
        QStringLiteral("Preview120.jpg"), QStringLiteral("QuickLook"), QStringLiteral("Spotlight")};
    QSet<QString> named;
    for (const Page& page : std::as_const(_documentGraphics)) {
        for (const Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer) {
                for (const qint64 type : {LBGraphic::FillImageType, LBGraphic::ObjectMaskType,
                                          LBGraphic::ExternalMaskType}) {
                    const QString name = fileNameOf(graphic->imageFilePathOfType(type));
                    named << name << downsampledPrefix + name;
                }
            }
        }
    }
    for (qint64 f = 0; f < 2; ++f)
        named << fileNameOf(face(f).backgroundImagePath);
    _membersNotRead.clear();
    for (auto member = package.fileWrappers().cbegin(); member != package.fileWrappers().cend();
         ++member) {
        if (member->isRegularFile() && !ownFiles.contains(member.key())
            && !named.contains(member.key()))
            _membersNotRead.append(member.key());
    }
}

void LBDocument::loadBackgroundImageFromDocumentFileWrappers(const FileWrapper& package,
                                                             const QString& filePath, qint64 f)
{
    const QString name = _backgroundMembersToLoad[f == 0 ? 0 : 1];
    if (name.isEmpty())
        return;
    const QString path = QDir(filePath).filePath(name);
    const FileWrapper* member = package.fileWrapper(name);
    if (member && member->isRegularFile()) {
        setBackgroundImagePath(path, true, f);
        return;
    }
    // A missing member keeps its place (it may come back); anything else standing there
    // (a folder, a link leading out) is no picture of the document.
    const bool missing = !QFileInfo::exists(path) && !QFileInfo(path).isSymLink();
    qWarning().noquote() << QStringLiteral("The background picture \"%1\" is %2")
                                .arg(name, missing ? QStringLiteral("missing from the document")
                                                   : QStringLiteral("no file of the document"));
    face(f).backgroundImagePath = missing ? path : QString();
}

void LBDocument::convertNonStandardImages()
{
    bool converted = false;
    for (const Page& page : std::as_const(_documentGraphics)) {
        for (const Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer) {
                QString path = graphic->imageFilePathOfType(LBGraphic::FillImageType);
                const QString extension = QFileInfo(path).suffix();
                if (!isPostScript(extension) && !isPhotoshop(extension))
                    continue;
                // Into a working file; the package keeps its member until a save no
                // longer names it, and a picture that cannot be converted keeps its file.
                QString error;
                if (!readKeepablePicture(path, &error)) {
                    qWarning().noquote() << QStringLiteral("The picture \"%1\" cannot be "
                                                           "converted; it is kept as it is: %2")
                                                .arg(path, error);
                    continue;
                }
                graphic->updateImageFileName(path, LBGraphic::FillImageType);
                converted = true;
            }
        }
    }
    if (converted)
        _saveAfterReading = true;
}

void LBDocument::clearLazyImagePaths()
{
    for (const Page& page : std::as_const(_documentGraphics)) {
        for (const Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer) {
                if (auto* image = dynamic_cast<LBImage*>(graphic.get());
                    image && !image->lazyImagePath().isNull())
                    image->setLazyImagePath(QString());
            }
        }
    }
}

QString LBDocument::extractEmbeddedBackgroundImageWithData(const QByteArray& data)
{
    const QString folder = QDir::tempPath() + QLatin1Char('/');
    QString path;
    timeStampedName(QString(), [&](const QString& name) {
        QFile file(folder + name);
        if (!file.open(QIODevice::NewOnly))
            return file.exists();
        path = file.fileName();
        if (file.write(data) != data.size()) {
            file.remove();
            path.clear();
        }
        return false;
    });
    if (path.isEmpty()) {
        qWarning().noquote() << "The document's embedded background picture cannot be written";
        return QString();
    }
    _saveAfterReading = true;
    return path;
}
