// The link component against the simulated receiver over a real
// pseudo-terminal, both running on this test's event loop.
#include "core/Settings.h"
#include "gps/GarminLink.h"
#include "gps/PositionSource.h"
#include "gps/protocol/ByteIO.h"
#include "gps/protocol/DataTypes.h"
#include "sim/SimulatedReceiver.h"
#include "support/TestEnvironment.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace trekora;
using namespace trekora::sim;

namespace {

// Everything the component raises, with the record objects as they stood.
struct Recorder {
    explicit Recorder(GarminLink& link) : link(link) {
        QObject::connect(&link, &GarminLink::PacketReceived, [this](const QByteArray& p) {
            const auto kind = static_cast<quint8>(p.at(1));
            kinds.append(kind);
            if (kind == this->link.PidAck())
                ackKinds.append(static_cast<quint8>(p.at(3)));
            else if (kind == this->link.PidWaypoint())
                waypoints.append(this->link.WaypointRecord());
            else if (kind == this->link.PidRouteHeader())
                routeHeaders.append(this->link.RouteRecord());
            else if (kind == this->link.PidRouteWaypoint())
                routePoints.append(this->link.WaypointRecord());
            else if (kind == this->link.PidTrackPoint())
                trackPoints.append(this->link.TrackRecord());
            else if (kind == this->link.PidPvt())
                pvts.append(this->link.PvtRecord());
            else if (kind == this->link.PidTransferComplete())
                ++completes;
        });
        QObject::connect(&link, &GarminLink::LineReceived,
                         [this](const QString& line) { lines.append(line); });
        QObject::connect(&link, &GarminLink::SentenceReceived,
                         [this](const QString& s, const QString&) { sentences.append(s); });
        QObject::connect(&link, &GarminLink::LinkProblem,
                         [this](qint16& code, const QString& message, const QByteArray& packet) {
                             problems.append(code);
                             problemTexts.append(message);
                             problemPackets.append(packet);
                             if (code == GarminLink::DeviceLost) {
                                 if (onLost)
                                     onLost();
                                 code = answerWhenLost;
                             }
                         });
        QObject::connect(&link, &GarminLink::DataCounts,
                         [this](qint32 w, qint32, qint32 r, qint32 t) {
                             counts = {w, r, t};
                         });
        QObject::connect(&link, &GarminLink::ImageProgress,
                         [this](qint16 percent, const QImage& i) {
                             progress.append(percent);
                             if (percent >= 100)
                                 image = i;
                         });
    }
    int count(quint8 kind) const { return static_cast<int>(kinds.count(kind)); }
    void reset() {
        kinds.clear();
        ackKinds.clear();
        waypoints.clear();
        routePoints.clear();
        routeHeaders.clear();
        trackPoints.clear();
        pvts.clear();
        lines.clear();
        sentences.clear();
        problemTexts.clear();
        problems.clear();
        problemPackets.clear();
        counts.clear();
        progress.clear();
        image = QImage();
        completes = 0;
    }

    GarminLink& link;
    QList<quint8> kinds, ackKinds;
    QList<WaypointRecord> waypoints, routePoints;
    QList<RouteRecord> routeHeaders;
    QList<TrackRecord> trackPoints;
    QList<PvtRecord> pvts;
    QStringList lines, sentences, problemTexts;
    QList<qint16> problems;
    QList<QByteArray> problemPackets;
    QList<qint32> counts;
    QList<int> progress;
    QImage image;
    int completes = 0;
    qint16 answerWhenLost = GarminLink::kAnswerCancel;
    std::function<void()> onLost;
};

class GarminLinkSim : public test::TestEnvironment {
protected:
    void TearDown() override {
        link.ClosePort();
        sim.reset();
        TestEnvironment::TearDown();
    }

    void startSim(SimConfig config = {}, const SimData& data = SimData::demo()) {
        config.ackTimeoutMs = 250;
        config.retries = 2;
        sim = std::make_unique<SimulatedReceiver>(config, data);
        QString error;
        ASSERT_TRUE(sim->start(&error)) << error.toStdString();
        sim->assignToPort(1);
    }

    void connectLink(const QString& settings = QStringLiteral("9600,N,8,1")) {
        GarminLink::Timing timing;
        timing.ackTimeoutMs = 250;
        timing.retries = 2;
        timing.transferStallMs = 1500;
        link.setTiming(timing);
        link.setPort(1);
        link.setSettings(settings);
        ASSERT_TRUE(link.OpenPort());
        link.RequestProductData();
    }

    // Generous: the bound only matters when something is broken, and the suite
    // runs under the sanitizers on a loaded two-core machine.
    bool waitFor(const std::function<bool()>& done, int ms = 20000) {
        return QTest::qWaitFor(done, ms);
    }

    // Sends a whole upload as the program does: count, records, complete.
    void upload(int records, const std::function<void()>& sendAll) {
        link.SendRecordCount(static_cast<qint16>(records));
        sendAll();
        link.SendTransferComplete();
    }

    GarminLink link;
    Recorder rec{link};
    std::unique_ptr<SimulatedReceiver> sim;
};

struct Family {
    const char* name;
    const char* protocols;
    const char* waypointType;
    const char* routeHeaderType;
    const char* trackProtocol;
    const char* trackHeaderType;
};

const Family kFamilies[] = {
    {"newer", SimConfig::kNewerProtocols, "D108", "D202", "A301", "D310"},
    {"older", SimConfig::kOlderProtocols, "D103", "D201", "A300", ""},
};

} // namespace

TEST_F(GarminLinkSim, ProductDataAndCapabilitiesArriveBeforeTheRequestReturns) {
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.name);
        SimConfig config;
        config.protocols = QString::fromLatin1(family.protocols);
        config.productId = 77;
        config.softwareVersion = 457;
        config.description = QStringLiteral("GPS 12 Software Version 4.57");
        startSim(config);
        rec.kinds.clear();
        connectLink();
        // Delivered through PacketReceived inside RequestProductData.
        EXPECT_EQ(rec.count(link.PidProductData()), 1);
        EXPECT_EQ(rec.count(link.PidProtocolArray()), 1);
        EXPECT_EQ(link.ProductRecord().product_id, 77);
        EXPECT_EQ(link.ProductRecord().software_version, 457);
        EXPECT_EQ(link.ProductRecord().description1, config.description);
        EXPECT_EQ(link.LinkProtocol(), QStringLiteral("L001"));
        EXPECT_EQ(link.WaypointProtocol(), QStringLiteral("A100"));
        EXPECT_EQ(link.WaypointType(), QString::fromLatin1(family.waypointType));
        EXPECT_EQ(link.RouteHeaderType(), QString::fromLatin1(family.routeHeaderType));
        EXPECT_EQ(link.TrackProtocol(), QString::fromLatin1(family.trackProtocol));
        EXPECT_EQ(link.TrackHeaderType(), QString::fromLatin1(family.trackHeaderType));
        EXPECT_EQ(link.PvtType(), QStringLiteral("D800"));
        EXPECT_EQ(link.Settings(), QStringLiteral("9600,N,8,1"));

        link.RequestDateTime();
        EXPECT_EQ(link.DateTimeRecord().year, QDateTime::currentDateTimeUtc().date().year());
        link.PostConnectQuery();
        ASSERT_TRUE(waitFor([&] { return rec.count(link.PidPosition()) == 1; }));
        EXPECT_NEAR(link.PositionRecord().latitude, 37.74, 0.05);
        EXPECT_TRUE(rec.problems.isEmpty());
        link.ClosePort();
    }
}

TEST_F(GarminLinkSim, DownloadsWaypointsRoutesAndTracks) {
    const SimData demo = SimData::demo();
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.name);
        SimConfig config;
        config.protocols = QString::fromLatin1(family.protocols);
        startSim(config);
        connectLink();
        rec.reset();
        const bool newer = QByteArray(family.name) == "newer";

        link.DownloadWaypoints();
        ASSERT_TRUE(waitFor([&] { return rec.completes == 1; }));
        ASSERT_EQ(rec.waypoints.size(), demo.waypoints.size());
        EXPECT_EQ(link.RecordCount(), demo.waypoints.size());
        EXPECT_EQ(rec.waypoints[0].ident, QStringLiteral("HALFDM"));
        EXPECT_EQ(rec.waypoints[0].comment, QStringLiteral("HALF DOME SUMMIT"));
        EXPECT_NEAR(rec.waypoints[0].latitude, 37.74604, 1e-6);
        EXPECT_NEAR(rec.waypoints[0].longitude, -119.53314, 1e-6);
        EXPECT_EQ(rec.waypoints[0].altitude, newer ? 2693.0f : kNoValue);
        EXPECT_EQ(rec.counts.value(0), demo.waypoints.size());

        link.DownloadRoutes();
        ASSERT_TRUE(waitFor([&] { return rec.completes == 2; }));
        ASSERT_EQ(rec.routeHeaders.size(), 2);
        ASSERT_EQ(rec.routePoints.size(), 10);
        const int links = newer ? 8 : 0;
        EXPECT_EQ(link.RecordCount(), 2 + 10 + links);
        EXPECT_EQ(rec.count(link.PidRouteLink()), links);
        if (newer) {
            EXPECT_EQ(rec.routeHeaders[1].route_ident, QStringLiteral("MIST TRAIL"));
        } else {
            EXPECT_EQ(rec.routeHeaders[1].route_number, 2);
            EXPECT_EQ(rec.routeHeaders[1].route_comment, QStringLiteral("MIST TRAIL"));
        }
        EXPECT_EQ(rec.routePoints[0].ident, QStringLiteral("LODGE"));

        link.DownloadTracks();
        ASSERT_TRUE(waitFor([&] { return rec.completes == 3; }));
        ASSERT_EQ(rec.trackPoints.size(), 120);
        EXPECT_EQ(link.RecordCount(), 120 + (newer ? 1 : 0));
        EXPECT_TRUE(rec.trackPoints[0].new_segment);
        EXPECT_FALSE(rec.trackPoints[1].new_segment);
        EXPECT_TRUE(rec.trackPoints[60].new_segment) << "second segment";
        EXPECT_EQ(rec.trackPoints[1].time, demo.tracks[0].points[1].time);
        if (newer) {
            EXPECT_EQ(rec.trackPoints[5].ident, QStringLiteral("ACTIVE LOG"));
            EXPECT_NEAR(rec.trackPoints[0].altitude, demo.tracks[0].points[0].altitude, 1e-3);
        }
        EXPECT_TRUE(rec.problems.isEmpty());
        link.ClosePort();
    }
}

TEST_F(GarminLinkSim, UploadsAreAcknowledgedAndStoredAsAUnitStoresThem) {
    for (const Family& family : kFamilies) {
        SCOPED_TRACE(family.name);
        SimConfig config;
        config.protocols = QString::fromLatin1(family.protocols);
        startSim(config);
        connectLink();
        rec.reset();
        const int waypointsBefore = static_cast<int>(sim->data().waypoints.size());
        QList<quint16> finished;
        QObject::connect(sim.get(), &SimulatedReceiver::uploadFinished,
                         [&](quint16 command) { finished.append(command); });

        // Waypoints: one new, one replacing a stored one of the same name.
        upload(2, [&] {
            link.WaypointRecord() = WaypointRecord{};
            link.WaypointRecord().ident = QStringLiteral("NEW1");
            link.WaypointRecord().latitude = 10.5;
            link.WaypointRecord().longitude = -20.25;
            link.WaypointRecord().symbol = 6;
            link.SendWaypoint();
            link.WaypointRecord().ident = QStringLiteral("HALFDM");
            link.WaypointRecord().comment = QStringLiteral("REPLACED");
            link.SendWaypoint();
        });
        ASSERT_TRUE(waitFor([&] { return finished.size() == 1; }));
        EXPECT_EQ(finished[0], gps::cmd::TransferWpt);
        EXPECT_EQ(sim->data().waypoints.size(), waypointsBefore + 1);
        EXPECT_EQ(sim->data().waypoints.last().ident, QStringLiteral("NEW1"));
        EXPECT_NEAR(sim->data().waypoints.last().latitude, 10.5, 1e-6);
        // A D103 unit's 6 is its Marina, which its memory holds as the table's 0.
        const bool d103 = QLatin1String(family.waypointType) == QLatin1String("D103");
        EXPECT_EQ(sim->data().waypoints.last().symbol, d103 ? 0 : 6);
        EXPECT_EQ(sim->data().waypoints[0].comment, QStringLiteral("REPLACED"));
        // One acknowledgement event per packet: count, two waypoints, complete.
        ASSERT_TRUE(waitFor([&] { return rec.ackKinds.count(link.PidTransferComplete()) == 1; }));
        EXPECT_EQ(rec.ackKinds.count(link.PidRecords()), 1);
        EXPECT_EQ(rec.ackKinds.count(link.PidWaypoint()), 2);

        // A route of three points, with links between them where the unit has links.
        upload(6, [&] {
            link.RouteRecord().route_number = 5;
            link.RouteRecord().route_ident = QStringLiteral("UPROUTE");
            link.RouteRecord().route_comment = QStringLiteral("UPROUTE");
            link.SendRouteHeader();
            for (int i = 0; i < 3; ++i) {
                if (i > 0) {
                    link.RouteRecord().link_class = 3;
                    link.SendRouteLink();
                }
                link.WaypointRecord().ident = QStringLiteral("RP%1").arg(i);
                link.WaypointRecord().latitude = 1.0 + i;
                link.SendRouteWaypoint();
            }
        });
        ASSERT_TRUE(waitFor([&] { return finished.size() == 2; }));
        EXPECT_EQ(finished[1], gps::cmd::TransferRte);
        ASSERT_EQ(sim->data().routes.size(), 3);
        ASSERT_EQ(sim->data().routes.last().points.size(), 3);
        EXPECT_EQ(sim->data().routes.last().points[2].ident, QStringLiteral("RP2"));
        EXPECT_EQ(rec.ackKinds.count(link.PidRouteLink()), 2) << "emulated where links are unknown";

        // A track of two segments.
        upload(4, [&] {
            link.TrackRecord().ident = QStringLiteral("UPTRACK");
            link.TrackRecord().display = true;
            link.SendTrackHeader();
            for (int i = 0; i < 4; ++i) {
                link.TrackRecord().latitude = 40.0 + i * 0.001;
                link.TrackRecord().longitude = -105.0;
                link.TrackRecord().time = QString::number(700000000 + i);
                link.TrackRecord().altitude = 1600.0f + i;
                link.TrackRecord().new_segment = i == 0 || i == 2;
                link.SendTrackPoint();
            }
        });
        ASSERT_TRUE(waitFor([&] { return finished.size() == 3; }));
        EXPECT_EQ(finished[2], gps::cmd::TransferTrk);
        ASSERT_EQ(sim->data().tracks.size(), 2);
        const SimTrack& track = sim->data().tracks.last();
        ASSERT_EQ(track.points.size(), 4);
        EXPECT_TRUE(track.points[2].new_segment);
        EXPECT_EQ(track.points[3].time, QStringLiteral("700000003"));
        EXPECT_EQ(track.header.ident, QByteArray(family.name) == "newer"
                                          ? QStringLiteral("UPTRACK")
                                          : QStringLiteral("ACTIVE LOG"));
        EXPECT_TRUE(rec.problems.isEmpty());
        link.ClosePort();
    }
}

TEST_F(GarminLinkSim, PositionStreamDeliversPvtRecords) {
    startSim();
    connectLink();
    link.StartPositionStream();
    ASSERT_TRUE(waitFor([&] { return rec.pvts.size() >= 2; }, 4000));
    const PvtRecord& pvt = rec.pvts[0];
    EXPECT_EQ(pvt.fix, 3);
    EXPECT_NEAR(pvt.latitude, 37.74, 0.05);
    EXPECT_NEAR(pvt.longitude, -119.6, 0.1);
    EXPECT_NEAR(pvt.alt + pvt.msl_hght, SimData::demo().tracks[0].points[0].altitude, 0.01);
    EXPECT_LT(pvt.epe, 1e9f);
    EXPECT_EQ(pvt.leap_scnds, 18);
    // The time the record carries is now.
    const qint64 utc =
        gps::kGarminEpochOffset + qint64(pvt.wn_days) * 86400 + qint64(pvt.tow) - pvt.leap_scnds;
    EXPECT_NEAR(double(utc), double(QDateTime::currentSecsSinceEpoch()), 5.0);
    link.StopPositionStream();
    QTest::qWait(300);
    const auto seen = rec.pvts.size();
    QTest::qWait(1500);
    EXPECT_EQ(rec.pvts.size(), seen) << "the stream stopped";
}

TEST_F(GarminLinkSim, NmeaModePassesLinesAndSentencesThrough) {
    SimConfig config;
    config.nmea = true;
    startSim(config);
    connectLink(QStringLiteral("4800,N,8,1"));
    ASSERT_TRUE(
        waitFor([&] { return !rec.sentences.filter(QStringLiteral("$PGRMZ")).isEmpty(); }, 4000));
    EXPECT_EQ(rec.count(link.PidProductData()), 0);
    EXPECT_TRUE(rec.lines.filter(QStringLiteral("$GPRMC")).size() >= 1);
    EXPECT_TRUE(rec.sentences.filter(QStringLiteral("$PGRMZ")).size() >= 1);
    for (const QString& s : rec.sentences)
        EXPECT_TRUE(s.startsWith(QLatin1Char('$')) && s.contains(QLatin1Char('*')))
            << s.toStdString();
    EXPECT_EQ(link.CurrentBaudRate(link.Settings()), 4800);
}

TEST_F(GarminLinkSim, ScreenImageArrivesWithProgress) {
    startSim();
    connectLink();
    link.RequestScreenShot();
    ASSERT_TRUE(waitFor([&] { return !rec.image.isNull(); }));
    EXPECT_EQ(rec.image.width(), SimulatedReceiver::kScreenWidth);
    EXPECT_EQ(rec.image.height(), SimulatedReceiver::kScreenHeight);
    EXPECT_TRUE(std::is_sorted(rec.progress.begin(), rec.progress.end()));
    EXPECT_GT(rec.progress.size(), 10);
    EXPECT_EQ(rec.progress.last(), 100);
    for (auto [x, y] : {std::pair{0, 0}, {5, 17}, {55, 33}, {99, 119}, {42, 100}}) {
        const QRgb got = rec.image.pixel(x, y);
        const quint32 want = SimulatedReceiver::screenColour(SimulatedReceiver::screenPixel(x, y));
        EXPECT_EQ(got & 0xFFFFFF, want) << x << "," << y;
    }
}

TEST_F(GarminLinkSim, BaudRateChangesAndIsNegotiated) {
    startSim();
    connectLink();
    ASSERT_TRUE(link.ChangeBaudRate(115200));
    EXPECT_EQ(link.CurrentBaudRate(link.Settings()), 115200);
    EXPECT_EQ(link.Settings(), QStringLiteral("115200,N,8,1"));
    link.DownloadWaypoints();
    ASSERT_TRUE(waitFor([&] { return rec.completes == 1; }));
    EXPECT_EQ(rec.waypoints.size(), SimData::demo().waypoints.size());

    // The unit offers 19200 for 28800: the link runs at the offer.
    EXPECT_FALSE(link.ChangeBaudRate(28800));
    EXPECT_EQ(link.CurrentBaudRate(link.Settings()), 19200);
    link.RequestProductData();
    EXPECT_EQ(link.ProductRecord().product_id, 411);
    EXPECT_TRUE(rec.problems.isEmpty());
}

TEST_F(GarminLinkSim, EachInjectedFaultIsSurvivedAndReported) {
    struct FaultCase {
        Fault fault;
        bool uploadTest;        // upload waypoints (else download them)
        qint16 expectedProblem; // 0: none
    };
    const FaultCase cases[] = {
        {Fault::DropAck, true, 0},          {Fault::Nak, true, 0},
        {Fault::BadChecksum, false, 0},     {Fault::WrongCount, false, 0},
        {Fault::NakAll, true, 2},           {Fault::Mute, true, 1},
        {Fault::StopMidTransfer, false, 3}, {Fault::Vanish, false, 4},
    };
    const int demoWaypoints = static_cast<int>(SimData::demo().waypoints.size());
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        SimConfig config;
        config.fault = c.fault;
        startSim(config);
        connectLink();
        rec.reset();
        if (c.uploadTest) {
            upload(1, [&] {
                link.WaypointRecord() = WaypointRecord{};
                link.WaypointRecord().ident = QStringLiteral("FAULTY");
                link.SendWaypoint();
            });
            if (c.expectedProblem == 0) {
                ASSERT_TRUE(
                    waitFor([&] { return rec.ackKinds.contains(link.PidTransferComplete()); }));
                EXPECT_EQ(sim->data().waypoints.size(), demoWaypoints + 1) << "stored once";
            } else {
                ASSERT_TRUE(waitFor([&] { return !rec.problems.isEmpty(); }));
                EXPECT_EQ(rec.problems[0], c.expectedProblem);
                // The packet travels with the event, ready for ResendPacket.
                EXPECT_EQ(static_cast<quint8>(rec.problemPackets[0].at(1)), link.PidRecords());
            }
        } else {
            link.DownloadWaypoints();
            if (c.expectedProblem == 0) {
                ASSERT_TRUE(waitFor([&] { return rec.completes == 1; }));
                EXPECT_EQ(rec.waypoints.size(), demoWaypoints);
                EXPECT_EQ(link.RecordCount(),
                          demoWaypoints + (c.fault == Fault::WrongCount ? 1 : 0));
            } else {
                ASSERT_TRUE(waitFor([&] { return !rec.problems.isEmpty(); }));
                EXPECT_EQ(rec.problems[0], c.expectedProblem);
                EXPECT_EQ(rec.completes, 0);
                EXPECT_LT(rec.waypoints.size(), demoWaypoints);
            }
        }
        if (c.expectedProblem == 0) {
            EXPECT_TRUE(rec.problems.isEmpty())
                << rec.problemTexts.join(QLatin1Char('|')).toStdString();
        }
        if (c.fault == Fault::Vanish) {
            EXPECT_FALSE(link.isOpen()) << "cancelled: the port is closed";
        } else {
            // The link stays usable.
            link.AbortTransfer();
            const int before = rec.completes;
            link.DownloadWaypoints();
            ASSERT_TRUE(waitFor([&] { return rec.completes == before + 1; }, 8000));
        }
        link.ClosePort();
    }
}

TEST_F(GarminLinkSim, UnknownFormatsAreReportedOnceAndTheLinkStaysUsable) {
    SimConfig config;
    config.protocols = QStringLiteral("P000 L001 A010 A100 D999 A301 D310 D301 A800 D800");
    startSim(config);
    connectLink();
    EXPECT_EQ(link.WaypointType(), QStringLiteral("D999"));
    link.DownloadWaypoints();
    ASSERT_TRUE(waitFor([&] { return rec.completes == 1; }));
    EXPECT_TRUE(rec.waypoints.isEmpty()) << "no record is made up";
    ASSERT_EQ(rec.problems.size(), 1);
    EXPECT_EQ(rec.problems[0], GarminLink::TransferStopped);
    EXPECT_TRUE(rec.problemTexts[0].contains(QStringLiteral("D999")));

    link.SendRecordCount(1);
    link.SendWaypoint();
    EXPECT_EQ(rec.problems.size(), 2) << "nothing goes out in a format we cannot write";

    link.DownloadTracks();
    ASSERT_TRUE(waitFor([&] { return rec.completes == 2; }));
    EXPECT_EQ(rec.trackPoints.size(), 120);
}

TEST_F(GarminLinkSim, ServesOneHostAfterAnother) {
    startSim();
    for (int round = 0; round < 3; ++round) {
        connectLink();
        EXPECT_EQ(link.ProductRecord().product_id, 411);
        link.DownloadWaypoints();
        const int before = rec.completes;
        ASSERT_TRUE(waitFor([&] { return rec.completes == before + 1; }));
        link.ClosePort();
        link.ProductRecord() = ProductRecord{};
    }
    Settings::set(QStringLiteral("port"), QStringLiteral("device7"),
                  QStringLiteral("/nonexistent/tty"));
    link.setPort(7);
    EXPECT_FALSE(link.OpenPort());
    EXPECT_FALSE(link.isOpen());
}

TEST_F(GarminLinkSim, ALostDeviceIsReopenedWhenTheUserRetries) {
    // The device is reached through a link, as a USB-serial adapter that is
    // plugged in again comes back under the same name.
    const QString linkPath = scratchPath(QStringLiteral("gps0"));
    SimConfig config;
    config.fault = Fault::Vanish;
    config.linkPath = linkPath;
    startSim(config);
    connectLink();
    rec.answerWhenLost = GarminLink::kAnswerRetry;
    rec.onLost = [&] {
        SimConfig fresh;
        fresh.linkPath = linkPath;
        startSim(fresh);
    };
    link.DownloadWaypoints();
    ASSERT_TRUE(waitFor([&] { return rec.problems.contains(GarminLink::DeviceLost); }));
    EXPECT_EQ(rec.problems.count(GarminLink::DeviceLost), 1) << "one retry was enough";
    ASSERT_TRUE(link.isOpen());
    rec.onLost = nullptr;
    const int before = rec.completes;
    const auto received = rec.waypoints.size();
    link.DownloadWaypoints();
    ASSERT_TRUE(waitFor([&] { return rec.completes == before + 1; }));
    EXPECT_EQ(rec.waypoints.size() - received, SimData::demo().waypoints.size());
}

TEST_F(GarminLinkSim, ThrottledSimulatorStillServesEveryTransfer) {
    SimConfig config;
    config.throttle = true;
    startSim(config);
    connectLink(QStringLiteral("115200,N,8,1"));
    EXPECT_EQ(link.ProductRecord().product_id, 411);
    link.DownloadRoutes();
    ASSERT_TRUE(waitFor([&] { return rec.completes == 1; }, 20000));
    EXPECT_EQ(rec.routePoints.size(), 10);
    link.RequestScreenShot();
    ASSERT_TRUE(waitFor([&] { return !rec.image.isNull(); }, 20000));
    EXPECT_TRUE(rec.problems.isEmpty());
}

TEST_F(GarminLinkSim, AUnitWithoutProtocolArrayIsTakenForAClassicOne) {
    SimConfig config;
    config.protocols = QStringLiteral("P000 L001 A010 A100 D100 A200 D200 D100 A300 D300");
    config.sendProtocolArray = false;
    startSim(config);
    connectLink();
    EXPECT_EQ(rec.count(link.PidProtocolArray()), 0);
    EXPECT_EQ(link.ProductRecord().product_id, 411);
    EXPECT_EQ(link.WaypointType(), QStringLiteral("D100"));
    EXPECT_EQ(link.TrackPointType(), QStringLiteral("D300"));
    link.DownloadWaypoints();
    ASSERT_TRUE(waitFor([&] { return rec.completes == 1; }));
    ASSERT_EQ(rec.waypoints.size(), SimData::demo().waypoints.size());
    EXPECT_EQ(rec.waypoints[2].ident, QStringLiteral("ELCAP"));
    EXPECT_TRUE(rec.problems.isEmpty());
}

TEST_F(GarminLinkSim, TypedEventsCarryTheRecordsOfThePacketStream) {
    startSim();
    connectLink();
    rec.reset();
    QList<WaypointRecord> waypoints, routePoints;
    QList<TrackRecord> trackPoints;
    int routeHeaders = 0, routeLinks = 0;
    QList<QPair<gps::TransferKind, quint16>> started;
    QList<gps::TransferKind> finished;
    QObject::connect(&link, &GarminLink::waypointReceived,
                     [&](WaypointRecord w, gps::WaypointKind kind) {
                         (kind == gps::WaypointKind::RoutePoint ? routePoints : waypoints) << w;
                     });
    QObject::connect(&link, &GarminLink::trackPointReceived,
                     [&](TrackRecord t) { trackPoints << t; });
    QObject::connect(&link, &GarminLink::routeHeaderReceived, [&](RouteRecord) { ++routeHeaders; });
    QObject::connect(&link, &GarminLink::routeLinkReceived, [&](RouteRecord) { ++routeLinks; });
    QObject::connect(&link, &GarminLink::transferStarted,
                     [&](gps::TransferKind kind, quint16 count) {
                         started.append({kind, count});
                     });
    QObject::connect(&link, &GarminLink::transferFinished,
                     [&](gps::TransferKind kind) { finished << kind; });

    link.DownloadWaypoints();
    ASSERT_TRUE(waitFor([&] { return rec.completes == 1; }, 20000));
    link.DownloadRoutes();
    ASSERT_TRUE(waitFor([&] { return rec.completes == 2; }, 20000));
    link.DownloadTracks();
    ASSERT_TRUE(waitFor([&] { return rec.completes == 3; }, 20000));

    EXPECT_EQ(waypoints, rec.waypoints);
    EXPECT_EQ(routePoints, rec.routePoints);
    EXPECT_EQ(trackPoints, rec.trackPoints);
    EXPECT_EQ(routeHeaders, rec.routeHeaders.size());
    EXPECT_EQ(routeLinks, rec.count(link.PidRouteLink()));
    const QList<gps::TransferKind> kinds = {gps::TransferKind::Waypoints, gps::TransferKind::Routes,
                                            gps::TransferKind::Tracks};
    EXPECT_EQ(finished, kinds);
    ASSERT_EQ(started.size(), 3);
    EXPECT_EQ(started[0].first, gps::TransferKind::Waypoints);
    EXPECT_EQ(started[0].second, SimData::demo().waypoints.size());
    EXPECT_EQ(started[2].second, link.RecordCount());

    // The position stream reaches a position source as fixes.
    gps::PvtPositionSource source;
    source.attach(link);
    QList<gps::PositionFix> fixes;
    QObject::connect(&source, &gps::PositionSource::positionReceived,
                     [&](const gps::PositionFix& fix) { fixes << fix; });
    link.StartPositionStream();
    ASSERT_TRUE(waitFor([&] { return !fixes.isEmpty(); }, 10000));
    link.StopPositionStream();
    EXPECT_NEAR(fixes[0].latitude, rec.pvts.value(0).latitude, 1e-9);
    EXPECT_EQ(fixes[0].quality, gps::PositionFix::Quality::ThreeD);
}
