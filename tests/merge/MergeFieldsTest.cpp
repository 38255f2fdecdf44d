// Merge-field values: lookup in the shipped lists, field dictionaries, and the resolvers
// of each kind (names, dates, times, telephone numbers, counters, imports, identity
// fields, addresses).

#include "MergeFieldsSupport.h"

#include "graphics/LBTextArea.h"
#include "platform/core/Strings.h"
#include "platform/text/AttributedString.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"

#include <QBuffer>
#include <QLocale>

namespace {

class LocaleScope
{
public:
    explicit LocaleScope(const char* name) : _saved(QLocale())
    {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
    }
    ~LocaleScope() { QLocale::setDefault(_saved); }

private:
    QLocale _saved;
};

} // namespace

TEST_F(MergeFieldsTest, LookupTellsWhichListFoundTheName)
{
    LBProcessState::fieldsList(LBProcessState::FieldsList::Custom) = QVariantList{QVariantMap{
        {QStringLiteral("fieldName"), QStringLiteral("All Fields")},
        {QStringLiteral("childArray"),
         QVariantList{QVariantMap{{QStringLiteral("fieldName"), QStringLiteral("Shoe")},
                                  {QStringLiteral("propertyName"), QStringLiteral("X-SHOE")},
                                  {QStringLiteral("propertyType"), 0}}}}}};
    struct Case
    {
        const char* name;
        bool found;
        bool my;
    } cases[] = {{"first name", true, false}, {"My First Name", true, true},
                 {"Import 1", true, true},    {"shoe", true, false},
                 {"Sender Fax", true, true},  {"Nothing Like It", false, false}};
    for (const Case& c : cases) {
        bool my = true;
        const auto f = LBMergeServices::fieldForFieldName(QString::fromLatin1(c.name), &my);
        EXPECT_EQ(f.has_value(), c.found) << c.name;
        EXPECT_EQ(my, c.my) << c.name;
    }
}

TEST_F(MergeFieldsTest, EveryNameTheMergeUsesIsInTheLists)
{
    // The address blocks' fields, the identity groups' children and the barcode sources.
    for (const char* key :
         {"First+Last", "Prefix", "Company", "JobTitle", "Department", "First", "Last", "Spouse",
          "Address", "MyFirst+Last", "MyPrefix", "MyCompany", "MyJobTitle", "MyDepartment",
          "MyFirst", "MyLast", "MySpouse", "MyAddress"})
        EXPECT_TRUE(LBMergeServices::fieldForFieldName(
            platform::LocalizedString(QString::fromLatin1(key),
                                      QStringLiteral("PreformattedAddressFields")),
            nullptr))
            << key;
    for (const char* key :
         {"Import.1", "Import.20", "Code", "Code.1", "Code.2", "Code.home", "Code.work"})
        EXPECT_TRUE(LBMergeServices::fieldForFieldName(
            platform::LocalizedString(QString::fromLatin1(key), QStringLiteral("FieldStrings")),
            nullptr))
            << key;
    for (const char* marker : {"[", "]"})
        EXPECT_EQ(LBMergeServices::propertyNameForFieldStr(QString::fromLatin1(marker)).left(4),
                  QStringLiteral("kLBQ"));
    for (const auto list : {LBProcessState::FieldsList::Standard, LBProcessState::FieldsList::My}) {
        const QVariantList& fields = LBProcessState::fieldsList(list);
        const auto phone = LBMergeServices::fieldStringAtIndex(13, QStringLiteral("Phone"), fields);
        const auto workFax =
            LBMergeServices::fieldStringAtIndex(14, QStringLiteral("Phone"), fields);
        ASSERT_TRUE(phone && workFax);
        EXPECT_EQ(LBMergeServices::fieldForFieldName(phone->string(), fields)
                      ->value(QStringLiteral("labelName")),
                  QStringLiteral("fax"));
        EXPECT_EQ(LBMergeServices::fieldForFieldName(workFax->string(), fields)
                      ->value(QStringLiteral("labelName")),
                  QStringLiteral("workfax"));
        EXPECT_FALSE(LBMergeServices::fieldStringAtIndex(15, QStringLiteral("Phone"), fields));
    }
}

TEST_F(MergeFieldsTest, NewFieldDictionariesByKind)
{
    const auto keys = [](const char* name) {
        QStringList k =
            LBMergeServices::fieldAttributeForFieldString(QString::fromLatin1(name)).keys();
        k.sort();
        return k.join(QLatin1Char(','));
    };
    EXPECT_EQ(keys("Unknown Field"), QStringLiteral("LBFieldTimeStamp"));
    EXPECT_EQ(keys("First Name"), QStringLiteral("LBFieldTimeStamp"));
    EXPECT_EQ(keys("Birthday"),
              QStringLiteral("LBDateFormatIndex,LBFieldTimeStamp,LBPropertyName"));
    EXPECT_EQ(keys("Total Count"),
              QStringLiteral("IncludeZeros,LBFieldTimeStamp,LBPropertyName,NumDigits"));
    const QVariantMap serial =
        LBMergeServices::fieldAttributeForFieldString(QStringLiteral("Serial Number"));
    EXPECT_TRUE(serial.value(QStringLiteral("IncludeZeros")).toBool());
    EXPECT_EQ(serial.value(QStringLiteral("StartNumber")).toLongLong(), 1);
    EXPECT_FALSE(LBMergeServices::fieldAttributeForFieldString(QStringLiteral("Count of Total"))
                     .value(QStringLiteral("IncludeZeros"))
                     .toBool());
    // An unknown name resolves to nothing.
    EXPECT_TRUE(services->stringForCustomField({}, 0).isNull());
}

TEST_F(MergeFieldsTest, StandardValuesBySelection)
{
    services->setSelectedPeople(addCards(card(QStringLiteral(
        "N:Smith;Ann\nTEL;TYPE=work:111\nTEL;TYPE=cell;TYPE=pref:222\nTEL;TYPE=home:333\n"
        "URL:http://a.example\nURL;TYPE=pref:http://b.example\n"
        "ADR;TYPE=home:;;1 Elm St;Springfield;IL;62701;USA"))));
    struct Case
    {
        const char* name;
        const char* value; // nullptr: no value
    } cases[] = {
        {"First Name", "Ann"},     {"Phone", "222"},          {"Phone 1", "111"},
        {"Phone 3", "333"},        {"Home Phone", "333"},     {"Main Phone", nullptr},
        {"Phone Label", "Mobile"}, {"Phone 1 Label", "Work"}, {"Home Page", "http://b.example"},
        {"City", "Springfield"},   {"Home Code", "62701"},    {"Work Code", nullptr},
        {"Code 2", nullptr},       {"Company", nullptr},
    };
    for (const Case& c : cases) {
        const QString value =
            services->stringForStandardField(field(QString::fromLatin1(c.name)), 0);
        if (c.value)
            EXPECT_EQ(value, QString::fromLatin1(c.value)) << c.name;
        else
            EXPECT_TRUE(value.isNull()) << c.name << " gave " << value.toStdString();
    }
    // Past the selected people and without an own card: no contact, no value.
    EXPECT_TRUE(services->stringForStandardField(field(QStringLiteral("First Name")), 1).isNull());
    EXPECT_TRUE(services->stringForStandardField(field(QStringLiteral("First Name")), -1).isNull());
}

TEST_F(MergeFieldsTest, NamesCompaniesAndInitials)
{
    const auto people =
        addCards(card(QStringLiteral("N:Lee;Ann;Marie;Dr.;Jr.\nORG:Acme\nKIND:org"))
                 + card(QStringLiteral("N:Lee;Ann;Marie;Dr.;Jr.\nORG:Acme"))
                 + card(QStringLiteral("ORG:Solo Works")) + card(QStringLiteral("N:;Cher")));
    services->setSelectedPeople(people);
    struct Case
    {
        const char* name;
        const char* values[4]; // for each person
    } cases[] = {
        {"Name or Company", {"Acme", "Ann Lee", "Solo Works", "Cher"}},
        {"Company or Name", {"Ann Lee", "Acme", "", ""}},
        {"Full Name or Company", {"Acme", "Dr. Ann Marie Lee Jr.", "Solo Works", "Cher"}},
        {"Company or Full Name", {"Dr. Ann Marie Lee Jr.", "Acme", "", ""}},
        {"First Last", {"Ann Lee", "Ann Lee", "", "Cher"}},
        {"First Initial", {"A", "A", "", "C"}},
        {"last initial (lower case)", {"l", "l", "", ""}},
    };
    for (const Case& c : cases)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(services->stringForCustomField(field(QString::fromLatin1(c.name)), i),
                      QString::fromLatin1(c.values[i]))
                << c.name << " of person " << i;
}

TEST_F(MergeFieldsTest, DatesInTwoLocales)
{
    const QDateTime date(QDate(2026, 2, 1), QTime(14, 5, 9));
    struct Case
    {
        qint64 format;
        const char* us;
        const char* de;
    } cases[] = {
        {0, "Sunday, February 1, 2026", "Sonntag, 1. Februar 2026"},
        {1, "2/1/26", "01.02.26"},
        {2, "Sunday, February 01, 2026", "Sonntag, Februar 01, 2026"},
        {7, "01 Feb, 2026", "01 Feb, 2026"},
        {17, "01.02.2026", "01.02.2026"},
        {21, "032", "032"},
        {22, "032/26", "032/26"},
        {23, "Sunday, February 1", "Sonntag, 1. Februar"},
        {24, "February 1, 2026", "1. Februar 2026"},
        {25, "February 1", "1. Februar"},
        {26, "Feb 1, 2026", "1. Feb. 2026"},
        {28, "2/1", "01.02"},
        {29, "", ""},
        {-1, "", ""},
    };
    for (const char* locale : {"en_US", "de_DE"}) {
        LocaleScope scope(locale);
        const bool us = QLatin1String(locale) == QLatin1String("en_US");
        for (const Case& c : cases)
            EXPECT_EQ(services->dateStringForDate(date, c.format),
                      QString::fromUtf8(us ? c.us : c.de))
                << locale << " format " << c.format;
    }
    LocaleScope scope("en_US");
    const char* times[] = {"2:05 PM", "02:05 PM", "02:05:09 PM", "14:05", "14:05:09", ""};
    for (qint64 i = 0; i < 6; ++i)
        EXPECT_EQ(services->timeStringForDate(date, i), QString::fromUtf8(times[i]))
            << "time format " << i;
}

TEST_F(MergeFieldsTest, DateFieldsOfContactsAndToday)
{
    LocaleScope scope("en_US");
    LBMergeServices::setCurrentDateForTesting(QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
    services->setSelectedPeople(addCards(card(
        QStringLiteral("N:Lee;Bo\nBDAY:1980-02-01\nANNIVERSARY:20100612\nX-CUSTOMDATE:--0704"))));
    QVariantMap attribute =
        LBMergeServices::fieldAttributeForFieldString(QStringLiteral("Birthday"));
    attribute[QStringLiteral("LBDateFormatIndex")] = 18;
    EXPECT_EQ(services->stringForDateField(field(QStringLiteral("Birthday")), attribute, 0),
              QStringLiteral("1980-02-01"));
    attribute[QStringLiteral("LBDateFormatIndex")] = 4;
    EXPECT_EQ(services->stringForMultiDateField(field(QStringLiteral("Anniversary")), attribute, 0),
              QStringLiteral("June 12, 2010"));
    attribute[QStringLiteral("LBDateFormatIndex")] = 25;
    EXPECT_EQ(services->stringForMultiDateField(field(QStringLiteral("Date 2")), attribute, 0),
              QStringLiteral("July 4"));
    EXPECT_TRUE(
        services->stringForDateField(field(QStringLiteral("Birthday")), attribute, 3).isNull());
    const QVariantMap today =
        LBMergeServices::fieldAttributeForFieldString(QStringLiteral("Today"));
    EXPECT_EQ(services->stringForDateField(field(QStringLiteral("Today")), today, -1),
              QStringLiteral("Thursday, December 10, 2026"));
    EXPECT_EQ(services->stringForTimeField(field(QStringLiteral("Time")), {}, -1),
              QStringLiteral("9:30 AM"));
}

TEST_F(MergeFieldsTest, TelephonePatterns)
{
    const QString pattern = services->phoneFormatStringAtIndex(1);
    EXPECT_EQ(pattern, QStringLiteral("(###) ###-####"));
    EXPECT_TRUE(services->phoneFormatStringAtIndex(14).isNull());
    struct Case
    {
        const char* raw;
        const char* formatted;
    } cases[] = {{"555-1234", "555-1234"},
                 {"555 123 4567", "(555) 123-4567"},
                 {"1 555 123 4567", "1 (555) 123-4567"},
                 {"+44 20 7946 0958 1", "+44 20 7946 0958 1"},
                 {"2 555 123 4567", "2 555 123 4567"}};
    for (const Case& c : cases)
        EXPECT_EQ(LBMergeServices::formatPhoneNumber(QString::fromLatin1(c.raw), pattern),
                  QString::fromLatin1(c.formatted))
            << c.raw;
    EXPECT_EQ(LBMergeServices::formatPhoneNumber(QStringLiteral("5551234567"),
                                                 services->phoneFormatStringAtIndex(13)),
              QStringLiteral("555/123-4567"));
    services->setSelectedPeople(addCards(card(QStringLiteral("N:A;B\nTEL:555 123 4567"))));
    QVariantMap attribute{{QStringLiteral("LBPhoneFormatIndex"), 2}};
    EXPECT_EQ(services->stringForPhoneField(field(QStringLiteral("Phone")), attribute, 0),
              QStringLiteral("555.123.4567"));
    attribute[QStringLiteral("LBPhoneFormatIndex")] = 0;
    EXPECT_EQ(services->stringForPhoneField(field(QStringLiteral("Phone")), attribute, 0),
              QStringLiteral("555 123 4567"));
}

TEST_F(MergeFieldsTest, Counters)
{
    struct Case
    {
        const char* name;
        qint64 start, increment;
        bool zeros;
        qint64 digits, index, total;
        const char* value;
    } cases[] = {
        {"Serial Number", 5, 2, true, 3, 0, 10, "005"},
        {"Serial Number", 5, 2, true, 3, 2, 10, "009"},
        {"Serial Number", 12, 1, true, 1, 0, 10, "2"}, // longer numbers keep their last digits
        {"Serial Number", 7, 3, false, 6, 2, 10, "13"},
        {"Count of Total", 1, 1, false, 6, 0, 40, "1 of 40"},
        {"Count of Total", 1, 1, false, 6, 39, 40, "40 of 40"},
        {"Count of Total", 101, 1, false, 6, 0, 40, "101 of 140"},
        {"Count of Total", 1, 2, false, 6, 39, 40, "79 of 79"}, // the last label's own number
        {"Count of Total", 1, 1, true, 3, 4, 40, "005 of 040"},
        {"Total Count", 0, 0, false, 6, 3, 40, "40"},
        {"Total Count", 0, 0, true, 4, 3, 40, "0040"},
        // A file's digit count beyond reason pads no further than 32 digits.
        {"Serial Number", 1, 1, true, 2000000000, 0, 10, "00000000000000000000000000000001"},
    };
    for (const Case& c : cases) {
        QVariantMap attribute{{QStringLiteral("IncludeZeros"), c.zeros},
                              {QStringLiteral("NumDigits"), c.digits}};
        if (QLatin1String(c.name) != QLatin1String("Total Count")) {
            attribute[QStringLiteral("StartNumber")] = c.start;
            attribute[QStringLiteral("Increment")] = c.increment;
        }
        EXPECT_EQ(LBMergeServices::stringForCounterField(field(QString::fromLatin1(c.name)),
                                                         attribute, c.index, c.total),
                  QString::fromLatin1(c.value))
            << c.name << " index " << c.index;
    }
}

TEST_F(MergeFieldsTest, ImportColumns)
{
    QStringList records;
    for (int i = 0; i < 15; ++i)
        records.append(QString::number(i));
    document->setImportTextArray(records, 5);
    EXPECT_EQ(services->stringForImportField(field(QStringLiteral("Import 3")), 2),
              QStringLiteral("12"));
    EXPECT_TRUE(services->stringForImportField(field(QStringLiteral("Import 7")), 2).isNull());
    EXPECT_TRUE(services->stringForImportField(field(QStringLiteral("Import 1")), 3).isNull());
    EXPECT_TRUE(services->stringForImportField(field(QStringLiteral("Import 1")), -1).isNull());
    EXPECT_EQ(services->numSelectedPeople(), 3);
}

TEST_F(MergeFieldsTest, IdentityFieldsChooseTheSendersEntry)
{
    const auto me = addCards(card(QStringLiteral(
        "UID:me\nN:Me;My\nEMAIL;TYPE=home:me@home.example\nEMAIL;TYPE=work:me@work.example\n"
        "TEL;TYPE=work:555 123 4567\nTEL;TYPE=fax,work:555 000 1111")));
    defaults().setObject(QStringLiteral("me"), QStringLiteral("My Person ID"));
    const auto run = [&](const char* name, qint64 index, qint64 override = -1) {
        QVariantMap attribute =
            LBMergeServices::fieldAttributeForFieldString(QString::fromLatin1(name));
        attribute[QStringLiteral("LBIdentityFieldIndex")] = index;
        attribute[QStringLiteral("LBPhoneFormatIndex")] = 6;
        const auto text = services->fieldStringForIdentityField(field(QString::fromLatin1(name)),
                                                                attribute, -1, override);
        return text ? text->string() : QStringLiteral("(none)");
    };
    EXPECT_EQ(run("Sender Address", 3), QStringLiteral("My Home Address"));
    EXPECT_EQ(run("Sender Address", 3, 4), QStringLiteral("My Work Address"));
    EXPECT_EQ(run("Sender Address (1-line)", 0), QStringLiteral("My Address (1-line)"));
    EXPECT_EQ(run("Sender Email", 1), QStringLiteral("My Email 1"));
    EXPECT_EQ(run("Sender Phone", 5), QStringLiteral("My Work Phone"));
    // No home fax: the first choice falls back to the work fax.
    EXPECT_EQ(run("Sender Fax", 0), QStringLiteral("My Work Fax"));
    EXPECT_EQ(run("Sender Fax", 2), QStringLiteral("My Work Fax"));
    QVariantMap attribute =
        LBMergeServices::fieldAttributeForFieldString(QStringLiteral("Sender Phone"));
    attribute[QStringLiteral("LBPhoneFormatIndex")] = 6;
    const auto phone = services->fieldStringForIdentityField(field(QStringLiteral("Sender Phone")),
                                                             attribute, -1, -1);
    ASSERT_TRUE(phone);
    const QVariantMap carried = phone->attribute(LBQFieldAttributeName, 0).toMap();
    EXPECT_EQ(carried.value(QStringLiteral("LBPhoneFormatIndex")).toLongLong(), 6);
    EXPECT_EQ(services->stringForPhoneField(field(phone->string()), carried, -1),
              QStringLiteral("555-123-4567"));
}

TEST_F(MergeFieldsTest, AddressesByCountry)
{
    const QVariantMap de{{platform::ContactAddressStreetKey, QStringLiteral("Hauptstr. 5")},
                         {platform::ContactAddressCityKey, QStringLiteral("Berlin")},
                         {platform::ContactAddressZIPKey, QStringLiteral("10115")},
                         {platform::ContactAddressCountryKey, QStringLiteral("Germany")},
                         {platform::ContactAddressCountryCodeKey, QStringLiteral("de")}};
    QVariantMap us{{platform::ContactAddressStreetKey, QStringLiteral("1 Elm St\nApt 2")},
                   {platform::ContactAddressCityKey, QStringLiteral("Springfield")},
                   {platform::ContactAddressZIPKey, QStringLiteral("62701")}};
    QVariantMap br = de;
    br[platform::ContactAddressCountryCodeKey] = QStringLiteral("br");
    QVariantMap gb = de;
    gb[platform::ContactAddressCountryCodeKey] = QStringLiteral("gb");
    gb[platform::ContactAddressStateKey] = QStringLiteral("Kent");
    QVariantMap za = gb;
    za[platform::ContactAddressCountryCodeKey] = QStringLiteral("za");
    // A United Kingdom address with no county, and a street with nothing after it.
    const QVariantMap london{{platform::ContactAddressStreetKey, QStringLiteral("1 High Street")},
                             {platform::ContactAddressCityKey, QStringLiteral("London")},
                             {platform::ContactAddressZIPKey, QStringLiteral("SW1A 1AA")},
                             {platform::ContactAddressCountryKey, QStringLiteral("United Kingdom")},
                             {platform::ContactAddressCountryCodeKey, QStringLiteral("gb")}};
    QVariantMap nz = london;
    nz[platform::ContactAddressCountryCodeKey] = QStringLiteral("nz");
    const QVariantMap streetOnly{{platform::ContactAddressStreetKey, QStringLiteral("1 Elm St")}};
    struct Case
    {
        const char* name;
        QVariantMap address;
        qint64 printCountry;
        const char* defaultCode;
        const char* text;
    } cases[] = {
        {"de from us", de, 2, "us", "Hauptstr. 5\r10115 Berlin\rGermany"},
        {"de at home", de, 2, "de", "Hauptstr. 5\r10115 Berlin"},
        {"de never", de, 0, "us", "Hauptstr. 5\r10115 Berlin"},
        {"de always", de, 1, "de", "Hauptstr. 5\r10115 Berlin\rGermany"},
        {"us without state", us, 2, "us", "1 Elm St\rApt 2\rSpringfield  62701"},
        {"br takes the first row", br, 0, "us", "Hauptstr. 5\rBerlin  10115"},
        {"gb takes the uk row", gb, 0, "us", "Hauptstr. 5\rBerlin\rKent\r10115"},
        {"za keeps its row", za, 1, "us", "Hauptstr. 5\rBerlin\rKent\r10115 Germany"},
        {"gb without county", london, 0, "us", "1 High Street\rLondon\rSW1A 1AA"},
        {"gb without county, with country", london, 2, "us",
         "1 High Street\rLondon\rSW1A 1AA\rUnited Kingdom"},
        {"nz without region", nz, 0, "us", "1 High Street\rLondon SW1A 1AA"},
        {"street alone", streetOnly, 0, "us", "1 Elm St"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LBMergeServices::addressStringByTable(
                      platform::ContactAddress::fromMap(c.address), c.printCountry,
                      QString::fromLatin1(c.defaultCode)),
                  QString::fromLatin1(c.text))
            << c.name;
    EXPECT_TRUE(LBMergeServices::addressStringByTable({}, 0, QStringLiteral("us")).isNull());

    services->setSelectedPeople(
        addCards(card(QStringLiteral("N:A;B\nADR;TYPE=work:;;1 Main St;Chicago;IL;60601;USA\n"
                                     "ADR;TYPE=home:;;Hauptstr. 5;Berlin;;10115;Germany"))));
    EXPECT_EQ(services->stringForCustomField(field(QStringLiteral("Home Address")), 0),
              QStringLiteral("Hauptstr. 5\r10115 Berlin\rGermany"));
    EXPECT_EQ(services->stringForCustomField(field(QStringLiteral("Address 1 (1-line)")), 0),
              QStringLiteral("1 Main St Chicago IL 60601"));
    EXPECT_TRUE(
        services->stringForCustomField(field(QStringLiteral("Address 2 (1-line)")), 1).isNull());

    services->setSelectedPeople(addCards(card(
        QStringLiteral("N:C;D\nADR;TYPE=HOME:;;1 High Street;London;;SW1A 1AA;United Kingdom"))));
    EXPECT_EQ(services->stringForCustomField(field(QStringLiteral("Home Address")), 0),
              QStringLiteral("1 High Street\rLondon\rSW1A 1AA\rUnited Kingdom"));
    EXPECT_EQ(services->stringForCustomField(field(QStringLiteral("Address 1 (1-line)")), 0),
              QStringLiteral("1 High Street London SW1A 1AA United Kingdom"));
}

TEST_F(MergeFieldsTest, RecordsAndUniqueIds)
{
    const auto people =
        addCards(card(QStringLiteral("UID:a\nN:A;A")) + card(QStringLiteral("UID:b\nN:B;B")));
    services->setSelectedPeople(people);
    EXPECT_EQ(services->numSelectedPeople(), 2);
    EXPECT_EQ(services->contactUIDForIndex(1, QStringLiteral("a")), QStringLiteral("b"));
    EXPECT_TRUE(services->contactUIDForIndex(2, QString()).isNull());
    defaults().setObject(QStringLiteral("a"), QStringLiteral("My Person ID"));
    EXPECT_EQ(services->contactUIDForIndex(-1, QString()), QStringLiteral("a"));
    // A design without contact fields prints once and has no ids.
    controller->_foundOtherContactField = false;
    EXPECT_EQ(services->numSelectedPeople(), 1);
    EXPECT_TRUE(services->contactUIDForIndex(0, QString()).isNull());
}

namespace {

// A text box of runs: "{Name}" is a merge-field run of that name, anything else plain.
std::shared_ptr<LBTextArea> fieldBox(const QStringList& parts, qint64 type = 0)
{
    platform::AttributedString text;
    for (const QString& part : parts) {
        if (part.startsWith(QLatin1Char('{'))) {
            const QString name = part.mid(1, part.size() - 2);
            text.appendAttributedString(platform::AttributedString(
                name,
                {{LBQFieldAttributeName, LBMergeServices::fieldAttributeForFieldString(name)}}));
        } else {
            text.appendAttributedString(platform::AttributedString(part));
        }
    }
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(QRectF(0, 0, 200, 60));
    box->setContents(text);
    if (type)
        box->setTextBoxType(type);
    return box;
}

} // namespace

TEST_F(MergeFieldsTest, ScanFindsWhatTheDesignAsksOfTheRecords)
{
    struct Case
    {
        const char* name;
        QStringList parts;
        qint64 type;
        bool other, delivery, ret;
    } cases[] = {
        {"date, counter and import only",
         {"{Today} ", "{Serial Number}", "{Import 2}"},
         0,
         false,
         false,
         false},
        {"own card only", {"{My First Name}"}, 0, false, false, false},
        {"a contact field", {"Dear ", "{First Name}"}, 0, true, false, false},
        {"unknown name", {"{Nothing}"}, 0, false, false, false},
        {"delivery box", {"plain"}, LBTextArea::DeliveryAddressBox, true, true, false},
        {"return box", {"{First Name}"}, LBTextArea::ReturnAddressBox, false, false, true},
    };
    for (const Case& c : cases) {
        document->documentGraphics()[0][0].clear();
        document->documentGraphics()[0][0].append(fieldBox(c.parts, c.type));
        const auto scan = services->scanGraphicsForContactFields();
        EXPECT_EQ(scan.otherContactField, c.other) << c.name;
        EXPECT_EQ(scan.deliveryAddress, c.delivery) << c.name;
        EXPECT_EQ(scan.returnAddress, c.ret) << c.name;
        controller->_foundOtherContactField = scan.otherContactField;
        // Without contact fields and imports the design prints as one record.
        EXPECT_EQ(services->numSelectedPeople(), c.other ? 0 : 1) << c.name;
    }
}

TEST_F(MergeFieldsTest, AddressBlocks)
{
    struct Case
    {
        const char* name;
        bool my;
        const char* text;
    } cases[] = {
        {"Name", false, "First Last\rAddress"},
        {"Prefix+Name", false, "[Prefix ]First Last\rAddress"},
        {"MyCompany+Attention", true, "My Company\rAttention: My First Last\rMy Address"},
        {"Name+Spouse", false, "First Name [and Spouse ]Last Name\rAddress"},
        {"Family", false, "The Last Name Family\rAddress"},
        {"Wedding Invitation", false, "Mr. and Mrs. First Last\rAddress"},
        {"Name+Title+Dept+Company", false, "First Last\rJob Title\rDepartment\rCompany\rAddress"},
    };
    for (const Case& c : cases) {
        const auto block =
            services->preformattedAddressStringForFieldStr(QString::fromLatin1(c.name), c.my);
        ASSERT_TRUE(block) << c.name;
        EXPECT_EQ(block->string(), QString::fromLatin1(c.text)) << c.name;
    }
    // Every run but the plain texts is a field the lists know.
    const auto block =
        services->preformattedAddressStringForFieldStr(QStringLiteral("Name+Spouse"), false);
    qint64 fields = 0;
    block->enumerateAttribute(LBQFieldAttributeName, platform::Range(0, block->length()),
                              [&](const QVariant& v, const platform::Range& r, bool&) {
                                  if (v.isNull())
                                      return;
                                  ++fields;
                                  const QString name = block->string().mid(r.location, r.length);
                                  EXPECT_TRUE(LBMergeServices::fieldForFieldName(name, nullptr))
                                      << name.toStdString();
                              });
    EXPECT_EQ(fields, 6);
}

TEST_F(MergeFieldsTest, BlockTextBoxShrinksToTheLabel)
{
    layout()[DimensionInfo::labelHeight] = 72.0;
    layout()[DimensionInfo::labelWidth] = 150.0;
    const auto box =
        services->textObjForPreformattedFieldStr(QStringLiteral("MyName+Title+Dept+Company"));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->textBoxType(), LBTextArea::ReturnAddressBox);
    EXPECT_DOUBLE_EQ(box->bounds().width(), 130.0);
    EXPECT_LE(box->bounds().height(), 62.0);
    const QFont font = box->contents()
                           ->attributedString()
                           .attribute(platform::FontAttributeName, 0)
                           .value<QFont>();
    EXPECT_LT(font.pointSizeF(), 12.0);
    EXPECT_EQ(services->textObjForPreformattedFieldStr(QStringLiteral("Name"))->textBoxType(),
              LBTextArea::DeliveryAddressBox);
}

TEST_F(MergeFieldsTest, PicturesOfRecordsForPictureGraphics)
{
    const QByteArray png = redPNG(6, 3);
    auto withPicture = std::make_shared<platform::ContactPerson>();
    withPicture->setUniqueId(QStringLiteral("me"));
    withPicture->setImageData(png);
    store.addPerson(withPicture);
    const auto plain = addCards(card(QStringLiteral("UID:p\nN:P;P\nADR:;;1 St;X;;12345-678;")));
    services->setSelectedPeople({withPicture, plain.first()});
    defaults().setObject(QStringLiteral("me"), QStringLiteral("My Person ID"));
    LBImage contact;
    contact.setSpecialImageType(LBImage::ContactPicture);
    ASSERT_TRUE(services->substituteImageForGraphic(contact, 0));
    EXPECT_EQ(services->substituteImageForGraphic(contact, 0)->pixelsWide(), 6);
    EXPECT_FALSE(services->substituteImageForGraphic(contact, 1));
    EXPECT_FALSE(services->substituteImageForGraphic(contact, -1));
    LBImage mine;
    mine.setSpecialImageType(LBImage::MyPicture);
    EXPECT_TRUE(services->substituteImageForGraphic(mine, 1));

    document->setImportTextArray({QStringLiteral("12345"), QStringLiteral("67890")}, 1);
    auto barcode = LBBarcodeImage::withBarcodeType(LBCode128Barcode);
    barcode->setBarcodeDataSource(LBBarcodeImage::ImportField);
    barcode->setImportFieldIndex(0);
    const QString designText = barcode->barcodeDataString();
    const auto first = services->substituteImageForGraphic(*barcode, 0);
    const auto second = services->substituteImageForGraphic(*barcode, 1);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_EQ(barcode->barcodeDataString(), designText); // the design's barcode stays
    // A postal code of the contact, its digits only.
    document->setImportTextArray({}, 0);
    auto postal = LBBarcodeImage::withBarcodeType(LBCode128Barcode);
    postal->setBarcodeDataSource(LBBarcodeImage::ContactCodeField);
    postal->setAddressBookFieldIndex(0);
    EXPECT_TRUE(services->substituteImageForGraphic(*postal, 1));
}

TEST_F(MergeFieldsTest, TheDefaultAddressBlockHoldsItsLinesUnbroken)
{
    struct Case
    {
        const char* what;
        double labelWidth;
        double labelHeight;
        bool returnAddress;
    };
    const Case cases[] = {
        {"30-up address labels", 189, 72, false},
        {"30-up return labels", 189, 72, true},
        {"small labels, smaller text", 126, 36, false},
        {"shipping labels", 288, 144, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        while (!document->pageGraphics()[document->selectedLayerIndex()].isEmpty())
            document->removeGraphicAtIndex(0, document->selectedLayerIndex());
        const QVariantMap layout{{DimensionInfo::labelWidth, c.labelWidth},
                                 {DimensionInfo::labelHeight, c.labelHeight},
                                 {DimensionInfo::numRows, qint64(10)},
                                 {DimensionInfo::numColumns, qint64(3)},
                                 {DimensionInfo::paperSize, QStringLiteral("Letter")}};
        controller->chooseBlankLayout(layout, false, 500, false, true, true, c.returnAddress);
        const LBDocument::Layer& layer = document->pageGraphics()[document->selectedLayerIndex()];
        ASSERT_EQ(layer.size(), 1);
        auto* box = dynamic_cast<LBTextArea*>(layer.first().get());
        ASSERT_NE(box, nullptr);
        // Laid out at the box's width, the block takes no more lines than unbroken.
        EXPECT_LE(box->requiredSize(box->bounds().width()).height(),
                  box->requiredSize(LBTextArea::maxSize().width()).height())
            << box->contents()->attributedString().string().toStdString() << " in "
            << box->bounds().width();
        EXPECT_LE(box->bounds().right(), c.labelWidth);
        EXPECT_GE(box->bounds().left(), 0.0);
        // The merged addresses, longer than the field names, have the label's width.
        EXPECT_GE(box->bounds().width(), c.labelWidth - 10);
    }
}
