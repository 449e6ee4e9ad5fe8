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

QByteArray rightAligned(const char* text, qsizetype size, qsizetype width) {
    QByteArray out(width, ' ');
    std::copy(text, text + size, out.data() + (width - size));
    return out;
}

// Adds one unit in the last place to the magnitude of a decimal text
// ("-0.12" → "-0.13", "9.99" → "10.00").
void incrementMagnitude(QByteArray& digits) {
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        char& c = digits[i];
        if (c == '.' || c == '-')
            continue;
        if (c != '9') {
            ++c;
            return;
        }
        c = '0';
    }
    digits.insert(digits.startsWith('-') ? 1 : 0, '1');
}

// The number with `decimals` digits after ".", at least one before it, no
// negative zero, rounded as the shared Format pattern does: to the nearest,
// an exact half away from zero.
QByteArray fixedText(double value, int decimals) {
    char buffer[400];
    // An exact half at the first dropped digit needs value * 10^(decimals+1)
    // to be a whole number, and so value * 2^(decimals+1) too; only then is
    // the text written one digit longer (exactly) and rounded by hand.
    const double scaled = std::ldexp(value, decimals + 1);
    const bool maybeHalf = std::trunc(scaled) == scaled;
    const int precision = maybeHalf ? decimals + 1 : decimals;
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    if (error != std::errc())
        return {};
    QByteArray out(buffer, end - buffer);
    if (maybeHalf) {
        const char dropped = out.back();
        out.chop(decimals == 0 ? 2 : 1);
        if (dropped >= '5')
            incrementMagnitude(out);
    }
    const bool allZero =
        std::all_of(out.begin(), out.end(), [](char c) { return c < '1' || c > '9'; });
    if (out.startsWith('-') && allZero)
        out.remove(0, 1);
    return out;
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

std::optional<QByteArray> fieldText(const DbfField& field, const QString& value) {
    const qsizetype width = field.length;
    if (!field.isNumeric()) {
        QByteArray out(width, ' ');
        const qsizetype n = std::min(width, value.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = value[i].unicode();
            out[i] = c < 0x80 ? static_cast<char>(c) : ansi::toByte(value[i]);
        }
        return out;
    }
    const auto number = parseNumber(value);
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    if (field.decimals == 0) {
        const auto integer = text::toInt32(*number);
        if (!integer)
            return std::nullopt;
        char buffer[16];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, *integer);
        const qsizetype size = result.ptr - buffer;
        if (size > width)
            return std::nullopt;
        return rightAligned(buffer, size, width);
    }
    const QByteArray digits = fixedText(*number, std::min<int>(field.decimals, kMaxDecimals));
    if (digits.isEmpty() || digits.size() > width)
        return std::nullopt;
    return rightAligned(digits.constData(), digits.size(), width);
}

QByteArray blankText(const DbfField& field) {
    if (field.isNumeric())
        if (auto zero = fieldText(field, QStringLiteral("0")))
            return *zero;
    return QByteArray(field.length, ' ');
}

} // namespace trekora::dbf_text
