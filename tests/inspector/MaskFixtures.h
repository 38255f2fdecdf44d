#pragma once

// Masks library files for the tests, written with the build's own writer.

#include "MasksLibraryWriter.h"

#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A small square art file: a disc, so every mask has a real picture.
inline QByteArray discArt()
{
    return QByteArrayLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"20\" "
                             "height=\"20\"><circle cx=\"10\" cy=\"10\" r=\"8\"/></svg>");
}

// `count` masks named "Mask 1" to "Mask <count>", index i, default softness i.
inline QList<MaskSource> numberedMasks(int count)
{
    QList<MaskSource> masks;
    for (int i = 1; i <= count; ++i)
        masks.append(maskSourceFromArt(QStringLiteral("Mask %1").arg(i), i, i, discArt()));
    return masks;
}

// Writes the masks into a file of the folder and returns its path.
inline QString writeMasksFixture(const QTemporaryDir& folder, const QList<MaskSource>& masks,
                                 const QString& name = QStringLiteral("Masks Library"))
{
    const QString path = folder.filePath(name);
    QString error;
    EXPECT_TRUE(writeMasksLibrary(path, masks, &error)) << error.toStdString();
    return path;
}
