#pragma once

// The layout dictionary (a document's dimensionInfo): the sheet a design is printed on,
// in points. Its keys, the defaults of a new document, and the readers every user of it
// goes through: a value may be a number or a text holding one (a layout read from a file
// or the catalogue), so each reader takes the leading number of a text, and a missing key
// reads as 0 or an empty text.

#include <QSizeF>
#include <QString>
#include <QVariantMap>

class DimensionInfo
{
public:
    DimensionInfo() = delete;

    // --- Keys ---
    static inline const QString documentType = QStringLiteral("documentType");
    static inline const QString category = QStringLiteral("category");
    static inline const QString paperManufacturer = QStringLiteral("paperManufacturer");
    static inline const QString paperCode = QStringLiteral("paperCode");
    static inline const QString description = QStringLiteral("description");
    static inline const QString paperSize = QStringLiteral("paperSize");
    static inline const QString pageWidth = QStringLiteral("pageWidth");
    static inline const QString pageHeight = QStringLiteral("pageHeight");
    static inline const QString labelType = QStringLiteral("labelType");
    static inline const QString models = QStringLiteral("models");
    static inline const QString startLabel = QStringLiteral("startLabel");
    static inline const QString labelDirection = QStringLiteral("labelDirection");
    static inline const QString labelWidth = QStringLiteral("labelWidth");
    static inline const QString labelHeight = QStringLiteral("labelHeight");
    static inline const QString numRows = QStringLiteral("numRows");
    static inline const QString numColumns = QStringLiteral("numColumns");
    static inline const QString topMargin = QStringLiteral("topMargin");
    static inline const QString leftMargin = QStringLiteral("leftMargin");
    static inline const QString hLabelSpace = QStringLiteral("hLabelSpace");
    static inline const QString vLabelSpace = QStringLiteral("vLabelSpace");
    static inline const QString cornerRadius = QStringLiteral("cornerRadius");
    static inline const QString innerDiameter = QStringLiteral("innerDiameter");
    static inline const QString outerDiameter = QStringLiteral("outerDiameter");
    static inline const QString isPageSpread = QStringLiteral("isPageSpread");
    static inline const QString rotateLabels = QStringLiteral("rotateLabels");
    static inline const QString orientation = QStringLiteral("orientation");
    static inline const QString printableWidth = QStringLiteral("printableWidth");
    static inline const QString printableHeight = QStringLiteral("printableHeight");
    static inline const QString labels = QStringLiteral("labels");

    // `labelDirection` value that fills the cells column by column; any other value fills
    // them row by row.
    static constexpr qint64 ColumnByColumn = 2;

    // Whether labels of that `labelType` have rounded corners: only these kinds keep a
    // `cornerRadius`; a sheet of any other kind has square corners (radius 0).
    static constexpr bool hasRoundedCorners(qint64 labelType)
    {
        return labelType == 3 || labelType == 4 || labelType == 11 || labelType == 12;
    }

    // --- Bounds ---
    // The most rows or columns a sheet may have, its longest side in points (200 inches),
    // and the most times a record may repeat (a full sheet of the most labels). A layout
    // or repeat count past these, read from a document or a catalogue, is refused: a sheet
    // of 10^9 x 10^9 labels is no sheet, and its counts would overflow.
    static constexpr qint64 MaxRowsOrColumns = 1000;
    static constexpr double MaxPageSide = 14400.0;
    static constexpr qint64 MaxRepeatCount = MaxRowsOrColumns * MaxRowsOrColumns;
    // Which value of the layout is past the bounds ("numRows is above 1000"); empty when
    // none is.
    static QString faultOfBounds(const QVariantMap& info);

    // --- Readers ---
    // The whole-number value under the key (a real is cut toward zero); 0 when missing.
    static qint64 integer(const QVariantMap& info, const QString& key);
    // The value under the key in single precision, widened; 0 when missing.
    static double real(const QVariantMap& info, const QString& key);
    // The text under the key (a number as its text); empty when missing.
    static QString text(const QVariantMap& info, const QString& key);

    // The 20 keys of a new document's layout: a sheet of 5 x 2 labels of 3.5 by 2 inches
    // on paper of the given size.
    static QVariantMap defaults(const QSizeF& pageSize);

    // Where a label of the sheet lies in the grid, rows and columns counted from 0.
    struct Cell
    {
        qint64 row = 0;
        qint64 column = 0;
        bool operator==(const Cell&) const = default;
    };
    // The cell of label `labelNumber` (counted from 1, as `startLabel` is) in the fill
    // order of `labelDirection`: down each of the `numRows` rows of a column, then on to
    // the next column, or along each of the `numColumns` columns of a row, then down. A
    // grid without rows or columns puts every label in the first cell.
    static Cell cellOfLabel(const QVariantMap& info, qint64 labelNumber);
};
