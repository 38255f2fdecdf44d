#include "platform/core/FileOperations.h"

#include "platform/core/Error.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

FileOperationHooks& hooks()
{
    static FileOperationHooks instance;
    return instance;
}

// Closes a descriptor when it goes out of scope.
struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// The file's bytes and permissions into a new file `to`, with the system's reason on
// failure. Unlike QFile::copy it does not force each file to disk (neither does the
// system's own cp): a kit of hundreds of pictures spent most of its import waiting on
// hundreds of separate flushes, while the copy's source stays where it was.
bool copyFileData(const QString& from, const QString& to, QString* reason)
{
    const auto failed = [reason] {
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    };
    Descriptor source{::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC)};
    struct stat status;
    if (source.fd < 0 || ::fstat(source.fd, &status) != 0)
        return failed();
    Descriptor target{::open(QFile::encodeName(to).constData(),
                             O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, status.st_mode & 07777)};
    if (target.fd < 0)
        return failed();
    bool copyRange = true;
    char buffer[64 * 1024];
    for (;;) {
        ssize_t copied = -1;
        if (copyRange) {
            copied = ::copy_file_range(source.fd, nullptr, target.fd, nullptr, 1 << 30, 0);
            if (copied < 0
                && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP
                    || errno == EPERM)) {
                copyRange = false;
                continue;
            }
        } else {
            copied = ::read(source.fd, buffer, sizeof buffer);
            for (ssize_t written = 0; copied > 0 && written < copied;) {
                const ssize_t n = ::write(target.fd, buffer + written, size_t(copied - written));
                if (n < 0 && errno != EINTR)
                    return failed();
                written += std::max<ssize_t>(n, 0);
            }
        }
        if (copied == 0)
            break;
        if (copied < 0 && errno != EINTR)
            return failed();
    }
    const int closed = ::close(target.fd);
    target.fd = -1;
    return closed == 0 || failed();
}

bool copyFile(const QString& from, const QString& to, Error* error)
{
    QString reason;
    const bool copied =
        hooks().copyFile ? hooks().copyFile(from, to) : copyFileData(from, to, &reason);
    if (copied)
        return true;
    return Error::fail(
        error, FileErrorDomain, QFileDevice::CopyError,
        QStringLiteral("The file \"%1\" could not be copied to \"%2\"%3")
            .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to),
                 reason.isEmpty() ? QStringLiteral(".") : QStringLiteral(": %1.").arg(reason)));
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

QString systemErrorText(int code)
{
    return QString::fromStdString(std::generic_category().message(code));
}

namespace {

bool systemFailure(Error* error, QFileDevice::FileError code, const QString& what, int number)
{
    return Error::fail(error, FileErrorDomain, code,
                       QStringLiteral("%1: %2").arg(what, systemErrorText(number)));
}

// Whether the error of renameat2() says the file system knows no such flag.
bool isUnsupported(int number)
{
    return number == EINVAL || number == ENOSYS || number == EOPNOTSUPP || number == ENOTSUP;
}

// A file's bytes and what reading them back needs (its size, where its blocks lie), or a
// folder whole. A file's other metadata (its times, its count of links) need not reach
// the disk with it: the folder holding it is written out after it, and that carries its
// entry. So a member a save shares by a hard link with the package before, whose bytes
// are on the disk already, costs next to nothing here, where a whole fsync first wrote
// out its new count of links.
int syncDescriptor(int descriptor, bool folder)
{
    int result;
    do
        result = folder ? ::fsync(descriptor) : ::fdatasync(descriptor);
    while (result != 0 && errno == EINTR);
    // Some file systems cannot sync a folder: nothing to lose there.
    return result != 0 && (errno == EINVAL || errno == EROFS) ? 0 : result;
}

bool syncTree(const QString& path, Error* error)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat item = {};
    if (::lstat(name.constData(), &item) != 0)
        return systemFailure(
            error, QFileDevice::WriteError,
            QStringLiteral("\"%1\" cannot be written out").arg(QDir::toNativeSeparators(path)),
            errno);
    if (!S_ISREG(item.st_mode) && !S_ISDIR(item.st_mode))
        return true;
    if (S_ISDIR(item.st_mode)) {
        const QStringList entries =
            QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                 | QDir::NoDotAndDotDot | QDir::NoSymLinks);
        for (const QString& entry : entries) {
            if (!syncTree(path + u'/' + entry, error))
                return false;
        }
    }
    const int descriptor =
        ::open(name.constData(),
               O_RDONLY | O_CLOEXEC | O_NOFOLLOW | (S_ISDIR(item.st_mode) ? O_DIRECTORY : 0));
    if (descriptor < 0 || syncDescriptor(descriptor, S_ISDIR(item.st_mode)) != 0) {
        const int number = errno;
        if (descriptor >= 0)
            ::close(descriptor);
        return systemFailure(
            error, QFileDevice::WriteError,
            QStringLiteral("\"%1\" cannot be written out").arg(QDir::toNativeSeparators(path)),
            number);
    }
    ::close(descriptor);
    return true;
}

} // namespace

ExchangeResult exchangeItems(const QString& a, const QString& b, Error* error)
{
    if (hooks().exchange)
        return hooks().exchange(a, b) ? ExchangeResult::Exchanged : ExchangeResult::Unsupported;
    if (::renameat2(AT_FDCWD, QFile::encodeName(a).constData(), AT_FDCWD,
                    QFile::encodeName(b).constData(), RENAME_EXCHANGE)
        == 0)
        return ExchangeResult::Exchanged;
    const int number = errno;
    if (isUnsupported(number))
        return ExchangeResult::Unsupported;
    systemFailure(error, QFileDevice::RenameError,
                  QStringLiteral("\"%1\" cannot take the place of \"%2\"")
                      .arg(QDir::toNativeSeparators(a), QDir::toNativeSeparators(b)),
                  number);
    return ExchangeResult::Failed;
}

bool moveItemToFreePath(const QString& from, const QString& to, Error* error)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    int result =
        ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (result != 0 && isUnsupported(errno)) {
        // Without the flag: look first (one program writes these names).
        struct stat there = {};
        if (::lstat(target.constData(), &there) == 0)
            errno = EEXIST;
        else
            result = ::rename(source.constData(), target.constData());
    }
    if (result == 0)
        return true;
    return systemFailure(error, QFileDevice::RenameError,
                         QStringLiteral("\"%1\" cannot be moved to \"%2\"")
                             .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to)),
                         errno);
}

bool syncItem(const QString& path, Error* error)
{
    return syncTree(path, error);
}

void setFileOperationHooks(const FileOperationHooks& newHooks)
{
    hooks() = newHooks;
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace platform
