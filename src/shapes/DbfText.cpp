#include "shapes/DbfText.h"

#include "core/FileNumber.h"
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

} // namespace

std::optional<double> parseNumber(const QString& value) {
    if (auto plain = parsePlainDecimal(value))
        return plain;
    return text::fileNumber(value);
}

bool fieldTextInto(const DbfField& field, const QString& value, char* out, CodePage page) {
    const qsizetype width = field.length;
    if (!field.isNumeric()) {
        const qsizetype n = std::min(width, value.size());
        bool ascii = true;
        for (qsizetype i = 0; i < n && ascii; ++i) {
            const char16_t c = value[i].unicode();
            ascii = c < 0x80;
            out[i] = static_cast<char>(c);
        }
        if (ascii) {
            std::fill(out + n, out + width, ' ');
            return true;
        }
        const QByteArray bytes = codepage::encode(value, page, width);
        std::copy(bytes.begin(), bytes.end(), out);
        std::fill(out + bytes.size(), out + width, ' ');
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
    const qsizetype size = text::fixedDigits(*number, std::min<int>(field.decimals, kMaxDecimals),
                                             digits, sizeof digits);
    return size > 0 && rightAligned(digits, size, width, out);
}

std::optional<QByteArray> fieldText(const DbfField& field, const QString& value, CodePage page) {
    QByteArray out(field.length, ' ');
    if (!fieldTextInto(field, value, out.data(), page))
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
