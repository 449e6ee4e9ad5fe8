#include "app/ProjectionMessages.h"
#include "app/ConvertCommand.h"
#include "core/Settings.h"
#include "io/FieldMapping.h"
#include "io/FileImport.h"
#include "io/IoContext.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectionBridge.h"
#include "proj/ProjectionCatalogue.h"
#include "support/ProjectionTableFixture.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QFile>
#include <QStringList>

using namespace trekora;

class ProjectionMessagesTest : public test::ProjectionTableFixture {};

TEST_F(ProjectionMessagesTest, FailuresShowTheirTexts) {
    GpsTable empty{host};
    EXPECT_FALSE(Project_Table(empty, true)) << "no header";
    EXPECT_TRUE(ui.records().isEmpty());

    addWaypoint("45", "-93.5", "keep", "keep");
    Settings::set("proj", "proj", "777777");
    EXPECT_FALSE(Project_Table(table, true));
    ASSERT_EQ(ui.records().size(), 1);
    EXPECT_EQ(ui.records()[0].text,
              "Project_Table Error #5 -- The projection 777777 is not in the projection catalogue");
    EXPECT_EQ(ui.records()[0].title, "Use menu option File-Set Projection");

    ui.clear();
    ProjectionCatalogue::instance().parse("# Broken / Projection\n<1> +proj=nonsense <>\n");
    Settings::set("proj", "proj", "1");
    EXPECT_FALSE(Project_Table(table, true));
    EXPECT_EQ(ui.messages(), QStringList({"Error projecting points to +proj=nonsense"}));
    EXPECT_EQ(ui.records()[0].title, "Projection Error");
    EXPECT_EQ(cell(1, "x_proj"), "keep");

    // Points PROJ cannot convert: the same message once, and blank cells.
    ui.clear();
    ProjectionCatalogue::instance().parse(
        "# WGS 84 / Orthographic\n<1> +proj=ortho +lat_0=45 +lon_0=-93 +datum=WGS84 <>\n");
    addWaypoint("-45", "87", "old", "old");
    EXPECT_FALSE(Project_Table(table, true));
    EXPECT_EQ(ui.messages(), QStringList({"Error projecting points to +proj=ortho +lat_0=45 "
                                          "+lon_0=-93 +datum=WGS84"}));
    EXPECT_FALSE(cell(1, "x_proj").isEmpty());
    EXPECT_EQ(cell(2, "x_proj"), "");
}

TEST_F(ProjectionMessagesTest, EditCommandsCheckTheirColumnsFirst) {
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
    // One projected row is enough to unproject; the others keep lat/long.
    table.grid().setText(2, col("x_proj"), {});
    EXPECT_TRUE(UnprojectCoordinates(table));
    EXPECT_NEAR(cell(1, "lat").toDouble(), 45, 1e-7);
    EXPECT_EQ(cell(2, "lat"), "44");
}

TEST_F(ProjectionMessagesTest, PreUploadCheckOffersLatLongFromProjectedXY) {
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

TEST_F(ProjectionMessagesTest, ShapefileInAnotherSystemIsReadInItsOwn) {
    // A UTM 15N point shapefile with its .prj, read while the current
    // projection is WGS 84 and while it is UTM 15N.
    QFile csv(scratchPath("in.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("ident,lat,long\r\nA,44.97,-93.26\r\n");
    csv.close();
    ASSERT_EQ(runConvertCommand({scratchPath("in.csv"), scratchPath("utm.shp"), "--proj", "26915"}),
              0);
    setUserInteraction(&ui);
    FieldSettings::SetFieldSettings({});
    AcceptingFieldChooser chooser;
    IoContext io{
        table, chooser, [this](bool forward) { return Project_Table(table, forward); }, {}, {}};
    io.unprojectShapefile = [this](const QString& prj) {
        return unprojectLoadedShapefile(table, prj);
    };
    for (const char* current : {"4326", "26915"}) {
        SCOPED_TRACE(current);
        Settings::set("proj", "proj", current);
        host.history.clear();
        ASSERT_TRUE(Open_Shapefile(io, scratchPath("utm.shp")));
        EXPECT_NEAR(cell(1, "lat").toDouble(), 44.97, 1e-7);
        EXPECT_NEAR(cell(1, "long").toDouble(), -93.26, 1e-7);
        const bool other = QByteArray(current) == "4326";
        EXPECT_NEAR(cell(1, "x_proj").toDouble(), other ? -93.26 : 479497.332, 0.001);
        EXPECT_EQ(host.message.startsWith("Coordinates read in EPSG:26915 (NAD83 / UTM zone 15N)"),
                  other)
            << host.message.toStdString();
    }
    EXPECT_TRUE(ui.records().isEmpty());
}
