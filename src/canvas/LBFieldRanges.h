#pragma once

// Merge fields carried beside text on a pasteboard. Rich text keeps the characters and
// their styles; the merge-field runs (LBQFieldAttributeName) travel beside it under
// LBQFieldPboardType as the ASCII text form of a property-list array, one dictionary per
// field in text order:
//
//     ( { LBFieldRangeKey = "{5, 6}"; LBFieldDictKey = { LBPropertyName = ...; }; }, ... )
//
// The range is the field's, counted from the first character of the text carried. The
// in-place editor writes and reads it (copy, paste, drags), the canvas reads it on a text
// drop, and the fields drawer writes it for a field dragged out of it.

#include "platform/core/Range.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace platform {
class AttributedString;
}

inline const QString LBQFieldPboardType = QStringLiteral("LBQFieldPboardType");
inline const QString LBFieldRangeKey = QStringLiteral("LBFieldRangeKey");
inline const QString LBFieldDictKey = QStringLiteral("LBFieldDictKey");

// The pre-formatted address blocks by kind: entry k is block kind k (0 the plain name), each
// with a "My" twin for the user's own card; titles in the "PreformattedAddressFields" table.
inline constexpr const char* LBPreformattedAddressBlockKeys[] = {"Name",
                                                                 "Prefix+Name",
                                                                 "CompanyAddress",
                                                                 "Name+Company",
                                                                 "Company+Attention",
                                                                 "Name+Title+Company",
                                                                 "Name+Dept+Company",
                                                                 "Name+Title+Dept+Company",
                                                                 "Name+Spouse",
                                                                 "Family",
                                                                 "Wedding Invitation"};

// The field list of the fields range of text touches (LBTextArea::fieldsOverlappingRange), each cut to range and counted from
// its start; null when range is empty or touches no field.
QByteArray LBFieldRangeData(const platform::AttributedString& text, const platform::Range& range);

// Puts the fields of a field list on text. Whatever the data, nothing crashes: data that is
// not the text of a property-list array changes nothing and answers false; an entry that is
// not a dictionary, has no field dictionary, or whose range is malformed, empty or not
// within text is skipped and logged.
bool LBApplyFieldRangeData(const QByteArray& data, platform::AttributedString& text);
