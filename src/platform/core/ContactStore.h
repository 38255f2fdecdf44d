#pragma once

// The user's contacts: people with typed properties, groups of them, and the user's own
// card. A store is read from a folder of vCard files (VCardReader): the .vcf files at the
// folder's top hold people in no group; each subfolder is a group named after it, its
// files the members and its subfolders the subgroups; one UID met in several folders is
// one person. Linked folders are followed, but each real folder is read once: a link to a
// folder read already (a loop of links among them) gives no group. The store never writes. An in-memory store (people and groups added by
// code) serves tests and batch tools the same way.
//
// People are immutable once in a store and shared (ContactPersonPtr); identity is the
// pointer. A store keeps a case-folded search text of all the values of each person,
// built once when the person is added, so searching never re-reads properties.
//
// The shared store is the one the windows use: made on first use from the contacts
// folder; watching that folder posts ContactStoreChangedExternallyNotification (once for
// a burst of changes). Main thread only.

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class QFileSystemWatcher;
class QTimer;

namespace platform {

// --- Property identifiers (stable: stored in field lists and documents) ---
inline const QString ContactFirstNameProperty = QStringLiteral("First");
inline const QString ContactLastNameProperty = QStringLiteral("Last");
inline const QString ContactMiddleNameProperty = QStringLiteral("Middle");
inline const QString ContactTitleProperty = QStringLiteral("Title"); // name prefix
inline const QString ContactSuffixProperty = QStringLiteral("Suffix");
inline const QString ContactNicknameProperty = QStringLiteral("Nickname");
inline const QString ContactOrganizationProperty = QStringLiteral("Organization");
inline const QString ContactDepartmentProperty = QStringLiteral("Department");
inline const QString ContactJobTitleProperty = QStringLiteral("JobTitle");
inline const QString ContactAddressProperty = QStringLiteral("Address");
inline const QString ContactPhoneProperty = QStringLiteral("Phone");
inline const QString ContactEmailProperty = QStringLiteral("Email");
inline const QString ContactHomePageProperty = QStringLiteral("HomePage");
inline const QString ContactURLsProperty = QStringLiteral("URLs");
inline const QString ContactInstantMessageProperty = QStringLiteral("InstantMessage");
inline const QString ContactBirthdayProperty = QStringLiteral("Birthday");
inline const QString ContactOtherDatesProperty = QStringLiteral("OtherDates");
inline const QString ContactRelatedNamesProperty = QStringLiteral("RelatedNames");
inline const QString ContactNoteProperty = QStringLiteral("Note");
inline const QString ContactUIDProperty = QStringLiteral("UID");

// Keys of an address (a dictionary value of ContactAddressProperty).
inline const QString ContactAddressStreetKey = QStringLiteral("Street");
inline const QString ContactAddressCityKey = QStringLiteral("City");
inline const QString ContactAddressStateKey = QStringLiteral("State");
inline const QString ContactAddressZIPKey = QStringLiteral("ZIP");
inline const QString ContactAddressCountryKey = QStringLiteral("Country");
inline const QString ContactAddressCountryCodeKey = QStringLiteral("CountryCode");

// A postal address: the value of each entry of ContactAddressProperty. Six texts, any of
// them empty. Held as a plain struct, not a dictionary: a large store keeps one for nearly
// every person, and a dictionary costs a node and a key a text. A QVariant holding one
// converts to the dictionary of its non-empty texts under the keys above (toMap()), for
// readers that take any dictionary value apart.
struct ContactAddress
{
    QString street; // its lines separated by '\n'
    QString city;
    QString state;
    QString zip;
    QString country;
    QString countryCode; // lower-case, two letters; empty when unknown

    // The text under an address key; empty for any other key.
    QString value(const QString& key) const;
    QVariantMap toMap() const;
    // The texts of a dictionary under the address keys; other keys are dropped.
    static ContactAddress fromMap(const QVariantMap& map);
    bool operator==(const ContactAddress&) const = default;
};

// The address a value holds; nullptr when it holds none.
const ContactAddress* contactAddressIn(const QVariant& value);

// Raw labels of multi-values (localized through the table "Contact Properties").
inline const QString ContactHomeLabel = QStringLiteral("home");
inline const QString ContactWorkLabel = QStringLiteral("work");
inline const QString ContactMobileLabel = QStringLiteral("mobile");
inline const QString ContactMainLabel = QStringLiteral("main");
inline const QString ContactFaxLabel = QStringLiteral("fax"); // a fax at home or of no kind
inline const QString ContactWorkFaxLabel = QStringLiteral("workfax");
inline const QString ContactOtherLabel = QStringLiteral("other");
inline const QString ContactSpouseLabel = QStringLiteral("spouse");
inline const QString ContactAnniversaryLabel = QStringLiteral("anniversary");

// Posted on the default centre when the shared store's folder changed (object: the store).
inline const QString ContactStoreChangedExternallyNotification =
    QStringLiteral("ContactStoreChangedExternallyNotification");

// The kinds of property values; the multi-value kinds carry the 0x100 bit.
enum ContactPropertyType : qint64 {
    ContactStringProperty = 1,
    ContactIntegerProperty = 2,
    ContactRealProperty = 3,
    ContactDateProperty = 4,
    ContactArrayProperty = 5,
    ContactDictionaryProperty = 6,
    ContactDataProperty = 7,
    ContactMultiValueMask = 0x100,
    ContactMultiStringProperty = 0x101,
    ContactMultiDateProperty = 0x104,
    ContactMultiArrayProperty = 0x105,
    ContactMultiDictionaryProperty = 0x106,
};

// Several labelled values of one property, one of them primary. An entry's identifier
// is its position in the list ("0", "1", ...).
struct ContactMultiValue
{
    struct Entry
    {
        QString label;
        QVariant value;
    };
    QList<Entry> entries;
    qsizetype primary = -1; // -1: none marked

    qsizetype count() const { return entries.size(); }
    QString primaryIdentifier() const { return QString::number(primaryIndex()); }
    // -1 when no entry has the identifier.
    qsizetype indexForIdentifier(const QString& identifier) const;
    // The primary entry's index; 0 when none is marked (and the list is not empty), -1
    // for an empty list.
    qsizetype primaryIndex() const;
};

class ContactPerson
{
public:
    ContactPerson() = default;

    const QString& uniqueId() const { return _uniqueId; }
    void setUniqueId(const QString& uid) { _uniqueId = uid; }

    // The single value of a property (QString, QDate, QByteArray, QVariantList,
    // QVariantMap); null when it has none or the property holds several values.
    QVariant value(const QString& property) const;
    void setValue(const QString& property, const QVariant& value);
    // The values of a multi-value property (made on each call); none when it has none.
    std::optional<ContactMultiValue> multiValue(const QString& property) const;
    void setMultiValue(const QString& property, const ContactMultiValue& value);
    // Every value at once, replacing those the person had: one pass where a reader has
    // all of a card's values together. A property given twice keeps its last value.
    void setValues(const QList<std::pair<QString, QVariant>>& values,
                   const QList<std::pair<QString, ContactMultiValue>>& multiValues);
    // The properties this person has values for.
    QStringList properties() const;

    // Person flags: 1 (masked with 7) shows the card as a company.
    qint64 flags() const { return _flags; }
    void setFlags(qint64 flags) { _flags = flags; }
    bool isCompany() const { return (_flags & 7) == 1; }

    // The picture's encoded bytes; empty without one.
    QByteArray imageData() const { return value(QStringLiteral("Photo")).toByteArray(); }
    void setImageData(const QByteArray& data);

    // Every value as case-folded text in UTF-8, one per line (made on each call; a store
    // keeps its people's together). UTF-8 holds the same text in half the room of
    // UTF-16, and a word's UTF-8 is found in it by the C library's byte search.
    QByteArray searchText() const;
    // The case-folded names and primary ZIP the people orders compare; built by finish().
    // The four are kept one after the other in one text: a large store keeps them for
    // every person, and one block costs less than four.
    class SortNames
    {
    public:
        QStringView first() const { return QStringView(_text).first(_firstEnd); }
        QStringView last() const
        {
            return QStringView(_text).sliced(_firstEnd, _lastEnd - _firstEnd);
        }
        QStringView company() const
        {
            return QStringView(_text).sliced(_lastEnd, _companyEnd - _lastEnd);
        }
        QStringView zip() const { return QStringView(_text).sliced(_companyEnd); }
        // A first or a last name is set (even an empty one).
        bool hasName() const { return _hasName; }

    private:
        friend class ContactPerson;
        QString _text;
        qint32 _firstEnd = 0;
        qint32 _lastEnd = 0;
        qint32 _companyEnd = 0;
        bool _hasName = false;
    };
    const SortNames& sortNames() const { return _sortNames; }
    // Builds the sort names; a store calls it when the person is added.
    void finish();

private:
    // One value, or one part of a multi-value entry, kept in _texts (see below).
    struct Slot
    {
        quint32 offset = 0;  // in _texts, in bytes; a date's Julian day
        quint32 length = 0;  // in characters
        quint8 property = 0; // in the table of the properties a slot can name
        quint8 label = 0;    // an entry's: in the table of labels, or a custom label
        quint8 kind = 0;
        quint8 flags = 0;
    };
    QList<std::pair<QString, QVariant>> allValues() const;
    QList<std::pair<QString, ContactMultiValue>> allMultiValues() const;
    const Slot* singleSlot(qsizetype property) const;
    // The ZIP of the primary address, when the addresses are kept in slots.
    bool slotZip(QString* zip) const;
    QString text(const Slot& slot) const;

    // A large store keeps tens of thousands of people, most of them a dozen short texts:
    // each text in an allocation of its own and each value in a QVariant cost several times
    // the text. The texts of the common properties (names, note, phones, e-mails,
    // addresses, dates, labels) are kept one after the other in one array, described by
    // a slot each: in Latin-1, a byte a character, where the text has no other
    // characters, else in UTF-16. Anything else (pictures, other kinds of values,
    // properties of other names) is kept as it is given, in the two lists after.
    //
    // The sort names and the flags come first: sorting reads them, and next to the
    // shared pointer's counts they are in the memory the sort touches anyway.
    SortNames _sortNames;
    qint64 _flags = 0;
    QString _uniqueId;
    QByteArray _texts;
    QList<Slot> _slots;
    QList<std::pair<QString, QVariant>> _values;
    QList<std::pair<QString, ContactMultiValue>> _multiValues;
};
using ContactPersonPtr = std::shared_ptr<const ContactPerson>;

struct ContactGroup
{
    QString name;
    QList<ContactPersonPtr> members;
    QList<std::shared_ptr<ContactGroup>> subgroups;
};
using ContactGroupPtr = std::shared_ptr<ContactGroup>;

// Something a reader could not take from a file, which it reports and skips.
struct ContactReadIssue
{
    QString file;
    qint64 line = 0; // 1-based; 0 for the whole file
    QString message;

    QString description() const;
};

class ContactStore : public QObject
{
    Q_OBJECT
public:
    // An empty in-memory store.
    ContactStore();
    ~ContactStore() override;

    // The store of the folder: its files read as described above. Issues of single
    // files (broken cards, binary files) are reported and what could be read is kept;
    // a folder that cannot be made or listed gives nullptr and the reason.
    static std::unique_ptr<ContactStore>
    readFolder(const QString& folder, QList<ContactReadIssue>* issues, QString* error);

    // "Orvane/Veltrin/Contacts" under the user's data folder.
    static QString defaultFolder();

    // The store the windows use: made from defaultFolder() (created when missing) on
    // first use, watched for changes; nullptr when that folder cannot be read
    // (sharedStoreError() says why). setSharedStore() replaces it (tests), and the
    // replacement is not watched; an empty one brings the folder's store back.
    static ContactStore* sharedStore();
    // Reads that folder on a thread of its own, then runs whenRead on the context's thread
    // (not once the context is gone); sharedStore() meanwhile waits for the read. Once the
    // store is made, only runs whenRead (from the event loop). setSharedStore() drops such a
    // read.
    static void readSharedStoreInBackground(QObject* context = nullptr,
                                            std::function<void()> whenRead = {});
    // Whether the shared store was made (or found unreadable), or is being read.
    static bool sharedStoreIsMade();
    static bool sharedStoreIsBeingRead();
    // Whether what can show its contacts a moment late (a window's contact list) has the
    // store read in the background once it is on the screen, instead of at once: the
    // program's launch, for its first window not to wait for a large contacts folder.
    static void setSharedStoreReadInBackground(bool background);
    static bool sharedStoreReadInBackground();
    static void setSharedStore(std::unique_ptr<ContactStore> store);
    static QString sharedStoreError();
    // Reads the shared store's folder again (after a change outside the program).
    void reload();

    // --- Contents ---
    void addPerson(const std::shared_ptr<ContactPerson>& person);
    // A group at the top level (its members and subgroups as given; they should be
    // people of the store).
    void addGroup(const ContactGroupPtr& group);
    const QList<ContactPersonPtr>& people() const { return _people; }
    // Every group, subgroups included, in folder order.
    QList<ContactGroupPtr> groups() const;
    const QList<ContactGroupPtr>& topLevelGroups() const { return _groups; }
    // The first person with that unique id; nullptr when none.
    ContactPersonPtr personForUniqueId(const QString& uid) const;
    // People whose search text contains the word (case-insensitive), in store order.
    QList<ContactPersonPtr> peopleMatching(const QString& word) const;
    const QString& folder() const { return _folder; }
    const QList<ContactReadIssue>& issues() const { return _issues; }

    // --- What the store knows of properties ---
    // Every property identifier, in the order of the field tree.
    static QStringList allProperties();
    static ContactPropertyType typeOfProperty(const QString& property);
    // Names of properties and labels for the user (table "Contact Properties"); an
    // unknown name stays as it is.
    static QString localizedPropertyOrLabel(const QString& name);
    // The system locale's territory as a lower-case two-letter code ("us").
    static QString defaultCountryCode();
    // Opens the contacts folder (made when missing) in the file manager; false when no
    // program takes it. The folder's path goes to folder when given.
    static bool launchContactsFolder(QString* folder = nullptr);

private:
    void watch();
    void folderChanged();

    QList<ContactPersonPtr> _people;
    // The people's search texts one after the other, each closed by a NUL, in blocks of
    // about a megabyte (one array would grow by doubling, and copy itself as it grows): a
    // search reads a few blocks of memory instead of visiting every person.
    struct SearchBlock
    {
        QByteArray text;
        qsizetype firstPerson = 0;
        QList<qsizetype> starts; // where each person's text starts in the block
    };
    QList<SearchBlock> _searchBlocks;
    QHash<QString, ContactPersonPtr> _byUid;
    QList<ContactGroupPtr> _groups;
    QString _folder;
    QList<ContactReadIssue> _issues;
    QFileSystemWatcher* _watcher = nullptr;
    QTimer* _changeTimer = nullptr;
};

} // namespace platform

Q_DECLARE_METATYPE(platform::ContactAddress)
