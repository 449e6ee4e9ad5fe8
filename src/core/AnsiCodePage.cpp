#include "core/AnsiCodePage.h"

#include <algorithm>
#include <array>

namespace trekora::ansi {

namespace {

// Characters of bytes 0x80 … 0x9F; the undefined ones keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

QChar toChar(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(kHighControls[byte - 0x80]);
    return QChar(byte);
}

QString toUnicode(QByteArrayView bytes) {
    // Outside 0x80 … 0x9F the code page is Latin-1, which Qt converts fastest.
    const bool latin1 = std::none_of(bytes.begin(), bytes.end(), [](char b) {
        return static_cast<unsigned char>(b) >= 0x80 && static_cast<unsigned char>(b) <= 0x9F;
    });
    if (latin1)
        return QString::fromLatin1(bytes.data(), bytes.size());
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = toChar(static_cast<unsigned char>(bytes[i]));
    return text;
}

char toByte(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == u)
            return static_cast<char>(0x80 + i);
    return '?';
}

QByteArray fromUnicode(QStringView text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        bytes[i] = toByte(text[i]);
    return bytes;
}

} // namespace trekora::ansi
