#pragma once

// A file or a folder of files, to be written or as read from disk: the form document
// packages are saved and read in. A regular file holds bytes, or names a file on disk
// whose bytes are read only when asked and which writing copies, or links (a hard link)
// when the file is known never to change in place (a member of a package), so large
// members of a package are never held in memory. A folder holds its members by name.
// Reading a folder lists its members without reading them; they may be linked.
//
// Reading keeps to the folder: a member that is a symbolic link counts only when it leads
// to a regular file inside the folder (as that file); links leading out, and anything
// that is neither a regular file nor a folder, are left out. Member names are single
// path components: adding one with a separator, "." or ".." is a programming error.

#include "platform/core/Error.h"

#include <QByteArray>
#include <QMap>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>

namespace platform {

class FileWrapper
{
public:
    enum class Kind { None, RegularFile, Directory, SymbolicLink };

    // Nothing (Kind::None).
    FileWrapper() = default;
    static FileWrapper regularFileWithContents(const QByteArray& contents);
    // The file at the path, read when needed; written as a hard link when mayLink (and the
    // file system allows), else copied.
    static FileWrapper regularFileWithPath(const QString& path, bool mayLink = false);
    // An empty folder.
    static FileWrapper directory();
    // A symbolic link whose content is the destination, as given (relative or absolute).
    static FileWrapper symbolicLinkWithDestination(const QString& destination);
    // The folder at the path with its members (regular files and folders, not read);
    // nullopt and a FileErrorDomain error when the path is no readable folder.
    static std::optional<FileWrapper> directoryWithPath(const QString& path,
                                                        Error* error = nullptr);

    Kind kind() const { return _kind; }
    bool isRegularFile() const { return _kind == Kind::RegularFile; }
    bool isDirectory() const { return _kind == Kind::Directory; }
    // The file on disk a regular file or folder stands for; empty when it holds bytes.
    QString path() const { return _path; }
    QString symbolicLinkDestination() const { return _destination; }

    // A regular file's bytes: those given, or the file's, read now; nullopt and the
    // reason when the file cannot be read or this is no regular file.
    std::optional<QByteArray> regularFileContents(Error* error = nullptr) const;
    // Whether the regular file's bytes begin with `prefix` (reads only that many).
    bool regularFileStartsWith(const QByteArray& prefix) const;

    // A folder's members, by name.
    const QMap<QString, FileWrapper>& fileWrappers() const { return _members; }
    const FileWrapper* fileWrapper(const QString& name) const;
    // Adds or replaces the member of that name.
    void addFileWrapper(const QString& name, const FileWrapper& wrapper);
    void removeFileWrapper(const QString& name) { _members.remove(name); }

    // Writes the wrapper at the path: a regular file or link the path must not name yet;
    // a folder is made when missing (with its parents) and its members are written into
    // it. false and a FileErrorDomain error naming the file and the system's reason ("No
    // space left on device") at the first failure; what was written before it stays.
    bool writeToPath(const QString& path, Error* error = nullptr) const;

    // Whether the name is one path component: not empty, no separator, not "." or "..".
    static bool isSinglePathComponent(const QString& name);

    // Stand-in for the system's write() of file bytes, for tests of failing disks: it
    // returns what write() would (-1 with errno set on failure). nullptr: the real one.
    static void
    setWriteHook(std::function<long(int descriptor, const char* data, size_t size)> hook);

private:
    Kind _kind = Kind::None;
    QString _path;
    bool _mayLink = false;
    QByteArray _contents;
    QString _destination;
    QMap<QString, FileWrapper> _members;
};

} // namespace platform
