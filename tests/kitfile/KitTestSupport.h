#pragma once

// Small kits for the kit library's tests: complete manifest dictionaries, tiny PNG
// pictures, a package written to a folder, and a snapshot of a folder's files to show
// what a step changed.

#include "kitfile/iCorbeilKeys.h"
#include "platform/core/PropertyList.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QString>
#include <QVariantMap>

#include <ostream>

// Texts in test failures as text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace kittest {

// A 2 × 2 picture of one colour, as PNG (or another format Qt writes).
inline QByteArray tinyPicture(const QColor& color, const char* format = "PNG")
{
    QImage image(2, 2, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A graphic dictionary with every value a manifest holds.
inline QVariantMap graphic(const QString& name, const QString& type = VQFrame)
{
    return {
        {VQName, name},
        {VQTags, QStringList{QStringLiteral("tag")}},
        {VQType, type},
        {VQFilename, name + QStringLiteral(".png")},
        {VQPrimaryColor, VQRed},
        {VQPrimaryColorActual, QStringLiteral("sRGB 1 0 0 1")},
        {VQOrientation, VQSquare},
        {VQThumbnailFilename, name + QStringLiteral("_thumbnail.png")},
    };
}

inline QVariantMap release()
{
    return {{VQReleaseDate, QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC)},
            {VQReleaseVersion, QStringLiteral("1.0")},
            {VQReleaseSummary, QStringLiteral("First")}};
}

// A manifest with the given graphics.
inline QVariantMap manifest(const QVariantList& objects)
{
    return {
        {QStringLiteral("UUID"), QStringLiteral("11111111-2222-3333-4444-555555555555")},
        {VQKitType, VQPaperKitType},
        {VQKitSize, VQ12x12KitSize},
        {VQName, QStringLiteral("Garden")},
        {VQDesigner, QVariantMap{{VQName, QStringLiteral("Ann")}}},
        {VQOwner, QVariantMap()},
        {VQLicense, QVariantMap{{VQLicenseType, VQCommercialLicense},
                                {VQLicenseCopyright, QStringLiteral("(c) Ann")}}},
        {VQReleaseHistory, QVariantList{release()}},
        {VQObjects, objects},
    };
}

// A package at `path` with the manifest and, for each graphic, its image and thumbnail.
inline bool writeKit(const QString& path, const QVariantMap& contents)
{
    bool ok =
        writeFile(path + QStringLiteral("/contents.xml"), platform::PropertyList::toXml(contents));
    for (const QVariant& item : contents.value(VQObjects).toList()) {
        const QVariantMap object = item.toMap();
        ok = writeFile(path + QStringLiteral("/Images/") + object.value(VQFilename).toString(),
                       tinyPicture(Qt::red))
             && writeFile(path + QStringLiteral("/Thumbnails/")
                              + object.value(VQThumbnailFilename).toString(),
                          tinyPicture(Qt::blue))
             && ok;
    }
    return ok;
}

// Every file below the folder (relative path → bytes); links are listed by their target's
// path, never read.
inline QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo file(it.next());
        const QString relative = QDir(folder).relativeFilePath(file.filePath());
        files.insert(relative,
                     file.isSymLink() ? file.symLinkTarget().toUtf8() : readFile(file.filePath()));
    }
    return files;
}

inline QStringList fileNames(const QString& folder)
{
    return snapshot(folder).keys();
}

} // namespace kittest
