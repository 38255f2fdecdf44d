#pragma once

// A pasteboard as the Parts use one: data declared under type names, here carried by a
// QMimeData: the clipboard's (the general pasteboard), a drag's, or one the caller owns.
// Type names map to MIME types:
//   "Quarn Print Line"             application/x-quarn-print-line
//   "Quarn Print Line 1"           application/x-quarn-print-line-1
//   "LBQFieldPboardType"           application/x-lbq-field-ranges
//   colour                         application/x-color (QMimeData's colour data)
//   file names                     text/uri-list (local files)
//   RTFD                           application/x-veltrin-rich-text (the archived text)
//   string                         text/plain
//   TIFF, PNG, PDF, PostScript     image/tiff, image/png, application/pdf,
//                                  application/postscript
//   PICT                           image/x-pict
//   "LBIgnoreImageDragType"        application/x-veltrin-image-well-drag (no data: a
//                                  picture dragged out of an image well, to be let go)
//   "LBLayerPboardType"            application/x-veltrin-layer-row (a row of the layers
//                                  view, as decimal text)
//   "LBTextTablePboardType"        application/x-veltrin-text-library-row (a row of the
//                                  text library, as decimal text)
// and an image type named by its MIME type ("image/jpeg") to that MIME type. Any other name
// maps to "application/x-" and the name in lower case with each run of other characters a
// hyphen.
//
// Never a type without data: a type is offered once data was set for it.

#include <QByteArray>
#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class QMimeData;

namespace platform {

class AttributedString;

inline const QString ColorPboardType = QStringLiteral("NSColorPboardType");
inline const QString FilenamesPboardType = QStringLiteral("NSFilenamesPboardType");
inline const QString RTFDPboardType = QStringLiteral("NSRTFDPboardType");
inline const QString StringPboardType = QStringLiteral("NSStringPboardType");
inline const QString TIFFPboardType = QStringLiteral("NSTIFFPboardType");
inline const QString PDFPboardType = QStringLiteral("NSPDFPboardType");
inline const QString PostScriptPboardType = QStringLiteral("NSPostScriptPboardType");
inline const QString PNGPboardType = QStringLiteral("Apple PNG pasteboard type");
inline const QString PICTPboardType = QStringLiteral("NSPICTPboardType");

QString mimeTypeForPasteboardType(const QString& type);
// The type name data of the MIME type is read as; null for a MIME type of no known type.
QString pasteboardTypeForMimeType(const QString& mimeType);
// The types an image can be read from: TIFF, PICT, PDF, PostScript, PNG, then the MIME
// type of every other picture format the platform reads.
QStringList imagePasteboardTypes();

class Pasteboard
{
public:
    // Reads and writes `data`, which must outlive the pasteboard.
    explicit Pasteboard(QMimeData* data) : _data(data) {}

    // The clipboard. Writing to it makes new clipboard contents at declareTypes().
    static Pasteboard& generalPasteboard();
    // Goes up by one with every change of the clipboard's contents, whoever made it.
    static qint64 generalChangeCount();

    QMimeData* mimeData() const;

    // Starts new contents: everything there is dropped and the types are declared. On the
    // general pasteboard it returns the new change count; elsewhere 0.
    qint64 declareTypes(const QStringList& types);
    // The declared types that hold data, in their order, then the other types the data is
    // held under (all of them for contents made elsewhere: a drop, the clipboard).
    QStringList types() const;
    // The first of the types that the pasteboard offers; null when none.
    QString availableTypeFromArray(const QStringList& types) const;

    // Data under a declared type; false for a type not declared.
    bool setData(const QByteArray& data, const QString& forType);
    // A property list under a declared type: for the file-names type, a list of paths.
    bool setPropertyList(const QVariant& list, const QString& forType);
    bool setString(const QString& string, const QString& forType);
    bool setColor(const QColor& color);

    QByteArray dataForType(const QString& type) const;
    // The paths of the file-names type; other types as their data.
    QVariant propertyListForType(const QString& type) const;
    QString stringForType(const QString& type) const;
    // The colour of the colour type; invalid when there is none.
    QColor color() const;

    // --- Typed access ---
    // Rich text: our archive of the attributed string under the RTFD type, with its
    // characters as plain text beside it for other programs (whether or not the string
    // type was declared). False when RTFD is not declared, or when the text holds
    // something the archive cannot keep (then only the plain text is written).
    bool setAttributedString(const AttributedString& string);
    // Our rich text when it is offered and reads back; else the plain text as unstyled
    // text; std::nullopt when neither is offered (or the rich text alone is unreadable).
    // isRich, when given, tells which of the two it was.
    std::optional<AttributedString> attributedString(bool* isRich = nullptr) const;
    // Local file paths under the file-names type (anything that is not a local file in
    // the data is left out).
    bool setFilenames(const QStringList& paths);
    QStringList filenames() const;
    // The first of imagePasteboardTypes() offered; null when none is.
    QString availableImageType() const;
    // The data of that type (empty when none), and the type when asked for.
    QByteArray imageData(QString* type = nullptr) const;

private:
    Pasteboard() = default;

    QMimeData* _data = nullptr;
    QStringList _types;
    bool _general = false;
};

} // namespace platform
