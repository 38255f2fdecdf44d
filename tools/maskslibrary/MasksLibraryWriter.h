#pragma once

// Writes a masks library file (the schema of inspector/HUDMasksLibrary.h): the build
// writes the program's from the mask art here, tests write their fixtures with it.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

struct MaskSource
{
    QString name;
    qint64 index = 0;
    qint64 defaultSoftness = 0;
    QByteArray pictureData;   // stored as given (PNG from pictureFromArt)
    QByteArray thumbnailData; // likewise
};

// A picture of the art's shape at `size` pixels a side: grey-scale, white where the art
// covers, black elsewhere.
QImage maskPictureFromArt(const QByteArray& svg, int size);
// A menu picture of the art's shape: dark grey on white, `size` pixels a side.
QImage maskThumbnailFromArt(const QByteArray& svg, int size);
QByteArray pngData(const QImage& image);
// A source from art: a 512-pixel picture and a 32-pixel thumbnail.
MaskSource maskSourceFromArt(const QString& name, qint64 index, qint64 defaultSoftness,
                             const QByteArray& svg);

// Writes the file anew (an existing file is replaced); false with a reason on failure.
bool writeMasksLibrary(const QString& path, const QList<MaskSource>& masks, QString* error);
