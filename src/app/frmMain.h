#pragma once

#include "app/ControlStates.h"
#include "app/HostPresence.h"
#include "app/TransferState.h"
#include "gps/SymbolCatalogue.h"
#include "table/TableHost.h"

#include <QElapsedTimer>
#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QActionGroup;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QUrl;

namespace trekora {

class GpsTable;
class GpsTableView;
class frmFields;
class frmShape;
class ProjectionPage;
struct IoContext;
class FieldChooser;
class frmAbout;
class frmHelp;
class frmProperties;
class frmInfo;
class frmQuietStatus;
class GarminLink;
class ReceiverConnection;
class TransferDispatcher;
class UploadSequencer;
class QuietDriver;

// How the program was started.
struct StartOptions {
    QStringList arguments; // the command line after the program name
    // False in tests and headless runs: no window, splash or browser is shown.
    bool interactive = true;
};

// The main window: owns the GPS data table and shows it, holds every menu
// command, the record-type options, the status bar and the live position
// labels, keeps the stored start-up settings and the control states.
class frmMain : public QMainWindow, public TableHost {
    Q_OBJECT
public:
    explicit frmMain(StartOptions options = {}, QWidget* parent = nullptr);
    ~frmMain() override;

    // The start-up sequence (settings, control states, placement, timer,
    // GIS-program check, splash, field settings, record type, port).
    void Form_Load();

    GpsTable& table() { return *m_table; }
    GpsTableView& tableView() { return *MSFlexGrid1; }

    // --- status and control states ---------------------------------------
    void Set_Msg(const QString& text);
    void Set_Controls(int state);
    // Panel 1 connection, 2 messages, 3 selection (1-based as the panels count).
    QString statusPanel(int panel) const;
    bool isControlEnabled(const QString& name) const;
    // Names of every command the control states switch that is enabled now.
    QStringList enabledControls() const;

    void RefreshApplications();
    const HostPresence& hostPresence() const { return m_hosts; }
    // The GIS-program checks; each returns false until its bridge exists.
    void setHostProbe(std::function<HostPresence()> probe) { m_hostProbe = std::move(probe); }

    // --- settings read at start -------------------------------------------
    bool quietMode() const { return m_quiet; }
    bool minimizeMode() const { return m_minimize; }
    QString commandLine() const { return m_commandLine; }
    int portIndex() const { return m_portIndex; }
    QString serialSettings() const { return m_serialSettings; }
    QString dialogFolder() const { return m_dialogFolder; }
    void setDialogFolder(const QString& folder) { m_dialogFolder = folder; }
    QString projectionCatalogue() const { return m_projectionCatalogue; }
    QString temporaryShapefile() const { return m_tempShapefile; }
    // True when the Meters entry of the Units menu is ticked.
    bool unitsMeters() const;
    int refreshIntervalMs() const { return Timer1.interval(); }
    bool tableShown() const;

    // The Open Port command run at start; the GPS link installs it.
    void setOpenPortHandler(std::function<void()> handler) { m_openPort = std::move(handler); }
    // How the manual is opened (the desktop's browser by default).
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { m_openUrl = std::move(opener); }
    // The program's own help window, once Help has needed it.
    frmHelp* helpWindow() const;
    // Another message mirror (the quiet status window).
    void setMessageMirror(std::function<void(const QString&)> mirror) {
        m_mirror = std::move(mirror);
    }

    // What the file commands work with: the table, the field-mapping and
    // output-shape dialogs and the projection hooks.
    IoContext& io() { return *m_io; }
    frmFields& fieldsDialog();
    frmShape& shapeDialog();
    void mnuAFile_Click();
    void mnuGetProjection_Click();
    void mnuProject_Click();
    void mnuUnproject_Click();
    void mnuFileL_Click();

    frmProperties& properties();
    void Open_Properties(int tab);
    // Brings the table view in line with the table now.
    void refreshTable();

    // --- the receiver ---------------------------------------------------------
    GarminLink& garmin() { return *m_garmin; }
    ReceiverConnection& connection() { return *m_connection; }
    TransferDispatcher& dispatcher() { return *m_dispatcher; }
    UploadSequencer& uploader() { return *m_uploader; }
    QuietDriver& quietDriver() { return *m_quietDriver; }
    TransferState& transferState() { return m_transferState; }
    void setConnectionPanel(const QString& text) { setPanelText(0, text); }
    void setSerialSettings(const QString& settings) { m_serialSettings = settings; }
    // Ticks one Set Port / Set Baud Rate entry (Set Baud Rate only for serial ports).
    void markPort(int index);
    void markBaud(int index);
    // Back to the default pointer however many waits are open.
    void resetBusy();
    // The transfer progress bar of the status bar: `done` of `total` records.
    void showTransferProgress(int done, int total);
    void endTransferProgress();
    bool transferProgressVisible() const;
    int transferProgressValue() const;
    // The quiet status window (null outside quiet mode).
    frmQuietStatus* quietStatus() const;
    void hideQuietStatus();
    frmInfo& infoWindow();

    // Busy flags other subsystems raise.
    bool screenShotBusy = false;
    bool transferBusy = false;
    bool transferFinished = true;
    bool realTimeActive = false;

    // --- TableHost ----------------------------------------------------------
    void setMessage(const QString& text) override;
    void setControls(int state) override;
    void setSelectionPanel(const QString& text) override;
    void showTableArea() override;
    void showTypeOption(const QString& typeKey) override;
    void setBusy(bool busy) override;
    bool realTimeRunning() const override { return realTimeActive; }
    QString clipboardText() const override;
    void setClipboardText(const QString& text) override;
    bool hasSymbolIcon(const QString& key) const override;
    // The symbol icons (filled by the symbol catalogue).
    QHash<QString, QIcon> symbolIcons;
    // Symbol codes: table → D103 and D103 → table.
    SymbolMap d103Symbols;
    SymbolMap d1xxSymbols;

    // --- controls ------------------------------------------------------------
    GpsTableView* MSFlexGrid1 = nullptr;
    QRadioButton* optWpt = nullptr;
    QRadioButton* optTrk = nullptr;
    QRadioButton* optRte = nullptr;
    QRadioButton* optRTWpt = nullptr;
    QPushButton* cmdAdvanced = nullptr;
    QPushButton* cmdAddRec = nullptr;
    QPushButton* cmdDeleteSel = nullptr;
    QPushButton* cmdClearSel = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdPaste = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* lblGPSDesc1 = nullptr;
    QLabel* lbllat = nullptr;
    QLabel* lbllon = nullptr;
    QLabel* lblAlt = nullptr;
    QLabel* lblepe = nullptr;
    QTimer Timer1;

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

public slots:
    void cmdAdvanced_Click();
    void cmdAddRec_Click();
    void cmdDeleteSel_Click();
    void cmdClearSel_Click();
    void cmdCopy_Click();
    void cmdPaste_Click();
    void mnuClearTable_Click();
    void mnuColumnsAutoFit_Click();
    void MSFlexGrid1_DblClick();
    void MSFlexGrid1_HeaderClick(int col);
    void MSFlexGrid1_SelChange();
    void opt_Click(const QString& typeKey);
    void mnuUnits_Click(bool feet);
    void mnuSetRefreshRate_Click();
    void mnuRefreshApps_Click();
    void mnuHelpIndex_Click();
    void mnuAbout_Click();
    void mnuPort_Click(int index);
    void mnuBaudRate_Click(int index);
    void mnuOpenPort_Click();
    void mnuClosePort_Click();
    void mnuResetGarmin_Click();
    void mnuGarminInfo_Click();
    void mnuWDownload_Click();
    void mnuTDownload_Click();
    void mnuRDownload_Click();
    void mnuWUpload_Click();
    void mnuTUpload_Click();
    void mnuRUpload_Click();
    void mnuExit_Click();
    void Timer1_Timer();
    void RefreshPortMenu();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setPanelText(int index, const QString& text);
    void installProjectionHooks();
    void flushPanels();
    void buildMenus();
    void buildControls();
    QMenu* addMenu(QMenu* parent, QMenu*& member, const char* name, const QString& caption);
    QAction* addItem(QMenu* menu, QAction*& member, const char* name, const QString& caption);
    void registerControl(const QString& name, QObject* control);
    void Form_Resize();
    void layoutControls();
    void placeWindow();
    void applyStartupSettings();
    void validateFieldSettings();
    void clearPositionLabels();
    void scheduleTableSync();
    void Form_Unload();
    void createReceiver();
    void runQuietTask();

    StartOptions m_options;
    std::unique_ptr<GarminLink> m_garmin;
    TransferState m_transferState;
    std::unique_ptr<ReceiverConnection> m_connection;
    std::unique_ptr<UploadSequencer> m_uploader;
    std::unique_ptr<TransferDispatcher> m_dispatcher;
    std::unique_ptr<QuietDriver> m_quietDriver;
    QPointer<frmQuietStatus> m_quietStatus;
    QPointer<frmInfo> m_info;
    QProgressBar* m_progress = nullptr;
    std::unique_ptr<GpsTable> m_table;
    QPointer<frmFields> m_fields;
    QPointer<frmShape> m_shape;
    QPointer<ProjectionPage> m_projectionPage;
    std::unique_ptr<FieldChooser> m_chooser;
    std::unique_ptr<IoContext> m_io;
    QHash<QString, QObject*> m_controls;
    std::array<QLabel*, 3> m_panels{};
    std::array<QString, 3> m_panelText;
    QTimer m_panelTimer;
    QElapsedTimer m_panelClock; // since the labels were last brought up to date
    std::optional<std::pair<int, ControlStates::Context>> m_lastControls;
    QActionGroup* m_portGroup = nullptr;
    QActionGroup* m_baudGroup = nullptr;
    QActionGroup* m_unitGroup = nullptr;
    QTimer m_syncTimer;
    QPointer<frmProperties> m_properties;
    QPointer<frmAbout> m_about;
    QPointer<frmHelp> m_help;
    QPointer<QWidget> m_splash;

    bool m_quiet = false;
    bool m_minimize = false;
    QString m_commandLine;
    int m_portIndex = 1;
    QString m_serialSettings;
    QString m_dialogFolder;
    QString m_projectionCatalogue = QStringLiteral("epsg");
    QString m_tempShapefile;
    HostPresence m_hosts;
    std::function<HostPresence()> m_hostProbe;
    std::function<void()> m_openPort;
    std::function<bool(const QUrl&)> m_openUrl;
    std::function<void(const QString&)> m_mirror;
    int m_busyDepth = 0;
    bool m_unloaded = false;
};

} // namespace trekora
