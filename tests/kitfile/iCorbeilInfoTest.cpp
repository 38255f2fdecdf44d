#include "kitfile/iCorbeilInfo.h"

#include "platform/core/UserDefaults.h"

#include "KitTestSupport.h"

#include <gtest/gtest.h>

namespace {

const QString UUIDKey = QStringLiteral("UUID");

// A description with every field of the manifest set.
QVariantMap fullDescription()
{
    QVariantMap contact;
    for (const QString* key : {&VQAddress, &VQContactName, &VQDescription, &VQEmailAddress, &VQName,
                               &VQPhoneNumber, &VQURL})
        contact.insert(*key, *key + QStringLiteral(" value"));
    QVariantMap description = kittest::manifest({});
    description.remove(VQObjects);
    description.insert(VQDescription, QStringLiteral("Flowers and leaves"));
    description.insert(VQTags, QStringList{QStringLiteral("spring"), QStringLiteral("green")});
    description.insert(VQDesigner, contact);
    description.insert(VQOwner, contact);
    description.insert(VQLicense, QVariantMap{{VQLicenseType, VQPublicDomainLicense},
                                              {VQLicenseManufacturerSuggestedRetailPrice, 4.5},
                                              {VQLicenseRetailPriceCurrency, QStringLiteral("EUR")},
                                              {VQLicenseAgreement, QStringLiteral("Any use.")},
                                              {VQLicenseCopyright, QStringLiteral("(c) Ann")}});
    return description;
}

} // namespace

TEST(iCorbeilInfo, NewDescriptionAndItsManifestForm)
{
    iCorbeilInfo info;
    EXPECT_NE(info.UUID(), iCorbeilInfo().UUID());
    EXPECT_FALSE(info.UUID().isEmpty());
    EXPECT_TRUE(info.name().isNull());
    EXPECT_FALSE(info.tags().has_value());
    EXPECT_EQ(info.designerContact(), iCorbeilInfo::Contact());

    info.setName(QStringLiteral("Garden"));
    const QVariantMap expected = {
        {UUIDKey, info.UUID()},
        {VQKitType, VQCompleteKitType},
        {VQKitSize, VQ12x12KitSize},
        {VQName, QStringLiteral("Garden")},
        {VQDesigner, QVariantMap()},
        {VQOwner, QVariantMap()},
        {VQLicense, QVariantMap{{VQLicenseType, VQCommercialLicense},
                                {VQLicenseManufacturerSuggestedRetailPrice, qint64(0)},
                                {VQLicenseRetailPriceCurrency, QStringLiteral("USD")}}},
        {VQReleaseHistory, QVariantList()},
    };
    EXPECT_EQ(info.props(), expected);
}

TEST(iCorbeilInfo, ReadingSetsEveryFieldAndLeavesMissingOnesUnset)
{
    iCorbeilInfo info;
    info.takeValuesFromDictionary(fullDescription());
    EXPECT_EQ(info.props(), fullDescription());
    EXPECT_EQ(info.ownerPhoneNumber(), QStringLiteral("VQPhoneNumber value"));
    EXPECT_EQ(info.suggestedRetailPrice(), QVariant(4.5));

    // No kit type, no identifier, no licence, values of the wrong kind.
    QVariantMap sparse = fullDescription();
    sparse.remove(VQKitType);
    sparse.remove(UUIDKey);
    sparse.remove(VQLicense);
    sparse.insert(VQName, 12);
    sparse.insert(VQTags, QVariantList{QStringLiteral("a"), 1});
    iCorbeilInfo other;
    const QString ownIdentifier = other.UUID();
    other.takeValuesFromDictionary(sparse);
    EXPECT_TRUE(other.kitType().isNull());
    EXPECT_EQ(other.UUID(), ownIdentifier);
    EXPECT_TRUE(other.name().isNull());
    EXPECT_FALSE(other.tags().has_value());
    EXPECT_TRUE(other.licenseType().isNull());
    EXPECT_FALSE(other.suggestedRetailPrice().isValid());
    EXPECT_TRUE(other.currency().isNull());

    const QVariantMap written = other.props();
    EXPECT_FALSE(written.contains(VQKitType));
    EXPECT_EQ(written.value(VQLicense), QVariant(QVariantMap()));
}

TEST(iCorbeilInfo, CopyKeepsTheIdentifierAndOwnsItsReleaseHistory)
{
    iCorbeilInfo info;
    info.takeValuesFromDictionary(fullDescription());
    const std::shared_ptr<iCorbeilInfo> copy = info.copy();
    EXPECT_EQ(copy->UUID(), info.UUID());
    EXPECT_EQ(copy->props(), info.props());

    QVariantList releases = *copy->releases();
    QVariantMap changed = releases[0].toMap();
    changed.insert(VQReleaseVersion, QStringLiteral("2.0"));
    releases[0] = changed;
    copy->setReleases(releases);
    EXPECT_EQ(info.releases()->at(0).toMap().value(VQReleaseVersion), QStringLiteral("1.0"));
}

TEST(iCorbeilInfo, TemplateInTheUserDefaults)
{
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(QStringLiteral("DefaultKitInfo"));
    iCorbeilInfo untouched;
    const QVariantMap before = untouched.props();
    untouched.loadDefaults();
    EXPECT_EQ(untouched.props(), before);

    struct Case
    {
        QVariant price;
        QVariant loaded;
    };
    const Case cases[] = {
        {qint64(0), QVariant()},
        {0.0, QVariant()},
        {4.5, 4.5},
        {qint64(3), qint64(3)},
    };
    for (const Case& c : cases) {
        iCorbeilInfo saved;
        saved.takeValuesFromDictionary(fullDescription());
        saved.setSuggestedRetailPrice(c.price);
        saved.saveDefaults();
        EXPECT_FALSE(defaults.dictionaryForKey(QStringLiteral("DefaultKitInfo")).contains(UUIDKey));

        iCorbeilInfo loaded;
        const QString ownIdentifier = loaded.UUID();
        loaded.loadDefaults();
        EXPECT_EQ(loaded.UUID(), ownIdentifier);
        EXPECT_EQ(loaded.suggestedRetailPrice(), c.loaded) << c.price.toString().toStdString();

        // Everything else as saved, the release history included.
        QVariantMap expected = saved.props();
        expected.insert(UUIDKey, ownIdentifier);
        QVariantMap license = expected.value(VQLicense).toMap();
        if (!c.loaded.isValid())
            license.remove(VQLicenseManufacturerSuggestedRetailPrice);
        expected.insert(VQLicense, license);
        EXPECT_EQ(loaded.props(), expected);
    }
}
