#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// The text and number conventions the whole program leans on. Table cells,
// settings and file fields are text; these routines turn them into numbers and
// back the same way everywhere. File formats always use "." as the decimal
// separator, whatever the user's locale.
namespace trekora::text {

// The numeric value of the leading number of `s`: blanks, tabs and line feeds
// are ignored, reading stops at the first character that cannot continue the
// number, "&H" and "&O" prefixes read hexadecimal and octal, and a text with
// no number gives 0 ("12abc" → 12, " - 1.5e2" → -150, "abc" → 0).
double val(QStringView s);

// True when the whole of `s` (surrounding blanks aside) reads as a number:
// optional sign, digits with optional "," group separators, optional
// fraction and exponent, or a "&H"/"&O" integer. Empty text is not numeric.
bool isNumeric(QStringView s);

// Formats `value` with a numeric pattern such as "##.00000000", "0.00000000",
// "#0.0" or "####0.0": the count of "0" before the point is the least number of
// integer digits ("##.0" writes 0.5 as ".5"), the pattern's fraction length is
// the number of decimals (a "#" there is an optional digit). No group
// separators; "." as decimal separator; no negative zero.
QString format(double value, QStringView pattern);

// Writes `value` with exactly `decimals` digits after "." (at least one
// before it, no negative zero) into `buffer`, rounding to the nearest and an
// exact half away from zero, as Format does; returns the size, 0 on failure.
qsizetype fixedDigits(double value, int decimals, char* buffer, qsizetype capacity);

// Formats a date/time with a pattern of the classic Format function:
// yyyy yy mmmm mmm mm m dd d hh h nn n ss s, where "mm"/"m" right after an
// hour token means minutes. Month names are English ("hh:mm dd-mmm-yy" →
// "14:05 10-Dec-26"). Other characters are copied.
QString formatDate(const QDateTime& when, QStringView pattern);

// The shortest general text of a number, as the classic CStr writes it: up to
// 15 significant digits, no trailing zeros, exponent form outside 1e-5 … 1e15
// ("0.5", "-12", "1E-05", "1.5E+20").
QString numberText(double value);

// Integer conversion that rounds halves to the even neighbour (2.5 → 2,
// 3.5 → 4, -2.5 → -2).
std::int64_t roundHalfEven(double value);
// The same, into a 16-bit signed integer; std::nullopt on overflow.
std::optional<std::int16_t> toInt16(double value);
// The same, into a 32-bit signed integer; std::nullopt on overflow.
std::optional<std::int32_t> toInt32(double value);

// Removes leading and trailing blanks (spaces only; tabs stay).
QString trim(const QString& s);
QStringView trim(QStringView s);
// Case-insensitive equality.
bool sameText(QStringView a, QStringView b);
// Case-insensitive substring test.
bool containsText(QStringView haystack, QStringView needle);

// Splits as the classic Split does: the empty text gives an empty list, any
// other text at least one element.
QStringList split(const QString& s, const QString& delimiter);

} // namespace trekora::text
