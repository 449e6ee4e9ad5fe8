#include "shapes/CPolyLine.h"
#include "shapes/CPolygon.h"
#include "shapes/CShapeFile.h"
#include "shapes/DBase.h"
#include "shapes/ShapeTestSupport.h"
#include "support/TestEnvironment.h"

#include <QProcess>

// Files written here must open without complaint in GDAL and shapelib, and
// files they write must read back here.
namespace trekora {
namespace {

using namespace test;

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("timed out");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Requires every named tool; a missing one ends the test (see requireTool).
#define REQUIRE_TOOLS(...)                                                                         \
    for (const char* name : {__VA_ARGS__})                                                         \
        if (requireTool(QString::fromLatin1(name)).isEmpty())                                      \
    return

class Interop : public TestEnvironment {
protected:
    // Writes `shapes` to base.shp/.shx with a table of ident C 12, elev N 10.2
    // and count N 6 holding `idents`, elev 12.5 * n and count n for record n.
    void writeLayer(const QString& base, std::int32_t type, const QList<GeometryObjectPtr>& shapes,
                    const QStringList& idents) {
        {
            CShapeFile file;
            file.SetFileSpec(CFileName(scratchPath(base + QStringLiteral(".shp"))),
                             CShapeFile::CREATEIT, type);
            for (const auto& shape : shapes)
                file.Add(shape);
            file.Flush();
        }
        const DBase::Handle table =
            DBase::CreateDBF(scratchPath(base + QStringLiteral(".dbf")),
                             {QStringLiteral("ident,C,12"), QStringLiteral("elev,N,10,2"),
                              QStringLiteral("count,N,6")});
        ASSERT_NE(table, DBase::kNoHandle);
        for (int n = 1; n <= idents.size(); ++n) {
            ASSERT_EQ(DBase::AppendRecord(table), n);
            ASSERT_TRUE(DBase::WriteField(table, QStringLiteral("ident"), n, idents[n - 1]));
            ASSERT_TRUE(
                DBase::WriteField(table, QStringLiteral("elev"), n, QString::number(12.5 * n)));
            ASSERT_TRUE(DBase::WriteField(table, QStringLiteral("count"), n, QString::number(n)));
        }
        ASSERT_TRUE(DBase::CloseDBF(table));
    }

    void expectOgrinfoShows(const QString& base, const QStringList& expected) {
        const ToolRun run =
            runTool(QStringLiteral("ogrinfo"), {QStringLiteral("-ro"), QStringLiteral("-al"),
                                                scratchPath(base + QStringLiteral(".shp"))});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.err.trimmed().isEmpty()) << run.err.toStdString();
        for (const QString& text : expected)
            EXPECT_TRUE(run.out.contains(text)) << "missing: " << text.toStdString() << "\n"
                                                << run.out.toStdString();
    }

    void expectShapelibAccepts(const QString& base, const QStringList& expected) {
        const QString shp = scratchPath(base + QStringLiteral(".shp"));
        const QString dbf = scratchPath(base + QStringLiteral(".dbf"));
        for (const ToolRun& run :
             {runTool(QStringLiteral("shpinfo"), {shp}),
              runTool(QStringLiteral("shpdump"), {QStringLiteral("-validate"), shp}),
              runTool(QStringLiteral("dbfinfo"), {dbf}),
              runTool(QStringLiteral("dbfdump"), {dbf})}) {
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
            EXPECT_TRUE(run.err.trimmed().isEmpty()) << run.err.toStdString();
            EXPECT_FALSE(run.out.contains(QStringLiteral("arning"))) << run.out.toStdString();
            EXPECT_FALSE(run.out.contains(QStringLiteral("rror"))) << run.out.toStdString();
        }
        const QString dump = runTool(QStringLiteral("shpdump"), {shp}).out +
                             runTool(QStringLiteral("dbfdump"), {dbf}).out;
        for (const QString& text : expected)
            EXPECT_TRUE(dump.contains(text)) << "missing: " << text.toStdString() << "\n"
                                             << dump.toStdString();
    }
};

TEST_F(Interop, OurPointsLinesAndPolygonsOpenInGdalAndShapelib) {
    REQUIRE_TOOLS("ogrinfo", "shpinfo", "shpdump", "dbfinfo", "dbfdump");
    writeLayer(
        QStringLiteral("points"), 1,
        {std::make_shared<CPoint>(1.5, 2.25), std::make_shared<CPoint>(-122.98765432, 47.125)},
        {QStringLiteral("abc"), QStringLiteral("Café")});
    auto line = std::make_shared<CPolyLine>();
    line->Add(part({{0, 0}, {1, 1}, {2, 0}}));
    line->Add(part({{5, 5}, {6, 7}}));
    writeLayer(QStringLiteral("lines"), 3, {line}, {QStringLiteral("road")});
    auto polygon = std::make_shared<CPolygon>();
    polygon->Add(part({{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}})); // outer ring clockwise
    polygon->Add(part({{1, 1}, {2, 1}, {2, 2}, {1, 1}}));         // hole anticlockwise
    writeLayer(QStringLiteral("polygons"), 5, {polygon}, {QStringLiteral("lake")});

    expectOgrinfoShows(
        QStringLiteral("points"),
        {QStringLiteral("Feature Count: 2"), QStringLiteral("POINT (1.5 2.25)"),
         QStringLiteral("POINT (-122.98765432 47.125)"), QStringLiteral("IDENT (String) = abc"),
         QStringLiteral("IDENT (String) = Café"), QStringLiteral("ELEV (Real) = 25.00"),
         QStringLiteral("COUNT (Integer) = 2"),
         QStringLiteral("Extent: (-122.987654, 2.250000) - (1.500000, 47.125000)")});
    expectOgrinfoShows(QStringLiteral("lines"),
                       {QStringLiteral("MULTILINESTRING ((0 0,1 1,2 0),(5 5,6 7))"),
                        QStringLiteral("IDENT (String) = road")});
    expectOgrinfoShows(QStringLiteral("polygons"),
                       {QStringLiteral("POLYGON ((0 0,0 4,4 4,4 0,0 0),(1 1,2 1,2 2,1 1))"),
                        QStringLiteral("ELEV (Real) = 12.50")});

    expectShapelibAccepts(QStringLiteral("points"),
                          {QStringLiteral("(-122.98765432,47.125"), QStringLiteral("abc")});
    expectShapelibAccepts(QStringLiteral("lines"), {QStringLiteral("nVertices=5, nParts=2")});
    expectShapelibAccepts(QStringLiteral("polygons"), {QStringLiteral("nVertices=9, nParts=2")});
}

TEST_F(Interop, ShapefilesAndTablesOfGdalReadBack) {
    REQUIRE_TOOLS("ogr2ogr");
    const QString csv = scratchPath(QStringLiteral("in.csv"));
    writeBytes(csv, "WKT,ident,elev,count\n"
                    "\"POINT (1.5 2.25)\",abc,12.5,3\n"
                    "\"POINT (-3 4)\",Caf\xC3\xA9,7.25,-8\n"
                    "\"LINESTRING (0 0,1 1,2 0)\",road,1,1\n"
                    "\"MULTILINESTRING ((0 0,1 1),(5 5,6 7,8 8))\",path,2,2\n"
                    "\"POLYGON ((0 0,0 4,4 4,4 0,0 0),(1 1,2 1,2 2,1 1))\",lake,3,3\n");
    struct Layer {
        const char* name;
        const char* where;
        const char* type;
    } layers[] = {{"p", "WKT LIKE 'POINT%'", "POINT"},
                  {"l", "WKT LIKE '%LINESTRING%'", "MULTILINESTRING"},
                  {"a", "WKT LIKE 'POLYGON%'", "POLYGON"}};
    for (const Layer& layer : layers) {
        const ToolRun run =
            runTool(QStringLiteral("ogr2ogr"),
                    {QStringLiteral("-f"), QStringLiteral("ESRI Shapefile"), QStringLiteral("-oo"),
                     QStringLiteral("AUTODETECT_TYPE=YES"), QStringLiteral("-where"),
                     QString::fromLatin1(layer.where), QStringLiteral("-nlt"),
                     QString::fromLatin1(layer.type),
                     scratchPath(QString::fromLatin1(layer.name) + QStringLiteral(".shp")), csv});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }

    CShapeFile points;
    points.SetFileSpec(CFileName(scratchPath(QStringLiteral("p.shp"))), 0);
    ASSERT_EQ(points.fileType(), 1);
    ASSERT_EQ(points.Count(), 2);
    auto second = std::dynamic_pointer_cast<CPoint>(points.Item(2));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->X(), -3);
    EXPECT_EQ(second->Y(), 4);
    EXPECT_EQ(points.Left(), -3);
    EXPECT_EQ(points.Top(), 4);

    CShapeFile lines;
    lines.SetFileSpec(CFileName(scratchPath(QStringLiteral("l.shp"))), 0);
    ASSERT_EQ(lines.fileType(), 3);
    ASSERT_EQ(lines.Count(), 2);
    auto path = std::dynamic_pointer_cast<CPolyLine>(lines.Item(2));
    ASSERT_TRUE(path);
    ASSERT_EQ(path->Count(), 2);
    EXPECT_EQ(path->Item(2)->Count(), 3);
    EXPECT_EQ(path->Item(2)->Item(3)->X(), 8);

    CShapeFile areas;
    areas.SetFileSpec(CFileName(scratchPath(QStringLiteral("a.shp"))), 0);
    ASSERT_EQ(areas.fileType(), 5);
    auto lake = std::dynamic_pointer_cast<CPolygon>(areas.Item(1));
    ASSERT_TRUE(lake);
    ASSERT_EQ(lake->Count(), 2);
    EXPECT_EQ(lake->Item(1)->Count(), 5);
    EXPECT_EQ(lake->Item(2)->Count(), 4);
    EXPECT_EQ(lake->Right(), 4);

    DBase::Handle table = DBase::OpenDBF(scratchPath(QStringLiteral("p.dbf")));
    ASSERT_NE(table, DBase::kNoHandle);
    const QStringList fields = DBase::GetFields(table);
    ASSERT_EQ(fields.size(), 4);
    EXPECT_TRUE(fields[1].startsWith(QStringLiteral("ident,C,")));
    EXPECT_TRUE(fields[2].startsWith(QStringLiteral("elev,N,")));
    const auto records = DBase::ReadRecords(table, 0);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[1][1].trimmed(), QStringLiteral("Café"));
    EXPECT_EQ(records[1][2].trimmed().toDouble(), 7.25);
    EXPECT_EQ(records[1][3].trimmed(), QStringLiteral("-8"));
    DBase::CloseDBF(table);

    // Appending to GDAL's table keeps its records and end marker in order.
    // (A copy without the shapefile, so that the table alone is read.)
    const QString alone = scratchPath(QStringLiteral("alone.dbf"));
    ASSERT_TRUE(QFile::copy(scratchPath(QStringLiteral("p.dbf")), alone));
    table = DBase::OpenDBF(alone);
    ASSERT_EQ(DBase::AppendRecord(table), 3);
    ASSERT_TRUE(DBase::WriteField(table, QStringLiteral("IDENT"), 3, QStringLiteral("added")));
    ASSERT_TRUE(DBase::CloseDBF(table));
    const ToolRun check =
        runTool(QStringLiteral("ogrinfo"), {QStringLiteral("-ro"), QStringLiteral("-al"), alone});
    EXPECT_TRUE(check.out.contains(QStringLiteral("ident (String) = added")))
        << check.out.toStdString();
    EXPECT_TRUE(check.out.contains(QStringLiteral("ident (String) = Café")));
}

TEST_F(Interop, TableOnlyExportOfGdalReadsBack) {
    REQUIRE_TOOLS("ogr2ogr");
    const QString csv = scratchPath(QStringLiteral("rows.csv"));
    writeBytes(csv, "name,depth\nwell one,12.75\nwell two,-3\n");
    const ToolRun run = runTool(QStringLiteral("ogr2ogr"),
                                {QStringLiteral("-f"), QStringLiteral("ESRI Shapefile"),
                                 QStringLiteral("-oo"), QStringLiteral("AUTODETECT_TYPE=YES"),
                                 scratchPath(QStringLiteral("rows.dbf")), csv});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const DBase::Handle table = DBase::OpenDBF(scratchPath(QStringLiteral("rows.dbf")));
    EXPECT_EQ(DBase::GetRecordCount(table), 2);
    const auto records = DBase::ReadRecords(table, 0);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0][0].trimmed(), QStringLiteral("well one"));
    EXPECT_EQ(records[1][1].trimmed().toDouble(), -3);
    DBase::CloseDBF(table);
}

} // namespace
} // namespace trekora
