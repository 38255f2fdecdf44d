// The contacts of the merge: the store, the selected people and the user's own card.

#include "merge/LBMergeServices.h"

#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/AttributedString.h"
#include "shapes/LBBarcodeImage.h"

using platform::ContactPersonPtr;

platform::ContactStore* LBMergeServices::contactStore() const
{
    return _contactStore ? _contactStore : platform::ContactStore::sharedStore();
}

void LBMergeServices::setSelectedPeople(const QList<ContactPersonPtr>& people)
{
    _selectedPeople = people;
}

ContactPersonPtr LBMergeServices::mePerson()
{
    if (!_mePerson) {
        const platform::ContactStore* store = contactStore();
        const QString uid = platform::UserDefaults::standardUserDefaults().stringForKey(
            QStringLiteral("My Person ID"));
        ContactPersonPtr found;
        if (store && !uid.isEmpty())
            for (const ContactPersonPtr& person : store->people())
                if (person->uniqueId() == uid) {
                    found = person;
                    break;
                }
        _mePerson = found;
    }
    return *_mePerson;
}

void LBMergeServices::mePersonChanged()
{
    _mePerson.reset();
}

ContactPersonPtr LBMergeServices::contactAtIndex(qint64 index)
{
    if (index == -1)
        return mePerson();
    if (index < 0 || index >= _selectedPeople.size())
        return nullptr;
    return _selectedPeople.at(index);
}

bool LBMergeServices::isCompanyCard(const platform::ContactPerson& person)
{
    if (person.isCompany())
        return true;
    return !person.value(platform::ContactFirstNameProperty).isValid()
           && !person.value(platform::ContactLastNameProperty).isValid()
           && !person.value(platform::ContactOrganizationProperty).toString().isEmpty();
}

// ==== The contact-field scan =============================================================

MergeServices::ContactFieldScan LBMergeServices::scanGraphicsForContactFields()
{
    ContactFieldScan scan;
    const LBDocument* doc = document();
    if (!doc)
        return scan;
    for (const LBDocument::Page& page : doc->documentGraphics())
        for (const auto& layer : page)
            for (const LBGraphicPtr& g : layer) {
                if (const auto* barcode = dynamic_cast<const LBBarcodeImage*>(g.get())) {
                    if (barcode->barcodeDataSource() == LBBarcodeImage::ContactCodeField)
                        scan.otherContactField = true;
                    continue;
                }
                if (!g->isTextBox() && !g->isShapeWithText())
                    continue;
                const auto* text = dynamic_cast<const LBTextArea*>(g.get());
                if (!text || !text->contents())
                    continue;
                if (text->textBoxType() == LBTextArea::ReturnAddressBox) {
                    scan.returnAddress = true;
                    continue;
                }
                if (text->textBoxType() == LBTextArea::DeliveryAddressBox) {
                    scan.deliveryAddress = true;
                    scan.otherContactField = true;
                    continue;
                }
                const platform::AttributedString& string = text->contents()->attributedString();
                string.enumerateAttribute(
                    LBQFieldAttributeName, platform::Range(0, string.length()),
                    [&](const QVariant& value, const platform::Range& range, bool& stop) {
                        if (scan.otherContactField || scan.activityField) {
                            stop = true;
                            return;
                        }
                        if (value.isNull())
                            return;
                        bool isMyField = false;
                        const std::optional<QVariantMap> field = fieldForFieldName(
                            string.string().mid(range.location, range.length), &isMyField);
                        if (!field)
                            return;
                        const qint64 kind =
                            field->value(QStringLiteral("propertyType")).toLongLong();
                        if (kind == 15)
                            scan.activityField = true;
                        else if (!isMyField && kind != 10 && kind != 11
                                 && field->value(QStringLiteral("isContactField"), true).toBool())
                            scan.otherContactField = true;
                    });
            }
    return scan;
}
