#pragma once

// The text forms of numbers, booleans and geometry that documents and settings store, and
// the lenient readers that turn such texts back into values the way the stored files
// expect (a leading number is taken, the rest ignored; missing numbers read as 0).

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

class QColor;
class QVariant;

namespace platform {

// "{{10, 20}, {100, 50}}", "{0.5, 0.5}", "{100, 50}": numbers in their shortest exact form.
QString stringFromRect(const QRectF& rect);
QString stringFromPoint(const QPointF& point);
QString stringFromSize(const QSizeF& size);

// Lenient readers: the numbers of the text are taken in order, whatever stands between
// them; missing numbers are 0. "{{1, 2}, {3}}" reads as the rectangle (1, 2, 3, 0).
QRectF rectFromString(const QString& text);
QPointF pointFromString(const QString& text);
QSizeF sizeFromString(const QString& text);

// Number readers: leading white space, an optional sign, then the longest number that
// starts the text; the rest is ignored. No number gives 0. Out of range gives the nearest
// limit (for the real readers the largest finite value, never an infinity).
int intValue(const QString& text);        // 32-bit: "2.00" gives 2, "abc" gives 0
qint64 integerValue(const QString& text); // 64-bit
double floatValue(const QString& text);   // parsed in single precision, then widened
double doubleValue(const QString& text);
// YES for a text whose first character after white space, signs and leading zeros is
// Y, y, T, t or a digit 1-9; NO otherwise ("YES", "true", "1", "007" are YES).
bool boolValue(const QString& text);
// Whether the readers find a number at the start of the text (after white space): "0.00",
// "-2", ".5x" do; "", "abc", "-" and "." do not.
bool startsWithNumber(const QString& text);
// What a user typed, read as doubleValue() reads it; none, rather than 0, for a text that
// starts with no number.
std::optional<double> typedDouble(const QString& text);

// The same readers for a stored value of any kind: texts as above, numbers converted
// (reals truncated toward zero for the integer readers), booleans as 0 and 1; anything
// else (null, lists, dictionaries) reads 0 or NO.
int intValue(const QVariant& value);
qint64 integerValue(const QVariant& value);
double floatValue(const QVariant& value);
double doubleValue(const QVariant& value);
bool boolValue(const QVariant& value);

// Kinds of stored values: whole numbers of any width (booleans and characters are not),
// and numbers (whole or real).
bool isIntegerType(int metaTypeId);
bool isNumberType(int metaTypeId);

// Writers of the stored number forms.
// "%.2f" and "%f" are the C library's forms in the C locale: the binary value is rounded
// exactly, so a tie such as 0.125 goes to the even digit ("0.12"), while 12.345, a bit
// above its decimal text, is "12.35"; -0.0 is "-0.00"; infinities and NaN are "inf",
// "-inf" and "nan".
QString formatLong(qint64 value); // "%ld"
QString format2f(double value);   // "%.2f"
QString format6f(double value);   // "%f"

// The colour form that kits and the kit library store: the colour's sRGB red, green, blue
// and alpha, each in its shortest exact decimal form, after a word naming the form:
// "sRGB 1 0.5 0 1". A colour with components outside 0...1 (QColor's extended RGB) is
// written "extended-sRGB 1.25 0 0 1". An invalid colour, or one with a component that is
// not finite, is written as an empty text.
// Reading gives back the identical colour: an RGB colour equal to the one written, an
// extended one equal to it too; a colour of another space reads back as its toRgb().
QString orvaneStringRepresentation(const QColor& color);
// An invalid QColor for any text that is not exactly such a form (another word, missing
// or extra numbers, a number that is not finite, alpha outside 0...1), so callers can tell
// a colour they cannot read from one they can. Components beyond the range extended
// colours hold (65504) do not read either.
QColor colorWithOrvaneStringRepresentation(const QString& text);

// A new unique identifier: 36 characters, upper-case hexadecimal digits in groups of 8, 4,
// 4, 4 and 12 joined by hyphens ("E621E1F8-C36C-495A-93FC-0C247A3E6E5F").
QString UUIDString();

// Half-open containment: the low edges belong to the rectangle, the high edges do not.
bool pointInRect(const QPointF& point, const QRectF& rect);

} // namespace platform
