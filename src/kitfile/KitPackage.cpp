#include "kitfile/KitPackage.h"

#include "kitfile/ManifestValues.h"
#include "platform/core/Error.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kitfile {

namespace {

using kitfile::quoted;

constexpr QDir::Filters everyEntry =
    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

bool fileFailure(platform::Error* error, const QString& description,
                 QFileDevice::FileError code = QFileDevice::UnspecifiedError)
{
    return platform::Error::fail(error, platform::FileErrorDomain, int(code), description);
}

// A link counts as existing here even when it points nowhere.
bool entryExists(const QFileInfo& info)
{
    return info.exists() || info.isSymLink();
}

bool copyTree(const QString& from, const QString& to, platform::Error* error)
{
    if (!QDir().mkpath(to))
        return fileFailure(error, QStringLiteral("Cannot create the folder %1.").arg(quoted(to)));
    const QFileInfoList entries = QDir(from).entryInfoList(everyEntry, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString target = QDir(to).filePath(entry.fileName());
        const bool ok = entry.isDir() && !entry.isSymLink()
                            ? copyTree(entry.filePath(), target, error)
                            : copyFile(entry.filePath(), target, error);
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != u'.' && name != QStringLiteral("..") && !name.contains(u'/')
           && !name.contains(u'\\') && !name.contains(QChar(0));
}

KitPackage::KitPackage(const QString& path)
    : _path(QDir::cleanPath(path)), _canonicalPath(QFileInfo(path).canonicalFilePath())
{}

QString KitPackage::filePath(const QString& folder, const QString& name) const
{
    return folder.isEmpty() ? _path + u'/' + name : _path + u'/' + folder + u'/' + name;
}

bool KitPackage::contains(const QString& path) const
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !_canonicalPath.isEmpty() && !canonical.isEmpty()
           && (canonical == _canonicalPath || canonical.startsWith(_canonicalPath + u'/'));
}

QString KitPackage::existingFile(const QString& folder, const QString& name) const
{
    if (!isPlainName(name))
        return QString();
    const QString exact = filePath(folder, name);
    const QFileInfo exactInfo(exact);
    if (entryExists(exactInfo))
        return exactInfo.isFile() && contains(exact) ? exact : QString();
    const QString folderPath = folder.isEmpty() ? _path : _path + u'/' + folder;
    // A folder that leads out of the package holds no file of it: its names are not read.
    if (!contains(folderPath))
        return QString();
    const QFileInfoList entries =
        QDir(folderPath).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.fileName().compare(name, Qt::CaseInsensitive) == 0 && contains(entry.filePath()))
            return entry.filePath();
    }
    return QString();
}

bool KitPackage::prepareToWrite(const QString& path, platform::Error* error) const
{
    const QFileInfo info(path);
    if (info.isSymLink() && !contains(path) && !QFile::remove(path))
        return fileFailure(error, QStringLiteral("Cannot remove the link %1.").arg(quoted(path)));
    if (!contains(info.path()))
        return fileFailure(error,
                           QStringLiteral("The folder of %1 is missing or not inside the kit %2.")
                               .arg(quoted(path), quoted(_path)));
    return true;
}

bool KitPackage::ensureFolder(const QString& folder, platform::Error* error) const
{
    const QString path = _path + u'/' + folder;
    if (!prepareToWrite(path, error))
        return false;
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    if (entryExists(info) || !QDir().mkdir(path))
        return fileFailure(error, QStringLiteral("Cannot create the folder %1.").arg(quoted(path)));
    return true;
}

bool KitPackage::mergeFolder(const QString& from, const QString& folder,
                             platform::Error* error) const
{
    if (!folder.isEmpty() && !ensureFolder(folder, error))
        return false;
    const QFileInfoList entries = QDir(from).entryInfoList(everyEntry, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString relative =
            folder.isEmpty() ? entry.fileName() : folder + u'/' + entry.fileName();
        if (entry.isDir() && !entry.isSymLink()) {
            if (!mergeFolder(entry.filePath(), relative, error))
                return false;
            continue;
        }
        const QString target = _path + u'/' + relative;
        if (!prepareToWrite(target, error))
            return false;
        if (entryExists(QFileInfo(target)) && !removeItem(target, error))
            return false;
        if (!moveItem(entry.filePath(), target, error))
            return false;
    }
    return true;
}

bool removeItem(const QString& path, platform::Error* error)
{
    const QFileInfo info(path);
    if (!entryExists(info))
        return true;
    if (info.isDir() && !info.isSymLink()) {
        if (QDir(path).removeRecursively())
            return true;
        return fileFailure(error, QStringLiteral("Cannot delete the folder %1.").arg(quoted(path)));
    }
    QFile file(path);
    if (file.remove())
        return true;
    return fileFailure(error,
                       QStringLiteral("Cannot delete %1: %2").arg(quoted(path), file.errorString()),
                       file.error());
}

bool copyFile(const QString& from, const QString& to, platform::Error* error)
{
    QFile source(from);
    if (!source.copy(to))
        return fileFailure(error,
                           QStringLiteral("Cannot copy %1 to %2: %3")
                               .arg(quoted(from), quoted(to), source.errorString()),
                           source.error());
    // Copies of read-only files (the library's own resources) stay changeable.
    QFile::setPermissions(to, QFile::permissions(to) | QFileDevice::WriteOwner);
    return true;
}

bool moveItem(const QString& from, const QString& to, platform::Error* error)
{
    if (entryExists(QFileInfo(to)))
        return fileFailure(error, QStringLiteral("Cannot move %1 to %2: it already exists.")
                                      .arg(quoted(from), quoted(to)));
    if (QDir().rename(from, to))
        return true;
    const QFileInfo info(from);
    if (!info.isDir() || info.isSymLink()) {
        // QFile copies and deletes when a rename cannot cross file systems.
        QFile file(from);
        if (file.rename(to))
            return true;
        return fileFailure(error,
                           QStringLiteral("Cannot move %1 to %2: %3")
                               .arg(quoted(from), quoted(to), file.errorString()),
                           file.error());
    }
    if (!copyTree(from, to, error)) {
        QDir(to).removeRecursively();
        return false;
    }
    return removeItem(from, error);
}

bool writeFileAtomically(const QString& path, const QByteArray& data, platform::Error* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    return fileFailure(error,
                       QStringLiteral("Cannot write %1: %2").arg(quoted(path), file.errorString()),
                       file.error());
}

} // namespace kitfile
