// The files the program writes open in GDAL with the same coordinates and
// values, and files GDAL writes load into the table.
#include "IoTestSupport.h"
#include "io/FileImport.h"
#include "io/IoReport.h"
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

// A record GDAL wrote without a geometry is left out and reported, never
// loaded at 0,0 and never dropped without a word.
TEST_F(InteropTest, RecordsWithoutAShapeAreRefusedAndReported) {
    const QString csv = writeFile("nulls.csv", "WKT,ident\n"
                                               "\"POINT (1.5 2.5)\",A\n"
                                               ",B\n");
    const QString points = scratchPath("gdal_nulls.shp");
    run("ogr2ogr", {"-f", "ESRI Shapefile", points, csv, "-nlt", "POINT"});
    chooser.answers.push_back(std::array<QString, 6>{}); // take the suggested fields
    ASSERT_TRUE(Open_Shapefile(io, points));
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_EQ(cell(1, "ident"), "A");
    EXPECT_EQ(io.report.count(IoReport::Kind::RefusedRecord), 1);
    EXPECT_EQ(io.report.problemLines(),
              QStringList{"1 record refused: record 2 shape \"Null Shape\" has no position"});
}

// A polygon with a hole, loaded and saved again, is still one polygon with a
// hole of the same area in GDAL, not two filled polygons.
TEST_F(InteropTest, PolygonHolesSurviveARoundTrip) {
    const QString csv = writeFile("holes.csv", "WKT,ident\n"
                                               "\"POLYGON ((0 0,0 10,10 10,10 0,0 0),"
                                               "(2 2,8 2,8 8,2 8,2 2))\",ring\n"
                                               "\"POLYGON ((20 0,20 1,21 1,21 0,20 0))\",plain\n");
    const QString source = scratchPath("holes_in.shp");
    run("ogr2ogr", {"-f", "ESRI Shapefile", source, csv, "-nlt", "POLYGON"});
    ASSERT_TRUE(Open_Shapefile(io, source));
    const QString saved = scratchPath("holes_out.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Polygon", true, saved, false));
    const QStringList shapes = geometries(run("ogrinfo", {"-al", saved}));
    ASSERT_EQ(shapes.size(), 2) << shapes.join('\n').toStdString();
    EXPECT_TRUE(shapes[0].startsWith("POLYGON ((")) << shapes[0].toStdString();
    EXPECT_TRUE(shapes[0].contains("),(")) << shapes[0].toStdString();
    const QString areas =
        run("ogrinfo", {"-al", "-q", "-sql", "SELECT OGR_GEOM_AREA FROM holes_out", saved});
    EXPECT_TRUE(areas.contains("OGR_GEOM_AREA (Real) = 64")) << areas.toStdString();
    EXPECT_TRUE(areas.contains("OGR_GEOM_AREA (Real) = 1")) << areas.toStdString();
}

// Z and M shapefiles, as GPS tools write them, load as their plain shapes;
// heights go into the altitude column.
TEST_F(InteropTest, ZAndMShapefilesLoad) {
    struct Case {
        const char* wkt;
        const char* type;
        int rows;
        const char* firstAltitude; // "" when the type has no heights
    } cases[] = {
        {"POINT Z (1 2 3.5)", "POINTZ", 1, "3.50"},
        {"LINESTRING Z (0 0 5,1 1 6)", "LINESTRINGZ", 2, "5.00"},
        {"POLYGON Z ((0 0 1,0 1 2,1 1 3,0 0 1))", "POLYGONZ", 4, "1.00"},
        {"POINT M (1 2 7)", "POINTM", 1, ""},
        {"LINESTRING M (0 0 1,1 1 2)", "LINESTRINGM", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const QString csv =
            writeFile("zm.csv", QByteArray("WKT,ident,comment\n\"") + c.wkt + "\",a,b\n");
        const QString shp = scratchPath(QStringLiteral("%1.shp").arg(c.type));
        run("ogr2ogr", {"-f", "ESRI Shapefile", shp, csv, "-nlt", c.type});
        ASSERT_TRUE(Open_Shapefile(io, shp)) << ui.messages().join('\n').toStdString();
        ASSERT_EQ(table.recordCount(), c.rows);
        EXPECT_EQ(cell(1, "y_proj").toDouble() + cell(1, "x_proj").toDouble(),
                  c.rows == 1 ? 3.0 : 0.0);
        EXPECT_EQ(cell(1, "altitude"), c.firstAltitude);
    }
}

// A UTF-8 shapefile from GDAL keeps its text through our load and save:
// saved as Windows-1252 with a .cpg, or as UTF-8 when that is chosen.
TEST_F(InteropTest, TextSurvivesInTheCodePageTheFilesName) {
    const QString csv = writeFile("text.csv", "WKT,ident,comment\n"
                                              "\"POINT (1 2)\",café,naïve €\n"
                                              "\"POINT (3 4)\",b,Ελλάδα\n");
    const QString source = scratchPath("utf8_in.shp");
    run("ogr2ogr", {"-f", "ESRI Shapefile", "-lco", "ENCODING=UTF-8", source, csv});
    ASSERT_TRUE(Open_Shapefile(io, source));
    EXPECT_EQ(cell(1, "ident"), QString::fromUtf8("café"));

    const QString ansi = scratchPath("ansi_out.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Point", true, ansi, false));
    const QString ansiReport = run("ogrinfo", {"-al", ansi});
    EXPECT_TRUE(ansiReport.contains(QString::fromUtf8("IDENT (String) = café")))
        << ansiReport.toStdString();
    EXPECT_TRUE(ansiReport.contains(QString::fromUtf8("COMMENT (String) = naïve €")));
    EXPECT_EQ(io.report.count(IoReport::Kind::ValueNotWritten), 1); // the Greek comment

    io.outputCodePage = CodePage::Utf8;
    const QString utf8 = scratchPath("utf8_out.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Point", true, utf8, false));
    const QString utf8Report = run("ogrinfo", {"-al", utf8});
    EXPECT_TRUE(utf8Report.contains(QString::fromUtf8("COMMENT (String) = Ελλάδα")))
        << utf8Report.toStdString();
}
