// Prints the time to write and read back a point shapefile of 32,767
// records with a 30-field dBASE table, through the calls the table export
// and import make (Add, AppendRecord, WriteField; Item, ReadRecords), and
// the time ogr2ogr takes to turn the same data from CSV into a shapefile.

#include "shapes/CShapeFile.h"
#include "shapes/DBase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace trekora;

namespace {

constexpr int kRecords = 32767;
constexpr int kRepeats = 5;

struct Column {
    QString name;
    QString spec;
};

// 30 fields as a GPS table has them: texts, coordinates with 8 decimals,
// heights and counts.
QList<Column> columns() {
    QList<Column> list;
    auto add = [&](const QString& name, const QString& rest) {
        list.append({name, name + ',' + rest});
    };
    add(QStringLiteral("type"), QStringLiteral("C,10"));
    add(QStringLiteral("ident"), QStringLiteral("C,20"));
    add(QStringLiteral("lat"), QStringLiteral("N,18,8"));
    add(QStringLiteral("long"), QStringLiteral("N,18,8"));
    add(QStringLiteral("y_proj"), QStringLiteral("N,18,8"));
    add(QStringLiteral("x_proj"), QStringLiteral("N,18,8"));
    add(QStringLiteral("comment"), QStringLiteral("C,40"));
    add(QStringLiteral("altitude"), QStringLiteral("N,10,2"));
    add(QStringLiteral("depth"), QStringLiteral("N,10,2"));
    add(QStringLiteral("symbol"), QStringLiteral("N,6,0"));
    for (int i = 0; i < 10; ++i)
        add(QStringLiteral("text%1").arg(i), QStringLiteral("C,16"));
    for (int i = 0; i < 10; ++i)
        add(QStringLiteral("num%1").arg(i),
            i % 2 ? QStringLiteral("N,12,3") : QStringLiteral("N,8,0"));
    return list;
}

struct Row {
    double x, y;
    QStringList values;
};

std::vector<Row> makeRows(const QList<Column>& cols) {
    std::vector<Row> rows;
    rows.reserve(kRecords);
    for (int r = 0; r < kRecords; ++r) {
        const double lat = 47.0 + r * 1e-5;
        const double lon = -122.0 - r * 2e-5;
        Row row{500000.0 + r * 1.5, 5200000.0 + r * 2.25, {}};
        for (const Column& c : cols) {
            if (c.name == QLatin1String("lat"))
                row.values.append(QString::number(lat, 'f', 8));
            else if (c.name == QLatin1String("long"))
                row.values.append(QString::number(lon, 'f', 8));
            else if (c.name == QLatin1String("y_proj"))
                row.values.append(QString::number(row.y, 'f', 8));
            else if (c.name == QLatin1String("x_proj"))
                row.values.append(QString::number(row.x, 'f', 8));
            else if (c.spec.contains(QLatin1String(",C,")))
                row.values.append(c.name.left(3) + QString::number(r));
            else if (c.spec.endsWith(QLatin1String(",0")))
                row.values.append(QString::number(r % 1000));
            else
                row.values.append(QString::number(r * 0.125, 'f', 3));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

enum class Part { Both, ShapesOnly, TableOnly };

double writeLayer(const QString& shp, const QList<Column>& cols, const std::vector<Row>& rows,
                  Part part = Part::Both) {
    QStringList specs;
    for (const Column& c : cols)
        specs.append(c.spec);
    QString dbf = shp;
    dbf.replace(QLatin1String(".shp"), QLatin1String(".dbf"));
    QElapsedTimer timer;
    timer.start();
    {
        const bool shapes = part != Part::TableOnly;
        const bool attributes = part != Part::ShapesOnly;
        CShapeFile file;
        if (shapes)
            file.SetFileSpec(CFileName(shp), CShapeFile::CREATEIT, 1);
        const DBase::Handle table = attributes ? DBase::CreateDBF(dbf, specs) : DBase::kNoHandle;
        for (const Row& row : rows) {
            if (shapes)
                file.Add(std::make_shared<CPoint>(row.x, row.y));
            if (!attributes)
                continue;
            const std::int32_t record = DBase::AppendRecord(table);
            for (qsizetype c = 0; c < cols.size(); ++c)
                DBase::WriteField(table, cols[c].name, record, row.values[c]);
        }
        if (attributes)
            DBase::CloseDBF(table);
        if (shapes)
            file.Flush();
    }
    return timer.nsecsElapsed() / 1e9;
}

double readLayer(const QString& shp, double& checksum) {
    QString dbf = shp;
    dbf.replace(QLatin1String(".shp"), QLatin1String(".dbf"));
    QElapsedTimer timer;
    timer.start();
    CShapeFile file;
    file.SetFileSpec(CFileName(shp), 0);
    for (std::int32_t i = 1; i <= file.Count(); ++i)
        checksum += file.Item(i)->Left();
    const DBase::Handle table = DBase::OpenDBF(dbf);
    const auto records = DBase::ReadRecords(table, 0);
    DBase::CloseDBF(table);
    checksum += records.size();
    return timer.nsecsElapsed() / 1e9;
}

double ogr2ogrSeconds(const QTemporaryDir& dir, const QList<Column>& cols,
                      const std::vector<Row>& rows) {
    const QString csv = dir.filePath(QStringLiteral("peer.csv"));
    QFile file(csv);
    if (!file.open(QIODevice::WriteOnly))
        return -1;
    QByteArray text = "x,y";
    for (const Column& c : cols)
        text += ',' + c.name.toLatin1();
    text += '\n';
    for (const Row& row : rows) {
        text += QByteArray::number(row.x, 'f', 8) + ',' + QByteArray::number(row.y, 'f', 8);
        for (const QString& v : row.values)
            text += ',' + v.toLatin1();
        text += '\n';
    }
    file.write(text);
    file.close();
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral("ogr2ogr"),
                  {QStringLiteral("-f"), QStringLiteral("ESRI Shapefile"), QStringLiteral("-oo"),
                   QStringLiteral("X_POSSIBLE_NAMES=x"), QStringLiteral("-oo"),
                   QStringLiteral("Y_POSSIBLE_NAMES=y"), QStringLiteral("-oo"),
                   QStringLiteral("AUTODETECT_TYPE=YES"), dir.filePath(QStringLiteral("peer.shp")),
                   csv});
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return -1;
    return timer.nsecsElapsed() / 1e9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QList<Column> cols = columns();
    const std::vector<Row> rows = makeRows(cols);
    std::vector<double> writes, reads, shapesOnly, tableOnly;
    double checksum = 0;
    for (int i = 0; i < kRepeats; ++i) {
        const QString shp = dir.filePath(QStringLiteral("layer%1.shp").arg(i));
        writes.push_back(writeLayer(shp, cols, rows));
        reads.push_back(readLayer(shp, checksum));
        const QString part = dir.filePath(QStringLiteral("part%1.shp").arg(i));
        shapesOnly.push_back(writeLayer(part, cols, rows, Part::ShapesOnly));
        tableOnly.push_back(writeLayer(part, cols, rows, Part::TableOnly));
    }
    std::printf("bench_shapes: %d point records, %lld dBASE fields (median of %d runs)\n", kRecords,
                static_cast<long long>(cols.size()), kRepeats);
    std::printf("  write (Add, AppendRecord, WriteField): %.3f s  (best %.3f s, target < 0.35 s)\n",
                median(writes), *std::min_element(writes.begin(), writes.end()));
    std::printf("    of which .shp/.shx alone %.3f s, .dbf alone %.3f s\n", median(shapesOnly),
                median(tableOnly));
    std::printf("  read  (Item, ReadRecords):             %.3f s  (best %.3f s, target < 0.15 s)\n",
                median(reads), *std::min_element(reads.begin(), reads.end()));
    if (QStandardPaths::findExecutable(QStringLiteral("ogr2ogr")).isEmpty()) {
        std::printf("  peer  ogr2ogr: not installed\n");
    } else {
        const double peer = ogr2ogrSeconds(dir, cols, rows);
        if (peer < 0)
            std::printf("  peer  ogr2ogr CSV -> shapefile: failed\n");
        else
            std::printf("  peer  ogr2ogr CSV -> shapefile:         %.3f s\n", peer);
    }
    return checksum > 0 ? 0 : 1;
}
