#include "core/Settings.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectionCatalogue.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>

using namespace trekora;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(ProjectionCatalogueTest, BuildsGroupAndCodeTablesFromTheLineFormat) {
    ProjectionCatalogue catalogue;
    catalogue.parse("# NAD83 / UTM zone 15N\r\n"
                    "<26915> +proj=utm +zone=15 +datum=NAD83 +units=m +no_defs <>\r\n"
                    "\n"
                    "junk without brackets\n"
                    "# WGS 84\n"
                    "<4326> +proj=longlat +datum=WGS84 +no_defs <>\n"
                    "<9999> +proj=longlat +ellps=GRS80 <>\n"
                    "# NAD83 / UTM zone 15N\n"
                    "<26915> +proj=utm +zone=15 +ellps=clrk66 <>\n"
                    "# NAD83 / UTM zone 16N\n"
                    "<26916> +proj=utm +zone=16 +datum=NAD83 <>\n"
                    "#  Lone name / \n"
                    "<x1> +proj=merc <>");

    const auto utm = catalogue.findCode("26915");
    ASSERT_TRUE(utm);
    EXPECT_EQ(utm->group, "NAD83");
    EXPECT_EQ(utm->description, "UTM zone 15N");
    const auto wgs = catalogue.findCode("4326");
    ASSERT_TRUE(wgs);
    EXPECT_EQ(wgs->description, "No Projection");
    // A definition without a header of its own has an empty group and description.
    const auto orphan = catalogue.findCode("9999");
    ASSERT_TRUE(orphan);
    EXPECT_EQ(orphan->group, "");
    EXPECT_EQ(orphan->description, "");
    EXPECT_EQ(catalogue.findCode("x1")->description, "No Projection");
    EXPECT_FALSE(catalogue.findCode("12345"));

    EXPECT_EQ(catalogue.codes(), QStringList({"26915", "4326", "9999", "26916", "x1"}));
    // The first definition of a (group, description) counts; a group moves
    // to the end whenever one of its definitions is read.
    EXPECT_EQ(catalogue.descriptions("NAD83"), QStringList({"UTM zone 15N", "UTM zone 16N"}));
    EXPECT_EQ(catalogue.groups(), QStringList({"WGS 84", "", "NAD83", "Lone name"}));
    EXPECT_EQ(catalogue.definitionLine("NAD83", "UTM zone 15N"),
              "<26915> +proj=utm +zone=15 +datum=NAD83 +units=m +no_defs <>");
    EXPECT_EQ(ProjectionCatalogue::parametersOf(catalogue.definitionLine("NAD83", "UTM zone 15N")),
              "+proj=utm +zone=15 +datum=NAD83 +units=m +no_defs");
}

class CurrentProjectionTest : public test::TestEnvironment {
protected:
    void TearDown() override {
        projectionHooks() = {};
        test::TestEnvironment::TearDown();
    }
};

TEST_F(CurrentProjectionTest, GeneratedCataloguesNameCodesLikeTheClassicFiles) {
    Settings::set("proj", "proj", "26915");
    ASSERT_TRUE(LoadProjections("epsg"));
    EXPECT_TRUE(ui.messages().isEmpty());
    EXPECT_EQ(getProjectionName(), "NAD83 - UTM zone 15N");
    EXPECT_EQ(*getProjectionDescription(false),
              "+proj=utm +zone=15 +datum=NAD83 +units=m +no_defs");
    // The source projection is 4326 unless set.
    EXPECT_EQ(*getProjectionDescription(true), "+proj=longlat +datum=WGS84 +no_defs");
    const auto wgs = ProjectionCatalogue::instance().findCode("4326");
    ASSERT_TRUE(wgs);
    EXPECT_EQ(wgs->group, "WGS 84");
    EXPECT_EQ(wgs->description, "No Projection");
    const auto nad27 = ProjectionCatalogue::instance().findCode("26715");
    ASSERT_TRUE(nad27);
    EXPECT_EQ(nad27->group, "NAD27");

    ASSERT_TRUE(LoadProjections("esri"));
    Settings::set("proj", "proj", "102003");
    EXPECT_EQ(getProjectionName(), "USA_Contiguous_Albers_Equal_Area_Conic");
    for (const QString& group : ProjectionCatalogue::instance().groups())
        ASSERT_FALSE(group.contains('/')) << group.toStdString();
    EXPECT_EQ(
        ProjectionCatalogue::instance().descriptions("USA_Contiguous_Albers_Equal_Area_Conic"),
        QStringList({"No Projection"}));

    // A code the catalogue does not know has no name and no parameters.
    Settings::set("proj", "proj", "777777");
    EXPECT_EQ(getProjectionName(), "");
    EXPECT_FALSE(getProjectionDescription(false));
}

TEST_F(CurrentProjectionTest, MissingCatalogueIsReportedAndLeavesItEmpty) {
    Settings::set("proj", "proj", "26915");
    ASSERT_TRUE(LoadProjections("epsg"));
    EXPECT_FALSE(LoadProjections("nosuch"));
    EXPECT_EQ(ui.messages(), QStringList({"Could not find projections file located at " +
                                          QString(TREKORA_DATA_DIR) + "/proj/nad/nosuch"}));
    EXPECT_TRUE(ProjectionCatalogue::instance().isEmpty());
    EXPECT_EQ(getProjectionName(), "");
}

TEST_F(CurrentProjectionTest, FirstUseOffersTheDefaultProjection) {
    int opened = -1;
    int filled = 0;
    bool visible = false;
    projectionHooks().openProperties = [&](int tab) { opened = tab; };
    projectionHooks().fillProjectionTab = [&] { ++filled; };
    projectionHooks().propertiesVisible = [&] { return visible; };

    ui.answerMessage(Answer::Yes);
    ASSERT_TRUE(LoadProjections("epsg"));
    ASSERT_EQ(ui.records().size(), 1);
    EXPECT_EQ(ui.records()[0].title, "Set Default Projection");
    EXPECT_EQ(ui.records()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(ui.records()[0].text,
              "Would you like to use the Default Projection (NAD83 - UTM Zone 15)?  Answering NO "
              "will allow you to select a different projection.");
    EXPECT_EQ(Settings::get("proj", "proj"), "26915");
    EXPECT_EQ(Settings::get("proj", "projfile"), "epsg");
    EXPECT_EQ(filled, 1);
    EXPECT_EQ(opened, -1);

    // Once chosen, never asked again.
    ASSERT_TRUE(LoadProjections("esri"));
    EXPECT_EQ(ui.records().size(), 1);

    // No opens the Projection tab and leaves WGS 84.
    Settings::remove("proj", "proj");
    Settings::set("proj", "projfile", "esri");
    ui.answerMessage(Answer::No);
    PromptForDefaultProjection();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(Settings::get("proj", "proj"), "4326");
    EXPECT_EQ(Settings::get("proj", "projfile"), "epsg");

    // Not while the Properties dialog is on screen.
    Settings::remove("proj", "proj");
    visible = true;
    PromptForDefaultProjection();
    EXPECT_EQ(ui.records().size(), 2);
    EXPECT_EQ(Settings::get("proj", "proj"), "");
}

TEST_F(CurrentProjectionTest, WritePrjWritesTheAttachedTextOrProjsOwn) {
    const QString base = scratchPath("points");
    const QString prj = base + ".prj";
    Settings::set("proj", "proj", "26915");

    WritePRJ(base, true);
    EXPECT_TRUE(readAll(prj).startsWith("PROJCS[\"NAD_1983_UTM_Zone_15N\"")) << "PROJ's text";

    CurrentProjection::setPrjText("26915", "PROJCS[\"NAD_1983_UTM_Zone_15N\"]\nline two");
    CurrentProjection::setPrjText("4326", "GEOGCS[\"GCS_WGS_1984\"]");
    WritePRJ(base, true);
    EXPECT_EQ(readAll(prj), "PROJCS[\"NAD_1983_UTM_Zone_15N\"]\nline two\r\n");
    WritePRJ(base, false);
    EXPECT_EQ(readAll(prj), "GEOGCS[\"GCS_WGS_1984\"]\r\n");

    // An unset current projection writes nothing for projected exports.
    QFile::remove(prj);
    Settings::remove("proj", "proj");
    WritePRJ(base, true);
    EXPECT_FALSE(QFile::exists(prj));
    // An unwritable place fails quietly.
    WritePRJ(scratchPath("no/such/dir/points"), false);
    EXPECT_TRUE(ui.messages().isEmpty());
}
