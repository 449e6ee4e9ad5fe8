// What convert says on a terminal about the rows and values it could not
// carry over, and the code page it writes.
#include "support/TestEnvironment.h"

#include <QFile>
#include <QProcess>

using namespace trekora;

class ConvertReportTest : public test::TestEnvironment {
protected:
    struct Run {
        int status = -1;
        QByteArray err;
    };
    Run convert(const QStringList& arguments) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", scratchPath("home"));
        env.insert("XDG_CONFIG_HOME", scratchPath("home/.config"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TREKORA_BIN_DIR "/trekora"),
                      QStringList{"convert"} + arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), process.readAllStandardError()};
    }
    QByteArray read(const QString& name) const {
        QFile file(scratchPath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(ConvertReportTest, RefusedRowsAndUnwritableValuesArePartialResults) {
    QFile input(scratchPath("in.csv"));
    ASSERT_TRUE(input.open(QIODevice::WriteOnly));
    input.write("name,lat,lon,desc\r\n"
                "a,48.85,2.35,caf\xC3\xA9\r\n"
                "b,48,8566,2.35,x\r\n" // a decimal comma splits the latitude
                "c,91,2.35,y\r\n"
                "d,10,20,\xCE\x95\xCE\xBB\r\n");
    input.close();

    const Run ansi = convert({input.fileName(), scratchPath("a.shp")});
    EXPECT_EQ(ansi.status, 3) << ansi.err.toStdString();
    EXPECT_EQ(read("a.cpg"), "1252");
    const QList<QByteArray> lines = ansi.err.trimmed().split('\n');
    for (const QByteArray& line : lines) {
        EXPECT_TRUE(line.startsWith("convert: ")) << line.toStdString();
        EXPECT_FALSE(line.contains('\r')) << line.toStdString();
    }
    EXPECT_TRUE(ansi.err.contains("convert: 2 records refused: record 2 long \"8566\" is outside "
                                  "-180 to 180; record 3 lat \"91\" is outside -90 to 90\n"))
        << ansi.err.toStdString();
    EXPECT_TRUE(ansi.err.contains("1 value not written: record 4 comment"))
        << ansi.err.toStdString();

    const Run utf8 = convert({input.fileName(), scratchPath("u.shp"), "--encoding", "utf-8"});
    EXPECT_EQ(utf8.status, 3); // the refused rows still make it partial
    EXPECT_EQ(read("u.cpg"), "UTF-8");
    EXPECT_FALSE(utf8.err.contains("not written")) << utf8.err.toStdString();
    EXPECT_TRUE(read("u.dbf").contains("\xCE\x95\xCE\xBB"));

    EXPECT_EQ(convert({input.fileName(), scratchPath("x.shp"), "--encoding", "latin9"}).status, 2);
}
