// Prints the import and export figures for a full waypoint table: the point
// shapefile export (with its table and PRJ file), loading it back, and the
// text save and load; and, as the peer, ogr2ogr converting the same rows from
// CSV to a shapefile.
#include "core/ScriptedInteraction.h"
#include "core/Settings.h"
#include "io/FieldMapping.h"
#include "io/FileImport.h"
#include "io/IoContext.h"
#include "io/ShapefileExport.h"
#include "io/TextFile.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

using namespace trekora;

namespace {

double secondsOf(const std::function<bool()>& work, bool* ok = nullptr) {
    QElapsedTimer timer;
    timer.start();
    const bool result = work();
    if (ok)
        *ok = result;
    return double(timer.nsecsElapsed()) / 1e9;
}

void fill(GpsTable& table, int rows) {
    table.setCurrentRecordType(RecordType::Waypoint);
    for (int i = 1; i <= rows; ++i)
        table.AddRecord(QStringLiteral("WAYPOINT;WPT%1;29.%2;-98.%2;3258441.12345678;"
                                       "537012.87654321;comment number %1;0;18;;12.50;0;0;"
                                       "219.97;0.00;0;0;0;0;TX;US;San Antonio;1 Main St;;;;0;"
                                       "d108;eTrex Legend;")
                            .arg(i)
                            .arg(10000000 + i * 7));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Settings::useFile(dir.filePath(QStringLiteral("bench.ini")));
    FieldSettings::SetFieldSettings({});
    ScriptedInteraction silent;
    setUserInteraction(&silent);
    const int rows = 32767;

    HeadlessTableHost host;
    GpsTable table(host);
    AcceptingFieldChooser chooser;
    IoContext io{table,
                 chooser,
                 {},
                 [](const QString& base, bool) {
                     QFile prj(base + QStringLiteral(".prj"));
                     if (prj.open(QIODevice::WriteOnly))
                         prj.write("GEOGCS[\"GCS_WGS_1984\"]");
                 },
                 {}};
    fill(table, rows);

    // Each figure is the best of three runs: the machine's other work only
    // ever adds time.
    auto best = [](const std::function<bool()>& work, bool& ok) {
        double fastest = 1e9;
        ok = true;
        for (int run = 0; run < 3; ++run) {
            bool runOk = false;
            fastest = std::min(fastest, secondsOf(work, &runOk));
            ok = ok && runOk;
        }
        return fastest;
    };
    bool ok = false;
    const QString shp = dir.filePath(QStringLiteral("w.shp"));
    const double save = best([&] { return Save_Shapefile(io, "Point", false, shp, false); }, ok);
    std::printf("export %d waypoints (30 columns) to point shapefile + dBASE + prj: %.3f s%s "
                "(target < 0.5 s)\n",
                rows, save, ok ? "" : " FAILED");
    const double load = best([&] { return Open_Shapefile(io, shp); }, ok);
    std::printf("load that shapefile back (no projection): %.3f s, %d rows%s (target < 0.5 s)\n",
                load, table.recordCount(), ok ? "" : " FAILED");

    const QString txt = dir.filePath(QStringLiteral("w.txt"));
    const double textSave = best([&] { return Save_TextFile(io, txt, ",", false); }, ok);
    std::printf("text save of %d rows: %.3f s%s (target < 0.3 s)\n", table.recordCount(), textSave,
                ok ? "" : " FAILED");
    const double textLoad = best([&] { return Open_Textfile(io, txt); }, ok);
    std::printf("text load of %d rows: %.3f s%s (target < 0.3 s)\n", table.recordCount(), textLoad,
                ok ? "" : " FAILED");
    std::printf("(each figure: best of 3 runs)\n");

    const QString ogr2ogr = QStandardPaths::findExecutable(QStringLiteral("ogr2ogr"));
    if (ogr2ogr.isEmpty()) {
        std::printf("peer: ogr2ogr not installed\n");
        return 0;
    }
    // The peer gets the same rows as CSV with its coordinate columns named.
    const QString csv = dir.filePath(QStringLiteral("peer.csv"));
    {
        QString header = table.GetRowValues(0, true);
        QFile file(csv);
        file.open(QIODevice::WriteOnly);
        file.write(header.replace(';', ',').toUtf8() + "\n");
        for (int r = 1; r < table.grid().rows(); ++r)
            file.write(table.GetRowValues(r, true).replace(';', ',').toUtf8() + "\n");
    }
    QProcess peer;
    const double peerTime = best(
        [&] {
            peer.start(ogr2ogr, {QStringLiteral("-f"), QStringLiteral("ESRI Shapefile"),
                                 dir.filePath(QStringLiteral("peer.shp")), csv,
                                 QStringLiteral("-oo"), QStringLiteral("X_POSSIBLE_NAMES=long"),
                                 QStringLiteral("-oo"), QStringLiteral("Y_POSSIBLE_NAMES=lat"),
                                 QStringLiteral("-a_srs"), QStringLiteral("EPSG:4326")});
            return peer.waitForFinished(120000) && peer.exitCode() == 0;
        },
        ok);
    std::printf(
        "peer: ogr2ogr CSV -> point shapefile, same rows: %.3f s%s, best of 3 (ratio %.1fx)\n",
        peerTime, ok ? "" : " FAILED", peerTime / save);
    return 0;
}
