// The main window against the simulated receiver over a real pseudo-terminal:
// connection, downloads, uploads, selections, faults and quiet transfers.
#include "MainWindowFixture.h"
#include "gps/ReceiverSession.h"

#include "app/QuietDriver.h"
#include "app/ReceiverConnection.h"
#include "app/TransferDispatcher.h"
#include "app/UploadSequencer.h"
#include "app/frmInfo.h"
#include "gps/GarminLink.h"
#include "sim/SimulatedReceiver.h"
#include "table/FieldCatalogue.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>

using namespace trekora;
using namespace trekora::sim;
using test::MainWindowTest;

namespace {

WaypointRecord waypoint(const char* ident, double lat, double lon, std::int16_t symbol,
                        float altitude) {
    WaypointRecord w;
    w.ident = QString::fromLatin1(ident);
    w.latitude = lat;
    w.longitude = lon;
    w.symbol = symbol;
    w.altitude = altitude;
    w.comment = QStringLiteral("note; ") + w.ident;
    return w;
}

TrackRecord trackPoint(double lat, double lon, bool newSegment, float altitude) {
    TrackRecord t;
    t.latitude = lat;
    t.longitude = lon;
    t.new_segment = newSegment;
    t.altitude = altitude;
    t.time = QStringLiteral("489409200");
    return t;
}

// Two routes of three points, a two-segment track and four waypoints.
SimData sampleData() {
    SimData d;
    d.waypoints = {waypoint("CAMP", -0.703125, 10.5, 15, 100),
                   waypoint("LAKE", 45.5, -93.25, 1, 287.3f), waypoint("PEAK", 46, -92, 0, 1500),
                   waypoint("FORD", 46.5, -92.5, 2, 250)};
    for (int r = 0; r < 2; ++r) {
        SimRoute route;
        route.header.route_number = static_cast<std::int16_t>(r + 1);
        route.header.route_ident = QStringLiteral("ROUTE%1").arg(r + 1);
        route.header.route_comment = QStringLiteral("comment %1").arg(r + 1);
        for (int i = 0; i < 3; ++i)
            route.points.append(waypoint(qPrintable(QStringLiteral("R%1P%2").arg(r + 1).arg(i)),
                                         45 + r + i * 0.01, -93 + i * 0.01, 18, 200));
        d.routes.append(route);
    }
    SimTrack track;
    track.header.ident = QStringLiteral("ACTIVE LOG");
    for (int i = 0; i < 6; ++i)
        track.points.append(trackPoint(45 + i * 0.001, -93, i == 0 || i == 3, 100));
    d.tracks.append(track);
    return d;
}

struct Family {
    const char* name;
    const char* protocols;
};

const Family kNewer{"newer", SimConfig::kNewerProtocols};
const Family kOlder{"older", SimConfig::kOlderProtocols};

class ReceiverTest : public MainWindowTest {
protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        sim.reset();
    }

    void startWith(const Family& family, const SimData& data = sampleData(),
                   Fault fault = Fault::None, QStringList arguments = {}) {
        SimConfig config;
        config.protocols = QString::fromLatin1(family.protocols);
        config.fault = fault;
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

    bool waitIdle(int ms = 20000) {
        return QTest::qWaitFor([this] { return !window->session().transferBusy(); }, ms);
    }

    QString cell(int row, const char* field) {
        return table().grid().text(row, table().FindColumn(QString::fromLatin1(field)));
    }

    std::unique_ptr<SimulatedReceiver> sim;
};

} // namespace

TEST_F(ReceiverTest, ConnectsAndFillsTheInformationWindow) {
    startWith(kOlder);
    EXPECT_EQ(window->statusPanel(1), "Connected");
    EXPECT_TRUE(ui.messages().isEmpty()) << ui.messages().join('|').toStdString();
    const ReceiverInfo& info = window->connection().info();
    EXPECT_EQ(info.productId, "PID 411");
    EXPECT_EQ(info.desc1, "eTrex Legend Software Version 3.70");
    EXPECT_EQ(window->controls().lblGPSDesc1->text(), "eTrex Legend Software Version 3.70 ");
    EXPECT_EQ(info.format3.mid(30, 10), "  WPT:D103");
    EXPECT_TRUE(window->connection().screenShotCapable());
    EXPECT_TRUE(window->statusPanel(2).startsWith("Projection: "));
    EXPECT_TRUE(window->isControlEnabled("mnuWptDownload"));

    window->mnuGarminInfo_Click();
    EXPECT_FALSE(info.date.isEmpty());
    EXPECT_EQ(window->infoWindow().lblProductID->text(), "PID 411");

    window->mnuClosePort_Click();
    EXPECT_EQ(window->statusPanel(1), "Not Connected");
    EXPECT_EQ(window->statusPanel(2), "GPS Connection has been closed");
}

TEST_F(ReceiverTest, BaudRateChangesOnTheOpenLink) {
    startWith(kNewer);
    window->mnuBaudRate_Click(2);
    EXPECT_EQ(Settings::get("port", "Settings"), "19200,N,8,1");
    EXPECT_TRUE(window->menus().mnuBaudRate[2]->isChecked());
    EXPECT_EQ(window->statusPanel(2), "Set Baud Rate to 19200");
    window->mnuWDownload_Click();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(table().recordCount(), 4);
    // 4800 only changes the stored text.
    window->mnuBaudRate_Click(0);
    EXPECT_EQ(Settings::get("port", "Settings"), "4800,N,8,1");
    EXPECT_TRUE(ui.messages().size() == 1) << ui.messages().join('|').toStdString();
}

TEST_F(ReceiverTest, AnNmeaUnitConnectsInNmeaMode) {
    SimConfig config;
    config.nmea = true;
    sim = std::make_unique<SimulatedReceiver>(config, sampleData());
    ASSERT_TRUE(sim->start());
    sim->assignToPort(1);
    Settings::set("port", "port", "1");
    connectAtStart = true;
    start();
    EXPECT_EQ(window->statusPanel(1), "Connected");
    EXPECT_TRUE(window->connection().nmeaMode());
    EXPECT_EQ(window->connection().info().productId, "NMEA");
    EXPECT_EQ(ui.messages().value(0), "Your GPS is in NMEA mode.  For upload/download "
                                      "capabilities\r\nswitch the GPS's Interface Mode to "
                                      "'GARMIN', then reconnect.");
    EXPECT_TRUE(window->controls().optRTWpt->isChecked());
}

TEST_F(ReceiverTest, MissingPortAndSilentPortAreReported) {
    Settings::set("port", "device3", scratchPath("nothing-here"));
    start();
    window->mnuPort_Click(3);
    EXPECT_EQ(ui.messages().value(0), "Port 3 does not exist");
    EXPECT_EQ(window->statusPanel(1), "Not Connected");
    EXPECT_EQ(Settings::get("port", "port"), "3");
    EXPECT_TRUE(window->menus().mnuPort[3]->isChecked());
}

TEST_F(ReceiverTest, WaypointDownloadGivesTheRowsOfBothFamilies) {
    for (const Family& family : {kNewer, kOlder}) {
        SCOPED_TRACE(family.name);
        startWith(family);
        ui.clear();
        window->mnuWDownload_Click();
        ASSERT_TRUE(waitIdle());
        EXPECT_TRUE(window->session().transferFinished());
        EXPECT_EQ(ui.messages(), QStringList{"Received 4 records."});
        ASSERT_EQ(table().recordCount(), 4);
        EXPECT_EQ(cell(1, "ident"), "CAMP");
        EXPECT_EQ(cell(1, "lat"), "-.70312500");
        EXPECT_EQ(cell(1, "comment"), "note; CAMP");
        // D103 waypoints carry no altitude.
        EXPECT_EQ(cell(1, "altitude"), family.name == kOlder.name ? "0" : "100");
        EXPECT_EQ(cell(1, "model"), "eTrex Legend");
        // Projected at the end (the fixture's projection is WGS 84 itself).
        EXPECT_EQ(cell(1, "y_proj").toDouble(), -0.703125);
        // A D103 unit's 15 is the table's 8196.
        EXPECT_EQ(cell(1, "symbol"), family.name == kOlder.name ? "8196" : "15");
        EXPECT_FALSE(window->transferProgressVisible());
        window.reset();
        sim.reset();
    }
}

TEST_F(ReceiverTest, WaypointsInFeet) {
    Settings::set("Units", "Unit", "Feet");
    startWith(kNewer);
    window->mnuWDownload_Click();
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(cell(1, "altitude"), "328");
    EXPECT_EQ(cell(2, "altitude"), "943");
}

TEST_F(ReceiverTest, TrackDownloadKeepsSegmentsAndLengths) {
    for (const Family& family : {kNewer, kOlder}) {
        SCOPED_TRACE(family.name);
        startWith(family);
        ui.clear();
        window->mnuTDownload_Click();
        ASSERT_TRUE(waitIdle());
        EXPECT_EQ(ui.messages(), QStringList{"Received 6 records."});
        ASSERT_EQ(table().recordCount(), 6);
        EXPECT_EQ(table().currentRecordType(), RecordType::Track);
        EXPECT_EQ(cell(1, "type"), "TRACK");
        EXPECT_EQ(cell(4, "new_seg").toLower(), "true");
        EXPECT_EQ(cell(5, "new_seg"), "False");
        // D300 track points carry no altitude.
        EXPECT_EQ(cell(2, "altitude"), family.name == kOlder.name ? "0" : "100");
        EXPECT_EQ(cell(2, "time"), "489409200");
        window.reset();
        sim.reset();
    }
}

TEST_F(ReceiverTest, RouteDownloadCountsHeadersAndLinks) {
    for (const Family& family : {kNewer, kOlder}) {
        SCOPED_TRACE(family.name);
        startWith(family);
        ui.clear();
        window->mnuRDownload_Click();
        ASSERT_TRUE(waitIdle());
        EXPECT_EQ(ui.messages(), QStringList{"Received 6 records."});
        ASSERT_EQ(table().recordCount(), 6);
        EXPECT_EQ(cell(1, "type"), "Route");
        EXPECT_EQ(cell(1, "new_seg").toLower(), "true");
        EXPECT_EQ(cell(2, "new_seg"), "False");
        EXPECT_EQ(cell(4, "new_seg"), "True");
        // D202 headers carry only the ident.
        EXPECT_EQ(cell(4, "rnumber"), family.name == kOlder.name ? "2" : "0");
        // A D201 header carries the comment where the ident stands.
        EXPECT_EQ(cell(4, "rident"), family.name == kOlder.name ? "comment 2" : "ROUTE2");
        window.reset();
        sim.reset();
    }
}

TEST_F(ReceiverTest, UploadsLeaveTheUnitHoldingTheTable) {
    for (const Family& family : {kNewer, kOlder}) {
        SCOPED_TRACE(family.name);
        const SimData original = sampleData();
        startWith(family);

        window->mnuWDownload_Click();
        ASSERT_TRUE(waitIdle());
        sim->setData(SimData{});
        window->mnuWUpload_Click();
        ASSERT_TRUE(waitIdle());
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->session().transferFinished(); }, 20000));
        EXPECT_EQ(window->statusPanel(2), "Transfer Complete. 4 Waypoints uploaded.");
        ASSERT_EQ(sim->data().waypoints.size(), 4);
        for (int i = 0; i < 4; ++i) {
            const WaypointRecord& sent = sim->data().waypoints[i];
            const WaypointRecord& had = original.waypoints[i];
            EXPECT_EQ(sent.ident, had.ident);
            EXPECT_NEAR(sent.latitude, had.latitude, 1e-7);
            EXPECT_NEAR(sent.longitude, had.longitude, 1e-7);
            EXPECT_EQ(sent.symbol, had.symbol);
            EXPECT_EQ(sent.comment, had.comment);
            if (family.name == kNewer.name) {
                EXPECT_NEAR(sent.altitude, had.altitude, 0.5);
            }
        }

        sim->setData(original);
        window->mnuRDownload_Click();
        ASSERT_TRUE(waitIdle());
        sim->setData(SimData{});
        window->mnuRUpload_Click();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->session().transferFinished(); }, 20000));
        EXPECT_EQ(window->statusPanel(2),
                  "Transfer Complete.  A Route consisting of 6 points has been uploaded.");
        ASSERT_EQ(sim->data().routes.size(), 2) << ui.messages().join('|').toStdString();
        EXPECT_EQ(sim->data().routes[1].points.size(), 3);
        EXPECT_EQ(sim->data().routes[1].points[2].ident, "R2P2");

        sim->setData(original);
        window->mnuTDownload_Click();
        ASSERT_TRUE(waitIdle());
        sim->setData(SimData{});
        window->mnuTUpload_Click();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->session().transferFinished(); }, 20000));
        EXPECT_EQ(window->statusPanel(2),
                  "Transfer Complete.  A Track consisting of 6 points has been uploaded.");
        ASSERT_EQ(sim->data().trackPointCount(), 6);
        ASSERT_EQ(sim->data().tracks.size(), 1);
        const QList<TrackRecord>& points = sim->data().tracks.last().points;
        EXPECT_NEAR(points[5].latitude, 45.005, 1e-7);
        EXPECT_TRUE(points[3].new_segment);
        EXPECT_FALSE(ui.messages().contains("Error - Record counts don't match"));
        window.reset();
        sim.reset();
    }
}

TEST_F(ReceiverTest, SelectionUploadsOnlyItsRows) {
    startWith(kNewer);
    window->mnuWDownload_Click();
    ASSERT_TRUE(waitIdle());
    sim->setData(SimData{});
    table().grid().setCurrent(2, 1);
    table().grid().setSelection(3, table().grid().cols() - 1);
    table().UpdateSelection();
    window->mnuWUpload_Click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->session().transferFinished(); }, 20000));
    ASSERT_EQ(sim->data().waypoints.size(), 2);
    EXPECT_EQ(sim->data().waypoints[0].ident, "LAKE");
    EXPECT_EQ(sim->data().waypoints[1].ident, "PEAK");
    EXPECT_EQ(window->statusPanel(2), "Transfer Complete. 2 Waypoints uploaded.");
}

TEST_F(ReceiverTest, UploadRefusesRowsOutOfRangeAndFillsDefaults) {
    startWith(kNewer);
    window->mnuWDownload_Click();
    ASSERT_TRUE(waitIdle());
    sim->setData(SimData{});
    GpsTable& t = table();
    t.grid().setText(2, t.FindColumn("ident"), u"");
    t.grid().setText(2, t.FindColumn("symbol"), u"");
    t.grid().setText(3, t.FindColumn("lat"), u"90.5");
    window->mnuWUpload_Click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return window->session().transferFinished(); }, 20000));
    EXPECT_TRUE(ui.messages().contains("Lat/Long values out of range in record 3"));
    ASSERT_EQ(sim->data().waypoints.size(), 2);
    EXPECT_EQ(sim->data().waypoints[1].ident, "WPT2");
    EXPECT_EQ(sim->data().waypoints[1].symbol, 18);
    EXPECT_FALSE(window->session().transferBusy());
    // Two of three sent: a partial upload, which quiet mode tells its caller.
    EXPECT_EQ(window->transferState().outcome, TransferOutcome::Partial);
}

TEST_F(ReceiverTest, LinkFaultsEndInMessagesAndKeepTheRows) {
    {
        startWith(kNewer, sampleData(), Fault::WrongCount);
        ui.clear();
        window->mnuWDownload_Click();
        ASSERT_TRUE(waitIdle());
        EXPECT_EQ(ui.messages(),
                  (QStringList{"Received 4 records.", "Error - Record counts don't match\r\n"
                                                      "GPS claims to have sent 5 records."}));
        window.reset();
        sim.reset();
    }
    {
        SimData many = sampleData();
        for (int i = 0; i < 20; ++i)
            many.waypoints.append(
                waypoint(qPrintable(QStringLiteral("W%1").arg(i)), 40, -90, 1, 0));
        startWith(kNewer, many, Fault::StopMidTransfer);
        ui.clear();
        ui.answerMessage(Answer::Cancel); // end the stalled transfer
        window->mnuWDownload_Click();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !ui.messages().isEmpty(); }, 10000));
        EXPECT_GT(table().recordCount(), 0);
        EXPECT_LT(table().recordCount(), 24);
        window->mnuResetGarmin_Click();
        EXPECT_FALSE(window->session().transferBusy());
        window.reset();
        sim.reset();
    }
    {
        startWith(kNewer, sampleData(), Fault::Mute);
        window->mnuWDownload_Click();
        ASSERT_TRUE(waitIdle());
        ui.clear();
        ui.answerMessage(Answer::Cancel);
        window->mnuWUpload_Click();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !ui.messages().isEmpty(); }, 10000));
        EXPECT_EQ(window->statusPanel(1), "Not Connected");
    }
}

TEST_F(ReceiverTest, QuietDownloadWritesAProjectedShapefileAndExits) {
    const QString path = scratchPath("w.shp");
    startWith(kNewer, sampleData(), Fault::None,
              {QStringLiteral("quiet,download,waypoint,point,") + path + QStringLiteral(",26915")});
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(path); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->statusPanel(2).startsWith("Shapefile saved"); }, 5000));
    EXPECT_TRUE(window->quietDriver().lastResult());
    EXPECT_EQ(Settings::get("proj", "proj"), "26915");
    EXPECT_EQ(cell(3, "x_proj").left(9), "577432.18"); // 92 W 46 N in UTM zone 15
}

TEST_F(ReceiverTest, QuietUploadLoadsTheFileAndUploads) {
    const QString path = scratchPath("t.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("type;ident;lat;long;y_proj;x_proj;new_seg;altitude\r\n"
               "TRACK;T;45.1;-93.1;0;0;True;10\r\nTRACK;T;45.2;-93.2;0;0;False;20\r\n");
    file.close();
    startWith(kNewer, SimData{}, Fault::None, {QStringLiteral("quiet,upload,track,x,") + path});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return window->statusPanel(2) == "Data uploaded to GPS successfully"; }, 10000))
        << window->statusPanel(2).toStdString();
    EXPECT_EQ(sim->data().trackPointCount(), 2);
}

TEST_F(ReceiverTest, TheProgramRunsQuietTasksWithoutADisplay) {
    const QString out = scratchPath("p.shp");
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_CONFIG_HOME", scratchPath("config"));
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    program.setProcessEnvironment(env);
    QDir().mkpath(scratchPath("config/trekora"));
    QFile ini(scratchPath("config/trekora/trekora.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[proj]\nproj=4326\n");
    ini.close();
    program.start(QStringLiteral(TREKORA_BIN_DIR "/trekora"),
                  {QStringLiteral("--simulate"), QStringLiteral("quiet,download,waypoint,point,") +
                                                     out + QStringLiteral(",26915")});
    ASSERT_TRUE(program.waitForFinished(60000)) << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(out));
    EXPECT_TRUE(QFile::exists(scratchPath("p.dbf")));

    // A task that fails says so in the exit status.
    program.start(QStringLiteral(TREKORA_BIN_DIR "/trekora"),
                  {QStringLiteral("--simulate"),
                   QStringLiteral("quiet,download,waypoint,point,") + scratchPath("p.xyz")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 1);
    EXPECT_FALSE(QFile::exists(scratchPath("p.xyz")));
}

TEST_F(ReceiverTest, ALostDeviceLeavesTheWindowNotConnected) {
    startWith(kNewer, sampleData(), Fault::Vanish);
    ASSERT_EQ(window->statusPanel(1), "Connected");
    ui.clear();
    ui.answerMessage(Answer::Cancel); // do not retry the lost device
    window->mnuWDownload_Click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window->garmin().isOpen(); }, 10000));
    EXPECT_EQ(ui.messages().size(), 1) << ui.messages().join('|').toStdString();
    EXPECT_EQ(window->statusPanel(1), "Not Connected");
    EXPECT_FALSE(window->session().transferBusy()) << "the next command must not wait for it";
    EXPECT_EQ(window->transferState().outcome, TransferOutcome::Failed) << "it was given up";
    EXPECT_FALSE(window->transferProgressVisible());
    for (const char* command : {"mnuWptDownload", "mnuGarminInfo", "mnuStartRT"})
        EXPECT_FALSE(window->isControlEnabled(command)) << command;
    // Rows that did arrive stay and can be saved, but not sent anywhere.
    window->Set_Controls(ControlState::TableHasRecords);
    EXPECT_FALSE(window->isControlEnabled("mnuWptUpload"));
}
