#pragma once

// The description of one kit: its identifier, kind and page size, name, description text
// and tags, its preview and designer pictures, the contact details of its designer and its
// owner, the usage licence of its art, and its release history.
//
// A kit file (iCorbeilFile) owns one; it fills it from the top level of the kit's manifest
// (takeValuesFromDictionary) and writes it back from props(). A template of it lives in the
// user defaults of the process under "DefaultKitInfo" (loadDefaults, saveDefaults).
//
// Unset values: a null QString, a null QVariant (the price), an empty optional (tags,
// releases), a null picture. The licence fields are plain data of the kit; nothing grants
// or refuses anything by them.

#include "kitfile/iCorbeilExport.h"
#include "kitfile/iCorbeilKeys.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <memory>
#include <optional>

namespace platform {
class Image;
}

class ICORBEIL_EXPORT iCorbeilInfo
{
public:
    // The contact details of the designer or the owner, each under its manifest key.
    struct Contact
    {
        QString name;        // VQName
        QString contactName; // VQContactName
        QString URL;         // VQURL
        QString emailAddress;
        QString phoneNumber;
        QString address;
        QString description;
        bool operator==(const Contact&) const = default;
    };

    // A fresh identifier, kit type VQCompleteKitType, size VQ12x12KitSize, licence
    // VQCommercialLicense, price 0, currency "USD", an empty release history; the rest unset.
    iCorbeilInfo();
    virtual ~iCorbeilInfo();
    iCorbeilInfo(const iCorbeilInfo&) = default;
    iCorbeilInfo& operator=(const iCorbeilInfo&) = default;

    // Every field, the identifier included; strings, numbers and pictures shared, the
    // release history copied with its release dictionaries.
    virtual std::shared_ptr<iCorbeilInfo> copy() const;

    // The description in manifest form: "UUID", VQKitType and VQKitSize when set, VQName,
    // VQDescription and VQTags when set, VQDesigner and VQOwner (each holding the contact
    // fields that are set, empty otherwise), VQLicense (the licence fields that are set),
    // VQReleaseHistory. Identifier, name and release history belong in every manifest;
    // when one is unset it is left out here, and writing a kit refuses the description.
    QVariantMap props() const;
    // Sets every field from a dictionary in manifest form: the identifier only when the
    // dictionary holds "UUID"; every other field from its key, a missing key (or a value
    // of another type) leaving it unset. Pictures and their paths stay as they are.
    void takeValuesFromDictionary(const QVariantMap& dictionary);

    // The kit template of the user defaults ("DefaultKitInfo"): saved without the
    // identifier; loaded keeping this description's own identifier, a price of 0 in the
    // template leaving the price unset. Without a template loadDefaults changes nothing.
    void loadDefaults();
    void saveDefaults() const;

    QString UUID() const { return _UUID; }
    void setUUID(const QString& UUID) { _UUID = UUID; }
    QString kitType() const { return _kitType; }
    void setKitType(const QString& kitType) { _kitType = kitType; }
    QString kitSize() const { return _kitSize; }
    void setKitSize(const QString& kitSize) { _kitSize = kitSize; }
    QString name() const { return _name; }
    void setName(const QString& name) { _name = name; }
    QString description() const { return _description; }
    void setDescription(const QString& description) { _description = description; }
    const std::optional<QStringList>& tags() const { return _tags; }
    void setTags(const std::optional<QStringList>& tags) { _tags = tags; }

    std::shared_ptr<platform::Image> preview() const { return _preview; }
    void setPreview(const std::shared_ptr<platform::Image>& preview) { _preview = preview; }
    // The file a new preview is copied from when the kit is written.
    QString previewPath() const { return _previewPath; }
    void setPreviewPath(const QString& previewPath) { _previewPath = previewPath; }
    std::shared_ptr<platform::Image> designer() const { return _designer; }
    void setDesigner(const std::shared_ptr<platform::Image>& designer) { _designer = designer; }
    QString designerPath() const { return _designerPath; }
    void setDesignerPath(const QString& designerPath) { _designerPath = designerPath; }

    const Contact& designerContact() const { return _designerContact; }
    void setDesignerContact(const Contact& contact) { _designerContact = contact; }
    const Contact& ownerContact() const { return _ownerContact; }
    void setOwnerContact(const Contact& contact) { _ownerContact = contact; }
    QString designerName() const { return _designerContact.name; }
    void setDesignerName(const QString& value) { _designerContact.name = value; }
    QString designerContactName() const { return _designerContact.contactName; }
    void setDesignerContactName(const QString& value) { _designerContact.contactName = value; }
    QString designerURL() const { return _designerContact.URL; }
    void setDesignerURL(const QString& value) { _designerContact.URL = value; }
    QString designerEmailAddress() const { return _designerContact.emailAddress; }
    void setDesignerEmailAddress(const QString& value) { _designerContact.emailAddress = value; }
    QString designerPhoneNumber() const { return _designerContact.phoneNumber; }
    void setDesignerPhoneNumber(const QString& value) { _designerContact.phoneNumber = value; }
    QString designerAddress() const { return _designerContact.address; }
    void setDesignerAddress(const QString& value) { _designerContact.address = value; }
    QString designerDescription() const { return _designerContact.description; }
    void setDesignerDescription(const QString& value) { _designerContact.description = value; }
    QString ownerName() const { return _ownerContact.name; }
    void setOwnerName(const QString& value) { _ownerContact.name = value; }
    QString ownerContactName() const { return _ownerContact.contactName; }
    void setOwnerContactName(const QString& value) { _ownerContact.contactName = value; }
    QString ownerURL() const { return _ownerContact.URL; }
    void setOwnerURL(const QString& value) { _ownerContact.URL = value; }
    QString ownerEmailAddress() const { return _ownerContact.emailAddress; }
    void setOwnerEmailAddress(const QString& value) { _ownerContact.emailAddress = value; }
    QString ownerPhoneNumber() const { return _ownerContact.phoneNumber; }
    void setOwnerPhoneNumber(const QString& value) { _ownerContact.phoneNumber = value; }
    QString ownerAddress() const { return _ownerContact.address; }
    void setOwnerAddress(const QString& value) { _ownerContact.address = value; }
    QString ownerDescription() const { return _ownerContact.description; }
    void setOwnerDescription(const QString& value) { _ownerContact.description = value; }

    QString licenseType() const { return _licenseType; }
    void setLicenseType(const QString& licenseType) { _licenseType = licenseType; }
    // A whole number (qint64) or a real (double); null when unset.
    QVariant suggestedRetailPrice() const { return _suggestedRetailPrice; }
    void setSuggestedRetailPrice(const QVariant& price) { _suggestedRetailPrice = price; }
    QString currency() const { return _currency; }
    void setCurrency(const QString& currency) { _currency = currency; }
    QString licenseAgreement() const { return _licenseAgreement; }
    void setLicenseAgreement(const QString& agreement) { _licenseAgreement = agreement; }
    QString copyright() const { return _copyright; }
    void setCopyright(const QString& copyright) { _copyright = copyright; }

    // Release dictionaries: VQReleaseDate (QDateTime), VQReleaseVersion, VQReleaseSummary.
    const std::optional<QVariantList>& releases() const { return _releases; }
    void setReleases(const std::optional<QVariantList>& releases) { _releases = releases; }

private:
    QString _UUID;
    QString _kitType;
    QString _kitSize;
    QString _name;
    QString _description;
    std::optional<QStringList> _tags;
    std::shared_ptr<platform::Image> _preview;
    QString _previewPath;
    std::shared_ptr<platform::Image> _designer;
    QString _designerPath;
    Contact _designerContact;
    Contact _ownerContact;
    QString _licenseType;
    QVariant _suggestedRetailPrice;
    QString _currency;
    QString _licenseAgreement;
    QString _copyright;
    std::optional<QVariantList> _releases;
};
