// The contacts of the merge: the store, the selected people and the user's own card.

#include "merge/LBMergeServices.h"

#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "merge/LBContactColumns.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/AfterFirstPaint.h"
#include "platform/ui/Alert.h"
#include "shapes/LBBarcodeImage.h"
#include "window/LBWindowController.h"
#include "window/PreviewModeController.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSet>

#include <algorithm>
#include <vector>

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

// ==== The contact columns' model ========================================================

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString personValue(const platform::ContactPerson& p, const QString& property)
{
    return p.value(property).toString();
}

QString primaryZIP(const platform::ContactPerson& p)
{
    const std::optional<platform::ContactMultiValue> addresses =
        p.multiValue(platform::ContactAddressProperty);
    if (!addresses || addresses->count() == 0)
        return {};
    const platform::ContactAddress* address =
        platform::contactAddressIn(addresses->entries.at(addresses->primaryIndex()).value);
    return address ? address->zip : QString();
}

enum class KeyKind { None, Last, First, Company, ZIP };

// The first eight UTF-16 units of a text packed so that comparing the numbers, first
// then second, orders as comparing the texts' beginnings does (a missing unit counts
// below any unit).
struct Prefix
{
    quint64 high = 0;
    quint64 low = 0;

    Prefix() = default;
    explicit Prefix(QStringView text)
    {
        const qsizetype n = std::min<qsizetype>(text.size(), 8);
        const QChar* units = text.constData();
        for (qsizetype i = 0; i < n; ++i) {
            quint64& word = i < 4 ? high : low;
            word |= quint64(units[i].unicode()) << (16 * (3 - i % 4));
        }
    }
    // -1, 0 or 1; 0 says nothing past the eighth unit.
    int compare(const Prefix& other) const
    {
        if (high != other.high)
            return high < other.high ? -1 : 1;
        if (low != other.low)
            return low < other.low ? -1 : 1;
        return 0;
    }
};

// A person's sort key: which name it is and the person's case-folded names, made when
// the person was read. The key's beginning is kept in the key itself: comparing it needs
// no visit to the person, whose names lie all over the heap.
struct SortKey
{
    qsizetype index = 0;
    KeyKind kind = KeyKind::None;
    Prefix prefix;
    // The beginning of the name that breaks a tie between keys of this kind (see
    // secondCompare), and whether that name is empty.
    Prefix secondPrefix;
    bool secondEmpty = true;
    const platform::ContactPerson::SortNames* names = nullptr;

    QStringView first() const { return names->first(); }
    QStringView last() const { return names->last(); }
    QStringView company() const { return names->company(); }
    QStringView zip() const { return names->zip(); }
    QStringView key() const
    {
        switch (kind) {
        case KeyKind::First: return first();
        case KeyKind::Last: return last();
        case KeyKind::Company: return company();
        case KeyKind::ZIP: return zip();
        case KeyKind::None: break;
        }
        return {};
    }
};

SortKey sortKeyFor(const platform::ContactPerson& person, qsizetype index, qint64 sortField)
{
    const platform::ContactPerson::SortNames& names = person.sortNames();
    SortKey k;
    k.index = index;
    k.names = &names;
    // As isCompanyCard() decides, from the names made when the person was read.
    const bool company = person.isCompany() || (!names.hasName() && !names.company().isEmpty());
    KeyKind order[4];
    int count = 0;
    const auto add = [&](KeyKind kind) { order[count++] = kind; };
    switch (sortField) {
    case 0:
        add(company ? KeyKind::Company : KeyKind::Last);
        add(company ? KeyKind::Last : KeyKind::First);
        break;
    case 1:
        add(company ? KeyKind::Company : KeyKind::First);
        add(company ? KeyKind::First : KeyKind::Last);
        break;
    case 2:
        add(KeyKind::Company);
        add(KeyKind::Last);
        add(KeyKind::First);
        break;
    case 3:
        add(KeyKind::ZIP);
        add(KeyKind::Last);
        add(KeyKind::Company);
        add(KeyKind::First);
        break;
    default: break;
    }
    for (int i = 0; i < count; ++i) {
        k.kind = order[i];
        if (!k.key().isEmpty()) {
            k.prefix = Prefix(k.key());
            const QStringView second = k.kind == KeyKind::Last ? k.first() : k.last();
            k.secondPrefix = Prefix(second);
            k.secondEmpty = second.isEmpty();
            return k;
        }
    }
    k.kind = KeyKind::None;
    return k;
}

// The tie-break after equal keys, by what a's key was.
int secondCompare(const SortKey& a, const SortKey& b)
{
    const auto compare = [](QStringView x, QStringView y, QStringView x2, QStringView y2) {
        if (!x.isEmpty() && !y.isEmpty())
            return x.compare(y);
        return x2.compare(y2);
    };
    switch (a.kind) {
    case KeyKind::Last: return compare(a.first(), b.first(), a.last(), b.last());
    case KeyKind::First: return compare(a.last(), b.last(), a.first(), b.first());
    case KeyKind::Company: return compare(a.last(), b.last(), a.company(), b.company());
    case KeyKind::ZIP: return compare(a.last(), b.last(), a.zip(), b.zip());
    case KeyKind::None: break;
    }
    return 0;
}

bool comesBefore(const SortKey& a, const SortKey& b, qint64 sortField)
{
    const bool aHas = a.kind != KeyKind::None;
    const bool bHas = b.kind != KeyKind::None;
    if (!aHas || !bHas)
        return !aHas && bHas; // people without a key first
    if (sortField == 3 && (a.kind == KeyKind::ZIP) != (b.kind == KeyKind::ZIP))
        return a.kind == KeyKind::ZIP;
    if (const int c = a.prefix.compare(b.prefix))
        return c < 0;
    // Keys of eight units or fewer that begin alike are alike when they are as long.
    const QStringView aKey = a.key();
    const QStringView bKey = b.key();
    if (aKey.size() > 8 || bKey.size() > 8 || aKey.size() != bKey.size()) {
        const int c = aKey.compare(bKey);
        if (c != 0)
            return c < 0;
    }
    // Many people share a key (a first name): their tie-break names' beginnings first.
    if (a.kind == b.kind && !a.secondEmpty && !b.secondEmpty)
        if (const int c = a.secondPrefix.compare(b.secondPrefix))
            return c < 0;
    return secondCompare(a, b) < 0;
}

void sortGroups(QList<platform::ContactGroupPtr>& groups)
{
    std::stable_sort(groups.begin(), groups.end(),
                     [](const platform::ContactGroupPtr& a, const platform::ContactGroupPtr& b) {
                         return a->name.compare(b->name, Qt::CaseInsensitive) < 0;
                     });
}

} // namespace

void LBMergeServices::sortPeople(QList<ContactPersonPtr>& people, qint64 sortField)
{
    if (sortField < 0 || sortField > 3)
        return;
    std::vector<SortKey> keys;
    keys.reserve(size_t(people.size()));
    for (qsizetype i = 0; i < people.size(); ++i)
        keys.push_back(sortKeyFor(*people.at(i), i, sortField));
    // A merge sort: the tie-break's "else" is no strict order, which a merge tolerates.
    std::stable_sort(keys.begin(), keys.end(), [sortField](const SortKey& a, const SortKey& b) {
        return comesBefore(a, b, sortField);
    });
    QList<ContactPersonPtr> sorted;
    sorted.reserve(people.size());
    for (const SortKey& key : keys)
        sorted.append(people.at(key.index));
    people = std::move(sorted);
}

QString LBMergeServices::displayName(const platform::ContactPerson& p, bool firstNameFirst,
                                     qint64 sortField)
{
    QString first = personValue(p, platform::ContactFirstNameProperty);
    const QString middle = personValue(p, platform::ContactMiddleNameProperty);
    const QString last = personValue(p, platform::ContactLastNameProperty);
    const QString company = personValue(p, platform::ContactOrganizationProperty);
    if (!middle.isEmpty())
        first = first.isEmpty() ? middle : first + QLatin1Char(' ') + middle;
    QString name;
    if (isCompanyCard(p) && !company.isEmpty())
        name = company;
    else if (!first.isEmpty() && !last.isEmpty())
        name = firstNameFirst ? first + QLatin1Char(' ') + last : last + QLatin1Char(' ') + first;
    else
        name = first.isEmpty() ? last : first;
    if (name.isEmpty())
        return platform::LocalizedString(QStringLiteral("(No Name)"),
                                         QStringLiteral("Miscellaneous"));
    if (sortField == 3) {
        const QString zip = primaryZIP(p);
        if (!zip.isEmpty())
            name += QStringLiteral(" - ") + zip;
    }
    return name;
}

QList<ContactPersonPtr> LBMergeServices::unionArray(const QList<ContactPersonPtr>& array,
                                                    const QList<ContactPersonPtr>& withArray)
{
    const bool walkFirst = array.size() < withArray.size();
    const QList<ContactPersonPtr>& walked = walkFirst ? array : withArray;
    const QList<ContactPersonPtr>& other = walkFirst ? withArray : array;
    QSet<const platform::ContactPerson*> members;
    members.reserve(other.size());
    for (const ContactPersonPtr& p : other)
        members.insert(p.get());
    QList<ContactPersonPtr> common;
    for (const ContactPersonPtr& p : walked)
        if (members.contains(p.get()))
            common.append(p);
    return common;
}

QList<ContactPersonPtr> LBMergeServices::recordsMatchingSearchStr(
    const QString& text, const std::optional<QList<ContactPersonPtr>>& inSourceArray)
{
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return inSourceArray.value_or(QList<ContactPersonPtr>());
    const platform::ContactStore* store = contactStore();
    if (!store)
        return {};
    // Every person of the store as the source keeps every match.
    std::optional<QList<ContactPersonPtr>> source = inSourceArray;
    if (source && source->constData() == store->people().constData()
        && source->size() == store->people().size())
        source.reset();
    const std::optional<QList<ContactPersonPtr>>& inSourceList = source;
    // The source's members, gathered once for every word.
    QSet<const platform::ContactPerson*> sourceMembers;
    if (inSourceList) {
        sourceMembers.reserve(inSourceList->size());
        for (const ContactPersonPtr& p : *inSourceList)
            sourceMembers.insert(p.get());
    }
    QList<ContactPersonPtr> result;
    bool firstWord = true;
    for (const QString& word : words) {
        const QList<ContactPersonPtr> matches = store->peopleMatching(word);
        result = firstWord ? matches : unionArray(result, matches);
        firstWord = false;
        if (!inSourceList)
            continue;
        if (result.size() >= inSourceList->size()) {
            result = unionArray(result, *inSourceList);
        } else {
            // The shorter list's order, as the intersection keeps it.
            QList<ContactPersonPtr> kept;
            for (const ContactPersonPtr& p : std::as_const(result))
                if (sourceMembers.contains(p.get()))
                    kept.append(p);
            result = std::move(kept);
        }
    }
    return result;
}

// The selection of the columns by who is selected rather than by row, to be found again in
// lists made anew: the contacts folder changed on disk, another own card or another people
// order. Rows would point at other people after such a change, and the people the user
// chose to print for would silently become the first one of the list.
struct LBMergeServices::KeptSelection
{
    bool hadPeople = false; // the people column had rows (an empty one selects its first)
    qint64 groupRow = 0;
    QString groupName;
    QList<platform::ContactPersonPtr> people;
    QStringList subgroups;
};

LBMergeServices::KeptSelection LBMergeServices::keptSelection() const
{
    KeptSelection kept;
    kept.hadPeople = numberOfPeopleRows() > 0;
    kept.groupRow = _selectedGroupRow;
    if (_selectedGroupRow > 0 && _selectedGroupRow <= _groupArray.size())
        kept.groupName = _groupArray.at(_selectedGroupRow - 1)->name;
    for (const qint64 row : _selectedPeopleRows) {
        if (row < _subgroupArray.size())
            kept.subgroups.append(_subgroupArray.at(row)->name);
        else if (row - _subgroupArray.size() < _personArray.size())
            kept.people.append(_personArray.at(row - _subgroupArray.size()));
    }
    return kept;
}

void LBMergeServices::selectAgain(const KeptSelection& kept)
{
    // The group by its name ("All" stays "All"); one that is gone gives "All".
    _selectedGroupRow = std::min<qint64>(kept.groupRow, 0);
    bool sameGroup = kept.groupRow <= 0;
    for (qsizetype i = 0; !sameGroup && i < _groupArray.size(); ++i)
        if (_groupArray.at(i)->name == kept.groupName) {
            _selectedGroupRow = i + 1;
            sameGroup = true;
        }
    groupSelectionChanged();
    if (!kept.hadPeople || !sameGroup)
        return;
    // No row selected stands for the whole group: it still does.
    if (kept.people.isEmpty() && kept.subgroups.isEmpty()) {
        _selectedPeopleRows.clear();
        return;
    }
    // A person read again is another object: the same card has the same unique id.
    QSet<const platform::ContactPerson*> objects;
    QSet<QString> uniqueIds;
    for (const platform::ContactPersonPtr& person : kept.people) {
        objects.insert(person.get());
        if (!person->uniqueId().isEmpty())
            uniqueIds.insert(person->uniqueId());
    }
    const auto wasSelected = [&](const platform::ContactPersonPtr& person) {
        return objects.contains(person.get())
               || (!person->uniqueId().isEmpty() && uniqueIds.contains(person->uniqueId()));
    };
    QList<qint64> rows;
    for (qsizetype i = 0; i < _subgroupArray.size(); ++i)
        if (kept.subgroups.contains(_subgroupArray.at(i)->name))
            rows.append(i);
    for (qsizetype i = 0; i < _personArray.size(); ++i)
        if (wasSelected(_personArray.at(i)))
            rows.append(_subgroupArray.size() + i);
    // When none of them is left, the first row, as for a new list.
    if (!rows.isEmpty())
        _selectedPeopleRows = rows;
}

void LBMergeServices::handleSortOrderChange()
{
    selectAgain(keptSelection());
    selectionChanged();
}

void LBMergeServices::readAddressBook()
{
    const KeptSelection kept = keptSelection();
    const platform::ContactStore* store = contactStore();
    _groupArray = store ? store->groups() : QList<platform::ContactGroupPtr>();
    sortGroups(_groupArray);
    _mePerson.reset();
    selectAgain(kept);
    selectionChanged();
}

void LBMergeServices::groupSelectionChanged()
{
    const qint64 r = _selectedGroupRow;
    const platform::ContactStore* store = contactStore();
    std::optional<QList<ContactPersonPtr>> source;
    if (r == 0 && store)
        source = store->people();
    else if (r > 0 && r <= _groupArray.size())
        source = _groupArray.at(r - 1)->members;
    _selectedPeopleRows.clear();
    _personArray.clear();
    _meIndex = -1;
    if (r >= 0 && source) {
        _personArray = recordsMatchingSearchStr(_searchStr, source);
        sortPeople(_personArray, defaults().integerForKey(QStringLiteral("Contact Sort Field")));
        const ContactPersonPtr me = mePerson();
        _meIndex = me ? _personArray.indexOf(me) : -1;
    }
    _subgroupArray.clear();
    if (r >= 1 && r <= _groupArray.size()) {
        _subgroupArray = _groupArray.at(r - 1)->subgroups;
        sortGroups(_subgroupArray);
    }
    if (numberOfPeopleRows() > 0)
        _selectedPeopleRows = {0};
}

void LBMergeServices::selectionChanged()
{
    buildSelectedPeopleArray();
    if (_window.mode() == DocumentWindowController::PreviewMode)
        if (PreviewModeController* preview = _window.createController()) {
            preview->updateViewWithNewRenderingView(true);
            if (_window.pageCountText())
                preview->updatePageCountText(_window.pageCountText());
        }
    if (selectionDidChange)
        selectionDidChange();
}

void LBMergeServices::selectGroupRow(qint64 row)
{
    _selectedGroupRow = row >= 0 && row < numberOfGroupRows() ? row : -1;
    groupSelectionChanged();
    selectionChanged();
}

void LBMergeServices::selectPeopleRows(const QList<qint64>& rows)
{
    _selectedPeopleRows.clear();
    for (const qint64 row : rows)
        if (row >= 0 && row < numberOfPeopleRows() && !_selectedPeopleRows.contains(row))
            _selectedPeopleRows.append(row);
    std::sort(_selectedPeopleRows.begin(), _selectedPeopleRows.end());
    selectionChanged();
}

void LBMergeServices::processContactSearchStr(const QString& text)
{
    _searchStr = text;
    groupSelectionChanged();
    selectionChanged();
}

void LBMergeServices::buildSelectedPeopleArray()
{
    QList<ContactPersonPtr> people;
    const qint64 sortField = defaults().integerForKey(QStringLiteral("Contact Sort Field"));
    if (!_selectedPeopleRows.isEmpty()) {
        for (const qint64 row : std::as_const(_selectedPeopleRows)) {
            if (row < _subgroupArray.size())
                people += _subgroupArray.at(row)->members;
            else if (row - _subgroupArray.size() < _personArray.size())
                people.append(_personArray.at(row - _subgroupArray.size()));
        }
    } else if (_selectedGroupRow == 0) {
        people = _personArray;
    } else if (_selectedGroupRow > 0 && _selectedGroupRow <= _groupArray.size()) {
        // Each subgroup's members, then the group's own, each sorted; no search.
        for (const platform::ContactGroupPtr& subgroup : std::as_const(_subgroupArray)) {
            QList<ContactPersonPtr> members = subgroup->members;
            sortPeople(members, sortField);
            people += members;
        }
        QList<ContactPersonPtr> members = _groupArray.at(_selectedGroupRow - 1)->members;
        sortPeople(members, sortField);
        people += members;
    }
    _selectedPeople = people;
}

QString LBMergeServices::selectedCountText() const
{
    const qint64 n = _selectedPeople.size();
    if (n == 1)
        return platform::LocalizedString(QStringLiteral("1 person selected"),
                                         QStringLiteral("Miscellaneous"));
    return platform::LocalizedString(QStringLiteral("%ld people selected"),
                                     QStringLiteral("Miscellaneous"))
        .replace(QLatin1String("%ld"), QString::number(n));
}

QString LBMergeServices::groupRowText(qint64 row) const
{
    if (row == 0)
        return platform::LocalizedString(QStringLiteral("All"), QStringLiteral("Miscellaneous"));
    return row > 0 && row <= _groupArray.size() ? _groupArray.at(row - 1)->name : QString();
}

QString LBMergeServices::peopleRowText(qint64 row) const
{
    if (row < 0)
        return {};
    if (row < _subgroupArray.size())
        return _subgroupArray.at(row)->name;
    row -= _subgroupArray.size();
    if (row >= _personArray.size())
        return {};
    return displayName(*_personArray.at(row),
                       defaults().boolForKey(QStringLiteral("Display First Name First")),
                       defaults().integerForKey(QStringLiteral("Contact Sort Field")));
}

LBMergeServices::RowIcon LBMergeServices::groupRowIcon(qint64 row) const
{
    return row == 0 ? RowIcon::AllGroups : RowIcon::Group;
}

LBMergeServices::RowIcon LBMergeServices::peopleRowIcon(qint64 row) const
{
    if (row < _subgroupArray.size())
        return RowIcon::Group;
    const qint64 personRow = row - _subgroupArray.size();
    if (personRow == _meIndex)
        return RowIcon::SelfPerson;
    if (personRow < _personArray.size() && isCompanyCard(*_personArray.at(personRow)))
        return RowIcon::Organization;
    return RowIcon::Person;
}

void LBMergeServices::showOrHideColumnsAsNecessary(qint64 mode)
{
    const bool needed =
        mode != DocumentWindowController::DesignMode && _window.foundOtherContactField();
    _window.setSearchItemShown(needed);
    if (!needed && _window.columnsAreShowing())
        _window.hideColumns();
    else if (needed && !_window.columnsAreShowing())
        _window.showColumns();
}

void LBMergeServices::launchAddressBookAction()
{
    QString folder;
    if (platform::ContactStore::launchContactsFolder(&folder))
        return;
    // Without a file manager the user still learns where the contacts go.
    const auto string = [](const char* key) {
        return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
    };
    platform::Alert alert;
    alert.messageText = string("The contacts folder could not be opened.");
    alert.informativeText = string("No program was found to show folders. Veltrin reads your "
                                   "contacts from the vCard files (.vcf) in the folder "
                                   "\u201c%1\u201d.")
                                .arg(QDir::toNativeSeparators(folder));
    alert.beginSheetModalForWindow(_window.window());
}

// ==== Setting the contacts up in the window =============================================

void LBMergeServices::setUpContacts()
{
    _selectedPeople.clear();
    _meIndex = -1;
    // 4. The tables, their icons and font; row 0 of the groups.
    if (_window.groupColumn() && _window.peopleColumn() && !_contactColumns) {
        auto* columns = new LBContactColumns(*this, _window.groupColumn(), _window.peopleColumn());
        _contactColumns = columns;
        columns->setTableFontSize(defaults().integerForKey(QStringLiteral("Table Font Size")));
        selectionDidChange = [this] {
            auto* columns = qobject_cast<LBContactColumns*>(_contactColumns.data());
            if (_window.selectedPeopleCount())
                _window.selectedPeopleCount()->setText(selectedCountText());
            if (columns && !columns->isUpdating())
                columns->reload();
        };
        if (QLineEdit* search = _window.searchField())
            QObject::connect(search, &QLineEdit::textChanged, this,
                             [this](const QString& text) { processContactSearchStr(text); });
    }
    auto& center = platform::NotificationCenter::defaultCenter();
    _contactObservers.clear();
    _contactObservers.push_back(
        center.addObserver(platform::ContactStoreChangedExternallyNotification, nullptr,
                           [this](const auto&) { readAddressBook(); }));
    _contactObservers.push_back(center.addObserver(QStringLiteral("LBMePersonChangedNotification"),
                                                   nullptr, [this](const auto&) {
                                                       mePersonChanged();
                                                       readAddressBook();
                                                   }));
    _contactObservers.push_back(
        center.addObserver(QStringLiteral("LBDisplayOrderChanged"), nullptr, [this](const auto&) {
            if (auto* columns = qobject_cast<LBContactColumns*>(_contactColumns.data()))
                columns->reloadPeople();
        }));
    _contactObservers.push_back(
        center.addObserver(QStringLiteral("LBSortOrderChanged"), nullptr,
                           [this](const auto&) { handleSortOrderChange(); }));
    _contactObservers.push_back(center.addObserver(
        QStringLiteral("LBTableFontSizeChanged"), nullptr, [this](const platform::Notification& n) {
            if (auto* columns = qobject_cast<LBContactColumns*>(_contactColumns.data()))
                columns->setTableFontSize(
                    defaults().integerForKey(QStringLiteral("Table Font Size")));
            Q_UNUSED(n);
        }));
    _selectedGroupRow = 0;
    // 3. The store, last. At the launch it is read in the background once the window is on
    //    the screen: the window comes first and its people a moment later, rather than the
    //    window waiting for a large contacts folder.
    if (platform::ContactStore::sharedStoreReadInBackground()
        && !platform::ContactStore::sharedStoreIsMade() && _window.groupColumn()) {
        new platform::AfterFirstPaint(_window.groupColumn()->window(), this, [this] {
            platform::ContactStore::readSharedStoreInBackground(this, [this] {
                alertWhenContactsCannotBeRead();
                readAddressBook();
            });
        });
        return;
    }
    alertWhenContactsCannotBeRead();
    readAddressBook();
}

void LBMergeServices::alertWhenContactsCannotBeRead()
{
    // When the store cannot be read, say why (at most once a day).
    if (!contactStore()) {
        const QString key = QStringLiteral("LBLastNilAddressBookAlert");
        static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
        const double now = double(reference.msecsTo(QDateTime::currentDateTimeUtc())) / 1000.0;
        if (now - defaults().doubleForKey(key) > 86400.0) {
            platform::Alert alert;
            alert.messageText = platform::LocalizedString(
                QStringLiteral("Your contacts can't be loaded."), QStringLiteral("DialogStrings"));
            alert.informativeText = platform::LocalizedString(
                                        QStringLiteral("The contacts folder %1 cannot be read: %2"),
                                        QStringLiteral("DialogStrings"))
                                        .arg(platform::ContactStore::defaultFolder(),
                                             platform::ContactStore::sharedStoreError());
            alert.buttons = {
                platform::LocalizedString(QStringLiteral("OK"), QStringLiteral("DialogStrings")),
                platform::LocalizedString(QStringLiteral("Remind Me Later"),
                                          QStringLiteral("DialogStrings"))};
            alert.runModal();
            defaults().setDouble(now, key);
        }
    }
}
