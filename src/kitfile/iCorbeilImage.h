#pragma once

// One graphic of a kit: its name and tags, its type with the type's own detail (the subtype
// of an embellishment, the style of a paper, the number of photo openings of a quick page),
// its image file and thumbnails, its named primary colour with the actual colour, its
// secondary colours and its orientation; plus the display texts the kit browser shows, and
// the naming of colours by the nearest of 16 named colours in CIE Lab.
//
// A kit file (iCorbeilFile) makes one per entry of its manifest's VQObjects list and writes
// each back with properties(). The image files themselves are loaded and staged by the kit
// file; imageChanged and detailThumbnailChanged tell it which to write.
//
// Unset values: a null QString, a null QVariant (the picture count), an empty optional
// (tags), a null picture, an invalid colour.

#include "kitfile/iCorbeilExport.h"
#include "kitfile/iCorbeilKeys.h"

#include <QColor>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace platform {
class AttributedString;
class Image;
} // namespace platform

class ICORBEIL_EXPORT iCorbeilImage : public QObject
{
    Q_OBJECT

public:
    // A colour in CIE Lab (D50): lightness 0 to 100, the a and b axes, and the alpha of the
    // colour it was made from (0 to 1).
    struct LabColor
    {
        double L = 0;
        double a = 0;
        double b = 0;
        double alpha = 1;
    };

    // A new graphic: type VQAlbumTemplate, primary colour VQBlack with black, no tags and no
    // secondary colours (both empty), everything else unset.
    iCorbeilImage();
    // A graphic from a manifest graphic dictionary (see properties() for its keys). A
    // missing key leaves its field unset. The subtype is read only for an embellishment,
    // the paper style only for a paper, the picture count only for a quick page. A colour
    // whose string form does not read (kits written by other tools) takes the colour of its
    // colour key.
    explicit iCorbeilImage(const QVariantMap& dictionary);
    ~iCorbeilImage() override;

    // The manifest graphic dictionary: VQName, VQTags, VQType, VQFilename, VQPrimaryColor,
    // VQPrimaryColorActual, VQOrientation and VQThumbnailFilename always (left out while
    // unset: writing a kit refuses such a graphic); VQSubType for an embellishment with a
    // subtype; VQSecondaryColors when there are any; VQPaperType for a paper;
    // VQNumberOfPictures for a quick page; VQDetailThumbnailFilename when set. Colours are
    // written in their string form (platform::orvaneStringRepresentation).
    QVariantMap properties() const;

    // A new graphic with every field of this one (takeValuesFrom).
    virtual std::shared_ptr<iCorbeilImage> copy() const;
    // Copies every field of `other`, change flags and original path included, in the order
    // of the fields, announcing the derived texts as their fields arrive.
    void takeValuesFrom(const iCorbeilImage& other);

    bool isEmbellishment() const;
    bool isPaper() const;
    bool isQuickPage() const;

    // --- Display texts ---
    // A key shown to the user: the text without its "VQ" prefix, a blank before every
    // capital after the first letter ("VQPhotoCorner" gives "Photo Corner", "VQURL" gives
    // "U R L"); "None" (from the library's table) for no key; a text shorter than the
    // prefix as it is.
    static QString convertValueStringToDisplayString(const QString& string);
    // The type, and for an embellishment, a paper or a quick page an em dash and its
    // subtype, its paper style, or "<count> pictures" ("Quick Page—3 pictures"). A quick
    // page without a count shows its type alone.
    QString typeAsString() const;
    QString orientationAsString() const;
    // "<colour name> <swatch>" for each colour, separated by ", "; each swatch is one
    // attachment character holding createColorSwatch() of the colour.
    platform::AttributedString primaryColorAsString() const;
    platform::AttributedString secondaryColorsAsString() const;
    static platform::AttributedString colorsAsString(const QVariantList& colors);
    // A picture of 20 × 11 points: a rounded bar of the colour with a small shadow below.
    static std::shared_ptr<platform::Image> createColorSwatch(const QColor& color);

    // Announce that the derived text of the same name without "Changed" may have changed.
    void typeAsStringChanged();
    void primaryColorAsStringChanged();
    void secondaryColorsAsStringChanged();
    void orientationAsStringChanged();

    // --- Colours ---
    static QColor bronzeColor();
    static QColor copperColor();
    static QColor goldColor();
    static QColor pinkColor();
    static QColor silverColor();
    // The 16 named colours by their keys (VQBlack, VQBlue, ...), built afresh each call.
    static QMap<QString, QColor> colorMap();
    // The map's colour of the key; an invalid colour for a key that is not in the map.
    static QColor colorForColorName(const QString& name);

    // The colour in CIE Lab, converted from its sRGB value (D65 sRGB adapted to D50 with
    // the Bradford transform). An invalid colour gives NaN components.
    static LabColor labColor(const QColor& color);
    // The 1976 distance over L, a, b and alpha, so a difference of opacity adds to it.
    static double cieLABDifferenceBetweenColor(const LabColor& color, const LabColor& andColor);
    // The 1994 difference weighted by the first colour's chroma, on the 1976 distance.
    static double cieLAB94DifferenceBetweenColor(const LabColor& color, const LabColor& andColor);
    // CIEDE2000 with kL = kC = kH = 1; alpha is not used.
    static double cieLAB2000DifferenceBetweenColor(const LabColor& color, const LabColor& andColor);
    // The 1976 distance (with alpha) of two colours of any space; infinity when either is
    // invalid.
    static double differenceBetweenColor(const QColor& color, const QColor& andColor);
    // The key of the nearest named colour (the first met of equally near ones, in the
    // map's key order); a null QString for an invalid colour.
    static QString colorNameForColor(const QColor& color);

    // --- Fields ---
    QString name() const { return _name; }
    void setName(const QString& name) { _name = name; }
    const std::optional<QStringList>& tags() const { return _tags; }
    void setTags(const std::optional<QStringList>& tags) { _tags = tags; }
    QString type() const { return _type; }
    void setType(const QString& type) { _type = type; }
    QString subtype() const { return _subtype; }
    void setSubtype(const QString& subtype) { _subtype = subtype; }
    QString filename() const { return _filename; }
    void setFilename(const QString& filename) { _filename = filename; }
    std::shared_ptr<platform::Image> image() const { return _image; }
    void setImage(const std::shared_ptr<platform::Image>& image) { _image = image; }
    QString primaryColorName() const { return _primaryColorName; }
    void setPrimaryColorName(const QString& name) { _primaryColorName = name; }
    QColor primaryColor() const { return _primaryColor; }
    void setPrimaryColor(const QColor& color) { _primaryColor = color; }
    // Dictionaries {VQName: colour key, VQColorActual: QColor}.
    QVariantList secondaryColors() const { return _secondaryColors; }
    void setSecondaryColors(const QVariantList& colors) { _secondaryColors = colors; }
    QString orientation() const { return _orientation; }
    void setOrientation(const QString& orientation) { _orientation = orientation; }
    QString paperType() const { return _paperType; }
    void setPaperType(const QString& paperType) { _paperType = paperType; }
    // A whole number (qint64) or a real (double); null when unset.
    QVariant numberOfPictures() const { return _numberOfPictures; }
    void setNumberOfPictures(const QVariant& count) { _numberOfPictures = count; }
    QString thumbnailFilename() const { return _thumbnailFilename; }
    void setThumbnailFilename(const QString& filename) { _thumbnailFilename = filename; }
    std::shared_ptr<platform::Image> thumbnail() const { return _thumbnail; }
    void setThumbnail(const std::shared_ptr<platform::Image>& thumbnail) { _thumbnail = thumbnail; }
    QString detailThumbnailFilename() const { return _detailThumbnailFilename; }
    void setDetailThumbnailFilename(const QString& filename)
    {
        _detailThumbnailFilename = filename;
    }
    std::shared_ptr<platform::Image> detailThumbnail() const { return _detailThumbnail; }
    void setDetailThumbnail(const std::shared_ptr<platform::Image>& thumbnail)
    {
        _detailThumbnail = thumbnail;
    }
    bool imageChanged() const { return _imageChanged; }
    void setImageChanged(bool changed) { _imageChanged = changed; }
    bool detailThumbnailChanged() const { return _detailThumbnailChanged; }
    void setDetailThumbnailChanged(bool changed) { _detailThumbnailChanged = changed; }
    // The file the image was added from; staging copies it as it is.
    QString originalPath() const { return _originalPath; }
    void setOriginalPath(const QString& path) { _originalPath = path; }

Q_SIGNALS:
    // A derived text changed: "typeAsString", "primaryColorAsString",
    // "secondaryColorsAsString" or "orientationAsString".
    void didChangeValueForKey(const QString& key);

private:
    QString _name;
    std::optional<QStringList> _tags;
    QString _type;
    QString _subtype;
    QString _filename;
    std::shared_ptr<platform::Image> _image;
    QString _primaryColorName;
    QColor _primaryColor;
    QVariantList _secondaryColors;
    QString _orientation;
    QString _paperType;
    QVariant _numberOfPictures;
    QString _thumbnailFilename;
    std::shared_ptr<platform::Image> _thumbnail;
    QString _detailThumbnailFilename;
    std::shared_ptr<platform::Image> _detailThumbnail;
    bool _imageChanged = false;
    bool _detailThumbnailChanged = false;
    QString _originalPath;
};
