// --help and --version answer on standard output and end the program before
// any window, display or receiver is involved.
#include "app/AppVersion.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QByteArray out, err;
};

ProgramRun runWithoutDisplay(const QStringList& arguments) {
    QTemporaryDir home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(TREKORA_BIN_DIR "/trekora"), arguments);
    ProgramRun run;
    if (!program.waitForFinished(30000)) {
        program.kill();
        program.waitForFinished();
        return run;
    }
    run.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    run.out = program.readAllStandardOutput();
    run.err = program.readAllStandardError();
    // Nothing may have been stored: the program never got as far as its settings.
    EXPECT_FALSE(QFileInfo::exists(home.filePath("config/trekora/trekora.ini")));
    return run;
}

} // namespace

TEST(CommandLineHelp, HelpAndVersionPrintAndExitWithoutADisplay) {
    const QByteArray version = QByteArray("Trekora ") + QByteArray::number(trekora::kVersionMajor) +
                               '.' + QByteArray::number(trekora::kVersionMinor) + '.' +
                               QByteArray::number(trekora::kVersionRevision) + '\n';
    struct Case {
        QStringList arguments;
        QByteArray expectedStart;
    };
    const Case cases[] = {
        {{"--help"}, "usage: trekora "},
        {{"-h"}, "usage: trekora "},
        {{"--simulate", "--help"}, "usage: trekora "},
        {{"--version"}, version},
    };
    for (const Case& c : cases) {
        const ProgramRun run = runWithoutDisplay(c.arguments);
        const std::string what = c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, 0) << what << ": " << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(c.expectedStart)) << what << ": " << run.out.toStdString();
        EXPECT_TRUE(run.err.isEmpty()) << what << ": " << run.err.toStdString();
    }
}
