#include "shapes/DbfTable.h"

#include "core/CodePage.h"
#include "core/TextConventions.h"
#include "shapes/ByteOrder.h"
#include "shapes/DbfText.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <ctime>
#include <limits>
#include <optional>

namespace trekora {

namespace {

constexpr qint64 kHeaderSize = 32;
constexpr qint64 kDescriptorSize = 32;
constexpr char kTerminator = 0x0D;
constexpr char kEndOfFile = 0x1A;
constexpr char kDeletedFlag = '*';
constexpr char kVersion = 3;
constexpr qsizetype kTailLimit = 1024 * 1024;
// Writes are collected by the table itself; unbuffered files report every
// short write at once instead of losing it in a later flush.
constexpr QIODevice::OpenMode kReadWrite = QIODevice::ReadWrite | QIODevice::Unbuffered;
constexpr qint64 kMaxHeaderField = std::numeric_limits<std::uint16_t>::max();

// Today's date as the header stores it (year - 1900, month, day). Asked for
// by every write, so it is looked up at most once a second.
std::array<char, 3> today() {
    static std::time_t checked = -1;
    static std::array<char, 3> cached{};
    const std::time_t now = std::time(nullptr);
    if (now != checked) {
        const QDate date = QDate::currentDate();
        cached = {static_cast<char>(date.year() - 1900), static_cast<char>(date.month()),
                  static_cast<char>(date.day())};
        checked = now;
    }
    return cached;
}

qint64 headerLengthFor(qsizetype fieldCount) {
    return kHeaderSize + kDescriptorSize * fieldCount + 1;
}

// The .cpg file that goes with the table at `path` (same name, extension
// cpg); `existing` finds one whatever the case of its name.
QString cpgPath(const QString& path, bool existing) {
    const QFileInfo info(path);
    const QString name = info.completeBaseName() + QStringLiteral(".cpg");
    const QDir dir = info.dir();
    if (!existing || dir.exists(name))
        return dir.filePath(name);
    const QStringList entries =
        dir.entryList({info.completeBaseName() + QStringLiteral(".*")}, QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

// The code page a .cpg file names, if there is one that names a known page.
std::optional<CodePage> cpgCodePage(const QString& tablePath) {
    const QString path = cpgPath(tablePath, true);
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return codepage::fromCpg(file.read(64));
}

} // namespace

DbfTable::~DbfTable() {
    if (m_file.isOpen())
        close();
}

bool DbfTable::open(const QString& path) {
    m_file.setFileName(path);
    if (!m_file.open(kReadWrite) &&
        !(m_file.exists() && m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)))
        return false;
    m_loaded = false;
    load();
    m_codePage = CodePage::Windows1252;
    if (const auto named = cpgCodePage(path))
        m_codePage = *named;
    else if (m_headerOk)
        if (const auto byte = codepage::fromLanguageDriver(std::uint8_t(m_header[29])))
            m_codePage = *byte;
    return true;
}

bool DbfTable::create(const QString& path, const QList<DbfField>& fields, CodePage page) {
    qint64 recordLength = 1;
    for (const DbfField& field : fields)
        recordLength += field.length;
    const qint64 headerLength = headerLengthFor(fields.size());
    if (headerLength > kMaxHeaderField || recordLength > kMaxHeaderField)
        return false;
    // Readers learn the code page from the .cpg file; a stale one of an
    // earlier table of that name would mislead them.
    QSaveFile cpg(cpgPath(path, false));
    const QByteArray cpgText = codepage::cpgText(page);
    if (!cpg.open(QIODevice::WriteOnly) || cpg.write(cpgText) != cpgText.size() || !cpg.commit())
        return false;
    m_codePage = page;
    QFile::remove(path);
    m_file.setFileName(path);
    if (!m_file.open(kReadWrite | QIODevice::Truncate))
        return false;
    QByteArray bytes(kHeaderSize, '\0');
    bytes[0] = kVersion;
    const auto date = today();
    std::copy(date.begin(), date.end(), bytes.begin() + 1);
    bytes::putLittleUInt16(bytes.data() + 8, std::uint16_t(headerLength));
    bytes::putLittleUInt16(bytes.data() + 10, std::uint16_t(recordLength));
    bytes[29] = char(codepage::languageDriver(page));
    for (const DbfField& field : fields)
        bytes += field.descriptor();
    bytes += kTerminator;
    const bool written = m_file.write(bytes) == bytes.size() && m_file.flush();
    m_loaded = false;
    return written && load();
}

bool DbfTable::close() {
    const bool flushed = flush();
    m_file.close();
    return flushed && m_file.error() == QFileDevice::NoError;
}

bool DbfTable::load() {
    if (m_loaded)
        return m_headerOk;
    m_loaded = true;
    m_headerOk = m_fieldsOk = false;
    m_fields.clear();
    m_names.clear();
    m_nameIndex.clear();
    m_nextName = 0;
    m_blankRecord.clear();
    m_fileSize = m_file.size();
    if (m_fileSize < kHeaderSize || !m_file.seek(0))
        return false;
    m_header = m_file.read(kHeaderSize);
    if (m_header.size() != kHeaderSize)
        return false;
    m_count = bytes::littleUInt32(m_header.constData() + 4);
    m_headerLength = bytes::littleUInt16(m_header.constData() + 8);
    m_recordLength = bytes::littleUInt16(m_header.constData() + 10);
    m_headerOk = true;

    const auto declared = text::roundHalfEven((double(m_headerLength) - 33.0) / 32.0);
    const qint64 count = std::max<qint64>(0, declared);
    const QByteArray area =
        m_file.read(std::min(count * kDescriptorSize, m_fileSize - kHeaderSize));
    qsizetype offset = 1;
    for (qint64 i = 0; i < count; ++i) {
        const qint64 at = i * kDescriptorSize;
        if (at < area.size() && area[at] == kTerminator)
            break; // fewer descriptors than the header length suggests
        if (at + kDescriptorSize > area.size())
            return true; // descriptors missing: the field list cannot be read
        DbfField field = DbfField::fromDescriptor(area.constData() + at);
        field.offset = offset;
        offset += field.length;
        m_fields.append(field);
    }
    m_fieldsOk = true;
    m_blankRecord.append(' ');
    for (const DbfField& field : std::as_const(m_fields))
        m_blankRecord += dbf_text::blankText(field);
    if (m_blankRecord.size() < m_recordLength)
        m_blankRecord.append(QByteArray(m_recordLength - m_blankRecord.size(), ' '));
    return true;
}

bool DbfTable::headerReadable() {
    return load();
}

std::int32_t DbfTable::recordCount() {
    if (!load())
        return -1;
    return static_cast<std::int32_t>(
        std::min<std::uint32_t>(m_count, std::numeric_limits<std::int32_t>::max()));
}

std::uint8_t DbfTable::version() {
    return load() ? static_cast<std::uint8_t>(m_header[0]) : std::uint8_t(0);
}

const QList<DbfField>* DbfTable::fields() {
    return load() && m_fieldsOk ? &m_fields : nullptr;
}

bool DbfTable::recordsFit() const {
    const qsizetype used = m_fields.isEmpty() ? 1 : m_fields.last().offset + m_fields.last().length;
    return m_recordLength >= 1 && used <= m_recordLength;
}

qint64 DbfTable::dataEnd() const {
    return m_headerLength + qint64(m_count) * m_recordLength;
}

bool DbfTable::writable() const {
    return m_file.openMode() & QIODevice::WriteOnly;
}

void DbfTable::stampDate() {
    if (!m_headerOk)
        return;
    const auto date = today();
    for (int i = 0; i < 3; ++i) {
        if (m_header[1 + i] != date[i]) {
            m_header[1 + i] = date[i];
            m_headerDirty = true;
        }
    }
}

QList<QStringList> DbfTable::readRecords(std::int32_t recordNumber, QList<bool>* deleted) {
    if (!flush() || !load() || !m_fieldsOk || !recordsFit())
        return {};
    if (recordNumber > 0)
        return readRecordRange(recordNumber, 1, deleted);
    if (m_count == 0) {
        if (deleted)
            deleted->clear();
        return {};
    }
    return readRecordRange(1,
                           std::int32_t(std::min<std::uint32_t>(
                               m_count, std::uint32_t(std::numeric_limits<std::int32_t>::max()))),
                           deleted);
}

QList<QStringList> DbfTable::readRecordRange(std::int32_t firstRecord, std::int32_t count,
                                             QList<bool>* deleted) {
    if (deleted)
        deleted->clear();
    if (!flush() || !load() || !m_fieldsOk || !recordsFit() || firstRecord < 1 || count < 1)
        return {};
    const qint64 present =
        m_fileSize >= m_headerLength ? (m_fileSize - m_headerLength) / m_recordLength : 0;
    const qint64 first = firstRecord - 1;
    if (first >= qint64(m_count))
        return {};
    const qint64 wanted = std::min<qint64>(count, qint64(m_count) - first);
    if (first + wanted > present)
        return {}; // the file ends before its records do
    QList<QStringList> records;
    records.reserve(wanted);
    if (deleted)
        deleted->reserve(wanted);
    const qint64 perChunk = std::max<qint64>(1, kTailLimit / m_recordLength);
    for (qint64 done = 0; done < wanted;) {
        const qint64 n = std::min(perChunk, wanted - done);
        if (!m_file.seek(m_headerLength + (first + done) * m_recordLength))
            return {};
        const QByteArray chunk = m_file.read(n * m_recordLength);
        if (chunk.size() != n * m_recordLength)
            return {};
        for (qint64 r = 0; r < n; ++r) {
            const char* record = chunk.constData() + r * m_recordLength;
            if (deleted)
                deleted->append(record[0] == kDeletedFlag);
            QStringList values;
            values.reserve(m_fields.size());
            for (const DbfField& field : std::as_const(m_fields))
                values.append(codepage::decode(QByteArrayView(record + field.offset, field.length),
                                               m_codePage));
            records.append(std::move(values));
        }
        done += n;
    }
    return records;
}

std::int32_t DbfTable::appendRecord() {
    if (!writable() || !load() || !m_fieldsOk || m_fields.isEmpty() || !recordsFit())
        return -1;
    stampDate();
    // The new record goes where the records end, whether the file then holds
    // an end-of-file marker (ours, or another program's on an empty table)
    // or nothing (another program's table without a marker).
    const qint64 end = dataEnd();
    if (m_fileSize < end || m_count >= std::uint32_t(std::numeric_limits<std::int32_t>::max()))
        return -1;
    if (!writeAt(end, m_blankRecord.constData(), m_blankRecord.size()) ||
        !writeAt(end + m_blankRecord.size(), &kEndOfFile, 1))
        return -1;
    m_fileSize = std::max(m_fileSize, end + m_blankRecord.size() + 1);
    ++m_count;
    bytes::putLittleUInt32(m_header.data() + 4, m_count);
    m_headerDirty = true;
    if (m_tail.size() > kTailLimit && !flush())
        return -1;
    return static_cast<std::int32_t>(m_count);
}

const QList<int>& DbfTable::fieldsNamed(const QString& name) {
    // Writers fill the fields of each record in the same order, so the name
    // after the last one asked for is tried first.
    if (m_nextName < m_names.size() && m_names[m_nextName].name == name)
        return m_names[m_nextName++].fields;
    auto found = m_nameIndex.constFind(name);
    qsizetype index;
    if (found != m_nameIndex.constEnd()) {
        index = *found;
    } else {
        const QString key = text::trim(name).toUpper();
        QList<int> matches;
        for (int i = 0; i < m_fields.size(); ++i)
            if (m_fields[i].matchName == key)
                matches.append(i);
        index = m_names.size();
        m_names.append({name, matches});
        m_nameIndex.insert(name, index);
    }
    m_nextName = index + 1;
    return m_names[index].fields;
}

bool DbfTable::writeField(const QString& name, std::int32_t recordNumber, const QString& value) {
    if (!writable() || !load())
        return false;
    stampDate();
    if (recordNumber <= 0 || qint64(recordNumber) > qint64(m_count) || !m_fieldsOk || !recordsFit())
        return false;
    const QList<int>& matches = fieldsNamed(name);
    const qint64 recordStart = m_headerLength + (qint64(recordNumber) - 1) * m_recordLength;
    if (matches.isEmpty() || recordStart + m_recordLength > m_fileSize)
        return false;
    bool written = true;
    char text[256];
    for (int index : matches) {
        const DbfField& field = m_fields[index];
        if (!dbf_text::fieldTextInto(field, value, text, m_codePage) ||
            !writeAt(recordStart + field.offset, text, field.length))
            written = false;
    }
    return written;
}

bool DbfTable::writeAt(qint64 position, const char* bytes, qsizetype size) {
    if (!m_tail.isEmpty()) {
        const qint64 tailEnd = m_tailStart + m_tail.size();
        if (position >= m_tailStart && position <= tailEnd) {
            const qint64 at = position - m_tailStart;
            if (at + size > m_tail.size())
                m_tail.resize(at + size);
            std::copy(bytes, bytes + size, m_tail.data() + at);
            return true;
        }
        if (!flush())
            return false;
    }
    m_tailStart = position;
    m_tail.reserve(kTailLimit + 64 * 1024);
    m_tail.append(bytes, size);
    return true;
}

bool DbfTable::flush() {
    if (!m_file.isOpen())
        return m_tail.isEmpty() && !m_headerDirty;
    bool ok = true;
    if (!m_tail.isEmpty()) {
        ok = m_file.seek(m_tailStart) && m_file.write(m_tail) == m_tail.size();
        m_tail.clear();
    }
    if (m_headerDirty) {
        ok = m_file.seek(0) && m_file.write(m_header) == kHeaderSize && ok;
        m_headerDirty = false;
    }
    if (m_file.openMode() & QIODevice::WriteOnly)
        ok = m_file.flush() && ok;
    return ok;
}

QByteArray DbfTable::headerWithField(const DbfField& field) const {
    QByteArray header = m_header;
    header[0] = kVersion;
    bytes::putLittleUInt16(header.data() + 8, std::uint16_t(headerLengthFor(m_fields.size() + 1)));
    bytes::putLittleUInt16(header.data() + 10, std::uint16_t(m_recordLength + field.length));
    return header;
}

bool DbfTable::copyRecordsWithField(QIODevice& out, const DbfField& field) {
    const QByteArray blank = dbf_text::blankText(field);
    const qint64 perChunk = std::max<qint64>(1, kTailLimit / m_recordLength);
    for (qint64 done = 0; done < qint64(m_count);) {
        const qint64 n = std::min(perChunk, qint64(m_count) - done);
        if (!m_file.seek(m_headerLength + done * m_recordLength))
            return false;
        const QByteArray chunk = m_file.read(n * m_recordLength);
        if (chunk.size() != n * m_recordLength)
            return false;
        QByteArray rebuilt;
        rebuilt.reserve(n * (m_recordLength + blank.size()));
        for (qint64 r = 0; r < n; ++r) {
            rebuilt.append(chunk.constData() + r * m_recordLength, m_recordLength);
            rebuilt.append(blank);
        }
        if (out.write(rebuilt) != rebuilt.size())
            return false;
        done += n;
    }
    return true;
}

bool DbfTable::addField(const DbfField& field) {
    if (!writable() || !flush() || !load() || !m_fieldsOk || !recordsFit())
        return false;
    for (const DbfField& existing : std::as_const(m_fields))
        if (existing.matchName == field.matchName)
            return false;
    if (headerLengthFor(m_fields.size() + 1) > kMaxHeaderField ||
        qint64(m_recordLength) + field.length > kMaxHeaderField || m_fileSize < dataEnd())
        return false;
    stampDate();
    if (!flush() || !m_file.seek(kHeaderSize))
        return false;
    const QByteArray descriptors = m_file.read(kDescriptorSize * m_fields.size());
    if (descriptors.size() != kDescriptorSize * m_fields.size())
        return false;

    // The new table is written beside the old one and renamed over it, so a
    // failure at any point leaves the old table as it was.
    const QString path = m_file.fileName();
    QSaveFile rebuilt(path);
    if (!rebuilt.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray header =
        headerWithField(field) + descriptors + field.descriptor() + QByteArray(1, kTerminator);
    bool ok = rebuilt.write(header) == header.size() && copyRecordsWithField(rebuilt, field);
    if (ok && m_count > 0)
        ok = rebuilt.write(QByteArray(1, kEndOfFile)) == 1;
    const qint64 expectedSize =
        header.size() + qint64(m_count) * (m_recordLength + field.length) + (m_count > 0 ? 1 : 0);
    ok = ok && rebuilt.size() == expectedSize;
    if (!ok) {
        rebuilt.cancelWriting();
        return false;
    }
    m_file.close(); // some systems refuse to replace an open file
    const bool committed = rebuilt.commit();
    const bool reopened = m_file.open(kReadWrite);
    m_loaded = false;
    load();
    return committed && reopened;
}

} // namespace trekora
