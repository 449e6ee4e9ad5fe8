#pragma once

#include <QStringView>
#include <optional>

namespace trekora::text {

// The one reader of numbers that come from files (text, dBASE) and go into
// files: coordinates and numeric attributes alike. The whole text, blanks
// around it aside, must be a plain decimal number with "." as the decimal
// separator: an optional sign, digits with an optional fraction, an optional
// exponent ("12", "-0.5", ".5", "+3", "2.5e3"). Group separators, a trailing
// sign, hexadecimal literals and a "," as decimal separator are not numbers
// here ("48,8566", "45-", "&H1F" have none): reading them as something else
// would silently change the value.
std::optional<double> fileNumber(QStringView text);

} // namespace trekora::text
