#include "MainWindowFixture.h"

#include "app/ControlStates.h"
#include "gps/ReceiverSession.h"

#include <QPushButton>
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
        ControlState state;
        QStringList on, off;
    };
    // Applied in order to one window, as a session would move through them.
    const std::vector<Step> steps = {
        {ControlState::Connected,
         {"mnuScreenShot", "mnuResetGarmin", "mnuGarminInfo", "mnuWptDownload", "mnuTrkDownload",
          "mnuRteDownload", "mnuStartRT"},
         {"mnuWptUpload", "mnuTrkUpload", "mnuRteUpload", "mnuStopRT"}},
        {ControlState::RealTimeStarted,
         {"mnuStopRT"},
         {"mnuStartRT", "mnuTrkDownload", "mnuWptDownload", "mnuSaveTo", "mnuLoadFrom",
          "mnuGarminInfo", "optWpt", "optTrk", "optRte"}},
        {ControlState::RealTimeStopped,
         {"mnuStartRT", "mnuTrkDownload", "mnuWptDownload", "mnuLoadFrom", "mnuGarminInfo",
          "optWpt", "optTrk", "optRte"},
         // The table is still empty: nothing to save or upload.
         {"mnuStopRT", "mnuSaveTo", "mnuWptUpload"}},
        {ControlState::NmeaMode,
         {"mnuLoadFrom", "mnuStartRT", "mnuNMEA"},
         {"mnuResetGarmin", "mnuGarminInfo", "mnuStopRT", "mnuWptDownload", "mnuWptUpload",
          "mnuRteDownload"}},
        {ControlState::NotConnected,
         {"mnuLoadFrom"},
         kTransfers + QStringList{"mnuStartRT", "mnuScreenShot"}},
    };
    for (const Step& step : steps) {
        window->Set_Controls(step.state);
        for (const QString& name : step.on)
            EXPECT_TRUE(window->isControlEnabled(name))
                << int(step.state) << " " << name.toStdString();
        for (const QString& name : step.off)
            EXPECT_FALSE(window->isControlEnabled(name))
                << int(step.state) << " " << name.toStdString();
    }
    EXPECT_EQ(window->statusPanel(1), "Not Connected");
    const QStringList before = window->enabledControls();
    // Values outside the seven states change nothing.
    window->Set_Controls(ControlState(8));
    window->Set_Controls(ControlState(0));
    EXPECT_EQ(window->enabledControls(), before);
}

TEST_F(MainWindowTest, UploadFollowsTheRecordTypeOnlyWhileConnectedWithRecords) {
    start();
    window->session().setConnection(ReceiverSession::Connection::Connected);
    window->Set_Controls(ControlState::Connected);
    EXPECT_EQ(window->statusPanel(1), "Connected");
    EXPECT_FALSE(window->isControlEnabled("mnuWptUpload"));

    window->controls().cmdAddRec->click(); // state 4 with records, connected
    EXPECT_TRUE(window->isControlEnabled("mnuWptUpload"));
    EXPECT_FALSE(window->isControlEnabled("mnuTrkUpload"));
    EXPECT_TRUE(window->isControlEnabled("mnuSaveTo"));
    EXPECT_TRUE(window->isControlEnabled("mnuClearTable"));

    window->controls().optTrk->click();
    EXPECT_TRUE(window->isControlEnabled("mnuTrkUpload"));
    EXPECT_FALSE(window->isControlEnabled("mnuWptUpload"));
    window->controls().optRTWpt->click();
    for (const char* upload : {"mnuWptUpload", "mnuTrkUpload", "mnuRteUpload"})
        EXPECT_FALSE(window->isControlEnabled(upload)) << upload;

    window->menus().mnuClearTable->trigger();
    EXPECT_EQ(window->statusPanel(2), "Table has been cleared");
    EXPECT_FALSE(window->isControlEnabled("mnuSaveTo"));
    EXPECT_FALSE(window->isControlEnabled("mnuClearTable"));
    EXPECT_EQ(window->statusPanel(3), "");

    // Not connected: records allow saving but no upload.
    window->session().setConnection(ReceiverSession::Connection::NotConnected);
    window->Set_Controls(ControlState::NotConnected);
    window->controls().optWpt->click();
    window->controls().cmdAddRec->click();
    EXPECT_TRUE(window->isControlEnabled("mnuSaveTo"));
    EXPECT_FALSE(window->isControlEnabled("mnuWptUpload"));
}

TEST(ControlStates, TableHasRecordsNeedsRecords) {
    ControlStates::Context empty{true, false, RecordKind::Waypoint};
    for (const ControlStates::Change& change :
         ControlStates::changes(ControlState::TableHasRecords, empty))
        EXPECT_FALSE(change.enabled) << change.control.toStdString();
    EXPECT_TRUE(ControlStates::changes(ControlState(9), empty).empty());
    EXPECT_EQ(ControlStates::uploadControl(RecordKind::Route), "mnuRteUpload");
    EXPECT_EQ(ControlStates::uploadControl(RecordKind::RealTime), "");
    EXPECT_EQ(ControlStates::uploadControl(recordKindOf("no such type")), "");
}

TEST_F(MainWindowTest, EveryControlTheStatesNameExists) {
    // A misspelt name in the state table would switch nothing, silently.
    start();
    for (const QString& name : ControlStates::controlNames())
        EXPECT_NE(window->control(name), nullptr) << name.toStdString();
    EXPECT_EQ(window->control("mnuNoSuchCommand"), nullptr);
}

TEST_F(MainWindowTest, ConnectionPanelFollowsTheSessionNotTheControlState) {
    start();
    window->Set_Controls(ControlState::Connected);
    EXPECT_EQ(window->statusPanel(1), "Not Connected") << "no receiver answered";
    window->controls().cmdAddRec->click();
    EXPECT_FALSE(window->isControlEnabled("mnuWptUpload")) << "uploads need a receiver";

    window->session().setConnection(ReceiverSession::Connection::Connecting);
    EXPECT_EQ(window->statusPanel(1), "Connecting");
    window->session().setConnection(ReceiverSession::Connection::Connected);
    EXPECT_EQ(window->statusPanel(1), "Connected");
    window->Set_Controls(ControlState::TableHasRecords);
    EXPECT_TRUE(window->isControlEnabled("mnuWptUpload"));
}
