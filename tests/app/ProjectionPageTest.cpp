#include "app/ProjectionPage.h"
#include "core/Settings.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectionBridge.h"
#include "proj/ProjectionCatalogue.h"
#include "support/TestEnvironment.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace trekora;

namespace {

QStringList items(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

class RecordingHost : public HeadlessTableHost {
public:
    void setMessage(const QString& text) override {
        HeadlessTableHost::setMessage(text);
        history.append(text);
    }
    QStringList history;
};

} // namespace

class ProjectionPageTest : public test::TestEnvironment {
protected:
    void SetUp() override {
        TestEnvironment::SetUp();
        FieldSettings::SetFieldSettings({});
        Settings::set("proj", "proj", "4326");
        Settings::set("proj", "projfile", "epsg");
        page.showStoredCatalogue();
    }
    void TearDown() override {
        ProjectionBridge::instance().reset();
        TestEnvironment::TearDown();
    }
    void typeCode(const QString& code) {
        page.cbxPOSCCodes->lineEdit()->clear();
        QTest::keyClicks(page.cbxPOSCCodes->lineEdit(), code);
        QTest::keyClick(page.cbxPOSCCodes->lineEdit(), Qt::Key_Return);
    }

    ProjectionPage page;
};

TEST_F(ProjectionPageTest, TypingACodeAndEnterSelectsItsSystem) {
    EXPECT_EQ(page.lbxDatums->currentText(), "WGS 84");
    EXPECT_EQ(page.lbxProjections->currentItem()->text(), "No Projection");
    EXPECT_EQ(page.cbxPOSCCodes->currentText(), "4326");

    typeCode("26915");
    EXPECT_EQ(page.lbxDatums->currentText(), "NAD83");
    ASSERT_TRUE(page.lbxProjections->currentItem());
    EXPECT_EQ(page.lbxProjections->currentItem()->text(), "UTM zone 15N");
    EXPECT_EQ(items(page.lbxDesc), QStringList({"<26915>", "+proj=utm", "+zone=15", "+datum=NAD83",
                                                "+units=m", "+no_defs", "<>"}));
    // No PRJ text stored for the code: PROJ's ESRI description is offered.
    EXPECT_TRUE(page.tbxPRJ->toPlainText().startsWith("PROJCS[\"NAD_1983_UTM_Zone_15N\""));

    // An unknown code changes nothing.
    typeCode("123456789");
    EXPECT_EQ(page.lbxDatums->currentText(), "NAD83");

    // The shortcut buttons, and a stored PRJ text wins over PROJ's.
    CurrentProjection::setPrjText("4326", "GEOGCS[\"mine\"]");
    page.cmdNoProj->click();
    EXPECT_EQ(page.cbxPOSCCodes->currentText(), "4326");
    EXPECT_EQ(page.tbxPRJ->toPlainText(), "GEOGCS[\"mine\"]");
    page.cmdOrvane->click();
    EXPECT_EQ(page.cbxPOSCCodes->currentText(), "26915");

    // Picking a group selects its first description and shows its code.
    page.lbxDatums->setCurrentIndex(page.lbxDatums->findText("NAD27"));
    emit page.lbxDatums->activated(page.lbxDatums->currentIndex());
    EXPECT_EQ(page.lbxProjections->currentRow(), 0);
    EXPECT_EQ(page.lbxDesc->item(0)->text(), "<" + page.cbxPOSCCodes->currentText() + ">");
    EXPECT_TRUE(ui.records().isEmpty());
}

TEST_F(ProjectionPageTest, EsriCatalogueRelabelsAndHidesTheProjectionList) {
    EXPECT_EQ(page.lblDatums->text(), "Datums:");
    EXPECT_FALSE(page.lbxProjections->isHidden());
    page.optESRI->click();
    EXPECT_EQ(page.lblDatums->text(), "Datums/Projections:");
    EXPECT_TRUE(page.lbxProjections->isHidden());
    EXPECT_TRUE(page.lblProjections->isHidden());
    EXPECT_GE(page.lbxDatums->findText("USA_Contiguous_Albers_Equal_Area_Conic"), 0);

    typeCode("102003");
    EXPECT_EQ(page.lbxDatums->currentText(), "USA_Contiguous_Albers_Equal_Area_Conic");
    EXPECT_TRUE(page.tbxPRJ->toPlainText().contains("USA_Contiguous_Albers_Equal_Area_Conic"));

    // Cancel stores nothing and brings the stored catalogue back.
    page.cancel();
    EXPECT_EQ(Settings::get("proj", "projfile"), "epsg");
    EXPECT_EQ(ProjectionCatalogue::instance().fileName(), "epsg");
    EXPECT_TRUE(page.optEPSG->isChecked());
    EXPECT_FALSE(page.lbxProjections->isHidden());
    EXPECT_EQ(getProjectionName(), "WGS 84 - No Projection");
}

TEST_F(ProjectionPageTest, OkWithANewCodeStoresItAndReprojectsTheTable) {
    RecordingHost host;
    GpsTable table(host);
    ASSERT_TRUE(table.AddRecord("WAYPOINT;p;45;-93.5"));
    const int x = table.FindColumn("x_proj");

    typeCode("26915");
    page.applyOk(table);
    EXPECT_EQ(Settings::get("proj", "proj"), "26915");
    EXPECT_EQ(Settings::get("proj", "projfile"), "epsg");
    EXPECT_TRUE(CurrentProjection::prjText("26915").startsWith("PROJCS[\"NAD_1983_UTM_Zone_15N\""));
    EXPECT_TRUE(host.history.contains("Projection: NAD83 - UTM zone 15N"));
    EXPECT_EQ(table.grid().text(1, x), "460592.35098275");

    // The same code again: nothing is re-projected and a changed PRJ text is
    // not stored.
    table.grid().setText(1, x, "untouched");
    page.tbxPRJ->setPlainText("PROJCS[\"other\"]");
    page.applyOk(table);
    EXPECT_EQ(table.grid().text(1, x), "untouched");
    EXPECT_TRUE(CurrentProjection::prjText("26915").startsWith("PROJCS[\"NAD_1983"));

    // A typed code the catalogue does not know is not stored.
    page.cbxPOSCCodes->setEditText("98765432");
    page.applyOk(table);
    EXPECT_EQ(Settings::get("proj", "proj"), "26915");
    EXPECT_EQ(table.grid().text(1, x), "untouched");
    EXPECT_TRUE(ui.records().isEmpty());
}

TEST_F(ProjectionPageTest, LoadPrjJoinsLinesAndStoresNothingYet) {
    const QString path = scratchPath("zone.prj");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("PROJCS[\"first\",\r\nGEOGCS[\"second\"]]\r\n");
    file.close();

    ui.answerFile(path);
    page.cmdPRJLoad->click();
    EXPECT_EQ(page.tbxPRJ->toPlainText(), "PROJCS[\"first\",\nGEOGCS[\"second\"]]");
    ASSERT_EQ(ui.records().size(), 1);
    EXPECT_EQ(ui.records()[0].title, "ESRI Projection File (*.prj)|*.prj");
    EXPECT_EQ(CurrentProjection::prjText("4326"), "");

    // A cancelled dialog or an unreadable file leaves the box as it is.
    page.cmdPRJLoad->click();
    ui.answerFile(scratchPath("missing.prj"));
    page.cmdPRJLoad->click();
    EXPECT_EQ(page.tbxPRJ->toPlainText(), "PROJCS[\"first\",\nGEOGCS[\"second\"]]");
}
