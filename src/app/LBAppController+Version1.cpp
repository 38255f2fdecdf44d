// Ready-made designs of the first version: packages with the extension "quarnl" and a
// preview of any size. Converted once: each preview is brought down to at most 120 on a
// side and each package takes the extension of its kind.
//
// Nothing is lost when a package cannot be converted: its preview is written whole (a
// temporary file renamed over the old one) and the package is renamed only onto a free
// name; a package that fails stays as it was and is reported after the walk.

#include "app/LBAppController.h"

#include "app/SupportFolders.h"
#include "graphics/LBProcessState.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/ProgressWindow.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString CheckForVersion1Files = QStringLiteral("Check For Version 1 Files");
constexpr double maximumPreviewSide = 120.0;

QString dialogString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

// Folders with these extensions are packages: a design or a kit, never a category.
bool isPackage(const QFileInfo& info)
{
    static const QStringList extensions = {
        QStringLiteral("quarnl"),  QStringLiteral("quarnlb"),  QStringLiteral("quarnev"),
        QStringLiteral("quarnpg"), QStringLiteral("icorbeil"), QStringLiteral("icorbeillib")};
    return info.isDir() && extensions.contains(info.suffix(), Qt::CaseInsensitive);
}

bool isPlainFolder(const QFileInfo& info)
{
    return info.isDir() && !isPackage(info);
}

QFileInfoList plainSubfolders(const QString& folder)
{
    QFileInfoList folders;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                            QDir::Name | QDir::IgnoreCase))
        if (isPlainFolder(info))
            folders.append(info);
    return folders;
}

// Writes the data whole or not at all.
bool writeWhole(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    *error = file.errorString();
    return false;
}

} // namespace

bool LBAppController::updateVersion1TemplateFiles()
{
    const QFileInfo designs(QDir::cleanPath(designsFolderPath())); // (without the separator)
    if (!isPlainFolder(designs))
        return false;
    _version1Failures.clear();
    for (const QFileInfo& category : plainSubfolders(designs.absoluteFilePath())) {
        // "Matched Sets" holds its designs itself; the other categories by sub-folder.
        const QFileInfoList folders = category.fileName() == QLatin1String("Matched Sets")
                                          ? QFileInfoList{category}
                                          : plainSubfolders(category.absoluteFilePath());
        for (const QFileInfo& folder : folders) {
            if (!processVersion1FilesAtPath(folder.absoluteFilePath()))
                return false; // declined: asked again at the next launch
        }
    }
    if (_conversionProgressWindow) {
        _conversionProgressWindow->endProgressWindow();
        _conversionProgressWindow = nullptr;
    }
    if (!_version1Failures.isEmpty()) {
        platform::Alert alert;
        alert.messageText =
            dialogString(QStringLiteral("Some ready-made designs could not be converted."));
        alert.informativeText =
            dialogString(QStringLiteral("These designs were left as they were:"))
            + QStringLiteral("\r\r") + _version1Failures.join(QStringLiteral("\r"));
        alert.buttons = {dialogString(QStringLiteral("OK"))};
        alert.runModal();
        _version1Failures.clear();
    }
    platform::UserDefaults::standardUserDefaults().setBool(false, CheckForVersion1Files);
    newDocument();
    return true;
}

bool LBAppController::processVersion1FilesAtPath(const QString& folder)
{
    const QString path = QDir::cleanPath(folder);
    const bool labelFolder = path.endsWith(QLatin1String("Labels"));
    const bool envelopeFolder = path.endsWith(QLatin1String("Envelopes"));
    const bool matchedSets = QFileInfo(path).fileName() == QLatin1String("Matched Sets");

    // The designs first: each is renamed as it is converted.
    QStringList packages;
    QDirIterator walk(path, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        walk.next();
        if (walk.fileInfo().suffix() == QLatin1String("quarnl"))
            packages.append(walk.filePath());
    }
    packages.sort();

    bool asked = false;
    for (const QString& package : packages) {
        if (!asked && !_convertingV1Files) {
            asked = true;
            platform::Alert alert;
            alert.messageText = dialogString(QStringLiteral("Convert your ready-made designs?"));
            alert.informativeText = dialogString(QStringLiteral(
                "This version of the software uses a new file format. Your ready-made designs "
                "must be converted before they can be used. This may take several minutes. "
                "\r\rNote: once you convert your files, you will no longer be able to see them "
                "in older versions of this application.\r\rDo you want convert them now?"));
            alert.buttons = {dialogString(QStringLiteral("Convert Now")),
                             dialogString(QStringLiteral("Convert Later"))};
            if (alert.runModal().returnCode != platform::Alert::FirstButtonReturn) {
                LBProcessState::setDesignsFolderPath(
                    SupportFolders::Locations::standard().resourceDesigns + QLatin1Char('/'));
                newDocument();
                return false;
            }
            _conversionProgressWindow = platform::ProgressWindow::startProgressWindowWithTitle(
                dialogString(QStringLiteral("Converting ready-made designs")), 10, nullptr);
            if (_conversionProgressWindow)
                _conversionProgressWindow->setIndeterminate(true);
            _convertingV1Files = true;
        }
        QString error;
        if (!updateVersion1FileAtPath(package, labelFolder, envelopeFolder,
                                      !labelFolder && !envelopeFolder && !matchedSets, matchedSets,
                                      &error)) {
            qWarning().noquote()
                << QStringLiteral("Ready-made design %1 not converted: %2").arg(package, error);
            _version1Failures.append(
                QStringLiteral("%1: %2").arg(QFileInfo(package).fileName(), error));
        }
    }
    return true;
}

bool LBAppController::updateVersion1FileAtPath(const QString& path, bool isLabel, bool isEnvelope,
                                               bool isLetterhead, bool isMatchedSet, QString* error)
{
    Q_UNUSED(isLetterhead); // a page: neither of the other kinds
    QString ignored;
    QString& message = error ? *error : ignored;

    // The kind, and a free name for it: nothing changes when the name is taken.
    if (isMatchedSet) {
        const QString name = QFileInfo(path).completeBaseName();
        isLabel = name.contains(QLatin1String("Label"));
        isEnvelope = !isLabel && name.contains(QLatin1String("Envelope"));
    }
    const QString extension = isLabel      ? QStringLiteral("quarnlb")
                              : isEnvelope ? QStringLiteral("quarnev")
                                           : QStringLiteral("quarnpg");
    const QFileInfo package(path);
    const QString target = package.dir().filePath(package.completeBaseName() + u'.' + extension);
    if (QFileInfo::exists(target)) {
        message = QStringLiteral("%1 exists already").arg(QFileInfo(target).fileName());
        return false;
    }

    // The preview: "Preview.gif", else "Preview.jpg"; above 120 it is brought down.
    const QDir dir(path);
    QString preview = dir.filePath(QStringLiteral("Preview.gif"));
    if (!QFileInfo::exists(preview))
        preview = dir.filePath(QStringLiteral("Preview.jpg"));
    const QString jpegPreview = dir.filePath(QStringLiteral("Preview.jpg"));
    QByteArray oldJpeg; // restored should the rename fail
    bool hadJpeg = false;
    bool previewChanged = false;
    if (QFileInfo(preview).isFile()) {
        const platform::ImagePtr image = platform::Image::fromFile(preview);
        const QSizeF size = image ? image->size() : QSizeF();
        if (size.width() > maximumPreviewSide || size.height() > maximumPreviewSide) {
            const QSizeF scaled =
                size.width() > size.height()
                    ? QSizeF(maximumPreviewSide, size.height() * maximumPreviewSide / size.width())
                    : QSizeF(size.width() * maximumPreviewSide / size.height(), maximumPreviewSide);
            const platform::ImagePtr small =
                image->imageScaledToSize(platform::Image::withIntegralSize(scaled)->size());
            const QByteArray jpeg = small ? small->jpegData(0.7) : QByteArray();
            if (jpeg.isEmpty()) {
                message = QStringLiteral("the preview cannot be scaled");
                return false;
            }
            hadJpeg = QFile::exists(jpegPreview);
            if (hadJpeg) {
                QFile old(jpegPreview);
                if (!old.open(QIODevice::ReadOnly)) {
                    message = old.errorString();
                    return false;
                }
                oldJpeg = old.readAll();
            }
            if (!writeWhole(jpegPreview, jpeg, &message))
                return false;
            previewChanged = true;
        }
    }

    if (!QDir().rename(path, target)) {
        message = QStringLiteral("it cannot be renamed to %1").arg(QFileInfo(target).fileName());
        // The old preview back, so the design stays as it was.
        if (previewChanged) {
            QString ignoredError;
            if (hadJpeg)
                writeWhole(jpegPreview, oldJpeg, &ignoredError);
            else
                QFile::remove(jpegPreview);
        }
        return false;
    }
    // The GIF goes only now: "Preview.jpg" replaces it.
    if (previewChanged && preview != jpegPreview)
        QFile::remove(QDir(target).filePath(QStringLiteral("Preview.gif")));
    return true;
}
