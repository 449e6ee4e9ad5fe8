// Prints the GPS data table's figures: bulk appends, segment colouring,
// column rearrangement, record-type change and the memory of a full table.
#include "core/Settings.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>

using namespace trekora;

namespace {

double seconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

QString waypointRow(int i) {
    return QStringLiteral("WAYPOINT;WPT%1;29.%2;-98.%2;3258441.12345678;537012.87654321;"
                          "comment number %1;0;18;;12.5;0;0;219.97;0;0;0;0;0;TX;US;San Antonio;"
                          "1 Main St;;;;0;d108;eTrex Legend;")
        .arg(i)
        .arg(10000000 + i);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    Settings::useFile(dir.filePath(QStringLiteral("bench.ini")));
    FieldSettings::SetFieldSettings({});
    HeadlessTableHost host;
    const int n = 32767;

    GpsTable table(host);
    QStringList rows;
    for (int i = 1; i <= n; ++i)
        rows << waypointRow(i);
    // Best of three fills: the machine's other work only ever adds time.
    double add = 1e9;
    for (int run = 0; run < 3; ++run) {
        table.ResetTable();
        add = std::min(add, seconds([&] {
                           for (const QString& row : rows)
                               table.AddRecord(row);
                       }));
    }
    std::printf("AddRecord x %d (30-value waypoint rows): %.3f s, best of 3 (target < 0.3 s)\n", n,
                add);

    const double apply = seconds([&] { table.ApplyFieldSettings(RecordType::Waypoint); });
    std::printf("ApplyFieldSettings on %d rows: %.3f s (target < 0.3 s)\n", n, apply);

    const double change = seconds([&] { table.ChangeRecordType(RecordType::Track); });
    std::printf("ChangeRecordType waypoint -> track on %d rows: %.3f s (target < 0.3 s)\n", n,
                change);

    for (int r = 1; r < table.grid().rows(); ++r)
        table.grid().setText(r, table.FindColumn(QStringLiteral("new_seg")),
                             r % 500 == 1 ? QStringLiteral("true") : QStringLiteral("false"));
    const double colour = seconds([&] { table.ColorSegments(0); });
    std::printf("ColorSegments(0) on a %d-row track: %.3f s (target < 0.1 s)\n", n, colour);

    // A full table of the 47-field union list, every cell filled.
    GpsTable full(host);
    full.setCurrentRecordType(QStringLiteral("all"));
    const long before = residentKb();
    QStringList values;
    for (int c = 0; c < 47; ++c)
        values << QStringLiteral("%1.12345678").arg(1000000 + c);
    const QString row = values.join(';');
    for (int i = 1; i <= n; ++i)
        full.AddRecord(row);
    const long after = residentKb();
    std::printf("Full 47-column, %d-row table: %.1f MB resident in all, %.1f MB for the table "
                "(target < 150 MB)\n",
                full.recordCount(), after / 1024.0, (after - before) / 1024.0);
    return 0;
}
