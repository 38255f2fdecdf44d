#pragma once

// Files as tests look at them: a file's bytes, its inode (to tell a link from a copy), and
// everything under a folder with its bytes, to compare before and after.

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QString>

#include <sys/stat.h>

inline QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline ino_t inodeOf(const QString& path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Every entry under the folder by its relative path: a file's bytes, "-> target" for a
// link, nothing for a folder (its path ends in "/").
inline QMap<QString, QByteArray> treeOf(const QString& folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QFileInfo info(file);
        const QString relative = QDir(folder).relativeFilePath(file);
        if (info.isSymLink())
            tree.insert(relative, "-> " + QFile::encodeName(info.symLinkTarget()));
        else if (info.isFile())
            tree.insert(relative, bytesOf(file));
        else
            tree.insert(relative + QLatin1Char('/'), QByteArray());
    }
    return tree;
}
