#pragma once

#include "app/ControlStates.h"
#include "app/HostPresence.h"
#include "app/MainControls.h"
#include "app/MainMenus.h"
#include "app/TransferState.h"
#include "gps/SymbolCatalogue.h"
#include "table/TableHost.h"

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
class ReceiverSession;
class StatusPanels;
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
    GpsTableView& tableView() { return *m_controls.MSFlexGrid1; }

    // --- status and control states ---------------------------------------
    void Set_Msg(const QString& text);
    void Set_Controls(ControlState state);
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
    ReceiverSession& session() { return *m_session; }
    GarminLink& garmin();
    ReceiverConnection& connection() { return *m_connection; }
    TransferDispatcher& dispatcher() { return *m_dispatcher; }
    UploadSequencer& uploader() { return *m_uploader; }
    QuietDriver& quietDriver() { return *m_quietDriver; }
    TransferState& transferState() { return m_transferState; }
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
    // A problem a quiet task met, for the calling script (quiet mode only).
    void quietReport(const QString& text);
    frmInfo& infoWindow();

    // --- TableHost ----------------------------------------------------------
    void setMessage(const QString& text) override;
    void setControls(ControlState state) override;
    void setSelectionPanel(const QString& text) override;
    void showTableArea() override;
    void showTypeOption(const QString& typeKey) override;
    void setBusy(bool busy) override;
    bool realTimeRunning() const override;
    QString clipboardText() const override;
    void setClipboardText(const QString& text) override;
    bool hasSymbolIcon(const QString& key) const override;
    void reportError(const TableStatus& status) override;

    // The symbol icons (filled by the symbol catalogue).
    QHash<QString, QIcon>& symbolIcons() { return m_symbolIcons; }
    // Symbol codes: table → D103 and D103 → table.
    const SymbolMap& d103Symbols() const { return m_d103Symbols; }
    const SymbolMap& d1xxSymbols() const { return m_d1xxSymbols; }

    // --- controls ------------------------------------------------------------
    const MainMenus& menus() const { return m_menus; }
    const MainControls& controls() const { return m_controls; }
    // The control registered under `name` (a menu entry, button, option or
    // label); null for a name no control has.
    QObject* control(const QString& name) const { return m_registry.value(name); }
    // The periodic check for GIS programs and serial ports.
    const QTimer& refreshTimer() const { return Timer1; }
    // The receiver description and position labels.
    void showReceiverDescription(const QString& text);
    void showPosition(const QString& latitude, const QString& longitude);

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
    void buildMenus();
    void connectMenus();
    void buildControls();
    void registerControl(const QString& name, QObject* control);
    void Form_Resize();
    void placeWindow();
    void applyStartupSettings();
    void validateFieldSettings();
    void setControlEnabled(const QString& name, bool enabled);
    void clearPositionLabels();
    void scheduleTableSync();
    void Form_Unload();
    void createReceiver();
    void runQuietTask();
    void showConnection();
    void onConnectionLost();

    StartOptions m_options;
    MainMenus m_menus;
    MainControls m_controls;
    StatusPanels* m_status = nullptr;
    QTimer Timer1;
    QHash<QString, QIcon> m_symbolIcons;
    SymbolMap m_d103Symbols;
    SymbolMap m_d1xxSymbols;
    std::unique_ptr<ReceiverSession> m_session;
    TransferState m_transferState;
    std::unique_ptr<ReceiverConnection> m_connection;
    std::unique_ptr<UploadSequencer> m_uploader;
    std::unique_ptr<TransferDispatcher> m_dispatcher;
    std::unique_ptr<QuietDriver> m_quietDriver;
    QPointer<frmQuietStatus> m_quietStatus;
    QPointer<frmInfo> m_info;
    std::unique_ptr<GpsTable> m_table;
    QPointer<frmFields> m_fields;
    QPointer<frmShape> m_shape;
    QPointer<ProjectionPage> m_projectionPage;
    std::unique_ptr<FieldChooser> m_chooser;
    std::unique_ptr<IoContext> m_io;
    QHash<QString, QObject*> m_registry;
    std::optional<std::pair<ControlState, ControlStates::Context>> m_lastControls;
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
