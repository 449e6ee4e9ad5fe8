#include "shapes/DBase.h"

#include "core/AppPaths.h"
#include "core/TextConventions.h"
#include "shapes/DbfField.h"
#include "shapes/DbfTable.h"
#include "shapes/ShapeNotice.h"

#include <QFile>
#include <QFileInfo>
#include <limits>
#include <map>
#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#endif

namespace trekora::DBase {

namespace {

using Tables = std::map<Handle, std::unique_ptr<DbfTable>>;

// Open tables by handle. Tables still open at exit are written out when this
// map is destroyed.
Tables& tables() {
    static Tables open;
    return open;
}

DbfTable* find(Handle handle) {
    const auto it = tables().find(handle);
    return it == tables().end() ? nullptr : it->second.get();
}

// The lowest free handle, as file numbers are handed out.
Handle registerTable(std::unique_ptr<DbfTable> table) {
    Handle handle = 1;
    for (const auto& entry : tables()) {
        if (entry.first != handle)
            break;
        if (handle == std::numeric_limits<Handle>::max())
            return kNoHandle;
        ++handle;
    }
    tables().emplace(handle, std::move(table));
    return handle;
}

} // namespace

Handle CreateDBF(const QString& path, const QStringList& specs, CodePage page) {
    QList<DbfField> fields;
    for (const QString& spec : specs) {
        const auto field = DbfField::fromSpec(spec, true);
        if (!field)
            return kNoHandle;
        fields.append(*field);
    }
    KillFile(path);
    auto table = std::make_unique<DbfTable>();
    if (!table->create(path, fields, page))
        return kNoHandle;
    return registerTable(std::move(table));
}

Handle OpenDBF(const QString& path) {
    auto table = std::make_unique<DbfTable>();
    if (!table->open(path))
        return kNoHandle;
    return registerTable(std::move(table));
}

bool CloseDBF(Handle handle) {
    const auto it = tables().find(handle);
    if (it == tables().end())
        return false;
    const bool closed = it->second->close();
    tables().erase(it);
    return closed;
}

CodePage GetCodePage(Handle handle) {
    DbfTable* table = find(handle);
    return table ? table->codePage() : CodePage::Windows1252;
}

std::int32_t GetRecordCount(Handle handle) {
    DbfTable* table = find(handle);
    return table ? table->recordCount() : -1;
}

QStringList GetFields(Handle handle) {
    DbfTable* table = find(handle);
    const QList<DbfField>* fields = table ? table->fields() : nullptr;
    if (!fields)
        return {};
    QStringList specs;
    for (const DbfField& field : *fields)
        specs.append(field.spec());
    return specs;
}

QList<QStringList> ReadRecords(Handle handle, std::int32_t recordNumber, QList<bool>* deleted) {
    DbfTable* table = find(handle);
    return table ? table->readRecords(recordNumber, deleted) : QList<QStringList>();
}

QList<QStringList> ReadRecordRange(Handle handle, std::int32_t firstRecord, std::int32_t count,
                                   QList<bool>* deleted) {
    DbfTable* table = find(handle);
    return table ? table->readRecordRange(firstRecord, count, deleted) : QList<QStringList>();
}

bool AddField(Handle handle, const QString& spec) {
    DbfTable* table = find(handle);
    if (!table || !CheckVersion(handle))
        return false;
    const auto field = DbfField::fromSpec(spec, false);
    return field && table->addField(*field);
}

std::int32_t AppendRecord(Handle handle) {
    DbfTable* table = find(handle);
    if (!table || !CheckVersion(handle))
        return -1;
    return table->appendRecord();
}

bool WriteField(Handle handle, const QString& fieldName, std::int32_t recordNumber,
                const QString& value) {
    DbfTable* table = find(handle);
    if (!table || !CheckVersion(handle))
        return false;
    return table->writeField(fieldName, recordNumber, value);
}

bool KillFile(const QString& path) {
    QFile::remove(path);
    return true;
}

QString GetTempDir() {
    QString dir = AppPaths::privateTempDir();
    if (!dir.endsWith('/'))
        dir += '/';
    return dir;
}

bool DirExists(const QString& path) {
#ifdef Q_OS_UNIX
    const QString lookedUp = path.endsWith('/') ? path + '.' : path + QStringLiteral("/.");
    struct stat status {};
    if (::stat(QFile::encodeName(lookedUp).constData(), &status) == 0)
        return S_ISDIR(status.st_mode);
    if (errno == ENOENT || errno == ENOTDIR)
        return false;
    raiseShapeNotice({ShapeNotice::Kind::Message,
                      QStringLiteral("Error Finding: ") + lookedUp,
                      QStringLiteral("Directory Does Not Exist"),
                      true,
                      {}});
    return false;
#else
    return QFileInfo(path).isDir();
#endif
}

bool CheckVersion(Handle handle) {
    DbfTable* table = find(handle);
    if (!table || table->version() <= 3)
        return true;
    const QString answer = raiseShapeNotice(
        {ShapeNotice::Kind::Question,
         QStringLiteral("Warning: DBF file does not support DBASE Version 7, Contnue?"),
         QStringLiteral("Might be a problem...Send me the file to test???"), false,
         QStringLiteral("Yes")});
    const QString trimmed = answer.trimmed();
    return !(trimmed.startsWith('N') || trimmed.startsWith('n'));
}

} // namespace trekora::DBase
