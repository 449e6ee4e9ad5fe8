#include "proj/CoordinateText.h"

#include "core/TextConventions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

namespace trekora {

// Writes `value` with eight decimals into `out`, reusing its storage. Values
// near a rounding tie, where scaling by 1e8 may tip the result, and huge
// values take the exact (slower) road.
void writeCoordinateText(double value, QString& out) {
    if (!std::isfinite(value))
        value = 0;
    const double product = value * 1e8;
    // Rounded to the nearest integer without the library call: below 2^53
    // the truncated part and the remainder are exact.
    auto whole = std::int64_t(std::abs(product) < 9e15 ? product : 0);
    const double remainder = product - double(whole);
    if (std::abs(product) >= 9e15 || std::abs(std::abs(remainder) - 0.5) < 1e-3) {
        char buffer[400];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 8);
        out = result.ec == std::errc() ? QString::fromLatin1(buffer, result.ptr - buffer)
                                       : QStringLiteral("0.00000000");
        if (out == QLatin1String("-0.00000000"))
            out.remove(0, 1);
        return;
    }
    if (remainder > 0.5)
        ++whole;
    else if (remainder < -0.5)
        --whole;
    // Digits go straight into the text's own storage, back to front.
    const auto units = std::uint64_t(whole < 0 ? -whole : whole);
    std::uint64_t integer = units / 100000000u;
    auto fraction = std::uint32_t(units % 100000000u);
    int integerDigits = 1;
    for (std::uint64_t rest = integer; rest >= 10; rest /= 10)
        ++integerDigits;
    const bool negative = whole < 0; // never a negative zero
    out.resize(qsizetype(negative) + integerDigits + 1 + 8);
    char16_t* at = reinterpret_cast<char16_t*>(out.data()) + out.size();
    for (int i = 0; i < 8; ++i, fraction /= 10)
        *--at = char16_t(u'0' + fraction % 10);
    *--at = u'.';
    do {
        *--at = char16_t(u'0' + integer % 10);
        integer /= 10;
    } while (integer != 0);
    if (negative)
        *--at = u'-';
}

QString coordinateText(double value) {
    QString text;
    writeCoordinateText(value, text);
    return text;
}

namespace {

// Reads the table's own number form ("-93.50000000", "4983071.98747271")
// directly: when the digits fit in 53 bits, digits / 10^decimals is the
// correctly rounded value, the same as any exact parser gives.
std::optional<double> plainDecimal(QStringView cell) {
    static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    qsizetype i = 0;
    const qsizetype n = cell.size();
    const bool negative = n > 0 && cell[0] == u'-';
    if (negative)
        ++i;
    std::uint64_t digits = 0;
    int count = 0;
    int decimals = -1;
    bool any = false;
    for (; i < n; ++i) {
        const char16_t c = cell[i].unicode();
        if (c >= u'0' && c <= u'9') {
            if (++count > 15)
                return std::nullopt;
            digits = digits * 10 + (c - u'0');
            any = true;
            if (decimals >= 0)
                ++decimals;
        } else if (c == u'.' && decimals < 0) {
            decimals = 0;
        } else {
            return std::nullopt;
        }
    }
    if (!any)
        return std::nullopt;
    const double value = double(digits) / kPowersOfTen[std::max(decimals, 0)];
    return negative ? -value : value;
}

} // namespace

std::optional<double> coordinateNumber(QStringView cell) {
    if (const auto plain = plainDecimal(cell))
        return plain;
    // Other spellings (blanks, exponents, long digit strings) through an
    // exact parser, and anything else as the program reads numbers.
    char ascii[48];
    const qsizetype length = cell.size();
    if (length > 0 && length < qsizetype(sizeof ascii)) {
        bool plain = true;
        for (qsizetype i = 0; i < length && plain; ++i) {
            const char16_t c = cell[i].unicode();
            plain = (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'e' || c == u'E' ||
                    c == u'+';
            ascii[i] = char(c);
        }
        if (plain && ascii[0] != '+') {
            double value = 0;
            const auto result = std::from_chars(ascii, ascii + length, value);
            if (result.ec == std::errc() && result.ptr == ascii + length && std::isfinite(value))
                return value;
        }
    }
    if (!text::isNumeric(cell))
        return std::nullopt;
    const double value = text::val(cell);
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

double coordinateValue(QStringView cell) {
    return coordinateNumber(cell).value_or(0.0);
}

} // namespace trekora
