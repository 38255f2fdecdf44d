#pragma once

// Reads vCard data (versions 2.1, 3.0 and 4.0; any number of cards) into contact people.
//
// Lines may end in CR LF, CR or LF; a leading byte-order mark picks UTF-8 or UTF-16.
// Folded lines are joined, quoted-printable values with their soft line breaks decoded,
// CHARSET honoured (every charset the system's converters know, through ICU too:
// Shift_JIS, EUC-JP, GB18030, Big5, KOI8-R, ...; undeclared text is UTF-8 when it is
// valid UTF-8, else Windows-1252), BASE64 / b values and data: URIs decoded, text escapes
// undone. A PHOTO given by URL is never fetched. An unknown charset is reported (once a
// card) and its text read as undeclared; bytes not valid in their charset are replaced
// and reported.
//
// Bad input never stops the reader: a card without END keeps what it read, a line
// without a colon and a value that cannot be decoded are skipped, and each is reported
// with the file and line. Data that is not text (a NUL byte, or no card at all in it) is
// reported and gives no people.
//
// Mapping (vCard -> property identifiers of ContactStore.h):
//   N          Last; First; Middle; Title (prefix); Suffix   (FN splits into First Last
//              when there is no N; KIND:org keeps FN as the organization when there is no ORG)
//   NICKNAME   Nickname            ORG   Organization; Department       TITLE  JobTitle
//   ADR        Address (multi-value dictionary: Street, City, State, ZIP, Country,
//              CountryCode from a two-letter country or the country's name)
//   TEL        Phone (multi)       EMAIL Email (multi)       IMPP  InstantMessage (multi)
//   URL        URLs (multi; the first also HomePage)
//   BDAY       Birthday (date)     ANNIVERSARY and X- properties holding a date:
//              OtherDates (multi-value dates)
//   RELATED    RelatedNames (multi; TYPE=spouse labels the spouse)
//   NOTE       Note                PHOTO  Photo (picture data)
//   UID        the unique id (else "<file>#<position>")
//   KIND:org   the company flag    anything else: kept as text under its own name
// Labels come from TYPE (home, work, mobile for cell, main, fax, workfax
// for a fax at work, other) or from a
// grouped X-...LABEL property of the same group; PREF (or TYPE=pref) marks the primary
// value. Years of dates without a year read as 1604.

#include "platform/core/ContactStore.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

namespace platform {

class VCardReader
{
public:
    static QList<std::shared_ptr<ContactPerson>>
    read(const QByteArray& data, const QString& fileName, QList<ContactReadIssue>* issues);

    // The lower-case two-letter code of a country given by code or name ("de",
    // "Germany", "Deutschland" when the system knows that name); empty when unknown.
    static QString countryCodeForName(const QString& name);
};

} // namespace platform
