#include "platform/core/FileWrapper.h"

#include "platform/core/FileOperations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::function<long(int, const char*, size_t)>& writeHook()
{
    static std::function<long(int, const char*, size_t)> hook;
    return hook;
}

// Writes all the bytes to the descriptor; false with errno set at the first failure.
bool writeAll(int descriptor, const char* data, qint64 size)
{
    while (size > 0) {
        const size_t chunk = size_t(std::min<qint64>(size, 1 << 20));
        const long written = writeHook() ? writeHook()(descriptor, data, chunk)
                                         : long(::write(descriptor, data, chunk));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// Makes the new file at the path (which must be free) and fills it from `fill`, which
// returns false with errno set when it fails; a failed file is removed. The system's
// reason in *reason.
bool writeNewFile(const QString& path, const std::function<bool(int)>& fill, QString* reason)
{
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        *reason = systemErrorText(errno);
        return false;
    }
    const bool filled = fill(descriptor);
    const int fillError = errno;
    const bool closed = ::close(descriptor) == 0;
    if (filled && closed)
        return true;
    *reason = systemErrorText(filled ? errno : fillError);
    ::unlink(name.constData());
    return false;
}

bool fileError(Error* error, QFileDevice::FileError code, const QString& description)
{
    return Error::fail(error, FileErrorDomain, int(code), description);
}

// Whether `path` (canonical) lies inside the folder `folder` (canonical).
bool isInside(const QString& path, const QString& folder)
{
    return !path.isEmpty() && path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

FileWrapper FileWrapper::regularFileWithContents(const QByteArray& contents)
{
    FileWrapper wrapper;
    wrapper._kind = Kind::RegularFile;
    wrapper._contents = contents;
    return wrapper;
}

FileWrapper FileWrapper::regularFileWithPath(const QString& path, bool mayLink)
{
    FileWrapper wrapper;
    wrapper._kind = Kind::RegularFile;
    wrapper._path = path;
    wrapper._mayLink = mayLink;
    return wrapper;
}

FileWrapper FileWrapper::directory()
{
    FileWrapper wrapper;
    wrapper._kind = Kind::Directory;
    return wrapper;
}

FileWrapper FileWrapper::symbolicLinkWithDestination(const QString& destination)
{
    FileWrapper wrapper;
    wrapper._kind = Kind::SymbolicLink;
    wrapper._destination = destination;
    return wrapper;
}

std::optional<FileWrapper> FileWrapper::directoryWithPath(const QString& path, Error* error)
{
    const QFileInfo info(path);
    if (!info.isDir()) {
        fileError(error, QFileDevice::OpenError,
                  QStringLiteral("\"%1\" is not a folder.").arg(QDir::toNativeSeparators(path)));
        return std::nullopt;
    }
    const QString folder = info.canonicalFilePath();
    QDir dir(folder);
    if (!dir.isReadable()) {
        fileError(error, QFileDevice::ReadError,
                  QStringLiteral("The folder \"%1\" cannot be read.")
                      .arg(QDir::toNativeSeparators(path)));
        return std::nullopt;
    }
    FileWrapper wrapper = directory();
    wrapper._path = folder;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink()) {
            // Only a link to a regular file of this folder counts, as that file.
            const QString target = entry.canonicalFilePath();
            if (isInside(target, folder) && QFileInfo(target).isFile())
                wrapper._members.insert(entry.fileName(), regularFileWithPath(target, true));
        } else if (entry.isFile()) {
            wrapper._members.insert(entry.fileName(), regularFileWithPath(entry.filePath(), true));
        } else if (entry.isDir()) {
            FileWrapper member = directory();
            member._path = entry.filePath();
            wrapper._members.insert(entry.fileName(), member);
        }
    }
    return wrapper;
}

std::optional<QByteArray> FileWrapper::regularFileContents(Error* error) const
{
    if (_kind != Kind::RegularFile) {
        fileError(error, QFileDevice::OpenError,
                  QStringLiteral("\"%1\" is not a file.").arg(QDir::toNativeSeparators(_path)));
        return std::nullopt;
    }
    if (_path.isEmpty())
        return _contents;
    QFile file(_path);
    if (!file.open(QIODevice::ReadOnly)) {
        fileError(error, file.error(),
                  QStringLiteral("The file \"%1\" cannot be read: %2")
                      .arg(QDir::toNativeSeparators(_path), file.errorString()));
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fileError(error, file.error(),
                  QStringLiteral("The file \"%1\" cannot be read: %2")
                      .arg(QDir::toNativeSeparators(_path), file.errorString()));
        return std::nullopt;
    }
    return bytes;
}

bool FileWrapper::regularFileStartsWith(const QByteArray& prefix) const
{
    if (_kind != Kind::RegularFile)
        return false;
    if (_path.isEmpty())
        return _contents.startsWith(prefix);
    QFile file(_path);
    return file.open(QIODevice::ReadOnly) && file.read(prefix.size()) == prefix;
}

const FileWrapper* FileWrapper::fileWrapper(const QString& name) const
{
    const auto found = _members.constFind(name);
    return found == _members.cend() ? nullptr : &*found;
}

void FileWrapper::addFileWrapper(const QString& name, const FileWrapper& wrapper)
{
    Q_ASSERT(isSinglePathComponent(name));
    _members.insert(name, wrapper);
}

bool FileWrapper::isSinglePathComponent(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".")
           && name != QLatin1String("..");
}

bool FileWrapper::writeToPath(const QString& path, Error* error) const
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (_kind) {
    case Kind::None: return true;
    case Kind::Directory: {
        if (!QFileInfo(path).isDir() && ::mkdir(QFile::encodeName(path).constData(), 0777) != 0
            && !QDir().mkpath(path))
            return fileError(error, QFileDevice::WriteError,
                             QStringLiteral("The folder \"%1\" cannot be made: %2")
                                 .arg(shown, systemErrorText(errno)));
        for (auto member = _members.cbegin(); member != _members.cend(); ++member) {
            if (!member->writeToPath(QDir(path).filePath(member.key()), error))
                return false;
        }
        return true;
    }
    case Kind::SymbolicLink:
        if (::symlink(QFile::encodeName(_destination).constData(),
                      QFile::encodeName(path).constData())
            != 0)
            return fileError(error, QFileDevice::WriteError,
                             QStringLiteral("The link \"%1\" cannot be made: %2")
                                 .arg(shown, systemErrorText(errno)));
        return true;
    case Kind::RegularFile: break;
    }

    if (!_path.isEmpty()) {
        // A hard link shares the bytes without copying them; where the file system cannot
        // link (another device), a copy.
        if (_mayLink
            && ::link(QFile::encodeName(_path).constData(), QFile::encodeName(path).constData())
                   == 0)
            return true;
        QFile source(_path);
        if (!source.open(QIODevice::ReadOnly))
            return fileError(
                error, source.error(),
                QStringLiteral("The file \"%1\" cannot be copied to \"%2\": %3")
                    .arg(QDir::toNativeSeparators(_path), shown, source.errorString()));
        QString reason;
        bool readFailed = false;
        const bool copied = writeNewFile(
            path,
            [&](int descriptor) {
                while (!source.atEnd()) {
                    const QByteArray block = source.read(1 << 20);
                    if (block.isEmpty() && source.error() != QFileDevice::NoError) {
                        readFailed = true;
                        return false;
                    }
                    if (!writeAll(descriptor, block.constData(), block.size()))
                        return false;
                }
                return true;
            },
            &reason);
        if (!copied)
            return fileError(error, readFailed ? QFileDevice::ReadError : QFileDevice::WriteError,
                             QStringLiteral("The file \"%1\" cannot be copied to \"%2\": %3")
                                 .arg(QDir::toNativeSeparators(_path), shown,
                                      readFailed ? source.errorString() : reason));
        return true;
    }
    QString reason;
    if (!writeNewFile(
            path,
            [this](int descriptor) {
                return writeAll(descriptor, _contents.constData(), _contents.size());
            },
            &reason))
        return fileError(
            error, QFileDevice::WriteError,
            QStringLiteral("The file \"%1\" cannot be written: %2").arg(shown, reason));
    return true;
}

void FileWrapper::setWriteHook(std::function<long(int, const char*, size_t)> hook)
{
    writeHook() = std::move(hook);
}

} // namespace platform
