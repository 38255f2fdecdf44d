// Reading a kit: the manifest, checked whole before anything changes, then the thumbnails
// and the pictures of the package.

#include "kitfile/iCorbeilFile.h"

#include "kitfile/KitPackage.h"
#include "kitfile/ManifestValues.h"
#include "platform/core/Error.h"
#include "platform/core/PropertyList.h"
#include "platform/drawing/Image.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <vector>

using kitfile::quoted;

namespace {

// What a manifest value must be. Numbers may also be numeric text and are stored back
// as numbers; file names must be plain names.
enum class Kind { Text, FileName, Number, Date, TextList, Dictionary, DictionaryList };

struct Field
{
    const QString* key;
    Kind kind;
    const std::vector<Field>* fields = nullptr; // of a dictionary or its list's entries
};

const QString UUIDKey = QStringLiteral("UUID");

const std::vector<Field> contactFields = {
    {&VQAddress, Kind::Text},      {&VQContactName, Kind::Text}, {&VQDescription, Kind::Text},
    {&VQEmailAddress, Kind::Text}, {&VQName, Kind::Text},        {&VQPhoneNumber, Kind::Text},
    {&VQURL, Kind::Text},
};

const std::vector<Field> licenseFields = {
    {&VQLicenseType, Kind::Text},
    {&VQLicenseManufacturerSuggestedRetailPrice, Kind::Number},
    {&VQLicenseRetailPriceCurrency, Kind::Text},
    {&VQLicenseAgreement, Kind::Text},
    {&VQLicenseCopyright, Kind::Text},
};

const std::vector<Field> releaseFields = {
    {&VQReleaseDate, Kind::Date},
    {&VQReleaseVersion, Kind::Text},
    {&VQReleaseSummary, Kind::Text},
};

const std::vector<Field> colorFields = {
    {&VQName, Kind::Text},
    {&VQColorActual, Kind::Text},
};

const std::vector<Field> graphicFields = {
    {&VQName, Kind::Text},
    {&VQTags, Kind::TextList},
    {&VQType, Kind::Text},
    {&VQSubType, Kind::Text},
    {&VQFilename, Kind::FileName},
    {&VQPrimaryColor, Kind::Text},
    {&VQPrimaryColorActual, Kind::Text},
    {&VQSecondaryColors, Kind::DictionaryList, &colorFields},
    {&VQOrientation, Kind::Text},
    {&VQPaperType, Kind::Text},
    {&VQNumberOfPictures, Kind::Number},
    {&VQThumbnailFilename, Kind::FileName},
    {&VQDetailThumbnailFilename, Kind::FileName},
};

const std::vector<Field> manifestFields = {
    {&UUIDKey, Kind::Text},
    {&VQKitType, Kind::Text},
    {&VQKitSize, Kind::Text},
    {&VQName, Kind::Text},
    {&VQDescription, Kind::Text},
    {&VQTags, Kind::TextList},
    {&VQDesigner, Kind::Dictionary, &contactFields},
    {&VQOwner, Kind::Dictionary, &contactFields},
    {&VQLicense, Kind::Dictionary, &licenseFields},
    {&VQReleaseHistory, Kind::DictionaryList, &releaseFields},
    {&VQObjects, Kind::DictionaryList, &graphicFields},
};

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Text:
    case Kind::FileName: return QStringLiteral("a text");
    case Kind::Number: return QStringLiteral("a number");
    case Kind::Date: return QStringLiteral("a date");
    case Kind::TextList: return QStringLiteral("a list of texts");
    case Kind::Dictionary: return QStringLiteral("a dictionary");
    case Kind::DictionaryList: return QStringLiteral("a list of dictionaries");
    }
    return QString();
}

// Where an entry of a list stands: "VQObjects item 3", with the graphic's name when it
// has one.
QString itemPlace(const QString& list, qsizetype index, const QVariantMap& entry)
{
    QString place = QStringLiteral("%1 item %2").arg(list).arg(index + 1);
    const QString name = kitfile::stringValue(entry.value(VQName));
    if (list == VQObjects && !name.isEmpty())
        place += QStringLiteral(" (%1)").arg(quoted(name));
    return place;
}

struct Problem
{
    iCorbeilErrorCode code = iCorbeilMalformedContentsError;
    QString text;
};

bool checkFields(QVariantMap& map, const std::vector<Field>& fields, const QString& place,
                 Problem& problem);

// Checks one value in place (numbers from text become numbers).
bool checkValue(QVariant& value, const Field& field, const QString& place, Problem& problem)
{
    const QString where = place.isEmpty() ? *field.key : place + QStringLiteral(", ") + *field.key;
    const auto wrongKind = [&] {
        problem = {iCorbeilMalformedContentsError,
                   QStringLiteral("%1 is not %2").arg(where, kindName(field.kind))};
        return false;
    };
    switch (field.kind) {
    case Kind::Text: return value.typeId() == QMetaType::QString || wrongKind();
    case Kind::FileName:
        if (value.typeId() != QMetaType::QString)
            return wrongKind();
        if (!kitfile::isPlainName(value.toString())) {
            problem = {iCorbeilUnsafeFilenameError, QStringLiteral("%1 %2 is not a plain file name")
                                                        .arg(where, quoted(value.toString()))};
            return false;
        }
        return true;
    case Kind::Number: value = kitfile::numberValue(value); return value.isValid() || wrongKind();
    case Kind::Date: return value.typeId() == QMetaType::QDateTime || wrongKind();
    case Kind::TextList: return kitfile::stringListValue(value).has_value() || wrongKind();
    case Kind::Dictionary: {
        if (value.typeId() != QMetaType::QVariantMap)
            return wrongKind();
        QVariantMap map = value.toMap();
        if (!checkFields(map, *field.fields, where, problem))
            return false;
        value = map;
        return true;
    }
    case Kind::DictionaryList: {
        if (value.typeId() != QMetaType::QVariantList)
            return wrongKind();
        QVariantList list = value.toList();
        for (qsizetype i = 0; i < list.size(); ++i) {
            if (list[i].typeId() != QMetaType::QVariantMap) {
                problem = {iCorbeilMalformedContentsError,
                           QStringLiteral("%1 item %2 is not a dictionary").arg(where).arg(i + 1)};
                return false;
            }
            QVariantMap entry = list[i].toMap();
            if (!checkFields(entry, *field.fields, itemPlace(where, i, entry), problem))
                return false;
            list[i] = entry;
        }
        value = list;
        return true;
    }
    }
    return false;
}

bool checkFields(QVariantMap& map, const std::vector<Field>& fields, const QString& place,
                 Problem& problem)
{
    for (const Field& field : fields) {
        auto it = map.find(*field.key);
        if (it != map.end() && !checkValue(*it, field, place, problem))
            return false;
    }
    return true;
}

} // namespace

bool iCorbeilFile::readContents(const QByteArray& data, platform::Error* error)
{
    QString parseError;
    const std::optional<QVariant> root = platform::PropertyList::fromXml(data, &parseError);
    if (!root)
        return platform::Error::fail(
            error, iCorbeilErrorDomain, iCorbeilUnreadableContentsError,
            QStringLiteral("contents.xml is not an XML property list (%1).").arg(parseError));
    if (root->typeId() != QMetaType::QVariantMap)
        return platform::Error::fail(error, iCorbeilErrorDomain, iCorbeilMalformedContentsError,
                                     QStringLiteral("contents.xml does not hold a dictionary."));
    QVariantMap manifest = root->toMap();
    Problem problem;
    if (!checkFields(manifest, manifestFields, QString(), problem))
        return platform::Error::fail(error, iCorbeilErrorDomain, problem.code,
                                     QStringLiteral("contents.xml: %1.").arg(problem.text));

    ImageList objects;
    for (const QVariant& entry : manifest.value(VQObjects).toList())
        objects.append(std::make_shared<iCorbeilImage>(entry.toMap()));
    _info->takeValuesFromDictionary(manifest);
    _objects = objects;
    return true;
}

bool iCorbeilFile::readFromURL(const QUrl& url, platform::Error* error)
{
    const kitfile::KitPackage package(url.toLocalFile());
    const QString packageName = QFileInfo(package.path()).fileName();
    const auto fail = [&](const platform::Error& problem) {
        qWarning().noquote()
            << QStringLiteral("Unable to read contents.xml from %1").arg(packageName);
        return platform::Error::fail(error, problem.domain, problem.code,
                                     QStringLiteral("The kit %1 cannot be read: %2")
                                         .arg(quoted(packageName), problem.description));
    };

    QFile contents(package.existingFile(QString(), QStringLiteral("contents.xml")));
    if (contents.fileName().isEmpty() || !contents.open(QIODevice::ReadOnly))
        return fail({iCorbeilErrorDomain, iCorbeilUnreadableContentsError,
                     QStringLiteral("it has no readable contents.xml.")});
    platform::Error problem;
    if (!readContents(contents.readAll(), &problem))
        return fail(problem);

    for (const auto& object : _objects) {
        object->setThumbnail(loadThumbnailAtPath(
            package.existingFile(QStringLiteral("Thumbnails"), object->thumbnailFilename())));
        if (!object->detailThumbnailFilename().isNull())
            object->setDetailThumbnail(loadThumbnailAtPath(package.existingFile(
                QStringLiteral("Thumbnails_Detailed"), object->detailThumbnailFilename())));
    }
    QString preview = package.existingFile(QString(), QStringLiteral("Kit_Preview.png"));
    if (preview.isEmpty())
        preview = package.existingFile(QString(), QStringLiteral("Kit_Preview.jpg"));
    if (!preview.isEmpty())
        _info->setPreview(loadImageAtPath(preview));
    const QString designer = package.existingFile(QString(), QStringLiteral("Artist.jpg"));
    if (!designer.isEmpty())
        _info->setDesigner(loadImageAtPath(designer));
    return true;
}
