#include "app/ConvertCommand.h"
#include "core/Settings.h"
#include "shapes/CFileName.h"
#include "shapes/CPoint.h"
#include "shapes/CShapeFile.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QProcess>

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
