#pragma once

// A kit package folder on disk, as the kit library touches it: it never reads or writes
// outside the folder. File names given to it must be one plain path component, and a file
// whose real path leads out of the package (through a symbolic link) counts as missing: it
// is never read, and never written or deleted through. Names match exactly, else
// case-insensitively, for kits made on disks that ignore letter case. Internal.

#include <QString>

namespace platform {
struct Error;
}

namespace kitfile {

// A name that stays in its folder: not empty, no "/" (nor "\" or NUL), not "." or "..".
bool isPlainName(const QString& name);

class KitPackage
{
public:
    explicit KitPackage(const QString& path);

    QString path() const { return _path; }
    // `folder` ("" for the package itself) joined with `name`, whether or not it exists.
    QString filePath(const QString& folder, const QString& name) const;

    // Whether the existing file or folder at `path` lies inside the package once every
    // link is followed.
    bool contains(const QString& path) const;
    // The existing file `name` of `folder`: the exact name, else the first file of the
    // folder whose name matches it ignoring letter case. Empty when the name is not plain
    // or there is no such file inside the package.
    QString existingFile(const QString& folder, const QString& name) const;

    // Makes `path` (a file of the package) ready to be written: a link there that leads
    // out of the package counts as missing and is removed (the link, never its target).
    bool prepareToWrite(const QString& path, platform::Error* error) const;
    // The folder `folder` of the package as a real folder inside it, made when missing.
    bool ensureFolder(const QString& folder, platform::Error* error) const;

    // Moves every file of the folder `from` (outside the package: the staging copy) into
    // `folder` of the package, merging sub-folders; each file replaces the one of the same
    // name.
    bool mergeFolder(const QString& from, const QString& folder, platform::Error* error) const;

private:
    QString _path;
    QString _canonicalPath;
};

// File operations that report a platform::FileErrorDomain error naming the files.
bool removeItem(const QString& path, platform::Error* error);
bool copyFile(const QString& from, const QString& to, platform::Error* error);
// A file or a folder, also across file systems.
bool moveItem(const QString& from, const QString& to, platform::Error* error);
// Through a temporary file renamed over the old one, so a failure leaves the old one.
bool writeFileAtomically(const QString& path, const QByteArray& data, platform::Error* error);

} // namespace kitfile
