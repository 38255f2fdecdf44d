#pragma once

// Package folders built from fuzz input, for the targets that open packages the way the
// program does (a folder of files, sub-folders and symbolic links), and the two promises
// every package reader keeps: it reads nothing outside the package, and reading changes no
// file.
//
// Input form: the package's main file, then any number of entries, each introduced by the
// line "\n%%" and a kind byte: 'f' a file, 'd' a folder, 'l' a symbolic link; then the
// entry's path inside the package up to the next line end ('/' between folders), then
// the file's bytes or the link's destination. Paths are made safe (no "." or "..", at most
// four levels); destinations are kept inside a sandbox: one starting with '/' leads to
// that path in a folder beside the package ("outside"), one starting with "../" climbs to
// that folder, any other is taken inside the package without "..". "outside" holds a
// picture ("picture.png"), a document ("Contents.quarnd"), a kit manifest ("contents.xml")
// and a folder ("Images") with a picture, which a reader that follows links out would read.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;

namespace fuzz {

struct PackageEntry
{
    char kind = 'f'; // 'f', 'd' or 'l'
    QString path;
    QByteArray body; // a file's bytes or a link's destination
};

struct PackageInput
{
    QByteArray main;
    QList<PackageEntry> entries;
};

PackageInput decodePackage(const QByteArray& data);
QByteArray encodePackage(const PackageInput& input);

// A fresh sandbox: a temporary folder holding the package (built from the input, its main
// file under mainName) and the folder "outside" with its decoys; removed with the object.
class PackageSandbox
{
public:
    PackageSandbox(const QString& packageName, const QString& mainName,
                   const PackageInput& input);
    ~PackageSandbox();
    PackageSandbox(const PackageSandbox&) = delete;
    PackageSandbox& operator=(const PackageSandbox&) = delete;

    const QString& package() const { return _package; }
    const QString& outside() const { return _outside; }

    // Every entry under the sandbox, one a line: path, kind, size, modification time in
    // nanoseconds, link destination, and a hash of a file's bytes.
    QStringList snapshot() const;
    // Begins watching "outside" for anything opened there; the events before are dropped.
    void watchOutside();
    // What was opened in "outside" since watchOutside(), one a line.
    QStringList openedOutside();

private:
    std::unique_ptr<QTemporaryDir> _root;
    QString _package;
    QString _outside;
    int _inotify = -1;
    QList<int> _watches;
};

// Any file opened by `check`'s reader outside its package, or any change to a file in the
// sandbox, breaks the promise; `what` names the reader for the report.
class PackagePromises
{
public:
    explicit PackagePromises(PackageSandbox& sandbox);
    // Call after the reader is done and gone.
    void check(const char* what);

private:
    PackageSandbox& _sandbox;
    QStringList _before;
};

} // namespace fuzz
