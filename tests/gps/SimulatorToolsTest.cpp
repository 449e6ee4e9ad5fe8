// The simulator as other programs use it: its command line, its GPX data,
// and third-party host software (gpsbabel) talking to it.
#include "core/Settings.h"
#include "gps/GarminLink.h"
#include "gps/SymbolCatalogue.h"
#include "gps/protocol/DataTypes.h"
#include "sim/GpxReader.h"
#include "sim/SimulatedReceiver.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace trekora;
using namespace trekora::sim;

namespace {

const char* kSampleGpx = R"(<?xml version="1.0" encoding="UTF-8"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
  <wpt lat="48.8584" lon="2.2945"><ele>330</ele><name>EIFFEL</name><cmt>TOWER</cmt><sym>Flag</sym></wpt>
  <wpt lat="48.8606" lon="2.3376"><name>LOUVRE</name></wpt>
  <rte><name>WALK</name>
    <rtept lat="48.8584" lon="2.2945"><name>EIFFEL</name></rtept>
    <rtept lat="48.8606" lon="2.3376"><name>LOUVRE</name></rtept>
  </rte>
  <trk><name>DAY</name>
    <trkseg><trkpt lat="48.85" lon="2.29"><ele>35</ele><time>2020-05-01T10:00:00Z</time></trkpt>
            <trkpt lat="48.86" lon="2.30"><time>2020-05-01T10:01:00Z</time></trkpt></trkseg>
    <trkseg><trkpt lat="48.87" lon="2.31"/></trkseg>
  </trk>
</gpx>)";

// Runs gpsbabel while the simulator keeps serving on this thread's event loop.
void runGpsbabel(const QString& gpsbabel, const QStringList& args) {
    QProcess p;
    p.start(gpsbabel, args);
    const bool done = QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 30000);
    EXPECT_TRUE(done);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

bool readGpx(const QByteArray& text, SimData& data, QString* error) {
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    return GpxReader::read(buffer, data, error);
}

} // namespace

TEST(GpxReader, ReadsWaypointsRoutesAndTracksAndRefusesBadFiles) {
    SimData data;
    QString error;
    ASSERT_TRUE(readGpx(kSampleGpx, data, &error)) << error.toStdString();
    ASSERT_EQ(data.waypoints.size(), 2);
    EXPECT_EQ(data.waypoints[0].ident, QStringLiteral("EIFFEL"));
    EXPECT_EQ(data.waypoints[0].comment, QStringLiteral("TOWER"));
    EXPECT_EQ(data.waypoints[0].altitude, 330.0f);
    EXPECT_EQ(data.waypoints[1].altitude, kNoValue);
    ASSERT_EQ(data.routes.size(), 1);
    EXPECT_EQ(data.routes[0].header.route_ident, QStringLiteral("WALK"));
    EXPECT_EQ(data.routes[0].points.size(), 2);
    ASSERT_EQ(data.tracks.size(), 1);
    EXPECT_EQ(data.tracks[0].header.ident, QStringLiteral("DAY"));
    ASSERT_EQ(data.tracks[0].points.size(), 3);
    EXPECT_TRUE(data.tracks[0].points[2].new_segment);
    EXPECT_EQ(data.tracks[0].points[0].time, QString::number(1588327200 - gps::kGarminEpochOffset));
    EXPECT_TRUE(data.tracks[0].points[2].time.isEmpty());

    for (const char* bad : {"", "<kml/>", "<gpx><wpt lat=\"95\" lon=\"0\"/></gpx>",
                            "<gpx><wpt lat=\"x\" lon=\"0\"></wpt></gpx>", "<gpx><wpt lat=\"1\""}) {
        SimData untouched = SimData::demo();
        error.clear();
        EXPECT_FALSE(readGpx(bad, untouched, &error)) << bad;
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(untouched.waypoints.size(), SimData::demo().waypoints.size());
    }
}

class SimulatorTools : public test::TestEnvironment {};

TEST_F(SimulatorTools, CommandLineSimulatorPrintsItsDeviceAndEndsWithItsInput) {
    QTemporaryDir dir;
    const QString gpx = dir.filePath(QStringLiteral("in.gpx"));
    QFile file(gpx);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kSampleGpx);
    file.close();
    const QString linkPath = dir.filePath(QStringLiteral("gps"));

    QProcess sim;
    sim.start(QStringLiteral(TREKORA_BIN_DIR "/trekora-gpssim"),
              {QStringLiteral("--data"), gpx, QStringLiteral("--link"), linkPath,
               QStringLiteral("--product"), QStringLiteral("96"), QStringLiteral("--software"),
               QStringLiteral("458"), QStringLiteral("--description"),
               QStringLiteral("GPSMAP 76S Software Version 4.58"), QStringLiteral("--protocols"),
               QString::fromLatin1(SimConfig::kOlderProtocols)});
    ASSERT_TRUE(sim.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sim.canReadLine(); }, 10000));
    const QString first = QString::fromLatin1(sim.readLine()).trimmed();
    ASSERT_TRUE(first.startsWith(QStringLiteral("PTY /dev/"))) << first.toStdString();
    EXPECT_EQ(QFileInfo(linkPath).symLinkTarget(), first.mid(4));

    Settings::set(QStringLiteral("port"), QStringLiteral("device2"), linkPath);
    {
        GarminLink link;
        int waypoints = 0;
        int completes = 0;
        QObject::connect(&link, &GarminLink::PacketReceived, [&](const QByteArray& p) {
            waypoints += quint8(p.at(1)) == link.PidWaypoint();
            completes += quint8(p.at(1)) == link.PidTransferComplete();
        });
        link.setPort(2);
        ASSERT_TRUE(link.OpenPort());
        link.RequestProductData();
        EXPECT_EQ(link.ProductRecord().product_id, 96);
        EXPECT_EQ(link.ProductRecord().software_version, 458);
        EXPECT_EQ(link.ProductRecord().description1,
                  QStringLiteral("GPSMAP 76S Software Version 4.58"));
        EXPECT_EQ(link.WaypointType(), QStringLiteral("D103"));
        link.DownloadWaypoints();
        ASSERT_TRUE(QTest::qWaitFor([&] { return completes == 1; }, 10000));
        EXPECT_EQ(waypoints, 2) << "the GPX file's waypoints";
    }
    sim.closeWriteChannel();
    EXPECT_TRUE(sim.waitForFinished(10000));
    EXPECT_EQ(sim.exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(linkPath)) << "the link is removed on exit";

    QProcess bad;
    bad.start(QStringLiteral(TREKORA_BIN_DIR "/trekora-gpssim"),
              {QStringLiteral("--fault"), QStringLiteral("gremlins")});
    ASSERT_TRUE(bad.waitForFinished(10000));
    EXPECT_NE(bad.exitCode(), 0);
}

TEST_F(SimulatorTools, GpsbabelDownloadsFromAndUploadsToTheSimulator) {
    TREKORA_REQUIRE_TOOL(gpsbabel, "gpsbabel");
    SimulatedReceiver sim(SimConfig{});
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    auto run = [&](const QStringList& args) { runGpsbabel(gpsbabel, args); };
    const QString out = dir.filePath(QStringLiteral("out.gpx"));
    run({QStringLiteral("-w"), QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("-i"),
         QStringLiteral("garmin"), QStringLiteral("-f"), sim.ptyPath(), QStringLiteral("-o"),
         QStringLiteral("gpx"), QStringLiteral("-F"), out});
    SimData got;
    QString error;
    ASSERT_TRUE(GpxReader::readFile(out, got, &error)) << error.toStdString();
    const SimData demo = SimData::demo();
    EXPECT_EQ(got.waypoints.size(), demo.waypoints.size());
    EXPECT_EQ(got.routes.size(), demo.routes.size());
    EXPECT_EQ(got.trackPointCount(), demo.trackPointCount());
    EXPECT_EQ(got.waypoints[0].ident, demo.waypoints[0].ident);

    const QString in = dir.filePath(QStringLiteral("in.gpx"));
    QFile file(in);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(kSampleGpx);
    file.close();
    run({QStringLiteral("-w"), QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("-i"),
         QStringLiteral("gpx"), QStringLiteral("-f"), in, QStringLiteral("-o"),
         QStringLiteral("garmin"), QStringLiteral("-F"), sim.ptyPath()});
    EXPECT_EQ(sim.data().waypoints.size(), demo.waypoints.size() + 2);
    EXPECT_EQ(sim.data().waypoints.last().ident, QStringLiteral("LOUVRE"));
    EXPECT_EQ(sim.data().routes.size(), demo.routes.size() + 1);
    EXPECT_EQ(sim.data().trackPointCount(), demo.trackPointCount() + 3);
}

TEST_F(SimulatorTools, GpxSymbolNamesGiveTheCodesGpsbabelSendsForThem) {
    TREKORA_REQUIRE_TOOL(gpsbabel, "gpsbabel");
    // One waypoint per catalogue symbol and for a few symbols beyond it.
    QStringList names;
    for (const SymbolEntry& entry : SymbolCatalogue::entries())
        names << entry.name;
    names << QStringLiteral("Flag, Blue") << QStringLiteral("Flag, Green")
          << QStringLiteral("Flag, Red") << QStringLiteral("summit");
    QByteArray gpx = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\" "
                     "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    for (qsizetype i = 0; i < names.size(); ++i)
        gpx += QStringLiteral("<wpt lat=\"45\" lon=\"%1\"><name>S%2</name><sym>%3</sym></wpt>\n")
                   .arg(double(i) / 1000)
                   .arg(i)
                   .arg(names[i].toHtmlEscaped())
                   .toUtf8();
    gpx += "</gpx>\n";
    SimData ours;
    QString error;
    ASSERT_TRUE(readGpx(gpx, ours, &error)) << error.toStdString();
    ASSERT_EQ(ours.waypoints.size(), names.size());

    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("symbols.gpx"));
    QFile file(in);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(gpx);
    file.close();
    SimulatedReceiver sim(SimConfig{}, SimData{});
    ASSERT_TRUE(sim.start());
    runGpsbabel(gpsbabel, {QStringLiteral("-w"), QStringLiteral("-i"), QStringLiteral("gpx"),
                           QStringLiteral("-f"), in, QStringLiteral("-o"), QStringLiteral("garmin"),
                           QStringLiteral("-F"), sim.ptyPath()});
    ASSERT_EQ(sim.data().waypoints.size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i) {
        EXPECT_EQ(sim.data().waypoints[i].ident, ours.waypoints[i].ident);
        // Two codes carry the name Marina; the table's is 0, gpsbabel's 191.
        if (names[i] != QLatin1String("Marina")) {
            EXPECT_EQ(ours.waypoints[i].symbol, sim.data().waypoints[i].symbol)
                << names[i].toStdString();
        }
    }
}

TEST_F(SimulatorTools, OlderUnitSendsD103SymbolsAndUpperCaseIdentifiers) {
    TREKORA_REQUIRE_TOOL(gpsbabel, "gpsbabel");
    struct Case {
        const char* ident;
        std::int16_t symbol; // the table's numbering, as the unit's memory holds it
        const char* sentIdent;
        const char* sentSymbol; // gpsbabel's D103 name of the code the unit sent
    };
    const Case cases[] = {
        {"camp", 151, "CAMP", "camp"},
        {"Fuel", 8, "FUEL", "gas"},
        {"back", 8196, "BACK", "back-track"},
        {"home", 10, "HOME", "house"},
    };
    SimData data;
    for (const Case& c : cases) {
        WaypointRecord w;
        w.ident = QString::fromLatin1(c.ident);
        w.latitude = 45;
        w.longitude = 7;
        w.symbol = c.symbol;
        data.waypoints.append(w);
    }
    SimConfig config;
    config.protocols = QString::fromLatin1(SimConfig::kOlderProtocols);
    SimulatedReceiver sim(config, data);
    ASSERT_TRUE(sim.start());
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("d103.gpx"));
    runGpsbabel(gpsbabel, {QStringLiteral("-w"), QStringLiteral("-i"), QStringLiteral("garmin"),
                           QStringLiteral("-f"), sim.ptyPath(), QStringLiteral("-o"),
                           QStringLiteral("gpx"), QStringLiteral("-F"), out});
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(file.readAll());
    for (const Case& c : cases) {
        EXPECT_TRUE(written.contains(QStringLiteral("<name>%1</name>").arg(c.sentIdent)))
            << c.sentIdent;
        EXPECT_TRUE(written.contains(QStringLiteral("<sym>%1</sym>").arg(c.sentSymbol)))
            << c.sentSymbol;
    }

    // What the unit is given in its own numbering is kept in the table's.
    file.close();
    sim.setData(SimData{});
    runGpsbabel(gpsbabel, {QStringLiteral("-w"), QStringLiteral("-i"), QStringLiteral("gpx"),
                           QStringLiteral("-f"), out, QStringLiteral("-o"),
                           QStringLiteral("garmin"), QStringLiteral("-F"), sim.ptyPath()});
    ASSERT_EQ(sim.data().waypoints.size(), std::size(cases));
    for (qsizetype i = 0; i < sim.data().waypoints.size(); ++i) {
        EXPECT_EQ(sim.data().waypoints[i].ident, QString::fromLatin1(cases[i].sentIdent));
        EXPECT_EQ(sim.data().waypoints[i].symbol, cases[i].symbol);
    }
}
