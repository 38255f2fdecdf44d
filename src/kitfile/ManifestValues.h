#pragma once

// Reading the values of a kit manifest by kind. Manifests come from other tools and other
// people, so a value of another kind than expected reads as unset, never as something
// converted out of it, with one allowance: numbers may be written as numeric text.
// Internal to the kit library.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <optional>

namespace kitfile {

// The text (never null, also when empty), or a null QString for any other kind of value.
QString stringValue(const QVariant& value);
// A list of texts, or nothing for any other kind of value (a list holding anything else).
std::optional<QStringList> stringListValue(const QVariant& value);
// A whole number (qint64) or a finite real (double), from a number or from a text that is
// exactly one decimal number; a null QVariant otherwise.
QVariant numberValue(const QVariant& value);

// Writing: a text value only when it is set (not null).
void insertIfSet(QVariantMap& map, const QString& key, const QString& value);

// A name or value in messages, between typographic quotes.
QString quoted(const QString& text);

} // namespace kitfile
