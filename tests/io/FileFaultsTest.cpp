// Loads and saves that used to produce wrong data while reporting success:
// coordinates read by another rule than attributes, deleted dBASE records,
// text in the wrong code page, refused appends that changed files, and
// values that became 0 or "?" without a word.
#include "IoTestSupport.h"
#include "io/FileImport.h"
#include "io/ShapefileExport.h"
#include "io/TextFile.h"
#include "shapes/DBase.h"
#include "shapes/ShapeError.h"

#include <QDir>
#include <QFileInfo>

using namespace trekora;
using trekora::test::IoTest;

namespace {

// The bytes of a small dBASE table: a character field IDENT of 8 and the
// numeric fields LAT,N,8,2 and LONG,N,8,2, with records given as raw 24-byte
// bodies (deletion flag included).
QByteArray dbfBytes(const QList<QByteArray>& records, char languageDriver = 0x57) {
    QByteArray bytes(32, '\0');
    bytes[0] = 3;
    const int count = int(records.size());
    bytes[4] = char(count);
    const int headerLength = 32 + 3 * 32 + 1;
    bytes[8] = char(headerLength & 0xFF);
    bytes[9] = char(headerLength >> 8);
    bytes[10] = 1 + 8 + 8 + 8;
    bytes[29] = languageDriver;
    auto descriptor = [](const char* name, char type, int length, int decimals) {
        QByteArray d(32, '\0');
        d.replace(0, int(qstrlen(name)), name);
        d[11] = type;
        d[16] = char(length);
        d[17] = char(decimals);
        return d;
    };
    bytes += descriptor("IDENT", 'C', 8, 0);
    bytes += descriptor("LAT", 'N', 8, 2);
    bytes += descriptor("LONG", 'N', 8, 2);
    bytes += '\r';
    for (const QByteArray& record : records)
        bytes += record;
    bytes += char(0x1A);
    return bytes;
}

} // namespace

class FileFaultsTest : public IoTest {
protected:
    QStringList column(const char* name) const {
        QStringList values;
        for (int r = 1; r <= table.recordCount(); ++r)
            values << cell(r, name);
        return values;
    }
    static QByteArray dbfRecordBytes(const QString& path) {
        QByteArray bytes = readFile(path);
        const int headerLength = quint8(bytes[8]) | quint8(bytes[9]) << 8;
        return bytes.mid(headerLength);
    }
};

// Coordinates that are not plain "." numbers, or lie outside the globe, are
// refused for their row instead of loading as a cut-off degree or 0.
TEST_F(FileFaultsTest, BadCoordinateRowsAreRefusedAndReported) {
    const QString path = writeFile("c.txt", "type;ident;lat;long;comment\r\n"
                                            "WAYPOINT;ok;48.8566;2.3522;a\r\n"
                                            "WAYPOINT;comma;48,8566;2,3522;b\r\n"
                                            "WAYPOINT;trailing;45-;-93;c\r\n"
                                            "WAYPOINT;north;90.5;10;d\r\n"
                                            "WAYPOINT;east;10;180.01;e\r\n"
                                            "WAYPOINT;word;abc;10;f\r\n"
                                            "WAYPOINT;edge;-90;-180;g\r\n");
    chooser.answers.push_back(std::array<QString, 6>{});
    ASSERT_TRUE(Open_Textfile(io, path));
    EXPECT_EQ(column("ident"), (QStringList{"ok", "edge"}));
    EXPECT_EQ(io.report.count(IoReport::Kind::RefusedRecord), 5);
    const QStringList lines = io.report.problemLines();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], "5 records refused: record 2 lat \"48,8566\" is not a number; "
                        "record 3 lat \"45-\" is not a number; "
                        "record 4 lat \"90.5\" is outside -90 to 90; "
                        "record 5 long \"180.01\" is outside -180 to 180; "
                        "record 6 lat \"abc\" is not a number");
}

// dBASE rows carry the same rule; records flagged deleted are not loaded.
TEST_F(FileFaultsTest, DbaseSkipsDeletedRecordsAndRefusesBadCoordinates) {
    const QString path =
        writeFile("d.dbf", dbfBytes({" kept       48.86    2.35", "*gone       10.00   10.00",
                                     " bad        45-      2.00", " last      -10.50  100.25"}));
    chooser.answers.push_back(std::array<QString, 6>{});
    ASSERT_TRUE(Open_DBF(io, path));
    EXPECT_EQ(column("ident"), (QStringList{"kept", "last"}));
    EXPECT_EQ(column("lat"), (QStringList{"48.86", "-10.50"}));
    EXPECT_EQ(io.report.count(IoReport::Kind::RefusedRecord), 1);
    EXPECT_EQ(io.report.problemLines().value(0),
              "1 record refused: record 3 lat \"45-\" is not a number");
}

// The text of a table is read in the code page its .cpg names, else the one
// its language byte stands for.
TEST_F(FileFaultsTest, DbaseTextIsReadInItsOwnCodePage) {
    struct Case {
        const char* name;
        QByteArray nameBytes; // 8 bytes
        char languageDriver;
        const char* cpg; // nullptr: none
        QString expected;
    } cases[] = {
        {"utf8", QByteArray("caf\xC3\xA9   "), 0, "UTF-8", QString::fromUtf8("café")},
        {"cpg1252", QByteArray("caf\xE9\x80   "), 0, "1252", QString::fromUtf8("café€")},
        {"ldid1252", QByteArray("caf\xE9\x80   "), 0x57, nullptr, QString::fromUtf8("café€")},
        {"ldid437", QByteArray("caf\x82    "), 0x01, nullptr, QString::fromUtf8("café")},
        {"cpg850", QByteArray("\x9D\xD0      "), 0, "850", QString::fromUtf8("Øð")},
        {"latin1", QByteArray("caf\xE9    "), 0, "ISO-8859-1", QString::fromUtf8("café")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path =
            writeFile(QString::fromLatin1(c.name) + ".dbf",
                      dbfBytes({' ' + c.nameBytes + "   48.86    2.35"}, c.languageDriver));
        if (c.cpg)
            writeFile(QString::fromLatin1(c.name) + ".cpg", c.cpg);
        chooser.answers.push_back(std::array<QString, 6>{});
        ASSERT_TRUE(Open_DBF(io, path));
        EXPECT_EQ(cell(1, "ident"), c.expected);
    }
}

// Windows-1252 by default, with a .cpg saying so; a value the page cannot
// hold is reported by row and field; UTF-8 output keeps it, and a cut to the
// field width never splits a character.
TEST_F(FileFaultsTest, SavedTablesNameTheirCodePageAndReportWhatItCannotHold) {
    ASSERT_TRUE(table.AddRecord("WAYPOINT;A;29.5;-98.5"));
    ASSERT_TRUE(table.AddRecord("WAYPOINT;B;29.6;-98.6"));
    table.grid().setText(1, col("comment"), QString::fromUtf8("café €"));
    table.grid().setText(2, col("comment"), QString::fromUtf8("Ελλάδα"));
    table.grid().setText(2, col("ident"), "a" + QString(13, QChar(0xE9))); // 27 bytes in UTF-8
    table.grid().setText(1, col("altitude"), "123456789012345");           // wider than N,12,2
    table.grid().setText(2, col("altitude"), "12,5");

    const QString ansi = scratchPath("ansi.dbf");
    ASSERT_TRUE(Save_DBF(io, ansi, false));
    EXPECT_EQ(readFile(scratchPath("ansi.cpg")), "1252");
    EXPECT_EQ(readFile(ansi)[29], char(0x57));
    EXPECT_EQ(io.report.problemLines(),
              (QStringList{"3 values not written: "
                           "record 1 altitude \"123456789012345\" does not fit the field's 12 "
                           "characters; "
                           "record 2 comment \"Ελλάδα\" has characters that code page 1252 "
                           "cannot hold; "
                           "record 2 altitude \"12,5\" is not a number"}));
    EXPECT_TRUE(dbfRecordBytes(ansi).contains("caf\xE9 \x80"));

    io.report.clear();
    io.outputCodePage = CodePage::Utf8;
    const QString utf8 = scratchPath("utf8.dbf");
    ASSERT_TRUE(Save_DBF(io, utf8, false));
    EXPECT_EQ(readFile(scratchPath("utf8.cpg")), "UTF-8");
    EXPECT_EQ(readFile(utf8)[29], char(0));
    EXPECT_EQ(io.report.count(IoReport::Kind::ValueNotWritten), 2); // the two numbers
    const QByteArray records = dbfRecordBytes(utf8);
    EXPECT_TRUE(records.contains(QString::fromUtf8("Ελλάδα").toUtf8()));
    // The 24-byte field takes eleven whole "é" and a blank, not eleven and a half.
    const QString cut = "a" + QString(11, QChar(0xE9)) + ' ';
    EXPECT_TRUE(records.contains("WAYPOINT  " + cut.toUtf8() + ' ')) << records.toStdString();

    const DBase::Handle h = DBase::OpenDBF(utf8);
    EXPECT_EQ(DBase::ReadRecords(h, 2).value(0).value(1), cut);
    DBase::CloseDBF(h);
}

// A refused append changes no file; a failed save leaves nothing behind and
// the earlier file as it was.
TEST_F(FileFaultsTest, RefusedAppendAndFailedSaveTouchNoFile) {
    ASSERT_TRUE(table.AddRecord("WAYPOINT;A;29.5;-98.5"));
    const QString points = scratchPath("pts.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Point", false, points, false));
    const QStringList names = {"pts.shp", "pts.shx", "pts.dbf", "pts.cpg", "pts.prj"};
    QList<QByteArray> before;
    for (const QString& name : names)
        before << readFile(scratchPath(name));

    table.OptionClicked(RecordType::Track);
    ASSERT_TRUE(table.AddRecord("TRACK;t1;29.5;-98.5;0;0;True"));
    ASSERT_TRUE(table.AddRecord("TRACK;t2;29.6;-98.6;0;0;False"));
    ui.clear();
    EXPECT_FALSE(Save_Shapefile(io, "Line", false, points, true));
    EXPECT_EQ(ui.messages(), QStringList{"Unable to add Lines to existing shapefile"});
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(readFile(scratchPath(names[i])), before[i]) << names[i].toStdString();

    // A failure after the files were begun (no PRJ can be written) keeps the old set.
    io.writePrj = [](const QString&, bool) {
        throw ShapeError(75, QStringLiteral("WritePRJ"), QStringLiteral("Path/File access error"));
    };
    ui.clear();
    EXPECT_FALSE(Save_Shapefile(io, "Line", false, points, false));
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(readFile(scratchPath(names[i])), before[i]) << names[i].toStdString();
    EXPECT_EQ(
        QDir(scratchPath(".")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList{"pts.cpg", "pts.dbf", "pts.prj", "pts.shp", "pts.shx"}));

    // A folder that cannot take the new files keeps the table's own message.
    ui.clear();
    EXPECT_FALSE(Save_DBF(io, scratchPath("missing/t.dbf"), false));
    EXPECT_EQ(ui.messages(), QStringList{"Save_DBF Error #545 - Error Creating Table"});
}

// A shapefile whose type still cannot be loaded says which type it is.
TEST_F(FileFaultsTest, UnsupportedShapeTypeIsNamed) {
    ASSERT_TRUE(table.AddRecord("WAYPOINT;A;29.5;-98.5"));
    const QString path = scratchPath("patch.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Point", false, path, false));
    QByteArray shp = readFile(path);
    shp[32] = 31; // MultiPatch
    writeFile("patch.shp", shp);
    ui.clear();
    EXPECT_FALSE(Open_Shapefile(io, path));
    EXPECT_EQ(ui.messages(), QStringList{"Error # 9999 was generated by frmMain.Open_Shapefile\r"
                                         "Unsupported shape type: MultiPatch"});
}

// The automatic mapping of the headless modes takes the names GIS files
// commonly use, and says which input fields nothing takes.
TEST_F(FileFaultsTest, AutomaticMappingKnowsCommonGisNames) {
    AcceptingFieldChooser accepting;
    IoContext headless{table, accepting, [](bool) { return true; }, {}, {}};
    const QString waypoints = writeFile("gis.csv", "name,latitude,lon,ele,desc,sym,extra\r\n"
                                                   "Peak,46.5,7.9,4158.2,summit,Summit,x\r\n");
    ASSERT_TRUE(Open_Textfile(headless, waypoints));
    EXPECT_EQ(cell(1, "ident"), "Peak");
    EXPECT_EQ(cell(1, "lat"), "46.5");
    EXPECT_EQ(cell(1, "long"), "7.9");
    EXPECT_EQ(cell(1, "altitude"), "4158.2");
    EXPECT_EQ(cell(1, "comment"), "summit");
    EXPECT_EQ(cell(1, "symbol"), "Summit");
    EXPECT_EQ(headless.report.ignoredFields(), QStringList{"extra"});

    const QString track = writeFile("trk.csv", "type,lat,long,elevation,datetime,cmt\r\n"
                                               "TRACK,46.5,7.9,12,2026-05-01T10:00:00Z,c\r\n");
    ASSERT_TRUE(Open_Textfile(headless, track));
    EXPECT_EQ(cell(1, "altitude"), "12");
    EXPECT_EQ(cell(1, "time"), "2026-05-01T10:00:00Z");
    EXPECT_EQ(headless.report.ignoredFields(), QStringList{"cmt"}); // tracks have no comment
    // The window's dialog keeps its own suggestions: nothing is renamed there.
    chooser.answers.push_back(std::nullopt);
    EXPECT_FALSE(Open_Textfile(io, waypoints));
    ASSERT_EQ(chooser.requests.size(), 1u);
    EXPECT_EQ(chooser.requests[0].texts[0], kSequentialId);
}

// Text files from GIS tools are UTF-8; the program's own are Windows-1252.
// Both read right, and a value Windows-1252 cannot hold is reported when
// written, or kept when UTF-8 output is chosen.
TEST_F(FileFaultsTest, TextFilesInUtf8OrWindows1252) {
    const QString path =
        writeFile("mixed.txt", "\xEF\xBB\xBFtype;ident;lat;long;comment\r\n"
                               "WAYPOINT;caf\xC3\xA9;1;2;\xCE\x95\xCE\xBB\r\n" // UTF-8
                               "WAYPOINT;caf\xE9;1;2;\x80 5\r\n");             // Windows-1252
    chooser.answers.push_back(std::array<QString, 6>{});
    ASSERT_TRUE(Open_Textfile(io, path));
    EXPECT_EQ(column("ident"), (QStringList{QString::fromUtf8("café"), QString::fromUtf8("café")}));
    EXPECT_EQ(column("comment"), (QStringList{QString::fromUtf8("Ελ"), QString::fromUtf8("€ 5")}));
    EXPECT_EQ(table.grid().text(0, 1), "type");

    const QString ansi = scratchPath("out.txt");
    ASSERT_TRUE(Save_TextFile(io, ansi, ";", false));
    EXPECT_TRUE(readFile(ansi).contains("caf\xE9"));
    ASSERT_EQ(io.report.problemLines().size(), 1);
    EXPECT_TRUE(io.report.problemLines()[0].startsWith(
        QString::fromUtf8("1 value not written: record 1 comment \"Ελ\"")));

    io.outputCodePage = CodePage::Utf8;
    const QString utf8 = scratchPath("out8.txt");
    ASSERT_TRUE(Save_TextFile(io, utf8, ";", false));
    EXPECT_TRUE(readFile(utf8).contains("\xCE\x95\xCE\xBB"));
}
