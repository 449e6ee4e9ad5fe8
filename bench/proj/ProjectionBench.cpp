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
#include <vector>

using namespace trekora;

namespace {

constexpr int kRows = 32767;
// The machine may be shared: every figure is the best of several runs.
constexpr int kRuns = 9;
const QString kDefinition = QStringLiteral("+proj=utm +zone=15 +datum=NAD83 +units=m +no_defs");

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

void pointsOf(std::vector<double>& lon, std::vector<double>& lat) {
    for (int i = 0; i < kRows; ++i) {
        lon.push_back(-96.0 + 6.0 * (i % 1000) / 1000.0);
        lat.push_back(43.0 + 6.0 * (i / 1000) / 33.0);
    }
}

double procTransGenericMs(const std::vector<double>& lon, const std::vector<double>& lat) {
    PJ_CONTEXT* ctx = proj_context_create();
    const QByteArray target = (kDefinition + QStringLiteral(" +type=crs")).toUtf8();
    PJ* p = proj_create_crs_to_crs(ctx, "+proj=latlong +datum=WGS84 +type=crs", target.constData(),
                                   nullptr);
    const double ms = bestMs(kRuns, [&] {
        std::vector<double> x = lon, y = lat;
        proj_trans_generic(p, PJ_FWD, x.data(), sizeof(double), x.size(), y.data(), sizeof(double),
                           y.size(), nullptr, 0, 0, nullptr, 0, 0);
    });
    proj_destroy(p);
    proj_context_destroy(ctx);
    return ms;
}

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

    const double loadMs = bestMs(kRuns, [] { LoadProjections(QStringLiteral("epsg")); });

    std::vector<double> lon, lat;
    pointsOf(lon, lat);
    HeadlessTableHost host;
    GpsTable table(host);
    for (int i = 0; i < kRows; ++i)
        table.AddRecord(QStringLiteral("WAYPOINT;p;") + coordinateText(lat[size_t(i)]) + u';' +
                        coordinateText(lon[size_t(i)]));
    Project_Table(table, true); // builds and caches the transformation
    const double tableMs = bestMs(kRuns, [&] { Project_Table(table, true); });
    const double genericMs = procTransGenericMs(lon, lat);

    constexpr int kLive = 20000;
    Project_Points({-93.5}, {45.0}, kDefinition, true);
    const double liveUs =
        bestMs(kRuns,
               [&] {
                   for (int i = 0; i < kLive; ++i)
                       Project_Points({-93.5 + i * 1e-6}, {45.0}, kDefinition, true);
               }) *
        1000.0 / kLive;

    std::printf("bench_proj: Project_Table forward, %d rows: %.1f ms\n", kRows, tableMs);
    std::printf("bench_proj: peer proj_trans_generic, same points: %.1f ms (ratio %.2f)\n",
                genericMs, tableMs / genericMs);
    if (!QStandardPaths::findExecutable(QStringLiteral("cs2cs")).isEmpty())
        std::printf("bench_proj: peer cs2cs, same points, process start included: %.1f ms\n",
                    cs2csMs(lon, lat));
    else
        std::printf("bench_proj: peer cs2cs not installed\n");
    std::printf("bench_proj: one live position through Project_Points (cached): %.2f us\n", liveUs);
    std::printf("bench_proj: LoadProjections(\"epsg\"): %.1f ms\n", loadMs);
    return 0;
}
