// Transfers through the main window against the simulated receiver over a
// pseudo-terminal, unthrottled: a 10,000-point track download into the table
// with the projection to NAD83 / UTM 15N included, with the paints the window
// made meanwhile, and an upload of 1,000 waypoints acknowledgement by
// acknowledgement. The peer figure is gpsbabel's download of the same track.
#include "app/GpsTableView.h"
#include "app/frmMain.h"
#include "core/ScriptedInteraction.h"
#include "core/Settings.h"
#include "gps/ReceiverSession.h"
#include "sim/SimulatedReceiver.h"
#include "table/GpsTable.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace trekora;
using namespace trekora::sim;

namespace {

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(1);
    loop.exec();
    return done();
}

// Counts the paint events of every widget of the window.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

SimData thousandWaypoints() {
    SimData d;
    for (int i = 0; i < 1000; ++i) {
        WaypointRecord w;
        w.ident = QStringLiteral("W%1").arg(i, 4, 10, QLatin1Char('0'));
        w.latitude = 45 + i * 1e-4;
        w.longitude = -93 + i * 1e-4;
        w.symbol = 18;
        w.altitude = 250;
        d.waypoints.append(w);
    }
    return d;
}

void benchGpsbabel(const SimulatedReceiver& sim, const QString& dir) {
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
    std::printf("gpsbabel (peer), same 10,000-point download without projection: %.3f s\n",
                clock.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    Settings::useFile(dir.filePath(QStringLiteral("trekora.ini")));
    Settings::set("proj", "proj", "26915");
    Settings::set("port", "port", "1");
    ScriptedInteraction interaction;
    setUserInteraction(&interaction);

    SimulatedReceiver sim(SimConfig{}, SimData::longTrack(10000));
    if (!sim.start()) {
        std::printf("the simulated receiver did not start\n");
        return 1;
    }
    sim.assignToPort(1);
    {
        frmMain window(StartOptions{{}, false});
        window.Form_Load();
        window.resize(900, 700);
        window.show();
        PaintCounter counter;
        for (QWidget* w : window.findChildren<QWidget*>())
            w->installEventFilter(&counter);

        // Each figure is the best of three runs: the machine's other work only
        // ever adds time.
        constexpr int kRuns = 3;
        double download = 1e9, upload = 1e9;
        int paints = 0, rows = 0, uploaded = 0;
        QElapsedTimer clock;
        for (int run = 0; run < kRuns; ++run) {
            sim.setData(SimData::longTrack(10000));
            counter.paints = 0;
            clock.start();
            window.mnuTDownload_Click();
            waitUntil([&] { return window.session().transferFinished(); }, 120000);
            const double seconds = clock.nsecsElapsed() / 1e9;
            if (seconds < download) {
                download = seconds;
                paints = counter.paints;
                rows = window.table().recordCount();
            }
        }
        std::printf("track download of %d points into the table, projection included: %.3f s "
                    "(%d paint events meanwhile), best of %d\n",
                    rows, download, paints, kRuns);

        for (int run = 0; run < kRuns; ++run) {
            sim.setData(thousandWaypoints());
            window.mnuWDownload_Click();
            waitUntil([&] { return window.session().transferFinished(); }, 120000);
            sim.setData(SimData{});
            clock.restart();
            window.mnuWUpload_Click();
            waitUntil([&] { return window.session().transferFinished(); }, 120000);
            upload = std::min(upload, clock.nsecsElapsed() / 1e9);
            uploaded = int(sim.data().waypoints.size());
        }
        std::printf("upload of %d waypoints over a pseudo-terminal, acknowledged one by one: "
                    "%.3f s, best of %d\n",
                    uploaded, upload, kRuns);
    }
    sim.setData(SimData::longTrack(10000));
    benchGpsbabel(sim, dir.path());
    setUserInteraction(nullptr);
    return 0;
}
