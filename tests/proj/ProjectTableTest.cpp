#include "proj/ProjectTable.h"
#include "core/Settings.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectionBridge.h"
#include "proj/ProjectionCatalogue.h"
#include "support/ProjectionTableFixture.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QStringList>

using namespace trekora;

class ProjectTableTest : public test::ProjectionTableFixture {};

TEST_F(ProjectTableTest, ForwardThenInverseRestoresLatLong) {
    const QStringList lats{"45.00000000", "44.25123456", "48.90000001", "-33.91234567"};
    const QStringList lons{"-93.50000000", "-95.10000000", "-90.00000000", "-91.20000000"};
    for (qsizetype i = 0; i < lats.size(); ++i)
        addWaypoint(lats[i], lons[i]);

    ASSERT_TRUE(projectTableRows(table, true).complete());
    EXPECT_EQ(cell(1, "x_proj"), "460592.35098275");
    EXPECT_EQ(cell(1, "y_proj"), "4983071.98747271");
    for (int r = 1; r <= 4; ++r)
        EXPECT_EQ(cell(r, "x_proj").section('.', 1).size(), 8);

    for (int r = 1; r <= 4; ++r) {
        table.grid().setText(r, col("lat"), {});
        table.grid().setText(r, col("long"), {});
    }
    ASSERT_TRUE(projectTableRows(table, false).complete());
    for (int r = 1; r <= 4; ++r) {
        EXPECT_NEAR(cell(r, "lat").toDouble(), lats[r - 1].toDouble(), 1e-7);
        EXPECT_NEAR(cell(r, "long").toDouble(), lons[r - 1].toDouble(), 1e-7);
    }
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(host.message, "");
    EXPECT_FALSE(host.busy);
}

TEST_F(ProjectTableTest, StatusTextsAndRowsWithoutCoordinates) {
    addWaypoint("45", "-93.5", "", "");
    addWaypoint("45", "-93.5", "4983071.98747271", "north");
    addWaypoint("", "", "4983071.98747271", "460592.35098275");
    const TableProjection inverse = projectTableRows(table, false);
    EXPECT_TRUE(host.history.contains("UnProjecting Points: Reading Existing XY 3"));
    EXPECT_TRUE(host.history.contains("UnProjecting Points: Running Projection"));
    EXPECT_TRUE(host.history.contains("UnProjecting Points: Writing UnProjected XY 3"));
    // Rows without projected x/y keep their lat/long: no position is made up
    // from a point nobody gave.
    EXPECT_TRUE(inverse.converted());
    EXPECT_FALSE(inverse.complete());
    EXPECT_EQ(inverse.unreadRows, 2);
    EXPECT_EQ(inverse.failedRows, 0);
    ASSERT_EQ(inverse.firstUnread.size(), 2u);
    EXPECT_EQ(inverse.firstUnread[1].row, 2);
    EXPECT_EQ(inverse.firstUnread[1].x, "north");
    EXPECT_EQ(cell(1, "lat"), "45");
    EXPECT_EQ(cell(2, "long"), "-93.5");
    EXPECT_NEAR(cell(3, "lat").toDouble(), 45.0, 1e-6);
    EXPECT_EQ(
        describeUnfilledRows(inverse, false, 101),
        "2 rows have no numeric x_proj/y_proj: row 101 (, ), row 102 (north, 4983071.98747271)");

    host.history.clear();
    EXPECT_TRUE(projectTableRows(table, true).complete());
    EXPECT_TRUE(host.history.contains("Projecting Points: Reading Existing XY 1"));
    EXPECT_TRUE(host.history.contains("Projecting Points: Writing Projected XY 2"));
    EXPECT_EQ(cell(2, "x_proj"), "460592.35098275");
}

TEST_F(ProjectTableTest, PointsProjCannotConvertGetBlankCellsAndAreNamed) {
    // An orthographic view shows one half of the globe; a point far outside
    // UTM zone 15 is still computed (as cs2cs does) and kept.
    ProjectionCatalogue::instance().parse(
        "# WGS 84 / Orthographic\n<1> +proj=ortho +lat_0=45 +lon_0=-93 +datum=WGS84 <>\n");
    Settings::set("proj", "proj", "1");
    addWaypoint("45", "-93.5", "old", "old");
    addWaypoint("-45", "87", "old", "old");
    addWaypoint("-44", "88", "old", "old");
    for (int i = 0; i < 8; ++i)
        addWaypoint("-45", "89", "old", "old");
    const TableProjection result = projectTableRows(table, true);
    EXPECT_TRUE(result.converted());
    EXPECT_EQ(result.failedRows, 10);
    ASSERT_EQ(result.firstFailed.size(), size_t(TableProjection::kNamedRows));
    EXPECT_EQ(result.firstFailed[0].row, 2);
    EXPECT_EQ(result.firstFailed[0].x, "87");
    EXPECT_EQ(result.firstFailed[0].y, "-45");
    EXPECT_EQ(cell(2, "x_proj"), "");
    EXPECT_EQ(cell(2, "y_proj"), "");
    EXPECT_NEAR(cell(1, "x_proj").toDouble(), -39422.92, 0.01);
    EXPECT_TRUE(
        describeUnfilledRows(result, true)
            .startsWith("10 rows could not be projected: row 2 (87, -45), row 3 (88, -44), "));
    EXPECT_TRUE(describeUnfilledRows(result, true).endsWith(", ..."));
    EXPECT_TRUE(ui.records().isEmpty()) << "the projection layer shows nothing";

    Settings::set("proj", "proj", "26915");
    ASSERT_TRUE(LoadProjections("epsg"));
    GpsTable far{host};
    ASSERT_TRUE(far.AddRecord("WAYPOINT;p;-33.9;151.2;;"));
    EXPECT_TRUE(projectTableRows(far, true).complete());
    EXPECT_FALSE(far.grid().text(1, far.FindColumn("x_proj")).isEmpty());
}

TEST_F(ProjectTableTest, ConversionsThatCannotRunLeaveTheTableUnchanged) {
    GpsTable empty{host};
    EXPECT_EQ(projectTableRows(empty, true).error, TableProjectionError::NoHeader);

    addWaypoint("45", "-93.5", "keep", "keep");
    Settings::set("proj", "proj", "777777");
    const TableProjection missing = projectTableRows(table, true);
    EXPECT_EQ(missing.error, TableProjectionError::NotInCatalogue);
    EXPECT_EQ(missing.status.number, 5);
    EXPECT_EQ(missing.status.source, "Project_Table");
    EXPECT_EQ(missing.status.description,
              "The projection 777777 is not in the projection catalogue");

    ProjectionCatalogue::instance().parse("# Broken / Projection\n<1> +proj=nonsense <>\n");
    Settings::set("proj", "proj", "1");
    const TableProjection rejected = projectTableRows(table, true);
    EXPECT_EQ(rejected.error, TableProjectionError::Rejected);
    EXPECT_EQ(rejected.definition, "+proj=nonsense");
    EXPECT_EQ(cell(1, "x_proj"), "keep");
    EXPECT_EQ(cell(1, "y_proj"), "keep");
    EXPECT_EQ(host.message, "");
    EXPECT_FALSE(host.busy);
    EXPECT_TRUE(ui.records().isEmpty());
}
