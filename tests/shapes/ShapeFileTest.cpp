#include "shapes/CMultiPoint.h"
#include "shapes/CPolyLine.h"
#include "shapes/CPolygon.h"
#include "shapes/CShapeFile.h"
#include "shapes/CreateEmptyShapefile.h"
#include "shapes/ShapeTestSupport.h"
#include "support/TestEnvironment.h"

namespace trekora {
namespace {

using namespace test;
namespace err = shape_errors;

class ShapeFile : public TestEnvironment {
protected:
    CFileName name(const QString& file) const { return CFileName(scratchPath(file)); }

    // Writes the point file (1, 2), (3, -1), (0, 5).
    void writeThreePoints(const QString& file) {
        CShapeFile shapes;
        shapes.SetFileSpec(name(file), CShapeFile::CREATEIT, 1);
        for (auto [x, y] : {std::pair{1.0, 2.0}, {3.0, -1.0}, {0.0, 5.0}})
            shapes.Add(std::make_shared<CPoint>(x, y));
        shapes.Flush();
    }
};

void expectHeaderBox(const QByteArray& file, double xmin, double ymin, double xmax, double ymax) {
    EXPECT_EQ(littleDouble(file, 36), xmin);
    EXPECT_EQ(littleDouble(file, 44), ymin);
    EXPECT_EQ(littleDouble(file, 52), xmax);
    EXPECT_EQ(littleDouble(file, 60), ymax);
}

TEST_F(ShapeFile, PointFileLayout) {
    writeThreePoints(QStringLiteral("pts.shp"));
    const QByteArray shp = fileBytes(scratchPath(QStringLiteral("pts.shp")));
    const QByteArray shx = fileBytes(scratchPath(QStringLiteral("pts.shx")));
    ASSERT_EQ(shp.size(), 184);
    ASSERT_EQ(shx.size(), 124);
    for (const QByteArray* file : {&shp, &shx}) {
        EXPECT_EQ(big32(*file, 0), 9994);
        for (int at = 4; at < 24; at += 4)
            EXPECT_EQ(big32(*file, at), 0);
        EXPECT_EQ(little32(*file, 28), 1000);
        EXPECT_EQ(little32(*file, 32), 1);
        expectHeaderBox(*file, 0, -1, 3, 5);
        for (int at = 68; at < 100; at += 8)
            EXPECT_EQ(littleDouble(*file, at), 0.0);
    }
    EXPECT_EQ(big32(shp, 24), 92);
    EXPECT_EQ(big32(shx, 24), 62);
    const int offsets[] = {50, 64, 78};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(big32(shx, 100 + 8 * k), offsets[k]);
        EXPECT_EQ(big32(shx, 104 + 8 * k), 10);
        EXPECT_EQ(big32(shp, 2 * offsets[k]), k + 1);
        EXPECT_EQ(big32(shp, 2 * offsets[k] + 4), 10);
        EXPECT_EQ(little32(shp, 2 * offsets[k] + 8), 1);
    }
    EXPECT_EQ(littleDouble(shp, 2 * 64 + 12), 3.0);
    EXPECT_EQ(littleDouble(shp, 2 * 64 + 20), -1.0);
}

TEST_F(ShapeFile, ReopenReadAndAppend) {
    writeThreePoints(QStringLiteral("pts.shp"));
    {
        CShapeFile shapes;
        shapes.SetFileSpec(name(QStringLiteral("pts.shp")), 0);
        EXPECT_EQ(shapes.Count(), 3);
        EXPECT_EQ(shapes.fileType(), 1);
        EXPECT_EQ(shapes.Left(), 0);
        EXPECT_EQ(shapes.Right(), 3);
        EXPECT_EQ(shapes.Top(), 5);
        EXPECT_EQ(shapes.Bottom(), -1);
        auto second = std::dynamic_pointer_cast<CPoint>(shapes.Item(2));
        ASSERT_TRUE(second);
        EXPECT_EQ(second->X(), 3);
        EXPECT_EQ(second->Y(), -1);
        EXPECT_EQ(shapes.Item(4), nullptr);
        EXPECT_EQ(shapes.Item(0), nullptr);
        // A read-only pair refuses to be written.
        expectShapeError([&] { shapes.Add(std::make_shared<CPoint>(1, 1)); }, err::kPathFileAccess,
                         QStringLiteral("C_ShapeFile::PutPoints"));
    }
    {
        CShapeFile shapes;
        shapes.SetFileSpec(name(QStringLiteral("PTS.SHP")), 0, 0,
                           true); // names match ignoring case
        shapes.Add(std::make_shared<CPoint>(10, 10));
        EXPECT_EQ(shapes.Count(), 4);
        EXPECT_EQ(shapes.Item(4), nullptr); // only records present at opening are reached
    }
    const QByteArray shp = fileBytes(scratchPath(QStringLiteral("pts.shp")));
    ASSERT_EQ(shp.size(), 212);
    EXPECT_EQ(big32(shp, 184), 4);
    expectHeaderBox(shp, 0, -1, 10, 10);
    expectHeaderBox(fileBytes(scratchPath(QStringLiteral("pts.shx"))), 0, -1, 10, 10);
}

TEST_F(ShapeFile, PolyLineRecordLayoutAndRoundTrip) {
    {
        CShapeFile shapes;
        shapes.SetFileSpec(name(QStringLiteral("line.shp")), CShapeFile::CREATEIT, 3);
        auto line = std::make_shared<CPolyLine>();
        line->Add(part({{0, 0}, {1, 1}, {2, 0}}));
        line->Add(part({{5, 5}, {6, 7}}));
        shapes.Add(line);
        auto nullLine = std::make_shared<CPolyLine>();
        nullLine->MakeNull(true);
        shapes.Add(nullLine);
    }
    const QByteArray shp = fileBytes(scratchPath(QStringLiteral("line.shp")));
    ASSERT_EQ(shp.size(), 100 + 8 + 132 + 12);
    EXPECT_EQ(big32(shp, 104), 66);
    EXPECT_EQ(little32(shp, 108), 3);
    EXPECT_EQ(littleDouble(shp, 112), 0); // box Xmin
    EXPECT_EQ(littleDouble(shp, 128), 6); // box Xmax
    EXPECT_EQ(littleDouble(shp, 136), 7); // box Ymax
    EXPECT_EQ(little32(shp, 144), 2);     // NumParts
    EXPECT_EQ(little32(shp, 148), 5);     // NumPoints
    EXPECT_EQ(little32(shp, 152), 0);
    EXPECT_EQ(little32(shp, 156), 3);
    EXPECT_EQ(big32(shp, 240), 2); // the null record: number 2, length 2, type 0
    EXPECT_EQ(big32(shp, 244), 2);
    EXPECT_EQ(little32(shp, 248), 0);
    expectHeaderBox(shp, 0, 0, 6, 7);

    CShapeFile shapes;
    shapes.SetFileSpec(name(QStringLiteral("line.shp")), 0);
    ASSERT_EQ(shapes.Count(), 2);
    auto line = std::dynamic_pointer_cast<CPolyLine>(shapes.Item(1));
    ASSERT_TRUE(line);
    ASSERT_EQ(line->Count(), 2);
    EXPECT_EQ(line->Item(1)->Count(), 3);
    EXPECT_EQ(line->Item(2)->Item(2)->Y(), 7);
    EXPECT_EQ(line->Top(), 7);
    auto nullLine = std::dynamic_pointer_cast<CPolyLine>(shapes.Item(2));
    ASSERT_TRUE(nullLine);
    EXPECT_TRUE(nullLine->IsNull());
    expectShapeError([&] { shapes.Item(3); }, err::kOffsetBeyondMain,
                     QStringLiteral("CShapeFile::Item"),
                     QStringLiteral("The offset read from index file is larger then the mainfile "
                                    "size"));
}

TEST_F(ShapeFile, PolygonAndMultiPointRoundTrip) {
    {
        CShapeFile polygons;
        polygons.SetFileSpec(name(QStringLiteral("poly.shp")), CShapeFile::CREATEIT, 5);
        auto polygon = std::make_shared<CPolygon>();
        polygon->Add(part({{0, 0}, {0, 4}, {4, 4}, {4, 0}, {0, 0}}));
        polygon->Add(part({{1, 1}, {2, 1}, {2, 2}, {1, 1}}));
        polygons.Add(polygon);
        CShapeFile multi;
        multi.SetFileSpec(name(QStringLiteral("multi.shp")), CShapeFile::CREATEIT, 8);
        auto points = std::make_shared<CMultiPoint>();
        points->Add(std::make_shared<CPoint>(-3, 8));
        points->Add(std::make_shared<CPoint>(9, -2));
        multi.Add(points);
    }
    CShapeFile polygons;
    polygons.SetFileSpec(name(QStringLiteral("poly.shp")), 0);
    auto polygon = std::dynamic_pointer_cast<CPolygon>(polygons.Item(1));
    ASSERT_TRUE(polygon);
    ASSERT_EQ(polygon->Count(), 2);
    EXPECT_EQ(polygon->Item(2)->Count(), 4);
    CShapeFile multi;
    multi.SetFileSpec(name(QStringLiteral("multi.shp")), 0);
    auto points = std::dynamic_pointer_cast<CMultiPoint>(multi.Item(1));
    ASSERT_TRUE(points);
    ASSERT_EQ(points->Count(), 2);
    EXPECT_EQ(points->Item(2)->X(), 9);
    EXPECT_EQ(multi.Left(), -3);
    EXPECT_EQ(multi.Top(), 8);
}

TEST_F(ShapeFile, CreatedPairIsCompleteAndItsOwnRecordsAreNotReached) {
    CShapeFile shapes;
    shapes.SetFileSpec(name(QStringLiteral("new.shp")), CShapeFile::CREATEIT, 3);
    const QByteArray shp = fileBytes(scratchPath(QStringLiteral("new.shp")));
    ASSERT_EQ(shp.size(), 100);
    EXPECT_EQ(big32(shp, 24), 50);
    expectHeaderBox(shp, 0, 0, 0, 0);
    EXPECT_EQ(fileBytes(scratchPath(QStringLiteral("new.shx"))), shp);
    shapes.Add([] {
        auto line = std::make_shared<CPolyLine>();
        line->Add(part({{1, 1}, {2, 2}}));
        return line;
    }());
    expectShapeError([&] { shapes.Item(1); }, err::kOffsetBeyondMain,
                     QStringLiteral("CShapeFile::Item"));

    CShapeFile reopened;
    reopened.SetFileSpec(name(QStringLiteral("new.shp")), CShapeFile::CREATEIT, 1);
    reopened.Flush();
    CShapeFile empty;
    empty.SetFileSpec(name(QStringLiteral("new.shp")), 0);
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(empty.fileType(), 1);
}

TEST_F(ShapeFile, RefusedShapesWriteNothing) {
    writeThreePoints(QStringLiteral("pts.shp"));
    const QByteArray before = fileBytes(scratchPath(QStringLiteral("pts.shp")));
    CShapeFile shapes;
    shapes.SetFileSpec(name(QStringLiteral("pts.shp")), 0, 0, true);
    const auto mismatch = static_cast<std::int32_t>(0x80040210u);
    auto line = std::make_shared<CPolyLine>();
    line->Add(part({{1, 1}, {2, 2}}));
    expectShapeError([&] { shapes.Add(line); }, mismatch, QStringLiteral("CShapeFile::Add"),
                     QStringLiteral("Cannot add type CPolyline to a ShapeFile initialized as "
                                    "other type"));
    expectShapeError([&] { shapes.Add(std::make_shared<CPolygon>()); }, mismatch,
                     QStringLiteral("CShapeFile::Add"),
                     QStringLiteral("Cannot add type CPolygon to a ShapeFile initialized as "
                                    "other type"));
    expectShapeError([&] { shapes.Add(std::make_shared<CMultiPoint>()); }, mismatch,
                     QStringLiteral("CShapeFile::Add"));
    expectShapeError([&] { shapes.Add(std::make_shared<CRect>()); }, err::kInvalidShapeType,
                     QStringLiteral("CShapeFile::Add"), QStringLiteral("Invalid shape type"));
    expectShapeError([&] { shapes.Add(std::make_shared<CPart>()); }, err::kInvalidShapeType,
                     QStringLiteral("CShapeFile::Add"));
    shapes.Flush();
    EXPECT_EQ(fileBytes(scratchPath(QStringLiteral("pts.shp"))), before);
    EXPECT_EQ(shapes.Count(), 3);

    CShapeFile lines;
    lines.SetFileSpec(name(QStringLiteral("l.shp")), CShapeFile::CREATEIT, 3);
    expectShapeError([&] { lines.Add(std::make_shared<CPoint>()); }, mismatch,
                     QStringLiteral("CShapeFile::Add"),
                     QStringLiteral("Cannot add type CPoint to a ShapeFile initialized as other "
                                    "type"));
    expectShapeError([&] { lines.Add(std::make_shared<CPolyLine>()); }, err::kSubscriptOutOfRange,
                     QStringLiteral("CShapeFile::PutPolyLine"));
    lines.Flush();
    EXPECT_EQ(fileBytes(scratchPath(QStringLiteral("l.shp"))).size(), 100);
    EXPECT_EQ(lines.Count(), 0);
}

TEST_F(ShapeFile, OpeningFailures) {
    const auto missing = static_cast<std::int32_t>(0x8004020Cu);
    const QString path = scratchPath(QStringLiteral("none.shp"));
    CShapeFile shapes;
    expectShapeError([&] { shapes.SetFileSpec(CFileName(path), 0); }, missing,
                     QStringLiteral("C_ShapeFile::SetFileSpec"),
                     QStringLiteral("The specified file ") + path +
                         QStringLiteral(" does not exist."));

    writeThreePoints(QStringLiteral("pts.shp"));
    QByteArray shx = fileBytes(scratchPath(QStringLiteral("pts.shx")));
    const QByteArray goodShx = shx;
    putBig32(shx, 0, 9995);
    writeBytes(scratchPath(QStringLiteral("pts.shx")), shx);
    expectShapeError([&] { shapes.SetFileSpec(name(QStringLiteral("pts.shp")), 0); },
                     err::kBadHeaderCode, QStringLiteral("C_ShapeFile::SetFileSpec"),
                     QStringLiteral("The shx file has an invalid shape code in the main header."));
    writeBytes(scratchPath(QStringLiteral("pts.shx")), goodShx);
    writeBytes(scratchPath(QStringLiteral("pts.shp")), QByteArray(40, '\0'));
    expectShapeError([&] { shapes.SetFileSpec(name(QStringLiteral("pts.shp")), 0); },
                     err::kBadHeaderCode, QStringLiteral("C_ShapeFile::SetFileSpec"),
                     QStringLiteral("The shp file has an invalid shape code in the main header."));

    // An index that states a length below the header's opens empty.
    writeThreePoints(QStringLiteral("pts.shp"));
    shx = goodShx;
    putBig32(shx, 24, 40);
    writeBytes(scratchPath(QStringLiteral("pts.shx")), shx);
    CShapeFile shortIndex;
    shortIndex.SetFileSpec(name(QStringLiteral("pts.shp")), 0);
    EXPECT_EQ(shortIndex.Count(), 0);
}

TEST_F(ShapeFile, LayersLargerThanTheWriteBuffersRoundTrip) {
    const int n = 20000; // 560 KB of records: written out in several blocks
    {
        CShapeFile shapes;
        shapes.SetFileSpec(name(QStringLiteral("big.shp")), CShapeFile::CREATEIT, 1);
        for (int i = 0; i < n; ++i)
            shapes.Add(std::make_shared<CPoint>(i, -i));
    }
    const QByteArray shp = fileBytes(scratchPath(QStringLiteral("big.shp")));
    ASSERT_EQ(shp.size(), 100 + 28 * n);
    EXPECT_EQ(big32(shp, 24), (100 + 28 * n) / 2);
    expectHeaderBox(shp, 0, -(n - 1), n - 1, 0);
    CShapeFile shapes;
    shapes.SetFileSpec(name(QStringLiteral("big.shp")), 0);
    ASSERT_EQ(shapes.Count(), n);
    for (int i : {1, 9363, n}) {
        auto point = std::dynamic_pointer_cast<CPoint>(shapes.Item(i));
        ASSERT_TRUE(point);
        EXPECT_EQ(point->X(), i - 1);
    }
}

TEST_F(ShapeFile, EmptyShapefileHeaders) {
    const QString shp = scratchPath(QStringLiteral("rt.shp"));
    ASSERT_TRUE(CreateEmptyShapefile(shp, QStringLiteral("  line ")));
    ASSERT_TRUE(
        CreateEmptyShapefile(scratchPath(QStringLiteral("rt.shx")), QStringLiteral("LINE")));
    const QByteArray bytes = fileBytes(shp);
    ASSERT_EQ(bytes.size(), 100);
    EXPECT_EQ(big32(bytes, 0), 9994);
    EXPECT_EQ(big32(bytes, 24), 50);
    EXPECT_EQ(little32(bytes, 28), 1000);
    EXPECT_EQ(little32(bytes, 32), 3);
    expectHeaderBox(bytes, 0, 0, -1, -1);
    EXPECT_EQ(bytes.mid(68), QByteArray(32, '\0'));
    EXPECT_TRUE(ui.messages().isEmpty());

    {
        CShapeFile shapes;
        shapes.SetFileSpec(CFileName(shp), 0, 0, true);
        auto nullLine = std::make_shared<CPolyLine>();
        nullLine->MakeNull(true);
        shapes.Add(nullLine); // a leading null record does not make the box include 0, 0
        auto line = std::make_shared<CPolyLine>();
        line->Add(part({{10, 20}, {12, 21}}));
        shapes.Add(line);
    }
    expectHeaderBox(fileBytes(shp), 10, 20, 12, 21);

    test::RecordedNotices notices;
    ASSERT_TRUE(CreateEmptyShapefile(shp, QStringLiteral("Pointz")));
    EXPECT_EQ(little32(fileBytes(shp), 32), 0);
    EXPECT_EQ(notices.texts(),
              QStringList{QStringLiteral("The function must be passed a string either Point, "
                                         "Line, or Polygon")});
    EXPECT_EQ(notices.notices.front().title, QStringLiteral("Programming ERROR"));
    EXPECT_TRUE(notices.notices.front().isError);
    EXPECT_FALSE(
        CreateEmptyShapefile(scratchPath(QStringLiteral("no/dir/x.shp")), QStringLiteral("point")));
}

} // namespace
} // namespace trekora
