#pragma once

// Shared pieces of the merge-field tests: the shipped field lists loaded, a window whose
// merge services read an in-memory contact store, and people made from vCard text.

#include "MergeTestSupport.h"

#include "graphics/LBProcessState.h"
#include "platform/core/ContactStore.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/VCardReader.h"

#include <QFile>

inline QVariantList loadFieldList(const QString& resource)
{
    QFile file(resource);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << resource.toStdString();
    const std::optional<QVariant> list = platform::PropertyList::read(file.readAll(), nullptr);
    EXPECT_TRUE(list) << resource.toStdString();
    return list ? list->toList() : QVariantList();
}

inline void loadShippedFieldLists()
{
    using List = LBProcessState::FieldsList;
    LBProcessState::fieldsList(List::Standard) = loadFieldList(QStringLiteral(":/Fields.plist"));
    LBProcessState::fieldsList(List::My) = loadFieldList(QStringLiteral(":/MyFields.plist"));
    LBProcessState::fieldsList(List::Misc) = loadFieldList(QStringLiteral(":/MiscFields.plist"));
    LBProcessState::fieldsList(List::Custom) = {};
}

class MergeFieldsTest : public WindowTest
{
protected:
    MergeFieldsTest()
    {
        loadShippedFieldLists();
        registerMergeClasses();
        MergeServices::setFactory([this](LBWindowController& window) {
            auto made = std::make_unique<LBMergeServices>(window);
            made->setContactStore(&store);
            services = made.get();
            return made;
        });
        controller->mergeServices();
        controller->_foundOtherContactField = true;
        defaults().removeObjectForKey(QStringLiteral("My Person ID"));
        defaults().setInteger(2, QStringLiteral("Print Country"));
        LBProcessState::setDefaultCountryCode(QStringLiteral("us"));
    }
    ~MergeFieldsTest() override
    {
        MergeServices::setFactory({});
        SheetRenderer::setFactory({});
        LBMergeServices::setCurrentDateForTesting(std::nullopt);
        defaults().removeObjectForKey(QStringLiteral("Print Country"));
        defaults().removeObjectForKey(QStringLiteral("My Person ID"));
    }
    static platform::UserDefaults& defaults()
    {
        return platform::UserDefaults::standardUserDefaults();
    }
    // The cards of the text added to the store; returns them.
    QList<platform::ContactPersonPtr> addCards(const QString& vcards)
    {
        QList<platform::ContactPersonPtr> added;
        for (const auto& person :
             platform::VCardReader::read(vcards.toUtf8(), QStringLiteral("test.vcf"), nullptr)) {
            store.addPerson(person);
            added.append(person);
        }
        return added;
    }
    // One card of the given lines (between BEGIN and END).
    static QString card(const QString& lines)
    {
        return QStringLiteral("BEGIN:VCARD\nVERSION:3.0\n") + lines
               + QStringLiteral("\nEND:VCARD\n");
    }
    QVariantMap field(const QString& name)
    {
        const std::optional<QVariantMap> f = LBMergeServices::fieldForFieldName(name, nullptr);
        EXPECT_TRUE(f) << name.toStdString();
        return f.value_or(QVariantMap());
    }

    platform::ContactStore store;
    LBMergeServices* services = nullptr; // the window's
};
