#include "app/ApplicationIdentity.h"
#include "app/CommandLineHelp.h"
#include "app/ConvertCommand.h"
#include "app/DeviceOptions.h"
#include "app/QtUserInteraction.h"
#include "app/QuietCommand.h"
#include "app/frmMain.h"
#include "core/ScriptedInteraction.h"
#include "io/ShapeNotices.h"
#include "sim/SimulatedReceiver.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdlib>
#include <cstring>

namespace {

// "trekora convert ...": a batch conversion that needs no display.
int runConvert(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    trekora::nameApplication();
    return trekora::runConvertCommand(QCoreApplication::arguments().mid(2));
}

bool displayAvailable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

QStringList rawArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// --help and --version print and exit before any window or display.
int answerHelpRequest(trekora::CommandLineHelp::Request request) {
    using trekora::CommandLineHelp::Request;
    const QString text = request == Request::Help ? trekora::CommandLineHelp::usageText()
                                                  : trekora::CommandLineHelp::versionText();
    QTextStream(stdout) << text;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const auto help = trekora::CommandLineHelp::requested(rawArguments(argc, argv));
    if (help != trekora::CommandLineHelp::Request::None)
        return answerHelpRequest(help);
    // The file library tells and asks through the program's boxes.
    trekora::installShapeNotices();
    if (argc > 1 && std::strcmp(argv[1], "convert") == 0)
        return runConvert(argc, argv);

    const trekora::DeviceOptions devices = trekora::DeviceOptions::take(rawArguments(argc, argv));
    // Quiet tasks run from scripts and cron jobs: without a display they need
    // none. A line too short to be a task would leave an invisible program
    // behind, so it is refused.
    if (devices.quietTask() && !displayAvailable()) {
        if (!trekora::QuietCommand::hasAllFields(devices.remaining.join(QLatin1Char(' ')))) {
            QTextStream(stderr) << trekora::QuietCommand::usage() << '\n';
            return static_cast<int>(trekora::QuietExit::Usage);
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    trekora::nameDesktopApplication();
    if (!devices.error.isEmpty()) {
        QTextStream(stderr) << devices.error << '\n';
        return 2;
    }

    // Quiet tasks ask nothing: every box is answered with its default and
    // echoed to standard error.
    trekora::QtUserInteraction interactive;
    trekora::ScriptedInteraction unattended;
    unattended.setEcho(true);
    if (devices.quietTask())
        trekora::setUserInteraction(&unattended);
    else
        trekora::setUserInteraction(&interactive);

    trekora::DeviceSession session;
    QString error;
    if (!session.apply(devices, &error)) {
        QTextStream(stderr) << "trekora: the simulated receiver did not start: " << error << '\n';
        trekora::setUserInteraction(nullptr);
        return 1;
    }

    trekora::StartOptions options;
    options.arguments = devices.remaining;
    int status = 0;
    {
        trekora::frmMain window(options);
        window.Form_Load();
        status = QApplication::exec();
    }
    trekora::setUserInteraction(nullptr);
    return status;
}
