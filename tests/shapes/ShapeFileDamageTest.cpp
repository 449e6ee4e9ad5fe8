#include "shapes/CPolyLine.h"
#include "shapes/CShapeFile.h"
#include "shapes/ShapeTestSupport.h"
#include "support/TestEnvironment.h"

#include <functional>

namespace trekora {
namespace {

using namespace test;
namespace err = shape_errors;

// Damaged and hostile files: every reader failure is the library's error,
// labelled with the reading routine, and nothing reads outside the files.
class ShapeFileDamage : public TestEnvironment {
protected:
    // A polyline file with one record of two parts (3 and 2 points) and one
    // point file with one point.
    void SetUp() override {
        TestEnvironment::SetUp();
        CShapeFile lines;
        lines.SetFileSpec(CFileName(scratchPath(QStringLiteral("l.shp"))), CShapeFile::CREATEIT, 3);
        auto line = std::make_shared<CPolyLine>();
        for (int p = 0; p < 2; ++p) {
            auto part = std::make_shared<CPart>();
            for (int i = 0; i < 3 - p; ++i)
                part->Add(std::make_shared<CPoint>(i, p));
            line->Add(part);
        }
        lines.Add(line);
        CShapeFile points;
        points.SetFileSpec(CFileName(scratchPath(QStringLiteral("p.shp"))), CShapeFile::CREATEIT,
                           1);
        points.Add(std::make_shared<CPoint>(1, 2));
    }
};

struct Damage {
    const char* what;
    const char* file; // "l" or "p"
    std::function<void(QByteArray& shp, QByteArray& shx)> change;
    std::int32_t number;
};

TEST_F(ShapeFileDamage, ReadersRaiseTheLibraryErrorOnDamagedRecords) {
    const Damage cases[] = {
        {"content length beyond the file", "l",
         [](QByteArray& shp, QByteArray&) { putBig32(shp, 104, 0x7fffffff); }, err::kDamagedRecord},
        {"truncated record", "l", [](QByteArray& shp, QByteArray&) { shp.chop(20); },
         err::kDamagedRecord},
        {"huge point count", "l",
         [](QByteArray& shp, QByteArray&) { putLittle32(shp, 148, 0x7ffffff0); },
         err::kDamagedRecord},
        {"negative part count", "l",
         [](QByteArray& shp, QByteArray&) { putLittle32(shp, 144, -1); }, err::kDamagedRecord},
        {"part start beyond the points", "l",
         [](QByteArray& shp, QByteArray&) { putLittle32(shp, 156, 6); }, err::kDamagedRecord},
        {"negative part start", "l",
         [](QByteArray& shp, QByteArray&) { putLittle32(shp, 152, -4); }, err::kDamagedRecord},
        {"content too short for the counts", "l",
         [](QByteArray& shp, QByteArray&) { putBig32(shp, 104, 10); }, err::kDamagedRecord},
        {"record number differs", "l", [](QByteArray& shp, QByteArray&) { putBig32(shp, 100, 7); },
         err::kIndexMismatch},
        {"record of another shape type", "l",
         [](QByteArray& shp, QByteArray&) { putLittle32(shp, 108, 8); }, err::kTypeMismatchOnRead},
        {"index offset beyond the main file", "l",
         [](QByteArray&, QByteArray& shx) { putBig32(shx, 100, 0x40000000); },
         err::kOffsetBeyondMain},
        {"negative index offset", "l", [](QByteArray&, QByteArray& shx) { putBig32(shx, 100, -8); },
         err::kOffsetBeyondMain},
        {"index shorter than its header says", "l",
         [](QByteArray&, QByteArray& shx) { shx.chop(8); }, err::kInputPastEnd},
        {"point record too short", "p", [](QByteArray& shp, QByteArray&) { putBig32(shp, 104, 4); },
         err::kDamagedRecord},
        {"point record cut off", "p", [](QByteArray& shp, QByteArray&) { shp.chop(4); },
         err::kDamagedRecord},
    };
    for (const Damage& c : cases) {
        SCOPED_TRACE(c.what);
        const QString shpPath = scratchPath(QString::fromLatin1(c.file) + QStringLiteral(".shp"));
        const QString shxPath = scratchPath(QString::fromLatin1(c.file) + QStringLiteral(".shx"));
        const QByteArray goodShp = fileBytes(shpPath);
        const QByteArray goodShx = fileBytes(shxPath);
        QByteArray shp = goodShp;
        QByteArray shx = goodShx;
        c.change(shp, shx);
        writeBytes(shpPath, shp);
        writeBytes(shxPath, shx);
        {
            CShapeFile shapes;
            shapes.SetFileSpec(CFileName(shpPath), 0);
            expectShapeError([&] { shapes.Item(1); }, c.number, QStringLiteral("CShapeFile::Item"));
        }
        writeBytes(shpPath, goodShp);
        writeBytes(shxPath, goodShx);
    }
}

TEST_F(ShapeFileDamage, HugeIndexLengthOnlyReachesExistingEntries) {
    const QString shxPath = scratchPath(QStringLiteral("l.shx"));
    QByteArray shx = fileBytes(shxPath);
    putBig32(shx, 24, 0x7fffffff);
    writeBytes(shxPath, shx);
    CShapeFile shapes;
    shapes.SetFileSpec(CFileName(scratchPath(QStringLiteral("l.shp"))), 0);
    EXPECT_EQ(shapes.Count(), 536870899); // as the header states
    auto line = std::dynamic_pointer_cast<CPolyLine>(shapes.Item(1));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->Count(), 2);
    expectShapeError([&] { shapes.Item(2); }, err::kInputPastEnd,
                     QStringLiteral("CShapeFile::Item"));
    expectShapeError([&] { shapes.Item(400000000); }, err::kInputPastEnd,
                     QStringLiteral("CShapeFile::Item"));
}

} // namespace
} // namespace trekora
