#include "app/ConvertCommand.h"
#include "core/Settings.h"
#include "shapes/CFileName.h"
#include "shapes/CPoint.h"
#include "shapes/CShapeFile.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

using namespace trekora;

class ConvertCommandTest : public test::TestEnvironment {
protected:
    QString write(const QString& name, const QByteArray& bytes) {
        QFile file(scratchPath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    static QByteArray read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    struct Run {
        int status = -1;
        QByteArray out, err;
    };
    // The program itself, as a user runs it from a shell.
    Run runProgram(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", scratchPath("home"));
        env.insert("XDG_CONFIG_HOME", scratchPath("home/.config"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TREKORA_BIN_DIR "/trekora"),
                      QStringList{"convert"} + arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    // The first data line's values by header name.
    static QHash<QString, QString> firstRow(const QByteArray& csv) {
        const QList<QByteArray> lines = csv.split('\n');
        QHash<QString, QString> row;
        if (lines.size() < 2)
            return row;
        const QList<QByteArray> names = lines[0].trimmed().split(',');
        const QList<QByteArray> values = lines[1].trimmed().split(',');
        for (qsizetype i = 0; i < names.size() && i < values.size(); ++i)
            row.insert(QString::fromUtf8(names[i]), QString::fromUtf8(values[i]).trimmed());
        return row;
    }

    static std::shared_ptr<CPoint> point(const QString& shapefile, int index) {
        CShapeFile file;
        file.SetFileSpec(CFileName(shapefile), 0, 0, false);
        return std::dynamic_pointer_cast<CPoint>(file.Item(index));
    }
};

TEST_F(ConvertCommandTest, ProjectsIntoAShapefileWithoutChangingTheStoredProjection) {
    Settings::set("proj", "proj", "4326");
    const QString input = write("in.csv", "ident,lat,long\r\nA,44.97,-93.26\r\nB,44.98,-93.25\r\n");
    const QString output = scratchPath("out.shp");
    ASSERT_EQ(runConvertCommand({input, output, "--proj", "26915"}), 0);
    setUserInteraction(&ui); // the command installs its own channel while it runs
    EXPECT_EQ(Settings::get("proj", "proj"), "4326");
    EXPECT_TRUE(read(scratchPath("out.prj")).contains("NAD_1983_UTM_Zone_15N"));
    CShapeFile file;
    file.SetFileSpec(CFileName(output), 0, 0, false);
    ASSERT_EQ(file.Count(), 2);
    const auto first = std::dynamic_pointer_cast<CPoint>(file.Item(1));
    EXPECT_NEAR(first->X(), 479497.332, 0.01);
    EXPECT_NEAR(first->Y(), 4979650.666, 0.01);

    // Text back out again, unprojected, comma-delimited.
    const QString csv = scratchPath("back.csv");
    ASSERT_EQ(runConvertCommand({input, csv}), 0);
    EXPECT_TRUE(read(csv).startsWith("type,ident,lat,long,"));
}

TEST_F(ConvertCommandTest, FailuresExitNonZero) {
    const QString noCoordinates = write("bad.txt", "a,b\r\n1,2\r\n");
    EXPECT_EQ(runConvertCommand({noCoordinates, scratchPath("x.shp")}), 1);
    EXPECT_EQ(runConvertCommand({scratchPath("missing.txt"), scratchPath("x.shp")}), 1);
    EXPECT_EQ(runConvertCommand({noCoordinates}), 2);
    EXPECT_EQ(runConvertCommand({noCoordinates, scratchPath("x.shp"), "--shape", "circle"}), 2);
    const QString good = write("good.txt", "ident,lat,long\r\nA,1,2\r\n");
    EXPECT_EQ(runConvertCommand({good, scratchPath("x.shp"), "--proj", "999999"}), 1);
    EXPECT_FALSE(QFile::exists(scratchPath("x.shp")));
}

TEST_F(ConvertCommandTest, RunsWithoutADisplay) {
    const QString input = write("t.csv", "type,ident,lat,long,new_seg\r\nTRACK,a,1,2,true\r\n"
                                         "TRACK,b,1.5,2.5,false\r\nTRACK,c,2,2,false\r\n");
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("HOME", scratchPath("home"));
    env.insert("XDG_CONFIG_HOME", scratchPath("home/.config"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TREKORA_BIN_DIR "/trekora"),
                  {"convert", input, scratchPath("t.shp"), "--shape", "polygon"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(process.readAllStandardOutput(),
              "wrote 3 records to " + scratchPath("t.shp").toUtf8() + "\n");
    CShapeFile file;
    file.SetFileSpec(CFileName(scratchPath("t.shp")), 0, 0, false);
    EXPECT_EQ(file.fileType(), 5);
}

TEST_F(ConvertCommandTest, InputSystemComesFromTheFileNeverFromTheStoredSetting) {
    TREKORA_REQUIRE_TOOL(ogr2ogr, "ogr2ogr");
    // The stored projection of a user who once chose UTM 15N must not make a
    // plain WGS 84 shapefile read as UTM coordinates.
    Settings::set("proj", "proj", "26915");
    const QString csv = write("src.csv", "name,lat,lon\r\nA,44.97,-93.26\r\n");
    auto ogr = [&](const QStringList& args) {
        QProcess process;
        process.start(ogr2ogr, args);
        ASSERT_TRUE(process.waitForFinished(60000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    };
    ogr({"-f", "ESRI Shapefile", scratchPath("wgs.shp"), csv, "-oo", "X_POSSIBLE_NAMES=lon", "-oo",
         "Y_POSSIBLE_NAMES=lat", "-a_srs", "EPSG:4326"});
    ogr({"-f", "ESRI Shapefile", scratchPath("utm.shp"), csv, "-oo", "X_POSSIBLE_NAMES=lon", "-oo",
         "Y_POSSIBLE_NAMES=lat", "-s_srs", "EPSG:4326", "-t_srs", "EPSG:26915"});
    ogr({"-f", "ESRI Shapefile", scratchPath("bare.shp"), csv, "-oo", "X_POSSIBLE_NAMES=lon", "-oo",
         "Y_POSSIBLE_NAMES=lat"});
    QFile::remove(scratchPath("bare.prj"));

    for (const char* name : {"wgs", "utm", "bare"}) {
        SCOPED_TRACE(name);
        const QString out = scratchPath(QString(name) + "-out.csv");
        ASSERT_EQ(runConvertCommand({scratchPath(QString(name) + ".shp"), out}), 0);
        setUserInteraction(&ui);
        const auto row = firstRow(read(out));
        EXPECT_NEAR(row.value("lat").toDouble(), 44.97, 1e-7);
        EXPECT_NEAR(row.value("long").toDouble(), -93.26, 1e-7);
    }
    // Declared by hand, the .prj is overruled.
    ASSERT_EQ(runConvertCommand({scratchPath("wgs.shp"), scratchPath("from.csv"), "--from",
                                 "EPSG:4326", "--proj", "EPSG:26915"}),
              0);
    setUserInteraction(&ui);
    const auto utm = firstRow(read(scratchPath("from.csv")));
    EXPECT_NEAR(utm.value("x_proj").toDouble(), 479497.332, 0.01);
    EXPECT_EQ(Settings::get("proj", "proj"), "26915");

    const Run note = runProgram({scratchPath("utm.shp"), scratchPath("note.csv")});
    EXPECT_EQ(note.status, 0) << note.err.toStdString();
    EXPECT_TRUE(note.err.contains("input coordinates in EPSG:26915")) << note.err.toStdString();
}

TEST_F(ConvertCommandTest, ProjectedOnlyTextNeedsFrom) {
    const QString input = write("xy.csv", "ident,y_proj,x_proj\r\nA,4979650.666,479497.332\r\n");
    const Run refused = runProgram({input, scratchPath("a.csv")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("y_proj/x_proj") && refused.err.contains("--from"))
        << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(scratchPath("a.csv")));

    ASSERT_EQ(runConvertCommand({input, scratchPath("b.csv"), "--from", "26915"}), 0);
    setUserInteraction(&ui);
    const auto row = firstRow(read(scratchPath("b.csv")));
    EXPECT_NEAR(row.value("lat").toDouble(), 44.97, 1e-7);
    EXPECT_NEAR(row.value("long").toDouble(), -93.26, 1e-7);
}

TEST_F(ConvertCommandTest, EsriAndPrefixedCodes) {
    const QString input = write("in.csv", "ident,lat,long\r\nA,39.0,-96.0\r\nB,44.97,-93.26\r\n");
    for (const char* code : {"102003", "ESRI:102003", "esri:102003"}) {
        SCOPED_TRACE(code);
        const QString out = scratchPath("albers.shp");
        ASSERT_EQ(runConvertCommand({input, out, "--proj", code}), 0);
        setUserInteraction(&ui);
        EXPECT_TRUE(read(scratchPath("albers.prj")).contains("USA_Contiguous_Albers_Equal_Area"));
        // cs2cs's figures for 39 N, 96 W on the central meridian.
        EXPECT_NEAR(point(out, 1)->X(), 0.0, 0.001);
        EXPECT_NEAR(point(out, 1)->Y(), 168123.8531, 0.001);
    }
    ASSERT_EQ(runConvertCommand({scratchPath("albers.shp"), scratchPath("back.csv")}), 0);
    setUserInteraction(&ui);
    EXPECT_NEAR(firstRow(read(scratchPath("back.csv"))).value("lat").toDouble(), 39.0, 1e-7);
    EXPECT_EQ(runConvertCommand({input, scratchPath("x.shp"), "--proj", "EPSG:102003"}), 1);
    EXPECT_EQ(runConvertCommand({input, scratchPath("x.shp"), "--from", "nonsense:1"}), 1);
}

TEST_F(ConvertCommandTest, PointsThatCannotBeProjectedAreNamedAndNotWritten) {
    // A view of the northern half of the globe: the southern point has no
    // place in it. cs2cs prints "* *" for it; it must not become 0, 0.
    const QString input = write("in.csv", "ident,lat,long\r\nA,45,10\r\nB,-45,10\r\nC,60,20\r\n");
    const Run run = runProgram({input, scratchPath("out.shp"), "--proj", "ESRI:102035"});
    EXPECT_EQ(run.status, 3);
    EXPECT_TRUE(run.err.contains("1 rows not written, their coordinates could not be projected to "
                                 "ESRI:102035: record 2 (10, -45)"))
        << run.err.toStdString();
    CShapeFile file;
    file.SetFileSpec(CFileName(scratchPath("out.shp")), 0, 0, false);
    ASSERT_EQ(file.Count(), 2);
    for (int i = 1; i <= 2; ++i)
        EXPECT_GT(std::abs(point(scratchPath("out.shp"), i)->Y()), 1000.0);
}

TEST_F(ConvertCommandTest, StreamsPastTheTableLimit) {
    const int rows = 40000;
    QByteArray points = "ident,lat,long\r\n";
    QByteArray track = "type,ident,lat,long,new_seg\r\n";
    for (int i = 1; i <= rows; ++i) {
        const QByteArray n = QByteArray::number(i);
        points += "P" + n + ",45." + n + ",-93." + n + "\r\n";
        track += "TRACK,t,45." + n + ",-93." + n + ",false\r\n";
    }
    const QString pointsCsv = write("points.csv", points);
    ASSERT_EQ(runConvertCommand({pointsCsv, scratchPath("p.shp"), "--proj", "26915"}), 0);
    setUserInteraction(&ui);
    CShapeFile file;
    file.SetFileSpec(CFileName(scratchPath("p.shp")), 0, 0, false);
    ASSERT_EQ(file.Count(), rows);
    // The last point is the last row's, in the same place as a short file's.
    const QString lastCsv = write("last.csv", "ident,lat,long\r\nP40000,45.40000,-93.40000\r\n");
    ASSERT_EQ(runConvertCommand({lastCsv, scratchPath("last.shp"), "--proj", "26915"}), 0);
    setUserInteraction(&ui);
    EXPECT_NEAR(point(scratchPath("p.shp"), rows)->X(), point(scratchPath("last.shp"), 1)->X(),
                1e-6);

    // And back: a shapefile and its table past the limit, to text.
    ASSERT_EQ(runConvertCommand({scratchPath("p.shp"), scratchPath("p.csv")}), 0);
    setUserInteraction(&ui);
    EXPECT_EQ(read(scratchPath("p.csv")).count('\n'), rows + 1);

    // A line keeps all its vertices in one table: too long a track is refused whole.
    EXPECT_EQ(runConvertCommand({write("track.csv", track), scratchPath("t.shp")}), 1);
    EXPECT_FALSE(QFile::exists(scratchPath("t.shp")));
}
