#include "app/AppVersion.h"
#include "app/QtUserInteraction.h"
#include "app/frmMain.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("trekora"));
    QApplication::setOrganizationName(QStringLiteral("trekora"));
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
