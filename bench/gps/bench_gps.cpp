// GPS link figures: link-layer decoding speed, a 10,000-point track download
// from the simulator over a pseudo-terminal (unthrottled), the same download
// by gpsbabel, and a throttled download at 115200 baud against the time its
// bytes need on the line.
#include "core/Settings.h"
#include "gps/GarminLink.h"
#include "gps/link/FrameCodec.h"
#include "gps/protocol/DataTypes.h"
#include "sim/SimulatedReceiver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace trekora;
using namespace trekora::sim;

namespace {

struct CountingSink : gps::FrameSink {
    qint64 packets = 0;
    qint64 errors = 0;
    void onPacket(std::uint8_t, QByteArrayView) override { ++packets; }
    void onLine(QByteArrayView) override {}
    void onFrameError(FrameError, std::uint8_t) override { ++errors; }
};

void benchDecoding() {
    // Track points and PVT records, some with DLE bytes that need stuffing.
    QByteArray block;
    for (int i = 0; i < 2000; ++i) {
        TrackRecord t;
        t.latitude = 37.7 + i * 1e-5;
        t.longitude = -119.6 + (i % 16) * 0x10 * 1e-7;
        t.time = QString::number(500000000 + i);
        t.altitude = 1200.0f + static_cast<float>(i % 50);
        block += gps::encodeFrame(34, *gps::encodeTrackPoint(301, t));
        PvtRecord p;
        p.latitude = 29.4 + i * 1e-6;
        p.longitude = -98.6;
        p.fix = 3;
        p.wn_days = 0x1010;
        block += gps::encodeFrame(51, *gps::encodePvt(800, p));
    }
    QByteArray input;
    while (input.size() < 64 * 1024 * 1024)
        input += block;
    CountingSink sink;
    gps::FrameDecoder decoder(sink);
    constexpr qsizetype kChunk = 4096; // a serial read's worth
    QElapsedTimer clock;
    clock.start();
    for (qsizetype pos = 0; pos < input.size(); pos += kChunk)
        decoder.feed(QByteArrayView(input).sliced(pos, std::min(kChunk, input.size() - pos)));
    const double seconds = clock.nsecsElapsed() / 1e9;
    std::printf("link layer decoding: %.1f MB/s (%lld packets, %lld errors, %.0f MB framed "
                "input)\n",
                input.size() / seconds / 1e6, static_cast<long long>(sink.packets),
                static_cast<long long>(sink.errors), input.size() / 1e6);
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs) {
        QEventLoop loop;
        QTimer::singleShot(2, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

struct Download {
    double seconds = 0;
    int points = 0;
    qint64 lineBytes = 0;
};

Download downloadTrack(SimulatedReceiver& sim, const QString& settings) {
    Settings::set(QStringLiteral("port"), QStringLiteral("device1"), sim.ptyPath());
    GarminLink link;
    link.setPort(1);
    link.setSettings(settings);
    Download result;
    if (!link.OpenPort())
        return result;
    link.RequestProductData();
    bool complete = false;
    QObject::connect(&link, &GarminLink::PacketReceived, [&](const QByteArray& p) {
        const auto kind = static_cast<quint8>(p.at(1));
        if (kind == link.PidTrackPoint())
            ++result.points;
        else if (kind == link.PidTransferComplete())
            complete = true;
    });
    const qint64 bytesBefore = sim.bytesSent() + sim.bytesReceived();
    QElapsedTimer clock;
    clock.start();
    link.DownloadTracks();
    waitUntil([&] { return complete; }, 600000);
    result.seconds = clock.nsecsElapsed() / 1e9;
    result.lineBytes = sim.bytesSent() + sim.bytesReceived() - bytesBefore;
    link.ClosePort();
    return result;
}

void benchGpsbabel(SimulatedReceiver& sim, const QString& dir) {
    const QString gpsbabel = QStandardPaths::findExecutable(QStringLiteral("gpsbabel"));
    if (gpsbabel.isEmpty()) {
        std::printf("gpsbabel (peer): not installed\n");
        return;
    }
    QProcess p;
    QElapsedTimer clock;
    clock.start();
    p.start(gpsbabel,
            {QStringLiteral("-t"), QStringLiteral("-i"), QStringLiteral("garmin"),
             QStringLiteral("-f"), sim.ptyPath(), QStringLiteral("-o"), QStringLiteral("gpx"),
             QStringLiteral("-F"), dir + QStringLiteral("/t.gpx")});
    waitUntil([&] { return p.state() == QProcess::NotRunning && clock.elapsed() > 10; }, 120000);
    std::printf("gpsbabel (peer), same 10,000-point download: %.3f s (exit %d)\n",
                clock.nsecsElapsed() / 1e9, p.exitCode());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Settings::useFile(dir.filePath(QStringLiteral("bench.ini")));

    benchDecoding();

    {
        SimulatedReceiver sim(SimConfig{}, SimData::longTrack(10000));
        sim.start();
        const Download d = downloadTrack(sim, QStringLiteral("115200,N,8,1"));
        std::printf("download of %d track points over a pseudo-terminal, unthrottled: %.3f s\n",
                    d.points, d.seconds);
        benchGpsbabel(sim, dir.path());
    }
    {
        constexpr int kPoints = 1500;
        SimConfig config;
        config.throttle = true;
        SimulatedReceiver sim(config, SimData::longTrack(kPoints));
        sim.start();
        const Download d = downloadTrack(sim, QStringLiteral("115200,N,8,1"));
        const double lineSeconds = d.lineBytes * 10.0 / 115200.0;
        std::printf("download of %d track points throttled to 115200 baud: %.3f s; the %lld bytes "
                    "(both directions) need %.3f s on the line: %+.1f %%\n",
                    d.points, d.seconds, static_cast<long long>(d.lineBytes), lineSeconds,
                    (d.seconds / lineSeconds - 1.0) * 100.0);
    }
    return 0;
}
