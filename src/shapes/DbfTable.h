#pragma once

#include "core/CodePage.h"
#include "shapes/DbfField.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QStringList>
#include <cstdint>

namespace trekora {

// One open dBASE table behind a DBase handle. It keeps the header and the
// field list in memory and collects appended records in a buffer that is
// written in large blocks, so that filling a table field by field costs no
// system call per field. Everything reaches the disk at Flush (also before
// every read of records, every rebuild and at close).
//
// Readers check every size against the file: a damaged or hostile table
// gives failure results, never reads outside the file or allocates beyond
// what the file holds.
class DbfTable {
public:
    ~DbfTable();

    // Opens `path` for reading and writing (a missing file is created empty).
    // Its text is read and written in the code page its .cpg file names, else
    // the one its language byte stands for, else Windows-1252.
    bool open(const QString& path);
    // Writes a new table with `fields` at `path`, replacing any file there,
    // with the language byte of `page` and a .cpg file beside it naming it.
    bool create(const QString& path, const QList<DbfField>& fields,
                CodePage page = CodePage::Windows1252);
    CodePage codePage() const { return m_codePage; }
    bool close();

    bool headerReadable();
    std::int32_t recordCount();
    std::uint8_t version();
    // The fields, or no value when their descriptors cannot be read.
    const QList<DbfField>* fields();

    // With `deleted`, also whether each record returned is flagged deleted.
    QList<QStringList> readRecords(std::int32_t recordNumber, QList<bool>* deleted = nullptr);
    QList<QStringList> readRecordRange(std::int32_t firstRecord, std::int32_t count,
                                       QList<bool>* deleted = nullptr);
    std::int32_t appendRecord();
    bool writeField(const QString& name, std::int32_t recordNumber, const QString& value);
    bool addField(const DbfField& field);

    bool flush();

private:
    bool load();
    bool writable() const;
    void stampDate();
    bool recordsFit() const;
    qint64 dataEnd() const;
    bool writeAt(qint64 position, const char* bytes, qsizetype size);
    const QList<int>& fieldsNamed(const QString& name);
    QByteArray headerWithField(const DbfField& field) const;
    bool copyRecordsWithField(QIODevice& out, const DbfField& field);

    QFile m_file;
    CodePage m_codePage = CodePage::Windows1252;
    qint64 m_fileSize = 0; // logical size, collected bytes included

    bool m_loaded = false;
    bool m_headerOk = false;
    bool m_fieldsOk = false;
    QByteArray m_header; // the first 32 bytes
    std::uint32_t m_count = 0;
    std::uint16_t m_headerLength = 0;
    std::uint16_t m_recordLength = 0;
    QList<DbfField> m_fields;
    // Field positions by the name a caller gave, in the order first asked for.
    struct NameLookup {
        QString name;
        QList<int> fields;
    };
    QList<NameLookup> m_names;
    QHash<QString, qsizetype> m_nameIndex;
    qsizetype m_nextName = 0;
    QByteArray m_blankRecord; // deletion flag and blank field texts
    bool m_headerDirty = false;

    qint64 m_tailStart = 0; // where the collected bytes go
    QByteArray m_tail;
};

} // namespace trekora
