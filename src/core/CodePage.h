#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace trekora {

// The code pages dBASE tables come in: the program's own Windows-1252, UTF-8,
// and the few others GIS tools write (Latin-1, the DOS pages 437 and 850).
enum class CodePage { Windows1252, Utf8, Latin1, Ibm437, Ibm850 };

namespace codepage {

// Bytes to text.
QString decode(QByteArrayView bytes, CodePage page);

// Text to at most `maxBytes` bytes (no limit when negative). A character the
// page cannot hold becomes "?" and clears `lossless`; a character that would
// not fit whole is left out with everything after it, so a cut never splits
// a character.
QByteArray encode(QStringView text, CodePage page, qsizetype maxBytes = -1,
                  bool* lossless = nullptr);

// Whether `bytes` are well-formed UTF-8 with at least one character beyond
// ASCII: what a text line written by a UTF-8 tool looks like, and what a
// Windows-1252 line with accented letters almost never is.
bool looksLikeUtf8(QByteArrayView bytes);

// Whether every character of `text` has a byte sequence in `page`.
bool canEncode(QStringView text, CodePage page);

// The page a .cpg file names ("UTF-8", "65001", "1252", "ANSI 1252",
// "ISO-8859-1", "88591", "437", "850" ...; case and blanks ignored).
std::optional<CodePage> fromCpg(QByteArrayView cpgText);
// The page a dBASE language driver byte stands for; none for 0 or unknown.
std::optional<CodePage> fromLanguageDriver(std::uint8_t driver);

// What the program writes for a page: the .cpg text and the language byte.
QByteArray cpgText(CodePage page);
std::uint8_t languageDriver(CodePage page);

// "utf-8" / "1252" (also "windows-1252", "cp1252"), as options and settings
// name the output page.
std::optional<CodePage> fromName(const QString& name);

} // namespace codepage
} // namespace trekora
