#include "proj/ProjectTable.h"
#include "core/Settings.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectionBridge.h"
#include "proj/ProjectionCatalogue.h"
#include "support/TestEnvironment.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QStringList>

using namespace trekora;

namespace {

// A host that keeps every status text it was given.
class RecordingHost : public HeadlessTableHost {
public:
    void setMessage(const QString& text) override {
        HeadlessTableHost::setMessage(text);
        history.append(text);
    }
    QStringList history;
};

} // namespace

class ProjectTableTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        FieldSettings::SetFieldSettings({});
        Settings::set("proj", "proj", "26915");
        ASSERT_TRUE(LoadProjections("epsg"));
    }
    void TearDown() override {
        ProjectionBridge::instance().reset();
        TestEnvironment::TearDown();
    }
    int col(const char* name) const { return table.FindColumn(QString::fromLatin1(name)); }
    QString cell(int row, const char* name) const { return table.grid().text(row, col(name)); }
    void addWaypoint(const QString& lat, const QString& lon, const QString& y = {},
                     const QString& x = {}) {
        ASSERT_TRUE(table.AddRecord("WAYPOINT;p;" + lat + ";" + lon + ";" + y + ";" + x));
    }

    RecordingHost host;
    GpsTable table{host};
};

TEST_F(ProjectTableTest, ForwardThenInverseRestoresLatLong) {
    const QStringList lats{"45.00000000", "44.25123456", "48.90000001", "-33.91234567"};
    const QStringList lons{"-93.50000000", "-95.10000000", "-90.00000000", "-91.20000000"};
    for (qsizetype i = 0; i < lats.size(); ++i)
        addWaypoint(lats[i], lons[i]);

    ASSERT_TRUE(Project_Table(table, true));
    EXPECT_EQ(cell(1, "x_proj"), "460592.35098275");
    EXPECT_EQ(cell(1, "y_proj"), "4983071.98747271");
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(cell(r, "x_proj").section('.', 1).size(), 8);

    for (int r = 1; r <= 4; ++r) {
        table.grid().setText(r, col("lat"), {});
        table.grid().setText(r, col("long"), {});
    }
    ASSERT_TRUE(Project_Table(table, false));
    for (int r = 1; r <= 4; ++r) {
        EXPECT_NEAR(cell(r, "lat").toDouble(), lats[r - 1].toDouble(), 1e-7);
        EXPECT_NEAR(cell(r, "long").toDouble(), lons[r - 1].toDouble(), 1e-7);
    }
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(host.message, "");
    EXPECT_FALSE(host.busy);
}

TEST_F(ProjectTableTest, StatusTextsAndNonNumericCells) {
    addWaypoint("45", "-93.5");
    addWaypoint("", "-93.5"); // an empty lat converts as 0
    addWaypoint("45", "-93.5", "4983071.98747271", "460592.35098275");
    ASSERT_TRUE(Project_Table(table, false));
    EXPECT_TRUE(host.history.contains("UnProjecting Points: Reading Existing XY 3"));
    EXPECT_TRUE(host.history.contains("UnProjecting Points: Running Projection"));
    EXPECT_TRUE(host.history.contains("UnProjecting Points: Writing UnProjected XY 3"));
    // Rows without projected x/y come back as the conversion of (0, 0).
    EXPECT_EQ(cell(1, "long"), cell(2, "long"));
    EXPECT_NEAR(cell(3, "lat").toDouble(), 45.0, 1e-6);

    host.history.clear();
    ASSERT_TRUE(Project_Table(table, true));
    EXPECT_TRUE(host.history.contains("Projecting Points: Reading Existing XY 1"));
    EXPECT_TRUE(host.history.contains("Projecting Points: Writing Projected XY 2"));
}

TEST_F(ProjectTableTest, FailuresLeaveTheTableUnchanged) {
    GpsTable empty{host};
    EXPECT_FALSE(Project_Table(empty, true)) << "no header";

    addWaypoint("45", "-93.5", "keep", "keep");
    Settings::set("proj", "proj", "777777");
    EXPECT_FALSE(Project_Table(table, true));
    ASSERT_EQ(ui.records().size(), 1);
    EXPECT_EQ(ui.records()[0].text,
              "Project_Table Error #5 -- The projection 777777 is not in the projection catalogue");
    EXPECT_EQ(ui.records()[0].title, "Use menu option File-Set Projection");

    // A projection PROJ rejects: even a one-record table keeps its cells
    // instead of getting the failure's (0, 0).
    ui.clear();
    ProjectionCatalogue::instance().parse("# Broken / Projection\n<1> +proj=nonsense <>\n");
    Settings::set("proj", "proj", "1");
    EXPECT_FALSE(Project_Table(table, true));
    EXPECT_EQ(ui.messages(), QStringList({"Error projecting points to +proj=nonsense"}));
    EXPECT_EQ(cell(1, "x_proj"), "keep");
    EXPECT_EQ(cell(1, "y_proj"), "keep");
    EXPECT_EQ(host.message, "");
    EXPECT_FALSE(host.busy);
}

TEST_F(ProjectTableTest, EditCommandsCheckTheirColumnsFirst) {
    addWaypoint("45", "-93.5");
    addWaypoint("north", "-93.5");
    EXPECT_FALSE(ProjectCoordinates(table));
    EXPECT_FALSE(UnprojectCoordinates(table));
    EXPECT_EQ(ui.messages(),
              QStringList({"Projection Error: Invalid Lat and/or Long values exist.",
                           "Unprojection Error: No valid Projected X/Y values exist."}));

    table.grid().setText(2, col("lat"), "44");
    EXPECT_TRUE(ProjectCoordinates(table));
    EXPECT_FALSE(cell(2, "x_proj").isEmpty());
    // One projected row is enough to unproject; the others become (0, 0)'s.
    table.grid().setText(2, col("x_proj"), {});
    EXPECT_TRUE(UnprojectCoordinates(table));
    EXPECT_NEAR(cell(1, "lat").toDouble(), 45, 1e-7);
}

TEST_F(ProjectTableTest, PreUploadCheckOffersLatLongFromProjectedXY) {
    addWaypoint("45", "-93.5", "4983071.98747271", "460592.35098275");
    EXPECT_TRUE(CheckLatLongBeforeUpload(table));
    EXPECT_TRUE(ui.records().isEmpty());

    table.grid().setText(1, col("lat"), {});
    ui.answerMessage(Answer::No);
    EXPECT_FALSE(CheckLatLongBeforeUpload(table));
    ui.answerMessage(Answer::Yes);
    EXPECT_TRUE(CheckLatLongBeforeUpload(table));
    EXPECT_NEAR(cell(1, "lat").toDouble(), 45, 1e-7);
    ASSERT_EQ(ui.records().size(), 2);
    EXPECT_EQ(ui.records()[0].text, "Lat/Long fields must contain valid values.  Would you like "
                                    "the Lat/Long to be generated from your projected XY values?");
    EXPECT_EQ(ui.records()[0].buttons, Buttons::YesNo);

    table.grid().setText(1, col("lat"), "x");
    table.grid().setText(1, col("y_proj"), {});
    EXPECT_FALSE(CheckLatLongBeforeUpload(table));
    EXPECT_EQ(ui.messages().last(), "Lat/Long fields must contain valid values.  Please set "
                                    "Lat/Long values and try again.");
}
