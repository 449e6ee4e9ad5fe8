#include "core/FileNumber.h"

#include <QByteArray>
#include <charconv>
#include <cmath>

namespace trekora::text {

namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Whether `t` has the shape sign? digits [. digits] [e sign? digits].
bool plainShape(QStringView t) {
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(t[i].unicode())) {
        ++i;
        ++digits;
    }
    if (i < n && t[i] == u'.') {
        ++i;
        while (i < n && isDigit(t[i].unicode())) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        const qsizetype exponentStart = i;
        while (i < n && isDigit(t[i].unicode()))
            ++i;
        if (i == exponentStart)
            return false;
    }
    return i == n;
}

} // namespace

std::optional<double> fileNumber(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin].unicode()))
        ++begin;
    while (end > begin && isBlank(text[end - 1].unicode()))
        --end;
    QStringView t = text.mid(begin, end - begin);
    if (!plainShape(t))
        return std::nullopt;
    if (t[0] == u'+')
        t = t.mid(1); // from_chars takes no plus sign
    // The shape check leaves only ASCII characters.
    char small[64] = {};
    QByteArray large;
    const char* ascii = small;
    if (t.size() <= qsizetype(sizeof small)) {
        for (qsizetype i = 0; i < t.size(); ++i)
            small[i] = char(t[i].unicode());
    } else {
        large = t.toLatin1();
        ascii = large.constData();
    }
    double value = 0;
    const auto [stop, error] = std::from_chars(ascii, ascii + t.size(), value);
    if (error != std::errc() || stop != ascii + t.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace trekora::text
