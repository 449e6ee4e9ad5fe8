// Feeds arbitrary bytes as a .dbf to the DBase routines: reading the header,
// the fields and the records, appending a record, writing a field and adding
// a field must give failure results at worst. Beside the table lies a .cpg
// file naming one of the code pages (picked by the input's size, so that
// every input of the corpus stays a plain table), read in every page.

#include "core/ScriptedInteraction.h"
#include "shapes/DBase.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

using namespace trekora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    static ScriptedInteraction ui; // answers the version question with the default
    if (!dir.isValid())
        return 0;
    setUserInteraction(&ui);
    ui.clear();
    const QString path = dir.filePath(QStringLiteral("t.dbf"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qsizetype(size));
    }
    static const char* const kCpg[] = {nullptr, "UTF-8", "1252", "437", "850", "ISO-8859-1", "x"};
    const char* cpg = kCpg[size % (sizeof kCpg / sizeof kCpg[0])];
    const QString cpgPath = dir.filePath(QStringLiteral("t.cpg"));
    QFile::remove(cpgPath);
    if (cpg) {
        QFile file(cpgPath);
        if (file.open(QIODevice::WriteOnly))
            file.write(cpg);
    }
    const DBase::Handle table = DBase::OpenDBF(path);
    if (table == DBase::kNoHandle)
        return 0;
    const std::int32_t count = DBase::GetRecordCount(table);
    const QStringList fields = DBase::GetFields(table);
    (void)DBase::ReadRecords(table, 0);
    (void)DBase::ReadRecords(table, count);
    const std::int32_t added = DBase::AppendRecord(table);
    if (!fields.isEmpty()) {
        const QString name = fields.first().section(',', 0, 0);
        DBase::WriteField(table, name, added, QStringLiteral("12.5"));
        DBase::WriteField(table, name, 1, QStringLiteral("Text"));
        DBase::WriteField(table, name, 1, QString::fromUtf8("caf\u00e9 \u20ac \u0395 \U0001F600"));
    }
    DBase::AddField(table, QStringLiteral("zz,N,8,2"));
    (void)DBase::ReadRecords(table, 0);
    DBase::CloseDBF(table);
    setUserInteraction(nullptr);
    return 0;
}
