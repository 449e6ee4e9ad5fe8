#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The one converter between the program's text and the 8-bit "ANSI" bytes of
// dBASE tables and text files: Windows-1252. It differs from Latin-1 at
// 0x80 … 0x9F (euro sign, curly quotes, dashes ...).
namespace trekora::ansi {

// The character of one Windows-1252 byte. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows does.
QChar toChar(unsigned char byte);

// Bytes to text, one character per byte.
QString toUnicode(QByteArrayView bytes);

// Text to bytes, one byte per UTF-16 unit; characters the code page lacks
// become "?".
QByteArray fromUnicode(QStringView text);

// The byte of one character ("?" when the code page lacks it).
char toByte(QChar c);

} // namespace trekora::ansi
