#include "platform/core/FileOperations.h"

#include "platform/core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

namespace platform {

namespace {

FileOperationHooks& hooks()
{
    static FileOperationHooks instance;
    return instance;
}

bool copyFile(const QString& from, const QString& to, Error* error)
{
    const bool copied = hooks().copyFile ? hooks().copyFile(from, to) : QFile::copy(from, to);
    if (copied)
        return true;
    return Error::fail(error, FileErrorDomain, QFileDevice::CopyError,
                       QStringLiteral("The file \"%1\" could not be copied to \"%2\".")
                           .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to)));
}

bool copyTree(const QString& from, const QString& to, Error* error)
{
    const QFileInfo source(from);
    if (source.isSymLink())
        return true;
    if (source.isFile())
        return copyFile(from, to, error);
    if (!source.isDir())
        return true; // sockets, pipes and devices stay out
    if (!QDir().mkdir(to))
        return Error::fail(error, FileErrorDomain, QFileDevice::WriteError,
                           QStringLiteral("The folder \"%1\" could not be made.")
                               .arg(QDir::toNativeSeparators(to)));
    const QFileInfoList entries = QDir(from).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (!copyTree(entry.filePath(), to + u'/' + entry.fileName(), error))
            return false;
    }
    return true;
}

} // namespace

bool copyItem(const QString& from, const QString& to, Error* error)
{
    const QFileInfo source(from);
    if (!source.exists() || source.isSymLink())
        return Error::fail(error, FileErrorDomain, QFileDevice::OpenError,
                           QStringLiteral("There is no file or folder \"%1\" to copy.")
                               .arg(QDir::toNativeSeparators(from)));
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        return Error::fail(
            error, FileErrorDomain, QFileDevice::CopyError,
            QStringLiteral("\"%1\" is already there.").arg(QDir::toNativeSeparators(to)));
    if (copyTree(from, to, error))
        return true;
    removeItem(to);
    return false;
}

bool moveItemToTrash(const QString& path, Error* error)
{
    bool moved = false;
    if (hooks().moveToTrash) {
        moved = hooks().moveToTrash(path);
    } else {
        QString inTrash;
        // (What Qt may make in the current folder, and whether it was there before.)
        const QStringList strays = {QDir::current().filePath(QStringLiteral("files")),
                                    QDir::current().filePath(QStringLiteral("info"))};
        const bool straysThere = QFileInfo::exists(strays[0]) || QFileInfo::exists(strays[1]);
        moved = QFile::moveToTrash(path, &inTrash);
        // Where no Trash can be made, Qt may put the item in a "files" folder of the
        // current folder: only a Trash counts, so such an item goes back.
        const QDir files = QFileInfo(inTrash).dir();
        QDir trash = files;
        const bool inATrash =
            moved && files.dirName() == QLatin1String("files") && trash.cdUp()
            && (trash.dirName() == QLatin1String("Trash")
                || trash.dirName().startsWith(QLatin1String(".Trash"))
                || QFileInfo(trash.path()).dir().dirName() == QLatin1String(".Trash"));
        if (moved && !inATrash) {
            QFile::rename(inTrash, path);
            QFile::remove(trash.filePath(
                QStringLiteral("info/%1.trashinfo").arg(QFileInfo(inTrash).fileName())));
            moved = false;
        }
        if (!moved && !straysThere) {
            for (const QString& stray : strays)
                QDir().rmdir(stray); // only when empty
        }
    }
    if (moved)
        return true;
    return Error::fail(error, FileErrorDomain, QFileDevice::RenameError,
                       QStringLiteral("\"%1\" could not be moved to the Trash.")
                           .arg(QDir::toNativeSeparators(path)));
}

bool removeItem(const QString& path, Error* error)
{
    const QFileInfo item(path);
    bool removed = true;
    if (item.isDir() && !item.isSymLink())
        removed = QDir(path).removeRecursively();
    else if (item.exists() || item.isSymLink())
        removed = QFile::remove(path);
    if (removed)
        return true;
    return Error::fail(
        error, FileErrorDomain, QFileDevice::RemoveError,
        QStringLiteral("\"%1\" could not be removed.").arg(QDir::toNativeSeparators(path)));
}

QString uniquePath(const QString& path)
{
    const auto taken = [](const QString& candidate) {
        return QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink();
    };
    if (!taken(path))
        return path;
    const QFileInfo file(path);
    const QString folder = file.path();
    const QString suffix = file.suffix();
    const QString base = suffix.isEmpty() ? file.fileName() : file.completeBaseName();
    for (int n = 2;; ++n) {
        const QString name = suffix.isEmpty()
                                 ? QStringLiteral("%1 %2").arg(base).arg(n)
                                 : QStringLiteral("%1 %2.%3").arg(base).arg(n).arg(suffix);
        const QString candidate = folder + u'/' + name;
        if (!taken(candidate))
            return candidate;
    }
}

void setFileOperationHooks(const FileOperationHooks& newHooks)
{
    hooks() = newHooks;
}

} // namespace platform
