#pragma once

// A pasteboard as the Parts use one: data declared under type names, here carried by a
// QMimeData (the clipboard's, or a drag's) that the caller owns. Type names map to MIME
// types: the platform's own types to their standard MIME types, the file-names type to a
// URI list, and every other name (the program's own types, such as "Quarn Print Line 1")
// to "application/x-" and the name in lower case with each run of other characters a
// hyphen ("application/x-quarn-print-line-1").

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

class QMimeData;

namespace platform {

inline const QString FilenamesPboardType = QStringLiteral("NSFilenamesPboardType");
inline const QString TIFFPboardType = QStringLiteral("NSTIFFPboardType");
inline const QString PDFPboardType = QStringLiteral("NSPDFPboardType");
inline const QString PostScriptPboardType = QStringLiteral("NSPostScriptPboardType");
inline const QString PNGPboardType = QStringLiteral("Apple PNG pasteboard type");

QString mimeTypeForPasteboardType(const QString& type);

class Pasteboard
{
public:
    // Writes into `data`, which must outlive the pasteboard.
    explicit Pasteboard(QMimeData* data) : _data(data) {}

    QMimeData* mimeData() const { return _data; }

    // Starts new contents: everything there is dropped and the types are declared.
    void declareTypes(const QStringList& types);
    QStringList types() const { return _types; }

    // Data under a declared type; false for a type not declared.
    bool setData(const QByteArray& data, const QString& forType);
    // A property list under a declared type: for the file-names type, a list of paths.
    bool setPropertyList(const QVariant& list, const QString& forType);

    QByteArray dataForType(const QString& type) const;
    // The paths of the file-names type; other types as their data.
    QVariant propertyListForType(const QString& type) const;

private:
    QMimeData* _data;
    QStringList _types;
};

} // namespace platform
