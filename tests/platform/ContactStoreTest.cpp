#include "platform/core/ContactStore.h"
#include "platform/core/VCardReader.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>

using namespace platform;

namespace {

const QString DataFolder = QStringLiteral(VELTRIN_TEST_DATA "/contacts");

QList<std::shared_ptr<ContactPerson>> readFixture(const QString& name,
                                                  QList<ContactReadIssue>* issues = nullptr)
{
    QFile file(DataFolder + QLatin1Char('/') + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return VCardReader::read(file.readAll(), name, issues);
}

QString text(const ContactPerson& p, const QString& property)
{
    return p.value(property).toString();
}

} // namespace

TEST(VCardReaderTest, Version21QuotedPrintableLatin1WithSoftBreaks)
{
    QList<ContactReadIssue> issues;
    const auto people = readFixture(QStringLiteral("v21-latin1.vcf"), &issues);
    ASSERT_EQ(people.size(), 1);
    EXPECT_TRUE(issues.isEmpty());
    const ContactPerson& p = *people.first();
    EXPECT_EQ(text(p, ContactLastNameProperty), QStringLiteral("Müller"));
    EXPECT_EQ(text(p, ContactFirstNameProperty), QStringLiteral("Jürgen"));
    const std::optional<ContactMultiValue> address = p.multiValue(ContactAddressProperty);
    ASSERT_TRUE(address);
    ASSERT_EQ(address->count(), 1);
    const QVariantMap a = address->entries.first().value.toMap();
    EXPECT_EQ(a.value(ContactAddressStreetKey).toString(),
              QStringLiteral("Hauptstraße 5\r\nHinterhaus"));
    EXPECT_EQ(a.value(ContactAddressCityKey).toString(), QStringLiteral("München"));
    EXPECT_EQ(a.value(ContactAddressZIPKey).toString(), QStringLiteral("80331"));
    EXPECT_EQ(a.value(ContactAddressCountryCodeKey).toString(), QStringLiteral("de"));
    EXPECT_EQ(address->entries.first().label, ContactHomeLabel);
    const std::optional<ContactMultiValue> phones = p.multiValue(ContactPhoneProperty);
    ASSERT_TRUE(phones);
    ASSERT_EQ(phones->count(), 2);
    EXPECT_EQ(phones->entries.at(0).label, ContactWorkLabel);
    EXPECT_EQ(phones->entries.at(1).label, ContactMobileLabel);
    EXPECT_EQ(phones->primaryIndex(), 1); // the 2.1 bare PREF
    // Without a UID: the file and the card's position.
    EXPECT_EQ(p.uniqueId(), QStringLiteral("v21-latin1.vcf#0"));
}

TEST(VCardReaderTest, EveryCharsetTheConvertersKnowIsReadAndAnUnknownOneIsReported)
{
    struct Case
    {
        const char* charset;
        QByteArray value; // the N property's value: last name; first name
        QString last;
        QString first;
        int issues; // reported
    };
    const Case cases[] = {
        {"SHIFT_JIS", "\x93\xfa\x96\x7b;\x91\xbe\x98\x59", QStringLiteral("日本"),
         QStringLiteral("太郎"), 0},
        {"Shift_JIS;ENCODING=QUOTED-PRINTABLE", "=93=FA=96=7B;=91=BE=98=59", QStringLiteral("日本"),
         QStringLiteral("太郎"), 0},
        {"EUC-JP", "\xc6\xfc\xcb\xdc;\xc2\xc0\xcf\xba", QStringLiteral("日本"),
         QStringLiteral("太郎"), 0},
        {"GB18030", "\xd6\xd0;\xce\xc4", QStringLiteral("中"), QStringLiteral("文"), 0},
        {"BIG5", "\xa4\xa4;\xa4\xe5", QStringLiteral("中"), QStringLiteral("文"), 0},
        {"KOI8-R", "\xf0\xd2\xc9\xd7\xc5\xd4;\xed\xc9\xd2", QStringLiteral("Привет"),
         QStringLiteral("Мир"), 0},
        {"ISO-2022-JP", "\x1b$BF|K\\\x1b(B;Taro", QStringLiteral("日本"), QStringLiteral("Taro"),
         0},
        // Unknown: read as undeclared text (UTF-8 here), and said once for the card.
        {"X-NO-SUCH", "J\xc3\xb6rg;J\xc3\xb6rg", QStringLiteral("Jörg"), QStringLiteral("Jörg"), 1},
    };
    for (const Case& c : cases) {
        const QByteArray card = QByteArray("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=") + c.charset
                                + ':' + c.value + "\r\nFN;CHARSET=" + c.charset + ':' + c.value
                                + "\r\nEND:VCARD\r\n";
        QList<ContactReadIssue> issues;
        const auto people = VCardReader::read(card, QStringLiteral("c.vcf"), &issues);
        ASSERT_EQ(people.size(), 1) << c.charset;
        EXPECT_EQ(text(*people.first(), ContactLastNameProperty), c.last) << c.charset;
        EXPECT_EQ(text(*people.first(), ContactFirstNameProperty), c.first) << c.charset;
        EXPECT_EQ(issues.size(), c.issues) << c.charset;
        for (const ContactReadIssue& issue : std::as_const(issues))
            EXPECT_TRUE(issue.message.contains(QString::fromLatin1(c.charset), Qt::CaseInsensitive))
                << issue.message.toStdString();
    }
    // Bytes that are no Shift_JIS character are replaced, and said.
    QList<ContactReadIssue> issues;
    const auto people =
        VCardReader::read("BEGIN:VCARD\r\nN;CHARSET=SHIFT_JIS:\x93\xfa\x96;x\r\nEND:VCARD\r\n",
                          QStringLiteral("c.vcf"), &issues);
    ASSERT_EQ(people.size(), 1);
    EXPECT_TRUE(text(*people.first(), ContactLastNameProperty).startsWith(QStringLiteral("日")));
    EXPECT_EQ(text(*people.first(), ContactLastNameProperty).size(), 2);
    ASSERT_EQ(issues.size(), 1);
    EXPECT_TRUE(issues.first().message.contains(QStringLiteral("SHIFT_JIS")));
}

TEST(VCardReaderTest, EachUnknownCharsetIsReportedOnceACardOnTheLineWhereItFirstOccurs)
{
    // Many different unknown charsets, each named again further down in capitals.
    constexpr int count = 300;
    QByteArray card("BEGIN:VCARD\nN:A;B\n");
    for (int i = 0; i < count; ++i)
        card += "NOTE;CHARSET=x-cs" + QByteArray::number(i) + ":\xe9\n";
    for (int i = count - 1; i >= 0; --i)
        card += "X-NOTE;CHARSET=X-CS" + QByteArray::number(i) + ":\xe9\n";
    card += "END:VCARD\n";
    const qint64 cardLines = 2 * count + 3;

    QList<ContactReadIssue> issues;
    const auto people = VCardReader::read(card + card, QStringLiteral("c.vcf"), &issues);
    ASSERT_EQ(people.size(), 2);
    EXPECT_EQ(text(*people.first(), ContactNoteProperty), QStringLiteral("é")); // as Windows-1252
    ASSERT_EQ(issues.size(), 2 * count);
    for (int i = 0; i < 2 * count; ++i) {
        const qint64 line = i < count ? i + 3 : cardLines + i - count + 3;
        const QString charset = QStringLiteral("\u201cx-cs%1\u201d").arg(i % count);
        EXPECT_EQ(issues.at(i).line, line) << i;
        EXPECT_TRUE(issues.at(i).message.contains(charset)) << issues.at(i).message.toStdString();
    }
}

TEST(VCardReaderTest, Version30Base64PhotoAndEscapes)
{
    const auto people = readFixture(QStringLiteral("v30-photo.vcf"));
    ASSERT_EQ(people.size(), 1);
    const ContactPerson& p = *people.first();
    EXPECT_EQ(p.uniqueId(), QStringLiteral("ann-1"));
    EXPECT_EQ(text(p, ContactTitleProperty), QStringLiteral("Dr."));
    EXPECT_EQ(text(p, ContactOrganizationProperty), QStringLiteral("Smith, Jones & Co"));
    EXPECT_EQ(text(p, ContactDepartmentProperty), QStringLiteral("Sales"));
    EXPECT_EQ(text(p, ContactNoteProperty), QStringLiteral("Likes tea, biscuits\nand cake"));
    EXPECT_EQ(p.value(ContactBirthdayProperty).toDate(), QDate(1980, 2, 1));
    QImage photo;
    ASSERT_TRUE(photo.loadFromData(p.imageData()));
    EXPECT_EQ(photo.size(), QSize(1, 1));
    const std::optional<ContactMultiValue> email = p.multiValue(ContactEmailProperty);
    ASSERT_TRUE(email);
    EXPECT_EQ(email->entries.at(email->primaryIndex()).value.toString(),
              QStringLiteral("ann@work.example"));
    EXPECT_FALSE(p.isCompany());
}

TEST(VCardReaderTest, Version40DataPhotoPrefKindOrgSpouseAndCustomLabels)
{
    const auto people = readFixture(QStringLiteral("v40.vcf"));
    ASSERT_EQ(people.size(), 2);
    const ContactPerson& acme = *people.at(0);
    EXPECT_TRUE(acme.isCompany());
    EXPECT_EQ(acme.uniqueId(), QStringLiteral("acme"));
    EXPECT_EQ(text(acme, ContactOrganizationProperty), QStringLiteral("Acme Ltd"));
    EXPECT_FALSE(acme.value(ContactFirstNameProperty).isValid());
    EXPECT_FALSE(acme.imageData().isEmpty());
    const std::optional<ContactMultiValue> phones = acme.multiValue(ContactPhoneProperty);
    ASSERT_TRUE(phones);
    ASSERT_EQ(phones->count(), 3);
    EXPECT_EQ(phones->primaryIndex(), 1);
    EXPECT_EQ(phones->entries.at(1).label, ContactFaxLabel);
    EXPECT_EQ(phones->entries.at(2).label, QStringLiteral("Night line"));
    const QVariantMap address =
        acme.multiValue(ContactAddressProperty)->entries.first().value.toMap();
    EXPECT_EQ(address.value(ContactAddressCountryCodeKey).toString(), QStringLiteral("us"));

    const ContactPerson& lee = *people.at(1);
    const std::optional<ContactMultiValue> related = lee.multiValue(ContactRelatedNamesProperty);
    ASSERT_TRUE(related);
    EXPECT_EQ(related->entries.first().label, ContactSpouseLabel);
    EXPECT_EQ(related->entries.first().value.toString(), QStringLiteral("Kim Lee"));
    const std::optional<ContactMultiValue> dates = lee.multiValue(ContactOtherDatesProperty);
    ASSERT_TRUE(dates);
    ASSERT_EQ(dates->count(), 2);
    EXPECT_EQ(dates->entries.at(0).value.toDate(), QDate(2010, 6, 12));
    EXPECT_EQ(dates->entries.at(0).label, ContactAnniversaryLabel);
    EXPECT_EQ(dates->entries.at(1).value.toDate(), QDate(1604, 7, 4));
    // Unknown properties stay as searchable text; a picture by URL is not fetched.
    EXPECT_EQ(text(lee, QStringLiteral("X-SHOE-SIZE")), QStringLiteral("44"));
    EXPECT_TRUE(lee.imageData().isEmpty());
}

TEST(VCardReaderTest, BrokenCardKeepsWhatItReadAndReportsFileAndLine)
{
    QList<ContactReadIssue> issues;
    const auto people = readFixture(QStringLiteral("broken.vcf"), &issues);
    ASSERT_EQ(people.size(), 1);
    EXPECT_EQ(text(*people.first(), ContactLastNameProperty), QStringLiteral("Broken"));
    ASSERT_TRUE(people.first()->multiValue(ContactPhoneProperty));
    QStringList described;
    for (const ContactReadIssue& issue : issues)
        described.append(issue.description());
    EXPECT_EQ(described.size(), 3) << described.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(described.contains(
        QStringLiteral("broken.vcf, line 4: The line has no colon; it was skipped.")));
    EXPECT_TRUE(described.contains(
        QStringLiteral("broken.vcf, line 5: The value of PHOTO cannot be decoded.")));
    EXPECT_TRUE(described.contains(
        QStringLiteral("broken.vcf, line 1: The card has no END; what it held was kept.")));
}

TEST(VCardReaderTest, BinaryAndEmptyDataGiveNoPeopleAndAReport)
{
    QList<ContactReadIssue> issues;
    EXPECT_TRUE(readFixture(QStringLiteral("binary.vcf"), &issues).isEmpty());
    ASSERT_EQ(issues.size(), 1);
    EXPECT_EQ(issues.first().line, 0);
    issues.clear();
    EXPECT_TRUE(VCardReader::read("just some words\n", QStringLiteral("t.vcf"), &issues).isEmpty());
    EXPECT_FALSE(issues.isEmpty());
    issues.clear();
    EXPECT_TRUE(VCardReader::read(QByteArray(), QStringLiteral("e.vcf"), &issues).isEmpty());
}

TEST(VCardReaderTest, Utf16AndLineEndsReadAlike)
{
    const QString card =
        QStringLiteral("BEGIN:VCARD\nVERSION:3.0\nN:Øster;Åsa\nNOTE:long\n  folded\nEND:VCARD\n");
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(card.utf16()), card.size() * 2);
    QString crlf = card;
    crlf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    for (const QByteArray& data : {card.toUtf8(), utf16, crlf.toUtf8()}) {
        const auto people = VCardReader::read(data, QStringLiteral("x.vcf"), nullptr);
        ASSERT_EQ(people.size(), 1);
        EXPECT_EQ(text(*people.first(), ContactLastNameProperty), QStringLiteral("Øster"));
        EXPECT_EQ(text(*people.first(), ContactNoteProperty), QStringLiteral("long folded"));
    }
}

TEST(VCardReaderTest, ABlankLineEndsTheLineBeforeIt)
{
    QList<ContactReadIssue> issues;
    const auto people = VCardReader::read(
        "BEGIN:VCARD\nN:A;B\nEND:VCARD\n\n folded\nBEGIN:VCARD\nN:C;D\nEND:VCARD\n",
        QStringLiteral("x.vcf"), &issues);
    ASSERT_EQ(people.size(), 2);
    EXPECT_EQ(issues.size(), 1); // the stray continuation, outside any card
}

TEST(VCardReaderTest, NamesFromTheFormattedNameAreTrimmedAsThoseOfN)
{
    const struct
    {
        QString formatted, first, last;
    } cases[] = {
        {QStringLiteral("Ann Lee"), QStringLiteral("Ann"), QStringLiteral("Lee")},
        {QStringLiteral("Ann \tLee"), QStringLiteral("Ann"), QStringLiteral("Lee")},
        {QStringLiteral("Ann  \u00a0Lee"), QStringLiteral("Ann"), QStringLiteral("Lee")},
        {QStringLiteral("Ann\t Lee"), QStringLiteral("Ann"), QStringLiteral("Lee")},
    };
    for (const auto& c : cases) {
        const auto people = VCardReader::read(
            "BEGIN:VCARD\nFN:" + c.formatted.toUtf8() + "\nEND:VCARD\n", QStringLiteral("x.vcf"),
            nullptr);
        ASSERT_EQ(people.size(), 1);
        EXPECT_EQ(text(*people.first(), ContactFirstNameProperty), c.first) << c.formatted.toStdString();
        EXPECT_EQ(text(*people.first(), ContactLastNameProperty), c.last) << c.formatted.toStdString();
    }
}

TEST(VCardReaderTest, OnlyParametersMakeALineQuotedPrintable)
{
    // A value ending in '=' continues on the next line only when the line is encoded so.
    const auto people = VCardReader::read("BEGIN:VCARD\nFN:Ann Lee\nX-QUOTED-PRINTABLE:a=\n"
                                          "NOTE:kept\nX-NOTE;ENCODING=QUOTED-PRINTABLE:b=\n"
                                          "=3D\nEND:VCARD\n",
                                          QStringLiteral("x.vcf"), nullptr);
    ASSERT_EQ(people.size(), 1);
    EXPECT_EQ(text(*people.first(), ContactNoteProperty), QStringLiteral("kept"));
}

TEST(VCardReaderTest, SoftBreaksAreFoundWhereverTheColonOfAFoldedLineComes)
{
    const QByteArray pad = QByteArray("\n =").repeated(500);
    const struct
    {
        const char* name;
        QByteArray lines; // between N and END
        QString note;
        QString issue = {}; // the one reported, if any
    } cases[] = {
        {"colon on a later continuation",
         "NOTE;ENCODING=\n QUOTED-PRINTABLE;CHARSET=UTF-8\n :a=\n=3D=\nb\n", "a=b"},
        {"quoted colon before a '=' break",
         "NOTE;X-P=\"a:=\n b:\";ENCODING=QUOTED-PRINTABLE:c=\n=3D\n", "c="},
        {"many continuations before the colon",
         "NOTE;ENCODING=QUOTED-PRINTABLE;X-PAD=" + pad + "\n :a=\n=3Db\n", "a=b"},
        {"many soft breaks after it",
         "NOTE;ENCODING=QUOTED-PRINTABLE:" + QByteArray("a=\n").repeated(500) + "b\n",
         QString(500, u'a') + u'b'},
        {"each line judged afresh", "X-Q;ENCODING=QUOTED-PRINTABLE:a=\nb\nNOTE:c=\nX-B:d\n", "c="},
        {"many continuations and never a colon", "X" + pad + "\nNOTE:kept\n", "kept",
         "x.vcf, line 3: The line has no colon; it was skipped."},
    };
    for (const auto& c : cases) {
        QList<ContactReadIssue> issues;
        const auto people = VCardReader::read("BEGIN:VCARD\nN:A;B\n" + c.lines + "END:VCARD\n",
                                              QStringLiteral("x.vcf"), &issues);
        ASSERT_EQ(people.size(), 1) << c.name;
        EXPECT_EQ(text(*people.first(), ContactNoteProperty), c.note) << c.name;
        QStringList described;
        for (const ContactReadIssue& issue : std::as_const(issues))
            described.append(issue.description());
        EXPECT_EQ(described, c.issue.isEmpty() ? QStringList() : QStringList{c.issue}) << c.name;
    }
}

TEST(ContactStoreTest, FolderTreeGivesGroupsSubgroupsAndOnePersonPerUid)
{
    QList<ContactReadIssue> issues;
    QString error;
    const auto store =
        ContactStore::readFolder(DataFolder + QStringLiteral("/tree"), &issues, &error);
    ASSERT_TRUE(store) << error.toStdString();
    EXPECT_TRUE(issues.isEmpty());
    EXPECT_EQ(store->people().size(), 4); // sam, ann (twice on disk), bob, cy
    ASSERT_EQ(store->topLevelGroups().size(), 2);
    const ContactGroupPtr friends = store->topLevelGroups().at(0);
    const ContactGroupPtr work = store->topLevelGroups().at(1);
    EXPECT_EQ(friends->name, QStringLiteral("Friends"));
    ASSERT_EQ(friends->subgroups.size(), 1);
    EXPECT_EQ(friends->subgroups.first()->name, QStringLiteral("Close"));
    EXPECT_EQ(store->groups().size(), 3);
    ASSERT_EQ(work->members.size(), 2);
    EXPECT_EQ(work->members.first(), friends->members.first()); // the same person
    EXPECT_EQ(store->personForUniqueId(QStringLiteral("bob")),
              friends->subgroups.first()->members.first());
}

// Linked folders are followed, and each real folder is read once: a loop of links ends,
// and a folder reached twice gives one group.
TEST(ContactStoreTest, LinkedFoldersAreReadOnceEach)
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("Contacts"));
    const QString outside = dir.filePath(QStringLiteral("Elsewhere/Work"));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/Friends")));
    ASSERT_TRUE(QDir().mkpath(outside));
    const auto card = [](const QString& path, const char* uid) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:") + uid + "\r\nN:" + uid
                   + ";;;;\r\nFN:" + uid + "\r\nEND:VCARD\r\n");
    };
    card(root + QStringLiteral("/Friends/ann.vcf"), "ann");
    card(outside + QStringLiteral("/bob.vcf"), "bob");
    // A loop back up the tree, a second way to Friends, the top folder itself, and a
    // folder outside the tree.
    ASSERT_TRUE(QFile::link(QStringLiteral(".."), root + QStringLiteral("/Friends/Up")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/Friends"), root + QStringLiteral("/More")));
    ASSERT_TRUE(QFile::link(root, root + QStringLiteral("/Self")));
    ASSERT_TRUE(QFile::link(outside, root + QStringLiteral("/Work")));

    QString error;
    const auto store = ContactStore::readFolder(root, nullptr, &error);
    ASSERT_TRUE(store) << error.toStdString();
    EXPECT_EQ(store->people().size(), 2);
    QStringList names;
    for (const ContactGroupPtr& group : store->groups())
        names.append(group->name + QLatin1Char(':') + QString::number(group->members.size()));
    EXPECT_EQ(names, (QStringList{"Friends:1", "Work:1"}));
}

TEST(ContactStoreTest, CardsAreTheFilesEndingInVcfOrVcardInAnyCase)
{
    QTemporaryDir dir;
    const QString root = dir.filePath(QStringLiteral("Contacts"));
    ASSERT_TRUE(QDir().mkpath(root));
    // Each file holds a card of its own name; only the cards' files are read.
    const QStringList read{"a.vcf", "b.VCF", "c.vcard", "d.VCard", "e.x.vcf"};
    const QStringList skipped{"f.vcf.txt", "g.txt", "vcf", "h.vcfx"};
    for (const QString& name : read + skipped) {
        QFile file(root + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:" + name.toUtf8() + "\r\nFN:"
                   + name.toUtf8() + "\r\nEND:VCARD\r\n");
    }
    QString error;
    const auto store = ContactStore::readFolder(root, nullptr, &error);
    ASSERT_TRUE(store) << error.toStdString();
    QStringList names;
    for (const ContactPersonPtr& person : store->people())
        names.append(person->uniqueId());
    names.sort();
    EXPECT_EQ(names, read);
}

TEST(ContactStoreTest, MissingFolderIsMadeAndUnreadableOneIsReported)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/a/b/Contacts");
    QString error;
    auto store = ContactStore::readFolder(folder, nullptr, &error);
    ASSERT_TRUE(store);
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_TRUE(store->people().isEmpty());
    // A file standing where the folder should be.
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(ContactStore::readFolder(blocker.fileName() + QStringLiteral("/Contacts"), nullptr,
                                          &error));
    EXPECT_TRUE(error.contains(blocker.fileName())) << error.toStdString();
}

TEST(ContactStoreTest, SearchIsCaseInsensitiveOverEveryValue)
{
    ContactStore store;
    for (const auto& person : readFixture(QStringLiteral("v40.vcf")))
        store.addPerson(person);
    for (const auto& person : readFixture(QStringLiteral("v30-photo.vcf")))
        store.addPerson(person);
    struct Case
    {
        const char* word;
        int count;
    } cases[] = {{"acme", 1},     {"SPRINGFIELD", 1}, {"kim", 1}, {"44", 1},
                 {"biscuits", 1}, {"ann@", 1},        {"zzz", 0}, {"", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(store.peopleMatching(QString::fromUtf8(c.word)).size(), c.count) << c.word;
}

// An address given as a dictionary is kept as every read address is: its texts under the
// address keys (others dropped), the primary one's ZIP sorted by, every text searched, and
// the dictionary of its non-empty texts given back to readers of any dictionary value.
TEST(ContactStoreTest, AddressesGivenAsDictionariesAreKeptAsAddresses)
{
    const QVariantMap home{{ContactAddressStreetKey, QStringLiteral("1 Elm St\nApt 2")},
                           {ContactAddressCityKey, QStringLiteral("Springfield")},
                           {ContactAddressZIPKey, QStringLiteral("62701")},
                           {QStringLiteral("Unknown"), QStringLiteral("dropped")}};
    const QVariantMap work{{ContactAddressCityKey, QStringLiteral("Berlin")},
                           {ContactAddressZIPKey, QStringLiteral("10115")},
                           {ContactAddressCountryCodeKey, QStringLiteral("de")}};
    auto person = std::make_shared<ContactPerson>();
    ContactMultiValue addresses;
    addresses.entries = {{ContactHomeLabel, home}, {ContactWorkLabel, work}};
    addresses.primary = 1;
    person->setMultiValue(ContactAddressProperty, addresses);
    ContactStore store;
    store.addPerson(person);

    const std::optional<ContactMultiValue> kept = person->multiValue(ContactAddressProperty);
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->count(), 2);
    const ContactAddress* first = contactAddressIn(kept->entries.at(0).value);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->street, QStringLiteral("1 Elm St\nApt 2"));
    EXPECT_EQ(first->city, QStringLiteral("Springfield"));
    EXPECT_TRUE(first->state.isEmpty());
    QVariantMap expected = home;
    expected.remove(QStringLiteral("Unknown"));
    EXPECT_EQ(kept->entries.at(0).value.toMap(), expected);
    EXPECT_EQ(kept->entries.at(1).value.toMap(), work);
    EXPECT_EQ(first->value(ContactAddressZIPKey), QStringLiteral("62701"));
    EXPECT_TRUE(first->value(QStringLiteral("Unknown")).isEmpty());
    EXPECT_EQ(person->sortNames().zip(), QStringLiteral("10115"));
    EXPECT_EQ(store.peopleMatching(QStringLiteral("apt 2")).size(), 1);
    EXPECT_EQ(store.peopleMatching(QStringLiteral("BERLIN")).size(), 1);
    EXPECT_TRUE(store.peopleMatching(QStringLiteral("dropped")).isEmpty());
}

// A person keeps the values of every kind it is given as they were given, whichever way it
// holds them: texts, dates and addresses of the usual properties, and anything else (other
// kinds of values, dates far out, properties of other names, empty or odd multi-values). A
// value set again replaces the old one in its place, an invalid one removes it.
TEST(ContactStoreTest, ValuesOfEveryKindReadBackAsGiven)
{
    ContactAddress home;
    home.street = QStringLiteral("1 Elm St\nApt 2");
    home.city = QStringLiteral("K\u00f8benhavn");
    home.countryCode = QStringLiteral("dk");
    const auto multi = [](QList<ContactMultiValue::Entry> entries, qsizetype primary) {
        ContactMultiValue values;
        values.entries = std::move(entries);
        values.primary = primary;
        return values;
    };
    const std::pair<QString, QVariant> singles[] = {
        {ContactFirstNameProperty, QStringLiteral("J\u00fcrgen")},
        {ContactLastNameProperty, QString()},
        // Latin-1 and wider texts side by side, one at an odd place.
        {ContactMiddleNameProperty, QStringLiteral("Zo\u00eb")},
        {ContactTitleProperty, QStringLiteral("\u0394\u03c1.")},
        {ContactSuffixProperty, QStringLiteral("\U0001F600 \u0141ukasz")},
        {ContactNoteProperty, QVariantList{QStringLiteral("a"), 2}},
        {ContactBirthdayProperty, QDate(1980, 2, 29)},
        {ContactOtherDatesProperty, QDate(-6000, 1, 1)},
        {ContactJobTitleProperty, QVariant::fromValue(QDate())},
        {ContactPhoneProperty, QStringLiteral("555-0100 (single)")},
        {QStringLiteral("Photo"), QByteArray("\x89PNG", 4)},
        {QStringLiteral("X-PET"), QStringLiteral("Rex")},
    };
    const std::pair<QString, ContactMultiValue> multis[] = {
        {ContactPhoneProperty,
         multi({{ContactWorkLabel, QStringLiteral("1")},
                {QStringLiteral("Night line"), QStringLiteral("2")},
                {QStringLiteral("\u591c"), QStringLiteral("\u4e00\u4e8c")},
                {QString(), QString()}},
               1)},
        {ContactAddressProperty,
         multi({{QStringLiteral("Cabin"), QVariant::fromValue(home)},
                {ContactHomeLabel, QVariant::fromValue(ContactAddress())}},
               -1)},
        {ContactOtherDatesProperty, multi({{ContactAnniversaryLabel, QDate(2010, 6, 12)}}, 0)},
        {ContactEmailProperty, multi({{ContactHomeLabel, QStringLiteral("a@b.c")}}, 5)},
        {ContactURLsProperty, multi({}, -1)},
        {ContactRelatedNamesProperty, multi({{ContactSpouseLabel, QVariantList{1}}}, -1)},
        {QStringLiteral("Routes"), multi({{ContactOtherLabel, QStringLiteral("A1")}}, 0)},
    };
    auto person = std::make_shared<ContactPerson>();
    for (const auto& [property, value] : singles)
        person->setValue(property, value);
    for (const auto& [property, value] : multis)
        person->setMultiValue(property, value);
    ContactStore store;
    store.addPerson(person);

    for (const auto& [property, value] : singles)
        EXPECT_EQ(person->value(property), value) << property.toStdString();
    for (const auto& [property, value] : multis) {
        const std::optional<ContactMultiValue> kept = person->multiValue(property);
        ASSERT_TRUE(kept) << property.toStdString();
        EXPECT_EQ(kept->primary, value.primary) << property.toStdString();
        ASSERT_EQ(kept->count(), value.count()) << property.toStdString();
        for (qsizetype i = 0; i < value.count(); ++i) {
            EXPECT_EQ(kept->entries.at(i).label, value.entries.at(i).label);
            const ContactAddress* address = contactAddressIn(value.entries.at(i).value);
            if (address)
                EXPECT_EQ(*contactAddressIn(kept->entries.at(i).value), *address);
            else
                EXPECT_EQ(kept->entries.at(i).value, value.entries.at(i).value);
        }
    }
    EXPECT_FALSE(person->value(ContactAddressProperty).isValid());
    EXPECT_FALSE(person->multiValue(ContactFirstNameProperty));
    EXPECT_EQ(person->properties().size(), qsizetype(std::size(singles) + std::size(multis)));
    EXPECT_EQ(person->sortNames().first(), QStringLiteral("j\u00fcrgen"));
    EXPECT_TRUE(person->sortNames().hasName());
    for (const char* word : {"k\u00f8benhavn", "apt 2", "night", "555-0100", "2010-06-12", "rex",
                             "ZO\u00cb", "\u03b4\u03c1.", "\u0142ukasz", "\u4e00\u4e8c"})
        EXPECT_EQ(store.peopleMatching(QString::fromUtf8(word)).size(),
                  qsizetype(std::string_view(word) != "night"))
            << word;

    ContactPerson changed = *person;
    changed.setValue(ContactFirstNameProperty, QStringLiteral("Ann"));
    changed.setValue(ContactBirthdayProperty, QVariant());
    changed.setMultiValue(ContactPhoneProperty, multi({{ContactMainLabel, QStringLiteral("3")}}, -1));
    EXPECT_EQ(changed.value(ContactFirstNameProperty), QStringLiteral("Ann"));
    EXPECT_FALSE(changed.value(ContactBirthdayProperty).isValid());
    EXPECT_EQ(changed.multiValue(ContactPhoneProperty)->entries.first().value, QStringLiteral("3"));
    EXPECT_EQ(changed.properties().first(), ContactFirstNameProperty);
    EXPECT_EQ(changed.properties().size(), person->properties().size() - 1);
    EXPECT_EQ(person->value(ContactFirstNameProperty), QStringLiteral("J\u00fcrgen"));

    // All at once, as a reader gives them: a property given twice keeps its last value.
    ContactPerson together;
    together.setValues({{ContactNoteProperty, QStringLiteral("first")},
                        {ContactLastNameProperty, QStringLiteral("Lee")},
                        {ContactNoteProperty, QStringLiteral("second")}},
                       {{ContactPhoneProperty, multis[0].second}});
    EXPECT_EQ(together.properties(),
              QStringList({ContactNoteProperty, ContactLastNameProperty, ContactPhoneProperty}));
    EXPECT_EQ(together.value(ContactNoteProperty), QStringLiteral("second"));
}

// People added one by one: each found once, in the order they were added, whichever of
// their values holds the word, the first and the last person included; no match runs from
// one person's text into the next one's.
TEST(ContactStoreTest, SearchFindsEachPersonOnceInOrder)
{
    ContactStore store;
    const auto add = [&store](const char* first, const char* last, const char* note) {
        auto person = std::make_shared<ContactPerson>();
        person->setValue(ContactFirstNameProperty, QString::fromUtf8(first));
        person->setValue(ContactLastNameProperty, QString::fromUtf8(last));
        person->setValue(ContactNoteProperty, QString::fromUtf8(note));
        store.addPerson(person);
        return ContactPersonPtr(person);
    };
    const auto ann = add("Ann", "Smith", "smithing");
    const auto bo = add("Bo", "K\u00d8BENHAVN", "");
    const auto cy = add("Cy", "Annan", "Ann's friend");
    struct Case
    {
        const char* word;
        QList<ContactPersonPtr> found;
    } cases[] = {
        {"ann", {ann, cy}}, {"SMITH", {ann}},       {"k\u00f8benhavn", {bo}},
        {"friend", {cy}},   {"ann's friend", {cy}}, {"g\nbo", {}},
        {"x", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store.peopleMatching(QString::fromUtf8(c.word)), c.found) << c.word;
}

// A store of a few megabytes of text keeps it in several blocks: every person is found in
// whichever block holds their text.
TEST(ContactStoreTest, SearchFindsEveryoneInALargeStore)
{
    ContactStore store;
    const int count = 12000;
    const QString filler(200, QLatin1Char('z'));
    for (int i = 0; i < count; ++i) {
        auto person = std::make_shared<ContactPerson>();
        person->setValue(ContactNoteProperty,
                         QStringLiteral("common %1 tag%2.").arg(filler).arg(i));
        store.addPerson(person);
    }
    EXPECT_EQ(store.peopleMatching(QStringLiteral("common")), store.people());
    for (const int i : {0, 1, 4999, 5000, 5001, count / 2, count - 1}) {
        const QList<ContactPersonPtr> found = store.peopleMatching(QStringLiteral("tag%1.").arg(i));
        ASSERT_EQ(found.size(), 1) << i;
        EXPECT_EQ(found.first(), store.people().at(i)) << i;
    }
}

TEST(ContactStoreTest, AnEmptySharedStoreBringsTheFoldersStoreBack)
{
    auto replacement = std::make_unique<ContactStore>();
    const ContactStore* given = replacement.get();
    ContactStore::setSharedStore(std::move(replacement));
    EXPECT_EQ(ContactStore::sharedStore(), given);
    // Reset by a test: the next user reads the contacts folder, not nothing.
    ContactStore::setSharedStore(nullptr);
    ContactStore* store = ContactStore::sharedStore();
    ASSERT_NE(store, nullptr) << ContactStore::sharedStoreError().toStdString();
    EXPECT_NE(store, given);
    EXPECT_TRUE(QDir(ContactStore::defaultFolder()).exists());
}

// The launch reads the contacts folder on a thread of its own and is told on its own thread
// when the read ended: the store is the folder's, living on the thread that asked (its
// watcher is made there), and a store reset after the folder changed is read again rather
// than taken from that earlier read.
TEST(ContactStoreTest, AReadStartedInTheBackgroundIsTheFoldersStoreUnlessResetSince)
{
    const QString folder = ContactStore::defaultFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto card = [&folder](const char* file, const char* uid, const char* name) {
        QFile out(folder + QLatin1Char('/') + QLatin1String(file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:") + uid + "\r\nN:" + name
                  + ";;;;\r\nEND:VCARD\r\n");
    };
    card("ann.vcf", "ann", "Archer");
    ContactStore::setSharedStore(nullptr);

    QObject context;
    bool told = false;
    ContactStore::readSharedStoreInBackground(&context, [&told] { told = true; });
    EXPECT_TRUE(ContactStore::sharedStoreIsBeingRead());
    const QDeadlineTimer deadline(10000);
    while (!told && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_TRUE(told) << "the end of the read was not told";
    ContactStore* store = ContactStore::sharedStore();
    ASSERT_NE(store, nullptr) << ContactStore::sharedStoreError().toStdString();
    EXPECT_EQ(store->thread(), QThread::currentThread());
    ASSERT_EQ(store->people().size(), 1);
    EXPECT_NE(store->personForUniqueId(QStringLiteral("ann")), nullptr);

    ContactStore::setSharedStore(nullptr);
    ContactStore::readSharedStoreInBackground();
    ASSERT_TRUE(QFile::remove(folder + QStringLiteral("/ann.vcf")));
    card("bob.vcf", "bob", "Baker");
    ContactStore::setSharedStore(nullptr);
    store = ContactStore::sharedStore();
    ASSERT_NE(store, nullptr);
    ASSERT_EQ(store->people().size(), 1);
    EXPECT_NE(store->personForUniqueId(QStringLiteral("bob")), nullptr);

    QFile::remove(folder + QStringLiteral("/bob.vcf"));
    ContactStore::setSharedStore(nullptr);
}

// The country of an address, written as a code or as a name in English or in its own
// language: two Latin letters are a code, two letters of another script a name.
TEST(VCardReaderTest, CountryNamesAndCodesGiveTheCountrysCode)
{
    const std::pair<const char*, const char*> cases[] = {
        {"US", "us"},   {"jp", "jp"},          {"Japan", "jp"}, {"日本", "jp"},
        {"中国", "cn"}, {"Deutschland", "de"}, {"", ""},
    };
    for (const auto& [name, code] : cases)
        EXPECT_EQ(VCardReader::countryCodeForName(QString::fromUtf8(name)), QLatin1String(code))
            << name;
}
