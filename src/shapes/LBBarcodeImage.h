#pragma once

// An image graphic whose picture is a barcode: a symbology (LBBarcodeType), the text it
// encodes and where that text comes from when a sheet is filled record by record (the
// fixed text, an imported data field, or a code field of the contact). The picture is a
// vector picture with one module exactly X points (platform::Barcode), made again whenever
// the text is set; the graphic's size follows its picture, so it has no resize knobs. Its
// special image type is always 5.
//
// A text the barcode library rejects is never taken for a barcode: the graphic keeps the
// text, library object and picture it had, the setter answers a null text, and the
// library's reason is kept for the inspector (barcodeError()). A first text that fails is
// kept (and stored) with no picture. On top of the library, Codabar text without start and
// stop characters is encoded between two "A" (the text is kept as typed), EAN-13 takes 12
// or 13 digits and EAN-8 7 or 8, and POSTNET keeps only the digits of a text.

#include "shapes/LBImage.h"

#include <QSizeF>
#include <QString>

#include <memory>

namespace platform {
class Barcode;
}

// Symbology ids, as stored ("BarcodeType").
enum LBBarcodeType : qint32 {
    LBCode39Barcode = 0,
    LBCode128Barcode = 1,
    LBCode39ExtendedBarcode = 2,
    LBInterleaved2of5Barcode = 3,
    LBIndustrial2of5Barcode = 4,
    LBUPCABarcode = 5,
    LBUPCEBarcode = 6,
    LBEAN13Barcode = 7,
    LBEAN8Barcode = 8,
    LBPOSTNETBarcode = 9,
    LBModifiedPlesseyBarcode = 10,
    LBModifiedPlesseyHexBarcode = 11,
    LBCodabarBarcode = 12,
    LBRoyalMailBarcode = 13,
    LBPLANETBarcode = 14,
    LBJapanPostBarcode = 15,
};

class LBBarcodeImage : public LBImage
{
public:
    // Where the text comes from when a sheet is filled, as stored ("BarcodeDataSource").
    enum DataSource : qint32 { FixedText = 0, ImportField = 1, ContactCodeField = 2 };

    // A barcode of type 0 without text or picture, as a stored barcode starts before its
    // keys are read.
    LBBarcodeImage();
    ~LBBarcodeImage() override;
    // A barcode of that symbology encoding the type's sample text (initWithBarcodeType:).
    static std::shared_ptr<LBBarcodeImage> withBarcodeType(qint32 barcodeType);

    // The copy encodes the same text itself, with its own library object and picture.
    std::shared_ptr<LBGraphic> copy() const override;
    // "BarcodeType", "BarcodeDataSource", "BarcodeDataString" (when there is a text),
    // "BarcodeABFieldIndex" and "BarcodeImportFieldIndex" after the image's keys; read back
    // in that order, so the type is known when the text is encoded.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    // --- Symbology and text ---
    qint32 barcodeType() const { return _barcodeType; }
    // Stores the id and makes a new library object for the text there is; the picture is
    // made again only by the next setBarcodeDataString().
    void setBarcodeType(qint32 barcodeType);
    // Encodes the text and makes it the picture; answers the text stored, or a null text
    // when no barcode picture results (a null text clears the text and keeps the picture).
    // A text that changes is undoable, picture and all.
    QString setBarcodeDataString(const QString& dataString);
    QString barcodeDataString() const { return _barcodeDataString; }
    // The sample text of the current type; null for an id outside the table.
    QString dummyDataString() const { return sampleText(_barcodeType); }
    static QString sampleText(qint32 barcodeType);
    // Why the last text was not encoded, or the library's warning about it; empty when it
    // encoded cleanly.
    QString barcodeError() const { return _barcodeError; }
    // (0, 0) without a library object, else the size of the picture.
    QSizeF barcodeImageSize() const;
    // Whether there is a library object and it gives a picture.
    bool isValidBarcode() const;
    // The library's barcode for the current type and text; nullptr when none could be made.
    const platform::Barcode* barcode() const { return _barcode.get(); }

    // --- Data source ---
    // Plain stores: no undo, no announcement.
    qint32 barcodeDataSource() const { return _barcodeDataSource; }
    void setBarcodeDataSource(qint32 source) { _barcodeDataSource = source; }
    qint64 importFieldIndex() const { return _importFieldIndex; }
    void setImportFieldIndex(qint64 index) { _importFieldIndex = index; }
    qint64 addressBookFieldIndex() const { return _addressBookFieldIndex; }
    void setAddressBookFieldIndex(qint64 index) { _addressBookFieldIndex = index; }
    // The field names of the two sources (table "FieldStrings"): "Import.1" to "Import.20"
    // for import fields 0 to 19, "Code", "Code.1", "Code.2", "Code.home", "Code.work" for
    // contact fields 0 to 4; a null text for an index outside them.
    QString importFieldStr() const;
    QString addressBookFieldStr() const;

    // Always a barcode, whatever kind a damaged file stored (which is kept to be written
    // back).
    qint64 specialImageType() const override { return BarcodePicture; }
    // The picture follows the text: undoing a text brings its picture back with it.
    bool shouldUndoImageChanges() const override { return false; }

    // --- Handles ---
    // No resize knobs: the size follows the picture.
    qint64 knobMask() const override { return 0; }
    // A thin dashed frame (2 on, 2 off, light blue) around the drawing bounds instead of
    // knobs; nothing while hidden.
    void drawHandlesInView(CanvasView* view, const QRectF& drawRect) override;

private:
    // Encodes `text` (already filtered) for the current type into a new library object;
    // nullptr and the reason when it is not a barcode.
    std::unique_ptr<platform::Barcode> encode(const QString& text, QString* reason) const;
    // Stores a text, library object and picture, recording the text it replaces.
    void store(const QString& text, std::unique_ptr<platform::Barcode> barcode);

    std::unique_ptr<platform::Barcode> _barcode;
    qint32 _barcodeType = LBCode39Barcode;
    qint32 _barcodeDataSource = FixedText;
    QString _barcodeDataString;
    qint64 _addressBookFieldIndex = 0;
    qint64 _importFieldIndex = 0;
    QString _barcodeError;
};

using LBBarcodeImagePtr = std::shared_ptr<LBBarcodeImage>;
