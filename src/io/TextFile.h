#pragma once

#include "io/IoContext.h"

#include <QString>
#include <QStringList>

namespace trekora {

// Delimited text files: a header line of field names, then one line per
// record, CR LF line ends, Windows-1252 text (UTF-8 when the context's
// output code page says so; a line in well-formed UTF-8, as GIS tools write
// it, is read as UTF-8). A value that contains the
// delimiter or a double quote is written in double quotes (inner quotes
// doubled) and read back whole; all other values are written as they stand.

// Writes the table's row range (visible columns) to `path`. An empty
// delimiter means ";". With `append` the records follow the file's lines and
// no header is written.
bool Save_TextFile(IoContext& io, const QString& path, const QString& delimiter, bool append);

// Replaces the table's contents with the records of a text file. Errors that
// are passed on unreported (a missing file, a file without records) are put
// in `passed`; the result is then false too.
bool Open_Textfile(IoContext& io, const QString& path, PassedError* passed = nullptr);

// Splits one line on the delimiter, understanding quoted values. A value is
// taken as quoted only when it starts with a quote and its closing quote is
// followed by the delimiter or the end of the line.
QStringList splitDelimitedLine(QStringView line, QChar delimiter);
// The text of one value as the writer puts it into a line.
QString encodeDelimitedValue(const QString& value, QChar delimiter);

} // namespace trekora
