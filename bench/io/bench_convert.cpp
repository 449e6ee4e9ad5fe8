// End-to-end figures of the convert command against ogr2ogr doing the same
// work, both started as a user starts them (process start included), in the
// same run, best of three, with each child's peak memory:
//   CSV (32,767 rows x 30 columns) -> point shapefile
//   that shapefile -> CSV
//   1,000,000-row CSV -> point shapefile
//   convert --proj 26915 against the same convert without it
// Usage: bench_convert [TREKORA_BINARY]   (default: bin/trekora beside this one)
#include "core/ScriptedInteraction.h"
#include "core/Settings.h"
#include "io/FieldMapping.h"
#include "io/IoContext.h"
#include "io/TextFile.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace trekora;

namespace {

struct Figure {
    double seconds = 1e9;
    long peakMb = 0;
    bool ok = true;
};

// Outputs are removed before each run by their base name: no input may
// share one. Runs the program to its end with its output discarded; the wall time and
// the child's own peak resident memory.
Figure runOnce(const QStringList& command) {
    std::vector<QByteArray> args;
    for (const QString& a : command)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    Figure figure;
    figure.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figure.peakMb = usage.ru_maxrss / 1024;
    figure.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return figure;
}

Figure bestOfThree(const QStringList& command, const QStringList& outputs) {
    Figure best;
    for (int run = 0; run < 3; ++run) {
        for (const QString& output : outputs)
            for (const char* ext : {".shp", ".shx", ".dbf", ".prj", ".cpg", ".csv"})
                QFile::remove(output.section('.', 0, -2) + QLatin1String(ext));
        const Figure f = runOnce(command);
        best.ok = best.ok && f.ok;
        best.seconds = std::min(best.seconds, f.seconds);
        best.peakMb = std::max(best.peakMb, f.peakMb);
    }
    return best;
}

// The table's own CSV of a full waypoint table: 30 columns.
QByteArray waypointCsv(int rows) {
    HeadlessTableHost host;
    GpsTable table(host);
    table.setCurrentRecordType(RecordType::Waypoint);
    for (int i = 1; i <= rows; ++i)
        table.AddRecord(QStringLiteral("WAYPOINT;WPT%1;29.%2;-98.%2;;;comment number %1;0;18;;"
                                       "12.50;0;0;219.97;0.00;0;0;0;0;TX;US;San Antonio;"
                                       "1 Main St;;;;0;d108;eTrex Legend;")
                            .arg(i)
                            .arg(10000000 + i * 7));
    QTemporaryDir dir;
    AcceptingFieldChooser chooser;
    IoContext io{table, chooser, {}, {}, {}};
    const QString path = dir.filePath(QStringLiteral("w.csv"));
    Save_TextFile(io, path, QStringLiteral(","), false);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes, int repeatBody = 1) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const qsizetype headerEnd = bytes.indexOf('\n') + 1;
    file.write(bytes.left(headerEnd));
    for (int i = 0; i < repeatBody; ++i)
        file.write(bytes.mid(headerEnd));
    return true;
}

void print(const char* what, const Figure& ours, const Figure* peer) {
    std::printf("%s: trekora %.3f s, peak %ld MB%s", what, ours.seconds, ours.peakMb,
                ours.ok ? "" : " FAILED");
    if (peer)
        std::printf("; ogr2ogr %.3f s, peak %ld MB%s; ratio %.2f", peer->seconds, peer->peakMb,
                    peer->ok ? "" : " FAILED", ours.seconds / peer->seconds);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Settings::useFile(dir.filePath(QStringLiteral("bench.ini")));
    FieldSettings::SetFieldSettings({});
    ScriptedInteraction silent;
    setUserInteraction(&silent);
    const QString trekora =
        argc > 1 ? QString::fromLocal8Bit(argv[1])
                 : QCoreApplication::applicationDirPath() + QStringLiteral("/trekora");
    const QString ogr2ogr = QStandardPaths::findExecutable(QStringLiteral("ogr2ogr"));
    // The program's settings stay in the scratch folder.
    qputenv("HOME", QFile::encodeName(dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));

    const QByteArray table = waypointCsv(32767);
    const QString csv = dir.filePath(QStringLiteral("in.csv"));
    const QString big = dir.filePath(QStringLiteral("big.csv"));
    // 1,000,000 rows: the full table 30 times and a part of it once more.
    writeFile(csv, table);
    {
        writeFile(big, table, 30);
        QFile file(big);
        file.open(QIODevice::Append);
        const QList<QByteArray> lines = table.split('\n');
        for (int i = 1; i <= 1000000 - 30 * 32767; ++i)
            file.write(lines[i] + '\n');
    }
    auto ogr = [&](const QString& out, const QString& in, const QStringList& extra) {
        return QStringList{ogr2ogr, QStringLiteral("-f"),
                           out.endsWith(QLatin1String(".csv")) ? QStringLiteral("CSV")
                                                               : QStringLiteral("ESRI Shapefile"),
                           out, in} +
               extra;
    };
    const QStringList csvPoints{QStringLiteral("-oo"),    QStringLiteral("X_POSSIBLE_NAMES=long"),
                                QStringLiteral("-oo"),    QStringLiteral("Y_POSSIBLE_NAMES=lat"),
                                QStringLiteral("-a_srs"), QStringLiteral("EPSG:4326")};
    const bool peer = !ogr2ogr.isEmpty();
    if (!peer)
        std::printf("peer: ogr2ogr not installed\n");

    const QString shp = dir.filePath(QStringLiteral("out.shp"));
    const Figure toShp = bestOfThree({trekora, QStringLiteral("convert"), csv, shp}, {shp});
    const QString peerShp = dir.filePath(QStringLiteral("peer.shp"));
    const Figure peerToShp = peer ? bestOfThree(ogr(peerShp, csv, csvPoints), {peerShp}) : Figure{};
    print("CSV 32,767 rows x 30 columns -> point shapefile", toShp, peer ? &peerToShp : nullptr);

    const QString back = dir.filePath(QStringLiteral("back.csv"));
    const Figure toCsv = bestOfThree({trekora, QStringLiteral("convert"), shp, back}, {back});
    const QString peerBack = dir.filePath(QStringLiteral("peerback.csv"));
    const Figure peerToCsv =
        peer ? bestOfThree(
                   ogr(peerBack, shp, {QStringLiteral("-lco"), QStringLiteral("GEOMETRY=AS_XY")}),
                   {peerBack})
             : Figure{};
    print("point shapefile 32,767 rows -> CSV", toCsv, peer ? &peerToCsv : nullptr);

    const QString bigShp = dir.filePath(QStringLiteral("bigout.shp"));
    const Figure bigToShp =
        bestOfThree({trekora, QStringLiteral("convert"), big, bigShp}, {bigShp});
    const QString peerBig = dir.filePath(QStringLiteral("peerbig.shp"));
    const Figure peerBigToShp =
        peer ? bestOfThree(ogr(peerBig, big, csvPoints), {peerBig}) : Figure{};
    print("CSV 1,000,000 rows x 30 columns -> point shapefile", bigToShp,
          peer ? &peerBigToShp : nullptr);

    const QString projected = dir.filePath(QStringLiteral("utm.shp"));
    const Figure withProj = bestOfThree({trekora, QStringLiteral("convert"), csv, projected,
                                         QStringLiteral("--proj"), QStringLiteral("26915")},
                                        {projected});
    std::printf("convert --proj 26915, 32,767 rows: %.3f s%s; without --proj %.3f s; ratio %.2f\n",
                withProj.seconds, withProj.ok ? "" : " FAILED", toShp.seconds,
                withProj.seconds / toShp.seconds);
    std::printf("(each figure: best of 3 runs, process start included; peak = max RSS)\n");
    return 0;
}
