// Quiet mode end to end, as a script runs it: the program's process start,
// connection, a 10,000-point track download from the simulated receiver
// (unthrottled, on a pseudo-terminal) and the written file, against gpsbabel
// reading the same track from the same unit. Then a receiver that vanishes
// halfway through a download, and one that falls silent: how long quiet mode
// takes to give up, from the moment the unit is gone.
#include "core/Settings.h"
#include "sim/SimulatedReceiver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

using namespace trekora;
using namespace trekora::sim;

namespace {

constexpr int kRuns = 3;
constexpr int kPoints = 10000;

// Lets the simulated receiver (in this process) serve while a program runs.
bool runToEnd(QProcess& process, int timeoutMs) {
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    return process.state() == QProcess::NotRunning;
}

// The program's settings for one run: the simulated unit is Port 1.
QProcessEnvironment programEnvironment(const QString& configHome, const QString& device) {
    QDir().mkpath(configHome + QStringLiteral("/trekora"));
    QFile ini(configHome + QStringLiteral("/trekora/trekora.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[port]\nport=1\ndevice1=" + device.toUtf8() + "\n[proj]\nproj=4326\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

struct QuietRun {
    double seconds = 0;
    int exitCode = -1;
    double afterFault = -1; // seconds from the fault to the program's end
};

QuietRun runQuiet(const QString& program, const QString& dir, const SimConfig& config,
                  const QString& output) {
    QuietRun run;
    SimulatedReceiver sim(config, SimData::longTrack(kPoints));
    if (!sim.start())
        return run;
    QElapsedTimer faultClock;
    QObject::connect(&sim, &SimulatedReceiver::vanished, [&] { faultClock.start(); });
    QProcess process;
    process.setProcessEnvironment(
        programEnvironment(dir + QStringLiteral("/config"), sim.ptyPath()));
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(program, {QStringLiteral("quiet,download,track,point,") + output});
    if (!runToEnd(process, 120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.exitCode = process.exitCode();
    if (faultClock.isValid())
        run.afterFault = faultClock.nsecsElapsed() / 1e9;
    return run;
}

double gpsbabelRun(const QString& gpsbabel, const QString& dir) {
    SimulatedReceiver sim(SimConfig{}, SimData::longTrack(kPoints));
    if (!sim.start())
        return -1;
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(gpsbabel,
                  {QStringLiteral("-t"), QStringLiteral("-i"), QStringLiteral("garmin"),
                   QStringLiteral("-f"), sim.ptyPath(), QStringLiteral("-o"), QStringLiteral("gpx"),
                   QStringLiteral("-F"), dir + QStringLiteral("/t.gpx")});
    if (!runToEnd(process, 120000) || process.exitCode() != 0)
        return -1;
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Settings::useFile(dir.filePath(QStringLiteral("bench.ini")));
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/trekora");
    const QString gpsbabel = QStandardPaths::findExecutable(QStringLiteral("gpsbabel"));

    // Each figure is the best of three runs, ours and the peer's taking turns
    // so that the machine's other work weighs on both alike.
    double ours = 1e9, peer = 1e9;
    int status = -1;
    for (int run = 0; run < kRuns; ++run) {
        const QuietRun r = runQuiet(program, dir.path(), SimConfig{}, dir.filePath("t.shp"));
        status = r.exitCode;
        if (r.exitCode == 0)
            ours = std::min(ours, r.seconds);
        if (!gpsbabel.isEmpty()) {
            const double g = gpsbabelRun(gpsbabel, dir.path());
            if (g > 0)
                peer = std::min(peer, g);
        }
    }
    std::printf("quiet download of a %d-point track to a shapefile, process start included: "
                "%.3f s (exit status %d), best of %d\n",
                kPoints, ours, status, kRuns);
    if (gpsbabel.isEmpty())
        std::printf("gpsbabel (peer): not installed\n");
    else
        std::printf("gpsbabel (peer), the same track to GPX, process start included: %.3f s, "
                    "best of %d\n",
                    peer, kRuns);

    SimConfig vanishing;
    vanishing.fault = Fault::Vanish;
    const QuietRun gone = runQuiet(program, dir.path(), vanishing, dir.filePath("v.shp"));
    std::printf("receiver vanishing mid-download: quiet exit status %d, %.3f s after it "
                "vanished\n",
                gone.exitCode, gone.afterFault);
    SimConfig silent;
    silent.fault = Fault::StopMidTransfer;
    const QuietRun stopped = runQuiet(program, dir.path(), silent, dir.filePath("s.shp"));
    std::printf("receiver falling silent mid-download: quiet exit status %d, %.3f s in all\n",
                stopped.exitCode, stopped.seconds);
    return 0;
}
