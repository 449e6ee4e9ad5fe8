#include "app/ApplicationIdentity.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace trekora {

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("trekora"));
    QCoreApplication::setOrganizationName(QStringLiteral("trekora"));
}

void nameDesktopApplication() {
    nameApplication();
    // Matches the installed net.trekora.Trekora.desktop, so the desktop
    // shows the program's icon and name for its windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("net.trekora.Trekora"));
}

} // namespace trekora
