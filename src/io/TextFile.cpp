#include "io/TextFile.h"

#include "core/AnsiCodePage.h"
#include "core/CodePage.h"
#include "core/UserInteraction.h"
#include "io/CoordinateCheck.h"
#include "io/ExportRows.h"
#include "io/FieldMapping.h"
#include "table/GpsTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <optional>

namespace trekora {

namespace {

// No legitimate record comes near this; a longer line is a corrupt file.
constexpr qint64 kMaxLineBytes = 1 << 20;

PassedError fileError(const QFileDevice& file, const QString& path) {
    if (!QFileInfo(path).absoluteDir().exists())
        return {76, QStringLiteral("Trekora"), QStringLiteral("Path not found")};
    if (file.error() == QFileDevice::OpenError && !QFileInfo::exists(path))
        return {53, QStringLiteral("Trekora"), QStringLiteral("File not found")};
    return {75, QStringLiteral("Trekora"), QStringLiteral("Path/File access error")};
}

bool reportWriteError(const PassedError& error) {
    userInteraction().message(
        QStringLiteral("Error #: %1, %2").arg(error.number).arg(error.description), QString());
    return false;
}

// Most values are written as they stand: one scan decides.
bool needsEncoding(QStringView value, QChar delimiter) {
    return std::any_of(value.cbegin(), value.cend(), [delimiter](QChar c) {
        return c == delimiter || c == '"' || c == '\r' || c == '\n';
    });
}

// Names the cells of a row that Windows-1252 cannot hold: they are written
// with "?" in their place.
void reportUnencodable(IoContext& io, int row) {
    const DataGrid& grid = io.table.grid();
    for (int c = 1; c < grid.cols(); ++c) {
        if (grid.colWidth(c) == 0 ||
            codepage::canEncode(grid.textView(row, c), CodePage::Windows1252))
            continue;
        const std::int64_t record =
            io.block && row >= 1 && size_t(row) <= io.block->rowRecords.size()
                ? io.block->rowRecords[size_t(row) - 1]
                : row;
        io.report.valueNotWritten(record, grid.text(0, c), grid.text(row, c),
                                  QStringLiteral("has characters that code page 1252 cannot hold"));
    }
}

QString recordLine(const GpsTable& table, int row, QChar delimiter) {
    const DataGrid& grid = table.grid();
    QString line;
    bool first = true;
    for (int c = 1; c < grid.cols(); ++c) {
        if (grid.colWidth(c) == 0)
            continue;
        if (!first)
            line += delimiter;
        first = false;
        const QStringView cell = grid.textView(row, c);
        if (cell.isEmpty())
            line += ' ';
        else if (!needsEncoding(cell, delimiter))
            line += cell;
        else
            line += encodeDelimitedValue(cell.toString(), delimiter);
    }
    return line;
}

// Reads a file's lines through one reused buffer: a line costs a scan for
// its end, not an allocation of the longest line allowed.
class LineReader {
public:
    explicit LineReader(QFile& file) : m_file(file) {}

    // Goes to byte `offset` (a position that pos() returned).
    bool seek(qint64 offset) {
        m_buffer.clear();
        m_start = 0;
        m_eof = false;
        m_bufferPos = offset;
        return m_file.seek(offset);
    }
    // The byte offset of the next line.
    qint64 pos() const { return m_bufferPos + m_start; }
    bool atEnd() { return !fill(); }

    // Reads one line without its line end; false at the end of the file or
    // for a line longer than any record (then `error` is set).
    bool next(QString& line, PassedError& error) {
        if (!fill())
            return false;
        qsizetype end = -1;
        while ((end = m_buffer.indexOf('\n', m_start)) < 0 && !m_eof) {
            if (m_buffer.size() - m_start >= kMaxLineBytes) {
                error = {62, QStringLiteral("Trekora"), QStringLiteral("Input past end of file")};
                return false;
            }
            readMore();
        }
        const qsizetype stop = end < 0 ? m_buffer.size() : end;
        if (stop - m_start > kMaxLineBytes) {
            error = {62, QStringLiteral("Trekora"), QStringLiteral("Input past end of file")};
            return false;
        }
        qsizetype length = stop - m_start;
        const char* data = m_buffer.constData() + m_start;
        while (length > 0 && (data[length - 1] == '\r' || data[length - 1] == '\n'))
            --length;
        // A byte-order mark says UTF-8 outright.
        if (m_start == 0 && length >= 3 && data[0] == '\xEF' && data[1] == '\xBB' &&
            data[2] == '\xBF') {
            data += 3;
            length -= 3;
        }
        // Lines in Windows-1252, the program's own form, or in UTF-8 as GIS
        // tools write them: a line that is well-formed UTF-8 beyond ASCII is
        // read as UTF-8, anything else as Windows-1252.
        const QByteArrayView bytes(data, length);
        line = codepage::looksLikeUtf8(bytes) ? QString::fromUtf8(bytes) : ansi::toUnicode(bytes);
        m_start = end < 0 ? m_buffer.size() : end + 1;
        return true;
    }

private:
    static constexpr qint64 kChunkBytes = 1 << 18;

    // True while bytes are left.
    bool fill() {
        if (m_start < m_buffer.size())
            return true;
        if (m_eof)
            return false;
        readMore();
        return m_start < m_buffer.size();
    }
    // Drops the lines already read and appends the next chunk of the file.
    void readMore() {
        if (m_start > 0) {
            m_buffer.remove(0, m_start);
            m_bufferPos += m_start;
            m_start = 0;
        }
        const qsizetype had = m_buffer.size();
        m_buffer.resize(had + kChunkBytes);
        const qint64 got = m_file.read(m_buffer.data() + had, kChunkBytes);
        m_buffer.resize(had + std::max<qint64>(got, 0));
        if (got <= 0)
            m_eof = true;
    }

    QFile& m_file;
    QByteArray m_buffer;
    qsizetype m_start = 0;  // first unread byte in the buffer
    qint64 m_bufferPos = 0; // file offset of the buffer's first byte
    bool m_eof = false;
};

} // namespace

QString encodeDelimitedValue(const QString& value, QChar delimiter) {
    if (!needsEncoding(value, delimiter))
        return value;
    QString clean = value;
    // A line break inside a value would end the record early.
    clean.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
        .replace('\r', ' ')
        .replace('\n', ' ');
    if (!clean.contains(delimiter) && !clean.contains('"'))
        return clean;
    clean.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return '"' + clean + '"';
}

QStringList splitDelimitedLine(QStringView line, QChar delimiter) {
    QStringList values;
    qsizetype i = 0;
    while (true) {
        QString value;
        bool quoted = false;
        if (i < line.size() && line[i] == '"') {
            // Find the closing quote; "" inside is one quote.
            QString inner;
            qsizetype j = i + 1;
            while (j < line.size()) {
                if (line[j] == '"') {
                    if (j + 1 < line.size() && line[j + 1] == '"') {
                        inner += '"';
                        j += 2;
                        continue;
                    }
                    break;
                }
                inner += line[j++];
            }
            if (j < line.size() && (j + 1 == line.size() || line[j + 1] == delimiter)) {
                value = inner;
                i = j + 1;
                quoted = true;
            }
        }
        if (!quoted) {
            const qsizetype end = line.indexOf(delimiter, i);
            value = line.mid(i, end < 0 ? line.size() - i : end - i).toString();
            i = end < 0 ? line.size() : end;
        }
        values << value;
        if (i >= line.size())
            break;
        ++i; // the delimiter
        if (i == line.size()) {
            values << QString();
            break;
        }
    }
    return values;
}

bool Save_TextFile(IoContext& io, const QString& path, const QString& delimiterText, bool append) {
    const QChar delimiter = delimiterText.isEmpty() ? QChar(';') : delimiterText[0];
    GpsTable& table = io.table;
    // A new file is written beside the old one and renamed over it, so a
    // failed save never destroys what was there.
    QSaveFile replacement(path);
    QFile appended(path);
    QFileDevice& file = append ? static_cast<QFileDevice&>(appended) : replacement;
    if (!file.open(append ? QIODevice::Append : QIODevice::WriteOnly))
        return reportWriteError(fileError(file, path));

    QByteArray buffer;
    auto flush = [&](bool force) {
        if (buffer.size() < (1 << 16) && !force)
            return true;
        const bool ok = file.write(buffer) == buffer.size();
        buffer.clear();
        return ok;
    };
    bool ok = true;
    const bool utf8 = io.outputCodePage == CodePage::Utf8;
    if (!append) {
        QString header = table.GetRowValues(0, true);
        header.replace(';', delimiter);
        buffer += (utf8 ? header.toUtf8() : ansi::fromUnicode(header)) + "\r\n";
    }
    const auto [first, last] = rowsToExport(table);
    for (int r = first; r <= last && r < table.grid().rows() && ok; ++r) {
        const QString line = recordLine(table, r, delimiter);
        if (utf8) {
            buffer += line.toUtf8();
        } else {
            buffer += ansi::fromUnicode(line);
            if (!codepage::canEncode(line, CodePage::Windows1252))
                reportUnencodable(io, r);
        }
        buffer += "\r\n";
        ok = flush(false);
        table.host().setMessage(QStringLiteral("Saving record %1 to text file").arg(r));
    }
    ok = ok && flush(true);
    if (ok && !append)
        ok = replacement.commit();
    if (!ok) {
        if (!append)
            replacement.cancelWriting();
        return reportWriteError(
            {57, QStringLiteral("Trekora"), QStringLiteral("Device I/O error")});
    }
    table.host().setMessage(QString());
    return true;
}

bool Open_Textfile(IoContext& io, const QString& path, PassedError* passed) {
    GpsTable& table = io.table;
    PassedError error;
    auto pass = [&](const PassedError& e) {
        if (passed)
            *passed = e;
        table.host().setBusy(false);
        return false;
    };
    table.host().setBusy(true);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return pass(fileError(file, path));
    table.ResetTable();
    table.host().showTableArea();
    table.setRecordCounter(0);

    LineReader reader(file);
    ReadBlock* block = io.block;
    QString header;
    if (!reader.next(header, error))
        return pass(error.isSet() ? error
                                  : PassedError{62, QStringLiteral("Trekora"),
                                                QStringLiteral("Input past end of file")});
    const bool resuming = block && block->resumeAt > 0;
    if (resuming && !reader.seek(block->resumeAt))
        return pass(fileError(file, path));
    const QChar delimiter = header.contains(';') ? QChar(';') : QChar(',');
    const QStringList headerFields = splitDelimitedLine(header, delimiter);
    QString fieldList = headerFields.join(';');
    int typeIndex = -1;
    for (int i = 0; i < headerFields.size(); ++i)
        if (headerFields[i].compare(QLatin1String("type"), Qt::CaseInsensitive) == 0) {
            typeIndex = i;
            break;
        }

    MappingResult mapping;
    std::optional<CoordinateCheck> coordinates;
    QString line;
    bool firstRecord = true;
    std::int64_t recordNumber = block ? block->recordsBefore : 0;
    if (block)
        block->startBlock();
    while (true) {
        if (block && table.recordCount() >= block->maxRows) {
            block->more = !reader.atEnd();
            break;
        }
        if (!reader.next(line, error))
            break;
        ++recordNumber;
        const bool hasQuotes = line.contains('"');
        const QStringList quoted = hasQuotes ? splitDelimitedLine(line, delimiter) : QStringList();
        const QList<QStringView> values = hasQuotes
                                              ? QList<QStringView>(quoted.cbegin(), quoted.cend())
                                              : QStringView(line).split(delimiter);
        if (firstRecord) {
            firstRecord = false;
            QString type = RecordType::Waypoint;
            if (resuming)
                type = block->recordType;
            else if (typeIndex >= 0)
                type =
                    typeIndex < values.size() ? values[typeIndex].toString().toLower() : QString();
            if (block)
                block->recordType = type;
            table.setCurrentRecordType(type);
            table.SetTableType(type);
            table.ApplyFieldSettings(type);
            mapping = get_Required_Fields(fieldList, QStringLiteral("txt"),
                                          table.currentRecordType(), table, io.chooser);
            if (mapping.cancelled()) {
                table.host().setControls(ControlState::TableHasRecords);
                table.host().setBusy(false);
                return false;
            }
            io.report.setIgnoredFields(mapping.ignoredFields);
            coordinates.emplace(table, mapping.columns);
        }
        // An empty line is a blank default record, as the Add Record command makes.
        if (line.isEmpty()) {
            if (!table.AddRecord(line, mapping.columns, {}, QString(delimiter))) {
                table.host().setBusy(false);
                return false;
            }
            if (block)
                block->rowRecords.push_back(recordNumber);
            continue;
        }
        if (const auto refusal = coordinates->check(values)) {
            io.report.refuseRecord(recordNumber, refusal->field, refusal->value, refusal->reason);
            continue;
        }
        if (!table.AddRecordValues(values, mapping.columns)) {
            table.host().setBusy(false);
            return false;
        }
        if (block)
            block->rowRecords.push_back(recordNumber);
    }
    if (block) {
        block->recordsBefore = recordNumber;
        if (block->more)
            block->resumeAt = reader.pos();
    }
    if (error.isSet())
        return pass(error);
    if (firstRecord)
        return pass({62, QStringLiteral("Trekora"), QStringLiteral("Input past end of file")});
    table.host().setBusy(false);
    if (mapping.projectionState != 0 && io.projectTable)
        io.projectTable(mapping.projectionState == 1);
    table.host().setControls(ControlState::TableHasRecords);
    return true;
}

} // namespace trekora
