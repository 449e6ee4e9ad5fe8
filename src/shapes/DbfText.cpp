#include "shapes/DbfText.h"

#include "core/AnsiCodePage.h"
#include "core/TextConventions.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace trekora::dbf_text {

namespace {

constexpr int kMaxDecimals = 20;

// Plain decimal texts ("-12.50") are by far the most common; they are read
// without building intermediate strings.
std::optional<double> parsePlainDecimal(const QString& value) {
    char buffer[64];
    const qsizetype n = value.size();
    if (n == 0 || n >= qsizetype(sizeof buffer))
        return std::nullopt;
    bool digits = false;
    bool point = false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = value[i].unicode();
        if (c >= '0' && c <= '9')
            digits = true;
        else if (c == '.' && !point)
            point = true;
        else if (!(c == '-' && i == 0))
            return std::nullopt;
        buffer[i] = static_cast<char>(c);
    }
    if (!digits)
        return std::nullopt;
    double result = 0;
    const auto [end, error] = std::from_chars(buffer, buffer + n, result);
    if (error != std::errc() || end != buffer + n || !std::isfinite(result))
        return std::nullopt;
    return result;
}

// Writes `text` right-aligned into the `width` bytes at `out`; false when it
// does not fit.
bool rightAligned(const char* text, qsizetype size, qsizetype width, char* out) {
    if (size > width)
        return false;
    std::fill(out, out + (width - size), ' ');
    std::copy(text, text + size, out + (width - size));
    return true;
}

// Adds one unit in the last place to the magnitude of the decimal text in
// buffer[0, size) ("-0.12" → "-0.13", "9.99" → "10.00"); returns the new size.
qsizetype incrementMagnitude(char* buffer, qsizetype size) {
    for (qsizetype i = size - 1; i >= 0; --i) {
        char& c = buffer[i];
        if (c == '.' || c == '-')
            continue;
        if (c != '9') {
            ++c;
            return size;
        }
        c = '0';
    }
    const qsizetype at = buffer[0] == '-' ? 1 : 0;
    std::copy_backward(buffer + at, buffer + size, buffer + size + 1);
    buffer[at] = '1';
    return size + 1;
}

// Writes the number with `decimals` digits after ".", at least one before
// it, no negative zero, into `buffer` and returns its size (0 on failure).
// Rounds as the shared Format pattern does: to the nearest, an exact half
// away from zero.
qsizetype fixedText(double value, int decimals, char* buffer, qsizetype capacity) {
    // An exact half at the first dropped digit needs value * 10^(decimals+1)
    // to be a whole number, and so value * 2^(decimals+1) too; only then is
    // the text written one digit longer (exactly) and rounded by hand.
    const double scaled = std::ldexp(value, decimals + 1);
    const bool maybeHalf = std::trunc(scaled) == scaled;
    const int precision = maybeHalf ? decimals + 1 : decimals;
    const auto [end, error] =
        std::to_chars(buffer, buffer + capacity - 1, value, std::chars_format::fixed, precision);
    if (error != std::errc())
        return 0;
    qsizetype size = end - buffer;
    if (maybeHalf) {
        const char dropped = buffer[size - 1];
        size -= decimals == 0 ? 2 : 1;
        if (dropped >= '5')
            size = incrementMagnitude(buffer, size);
    }
    const bool allZero =
        std::all_of(buffer, buffer + size, [](char c) { return c < '1' || c > '9'; });
    if (buffer[0] == '-' && allZero) {
        std::copy(buffer + 1, buffer + size, buffer);
        --size;
    }
    return size;
}

} // namespace

std::optional<double> parseNumber(const QString& value) {
    if (auto plain = parsePlainDecimal(value))
        return plain;
    QString t = value.trimmed();
    if (!text::isNumeric(t))
        return std::nullopt;
    bool negate = false;
    if (t.size() > 1 && (t.back() == '-' || t.back() == '+') && t[0] != '-' && t[0] != '+') {
        negate = t.back() == '-';
        t.chop(1);
    }
    t.remove(',');
    const double number = text::val(t);
    return negate ? -number : number;
}

bool fieldTextInto(const DbfField& field, const QString& value, char* out) {
    const qsizetype width = field.length;
    if (!field.isNumeric()) {
        const qsizetype n = std::min(width, value.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = value[i].unicode();
            out[i] = c < 0x80 ? static_cast<char>(c) : ansi::toByte(value[i]);
        }
        std::fill(out + n, out + width, ' ');
        return true;
    }
    const auto number = parseNumber(value);
    if (!number || !std::isfinite(*number))
        return false;
    if (field.decimals == 0) {
        const auto integer = text::toInt32(*number);
        if (!integer)
            return false;
        char buffer[16];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, *integer);
        return rightAligned(buffer, result.ptr - buffer, width, out);
    }
    char digits[400];
    const qsizetype size =
        fixedText(*number, std::min<int>(field.decimals, kMaxDecimals), digits, sizeof digits);
    return size > 0 && rightAligned(digits, size, width, out);
}

std::optional<QByteArray> fieldText(const DbfField& field, const QString& value) {
    QByteArray out(field.length, ' ');
    if (!fieldTextInto(field, value, out.data()))
        return std::nullopt;
    return out;
}

QByteArray blankText(const DbfField& field) {
    if (field.isNumeric())
        if (auto zero = fieldText(field, QStringLiteral("0")))
            return *zero;
    return QByteArray(field.length, ' ');
}

} // namespace trekora::dbf_text
