#include "core/CodePage.h"

#include "core/AnsiCodePage.h"

#include <QHash>
#include <algorithm>
#include <array>

namespace trekora::codepage {

namespace {

using HighHalf = std::array<char16_t, 128>;

// Characters of bytes 0x80 ... 0xFF of the DOS pages.
constexpr HighHalf kIbm437 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};
constexpr HighHalf kIbm850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

const HighHalf* highHalf(CodePage page) {
    switch (page) {
    case CodePage::Ibm437:
        return &kIbm437;
    case CodePage::Ibm850:
        return &kIbm850;
    default:
        return nullptr;
    }
}

// The byte of `c` in one of the DOS pages, if it has one.
std::optional<char> dosByte(const HighHalf& half, char32_t c) {
    if (c < 0x80)
        return char(c);
    static QHash<const HighHalf*, QHash<char32_t, char>> reverse;
    auto& map = reverse[&half];
    if (map.isEmpty())
        for (int i = 0; i < 128; ++i)
            map.insert(half[size_t(i)], char(0x80 + i));
    const auto it = map.constFind(c);
    if (it == map.constEnd())
        return std::nullopt;
    return *it;
}

// The bytes of one character (code point) in `page`, empty when it has none.
QByteArray characterBytes(char32_t c, CodePage page) {
    switch (page) {
    case CodePage::Utf8: {
        const char32_t units[1] = {c};
        return QString::fromUcs4(units, 1).toUtf8();
    }
    case CodePage::Latin1:
        return c <= 0xFF ? QByteArray(1, char(c)) : QByteArray();
    case CodePage::Windows1252: {
        if (c > 0xFFFF)
            return {};
        const char byte = ansi::toByte(QChar(char16_t(c)));
        return byte == '?' && c != u'?' ? QByteArray() : QByteArray(1, byte);
    }
    case CodePage::Ibm437:
    case CodePage::Ibm850: {
        const auto byte = dosByte(*highHalf(page), c);
        return byte ? QByteArray(1, *byte) : QByteArray();
    }
    }
    return {};
}

bool isAscii(QStringView text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

} // namespace

QString decode(QByteArrayView bytes, CodePage page) {
    switch (page) {
    case CodePage::Windows1252:
        return ansi::toUnicode(bytes);
    case CodePage::Utf8:
        return QString::fromUtf8(bytes);
    case CodePage::Latin1:
        return QString::fromLatin1(bytes);
    case CodePage::Ibm437:
    case CodePage::Ibm850: {
        const HighHalf& half = *highHalf(page);
        QString text(bytes.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            text[i] = b < 0x80 ? QChar(b) : QChar(half[b - 0x80]);
        }
        return text;
    }
    }
    return {};
}

QByteArray encode(QStringView text, CodePage page, qsizetype maxBytes, bool* lossless) {
    if (lossless)
        *lossless = true;
    const qsizetype limit = maxBytes < 0 ? text.size() * 4 : maxBytes;
    if (isAscii(text))
        return text.left(limit).toLatin1();
    QByteArray out;
    out.reserve(std::min(limit, text.size() * 4));
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i].unicode();
        qsizetype units = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            units = 2;
        }
        QByteArray bytes = characterBytes(c, page);
        if (bytes.isEmpty()) {
            bytes = "?";
            if (lossless)
                *lossless = false;
        }
        if (out.size() + bytes.size() > limit)
            break;
        out += bytes;
        i += units;
    }
    return out;
}

bool looksLikeUtf8(QByteArrayView bytes) {
    bool beyondAscii = false;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        // Lead byte: its length, and the smallest code point it may carry.
        qsizetype length = 0;
        char32_t c = 0;
        char32_t smallest = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            c = b & 0x1F;
            smallest = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            c = b & 0x0F;
            smallest = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            c = b & 0x07;
            smallest = 0x10000;
        } else {
            return false;
        }
        if (i + length > bytes.size())
            return false;
        for (qsizetype k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            c = (c << 6) | (next & 0x3F);
        }
        if (c < smallest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        beyondAscii = true;
        i += length;
    }
    return beyondAscii;
}

bool canEncode(QStringView text, CodePage page) {
    if (page == CodePage::Utf8 || isAscii(text))
        return true;
    bool lossless = true;
    encode(text, page, -1, &lossless);
    return lossless;
}

std::optional<CodePage> fromCpg(QByteArrayView cpgText) {
    QByteArray name = QByteArray(cpgText.data(), cpgText.size()).trimmed().toUpper();
    name.replace(' ', "").replace('-', "").replace('_', "");
    if (name == "UTF8" || name == "65001")
        return CodePage::Utf8;
    if (name == "1252" || name == "ANSI1252" || name == "CP1252" || name == "WINDOWS1252")
        return CodePage::Windows1252;
    if (name == "88591" || name == "ISO88591" || name == "LATIN1" || name == "28591")
        return CodePage::Latin1;
    if (name == "437" || name == "CP437" || name == "OEM437" || name == "IBM437")
        return CodePage::Ibm437;
    if (name == "850" || name == "CP850" || name == "OEM850" || name == "IBM850")
        return CodePage::Ibm850;
    return std::nullopt;
}

std::optional<CodePage> fromLanguageDriver(std::uint8_t driver) {
    switch (driver) {
    case 0x01:
        return CodePage::Ibm437;
    case 0x02:
        return CodePage::Ibm850;
    case 0x03:
    case 0x57:
    case 0x58:
    case 0x59:
        return CodePage::Windows1252;
    default:
        return std::nullopt;
    }
}

QByteArray cpgText(CodePage page) {
    switch (page) {
    case CodePage::Windows1252:
        return "1252";
    case CodePage::Utf8:
        return "UTF-8";
    case CodePage::Latin1:
        return "ISO-8859-1";
    case CodePage::Ibm437:
        return "437";
    case CodePage::Ibm850:
        return "850";
    }
    return {};
}

std::uint8_t languageDriver(CodePage page) {
    switch (page) {
    case CodePage::Windows1252:
    case CodePage::Latin1:
        return 0x57;
    case CodePage::Utf8:
        return 0x00; // no language driver stands for UTF-8: the .cpg says it
    case CodePage::Ibm437:
        return 0x01;
    case CodePage::Ibm850:
        return 0x02;
    }
    return 0;
}

std::optional<CodePage> fromName(const QString& name) {
    const QString n = name.trimmed().toLower();
    if (n == QLatin1String("utf-8") || n == QLatin1String("utf8"))
        return CodePage::Utf8;
    if (n == QLatin1String("1252") || n == QLatin1String("windows-1252") ||
        n == QLatin1String("cp1252"))
        return CodePage::Windows1252;
    return std::nullopt;
}

} // namespace trekora::codepage
