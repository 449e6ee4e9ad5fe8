#include "core/AppPaths.h"
#include "proj/ProjectionBridge.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <proj.h>

#include <cmath>
#include <cstring>

using namespace trekora;

namespace {

// A small datum-shift grid in PROJ's CTable2 format over Minnesota and
// around: shifts that vary across the grid, so interpolation shows.
void writeTestGrid(const QString& path) {
    constexpr double kDegree = M_PI / 180.0;
    const qint32 columns = 16, rows = 11; // -100 … -85 E, 40 … 50 N, one degree apart
    QByteArray header(160, '\0');
    std::memcpy(header.data(), "CTABLE V2.0", 11);
    std::memcpy(header.data() + 16, "trekora test grid", 17);
    const double extent[4] = {-100 * kDegree, 40 * kDegree, kDegree, kDegree};
    for (int i = 0; i < 4; ++i)
        qToLittleEndian(extent[i], header.data() + 96 + 8 * i);
    qToLittleEndian(columns, header.data() + 128);
    qToLittleEndian(rows, header.data() + 132);
    QByteArray cells;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const float shift[2] = {float((2.0 + 0.1 * c) / 3600 * kDegree),
                                    float((-1.0 + 0.05 * r) / 3600 * kDegree)};
            char bytes[8];
            qToLittleEndian(shift[0], bytes);
            qToLittleEndian(shift[1], bytes + 4);
            cells.append(bytes, 8);
        }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(header + cells);
}

struct Case {
    const char* name;
    QString definition;
    std::vector<double> x, y; // longitude, latitude
};

// PROJ's own search path, as cs2cs would find it, after `first`.
QString projSearchPath(const QString& first) {
    return first + ':' + QString::fromUtf8(proj_info().searchpath);
}

// Runs cs2cs as the classic bridge did and reads its x/y back.
bool runCs2cs(const QString& definition, bool forward, const std::vector<double>& x,
              const std::vector<double>& y, const QString& dataPath, std::vector<double>& outX,
              std::vector<double>& outY) {
    QStringList args{"-f", "%.10f"};
    if (!forward)
        args << "-I";
    args << QString("+proj=latlong +datum=WGS84 +to " + definition).split(' ');
    QProcess process;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("PROJ_DATA", dataPath);
    env.insert("PROJ_NETWORK", "OFF");
    process.setProcessEnvironment(env);
    process.start("cs2cs", args);
    QByteArray input;
    for (size_t i = 0; i < x.size(); ++i)
        input += QByteArray::number(x[i], 'f', 12) + ' ' + QByteArray::number(y[i], 'f', 12) + '\n';
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        return false;
    outX.clear();
    outY.clear();
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        if (line.isEmpty())
            continue;
        const auto parts = line.split('\t');
        if (parts.size() < 2)
            return false;
        bool okX = false, okY = false;
        double vx = parts[0].toDouble(&okX);
        double vy = parts[1].split(' ').value(0).toDouble(&okY);
        outX.push_back(okX ? vx : 0);
        outY.push_back(okY ? vy : 0);
    }
    return outX.size() == x.size();
}

class BridgeTest : public test::TestEnvironment {
protected:
    void TearDown() override {
        ProjectionBridge::instance().reset();
        test::TestEnvironment::TearDown();
    }
};

} // namespace

TEST_F(BridgeTest, GridClauseListsInstalledGridsOptionallyInOrder) {
    QDir(scratchPath("data")).mkpath("proj/nad");
    AppPaths::setDataDir(scratchPath("data"));
    auto& bridge = ProjectionBridge::instance();
    const QString nad27 = "+proj=utm +zone=15 +datum=NAD27 +units=m +no_defs";
    EXPECT_EQ(bridge.gridClause(nad27), "") << "no grid installed: PROJ's own NAD27 handling";

    writeTestGrid(scratchPath("data/proj/nad/conus.dat"));
    bridge.reset();
    EXPECT_EQ(bridge.gridClause(nad27), " +nadgrids=@conus.dat,@ntv1_can.dat");
    EXPECT_EQ(bridge.gridClause("+proj=utm +zone=15 +datum=NAD83"), "");
    EXPECT_EQ(bridge.gridClause("+proj=utm +zone=15 +datum=nad27"), "") << "case-sensitive";

    // The data directory's list decides which names and in what order;
    // entries that would leave the folder are ignored.
    QFile::copy(scratchPath("data/proj/nad/conus.dat"), scratchPath("data/proj/nad/tn.dat"));
    QFile::copy(scratchPath("data/proj/nad/conus.dat"), scratchPath("data/proj/nad/ntv1_can.dat"));
    QFile list(scratchPath("data/proj/nad/nad27grids"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("# comment\nconus.dat\n../conus.dat\nntv1_can.dat\ntn.dat\n");
    list.close();
    bridge.reset();
    EXPECT_EQ(bridge.gridClause(nad27), " +nadgrids=@conus.dat,@tn.dat,@ntv1_can.dat");
}

TEST_F(BridgeTest, ResultsEqualCs2csForEveryKindOfDefinition) {
    TREKORA_REQUIRE_TOOL(cs2cs, "cs2cs");
    // A data directory with a NAD27 grid, so the grid clause is exercised.
    QDir(scratchPath("data")).mkpath("proj/nad");
    writeTestGrid(scratchPath("data/proj/nad/conus.dat"));
    AppPaths::setDataDir(scratchPath("data"));
    const QString dataPath = projSearchPath(scratchPath("data/proj/nad"));
    auto& bridge = ProjectionBridge::instance();

    const std::vector<Case> cases = {
        {"UTM north",
         "+proj=utm +zone=15 +datum=NAD83 +units=m +no_defs",
         {-93.5, -95.1, -90.0},
         {45.0, 44.25, 48.9}},
        {"UTM south",
         "+proj=utm +zone=33 +south +datum=WGS84 +units=m +no_defs",
         {15.2, 12.0},
         {-33.9, -1.5}},
        {"state plane feet",
         "+proj=lcc +lat_0=33.75 +lon_0=-79 +lat_1=36.1666666666667 +lat_2=34.3333333333333 "
         "+x_0=609601.219202438 +y_0=0 +datum=NAD83 +units=us-ft +no_defs",
         {-78.64, -80.84},
         {35.78, 35.23}},
        {"Albers",
         "+proj=aea +lat_0=23 +lon_0=-96 +lat_1=29.5 +lat_2=45.5 +x_0=0 +y_0=0 +datum=NAD83 "
         "+units=m +no_defs",
         {-93.5, -120.0, -75.0},
         {45.0, 38.0, 40.0}},
        {"NAD27 with grid",
         "+proj=utm +zone=15 +datum=NAD27 +units=m +no_defs",
         {-93.5, -95.1, -91.25},
         {45.0, 44.25, 46.5}},
        {"Towgs84 datum",
         "+proj=tmerc +lat_0=49 +lon_0=-2 +k=0.9996012717 +x_0=400000 +y_0=-100000 +ellps=airy "
         "+towgs84=446.448,-125.157,542.06,0.15,0.247,0.842,-20.489 +units=m +no_defs",
         {-1.5, 0.1},
         {52.0, 51.5}},
        {"WGS 84", "+proj=longlat +datum=WGS84 +no_defs", {-93.5, 12.25}, {45.0, -33.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString full = c.definition + bridge.gridClause(c.definition);
        if (c.definition.contains("NAD27")) {
            EXPECT_TRUE(full.contains("+nadgrids=@conus.dat"));
        }

        std::vector<double> expectX, expectY;
        ASSERT_TRUE(runCs2cs(full, true, c.x, c.y, dataPath, expectX, expectY));
        const ProjectedPoints projected = Project_Points(c.x, c.y, c.definition, true);
        ASSERT_EQ(projected.x.size(), qsizetype(c.x.size()));
        std::vector<double> px, py;
        for (qsizetype i = 0; i < projected.x.size(); ++i) {
            px.push_back(projected.x[i].toDouble());
            py.push_back(projected.y[i].toDouble());
            EXPECT_NEAR(px.back(), expectX[size_t(i)], 1e-8);
            EXPECT_NEAR(py.back(), expectY[size_t(i)], 1e-8);
        }

        std::vector<double> backX, backY;
        ASSERT_TRUE(runCs2cs(full, false, px, py, dataPath, backX, backY));
        const ProjectedPoints unprojected = Project_Points(px, py, c.definition, false);
        ASSERT_EQ(unprojected.x.size(), qsizetype(c.x.size()));
        for (qsizetype i = 0; i < unprojected.x.size(); ++i) {
            EXPECT_NEAR(unprojected.x[i].toDouble(), backX[size_t(i)], 1e-8);
            EXPECT_NEAR(unprojected.y[i].toDouble(), backY[size_t(i)], 1e-8);
            EXPECT_NEAR(unprojected.x[i].toDouble(), c.x[size_t(i)], 1e-7);
            EXPECT_NEAR(unprojected.y[i].toDouble(), c.y[size_t(i)], 1e-7);
        }
    }
    EXPECT_TRUE(ui.messages().isEmpty());

    // The grid really moves NAD27 points: without it PROJ's own NAD27
    // handling gives another answer.
    const QString nad27 = "+proj=utm +zone=15 +datum=NAD27 +units=m +no_defs";
    const auto withGrid = Project_Points({-93.5}, {45.0}, nad27, true);
    AppPaths::setDataDir(scratchPath("empty"));
    const auto withoutGrid = Project_Points({-93.5}, {45.0}, nad27, true);
    EXPECT_GT(std::abs(withGrid.x[0].toDouble() - withoutGrid.x[0].toDouble()), 1.0);
}

TEST_F(BridgeTest, RejectedDefinitionsAndUnconvertiblePoints) {
    const ProjectedPoints failed = Project_Points({1.0, 2.0}, {3.0, 4.0}, "+proj=nonsense", true);
    EXPECT_EQ(failed.x, QStringList({"0"}));
    EXPECT_EQ(failed.y, QStringList({"0"}));
    EXPECT_FALSE(failed.status.ok());
    EXPECT_EQ(failed.status.description, "+proj=nonsense");
    EXPECT_TRUE(ui.records().isEmpty()) << "the projection layer shows nothing";

    // A point PROJ cannot convert comes back empty, never as 0, 0; the
    // others are converted.
    const ProjectedPoints mixed =
        Project_Points({-93.5, 87.0}, {45.0, -45.0}, "+proj=ortho +lat_0=45 +lon_0=-93", true);
    ASSERT_EQ(mixed.x.size(), 2);
    EXPECT_TRUE(mixed.status.ok());
    EXPECT_NE(mixed.x[0], "0");
    EXPECT_EQ(mixed.x[1], "");
    EXPECT_EQ(mixed.y[1], "");
    // Results carry ten decimals, like the classic tool's output.
    EXPECT_EQ(mixed.x[0].section('.', 1).size(), 10);

    EXPECT_TRUE(Project_Points({}, {}, "+proj=merc +datum=WGS84", true).x.isEmpty());
}

TEST_F(BridgeTest, EsriWktForCatalogueCodes) {
    auto& bridge = ProjectionBridge::instance();
    const QString utm = bridge.esriWkt("epsg", "26915");
    EXPECT_TRUE(utm.startsWith("PROJCS[\"NAD_1983_UTM_Zone_15N\"")) << utm.toStdString();
    EXPECT_FALSE(utm.contains('\n'));
    EXPECT_TRUE(bridge.esriWkt("esri", "102003").contains("USA_Contiguous_Albers"));
    EXPECT_TRUE(bridge.esriWkt("epsg", "4326").startsWith("GEOGCS[\"GCS_WGS_1984\""));
    EXPECT_EQ(bridge.esriWkt("epsg", "999999"), "");
}
