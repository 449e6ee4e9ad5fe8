#include "shapes/DBase.h"
#include "shapes/DbfText.h"
#include "shapes/ShapeTestSupport.h"
#include "support/TestEnvironment.h"

#include "core/TextConventions.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

namespace trekora {
namespace {

using namespace test;
using namespace DBase;

#ifdef Q_OS_LINUX
// Lets no file of this process grow beyond `bytes` while it lives; writes
// beyond it fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int);
};
#endif

class DBaseTable : public TestEnvironment {
protected:
    void TearDown() override {
        for (Handle h : m_open)
            CloseDBF(h);
        TestEnvironment::TearDown();
    }
    Handle track(Handle h) {
        if (h != kNoHandle)
            m_open.append(h);
        return h;
    }
    bool close(Handle h) {
        m_open.removeAll(h);
        return CloseDBF(h);
    }
    // The table of ident C 10 and lat N 12.6, with `records` blank records.
    Handle identLat(const QString& file, int records = 0) {
        const Handle h = track(CreateDBF(
            scratchPath(file), {QStringLiteral("ident,C,10"), QStringLiteral("lat,N,12,6,3")}));
        for (int i = 0; i < records; ++i)
            AppendRecord(h);
        return h;
    }

private:
    QList<Handle> m_open;
};

TEST_F(DBaseTable, CreatedTableLayout) {
    const Handle h = identLat(QStringLiteral("t.dbf"));
    ASSERT_NE(h, kNoHandle);
    EXPECT_EQ(GetRecordCount(h), 0);
    EXPECT_EQ(GetFields(h),
              (QStringList{QStringLiteral("IDENT,C,10,0"), QStringLiteral("LAT,N,12,6")}));
    ASSERT_TRUE(close(h));
    const QByteArray b = fileBytes(scratchPath(QStringLiteral("t.dbf")));
    ASSERT_EQ(b.size(), 97);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(b[0], 3);
    EXPECT_EQ(quint8(b[1]), today.year() - 1900);
    EXPECT_EQ(b[2], today.month());
    EXPECT_EQ(b[3], today.day());
    EXPECT_EQ(little32(b, 4), 0);
    EXPECT_EQ(quint8(b[8]) + 256 * quint8(b[9]), 97);
    EXPECT_EQ(quint8(b[10]) + 256 * quint8(b[11]), 23);
    EXPECT_EQ(b[29], 0x57);
    EXPECT_EQ(b.mid(32, 11), QByteArray("IDENT\0\0\0\0\0\0", 11));
    EXPECT_EQ(b[32 + 11], 'C');
    EXPECT_EQ(b[32 + 16], 10);
    EXPECT_EQ(b.mid(64, 4), QByteArray("LAT\0", 4));
    EXPECT_EQ(b[64 + 11], 'N');
    EXPECT_EQ(b[64 + 16], 12);
    EXPECT_EQ(b[64 + 17], 6);
    EXPECT_EQ(b[96], 0x0D);
}

TEST_F(DBaseTable, AppendAndWriteFields) {
    const Handle h = identLat(QStringLiteral("t.dbf"));
    EXPECT_EQ(AppendRecord(h), 1);
    EXPECT_EQ(ReadRecords(h, 0),
              (QList<QStringList>{{QStringLiteral("          "), QStringLiteral("    0.000000")}}));
    EXPECT_EQ(fileBytes(scratchPath(QStringLiteral("t.dbf"))).size(), 97 + 23 + 1);
    EXPECT_TRUE(WriteField(h, QStringLiteral("  Ident "), 1, QStringLiteral("ABCDEFGHIJKL")));
    EXPECT_TRUE(WriteField(h, QStringLiteral("LAT"), 1, QStringLiteral("3.14159265")));
    EXPECT_FALSE(WriteField(h, QStringLiteral("LAT"), 2, QStringLiteral("1")));
    EXPECT_FALSE(WriteField(h, QStringLiteral("LAT"), 0, QStringLiteral("1")));
    EXPECT_FALSE(WriteField(h, QStringLiteral("nosuch"), 1, QStringLiteral("1")));
    EXPECT_EQ(AppendRecord(h), 2);
    EXPECT_TRUE(WriteField(h, QStringLiteral("ident"), 2, QStringLiteral("Café €5")));
    ASSERT_TRUE(close(h));

    const QByteArray b = fileBytes(scratchPath(QStringLiteral("t.dbf")));
    ASSERT_EQ(b.size(), 97 + 2 * 23 + 1);
    EXPECT_EQ(b.mid(97, 23), QByteArray(" ABCDEFGHIJ    3.141593"));
    EXPECT_EQ(b.mid(120, 11), QByteArray(" Caf\xE9 \x80"
                                         "5   "));
    EXPECT_EQ(b.back(), 0x1A);
    EXPECT_EQ(little32(b, 4), 2);

    const Handle r = track(OpenDBF(scratchPath(QStringLiteral("t.dbf"))));
    EXPECT_EQ(GetRecordCount(r), 2);
    const auto second = ReadRecords(r, 2);
    ASSERT_EQ(second.size(), 1);
    EXPECT_EQ(second[0][0], QStringLiteral("Café €5   "));
    EXPECT_TRUE(ReadRecords(r, 3).isEmpty());
}

TEST_F(DBaseTable, TablesLargerThanTheWriteBufferRoundTrip) {
    const int n = 50000; // 1.15 MB of records: written out in several blocks
    const Handle h = identLat(QStringLiteral("big.dbf"));
    for (int i = 1; i <= n; ++i) {
        ASSERT_EQ(AppendRecord(h), i);
        ASSERT_TRUE(WriteField(h, QStringLiteral("ident"), i, QString::number(i)));
        ASSERT_TRUE(WriteField(h, QStringLiteral("lat"), i, QString::number(i / 1000.0, 'f', 3)));
    }
    ASSERT_TRUE(WriteField(h, QStringLiteral("ident"), 7, QStringLiteral("seven"))); // on disk
    const auto records = ReadRecords(h, 0);
    ASSERT_EQ(records.size(), n);
    EXPECT_EQ(records[6][0], QStringLiteral("seven     "));
    EXPECT_EQ(records[n - 1][0], QStringLiteral("50000     "));
    EXPECT_EQ(records[n - 1][1], QStringLiteral("   50.000000"));
    ASSERT_TRUE(close(h));
    EXPECT_EQ(fileBytes(scratchPath(QStringLiteral("big.dbf"))).size(), 97 + 23 * n + 1);
}

TEST_F(DBaseTable, NumericTexts) {
    struct Case {
        const char* spec;
        const char* value;
        const char* expected; // nullptr: refused, the field keeps its text
    } cases[] = {
        {"n,N,8,0", "42", "      42"},
        {"n,N,8,0", "2.5", "       2"}, // halves to even
        {"n,N,8,0", "3.5", "       4"},
        {"n,N,8,0", "-7", "      -7"},
        {"n,N,8,0", "1,234", nullptr}, // no group separators: "48,8566" is no number
        {"n,N,8,0", " 12 ", "      12"},
        {"n,N,8,0", "12-", nullptr},
        {"n,N,8,0", "&H1F", nullptr},
        {"n,N,8,0", "", nullptr},
        {"n,N,8,0", "abc", nullptr},
        {"n,N,8,0", "12abc", nullptr},
        {"n,N,8,0", "123456789", nullptr},   // wider than the field: never cut
        {"n,N,12,0", "3000000000", nullptr}, // beyond 32 bits
        {"n,N,8,2", "-0.001", "    0.00"},   // no negative zero
        {"n,N,8,2", "1.005e2", "  100.50"},
        {"n,N,6,2", "123.456", "123.46"},
        {"n,N,6,2", "1234.5", nullptr}, // would need 7 characters
        {"n,N,30,25", "0.5", "0.50000000000000000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.spec) + " <- \"" + c.value + "\"");
        const QString file = scratchPath(QStringLiteral("n.dbf"));
        const Handle h = track(CreateDBF(file, {QString::fromLatin1(c.spec)}));
        ASSERT_NE(h, kNoHandle);
        ASSERT_EQ(AppendRecord(h), 1);
        const QString blank = ReadRecords(h, 1).value(0).value(0);
        EXPECT_EQ(WriteField(h, QStringLiteral("N"), 1, QString::fromUtf8(c.value)),
                  c.expected != nullptr);
        const QString expected = c.expected ? QString::fromLatin1(c.expected) : blank;
        EXPECT_EQ(ReadRecords(h, 1).value(0).value(0).trimmed(), expected.trimmed());
        EXPECT_EQ(ReadRecords(h, 1).value(0).value(0).size(), blank.size());
        close(h);
    }
}

TEST_F(DBaseTable, FixedDecimalsAgreeWithTheSharedFormat) {
    DbfField field;
    field.type = 'N';
    field.length = 40;
    for (int decimals : {1, 2, 3, 8}) {
        field.decimals = std::uint8_t(decimals);
        const QString pattern = QStringLiteral("0.") + QString(decimals, '0');
        for (double v : {0.125, -0.125, 0.375, 2.675, 1.005, -0.5, 0.05, 9.95, 99.995, 123456.789,
                         0.0, -1e-9, 47.123456785, -122.987654325, 1e15 + 0.5, 0.15, 2.5e-9}) {
            const auto text = dbf_text::fieldText(field, QString::number(v, 'g', 17));
            ASSERT_TRUE(text);
            EXPECT_EQ(QString::fromLatin1(*text).trimmed(), text::format(v, pattern))
                << v << " with " << decimals;
        }
    }
}

TEST_F(DBaseTable, NumbersIgnoreTheUserLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const Handle h = identLat(QStringLiteral("de.dbf"), 1);
    EXPECT_TRUE(WriteField(h, QStringLiteral("lat"), 1, QStringLiteral("47.5")));
    const QString lat = ReadRecords(h, 1).value(0).value(1);
    QLocale::setDefault(saved);
    EXPECT_EQ(lat, QStringLiteral("   47.500000"));
}

TEST_F(DBaseTable, AddFieldRebuildsBesideTheTable) {
    const Handle h = identLat(QStringLiteral("t.dbf"), 3);
    ASSERT_TRUE(WriteField(h, QStringLiteral("ident"), 2, QStringLiteral("second")));
    EXPECT_TRUE(AddField(h, QStringLiteral("elev,n,8")));
    EXPECT_FALSE(AddField(h, QStringLiteral("ELEV,N,8")));
    EXPECT_TRUE(AddField(h, QStringLiteral("Elevation,N,8,1")));
    EXPECT_TRUE(AddField(h, QStringLiteral("elevation_m,N,8,1")));
    // Stored cut to 10 characters, this is the ELEVATION_ just added.
    EXPECT_FALSE(AddField(h, QStringLiteral("elevation_mm,N,8,1")));
    EXPECT_FALSE(AddField(h, QStringLiteral("bad,N,256")));
    EXPECT_FALSE(AddField(h, QStringLiteral("bad,N")));
    const QStringList fields = GetFields(h);
    EXPECT_EQ(fields.mid(0, 3),
              (QStringList{QStringLiteral("IDENT,C,10,0"), QStringLiteral("LAT,N,12,6"),
                           QStringLiteral("ELEV,N,8,0")}));
    EXPECT_EQ(fields.size(), 5); // ELEVATION and ELEVATION_
    const auto records = ReadRecords(h, 0);
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[1][0], QStringLiteral("second    "));
    EXPECT_EQ(records[2][2], QStringLiteral("       0"));
    EXPECT_EQ(records[2][4], QStringLiteral("     0.0"));
    // The table is still usable through the same handle.
    EXPECT_EQ(AppendRecord(h), 4);
    EXPECT_TRUE(WriteField(h, QStringLiteral("elev"), 4, QStringLiteral("1234")));
    ASSERT_TRUE(close(h));

    const QByteArray b = fileBytes(scratchPath(QStringLiteral("t.dbf")));
    const int headerLength = 32 * 5 + 33;
    const int recordLength = 23 + 8 + 8 + 8;
    EXPECT_EQ(quint8(b[8]) + 256 * quint8(b[9]), headerLength);
    EXPECT_EQ(quint8(b[10]) + 256 * quint8(b[11]), recordLength);
    EXPECT_EQ(b.size(), headerLength + 4 * recordLength + 1);
    EXPECT_EQ(b[headerLength - 1], 0x0D);
    EXPECT_EQ(b.back(), 0x1A);
    // No copies are left beside the table or in the scratch directory.
    EXPECT_EQ(QDir(QFileInfo(scratchPath(QStringLiteral("t.dbf"))).path())
                  .entryList({QStringLiteral("*.dbf*")}, QDir::Files),
              QStringList{QStringLiteral("t.dbf")});
}

TEST_F(DBaseTable, AddFieldToAnEmptyTableKeepsItAppendable) {
    const Handle h = identLat(QStringLiteral("e.dbf"));
    ASSERT_TRUE(AddField(h, QStringLiteral("x,C,4")));
    ASSERT_EQ(AppendRecord(h), 1);
    ASSERT_TRUE(close(h));
    const QByteArray b = fileBytes(scratchPath(QStringLiteral("e.dbf")));
    EXPECT_EQ(b.size(), 129 + 27 + 1);
    EXPECT_EQ(b[128], 0x0D);
    EXPECT_EQ(b[129], ' ');
}

TEST_F(DBaseTable, FailedAddFieldLeavesTheTableIntact) {
#ifdef Q_OS_LINUX
    const QString dir = scratchPath(QStringLiteral("full"));
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString file = dir + QStringLiteral("/t.dbf");
    Handle h = track(CreateDBF(file, {QStringLiteral("ident,C,10")}));
    for (int i = 1; i <= 200; ++i) {
        AppendRecord(h);
        WriteField(h, QStringLiteral("ident"), i, QString::number(i));
    }
    close(h);
    const QByteArray before = fileBytes(file);
    h = track(OpenDBF(file));
    {
        // A disk that fills up during the rebuild: files may not grow beyond
        // the old table's size.
        FileSizeLimit limit(before.size() + 100);
        EXPECT_FALSE(AddField(h, QStringLiteral("elev,N,8")));
    }
    EXPECT_EQ(GetFields(h), QStringList{QStringLiteral("IDENT,C,10,0")});
    EXPECT_EQ(ReadRecords(h, 200).value(0).value(0), QStringLiteral("200       "));
    close(h);
    EXPECT_EQ(fileBytes(file), before);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("t.cpg"), QStringLiteral("t.dbf")}));
#else
    GTEST_SKIP() << "needs a file size limit";
#endif
}

TEST_F(DBaseTable, ReadRecordsReturnsDeletedRecordsAndRefusesShortFiles) {
    Handle h = identLat(QStringLiteral("t.dbf"), 3);
    WriteField(h, QStringLiteral("ident"), 2, QStringLiteral("gone"));
    close(h);
    QByteArray b = fileBytes(scratchPath(QStringLiteral("t.dbf")));
    b[97 + 23] = '*';
    writeBytes(scratchPath(QStringLiteral("t.dbf")), b);
    h = track(OpenDBF(scratchPath(QStringLiteral("t.dbf"))));
    const auto records = ReadRecords(h, 0);
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(records[1][0], QStringLiteral("gone      "));
    close(h);

    b.chop(24); // the last record is cut off
    writeBytes(scratchPath(QStringLiteral("t.dbf")), b);
    h = track(OpenDBF(scratchPath(QStringLiteral("t.dbf"))));
    EXPECT_TRUE(ReadRecords(h, 0).isEmpty());
    EXPECT_EQ(ReadRecords(h, 2).size(), 1);
    EXPECT_EQ(AppendRecord(h), -1); // appending would leave a gap of missing bytes
}

TEST_F(DBaseTable, ForeignEndOfFileConventions) {
    // Another program's empty table with a marker, and a filled one without.
    Handle h = identLat(QStringLiteral("a.dbf"));
    close(h);
    QByteArray withMarker = fileBytes(scratchPath(QStringLiteral("a.dbf"))) + '\x1A';
    writeBytes(scratchPath(QStringLiteral("a.dbf")), withMarker);
    h = track(OpenDBF(scratchPath(QStringLiteral("a.dbf"))));
    ASSERT_EQ(AppendRecord(h), 1);
    WriteField(h, QStringLiteral("ident"), 1, QStringLiteral("one"));
    close(h);
    QByteArray b = fileBytes(scratchPath(QStringLiteral("a.dbf")));
    ASSERT_EQ(b.size(), 97 + 23 + 1);
    EXPECT_EQ(b[97], ' ');
    EXPECT_EQ(b.back(), 0x1A);

    b.chop(1); // now without a marker
    writeBytes(scratchPath(QStringLiteral("a.dbf")), b);
    h = track(OpenDBF(scratchPath(QStringLiteral("a.dbf"))));
    ASSERT_EQ(AppendRecord(h), 2);
    WriteField(h, QStringLiteral("ident"), 2, QStringLiteral("two"));
    const auto records = ReadRecords(h, 0);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0][0], QStringLiteral("one       "));
    EXPECT_EQ(records[1][0], QStringLiteral("two       "));
    EXPECT_EQ(records[0][1], QStringLiteral("    0.000000"));
    close(h);
    EXPECT_EQ(fileBytes(scratchPath(QStringLiteral("a.dbf"))).size(), 97 + 2 * 23 + 1);
}

TEST_F(DBaseTable, LaterVersionsAskBeforeEveryWrite) {
    Handle h = identLat(QStringLiteral("v.dbf"), 1);
    close(h);
    for (char version : {char(0x8B), char(4)}) {
        QByteArray b = fileBytes(scratchPath(QStringLiteral("v.dbf")));
        b[0] = version;
        writeBytes(scratchPath(QStringLiteral("v.dbf")), b);
        RecordedNotices notices;
        notices.answers.push_back(QStringLiteral("  no thanks"));
        notices.answers.push_back(QString()); // cancelled: goes on
        notices.answers.push_back(QStringLiteral("n"));
        h = track(OpenDBF(scratchPath(QStringLiteral("v.dbf"))));
        EXPECT_EQ(AppendRecord(h), -1);
        EXPECT_EQ(AppendRecord(h), 2);
        EXPECT_FALSE(WriteField(h, QStringLiteral("ident"), 1, QStringLiteral("x")));
        close(h);
        ASSERT_EQ(notices.notices.size(), 3u);
        const ShapeNotice& question = notices.notices[0];
        EXPECT_EQ(question.kind, ShapeNotice::Kind::Question);
        EXPECT_EQ(question.text,
                  QStringLiteral("Warning: DBF file does not support DBASE Version 7, Contnue?"));
        EXPECT_EQ(question.title,
                  QStringLiteral("Might be a problem...Send me the file to test???"));
        EXPECT_EQ(question.defaultAnswer, QStringLiteral("Yes"));
        // Truncate back to one record for the next version.
        b = fileBytes(scratchPath(QStringLiteral("v.dbf"))).left(97 + 23);
        putLittle32(b, 4, 1);
        writeBytes(scratchPath(QStringLiteral("v.dbf")), b + '\x1A');
    }
}

TEST_F(DBaseTable, CreateOpenAndHandleFailures) {
    const QString file = scratchPath(QStringLiteral("keep.dbf"));
    writeBytes(file, "precious");
    EXPECT_EQ(CreateDBF(file, {QStringLiteral("x,N,256")}), kNoHandle);
    EXPECT_EQ(CreateDBF(file, {QStringLiteral("x,N")}), kNoHandle);
    EXPECT_EQ(fileBytes(file), QByteArray("precious")); // invalid specs touch nothing
    EXPECT_EQ(CreateDBF(scratchPath(QStringLiteral("no/dir/t.dbf")), {QStringLiteral("x,C,1")}),
              kNoHandle);

    const Handle h = track(CreateDBF(scratchPath(QStringLiteral("long.dbf")),
                                     {QStringLiteral("averyveryverylongname,c,5")}));
    EXPECT_EQ(GetFields(h), QStringList{QStringLiteral("AVERYVERYV,C,5,0")});

    // A missing table is created empty and has no fields to append to.
    const Handle empty = track(OpenDBF(scratchPath(QStringLiteral("missing.dbf"))));
    ASSERT_NE(empty, kNoHandle);
    EXPECT_TRUE(QFileInfo::exists(scratchPath(QStringLiteral("missing.dbf"))));
    EXPECT_EQ(GetRecordCount(empty), -1);
    EXPECT_TRUE(GetFields(empty).isEmpty());
    EXPECT_EQ(AppendRecord(empty), -1);

    const Handle unknown = 999;
    EXPECT_EQ(GetRecordCount(unknown), -1);
    EXPECT_EQ(AppendRecord(unknown), -1);
    EXPECT_FALSE(CloseDBF(unknown));
    EXPECT_TRUE(KillFile(scratchPath(QStringLiteral("not-there"))));
}

TEST_F(DBaseTable, TempDirAndDirectoryLookup) {
    const QString temp = GetTempDir();
    EXPECT_TRUE(temp.endsWith('/'));
    EXPECT_TRUE(DirExists(temp));
    EXPECT_TRUE(DirExists(scratchPath(QString())));
    EXPECT_FALSE(DirExists(scratchPath(QStringLiteral("nowhere"))));
    EXPECT_TRUE(ui.messages().isEmpty());
}

} // namespace
} // namespace trekora
