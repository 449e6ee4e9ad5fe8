#include "app/CommandLineHelp.h"

#include "app/AppVersion.h"

namespace trekora::CommandLineHelp {

Request requested(const QStringList& arguments) {
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("convert"))
        return Request::None;
    for (const QString& a : arguments) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return Request::Help;
        if (a == QLatin1String("--version"))
            return Request::Version;
    }
    return Request::None;
}

QString versionText() {
    return QStringLiteral("%1 %2.%3.%4\n")
        .arg(QString::fromLatin1(kAppTitle))
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

QString usageText() {
    return QStringLiteral(
        "usage: trekora [--device PATH | --simulate[=FILE.gpx]] [minimize]\n"
        "       trekora [--device PATH | --simulate[=FILE.gpx]] quiet,TASK...\n"
        "       trekora convert INPUT OUTPUT [--from CODE] [--proj CODE]\n"
        "                       [--shape point|line|polygon] [--append] [--encoding 1252|utf-8]\n"
        "       trekora --help | --version\n"
        "\n"
        "Without arguments the program opens its window and connects to the receiver\n"
        "on the stored port.\n"
        "\n"
        "  --device PATH          use PATH (a serial device) as the current port's device\n"
        "  --simulate[=FILE.gpx]  start a simulated receiver as the current port's device,\n"
        "                         serving the demo data or the file's waypoints, routes\n"
        "                         and tracks\n"
        "  minimize               start with the window minimised\n"
        "  quiet,...              run one task without questions and exit; no display is\n"
        "                         needed:\n"
        "                           quiet,download,waypoint|track,point|line|polygon,FILE[,CODE]\n"
        "                           quiet,upload,waypoint|track,-,FILE[,CODE]\n"
        "                           quiet,rt_start,SECONDS,METRES,FILE.shp[,CODE]\n"
        "                         (FILE ends in .shp, .dbf or .txt; exit status 0 done,\n"
        "                         1 failed, 2 usage error, 3 partial)\n"
        "  convert                convert between shapefiles, dBASE tables and delimited\n"
        "                         text without a window (exit status as for quiet)\n"
        "  --help                 print this text and exit\n"
        "  --version              print the version and exit\n");
}

} // namespace trekora::CommandLineHelp
