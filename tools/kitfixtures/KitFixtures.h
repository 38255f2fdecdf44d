#pragma once

// Kits written through the kit library's own writer, for the kit browser's tests and
// benchmarks: a description, graphics of small pictures of one colour each, thumbnails
// named "<base>_thumbnail.png", and optionally a preview and the designer's picture.

#include "kitfile/iCorbeilKeys.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace kitfixtures {

struct Graphic
{
    QString name;
    QString type = VQPaper;
    QString subtype;              // for an embellishment
    QString paperType = VQSolid;  // for a paper
    qint64 numberOfPictures = 0;  // for a quick page
    QString primaryColor = VQRed; // a colour key
    QStringList secondaryColors;  // colour keys
    QStringList tags;
    QString orientation = VQSquare;
    QString filename; // "<name>.png" when empty
    QColor fill = Qt::red;
    int pixels = 4;               // the picture's side
    bool detailThumbnail = false; // also "<base>_detail.png"
    QByteArray fileData;          // the image file's bytes as they are (else a PNG)
};

struct Kit
{
    QString UUID; // a fresh one when empty
    QString name;
    QString author;
    QString kitType = VQPaperKitType;
    QString kitSize = VQ12x12KitSize;
    QString description;
    QStringList tags;
    QString licenseType = VQCommercialLicense;
    QList<Graphic> graphics;
    bool preview = true;
    bool artist = false;
};

// Writes the kit as a new package at `path`. False, with *error, when the writer refuses.
bool writeKit(const QString& path, const Kit& kit, QString* error = nullptr);

// A kit of `count` papers of tiny pictures named "<name> 1", "<name> 2", ...
Kit tinyKit(const QString& name, int count);

} // namespace kitfixtures
