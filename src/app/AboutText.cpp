#include "app/AboutText.h"

#include "app/AppVersion.h"

namespace trekora::AboutText {

QString title() {
    return QStringLiteral("About ") + QString::fromLatin1(kAppTitle);
}

QString version() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

QStringList credits() {
    return {QStringLiteral("Coordinate projection: PROJ (https://proj.org)"),
            QStringLiteral("GPS link: Trekora's own implementation of the Garmin serial and USB "
                           "protocol"),
            QStringLiteral("Image information: libexif")};
}

} // namespace trekora::AboutText
