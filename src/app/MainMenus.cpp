#include "app/MainMenus.h"

#include "app/StartupSettings.h"

#include <QActionGroup>
#include <QHash>
#include <QMenu>
#include <QMenuBar>

namespace trekora {

namespace {

enum class Kind {
    Menu,      // a menu (on the bar when it has no parent)
    Item,      // a command
    Separator, // a line in the parent menu
    Ports,     // USB and Port 1 ... 10, checkable, one at a time
    BaudRates, // the seven rates, checkable, one at a time
};

struct Entry {
    Kind kind;
    const char* parent;
    const char* name;
    const char* caption;
    QMenu* MainMenus::*menu;
    QAction* MainMenus::*action;
};

// The menu tree in display order. Names are the control names the control
// states and the tests use.
const Entry kEntries[] = {
    {Kind::Menu, nullptr, "mnuFile", "&File", &MainMenus::mnuFile, nullptr},
    {Kind::Menu, "mnuFile", "mnuLoadFrom", "Load From", &MainMenus::mnuLoadFrom, nullptr},
    {Kind::Item, "mnuLoadFrom", "mnuFileL", "File...", nullptr, &MainMenus::mnuFileL},
    {Kind::Menu, "mnuLoadFrom", "mnuAVLoad", "ArcView", &MainMenus::mnuAVLoad, nullptr},
    {Kind::Item, "mnuAVLoad", "mnuAVTheme", "Theme", nullptr, &MainMenus::mnuAVTheme},
    {Kind::Item, "mnuAVLoad", "mnuAVGraphic", "Graphic", nullptr, &MainMenus::mnuAVGraphic},
    {Kind::Menu, "mnuLoadFrom", "mnuArcMapLoad", "ArcMap", &MainMenus::mnuArcMapLoad, nullptr},
    {Kind::Item, "mnuArcMapLoad", "mnuArcMapLayerL", "Layer", nullptr, &MainMenus::mnuArcMapLayerL},
    {Kind::Item, "mnuArcMapLoad", "mnuArcMapGraphicL", "Graphic", nullptr,
     &MainMenus::mnuArcMapGraphicL},
    {Kind::Menu, "mnuLoadFrom", "mnuLVLoad", "Landview", &MainMenus::mnuLVLoad, nullptr},
    {Kind::Item, "mnuLVLoad", "mnuLVCurrentL", "Current Location", nullptr,
     &MainMenus::mnuLVCurrentL},
    {Kind::Item, "mnuLVLoad", "mnuLVUserListL", "User List", nullptr, &MainMenus::mnuLVUserListL},
    {Kind::Item, "mnuLVLoad", "mnuLVMeasureL", "Measure Tool", nullptr, &MainMenus::mnuLVMeasureL},
    {Kind::Item, "mnuLVLoad", "mnuLVLayerL", "Layer", nullptr, &MainMenus::mnuLVLayerL},
    {Kind::Menu, "mnuFile", "mnuSaveTo", "Save To", &MainMenus::mnuSaveTo, nullptr},
    {Kind::Item, "mnuSaveTo", "mnuAFile", "File...", nullptr, &MainMenus::mnuAFile},
    {Kind::Item, "mnuSaveTo", "mnuUtf8Tables", "Write Tables as &UTF-8", nullptr,
     &MainMenus::mnuUtf8Tables},
    {Kind::Menu, "mnuSaveTo", "mnuAVSave", "ArcView", &MainMenus::mnuAVSave, nullptr},
    {Kind::Item, "mnuAVSave", "mnuShapefile", "Shapefile...", nullptr, &MainMenus::mnuShapefile},
    {Kind::Item, "mnuAVSave", "mnuGraphic", "Graphic", nullptr, &MainMenus::mnuGraphic},
    {Kind::Menu, "mnuSaveTo", "mnuArcMapSave", "ArcMap", &MainMenus::mnuArcMapSave, nullptr},
    {Kind::Item, "mnuArcMapSave", "mnuArcMapLayerS", "Shapefile Layer...", nullptr,
     &MainMenus::mnuArcMapLayerS},
    {Kind::Item, "mnuArcMapSave", "mnuArcMapGDBS", "Geodatabase Feature Class ...", nullptr,
     &MainMenus::mnuArcMapGDBS},
    {Kind::Item, "mnuArcMapSave", "mnuArcMapGraphicS", "Graphic", nullptr,
     &MainMenus::mnuArcMapGraphicS},
    {Kind::Menu, "mnuSaveTo", "mnuLVSave", "Landview", &MainMenus::mnuLVSave, nullptr},
    {Kind::Item, "mnuLVSave", "mnuLVCurrentS", "Current Location", nullptr,
     &MainMenus::mnuLVCurrentS},
    {Kind::Item, "mnuLVSave", "mnuLVUserListS", "User List", nullptr, &MainMenus::mnuLVUserListS},
    {Kind::Menu, "mnuLVSave", "mnuLVMeasureS", "Measure Tool", &MainMenus::mnuLVMeasureS, nullptr},
    {Kind::Item, "mnuLVMeasureS", "mnuLVLineS", "Line", nullptr, &MainMenus::mnuLVLineS},
    {Kind::Item, "mnuLVMeasureS", "mnuLVPolygonS", "Polygon", nullptr, &MainMenus::mnuLVPolygonS},
    {Kind::Item, "mnuLVSave", "mnuLVLayerS", "Layer...", nullptr, &MainMenus::mnuLVLayerS},
    {Kind::Menu, "mnuSaveTo", "mnuAESave", "ArcExplorer 2.0", &MainMenus::mnuAESave, nullptr},
    {Kind::Item, "mnuAESave", "mnuShapefileAE", "Shapefile Layer...", nullptr,
     &MainMenus::mnuShapefileAE},
    {Kind::Separator, "mnuFile", nullptr, nullptr, nullptr, nullptr},
    {Kind::Item, "mnuFile", "mnuSetProjection", "Set Projection", nullptr,
     &MainMenus::mnuSetProjection},
    {Kind::Item, "mnuFile", "mnuGetProjection", "Get Projection", nullptr,
     &MainMenus::mnuGetProjection},
    {Kind::Separator, "mnuFile", nullptr, nullptr, nullptr, nullptr},
    {Kind::Item, "mnuFile", "mnuRefreshApps", "Refresh Apps", nullptr, &MainMenus::mnuRefreshApps},
    {Kind::Item, "mnuFile", "mnuSetRefreshRate", "Set App Refresh Rate", nullptr,
     &MainMenus::mnuSetRefreshRate},
    {Kind::Separator, "mnuFile", nullptr, nullptr, nullptr, nullptr},
    {Kind::Item, "mnuFile", "mnuExit", "E&xit", nullptr, &MainMenus::mnuExit},
    {Kind::Menu, nullptr, "mnuEdit", "Edit", &MainMenus::mnuEdit, nullptr},
    {Kind::Item, "mnuEdit", "mnuCopy", "Copy", nullptr, &MainMenus::mnuCopy},
    {Kind::Item, "mnuEdit", "mnuPaste", "Paste", nullptr, &MainMenus::mnuPaste},
    {Kind::Separator, "mnuEdit", nullptr, nullptr, nullptr, nullptr},
    {Kind::Item, "mnuEdit", "mnuAddRecord", "Add Record", nullptr, &MainMenus::mnuAddRecord},
    {Kind::Item, "mnuEdit", "mnuDelete", "Delete Selection", nullptr, &MainMenus::mnuDelete},
    {Kind::Item, "mnuEdit", "mnuClearTable", "Empty Table", nullptr, &MainMenus::mnuClearTable},
    {Kind::Item, "mnuEdit", "mnuClearSelection", "Clear Selection", nullptr,
     &MainMenus::mnuClearSelection},
    {Kind::Item, "mnuEdit", "mnuColumnsAutoFit", "Auto Fit Columns", nullptr,
     &MainMenus::mnuColumnsAutoFit},
    {Kind::Separator, "mnuEdit", nullptr, nullptr, nullptr, nullptr},
    {Kind::Item, "mnuEdit", "mnuProject", "Project Coordinates", nullptr, &MainMenus::mnuProject},
    {Kind::Item, "mnuEdit", "mnuUnproject", "Unproject Coordinates", nullptr,
     &MainMenus::mnuUnproject},
    {Kind::Separator, "mnuEdit", nullptr, nullptr, nullptr, nullptr},
    {Kind::Item, "mnuEdit", "mnuCEP", "Calculate CEP...", nullptr, &MainMenus::mnuCEP},
    {Kind::Item, "mnuEdit", "mnuHotlink", "Add Image Hotlinks...", nullptr, &MainMenus::mnuHotlink},
    {Kind::Menu, nullptr, "mnuGPS", "GPS", &MainMenus::mnuGPS, nullptr},
    {Kind::Menu, "mnuGPS", "mnuSetPort", "&Set  Port", &MainMenus::mnuSetPort, nullptr},
    {Kind::Ports, "mnuSetPort", nullptr, nullptr, nullptr, nullptr},
    {Kind::Menu, "mnuGPS", "mnuBaud", "Set Baud Rate", &MainMenus::mnuBaud, nullptr},
    {Kind::BaudRates, "mnuBaud", nullptr, nullptr, nullptr, nullptr},
    {Kind::Item, "mnuGPS", "mnuOpenPort", "&Open Port", nullptr, &MainMenus::mnuOpenPort},
    {Kind::Item, "mnuGPS", "mnuClosePort", "&Close Port", nullptr, &MainMenus::mnuClosePort},
    {Kind::Item, "mnuGPS", "mnuResetGarmin", "Reset Garmin", nullptr, &MainMenus::mnuResetGarmin},
    {Kind::Item, "mnuGPS", "mnuGarminInfo", "Garmin Info", nullptr, &MainMenus::mnuGarminInfo},
    {Kind::Menu, "mnuGPS", "mnuUnits", "Units", &MainMenus::mnuUnits, nullptr},
    {Kind::Item, "mnuUnits", "mnuMeters", "Meters", nullptr, &MainMenus::mnuMeters},
    {Kind::Item, "mnuUnits", "mnuFeet", "Feet", nullptr, &MainMenus::mnuFeet},
    {Kind::Item, "mnuGPS", "mnuScreenShot", "Garmin Screen Shot", nullptr,
     &MainMenus::mnuScreenShot},
    {Kind::Menu, nullptr, "mnuWaypoint", "Waypoint", &MainMenus::mnuWaypoint, nullptr},
    {Kind::Item, "mnuWaypoint", "mnuWptDownload", "Download", nullptr, &MainMenus::mnuWptDownload},
    {Kind::Item, "mnuWaypoint", "mnuWptUpload", "Upload", nullptr, &MainMenus::mnuWptUpload},
    {Kind::Item, "mnuWaypoint", "mnuWptProperties", "Waypoint Properties...", nullptr,
     &MainMenus::mnuWptProperties},
    {Kind::Menu, nullptr, "mnuTrack", "Track", &MainMenus::mnuTrack, nullptr},
    {Kind::Item, "mnuTrack", "mnuTrkDownload", "Download", nullptr, &MainMenus::mnuTrkDownload},
    {Kind::Item, "mnuTrack", "mnuTrkUpload", "Upload", nullptr, &MainMenus::mnuTrkUpload},
    {Kind::Item, "mnuTrack", "mnuTrkProperties", "Track Properties...", nullptr,
     &MainMenus::mnuTrkProperties},
    {Kind::Menu, nullptr, "mnuRoute", "Route", &MainMenus::mnuRoute, nullptr},
    {Kind::Item, "mnuRoute", "mnuRteDownload", "Download", nullptr, &MainMenus::mnuRteDownload},
    {Kind::Item, "mnuRoute", "mnuRteUpload", "Upload", nullptr, &MainMenus::mnuRteUpload},
    {Kind::Item, "mnuRoute", "mnuRteProperties", "Route Properties...", nullptr,
     &MainMenus::mnuRteProperties},
    {Kind::Menu, nullptr, "mnuRealTime", "Real Time", &MainMenus::mnuRealTime, nullptr},
    {Kind::Item, "mnuRealTime", "mnuStartRT", "START Real Time Tracking", nullptr,
     &MainMenus::mnuStartRT},
    {Kind::Item, "mnuRealTime", "mnuStopRT", "STOP Real Time Tracking", nullptr,
     &MainMenus::mnuStopRT},
    {Kind::Separator, "mnuRealTime", nullptr, nullptr, nullptr, nullptr},
    {Kind::Item, "mnuRealTime", "mnuNMEA", "View NMEA Strings", nullptr, &MainMenus::mnuNMEA},
    {Kind::Separator, "mnuRealTime", nullptr, nullptr, nullptr, nullptr},
    {Kind::Item, "mnuRealTime", "mnuRTProperties", "Real Time Properties...", nullptr,
     &MainMenus::mnuRTProperties},
    {Kind::Menu, nullptr, "mnuHelp", "Help", &MainMenus::mnuHelp, nullptr},
    {Kind::Item, "mnuHelp", "mnuHelpIndex", "Orvane Help File Index...", nullptr,
     &MainMenus::mnuHelpIndex},
    {Kind::Item, "mnuHelp", "mnuAbout", "About Trekora Extension...", nullptr,
     &MainMenus::mnuAbout},
};

} // namespace

void MainMenus::build(QMenuBar& bar, QObject& owner, const Registrar& registerControl) {
    QHash<QString, QMenu*> menus;
    auto checkableGroup = [&owner](QAction* action, QActionGroup*& group) {
        if (!group)
            group = new QActionGroup(&owner);
        action->setCheckable(true);
        group->addAction(action);
    };
    for (const Entry& entry : kEntries) {
        QMenu* parent = entry.parent ? menus.value(QString::fromLatin1(entry.parent)) : nullptr;
        const QString name = entry.name ? QString::fromLatin1(entry.name) : QString();
        const QString caption = entry.caption ? QString::fromLatin1(entry.caption) : QString();
        switch (entry.kind) {
        case Kind::Menu: {
            QMenu* menu = parent ? parent->addMenu(caption) : bar.addMenu(caption);
            menu->setObjectName(name);
            this->*entry.menu = menu;
            menus.insert(name, menu);
            registerControl(name, menu->menuAction());
            break;
        }
        case Kind::Item:
            this->*entry.action = parent->addAction(caption);
            registerControl(name, this->*entry.action);
            break;
        case Kind::Separator:
            parent->addSeparator();
            break;
        case Kind::Ports:
            for (size_t n = 0; n < mnuPort.size(); ++n) {
                mnuPort[n] = parent->addAction(n == 0 ? QStringLiteral("USB")
                                                      : QStringLiteral("Port %1").arg(n));
                registerControl(QStringLiteral("mnuPort%1").arg(n), mnuPort[n]);
                checkableGroup(mnuPort[n], portGroup);
            }
            break;
        case Kind::BaudRates:
            for (size_t i = 0; i < mnuBaudRate.size(); ++i) {
                mnuBaudRate[i] = parent->addAction(QString::fromLatin1(kBaudCaptions[i]));
                registerControl(QStringLiteral("mnuBaudRate%1").arg(i), mnuBaudRate[i]);
                checkableGroup(mnuBaudRate[i], baudGroup);
            }
            break;
        }
    }
    for (QAction* unit : {mnuMeters, mnuFeet})
        checkableGroup(unit, unitGroup);
    mnuMeters->setChecked(true);
}

} // namespace trekora
