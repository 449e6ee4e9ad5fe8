// The files the program writes open in GDAL with the same coordinates and
// values, and files GDAL writes load into the table.
#include "IoTestSupport.h"
#include "io/FileImport.h"
#include "io/ShapefileExport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace trekora;
using trekora::test::IoTest;

class InteropTest : public IoTest {
protected:
    void SetUp() override {
        IoTest::SetUp();
        for (const char* tool : {"ogrinfo", "ogr2ogr"})
            if (test::requireTool(QString::fromLatin1(tool)).isEmpty())
                return;
    }
    static QString run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(QStandardPaths::findExecutable(program), arguments);
        process.waitForFinished(60000);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    }
    // The geometries ogrinfo reports, in feature order, as WKT.
    static QStringList geometries(const QString& report) {
        QStringList shapes;
        const QRegularExpression wkt("^\\s*((?:MULTI)?(?:POINT|LINESTRING|POLYGON) .*)$",
                                     QRegularExpression::MultilineOption);
        for (auto it = wkt.globalMatch(report); it.hasNext();)
            shapes << it.next().captured(1).trimmed();
        return shapes;
    }
};

TEST_F(InteropTest, GdalReadsWhatTheProgramWrites) {
    table.setCurrentRecordType(RecordType::Track);
    const char* rows[] = {"TRACK;a;29.1;-98.1;3220000.5;490000.25;true",
                          "TRACK;b;29.2;-98.1;3230000.5;490000.25;false",
                          "TRACK;c;29.2;-98.2;3230000.5;480000.25;false",
                          "TRACK;d;29.3;-98.3;3240000.5;470000.25;true",
                          "TRACK;e;29.4;-98.3;3250000.5;470000.25;false",
                          "TRACK;f;29.4;-98.4;3250000.5;460000.25;false"};
    for (const char* row : rows)
        ASSERT_TRUE(table.AddRecord(row));
    table.grid().setText(1, col("model"), "Ünit, \"quoted\"");

    const QString points = scratchPath("p.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Point", true, points, false));
    const QString pointReport = run("ogrinfo", {"-al", points});
    EXPECT_FALSE(pointReport.contains("Warning")) << pointReport.toStdString();
    EXPECT_EQ(geometries(pointReport).value(0), "POINT (490000.25 3220000.5)");
    EXPECT_TRUE(pointReport.contains("MODEL (String) = Ünit, \"quoted\""))
        << pointReport.toStdString();
    EXPECT_TRUE(pointReport.contains("LAT (Real) = 29.10000000"));

    const QString lines = scratchPath("l.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Line", false, lines, false));
    const QStringList lineShapes = geometries(run("ogrinfo", {"-al", lines}));
    ASSERT_EQ(lineShapes.size(), 2);
    EXPECT_EQ(lineShapes[0], "LINESTRING (-98.1 29.1,-98.1 29.2,-98.2 29.2)");

    const QString polygons = scratchPath("g.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Polygon", false, polygons, false));
    const QString polygonReport = run("ogrinfo", {"-al", polygons});
    EXPECT_FALSE(polygonReport.contains("Warning")) << polygonReport.toStdString();
    const QStringList rings = geometries(polygonReport);
    ASSERT_EQ(rings.size(), 2);
    EXPECT_TRUE(rings[0].startsWith("POLYGON ((")) << rings[0].toStdString();
}

TEST_F(InteropTest, TheProgramReadsWhatGdalWrites) {
    const QString csv = scratchPath("src.csv");
    {
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("WKT,ident,comment\n"
                   "\"POINT (1.5 2.5)\",A,first\n"
                   "\"POINT (3.25 4.75)\",B,second\n");
    }
    const QString points = scratchPath("gdal_points.shp");
    run("ogr2ogr", {"-f", "ESRI Shapefile", points, csv, "-nlt", "POINT"});
    ASSERT_TRUE(Open_Shapefile(io, points));
    EXPECT_EQ(table.currentRecordType(), "waypoint");
    ASSERT_EQ(table.recordCount(), 2);
    EXPECT_EQ(cell(2, "ident"), "B");
    EXPECT_EQ(cell(2, "comment"), "second");
    EXPECT_EQ(cell(2, "x_proj"), "3.25000000");
    EXPECT_EQ(cell(2, "y_proj"), "4.75000000");

    const QString lineCsv = scratchPath("lines.csv");
    {
        QFile file(lineCsv);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("WKT,name\n\"LINESTRING (0 0,1 1,2 0)\",one\n"
                   "\"POLYGON ((0 0,0 1,1 1,1 0,0 0))\",two\n");
    }
    const QString lines = scratchPath("gdal_lines.shp");
    run("ogr2ogr",
        {"-f", "ESRI Shapefile", lines, lineCsv, "-nlt", "LINESTRING", "-where", "name = 'one'"});
    ASSERT_TRUE(Open_Shapefile(io, lines));
    EXPECT_EQ(table.currentRecordType(), "track");
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(cell(3, "x_proj"), "2.00000000");
    const QString polygons = scratchPath("gdal_polygons.shp");
    run("ogr2ogr",
        {"-f", "ESRI Shapefile", polygons, lineCsv, "-nlt", "POLYGON", "-where", "name = 'two'"});
    ASSERT_TRUE(Open_Shapefile(io, polygons));
    EXPECT_EQ(table.recordCount(), 5); // the closing vertex included

    const QString table2 = scratchPath("attrs.csv");
    {
        QFile file(table2);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("type,ident,lat,long,y_proj,x_proj,comment\n"
                   "WAYPOINT,X1,29.5,-98.5,0,0,hello\n");
    }
    const QString dbf = scratchPath("attrs.dbf");
    run("ogr2ogr", {"-f", "ESRI Shapefile", dbf, table2});
    ASSERT_TRUE(Open_DBF(io, dbf));
    EXPECT_TRUE(chooser.requests.empty());
    EXPECT_EQ(cell(1, "ident"), "X1");
    EXPECT_EQ(cell(1, "lat"), "29.5");
}
