#pragma once

#include "core/CodePage.h"
#include "shapes/DbfField.h"

#include <QByteArray>
#include <QString>
#include <optional>

// How values are turned into the fixed-width texts of dBASE records. Numbers
// always use "." as the decimal separator, whatever the user's locale.
namespace trekora::dbf_text {

// The number a value text stands for, read as every file number is
// (text::fileNumber): "12", "-3.5", "2.5E3"; an empty text, "1,234", "12-"
// or any other text has none.
std::optional<double> parseNumber(const QString& value);

// The bytes of `value` in `field`, exactly the field's length:
// character fields take the leftmost characters in `page` that fit whole
// (a cut never splits a character) padded with spaces; numeric fields take the number
// right-aligned, as an integer (rounded halves to even) without decimals or with exactly the
// field's decimals (at most 20). No value when the text is not a number, an integer does not fit 32
// bits, or the number needs more characters than the field has: a number is never cut into a
// different one.
std::optional<QByteArray> fieldText(const DbfField& field, const QString& value,
                                    CodePage page = CodePage::Windows1252);
// The same into the field.length bytes at `out`, which are left untouched
// when the value is refused.
bool fieldTextInto(const DbfField& field, const QString& value, char* out,
                   CodePage page = CodePage::Windows1252);

// The text of a blank record: spaces for character fields, 0 with the
// field's decimals for numeric ones (spaces when even that is too wide).
QByteArray blankText(const DbfField& field);

} // namespace trekora::dbf_text
