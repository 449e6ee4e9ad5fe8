#include "core/TextConventions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace trekora::text {

namespace {

bool isBlank(QChar c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(QChar c) {
    return c >= '0' && c <= '9';
}

// Reads "&H1F" or "&O17" (blanks already removed). Returns the value and the
// number of characters used, or 0 characters when `s` is not such a literal.
std::pair<double, qsizetype> radixLiteral(const QString& s) {
    if (s.size() < 3 || s[0] != '&')
        return {0, 0};
    const QChar kind = s[1].toUpper();
    const int base = kind == 'H' ? 16 : kind == 'O' ? 8 : 0;
    if (base == 0)
        return {0, 0};
    std::int64_t value = 0;
    qsizetype i = 2;
    for (; i < s.size() && i < 2 + 16; ++i) {
        bool ok = false;
        const int digit = QStringView(s).mid(i, 1).toInt(&ok, base);
        if (!ok)
            break;
        value = value * base + digit;
    }
    if (i == 2)
        return {0, 0};
    // Four-digit hexadecimal literals are 16-bit values, as in the classic Val.
    if (base == 16 && i - 2 <= 4 && value > 0x7fff)
        value -= 0x10000;
    return {double(value), i};
}

// Length of the leading decimal number of `s` (sign, digits, fraction,
// exponent), or 0 when there is none.
qsizetype decimalPrefix(const QString& s, bool allowGroups) {
    qsizetype i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    qsizetype digits = 0;
    while (i < s.size() && (isDigit(s[i]) || (allowGroups && digits > 0 && s[i] == ','))) {
        digits += isDigit(s[i]) ? 1 : 0;
        ++i;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++digits;
            ++i;
        }
    }
    if (digits == 0)
        return 0;
    if (i < s.size() && (s[i].toUpper() == 'E' || s[i].toUpper() == 'D')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        const qsizetype expStart = j;
        while (j < s.size() && isDigit(s[j]))
            ++j;
        if (j > expStart)
            i = j;
    }
    return i;
}

double parseDecimal(QString number) {
    number.remove(',');
    for (QChar& c : number)
        if (c.toUpper() == 'D')
            c = 'E';
    const QByteArray bytes = number.toLatin1();
    return std::strtod(bytes.constData(), nullptr);
}

const char* const kMonths[] = {"January",   "February", "March",    "April",
                               "May",       "June",     "July",     "August",
                               "September", "October",  "November", "December"};

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

} // namespace

// Writes the number with `decimals` digits after ".", at least one before
// it, no negative zero, into `buffer` and returns its size (0 on failure).
// Rounds as the shared Format pattern does: to the nearest, an exact half
// away from zero.
qsizetype fixedDigits(double value, int decimals, char* buffer, qsizetype capacity) {
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

double val(QStringView s) {
    // Plain whole numbers are the common case (column indices, counts).
    if (!s.isEmpty() && s.size() <= 9) {
        qsizetype i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
        std::int64_t whole = 0;
        bool digitsOnly = i < s.size();
        for (; i < s.size() && digitsOnly; ++i) {
            digitsOnly = isDigit(s[i]);
            whole = whole * 10 + (s[i].unicode() - '0');
        }
        if (digitsOnly)
            return s[0] == '-' ? -double(whole) : double(whole);
    }
    QString compact;
    compact.reserve(s.size());
    for (QChar c : s)
        if (!isBlank(c))
            compact.append(c);
    const auto [radixValue, radixLength] = radixLiteral(compact);
    if (radixLength > 0)
        return radixValue;
    const qsizetype length = decimalPrefix(compact, false);
    if (length == 0)
        return 0.0;
    const double value = parseDecimal(compact.left(length));
    return std::isfinite(value) ? value : 0.0;
}

bool isNumeric(QStringView s) {
    const QString t = s.trimmed().toString();
    if (t.isEmpty())
        return false;
    if (radixLiteral(t).second == t.size())
        return true;
    QString body = t;
    // A sign may also trail the number ("12-").
    if (body.size() > 1 && (body.back() == '-' || body.back() == '+') && body[0] != '-' &&
        body[0] != '+')
        body.chop(1);
    return decimalPrefix(body, true) == body.size() && std::isfinite(parseDecimal(body));
}

QString format(double value, QStringView pattern) {
    const qsizetype point = pattern.indexOf('.');
    const QStringView integerPart = point < 0 ? pattern : pattern.left(point);
    const QStringView fractionPart = point < 0 ? QStringView() : pattern.mid(point + 1);
    const int minIntegerDigits = int(integerPart.count('0'));
    const int maxDecimals = int(std::min<qsizetype>(fractionPart.size(), 99));
    const int minDecimals = int(std::min<qsizetype>(fractionPart.count('0'), maxDecimals));
    if (!std::isfinite(value))
        return numberText(value);

    // Plain character work: this runs for every coordinate a file holds.
    char digits[400];
    const qsizetype size = fixedDigits(std::fabs(value), maxDecimals, digits, sizeof digits);
    const char* end = digits + size;
    const char* dot = std::find(static_cast<const char*>(digits), end, '.');
    const char* intBegin = digits;
    while (intBegin < dot && *intBegin == '0' && dot - intBegin > minIntegerDigits)
        ++intBegin;
    const char* fracBegin = dot < end ? dot + 1 : end;
    const char* fracEnd = end;
    while (fracEnd - fracBegin > minDecimals && fracEnd[-1] == '0')
        --fracEnd;

    char out[512];
    char* o = out;
    *o++ = '-'; // dropped again below unless the value is negative and not zero
    for (qsizetype pad = minIntegerDigits - (dot - intBegin); pad > 0; --pad)
        *o++ = '0';
    o = std::copy(intBegin, dot, o);
    if (point >= 0 && (fracEnd > fracBegin || maxDecimals == 0)) {
        *o++ = '.';
        o = std::copy(fracBegin, fracEnd, o);
    }
    const bool allZero = std::none_of(out + 1, o, [](char c) { return c >= '1' && c <= '9'; });
    const char* begin = (value < 0 && !allZero) ? out : out + 1;
    return QString::fromLatin1(begin, o - begin);
}

QString formatDate(const QDateTime& when, QStringView pattern) {
    const QDate date = when.date();
    const QTime time = when.time();
    QString out;
    bool afterHour = false;
    qsizetype i = 0;
    auto run = [&](QChar c) {
        qsizetype n = 0;
        while (i + n < pattern.size() && pattern[i + n].toLower() == c)
            ++n;
        return n;
    };
    auto two = [](int v) { return QString::number(v).rightJustified(2, '0'); };
    while (i < pattern.size()) {
        const QChar c = pattern[i].toLower();
        const qsizetype n =
            (c == 'y' || c == 'm' || c == 'd' || c == 'h' || c == 'n' || c == 's') ? run(c) : 0;
        if (n == 0) {
            out += pattern[i++];
            continue;
        }
        i += n;
        switch (c.unicode()) {
        case 'y':
            out += n >= 4 ? QString::number(date.year()) : two(date.year() % 100);
            break;
        case 'm':
            if (afterHour && n <= 2) {
                out += n == 2 ? two(time.minute()) : QString::number(time.minute());
            } else if (n >= 4) {
                out += QString::fromLatin1(kMonths[date.month() - 1]);
            } else if (n == 3) {
                out += QString::fromLatin1(kMonths[date.month() - 1]).left(3);
            } else {
                out += n == 2 ? two(date.month()) : QString::number(date.month());
            }
            break;
        case 'd':
            out += n >= 2 ? two(date.day()) : QString::number(date.day());
            break;
        case 'h':
            out += n >= 2 ? two(time.hour()) : QString::number(time.hour());
            break;
        case 'n':
            out += n >= 2 ? two(time.minute()) : QString::number(time.minute());
            break;
        case 's':
            out += n >= 2 ? two(time.second()) : QString::number(time.second());
            break;
        default:
            break;
        }
        afterHour = c == 'h';
    }
    return out;
}

QString numberText(double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (value == 0)
        return QStringLiteral("0");
    const double magnitude = std::fabs(value);
    char buffer[64];
    if (magnitude >= 1e15 || magnitude < 1e-5) {
        std::snprintf(buffer, sizeof buffer, "%.14E", value);
        QString s = QString::fromLatin1(buffer);
        QString mantissa = s.section('E', 0, 0);
        QString exponent = s.section('E', 1, 1);
        while (mantissa.contains('.') && mantissa.endsWith('0'))
            mantissa.chop(1);
        if (mantissa.endsWith('.'))
            mantissa.chop(1);
        const QChar sign = exponent[0];
        QString expDigits = exponent.mid(1);
        while (expDigits.size() > 2 && expDigits.startsWith('0'))
            expDigits.remove(0, 1);
        return mantissa + 'E' + sign + expDigits;
    }
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return QString::fromLatin1(buffer);
}

std::int64_t roundHalfEven(double value) {
    // nearbyint follows the default rounding mode: to nearest, ties to even.
    return static_cast<std::int64_t>(std::nearbyint(value));
}

namespace {

// Rounds halves to even into the integer type T; std::nullopt when the value
// does not fit.
template <class T> std::optional<T> roundedInto(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < double(std::numeric_limits<T>::min()) ||
        rounded > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(rounded);
}

} // namespace

std::optional<std::int16_t> toInt16(double value) {
    return roundedInto<std::int16_t>(value);
}

std::optional<std::int32_t> toInt32(double value) {
    return roundedInto<std::int32_t>(value);
}

QStringView trim(QStringView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin] == ' ')
        ++begin;
    while (end > begin && s[end - 1] == ' ')
        --end;
    return s.mid(begin, end - begin);
}

QString trim(const QString& s) {
    const QStringView trimmed = trim(QStringView(s));
    return trimmed.size() == s.size() ? s : trimmed.toString();
}

bool sameText(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool containsText(QStringView haystack, QStringView needle) {
    return haystack.contains(needle, Qt::CaseInsensitive);
}

QStringList split(const QString& s, const QString& delimiter) {
    if (s.isEmpty())
        return {};
    if (delimiter.isEmpty())
        return {s};
    return s.split(delimiter);
}

} // namespace trekora::text
