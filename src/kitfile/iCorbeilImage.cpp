#include "kitfile/iCorbeilImage.h"

#include "kitfile/KitResources.h"
#include "kitfile/ManifestValues.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/Image.h"

using kitfile::insertIfSet;

namespace {

// The colour of a manifest's colour string, else that of its colour key.
QColor colorFromManifest(const QVariant& actual, const QString& colorName)
{
    const QColor color =
        platform::colorWithOrvaneStringRepresentation(kitfile::stringValue(actual));
    return color.isValid() ? color : iCorbeilImage::colorForColorName(colorName);
}

} // namespace

iCorbeilImage::iCorbeilImage()
    : _tags(QStringList()),
      _type(VQAlbumTemplate),
      _primaryColorName(VQBlack),
      _primaryColor(QColor::fromRgbF(0, 0, 0))
{}

iCorbeilImage::iCorbeilImage(const QVariantMap& dictionary) : iCorbeilImage()
{
    using kitfile::stringValue;
    _name = stringValue(dictionary.value(VQName));
    _tags = kitfile::stringListValue(dictionary.value(VQTags));
    _type = stringValue(dictionary.value(VQType));
    if (isEmbellishment())
        _subtype = stringValue(dictionary.value(VQSubType));
    _filename = stringValue(dictionary.value(VQFilename));
    _primaryColorName = stringValue(dictionary.value(VQPrimaryColor));
    _primaryColor = colorFromManifest(dictionary.value(VQPrimaryColorActual), _primaryColorName);
    for (const QVariant& item : dictionary.value(VQSecondaryColors).toList()) {
        if (item.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap entry = item.toMap();
        const QString colorName = stringValue(entry.value(VQName));
        QVariantMap color{{VQName, colorName}};
        const QColor actual = colorFromManifest(entry.value(VQColorActual), colorName);
        if (actual.isValid())
            color.insert(VQColorActual, actual);
        _secondaryColors.append(color);
    }
    _orientation = stringValue(dictionary.value(VQOrientation));
    if (isPaper())
        _paperType = stringValue(dictionary.value(VQPaperType));
    if (isQuickPage())
        _numberOfPictures = kitfile::numberValue(dictionary.value(VQNumberOfPictures));
    _thumbnailFilename = stringValue(dictionary.value(VQThumbnailFilename));
    _detailThumbnailFilename = stringValue(dictionary.value(VQDetailThumbnailFilename));
}

iCorbeilImage::~iCorbeilImage() = default;

QVariantMap iCorbeilImage::properties() const
{
    QVariantMap map;
    insertIfSet(map, VQName, _name);
    if (_tags)
        map.insert(VQTags, *_tags);
    insertIfSet(map, VQType, _type);
    if (isEmbellishment())
        insertIfSet(map, VQSubType, _subtype);
    insertIfSet(map, VQFilename, _filename);
    insertIfSet(map, VQPrimaryColor, _primaryColorName);
    if (_primaryColor.isValid())
        map.insert(VQPrimaryColorActual, platform::orvaneStringRepresentation(_primaryColor));
    if (!_secondaryColors.isEmpty()) {
        // The entries keep their colours; the manifest gets their string forms.
        QVariantList colors;
        for (const QVariant& item : _secondaryColors) {
            QVariantMap entry = item.toMap();
            const QColor color = entry.value(VQColorActual).value<QColor>();
            if (color.isValid())
                entry.insert(VQColorActual, platform::orvaneStringRepresentation(color));
            else
                entry.remove(VQColorActual);
            colors.append(entry);
        }
        map.insert(VQSecondaryColors, colors);
    }
    insertIfSet(map, VQOrientation, _orientation);
    if (isPaper())
        insertIfSet(map, VQPaperType, _paperType);
    if (isQuickPage() && _numberOfPictures.isValid())
        map.insert(VQNumberOfPictures, _numberOfPictures);
    insertIfSet(map, VQThumbnailFilename, _thumbnailFilename);
    insertIfSet(map, VQDetailThumbnailFilename, _detailThumbnailFilename);
    return map;
}

std::shared_ptr<iCorbeilImage> iCorbeilImage::copy() const
{
    auto graphic = std::make_shared<iCorbeilImage>();
    graphic->takeValuesFrom(*this);
    return graphic;
}

void iCorbeilImage::takeValuesFrom(const iCorbeilImage& other)
{
    _name = other._name;
    _tags = other._tags;
    _type = other._type;
    _subtype = other._subtype;
    typeAsStringChanged();
    _filename = other._filename;
    _image = other._image;
    _primaryColorName = other._primaryColorName;
    _primaryColor = other._primaryColor;
    primaryColorAsStringChanged();
    _secondaryColors = other._secondaryColors;
    secondaryColorsAsStringChanged();
    _orientation = other._orientation;
    orientationAsStringChanged();
    _paperType = other._paperType;
    _numberOfPictures = other._numberOfPictures;
    _thumbnailFilename = other._thumbnailFilename;
    _thumbnail = other._thumbnail;
    _detailThumbnailFilename = other._detailThumbnailFilename;
    _detailThumbnail = other._detailThumbnail;
    _imageChanged = other._imageChanged;
    _detailThumbnailChanged = other._detailThumbnailChanged;
    _originalPath = other._originalPath;
}

bool iCorbeilImage::isEmbellishment() const
{
    return _type == VQEmbellishment;
}

bool iCorbeilImage::isPaper() const
{
    return _type == VQPaper;
}

bool iCorbeilImage::isQuickPage() const
{
    return _type == VQQuickPage;
}

QString iCorbeilImage::convertValueStringToDisplayString(const QString& string)
{
    if (string.isNull())
        return kitfile::localizedString(QStringLiteral("None"));
    if (string.size() < 2)
        return string;
    QString text = string.mid(2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isUpper() || i == 0)
            continue;
        text.insert(i, u' ');
        ++i; // past the capital, which now stands one place on
    }
    return text;
}

QString iCorbeilImage::typeAsString() const
{
    const QString type = convertValueStringToDisplayString(_type);
    const QString dash = QStringLiteral("\u2014");
    if (isEmbellishment())
        return type + dash + convertValueStringToDisplayString(_subtype);
    if (isPaper())
        return type + dash + convertValueStringToDisplayString(_paperType);
    if (isQuickPage() && _numberOfPictures.isValid())
        return type + dash + _numberOfPictures.toString() + QStringLiteral(" pictures");
    return type;
}

QString iCorbeilImage::orientationAsString() const
{
    return convertValueStringToDisplayString(_orientation);
}

void iCorbeilImage::typeAsStringChanged()
{
    Q_EMIT didChangeValueForKey(QStringLiteral("typeAsString"));
}

void iCorbeilImage::primaryColorAsStringChanged()
{
    Q_EMIT didChangeValueForKey(QStringLiteral("primaryColorAsString"));
}

void iCorbeilImage::secondaryColorsAsStringChanged()
{
    Q_EMIT didChangeValueForKey(QStringLiteral("secondaryColorsAsString"));
}

void iCorbeilImage::orientationAsStringChanged()
{
    Q_EMIT didChangeValueForKey(QStringLiteral("orientationAsString"));
}
