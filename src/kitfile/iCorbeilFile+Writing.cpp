// Writing a kit: the checks that come before any change, the manifest, the new and the
// existing package, the clean-up of files no graphic names, and the side files.

#include "kitfile/iCorbeilFile.h"

#include "kitfile/KitPackage.h"
#include "kitfile/KitResources.h"
#include "kitfile/ManifestValues.h"
#include "platform/core/Error.h"
#include "platform/core/PropertyList.h"
#include "platform/core/Strings.h"
#include "platform/drawing/Image.h"

#include <QDebug>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>
#include <QUrl>

using kitfile::KitPackage;

using kitfile::quoted;

namespace {

const QString contentsName = QStringLiteral("contents.xml");
const QString pngPreviewName = QStringLiteral("Kit_Preview.png");
const QString jpegPreviewName = QStringLiteral("Kit_Preview.jpg");
const QString designerName = QStringLiteral("Artist.jpg");
const QString copyrightName = QStringLiteral("Copyright.txt");

bool incomplete(platform::Error* error, const QString& description)
{
    return platform::Error::fail(error, iCorbeilErrorDomain, iCorbeilIncompleteContentsError,
                                 description);
}

// The value a graphic lacks among those every manifest holds, or a null QString.
QString missingValue(const iCorbeilImage& object)
{
    const std::pair<bool, const char*> values[] = {
        {object.name().isNull(), "name"},
        {!object.tags().has_value(), "tags"},
        {object.type().isNull(), "type"},
        {object.filename().isNull(), "file name"},
        {object.primaryColorName().isNull(), "primary colour name"},
        {!object.primaryColor().isValid(), "primary colour"},
        {object.orientation().isNull(), "orientation"},
        {object.thumbnailFilename().isNull(), "thumbnail file name"},
        {object.isPaper() && object.paperType().isNull(), "paper style"},
        {object.isQuickPage() && !object.numberOfPictures().isValid(), "number of pictures"},
    };
    for (const auto& [missing, what] : values) {
        if (missing)
            return QString::fromLatin1(what);
    }
    return QString();
}

// The files of a package that are kept whatever the graphics name.
bool isKeptFile(const QString& name)
{
    for (const QString& kept : {contentsName, pngPreviewName, jpegPreviewName, designerName})
        if (name.compare(kept, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

bool iCorbeilFile::checkBeforeWriting(platform::Error* error) const
{
    if (_info->UUID().isEmpty())
        return incomplete(error, QStringLiteral("The kit has no identifier."));
    if (_info->name().isNull())
        return incomplete(error, QStringLiteral("The kit has no name."));
    if (!_info->releases())
        return incomplete(error, QStringLiteral("The kit has no release history."));
    for (qsizetype i = 0; i < _objects.size(); ++i) {
        const iCorbeilImage& object = *_objects[i];
        const QString graphic =
            object.name().isEmpty()
                ? QStringLiteral("The graphic %1").arg(i + 1)
                : QStringLiteral("The graphic %1 (%2)").arg(quoted(object.name())).arg(i + 1);
        const QString missing = missingValue(object);
        if (!missing.isNull())
            return incomplete(error, QStringLiteral("%1 has no %2.").arg(graphic, missing));
        for (const QString& name :
             {object.filename(), object.thumbnailFilename(), object.detailThumbnailFilename()}) {
            if (!name.isNull() && !kitfile::isPlainName(name))
                return platform::Error::fail(
                    error, iCorbeilErrorDomain, iCorbeilUnsafeFilenameError,
                    QStringLiteral("%1 names the file %2, which is not a plain file name.")
                        .arg(graphic, quoted(name)));
        }
    }
    return true;
}

bool iCorbeilFile::writeContentsToURL(const QUrl& url, platform::Error* error)
{
    if (!checkBeforeWriting(error))
        return false;
    QVariantMap manifest = _info->props();
    QVariantList objects;
    for (const auto& object : _objects)
        objects.append(object->properties());
    manifest.insert(VQObjects, objects);

    const KitPackage package(url.toLocalFile());
    const QString path = package.filePath(QString(), contentsName);
    if (!package.prepareToWrite(path, nullptr)
        || !kitfile::writeFileAtomically(path, platform::PropertyList::toXml(manifest), nullptr)) {
        qWarning().noquote() << QStringLiteral("iCorbeilFile: unable to serialize contents.xml");
        return platform::Error::fail(
            error, iCorbeilErrorDomain, iCorbeilSerializationError,
            platform::LocalizedString(QStringLiteral("Unable to serialize contents.xml"),
                                      QString()));
    }
    // The images are in the package now and load again on demand.
    for (const auto& object : _objects)
        object->setImage(nullptr);
    return true;
}

bool iCorbeilFile::writeToURLForNewFile(const QUrl& url, platform::Error* error)
{
    if (!checkBeforeWriting(error))
        return false;
    const QString path = url.toLocalFile();
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return platform::Error::fail(
            error, platform::FileErrorDomain, QFileDevice::CopyError,
            QStringLiteral("Cannot write the new kit %1: it already exists.").arg(quoted(path)));
    if (temporaryFileExists()) {
        if (!kitfile::moveItem(_temporaryPath, path, error))
            return false;
    } else if (!createPackageAtPath(path, error)) {
        return false;
    }
    _temporaryPath.clear();
    return writeContentsToURL(url, error) && writePreviewImageFile(url, error)
           && writeDesignerImageFile(url, error) && writeLicenseFile(url, error)
           && writeCopyrightFile(url, error) && writeLicenseImageFile(url, error);
}

bool iCorbeilFile::writeToURLForExistingFile(const QUrl& url, platform::Error* error)
{
    if (!checkBeforeWriting(error))
        return false;
    const QString path = url.toLocalFile();
    if (!QFileInfo(path).isDir())
        return platform::Error::fail(
            error, platform::FileErrorDomain, QFileDevice::OpenError,
            QStringLiteral("The kit %1 is not there to be written.").arg(quoted(path)));
    // The staged files first, so the manifest never names a file that is not there yet.
    if (temporaryFileExists() && !moveImagesFromTempFileFolder(QString(), url, error))
        return false;
    if (!(writeContentsToURL(url, error) && deleteUnreferencedImagesFromURL(url, error)
          && writePreviewImageFile(url, error) && writeDesignerImageFile(url, error)
          && writeLicenseFile(url, error) && writeCopyrightFile(url, error)
          && writeLicenseImageFile(url, error)))
        return false;
    removeTemporaryFile();
    return true;
}

bool iCorbeilFile::moveImagesFromTempFileFolder(const QString& folder, const QUrl& toURL,
                                                platform::Error* error)
{
    if (!temporaryFileExists())
        return true;
    if (!folder.isEmpty() && !kitfile::isPlainName(folder))
        return platform::Error::fail(
            error, iCorbeilErrorDomain, iCorbeilUnsafeFilenameError,
            QStringLiteral("%1 is not a folder of the kit.").arg(quoted(folder)));
    const QString from = folder.isEmpty() ? _temporaryPath : _temporaryPath + u'/' + folder;
    return KitPackage(toURL.toLocalFile()).mergeFolder(from, folder, error);
}

bool iCorbeilFile::deleteUnreferencedImagesFromURL(const QUrl& url, platform::Error* error)
{
    QSet<QString> referenced;
    QSet<QString> referencedFolded;
    for (const auto& object : _objects) {
        for (const QString& name :
             {object->filename(), object->thumbnailFilename(), object->detailThumbnailFilename()}) {
            if (!name.isNull()) {
                referenced.insert(name);
                referencedFolded.insert(name.toCaseFolded());
            }
        }
    }
    const KitPackage package(url.toLocalFile());
    QStringList unreferenced;
    QDirIterator it(package.path(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        const QString name = file.fileName();
        if (isKeptFile(name) || referenced.contains(name))
            continue;
        // A name matching a graphic's only ignoring letter case is that graphic's file,
        // unless its folder also holds the exact name.
        if (referencedFolded.contains(name.toCaseFolded())) {
            bool exactAlsoThere = false;
            for (const QString& other :
                 QDir(file.path()).entryList(QDir::Files | QDir::Hidden | QDir::System))
                exactAlsoThere = exactAlsoThere
                                 || (other != name && referenced.contains(other)
                                     && other.compare(name, Qt::CaseInsensitive) == 0);
            if (!exactAlsoThere)
                continue;
        }
        unreferenced.append(file.filePath());
    }
    for (const QString& path : unreferenced) {
        if (!kitfile::removeItem(path, error))
            return false;
    }
    return true;
}

bool iCorbeilFile::writeLibraryFile(const QUrl& url, const QString& name, platform::Error* error)
{
    const KitPackage package(url.toLocalFile());
    if (!package.existingFile(QString(), name).isEmpty())
        return true;
    const QString path = package.filePath(QString(), name);
    return package.prepareToWrite(path, error)
           && kitfile::copyFile(kitfile::resourcePath(name), path, error);
}

bool iCorbeilFile::writeLicenseFile(const QUrl& url, platform::Error* error)
{
    return writeLibraryFile(url, QStringLiteral("License.pdf"), error);
}

bool iCorbeilFile::writeLicenseImageFile(const QUrl& url, platform::Error* error)
{
    return writeLibraryFile(url, QStringLiteral("License.png"), error);
}

bool iCorbeilFile::writeCopyrightFile(const QUrl& url, platform::Error* error)
{
    const KitPackage package(url.toLocalFile());
    const QString path = package.filePath(QString(), copyrightName);
    if (!package.prepareToWrite(path, error)
        || !kitfile::removeItem(package.existingFile(QString(), copyrightName), error))
        return false;
    const QString copyright = _info->copyright();
    return copyright.isEmpty() || kitfile::writeFileAtomically(path, copyright.toUtf8(), error);
}

bool iCorbeilFile::writePreviewImageFile(const QUrl& url, platform::Error* error)
{
    return writeSidePicture(url, _info->previewPath(), _info->preview(),
                            {pngPreviewName, jpegPreviewName}, error);
}

bool iCorbeilFile::writeDesignerImageFile(const QUrl& url, platform::Error* error)
{
    return writeSidePicture(url, _info->designerPath(), _info->designer(), {designerName}, error);
}

// `names` are the files the picture may be kept in: for the preview one per format (PNG
// first), for the designer's picture one name whatever the format.
bool iCorbeilFile::writeSidePicture(const QUrl& url, const QString& path,
                                    const std::shared_ptr<platform::Image>& picture,
                                    const QStringList& names, platform::Error* error)
{
    const KitPackage package(url.toLocalFile());
    QStringList present;
    for (const QString& name : names) {
        const QString file = package.existingFile(QString(), name);
        if (!file.isEmpty())
            present.append(file);
    }
    const auto removeAll = [&](const QString& except) {
        for (const QString& file : present)
            if (file != except && !kitfile::removeItem(file, error))
                return false;
        return true;
    };

    if (!path.isEmpty()) {
        // The name by the source's format: a preview the reader would not find (".jpeg",
        // a TIFF) is kept as PNG or JPG.
        QString target = names.first();
        QByteArray converted;
        if (names.size() > 1) {
            const QByteArray format = QImageReader::imageFormat(path);
            if (format == "jpeg")
                target = names[1];
            else if (format != "png") {
                const std::shared_ptr<platform::Image> image = loadImageAtPath(path);
                converted = image ? image->pngData() : QByteArray();
                if (converted.isEmpty())
                    return platform::Error::fail(
                        error, platform::FileErrorDomain, QFileDevice::ReadError,
                        QStringLiteral("The picture %1 cannot be read.").arg(quoted(path)));
            }
        }
        const QString targetPath = package.filePath(QString(), target);
        if (!(QFileInfo(path).canonicalFilePath() == QFileInfo(targetPath).canonicalFilePath()
              && package.contains(targetPath))) {
            // Through a copy beside it, so the old picture stays until the new one is there.
            const QString staged = targetPath + QStringLiteral(".new");
            const bool written =
                kitfile::removeItem(staged, error)
                && (converted.isEmpty() ? kitfile::copyFile(path, staged, error)
                                        : kitfile::writeFileAtomically(staged, converted, error));
            if (!written || !package.prepareToWrite(targetPath, error)
                || !kitfile::removeItem(targetPath, error)
                || !kitfile::moveItem(staged, targetPath, error))
                return false;
        }
        return removeAll(targetPath);
    }
    if (picture) {
        if (!present.isEmpty())
            return true;
        // A picture the package does not hold yet (a kit saved under a new name).
        const QString targetPath = package.filePath(QString(), names.first());
        const QByteArray data = names.size() > 1 ? picture->pngData() : picture->jpegData(0.9);
        return data.isEmpty()
               || (package.prepareToWrite(targetPath, error)
                   && kitfile::writeFileAtomically(targetPath, data, error));
    }
    return removeAll(QString());
}
