// Projection figures: a whole-table conversion against PROJ's own batch call
// and against cs2cs (process start included), one live position through the
// cached transformation, and loading the EPSG catalogue.

#include "core/Settings.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectTable.h"
#include "proj/ProjectionBridge.h"
#include "table/GpsTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <proj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <time.h>
#include <vector>

using namespace trekora;

namespace {

constexpr int kRows = 32767;
// The machine may be shared: every figure is the best of several runs.
constexpr int kRuns = 9;
const QString kDefinition = QStringLiteral("+proj=utm +zone=15 +datum=NAD83 +units=m +no_defs");

// Processor time this thread spent, in milliseconds. On a shared machine
// it leaves out the time other processes held the processor.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double bestCpuMs(int runs, const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const double start = threadCpuMs();
        work();
        best = std::min(best, threadCpuMs() - start);
    }
    return best;
}

// Best wall time of `runs` calls, in milliseconds.
double bestMs(int runs, const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return *std::min_element(times.begin(), times.end());
}

// Points over Minnesota and around, as the table holds them (eight decimals).
void pointsOf(std::vector<double>& lon, std::vector<double>& lat) {
    for (int i = 0; i < kRows; ++i) {
        lon.push_back(coordinateValue(coordinateText(-96.0 + 6.0 * (i % 1000) / 1000.0)));
        lat.push_back(coordinateValue(coordinateText(43.0 + 6.0 * (i / 1000) / 33.0)));
    }
}

// PROJ's own batch call on the same points, through a transformation built
// the way cs2cs builds it.
class PeerTransform {
public:
    PeerTransform() {
        m_context = proj_context_create();
        const QByteArray target = (kDefinition + QStringLiteral(" +type=crs")).toUtf8();
        m_p = proj_create_crs_to_crs(m_context, "+proj=latlong +datum=WGS84 +type=crs",
                                     target.constData(), nullptr);
    }
    ~PeerTransform() {
        proj_destroy(m_p);
        proj_context_destroy(m_context);
    }
    PeerTransform(const PeerTransform&) = delete;
    PeerTransform& operator=(const PeerTransform&) = delete;

    void run(std::vector<double>& x, std::vector<double>& y) {
        proj_trans_generic(m_p, PJ_FWD, x.data(), sizeof(double), x.size(), y.data(),
                           sizeof(double), y.size(), nullptr, 0, 0, nullptr, 0, 0);
    }

private:
    PJ_CONTEXT* m_context;
    PJ* m_p;
};

double cs2csMs(const std::vector<double>& lon, const std::vector<double>& lat) {
    QByteArray input;
    for (size_t i = 0; i < lon.size(); ++i)
        input +=
            QByteArray::number(lon[i], 'g', 15) + ' ' + QByteArray::number(lat[i], 'g', 15) + '\n';
    QStringList args{QStringLiteral("-f"), QStringLiteral("%.10f")};
    args << QStringLiteral("+proj=latlong +datum=WGS84 +to ").append(kDefinition).split(u' ');
    return bestMs(kRuns, [&] {
        QProcess process;
        process.start(QStringLiteral("cs2cs"), args);
        process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(60000);
        process.readAllStandardOutput();
    });
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir settingsDir;
    Settings::useFile(settingsDir.filePath(QStringLiteral("trekora.ini")));
    Settings::set(QStringLiteral("proj"), QStringLiteral("proj"), QStringLiteral("26915"));

    if (!LoadProjections(QStringLiteral("epsg")))
        return 1;
    const double loadMs = bestMs(kRuns, [] { LoadProjections(QStringLiteral("epsg")); });

    std::vector<double> lon, lat;
    pointsOf(lon, lat);
    HeadlessTableHost host;
    GpsTable table(host);
    for (int i = 0; i < kRows; ++i)
        table.AddRecord(QStringLiteral("WAYPOINT;p;") + coordinateText(lat[size_t(i)]) + u';' +
                        coordinateText(lon[size_t(i)]));
    projectTableRows(table, true); // builds and caches the transformation

    // Table and peer take turns, so both see the same machine load, and both
    // are timed in processor time of this thread.
    PeerTransform peer;
    std::vector<double> peerX, peerY;
    double tableMs = 1e9, genericMs = 1e9;
    for (int run = 0; run < 2 * kRuns; ++run) {
        tableMs = std::min(tableMs, bestCpuMs(1, [&] { projectTableRows(table, true); }));
        genericMs = std::min(genericMs, bestCpuMs(1, [&] {
                                 peerX = lon;
                                 peerY = lat;
                                 peer.run(peerX, peerY);
                             }));
    }
    const int x = table.FindColumn(QStringLiteral("x_proj"));
    const int y = table.FindColumn(QStringLiteral("y_proj"));
    int differing = 0;
    for (int i = 0; i < kRows; ++i)
        differing += table.grid().text(i + 1, x) != coordinateText(peerX[size_t(i)]) ||
                     table.grid().text(i + 1, y) != coordinateText(peerY[size_t(i)]);

    constexpr int kLive = 20000;
    Project_Points({-93.5}, {45.0}, kDefinition, true);
    const double liveUs =
        bestMs(kRuns,
               [&] {
                   for (int i = 0; i < kLive; ++i)
                       Project_Points({-93.5 + i * 1e-6}, {45.0}, kDefinition, true);
               }) *
        1000.0 / kLive;

    std::printf("bench_proj: Project_Table forward, %d rows: %.1f ms (thread CPU time)\n", kRows,
                tableMs);
    std::printf(
        "bench_proj: peer proj_trans_generic, same points: %.1f ms (thread CPU time; ratio %.2f; "
        "%d of %d results differ)\n",
        genericMs, tableMs / genericMs, differing, kRows);
    if (!QStandardPaths::findExecutable(QStringLiteral("cs2cs")).isEmpty())
        std::printf("bench_proj: peer cs2cs, same points, process start included: %.1f ms\n",
                    cs2csMs(lon, lat));
    else
        std::printf("bench_proj: peer cs2cs not installed\n");
    std::printf("bench_proj: one live position through Project_Points (cached): %.2f us\n", liveUs);
    std::printf("bench_proj: LoadProjections(\"epsg\"): %.1f ms\n", loadMs);
    return 0;
}
