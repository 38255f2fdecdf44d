#include "shapes/LBBarcodeImage.h"

#include "graphics/GraphicDictionary.h"
#include "platform/core/Strings.h"
#include "platform/drawing/Barcode.h"
#include "platform/drawing/GraphicsContext.h"

#include <QPainter>
#include <QPen>
#include <QtDebug>

#include <algorithm>
#include <array>
#include <optional>

using platform::Barcode;
using Symbology = platform::Barcode::Symbology;

namespace {

const QString kBarcodeType = QStringLiteral("BarcodeType");
const QString kDataSource = QStringLiteral("BarcodeDataSource");
const QString kDataString = QStringLiteral("BarcodeDataString");
const QString kContactField = QStringLiteral("BarcodeABFieldIndex");
const QString kImportField = QStringLiteral("BarcodeImportFieldIndex");
const QString kFieldStrings = QStringLiteral("FieldStrings");

struct Kind
{
    Symbology symbology;
    const char* sample;
};

// Ids 0 to 15: the library's symbology and the text a new barcode starts with.
constexpr std::array<Kind, 16> kKinds{{
    {Symbology::Code39, "666205110038"},
    {Symbology::Code128, "ABC123"},
    {Symbology::ExtendedCode39, "ABC123"},
    {Symbology::Interleaved2of5, "12345"},
    {Symbology::Industrial2of5, "12345"},
    {Symbology::UPCA, "12345678901"},
    {Symbology::UPCE, "0123456"},
    {Symbology::EAN, "123456789012"},
    {Symbology::EAN, "1234567"},
    {Symbology::POSTNET, "12345"},
    {Symbology::MSIPlessey, "12345"},
    {Symbology::Plessey, "12345"},
    {Symbology::Codabar, "12345"},
    {Symbology::RoyalMail, "ABC123"},
    {Symbology::PLANET, "12345678901"},
    {Symbology::JapanPost, "1234567"},
}};

std::optional<Kind> kindOf(qint32 barcodeType)
{
    if (barcodeType < 0 || barcodeType >= qint32(kKinds.size()))
        return std::nullopt;
    return kKinds[std::size_t(barcodeType)];
}

QString digitsOf(const QString& text)
{
    QString digits;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            digits.append(c);
    }
    return digits;
}

bool allDigits(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool isCodabarStartStop(QChar c)
{
    return QStringLiteral("ABCDabcd").contains(c);
}

} // namespace

LBBarcodeImage::LBBarcodeImage()
{
    setSpecialImageType(BarcodePicture);
}

LBBarcodeImage::~LBBarcodeImage() = default;

std::shared_ptr<LBBarcodeImage> LBBarcodeImage::withBarcodeType(qint32 barcodeType)
{
    auto barcode = std::make_shared<LBBarcodeImage>();
    barcode->setBarcodeDataSource(FixedText);
    barcode->setBarcodeType(barcodeType);
    barcode->setSpecialImageType(BarcodePicture);
    barcode->setBarcodeDataString(sampleText(barcodeType));
    barcode->setImportFieldIndex(0);
    barcode->setAddressBookFieldIndex(0);
    return barcode;
}

std::shared_ptr<LBGraphic> LBBarcodeImage::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBImage::copy();
    auto& barcode = static_cast<LBBarcodeImage&>(*graphic);
    barcode.setBarcodeType(_barcodeType);
    barcode.setBarcodeDataSource(_barcodeDataSource);
    barcode.setBarcodeDataString(_barcodeDataString);
    barcode.setAddressBookFieldIndex(_addressBookFieldIndex);
    barcode.setImportFieldIndex(_importFieldIndex);
    return graphic;
}

QString LBBarcodeImage::sampleText(qint32 barcodeType)
{
    const std::optional<Kind> kind = kindOf(barcodeType);
    return kind ? QString::fromLatin1(kind->sample) : QString();
}

// --- Property list ---

QVariantMap LBBarcodeImage::propertyListRepresentation() const
{
    QVariantMap dictionary = LBImage::propertyListRepresentation();
    GraphicDictionaryWriter w(dictionary);
    w.setNumber(kBarcodeType, _barcodeType);
    w.setNumber(kDataSource, _barcodeDataSource);
    if (!_barcodeDataString.isNull())
        w.setString(kDataString, _barcodeDataString);
    w.setNumber(kContactField, _addressBookFieldIndex);
    w.setNumber(kImportField, _importFieldIndex);
    return dictionary;
}

void LBBarcodeImage::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBImage::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());
    if (const auto type = r.intValue(kBarcodeType))
        _barcodeType = *type;
    if (const auto source = r.intValue(kDataSource))
        _barcodeDataSource = *source;
    if (const auto text = r.string(kDataString))
        setBarcodeDataString(*text);
    if (const auto index = r.integerValue(kContactField))
        _addressBookFieldIndex = *index;
    if (const auto index = r.integerValue(kImportField))
        _importFieldIndex = *index;
}

// --- Symbology and text ---

std::unique_ptr<Barcode> LBBarcodeImage::encode(const QString& text, QString* reason) const
{
    const std::optional<Kind> kind = kindOf(_barcodeType);
    if (!kind) {
        *reason = QStringLiteral("There is no barcode type %1.").arg(_barcodeType);
        return nullptr;
    }
    // The library would quietly make the other EAN of a text of the other length.
    if (_barcodeType == LBEAN13Barcode
        && (!allDigits(text) || (text.size() != 12 && text.size() != 13))) {
        *reason = QStringLiteral("An EAN-13 barcode takes 12 digits, or 13 with the check digit.");
        return nullptr;
    }
    if (_barcodeType == LBEAN8Barcode
        && (!allDigits(text) || (text.size() != 7 && text.size() != 8))) {
        *reason = QStringLiteral("An EAN-8 barcode takes 7 digits, or 8 with the check digit.");
        return nullptr;
    }
    QString encoded = text;
    // Codabar needs start and stop characters; a text without them gets "A" at both ends.
    if (_barcodeType == LBCodabarBarcode
        && !(text.size() >= 2 && isCodabarStartStop(text.front())
             && isCodabarStartStop(text.back())))
        encoded = QLatin1Char('A') + text + QLatin1Char('A');

    std::unique_ptr<Barcode> barcode = Barcode::barcodeWithBarcodeID(kind->symbology, encoded);
    if (!barcode->succeeded()) {
        *reason = barcode->errorText();
        return nullptr;
    }
    return barcode;
}

void LBBarcodeImage::store(const QString& text, std::unique_ptr<Barcode> barcode)
{
    const QString old = _barcodeDataString;
    if (text != old || text.isNull() != old.isNull()) {
        registerUndo(
            [old](LBGraphic& g) { static_cast<LBBarcodeImage&>(g).setBarcodeDataString(old); });
    }
    _barcodeDataString = text;
    _barcode = std::move(barcode);
    setImage(_barcode ? _barcode->barcodeImage() : nullptr, FillImageType);
}

void LBBarcodeImage::setBarcodeType(qint32 barcodeType)
{
    _barcodeType = barcodeType;
    _barcode.reset();
    if (_barcodeDataString.isNull())
        return;
    QString reason;
    _barcode =
        encode(_barcodeType == LBPOSTNETBarcode ? digitsOf(_barcodeDataString) : _barcodeDataString,
               &reason);
}

QString LBBarcodeImage::setBarcodeDataString(const QString& dataString)
{
    if (dataString.isNull()) {
        // The text goes; the library object and the picture stay.
        if (!_barcodeDataString.isNull()) {
            const QString old = _barcodeDataString;
            registerUndo(
                [old](LBGraphic& g) { static_cast<LBBarcodeImage&>(g).setBarcodeDataString(old); });
            _barcodeDataString = QString();
        }
        return QString();
    }
    // POSTNET is filtered, never rejected.
    const QString text = _barcodeType == LBPOSTNETBarcode ? digitsOf(dataString) : dataString;
    QString reason;
    std::unique_ptr<Barcode> barcode = encode(text, &reason);
    if (!barcode) {
        _barcodeError = reason;
        qWarning().noquote()
            << QStringLiteral("Barcode: \"%1\" is not encoded: %2").arg(text, reason);
        // A barcode that was there stays as it was; without one the text is kept, to be
        // stored, with no picture.
        if (!isValidBarcode())
            store(text, nullptr);
        return QString();
    }
    _barcodeError = barcode->errorText();
    store(text, std::move(barcode));
    return _barcodeDataString;
}

QSizeF LBBarcodeImage::barcodeImageSize() const
{
    if (!_barcode)
        return QSizeF(0, 0);
    const ImagePtr picture = imageOfType(FillImageType);
    return picture ? picture->size() : QSizeF(0, 0);
}

bool LBBarcodeImage::isValidBarcode() const
{
    return _barcode && _barcode->barcodeImage() && _barcode->barcodeImage()->size().width() > 0.0;
}

// --- Data source ---

QString LBBarcodeImage::importFieldStr() const
{
    if (_importFieldIndex < 0 || _importFieldIndex > 19)
        return QString();
    return platform::LocalizedString(QStringLiteral("Import.%1").arg(_importFieldIndex + 1),
                                     kFieldStrings);
}

QString LBBarcodeImage::addressBookFieldStr() const
{
    static const char* const keys[] = {"Code", "Code.1", "Code.2", "Code.home", "Code.work"};
    if (_addressBookFieldIndex < 0 || _addressBookFieldIndex > 4)
        return QString();
    return platform::LocalizedString(QLatin1String(keys[_addressBookFieldIndex]), kFieldStrings);
}

// --- Handles ---

void LBBarcodeImage::drawHandlesInView(CanvasView* view, const QRectF& drawRect)
{
    Q_UNUSED(view);
    Q_UNUSED(drawRect);
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = context ? context->painter() : nullptr;
    if (_hidden || !painter || !painter->isActive())
        return;
    QPen pen(QColor::fromRgbF(0.5f, 0.5f, 1.0f, 1.0f), 0.0);
    pen.setCosmetic(true);
    pen.setDashPattern({2.0, 2.0});
    pen.setDashOffset(0.0);
    painter->save();
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(drawingBounds());
    painter->restore();
}
