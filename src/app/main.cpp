#include "app/AppVersion.h"
#include "app/ConvertCommand.h"
#include "app/QtUserInteraction.h"
#include "app/frmMain.h"

#include <QApplication>
#include <QCoreApplication>
#include <cstring>

namespace {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("trekora"));
    QCoreApplication::setOrganizationName(QStringLiteral("trekora"));
}

// "trekora convert ...": a batch conversion that needs no display.
int runConvert(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    nameApplication();
    return trekora::runConvertCommand(QCoreApplication::arguments().mid(2));
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "convert") == 0)
        return runConvert(argc, argv);

    QApplication app(argc, argv);
    nameApplication();
    QApplication::setApplicationDisplayName(QString::fromLatin1(trekora::kAppTitle));

    trekora::QtUserInteraction interaction;
    trekora::setUserInteraction(&interaction);

    trekora::StartOptions options;
    options.arguments = QApplication::arguments().mid(1);
    int status = 0;
    {
        trekora::frmMain window(options);
        window.Form_Load();
        status = QApplication::exec();
    }
    trekora::setUserInteraction(nullptr);
    return status;
}
