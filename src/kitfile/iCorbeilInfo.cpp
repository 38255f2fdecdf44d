#include "kitfile/iCorbeilInfo.h"

#include "kitfile/ManifestValues.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"

#include <utility>

using kitfile::insertIfSet;

namespace {

const QString UUIDKey = QStringLiteral("UUID");
const QString templateKey = QStringLiteral("DefaultKitInfo");

// The contact fields under their manifest keys, in the order the manifest lists them.
const std::pair<const QString*, QString iCorbeilInfo::Contact::*> contactFields[] = {
    {&VQAddress, &iCorbeilInfo::Contact::address},
    {&VQContactName, &iCorbeilInfo::Contact::contactName},
    {&VQDescription, &iCorbeilInfo::Contact::description},
    {&VQEmailAddress, &iCorbeilInfo::Contact::emailAddress},
    {&VQName, &iCorbeilInfo::Contact::name},
    {&VQPhoneNumber, &iCorbeilInfo::Contact::phoneNumber},
    {&VQURL, &iCorbeilInfo::Contact::URL},
};

QVariantMap contactDictionary(const iCorbeilInfo::Contact& contact)
{
    QVariantMap map;
    for (const auto& [key, field] : contactFields)
        insertIfSet(map, *key, contact.*field);
    return map;
}

iCorbeilInfo::Contact contactFromDictionary(const QVariant& value)
{
    const QVariantMap map = value.toMap();
    iCorbeilInfo::Contact contact;
    for (const auto& [key, field] : contactFields)
        contact.*field = kitfile::stringValue(map.value(*key));
    return contact;
}

} // namespace

iCorbeilInfo::iCorbeilInfo()
    : _UUID(platform::UUIDString()),
      _kitType(VQCompleteKitType),
      _kitSize(VQ12x12KitSize),
      _licenseType(VQCommercialLicense),
      _suggestedRetailPrice(qint64(0)),
      _currency(QStringLiteral("USD")),
      _releases(QVariantList())
{}

iCorbeilInfo::~iCorbeilInfo() = default;

std::shared_ptr<iCorbeilInfo> iCorbeilInfo::copy() const
{
    // Qt's containers copy by value, so the copy's release history and its release
    // dictionaries change independently of this one's.
    return std::make_shared<iCorbeilInfo>(*this);
}

QVariantMap iCorbeilInfo::props() const
{
    QVariantMap map;
    insertIfSet(map, UUIDKey, _UUID);
    insertIfSet(map, VQKitType, _kitType);
    insertIfSet(map, VQKitSize, _kitSize);
    insertIfSet(map, VQName, _name);
    insertIfSet(map, VQDescription, _description);
    if (_tags)
        map.insert(VQTags, *_tags);
    map.insert(VQDesigner, contactDictionary(_designerContact));
    map.insert(VQOwner, contactDictionary(_ownerContact));

    QVariantMap license;
    insertIfSet(license, VQLicenseType, _licenseType);
    if (_suggestedRetailPrice.isValid())
        license.insert(VQLicenseManufacturerSuggestedRetailPrice, _suggestedRetailPrice);
    insertIfSet(license, VQLicenseRetailPriceCurrency, _currency);
    insertIfSet(license, VQLicenseAgreement, _licenseAgreement);
    insertIfSet(license, VQLicenseCopyright, _copyright);
    map.insert(VQLicense, license);

    if (_releases)
        map.insert(VQReleaseHistory, *_releases);
    return map;
}

void iCorbeilInfo::takeValuesFromDictionary(const QVariantMap& dictionary)
{
    using kitfile::stringValue;
    if (dictionary.contains(UUIDKey))
        _UUID = stringValue(dictionary.value(UUIDKey));
    _kitType = stringValue(dictionary.value(VQKitType));
    _kitSize = stringValue(dictionary.value(VQKitSize));
    _name = stringValue(dictionary.value(VQName));
    _description = stringValue(dictionary.value(VQDescription));
    _tags = kitfile::stringListValue(dictionary.value(VQTags));
    _designerContact = contactFromDictionary(dictionary.value(VQDesigner));
    _ownerContact = contactFromDictionary(dictionary.value(VQOwner));

    const QVariantMap license = dictionary.value(VQLicense).toMap();
    _licenseType = stringValue(license.value(VQLicenseType));
    _suggestedRetailPrice =
        kitfile::numberValue(license.value(VQLicenseManufacturerSuggestedRetailPrice));
    _currency = stringValue(license.value(VQLicenseRetailPriceCurrency));
    _licenseAgreement = stringValue(license.value(VQLicenseAgreement));
    _copyright = stringValue(license.value(VQLicenseCopyright));

    const QVariant releases = dictionary.value(VQReleaseHistory);
    if (releases.typeId() == QMetaType::QVariantList)
        _releases = releases.toList();
    else
        _releases.reset();
}

void iCorbeilInfo::loadDefaults()
{
    QVariantMap stored =
        platform::UserDefaults::standardUserDefaults().dictionaryForKey(templateKey);
    if (stored.isEmpty())
        return;
    stored.remove(UUIDKey);
    QVariantMap license = stored.value(VQLicense).toMap();
    const QVariant price =
        kitfile::numberValue(license.value(VQLicenseManufacturerSuggestedRetailPrice));
    if (price.isValid() && price.toDouble() == 0) {
        license.remove(VQLicenseManufacturerSuggestedRetailPrice);
        stored.insert(VQLicense, license);
    }
    takeValuesFromDictionary(stored);
}

void iCorbeilInfo::saveDefaults() const
{
    QVariantMap stored = props();
    stored.remove(UUIDKey);
    platform::UserDefaults::standardUserDefaults().setObject(stored, templateKey);
}
