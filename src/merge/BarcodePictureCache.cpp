#include "merge/BarcodePictureCache.h"

#include "platform/drawing/Image.h"
#include "shapes/LBBarcodeImage.h"

BarcodePictureCache::BarcodePictureCache() : _encoder(std::make_shared<LBBarcodeImage>())
{}

BarcodePictureCache::~BarcodePictureCache() = default;

std::shared_ptr<platform::Image> BarcodePictureCache::picture(qint32 barcodeType,
                                                              const QString& text)
{
    const QPair<qint32, QString> key(barcodeType, text);
    if (const auto it = _pictures.constFind(key); it != _pictures.cend())
        return *it;
    if (_pictures.size() >= Capacity)
        _pictures.clear();
    if (_encoder->barcodeType() != barcodeType)
        _encoder->setBarcodeType(barcodeType);
    std::shared_ptr<platform::Image> made;
    if (!_encoder->setBarcodeDataString(text).isNull())
        made = _encoder->imageOfType(0);
    _pictures.insert(key, made);
    return made;
}
