#pragma once

// Barcode pictures by symbology and text: a sheet filled record by record encodes each
// distinct text once for all the cells and redraws that show it. Holds the pictures of some
// pages of records (Capacity); past that it starts again, so a long run of records keeps
// its memory.

#include <QHash>
#include <QPair>
#include <QString>

#include <memory>

class LBBarcodeImage;

namespace platform {
class Image;
}

class BarcodePictureCache
{
public:
    BarcodePictureCache();
    ~BarcodePictureCache();

    // The picture of the text as a barcode of the type (LBBarcodeType); nullptr when the
    // text is no barcode of that type.
    std::shared_ptr<platform::Image> picture(qint32 barcodeType, const QString& text);
    qsizetype size() const { return _pictures.size(); }

    static constexpr qsizetype Capacity = 512;

private:
    QHash<QPair<qint32, QString>, std::shared_ptr<platform::Image>> _pictures;
    std::shared_ptr<LBBarcodeImage> _encoder;
};
