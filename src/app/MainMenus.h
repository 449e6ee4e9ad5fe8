#pragma once

#include <QString>
#include <array>
#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QObject;

namespace trekora {

// The main window's menu tree. Its entries, their names and captions are one
// table (MainMenus.cpp); building it fills these pointers and registers every
// entry under its name, so the control states can reach it.
struct MainMenus {
    // Learns the name of each entry built.
    using Registrar = std::function<void(const QString& name, QObject* control)>;

    // Adds the menus to `bar`; the action groups are children of `owner`.
    void build(QMenuBar& bar, QObject& owner, const Registrar& registerControl);

    // File menu
    QMenu* mnuFile = nullptr;
    QMenu* mnuLoadFrom = nullptr;
    QAction* mnuFileL = nullptr;
    QMenu* mnuAVLoad = nullptr;
    QAction* mnuAVTheme = nullptr;
    QAction* mnuAVGraphic = nullptr;
    QMenu* mnuArcMapLoad = nullptr;
    QAction* mnuArcMapLayerL = nullptr;
    QAction* mnuArcMapGraphicL = nullptr;
    QMenu* mnuLVLoad = nullptr;
    QAction* mnuLVCurrentL = nullptr;
    QAction* mnuLVUserListL = nullptr;
    QAction* mnuLVMeasureL = nullptr;
    QAction* mnuLVLayerL = nullptr;
    QMenu* mnuSaveTo = nullptr;
    QAction* mnuAFile = nullptr;
    // Beyond the classic menus: new tables and text files in UTF-8 (checkable).
    QAction* mnuUtf8Tables = nullptr;
    QMenu* mnuAVSave = nullptr;
    QAction* mnuShapefile = nullptr;
    QAction* mnuGraphic = nullptr;
    QMenu* mnuArcMapSave = nullptr;
    QAction* mnuArcMapLayerS = nullptr;
    QAction* mnuArcMapGDBS = nullptr;
    QAction* mnuArcMapGraphicS = nullptr;
    QMenu* mnuLVSave = nullptr;
    QAction* mnuLVCurrentS = nullptr;
    QAction* mnuLVUserListS = nullptr;
    QMenu* mnuLVMeasureS = nullptr;
    QAction* mnuLVLineS = nullptr;
    QAction* mnuLVPolygonS = nullptr;
    QAction* mnuLVLayerS = nullptr;
    QMenu* mnuAESave = nullptr;
    QAction* mnuShapefileAE = nullptr;
    QAction* mnuSetProjection = nullptr;
    QAction* mnuGetProjection = nullptr;
    QAction* mnuRefreshApps = nullptr;
    QAction* mnuSetRefreshRate = nullptr;
    QAction* mnuExit = nullptr;
    // Edit menu
    QMenu* mnuEdit = nullptr;
    QAction* mnuCopy = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* mnuAddRecord = nullptr;
    QAction* mnuDelete = nullptr;
    QAction* mnuClearTable = nullptr;
    QAction* mnuClearSelection = nullptr;
    QAction* mnuColumnsAutoFit = nullptr;
    QAction* mnuProject = nullptr;
    QAction* mnuUnproject = nullptr;
    QAction* mnuCEP = nullptr;
    QAction* mnuHotlink = nullptr;
    // GPS menu
    QMenu* mnuGPS = nullptr;
    QMenu* mnuSetPort = nullptr;
    std::array<QAction*, 11> mnuPort{}; // 0 = USB, n = Port n
    QMenu* mnuBaud = nullptr;
    std::array<QAction*, 7> mnuBaudRate{};
    QAction* mnuOpenPort = nullptr;
    QAction* mnuClosePort = nullptr;
    QAction* mnuResetGarmin = nullptr;
    QAction* mnuGarminInfo = nullptr;
    QMenu* mnuUnits = nullptr;
    QAction* mnuMeters = nullptr;
    QAction* mnuFeet = nullptr;
    QAction* mnuScreenShot = nullptr;
    // Waypoint, Track, Route menus
    QMenu* mnuWaypoint = nullptr;
    QAction* mnuWptDownload = nullptr;
    QAction* mnuWptUpload = nullptr;
    QAction* mnuWptProperties = nullptr;
    QMenu* mnuTrack = nullptr;
    QAction* mnuTrkDownload = nullptr;
    QAction* mnuTrkUpload = nullptr;
    QAction* mnuTrkProperties = nullptr;
    QMenu* mnuRoute = nullptr;
    QAction* mnuRteDownload = nullptr;
    QAction* mnuRteUpload = nullptr;
    QAction* mnuRteProperties = nullptr;
    // Real Time menu
    QMenu* mnuRealTime = nullptr;
    QAction* mnuStartRT = nullptr;
    QAction* mnuStopRT = nullptr;
    QAction* mnuNMEA = nullptr;
    QAction* mnuRTProperties = nullptr;
    // Help menu
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpIndex = nullptr;
    QAction* mnuAbout = nullptr;

    QActionGroup* portGroup = nullptr;
    QActionGroup* baudGroup = nullptr;
    QActionGroup* unitGroup = nullptr;
};

} // namespace trekora
