// Quiet tasks against the simulated receiver: the exit status says how the
// task went, failures are reported, and no task ever needs an answer.
#include "MainWindowFixture.h"

#include "app/QuietDriver.h"
#include "gps/GarminLink.h"
#include "sim/SimulatedReceiver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace trekora;
using namespace trekora::sim;
using test::MainWindowTest;

namespace {

// A unit without track protocols.
constexpr const char* kNoTracks =
    "P000 L001 A010 A100 D108 A201 D202 D108 D210 A600 D600 A700 D700 A800 D800";

SimData waypoints(int count) {
    SimData d;
    for (int i = 0; i < count; ++i) {
        WaypointRecord w;
        w.ident = QStringLiteral("W%1").arg(i);
        w.latitude = 45 + i * 0.01;
        w.longitude = -93;
        w.symbol = 18;
        d.waypoints.append(w);
    }
    SimTrack track;
    track.header.ident = QStringLiteral("ACTIVE LOG");
    for (int i = 0; i < 5; ++i) {
        TrackRecord t;
        t.latitude = 45 + i * 0.001;
        t.longitude = -93;
        t.new_segment = i == 0;
        t.time = QStringLiteral("489409200");
        track.points.append(t);
    }
    d.tracks.append(track);
    return d;
}

class QuietModeTest : public MainWindowTest {
protected:
    void TearDown() override {
        // No quiet task may ever wait for an answer.
        EXPECT_EQ(ui.unanswered(), QStringList());
        MainWindowTest::TearDown();
        sim.reset();
    }

    // Runs `line` (with %1 standing for the scratch folder) to its end.
    void runQuiet(const QString& line, SimConfig config = {}, const SimData& data = waypoints(24)) {
        config.ackTimeoutMs = 250;
        config.retries = 2;
        sim = std::make_unique<SimulatedReceiver>(config, data);
        QString error;
        ASSERT_TRUE(sim->start(&error)) << error.toStdString();
        sim->assignToPort(1);
        Settings::set("port", "port", "1");
        ui.setStrict(true);
        QDir().mkpath(scratchPath("folder.shp"));
        connectAtStart = true;
        if (firstUse)
            firstStart({line.arg(scratchFolder())});
        else
            start({line.arg(scratchFolder())});
        GarminLink::Timing timing;
        timing.ackTimeoutMs = 250;
        timing.retries = 2;
        timing.transferStallMs = 1500;
        window->garmin().setTiming(timing);
        window->quietDriver().setReportSink({});
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->quietDriver().finished(); }, 30000));
    }

    QString scratchFolder() const { return QFileInfo(scratchPath("x")).absolutePath(); }
    QuietExit exitStatus() const { return window->quietDriver().exitStatus(); }
    QString reports() const { return window->quietDriver().reports().join(QLatin1Char('|')); }

    void writeFile(const QString& name, const QByteArray& contents) {
        QFile file(scratchPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

    std::unique_ptr<SimulatedReceiver> sim;
    bool firstUse = false; // no projection chosen yet
};

struct Case {
    const char* line;
    QuietExit status;
    const char* output; // the file the task leaves, or nullptr for none
    Fault fault = Fault::None;
    const char* protocols = nullptr;
    bool nmea = false;
};

const char* name(QuietExit status) {
    switch (status) {
    case QuietExit::Done:
        return "done";
    case QuietExit::Failed:
        return "failed";
    case QuietExit::Usage:
        return "usage";
    case QuietExit::Partial:
        return "partial";
    }
    return "?";
}

} // namespace

TEST_F(QuietModeTest, EveryDownloadEndsWithAnHonestStatus) {
    const Case cases[] = {
        {"quiet,download,waypoint,point,%1/w.shp,26915", QuietExit::Done, "w.shp"},
        {"quiet,download,track,line,%1/t.txt", QuietExit::Done, "t.txt"},
        {"quiet,download,waypoint,line,%1/w.dbf", QuietExit::Done, "w.dbf"},
        {"quiet,download,waypoint,point,%1/c.txt", QuietExit::Partial, "c.txt", Fault::WrongCount},
        {"quiet,download,route,point,%1/r.txt", QuietExit::Usage, nullptr},
        {"quiet,download,Waypoint,point,%1/r.txt", QuietExit::Usage, nullptr},
        {"quiet,download,waypoint,square,%1/s.shp", QuietExit::Usage, nullptr},
        {"quiet, download,waypoint,point,%1/s.shp", QuietExit::Usage, nullptr},
        {"quiet,fetch,waypoint,point,%1/s.shp", QuietExit::Usage, nullptr},
        {"quiet,download,waypoint,point,%1/w.csv", QuietExit::Failed, nullptr},
        {"quiet,download,waypoint,point,%1/folder.shp", QuietExit::Failed, nullptr},
        {"quiet,download,waypoint,point,%1/gone/w.shp", QuietExit::Failed, nullptr},
        {"quiet,download,waypoint,point,%1/m.txt", QuietExit::Failed, nullptr,
         Fault::StopMidTransfer},
        {"quiet,download,waypoint,point,%1/v.txt", QuietExit::Failed, nullptr, Fault::Vanish},
        {"quiet,download,waypoint,point,%1/n.txt", QuietExit::Failed, nullptr, Fault::None, nullptr,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SimConfig config;
        config.fault = c.fault;
        config.nmea = c.nmea;
        runQuiet(QString::fromLatin1(c.line), config);
        EXPECT_STREQ(name(exitStatus()), name(c.status)) << reports().toStdString();
        const QStringList left = QDir(scratchFolder()).entryList(QDir::Files);
        if (c.output) {
            EXPECT_TRUE(left.contains(QString::fromLatin1(c.output)))
                << left.join(' ').toStdString();
        } else {
            EXPECT_EQ(left.filter(QStringLiteral(".ini")), left);
        }
        // A failure always says why.
        if (c.status != QuietExit::Done) {
            EXPECT_FALSE(reports().isEmpty());
        }
        EXPECT_FALSE(reports().contains(QLatin1Char('\r')));
        window.reset();
        sim.reset();
        for (const QString& file : left)
            if (!file.endsWith(QLatin1String(".ini")))
                QFile::remove(scratchPath(file));
    }
}

TEST_F(QuietModeTest, EveryUploadEndsWithAnHonestStatus) {
    struct Upload {
        Case c;
        QByteArray file;
        int stored; // records the unit holds afterwards
    };
    const QByteArray track = "type;ident;lat;long;y_proj;x_proj;new_seg;altitude\r\n"
                             "TRACK;T;45.1;-93.1;0;0;True;10\r\nTRACK;T;45.2;-93.2;0;0;False;20\r\n"
                             "TRACK;T;45.3;-93.3;0;0;True;30\r\n";
    const Upload uploads[] = {
        {{"quiet,upload,track,x,%1/in.txt", QuietExit::Done, nullptr}, track, 3},
        // Fields that differ from the table's: the suggestions are taken, no dialog.
        {{"quiet,upload,waypoint,x,%1/in.txt", QuietExit::Done, nullptr},
         "ident;lat;long;note\r\nA;45.1;-93.1;x\r\nB;45.2;-93.2;y\r\n",
         2},
        {{"quiet,upload,waypoint,x,%1/in.txt", QuietExit::Partial, nullptr},
         "type;ident;lat;long;y_proj;x_proj\r\nWAYPOINT;A;45;-93;0;0\r\n"
         "WAYPOINT;B;91;-93;0;0\r\nWAYPOINT;C;45;-93;0;0\r\n",
         2},
        {{"quiet,upload,waypoint,x,%1/in.txt", QuietExit::Failed, nullptr},
         "type;ident;lat;long;y_proj;x_proj\r\nWAYPOINT;A;;;0;0\r\n",
         0},
        {{"quiet,upload,track,x,%1/in.txt", QuietExit::Failed, nullptr, Fault::None, kNoTracks},
         track,
         0},
        {{"quiet,upload,track,x,%1/in.txt", QuietExit::Failed, nullptr, Fault::Mute}, track, 0},
        {{"quiet,upload,track,x,%1/in.gpx", QuietExit::Failed, nullptr}, track, 0},
    };
    for (const Upload& u : uploads) {
        SCOPED_TRACE(u.c.line);
        SCOPED_TRACE(u.file.constData());
        writeFile(QStringLiteral("in.txt"), u.file);
        SimConfig config;
        config.fault = u.c.fault;
        if (u.c.protocols)
            config.protocols = QString::fromLatin1(u.c.protocols);
        runQuiet(QString::fromLatin1(u.c.line), config, SimData{});
        EXPECT_STREQ(name(exitStatus()), name(u.c.status)) << reports().toStdString();
        EXPECT_EQ(sim->data().waypoints.size() + sim->data().trackPointCount(), u.stored);
        if (u.c.status != QuietExit::Done) {
            EXPECT_FALSE(reports().isEmpty());
        }
        window.reset();
        sim.reset();
    }
}

TEST_F(QuietModeTest, ATrackUploadAnnouncesItsHeaderToo) {
    writeFile(QStringLiteral("in.txt"), "type;ident;lat;long;y_proj;x_proj;new_seg\r\n"
                                        "TRACK;T;45.1;-93.1;0;0;True\r\n"
                                        "TRACK;T;45.2;-93.2;0;0;False\r\n");
    runQuiet(QStringLiteral("quiet,upload,track,x,%1/in.txt"), {}, SimData{});
    ASSERT_EQ(exitStatus(), QuietExit::Done) << reports().toStdString();
    // One header and two points follow the count.
    EXPECT_EQ(sim->uploadReceived(), 3);
    EXPECT_EQ(sim->uploadAnnounced(), 3);
}

TEST_F(QuietModeTest, AnEmptyReceiverGivesEmptyFiles) {
    runQuiet(QStringLiteral("quiet,download,waypoint,point,%1/e.txt"), {}, SimData{});
    EXPECT_EQ(exitStatus(), QuietExit::Done) << reports().toStdString();
    QFile file(scratchPath("e.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    // The header line and nothing after it.
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("type;ident;lat;long"));
    EXPECT_TRUE(lines[1].isEmpty());
    window.reset();
    sim.reset();

    runQuiet(QStringLiteral("quiet,download,waypoint,point,%1/e.shp"), {}, SimData{});
    EXPECT_EQ(exitStatus(), QuietExit::Done) << reports().toStdString();
    // A shapefile of no records: the 100-byte header alone.
    EXPECT_EQ(QFileInfo(scratchPath("e.shp")).size(), 100);
    EXPECT_EQ(QFileInfo(scratchPath("e.shx")).size(), 100);
}

TEST_F(QuietModeTest, WithoutADisplayAShortOrWrongLineIsAUsageError) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_CONFIG_HOME", scratchPath("config"));
    env.insert("ASAN_OPTIONS", "detect_leaks=0");
    for (const char* line : {"quiet,download,waypoint,point", "quiet,get,waypoint,point,x.shp"}) {
        SCOPED_TRACE(line);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(TREKORA_BIN_DIR "/trekora"), {QString::fromLatin1(line)});
        ASSERT_TRUE(program.waitForFinished(60000));
        EXPECT_EQ(program.exitCode(), 2);
        const QByteArray error = program.readAllStandardError();
        EXPECT_TRUE(error.contains("usage") || error.contains("unknown quiet action"))
            << error.constData();
        EXPECT_FALSE(error.contains('\r'));
    }
}

TEST_F(QuietModeTest, AFirstStartAsksNothingAndStoresNothing) {
    firstUse = true;
    runQuiet(QStringLiteral("quiet,download,waypoint,point,%1/f.txt"));
    EXPECT_EQ(exitStatus(), QuietExit::Done) << reports().toStdString();
    EXPECT_EQ(Settings::get("proj", "proj"), QString());
}
