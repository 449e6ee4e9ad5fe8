#include "IoTestSupport.h"
#include "io/FileImport.h"
#include "io/ShapefileExport.h"
#include "shapes/CFileName.h"
#include "shapes/CMultiPoint.h"
#include "shapes/CPart.h"
#include "shapes/CPoint.h"
#include "shapes/CPolyLine.h"
#include "shapes/CPolygon.h"
#include "shapes/CShapeFile.h"
#include "shapes/DBase.h"

#include "core/TextConventions.h"

#include <QFileInfo>

using namespace trekora;
using trekora::test::IoTest;

class ShapefileIoTest : public IoTest {
protected:
    void addTrack(int rows, const std::vector<int>& segmentStarts) {
        table.setCurrentRecordType(RecordType::Track);
        for (int r = 1; r <= rows; ++r) {
            const bool start =
                std::find(segmentStarts.begin(), segmentStarts.end(), r) != segmentStarts.end();
            // A square-ish path around (r, r*r % 7) keeps the rings non-degenerate.
            ASSERT_TRUE(table.AddRecord(QStringLiteral("TRACK;t%1;%2;%3;0;0;%4")
                                            .arg(r)
                                            .arg(29 + (r % 3) * 0.01)
                                            .arg(-98 + (r % 5) * 0.01)
                                            .arg(start ? "True" : "False")));
        }
    }
    static std::vector<IShapePtr> readShapes(const QString& path) {
        CShapeFile file;
        file.SetFileSpec(CFileName(path), 0, 0, false);
        std::vector<IShapePtr> shapes;
        for (int i = 1; i <= file.Count(); ++i)
            shapes.push_back(file.Item(i));
        return shapes;
    }
    static QList<QStringList> readTable(const QString& path, QStringList* fields = nullptr) {
        const DBase::Handle dbf = DBase::OpenDBF(path);
        if (fields)
            *fields = DBase::GetFields(dbf);
        QList<QStringList> records = DBase::ReadRecords(dbf, 0);
        DBase::CloseDBF(dbf);
        return records;
    }
    // Writes a shapefile with a table of the given fields, one record per shape.
    void writeShapefile(const QString& path, int type, const std::vector<GeometryObjectPtr>& shapes,
                        const QStringList& specs, const QList<QStringList>& values) {
        CShapeFile file;
        file.SetFileSpec(CFileName(path), CShapeFile::CREATEIT, type, false);
        for (const auto& shape : shapes)
            file.Add(shape);
        file.Flush();
        QString dbfPath = path;
        dbfPath.replace(".shp", ".dbf");
        const DBase::Handle dbf = DBase::CreateDBF(dbfPath, specs);
        for (const QStringList& row : values) {
            const int record = DBase::AppendRecord(dbf);
            for (int i = 0; i < row.size(); ++i)
                DBase::WriteField(dbf, specs[i].section(',', 0, 0), record, row[i]);
        }
        ASSERT_TRUE(DBase::CloseDBF(dbf));
    }
    static CPartPtr part(const std::vector<std::pair<double, double>>& points) {
        auto p = std::make_shared<CPart>();
        for (const auto& [x, y] : points)
            p->Add(std::make_shared<CPoint>(x, y));
        return p;
    }
};

TEST_F(ShapefileIoTest, WaypointsBecomeUnprojectedPoints) {
    ASSERT_TRUE(table.AddRecord("WAYPOINT;A;29.5;-98.25;0;0;one; two"));
    ASSERT_TRUE(table.AddRecord("WAYPOINT;B;30.5;-97.75;0;0;three"));
    const QString path = scratchPath("w.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Point", false, path, false));
    const auto shapes = readShapes(path);
    ASSERT_EQ(shapes.size(), 2u);
    const auto first = std::dynamic_pointer_cast<CPoint>(shapes[0]);
    ASSERT_TRUE(first);
    EXPECT_DOUBLE_EQ(first->X(), -98.25);
    EXPECT_DOUBLE_EQ(first->Y(), 29.5);
    QStringList fields;
    const auto records = readTable(scratchPath("w.dbf"), &fields);
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(fields.size(), 30);
    EXPECT_EQ(fields[0], "TYPE,C,10,0");
    EXPECT_EQ(records[1][1].trimmed(), "B");
    ASSERT_EQ(prjWrites.size(), 1u);
    EXPECT_TRUE(QFileInfo::exists(scratchPath("w.prj")));
    EXPECT_FALSE(prjWrites[0].second);
    EXPECT_TRUE(ui.messages().isEmpty());
}

TEST_F(ShapefileIoTest, TrackSegmentsBecomeLinesOrClockwiseRings) {
    addTrack(10, {1, 6});
    const QString lines = scratchPath("l.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Line", false, lines, false));
    const auto lineShapes = readShapes(lines);
    ASSERT_EQ(lineShapes.size(), 2u);
    EXPECT_EQ(std::dynamic_pointer_cast<CPolyLine>(lineShapes[1])->Item(1)->Count(), 5);
    const auto lineRecords = readTable(scratchPath("l.dbf"));
    EXPECT_EQ(lineRecords[0][1].trimmed(), "t1");
    EXPECT_EQ(lineRecords[1][1].trimmed(), "t6");

    const QString rings = scratchPath("p.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Polygon", false, rings, false));
    const auto polygons = readShapes(rings);
    ASSERT_EQ(polygons.size(), 2u);
    for (const auto& shape : polygons) {
        const CPartPtr ring = std::dynamic_pointer_cast<CPolygon>(shape)->Item(1);
        ASSERT_EQ(ring->Count(), 6);
        EXPECT_EQ(ring->Item(1)->X(), ring->Item(6)->X());
        EXPECT_EQ(ring->Item(1)->Y(), ring->Item(6)->Y());
        double area2 = 0;
        for (int i = 1; i < ring->Count(); ++i)
            area2 += ring->Item(i)->X() * ring->Item(i + 1)->Y() -
                     ring->Item(i + 1)->X() * ring->Item(i)->Y();
        EXPECT_LT(area2, 0) << "outer rings run clockwise";
    }
}

TEST_F(ShapefileIoTest, ExportFailuresAreReported) {
    ASSERT_TRUE(table.AddRecord("WAYPOINT;A;abc;-98.25"));
    EXPECT_FALSE(Save_Shapefile(io, "Point", false, scratchPath("bad.shp"), false));
    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0], "Error # 111 was generated by Trekora\rLat and Long fields must "
                                "contain valid values.  Please set Lat and Long values and try "
                                "again.");
    ui.clear();
    table.grid().setText(1, col("lat"), "29");
    const QString path = scratchPath("pts.shp");
    ASSERT_TRUE(Save_Shapefile(io, "Point", false, path, false));
    table.OptionClicked(RecordType::Track);
    EXPECT_FALSE(Save_Shapefile(io, "Line", false, path, true));
    EXPECT_EQ(ui.messages(), QStringList{"Unable to add Lines to existing shapefile"});
    EXPECT_EQ(readShapes(path).size(), 1u);
}

TEST_F(ShapefileIoTest, DbaseRoundTripLoadsWithoutTheDialog) {
    // Numeric fields hold fixed decimals; cells written as downloads write
    // them come back unchanged.
    table.setCurrentRecordType(RecordType::Track);
    for (int r = 1; r <= 4; ++r)
        ASSERT_TRUE(table.AddRecord(QStringLiteral("TRACK;t%1;%3;-98.50000000;"
                                                   "3258441.12345678;537012.00000000;%2;1;0;"
                                                   "219.97;0.00;12:00:0%1")
                                        .arg(r)
                                        .arg(r == 3 ? "True" : "False")
                                        .arg(text::format(29 + r / 100.0, u"0.00000000"))));
    table.grid().setText(2, col("model"), "x;y, z");
    const QString path = scratchPath("t.dbf");
    ASSERT_TRUE(Save_DBF(io, path, false));
    std::vector<QString> before;
    for (int r = 1; r <= 4; ++r)
        before.push_back(table.GetRowValues(r, false));
    table.ResetTable();
    ASSERT_TRUE(Open_DBF(io, path));
    EXPECT_TRUE(chooser.requests.empty());
    EXPECT_EQ(table.currentRecordType(), "track");
    ASSERT_EQ(table.recordCount(), 4);
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(table.GetRowValues(r, false), before[size_t(r - 1)]) << r;
}

TEST_F(ShapefileIoTest, PointShapefileLoadsAsProjectedWaypoints) {
    const QString path = scratchPath("in.shp");
    writeShapefile(path, 1,
                   {std::make_shared<CPoint>(537012.25, 3258441.5), std::make_shared<CPoint>(1, 2),
                    std::make_shared<CPoint>(3, 4)},
                   {"IDENT,C,10", "COMMENT,C,20", "Y_PROJ,N,10,1"},
                   {{"a", "first;one", "7"}, {"b", "second", "7"}, {"c", "third", "7"}});
    ASSERT_TRUE(Open_Shapefile(io, path));
    EXPECT_TRUE(chooser.requests.empty());
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(cell(1, "type"), "WAYPOINT");
    EXPECT_EQ(cell(1, "comment"), "first;one");
    EXPECT_EQ(cell(1, "y_proj"), "3258441.50000000");
    EXPECT_EQ(cell(1, "x_proj"), "537012.25000000");
    EXPECT_EQ(projections, std::vector<bool>{false});
}

TEST_F(ShapefileIoTest, PolylinePartsBecomeSegments) {
    const QString path = scratchPath("line.shp");
    auto line = std::make_shared<CPolyLine>();
    line->Add(part({{0, 0}, {1, 1}, {2, 2}}));
    line->Add(part({{5, 5}, {6, 6}, {7, 7}, {8, 8}}));
    auto nullLine = std::make_shared<CPolyLine>();
    nullLine->MakeNull(true);
    auto last = std::make_shared<CPolyLine>();
    last->Add(part({{9, 9}, {10, 10}}));
    writeShapefile(path, 3, {line, nullLine, last}, {"NAME,C,10"}, {{"r1"}, {"r2"}, {"r3"}});
    ASSERT_TRUE(Open_Shapefile(io, path));
    ASSERT_EQ(table.recordCount(), 9);
    EXPECT_EQ(table.currentRecordType(), "track");
    EXPECT_EQ(cell(1, "new_seg").toLower(), "true"); // row 1 always starts a segment
    EXPECT_EQ(cell(2, "new_seg"), "False");
    EXPECT_EQ(cell(4, "new_seg"), "True");
    EXPECT_EQ(cell(7, "x_proj"), "8.00000000");
    EXPECT_EQ(cell(8, "type"), "TRACK");
    EXPECT_EQ(cell(8, "x_proj"), "9.00000000");
}

TEST_F(ShapefileIoTest, LoadingNeverCreatesFiles) {
    const QString path = scratchPath("lonely.shp");
    {
        CShapeFile file;
        file.SetFileSpec(CFileName(path), CShapeFile::CREATEIT, 1, false);
        file.Add(std::make_shared<CPoint>(1, 2));
    }
    EXPECT_FALSE(Open_Shapefile(io, path));
    EXPECT_EQ(ui.messages().value(0),
              "Error # 222 was generated by frmMain.Open_Shapefile\rlonely.dbf contains 0 records");
    EXPECT_FALSE(QFileInfo::exists(scratchPath("lonely.dbf")));
    ui.clear();
    EXPECT_FALSE(Open_DBF(io, scratchPath("none.dbf")));
    EXPECT_EQ(ui.messages().value(0), "Open_DBF Error #514: Open_DBF");
    EXPECT_EQ(ui.records().value(0).title, "Error Opening Table");
    EXPECT_FALSE(QFileInfo::exists(scratchPath("none.dbf")));
}

TEST_F(ShapefileIoTest, MultipointShapefilesAreRefused) {
    const QString path = scratchPath("mp.shp");
    auto points = std::make_shared<CMultiPoint>();
    points->Add(std::make_shared<CPoint>(1, 2));
    writeShapefile(path, 8, {points}, {"IDENT,C,10", "COMMENT,C,10"}, {{"a", "b"}});
    EXPECT_FALSE(Open_Shapefile(io, path));
    EXPECT_EQ(ui.messages().value(0),
              "Error # 222 was generated by frmMain.Open_Shapefile\rMulti-Point shapefiles "
              "currently not supported.  Convert to a Point shapefile and try again");
    EXPECT_TRUE(table.hasHeader());
    EXPECT_FALSE(table.hasRecords());
}
