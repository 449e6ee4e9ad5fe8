// Transfers at the edges of what the receiver and the table hold: names the
// unit's format cannot take, more records than the table keeps, a box left
// open after a download, and link problems answered with Retry.
#include "MainWindowFixture.h"
#include "gps/ReceiverSession.h"

#include "app/QuietDriver.h"
#include "gps/GarminLink.h"
#include "sim/SimulatedReceiver.h"

#include <QTest>

using namespace trekora;
using namespace trekora::sim;
using test::MainWindowTest;

namespace {

class TransferLimitsTest : public MainWindowTest {
protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        sim.reset();
    }

    void startWith(SimConfig config, const SimData& data, QStringList arguments = {}) {
        config.ackTimeoutMs = 250;
        config.retries = 2;
        sim = std::make_unique<SimulatedReceiver>(config, data);
        QString error;
        ASSERT_TRUE(sim->start(&error)) << error.toStdString();
        sim->assignToPort(1);
        Settings::set("port", "port", "1");
        connectAtStart = true;
        start(std::move(arguments));
        GarminLink::Timing timing;
        timing.ackTimeoutMs = 250;
        timing.retries = 2;
        timing.transferStallMs = 1500;
        window->garmin().setTiming(timing);
    }

    bool waitFinished(int ms = 20000) {
        return QTest::qWaitFor([this] { return window->session().transferFinished(); }, ms);
    }

    QString cell(int row, const char* field) {
        return table().grid().text(row, table().FindColumn(QString::fromLatin1(field)));
    }

    std::unique_ptr<SimulatedReceiver> sim;
};

WaypointRecord waypoint(const QString& ident, double lat) {
    WaypointRecord w;
    w.ident = ident;
    w.latitude = lat;
    w.longitude = -93;
    w.symbol = 18;
    return w;
}

// A channel that, like a user, leaves one box open for a while.
class SlowReader : public ScriptedInteraction {
public:
    SlowReader(ScriptedInteraction& record, QString text, int ms)
        : m_record(record), m_text(std::move(text)), m_ms(ms) {}
    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon) override {
        if (text == m_text)
            QTest::qWait(m_ms);
        return m_record.message(text, title, buttons, icon);
    }

private:
    ScriptedInteraction& m_record;
    QString m_text;
    int m_ms;
};

} // namespace

TEST_F(TransferLimitsTest, SixCharacterUnitsGetDistinctNamesWrittenBackToTheTable) {
    SimConfig config;
    config.protocols = QString::fromLatin1(SimConfig::kOlderProtocols); // D103 waypoints
    SimData data;
    for (const char* ident : {"CAMPSITE1", "CAMPSITE2", "CAMPSITE3", "LAKE"})
        data.waypoints.append(waypoint(QString::fromLatin1(ident), 45));
    startWith(config, data);
    // The table holds names the unit itself could never have sent.
    window->mnuWDownload_Click();
    ASSERT_TRUE(waitFinished());
    for (int row = 1; row <= 3; ++row)
        table().grid().setText(row, table().FindColumn("ident"),
                               QStringLiteral("Campsite %1").arg(row));
    sim->setData(SimData{});
    ui.clear();
    window->mnuWUpload_Click();
    ASSERT_TRUE(waitFinished());
    ASSERT_EQ(sim->data().waypoints.size(), 4) << ui.messages().join('|').toStdString();
    QStringList sent;
    for (const WaypointRecord& w : sim->data().waypoints)
        sent << w.ident;
    EXPECT_EQ(sent, QStringList({"CMPST1", "CMPST2", "CMPST3", "LAKE"}));
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(cell(row, "ident"), sent[row - 1]);
    EXPECT_TRUE(ui.messages().value(0).startsWith("3 waypoint names were shortened"))
        << ui.messages().join('|').toStdString();
}

TEST_F(TransferLimitsTest, AFullTableKeepsItsRowsAndSaysSoOnce) {
    const QString path = scratchPath("long.txt");
    startWith({}, SimData::longTrack(40000), {QStringLiteral("quiet,download,track,line,") + path});
    window->quietDriver().setReportSink({});
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->quietDriver().finished(); }, 240000));
    EXPECT_EQ(table().recordCount(), 32767);
    EXPECT_EQ(window->quietDriver().exitStatus(), QuietExit::Partial);
    const QStringList boxes = ui.messages();
    EXPECT_EQ(boxes.filter("Table is Full").size(), 1) << boxes.size();
    EXPECT_TRUE(boxes.contains("Table is Full: 32,767 of 40,000 records kept"));
    EXPECT_FALSE(boxes.join('|').contains("-25536"));
    // Projected as usual: the last row kept has its projected coordinates.
    EXPECT_FALSE(cell(32767, "x_proj").isEmpty());
    EXPECT_NE(cell(32767, "x_proj"), "0");
}

TEST_F(TransferLimitsTest, ABoxLeftOpenAfterADownloadRaisesNoStallAlarm) {
    SimData data;
    for (int i = 0; i < 3; ++i)
        data.waypoints.append(waypoint(QStringLiteral("W%1").arg(i), 45 + i));
    startWith({}, data);
    // Longer than the link's stall time (1.5 s in these tests).
    SlowReader user(ui, QStringLiteral("Received 3 records."), 2500);
    setUserInteraction(&user);
    window->mnuWDownload_Click();
    ASSERT_TRUE(waitFinished());
    QTest::qWait(300);
    setUserInteraction(&ui);
    EXPECT_EQ(ui.messages(), QStringList{"Received 3 records."});
}

TEST_F(TransferLimitsTest, RetrySendsAgainAndCancelEndsTheUpload) {
    SimConfig config;
    config.fault = Fault::NakAll;
    SimData data;
    data.waypoints.append(waypoint(QStringLiteral("A"), 45));
    startWith(config, data);
    window->mnuWDownload_Click();
    ASSERT_TRUE(waitFinished());
    ui.clear();
    ui.answerMessage(Answer::Retry);
    ui.answerMessage(Answer::Cancel);
    window->mnuWUpload_Click();
    ASSERT_TRUE(waitFinished());
    const QList<ScriptedInteraction::Record> asked = ui.records();
    ASSERT_EQ(asked.size(), 2) << ui.messages().join('|').toStdString();
    for (const ScriptedInteraction::Record& r : asked) {
        EXPECT_EQ(r.buttons, Buttons::RetryCancel);
        EXPECT_TRUE(r.text.startsWith("The GPS did not understand a packet"));
    }
    // Cancel closes the link and ends the transfer: nothing waits on it.
    EXPECT_FALSE(window->session().transferBusy());
    EXPECT_EQ(window->transferState().outcome, TransferOutcome::Failed);
    EXPECT_EQ(window->statusPanel(1), "Not Connected");
}
