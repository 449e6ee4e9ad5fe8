#include "MainWindowFixture.h"

#include "app/ControlStates.h"

#include <QRadioButton>

using namespace trekora;
using test::MainWindowTest;

namespace {
const QStringList kTransfers = {"mnuWptDownload", "mnuTrkDownload", "mnuRteDownload",
                                "mnuWptUpload",   "mnuTrkUpload",   "mnuRteUpload"};
}

TEST_F(MainWindowTest, StartStateOffersLoadingButNoTransfersOrSaving) {
    start();
    const QStringList enabled = window->enabledControls();
    EXPECT_TRUE(enabled.contains("mnuLoadFrom"));
    EXPECT_TRUE(enabled.contains("optWpt"));
    for (const QString& off :
         kTransfers + QStringList{"mnuSaveTo", "mnuClearTable", "mnuHotlink", "mnuProject",
                                  "mnuUnproject", "mnuScreenShot", "mnuResetGarmin",
                                  "mnuGarminInfo", "mnuStartRT", "mnuStopRT"})
        EXPECT_FALSE(enabled.contains(off)) << off.toStdString();
}

TEST_F(MainWindowTest, EachStateSwitchesItsCommands) {
    start();
    struct Step {
        int state;
        QStringList on, off;
    };
    // Applied in order to one window, as a session would move through them.
    const std::vector<Step> steps = {
        {3,
         {"mnuScreenShot", "mnuResetGarmin", "mnuGarminInfo", "mnuWptDownload", "mnuTrkDownload",
          "mnuRteDownload", "mnuStartRT"},
         {"mnuWptUpload", "mnuTrkUpload", "mnuRteUpload", "mnuStopRT"}},
        {5,
         {"mnuStopRT"},
         {"mnuStartRT", "mnuTrkDownload", "mnuWptDownload", "mnuSaveTo", "mnuLoadFrom",
          "mnuGarminInfo", "optWpt", "optTrk", "optRte"}},
        {6,
         {"mnuStartRT", "mnuTrkDownload", "mnuWptDownload", "mnuLoadFrom", "mnuGarminInfo",
          "optWpt", "optTrk", "optRte"},
         // The table is still empty: nothing to save or upload.
         {"mnuStopRT", "mnuSaveTo", "mnuWptUpload"}},
        {7,
         {"mnuLoadFrom", "mnuStartRT", "mnuNMEA"},
         {"mnuResetGarmin", "mnuGarminInfo", "mnuStopRT", "mnuWptDownload", "mnuWptUpload",
          "mnuRteDownload"}},
        {1, {"mnuLoadFrom"}, kTransfers + QStringList{"mnuStartRT", "mnuScreenShot"}},
    };
    for (const Step& step : steps) {
        window->Set_Controls(step.state);
        for (const QString& name : step.on)
            EXPECT_TRUE(window->isControlEnabled(name)) << step.state << " " << name.toStdString();
        for (const QString& name : step.off)
            EXPECT_FALSE(window->isControlEnabled(name)) << step.state << " " << name.toStdString();
    }
    EXPECT_EQ(window->statusPanel(1), "Not Connected");
    const QStringList before = window->enabledControls();
    window->Set_Controls(8);
    window->Set_Controls(0);
    EXPECT_EQ(window->enabledControls(), before);
}

TEST_F(MainWindowTest, UploadFollowsTheRecordTypeOnlyWhileConnectedWithRecords) {
    start();
    window->Set_Controls(3);
    EXPECT_EQ(window->statusPanel(1), "Connected");
    EXPECT_FALSE(window->isControlEnabled("mnuWptUpload"));

    window->cmdAddRec->click(); // state 4 with records, connected
    EXPECT_TRUE(window->isControlEnabled("mnuWptUpload"));
    EXPECT_FALSE(window->isControlEnabled("mnuTrkUpload"));
    EXPECT_TRUE(window->isControlEnabled("mnuSaveTo"));
    EXPECT_TRUE(window->isControlEnabled("mnuClearTable"));

    window->optTrk->click();
    EXPECT_TRUE(window->isControlEnabled("mnuTrkUpload"));
    EXPECT_FALSE(window->isControlEnabled("mnuWptUpload"));
    window->optRTWpt->click();
    for (const char* upload : {"mnuWptUpload", "mnuTrkUpload", "mnuRteUpload"})
        EXPECT_FALSE(window->isControlEnabled(upload)) << upload;

    window->mnuClearTable->trigger();
    EXPECT_EQ(window->statusPanel(2), "Table has been cleared");
    EXPECT_FALSE(window->isControlEnabled("mnuSaveTo"));
    EXPECT_FALSE(window->isControlEnabled("mnuClearTable"));
    EXPECT_EQ(window->statusPanel(3), "");

    // Not connected: records allow saving but no upload.
    window->Set_Controls(1);
    window->optWpt->click();
    window->cmdAddRec->click();
    EXPECT_TRUE(window->isControlEnabled("mnuSaveTo"));
    EXPECT_FALSE(window->isControlEnabled("mnuWptUpload"));
}

TEST(ControlStates, TableHasRecordsNeedsRecords) {
    ControlStates::Context empty{true, false, "waypoint"};
    for (const ControlStates::Change& change : ControlStates::changes(4, empty))
        EXPECT_FALSE(change.enabled) << change.control.toStdString();
    EXPECT_TRUE(ControlStates::changes(9, empty).empty());
    EXPECT_EQ(ControlStates::uploadControl("route"), "mnuRteUpload");
    EXPECT_EQ(ControlStates::uploadControl("rtimewpt"), "");
}
