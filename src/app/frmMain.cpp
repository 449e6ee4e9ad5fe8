#include "app/frmMain.h"

#include "app/ProjectionMessages.h"
#include "app/ProjectionPage.h"
#include "app/QuietDriver.h"
#include "app/ReceiverConnection.h"
#include "app/TransferDispatcher.h"
#include "app/UploadSequencer.h"
#include "app/frmFields.h"
#include "app/frmInfo.h"
#include "app/frmQuietStatus.h"
#include "app/frmShape.h"
#include "gps/GarminLink.h"
#include "gps/ReceiverSession.h"
#include "io/FileImport.h"
#include "io/IoContext.h"
#include "io/IoReport.h"
#include "io/ShapefileExport.h"
#include "proj/CurrentProjection.h"

#include "app/AppVersion.h"
#include "app/CommandAvailability.h"
#include "app/ControlStates.h"
#include "app/GpsTableView.h"
#include "app/StartupSettings.h"
#include "app/StatusPanels.h"
#include "app/SymbolImages.h"
#include "app/TableCommands.h"
#include "app/WindowSizing.h"
#include "app/frmAbout.h"
#include "app/frmHelp.h"
#include "app/frmProperties.h"
#include "app/frmSplash.h"
#include "app/frmWptSelect.h"
#include "core/AppPaths.h"
#include "core/Settings.h"
#include "core/UserInteraction.h"
#include "table/FieldCatalogue.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"
#include "table/RecordKind.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QUrl>

namespace trekora {

namespace {

const QString& kTableHiddenCaption = MainControls::kTableHiddenCaption;
const QString& kTableShownCaption = MainControls::kTableShownCaption;
// Where the help warning sends the user for the manual.
const QString kDocumentationPage = QStringLiteral("https://trekora.org/manual/");

// The field-mapping dialog, created when a load first needs it.
class DialogChooser : public FieldChooser {
public:
    explicit DialogChooser(frmMain& window) : m_window(window) {}
    std::optional<std::array<QString, 6>> choose(const FieldMappingRequest& request) override {
        return m_window.fieldsDialog().choose(request);
    }

private:
    frmMain& m_window;
};

} // namespace

frmMain::frmMain(StartOptions options, QWidget* parent)
    : QMainWindow(parent), m_options(std::move(options)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Orvane - Garmin"));
    m_table = std::make_unique<GpsTable>(*this);
    m_table->setSaveFieldsHandler([this](const QString& typeKey) {
        FieldSettings::SaveFields(typeKey, m_table->grid());
        // The dialog reloads its lists from the settings the next time it opens.
        if (m_properties) {
            m_properties->hide();
            m_properties->deleteLater();
            m_properties = nullptr;
        }
    });
    m_openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    m_chooser = std::make_unique<DialogChooser>(*this);
    m_io = std::make_unique<IoContext>(IoContext{
        *m_table, *m_chooser, [this](bool forward) { return Project_Table(*m_table, forward); },
        WritePRJ, [this] { return shapeDialog().ask(); }});
    m_io->unprojectShapefile = [this](const QString& prj) {
        return unprojectLoadedShapefile(*m_table, prj);
    };

    createReceiver();
    buildMenus();
    buildControls();

    m_syncTimer.setSingleShot(true);
    m_syncTimer.setInterval(30);
    connect(&m_syncTimer, &QTimer::timeout, this, &frmMain::refreshTable);
    connect(&Timer1, &QTimer::timeout, this, &frmMain::Timer1_Timer);
    m_commandLine = m_options.arguments.join(QLatin1Char(' '));
}

frmMain::~frmMain() {
    // The table calls back into the window while it is destroyed; keep the
    // view from reading it afterwards.
    m_syncTimer.stop();
    Timer1.stop();
    delete m_properties.data();
    delete m_about.data();
    delete m_splash.data();
    delete m_info.data();
    delete m_quietStatus.data();
    if (m_session) {
        m_session->disconnect(this);
        m_session->link().disconnect(this);
        m_session->link().ClosePort();
    }
    delete takeCentralWidget();
}

// --- construction -----------------------------------------------------------

void frmMain::registerControl(const QString& name, QObject* control) {
    control->setObjectName(name);
    m_registry.insert(name, control);
}

void frmMain::buildMenus() {
    m_menus.build(*menuBar(), *this, [this](const QString& name, QObject* control) {
        registerControl(name, control);
    });
    connectMenus();
    for (const QString& name : CommandAvailability::unavailableControls())
        setControlEnabled(name, false);
}

void frmMain::setControlEnabled(const QString& name, bool enabled) {
    // A command whose window is not built yet is never offered.
    enabled = enabled && CommandAvailability::isAvailable(name);
    QObject* control = m_registry.value(name);
    if (auto* action = qobject_cast<QAction*>(control))
        action->setEnabled(enabled);
    else if (auto* widget = qobject_cast<QWidget*>(control))
        widget->setEnabled(enabled);
}

void frmMain::connectMenus() {
    const MainMenus& m = m_menus;
    for (size_t n = 0; n < m.mnuPort.size(); ++n)
        connect(m.mnuPort[n], &QAction::triggered, this, [this, n] { mnuPort_Click(int(n)); });
    for (size_t i = 0; i < m.mnuBaudRate.size(); ++i)
        connect(m.mnuBaudRate[i], &QAction::triggered, this,
                [this, i] { mnuBaudRate_Click(int(i)); });
    connect(m.mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(m.mnuAFile, &QAction::triggered, this, &frmMain::mnuAFile_Click);
    // Text that Windows-1252 cannot hold: the user may have files written in UTF-8.
    m.mnuUtf8Tables->setCheckable(true);
    m.mnuUtf8Tables->setChecked(outputCodePageSetting() == CodePage::Utf8);
    connect(m.mnuUtf8Tables, &QAction::toggled, this, [](bool utf8) {
        setOutputCodePageSetting(utf8 ? CodePage::Utf8 : CodePage::Windows1252);
    });
    connect(m.mnuGetProjection, &QAction::triggered, this, &frmMain::mnuGetProjection_Click);
    connect(m.mnuProject, &QAction::triggered, this, &frmMain::mnuProject_Click);
    connect(m.mnuUnproject, &QAction::triggered, this, &frmMain::mnuUnproject_Click);
    connect(m.mnuFileL, &QAction::triggered, this, &frmMain::mnuFileL_Click);
    connect(m.mnuRefreshApps, &QAction::triggered, this, &frmMain::mnuRefreshApps_Click);
    connect(m.mnuSetRefreshRate, &QAction::triggered, this, &frmMain::mnuSetRefreshRate_Click);
    connect(m.mnuSetProjection, &QAction::triggered, this, [this] { Open_Properties(0); });
    connect(m.mnuCopy, &QAction::triggered, this, &frmMain::cmdCopy_Click);
    connect(m.mnuPaste, &QAction::triggered, this, &frmMain::cmdPaste_Click);
    connect(m.mnuAddRecord, &QAction::triggered, this, &frmMain::cmdAddRec_Click);
    connect(m.mnuDelete, &QAction::triggered, this, &frmMain::cmdDeleteSel_Click);
    connect(m.mnuClearTable, &QAction::triggered, this, &frmMain::mnuClearTable_Click);
    connect(m.mnuClearSelection, &QAction::triggered, this, &frmMain::cmdClearSel_Click);
    connect(m.mnuColumnsAutoFit, &QAction::triggered, this, &frmMain::mnuColumnsAutoFit_Click);
    connect(m.mnuOpenPort, &QAction::triggered, this, &frmMain::mnuOpenPort_Click);
    connect(m.mnuClosePort, &QAction::triggered, this, &frmMain::mnuClosePort_Click);
    connect(m.mnuResetGarmin, &QAction::triggered, this, &frmMain::mnuResetGarmin_Click);
    connect(m.mnuGarminInfo, &QAction::triggered, this, &frmMain::mnuGarminInfo_Click);
    connect(m.mnuWptDownload, &QAction::triggered, this, &frmMain::mnuWDownload_Click);
    connect(m.mnuTrkDownload, &QAction::triggered, this, &frmMain::mnuTDownload_Click);
    connect(m.mnuRteDownload, &QAction::triggered, this, &frmMain::mnuRDownload_Click);
    connect(m.mnuWptUpload, &QAction::triggered, this, &frmMain::mnuWUpload_Click);
    connect(m.mnuTrkUpload, &QAction::triggered, this, &frmMain::mnuTUpload_Click);
    connect(m.mnuRteUpload, &QAction::triggered, this, &frmMain::mnuRUpload_Click);
    connect(m.mnuMeters, &QAction::triggered, this, [this] { mnuUnits_Click(false); });
    connect(m.mnuFeet, &QAction::triggered, this, [this] { mnuUnits_Click(true); });
    connect(m.mnuWptProperties, &QAction::triggered, this, [this] { Open_Properties(1); });
    connect(m.mnuTrkProperties, &QAction::triggered, this, [this] { Open_Properties(2); });
    connect(m.mnuRteProperties, &QAction::triggered, this, [this] { Open_Properties(3); });
    connect(m.mnuRTProperties, &QAction::triggered, this, [this] { Open_Properties(4); });
    connect(m.mnuHelpIndex, &QAction::triggered, this, &frmMain::mnuHelpIndex_Click);
    connect(m.mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    m_controls.build(*central, m_table->grid(), [this](const QString& name, QObject* control) {
        registerControl(name, control);
    });
    const MainControls& c = m_controls;
    for (RecordKind kind :
         {RecordKind::Waypoint, RecordKind::Track, RecordKind::Route, RecordKind::RealTime}) {
        const QString typeKey = recordTypeKey(kind);
        // Only a change the user makes runs the handler; the table mirrors its
        // own type changes with signals blocked.
        connect(c.option(kind), &QRadioButton::toggled, this, [this, typeKey](bool on) {
            if (on)
                opt_Click(typeKey);
        });
    }
    {
        const QSignalBlocker blocker(c.optWpt);
        c.optWpt->setChecked(true);
    }
    connect(c.cmdAdvanced, &QPushButton::clicked, this, &frmMain::cmdAdvanced_Click);
    connect(c.cmdAddRec, &QPushButton::clicked, this, &frmMain::cmdAddRec_Click);
    connect(c.cmdDeleteSel, &QPushButton::clicked, this, &frmMain::cmdDeleteSel_Click);
    connect(c.cmdClearSel, &QPushButton::clicked, this, &frmMain::cmdClearSel_Click);
    connect(c.cmdCopy, &QPushButton::clicked, this, &frmMain::cmdCopy_Click);
    connect(c.cmdPaste, &QPushButton::clicked, this, &frmMain::cmdPaste_Click);

    GpsTableView* view = c.MSFlexGrid1;
    view->tableModel().setIconLookup(
        [this](const QString& key) { return m_symbolIcons.value(key); });
    connect(view, &GpsTableView::gridSelectionChanged, this, &frmMain::MSFlexGrid1_SelChange);
    connect(view, &GpsTableView::gridCellDoubleClicked, this, &frmMain::MSFlexGrid1_DblClick);
    connect(view, &GpsTableView::gridHeaderClicked, this, &frmMain::MSFlexGrid1_HeaderClick);
    connect(view, &GpsTableView::copyRequested, this, &frmMain::cmdCopy_Click);
    connect(view, &GpsTableView::pasteRequested, this, &frmMain::cmdPaste_Click);
    connect(view, &GpsTableView::deleteRequested, this, &frmMain::cmdDeleteSel_Click);

    m_status = new StatusPanels(*this);
    setStatusBar(m_status->bar());
    showConnection();

    Form_Resize();
}

// --- start and exit -----------------------------------------------------------

void frmMain::Form_Load() {
    m_session->setTransferFinished(true);
    const QString lowered = m_commandLine.toLower();
    m_quiet = lowered.startsWith(QLatin1String("quiet"));
    m_minimize = lowered.startsWith(QLatin1String("minimize"));

    applyStartupSettings();
    m_tempShapefile = QDir(AppPaths::privateTempDir()).filePath(QStringLiteral("trekora.shp"));

    m_session->setTransferBusy(false);
    Set_Controls(ControlState::NotConnected);
    m_table->ResetTable();
    Set_Controls(ControlState::TableEmptied);
    m_controls.cmdAdvanced->setText(kTableHiddenCaption);
    Form_Resize();
    placeWindow();

    // Nobody opens the port menu during a quiet task; listing the system's
    // serial devices for it would only delay the task.
    if (!m_quiet)
        RefreshPortMenu();
    Timer1.start();
    RefreshApplications();

    if (m_quiet) {
        m_quietStatus = new frmQuietStatus;
        m_quietStatus->setStatus(QStringLiteral("Loading Trekora"));
        setMessageMirror([this](const QString& text) {
            if (m_quietStatus)
                m_quietStatus->setStatus(text);
        });
        if (m_options.interactive) {
            m_quietStatus->show();
            m_quietStatus->repaint();
        }
    }
    if (m_options.interactive) {
        if (m_quiet || m_minimize) {
            showMinimized();
        } else {
            auto* splash = new frmSplash;
            m_splash = splash;
            splash->show();
            show();
            splash->raise();
        }
    }

    validateFieldSettings();
    // A quiet task has nobody to answer the first-use projection question.
    projectionHooks().unattended = [quiet = m_quiet] { return quiet; };
    // The catalogue the settings name; the first start asks for a projection.
    LoadProjections(m_projectionCatalogue == QLatin1String("esri") ? QStringLiteral("esri")
                                                                   : QStringLiteral("epsg"));
    m_table->OptionClicked(RecordType::Waypoint);
    showTypeOption(RecordType::Waypoint);
    m_symbolIcons = loadSymbolIcons();
    m_d103Symbols = Load_d103WptSymbols();
    m_d1xxSymbols = Load_d1xxWptSymbols();
    mnuOpenPort_Click();
    refreshTable();
    if (m_quiet)
        runQuietTask();
}

void frmMain::runQuietTask() {
    // After start-up has returned, so that the caller's event loop runs the task.
    QTimer::singleShot(0, this, [this] {
        if (!m_quietDriver->Quiet_Driver(m_commandLine))
            return;
        close();
        // Scripts read the outcome from the exit status.
        if (m_options.interactive)
            QCoreApplication::exit(static_cast<int>(m_quietDriver->exitStatus()));
    });
}

void frmMain::validateFieldSettings() {
    QStringList replaced;
    FieldSettings::SetFieldSettings(QString(), &replaced);
    // A hand-edited list that was not valid is said so, once, at start.
    for (const QString& type : replaced)
        userInteraction().message(
            QStringLiteral("The stored field list for %1 records named unknown, missing or "
                           "repeated fields. It has been replaced by the default list.")
                .arg(type),
            QString::fromLatin1(kAppTitle), Buttons::Ok, Icon::Warning);
}

void frmMain::applyStartupSettings() {
    const StartupSettings settings = StartupSettings::read();
    m_dialogFolder = settings.dialogFolder;
    m_portIndex = settings.port;
    if (m_portIndex >= 0 && m_portIndex < int(m_menus.mnuPort.size()))
        m_menus.mnuPort[size_t(m_portIndex)]->setChecked(true);
    m_serialSettings = settings.serialSettings;
    for (QAction* entry : m_menus.mnuBaudRate)
        entry->setChecked(false);
    if (settings.baudIndex >= 0)
        m_menus.mnuBaudRate[size_t(settings.baudIndex)]->setChecked(true);
    (settings.feet ? m_menus.mnuFeet : m_menus.mnuMeters)->setChecked(true);
    Timer1.setInterval(trekora::refreshIntervalMs(settings.refreshSeconds));
    m_projectionCatalogue = settings.projectionCatalogue;
}

void frmMain::placeWindow() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.left() + (area.width() - frameGeometry().width()) / 2,
         area.top() + area.height() / 4);
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmMain::Form_Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_session->link().ClosePort();
    Settings::set("drive", "drive", m_dialogFolder);
    Timer1.stop();
    m_syncTimer.stop();
    for (QWidget* window :
         {static_cast<QWidget*>(m_about.data()), static_cast<QWidget*>(m_properties.data()),
          m_splash.data(), static_cast<QWidget*>(m_quietStatus.data()),
          static_cast<QWidget*>(m_info.data()), static_cast<QWidget*>(m_help.data())})
        if (window)
            window->close();
}

void frmMain::mnuExit_Click() {
    close();
}

// --- status and control states ------------------------------------------------

void frmMain::Set_Msg(const QString& text) {
    // Bulk operations report every row; an unchanged text costs nothing.
    setPanelText(1, text);
    if (m_mirror)
        m_mirror(text);
}

QString frmMain::statusPanel(int panel) const {
    if (panel < 1 || panel > 3)
        return {};
    return m_status->text(StatusPanels::Panel(panel - 1));
}

void frmMain::clearPositionLabels() {
    for (QLabel* label : {m_controls.lblGPSDesc1, m_controls.lbllat, m_controls.lbllon,
                          m_controls.lblAlt, m_controls.lblepe})
        label->clear();
}

void frmMain::Set_Controls(ControlState state) {
    // The connection panel follows the receiver session (showConnection).
    if (state == ControlState::NotConnected)
        clearPositionLabels();
    else if (state == ControlState::TableEmptied)
        setPanelText(2, QString());
    ControlStates::Context context;
    context.connected = m_session->connected();
    context.hasRecords = m_table && m_table->hasRecords();
    context.recordType =
        m_table ? recordKindOf(m_table->currentRecordType()) : RecordKind::Waypoint;
    // Loaders report state 4 for every record: the same state in the same
    // situation changes nothing.
    if (m_lastControls && m_lastControls->first == state && m_lastControls->second == context)
        return;
    m_lastControls = std::make_pair(state, context);
    for (const ControlStates::Change& change : ControlStates::changes(state, context))
        setControlEnabled(change.control, change.enabled);
}

bool frmMain::isControlEnabled(const QString& name) const {
    QObject* control = m_registry.value(name);
    if (auto* action = qobject_cast<QAction*>(control))
        return action->isEnabled();
    if (auto* widget = qobject_cast<QWidget*>(control))
        return widget->isEnabled();
    return false;
}

QStringList frmMain::enabledControls() const {
    QStringList enabled;
    for (const QString& name : ControlStates::controlNames())
        if (isControlEnabled(name))
            enabled << name;
    return enabled;
}

// --- GIS programs and ports -----------------------------------------------------

void frmMain::RefreshApplications() {
    m_hosts = m_hostProbe ? m_hostProbe() : HostPresence{};
    for (QMenu* menu : {m_menus.mnuAVLoad, m_menus.mnuAVSave})
        menu->menuAction()->setVisible(m_hosts.arcView);
    for (QMenu* menu : {m_menus.mnuLVLoad, m_menus.mnuLVSave})
        menu->menuAction()->setVisible(m_hosts.landview);
    for (QMenu* menu : {m_menus.mnuArcMapLoad, m_menus.mnuArcMapSave})
        menu->menuAction()->setVisible(m_hosts.arcMap);
    m_menus.mnuAESave->menuAction()->setVisible(m_hosts.arcExplorer);
    setWindowTitle(m_hosts.windowTitle());
}

void frmMain::mnuRefreshApps_Click() {
    RefreshApplications();
}

void frmMain::Timer1_Timer() {
    if (m_session->screenShotBusy())
        return;
    RefreshApplications();
    RefreshPortMenu();
}

// --- settings commands ------------------------------------------------------------

bool frmMain::unitsMeters() const {
    return m_menus.mnuMeters->isChecked();
}

void frmMain::mnuUnits_Click(bool feet) {
    (feet ? m_menus.mnuFeet : m_menus.mnuMeters)->setChecked(true);
    Settings::set("Units", "Unit", feet ? QStringLiteral("Feet") : QStringLiteral("Meters"));
}

void frmMain::mnuSetRefreshRate_Click() {
    const QString answer = userInteraction().inputText(
        QStringLiteral("Trekora periodically checks to see if particular GIS programs are "
                       "running.  Enter the Rate (in Seconds) at which you'd like it to check."),
        QStringLiteral("Set App Refresh Rate"), Settings::get("app", "refresh", "10"));
    if (answer.isEmpty())
        return;
    const QString stored = normalisedRefreshText(answer);
    Settings::set("app", "refresh", stored);
    Timer1.setInterval(trekora::refreshIntervalMs(refreshPeriod(stored)));
}

void frmMain::mnuHelpIndex_Click() {
    const QString folder = QDir(AppPaths::dataDir()).filePath(QStringLiteral("manual"));
    const QString manual = QDir(folder).filePath(QStringLiteral("index.html"));
    if (!QFileInfo::exists(manual)) {
        userInteraction().message(QStringLiteral("Garmin documentation could not be found at ") +
                                      folder + QStringLiteral(".  Go to ") + QLatin1Char('\n') +
                                      kDocumentationPage + QLatin1Char('\n') +
                                      QStringLiteral("for more information"),
                                  QString::fromLatin1(kAppTitle), Buttons::Ok, Icon::Warning);
        return;
    }
    // Without a desktop browser the manual opens in the program's own window.
    const QUrl page = QUrl::fromLocalFile(manual);
    if (m_openUrl && m_openUrl(page))
        return;
    if (!m_help)
        m_help = new frmHelp(this);
    m_help->showPage(page);
}

frmHelp* frmMain::helpWindow() const {
    return m_help.data();
}

void frmMain::mnuAbout_Click() {
    if (!m_about)
        m_about = new frmAbout(this);
    m_about->open();
}

frmProperties& frmMain::properties() {
    if (!m_properties) {
        m_properties = new frmProperties(*m_table, this);
        connect(m_properties, &frmProperties::fieldsApplied, this, &frmMain::refreshTable);
        auto* page = new ProjectionPage;
        m_projectionPage = page;
        m_properties->setProjectionPage(page);
        m_properties->setProjectionAccept([this, page] {
            page->applyOk(*m_table);
            refreshTable();
        });
        m_properties->setProjectionCancel([page] { page->cancel(); });
    }
    return *m_properties;
}

void frmMain::Open_Properties(int tab) {
    frmProperties& dialog = properties();
    if (m_projectionPage)
        m_projectionPage->showStoredCatalogue();
    dialog.setCurrentTab(tab);
    dialog.open();
}

void frmMain::installProjectionHooks() {
    ProjectionHooks& hooks = projectionHooks();
    hooks.setMessage = [this](const QString& text) { Set_Msg(text); };
    hooks.setBusy = [this](bool busy) { setBusy(busy); };
    hooks.propertiesVisible = [this] { return m_properties && m_properties->isVisible(); };
    hooks.fillProjectionTab = [this] {
        properties();
        if (m_projectionPage)
            m_projectionPage->loadProjectionListboxes();
    };
    hooks.openProperties = [this](int tab) { Open_Properties(tab); };
}

void frmMain::mnuGetProjection_Click() {
    ShowCurrentProjection(*this);
}

void frmMain::mnuProject_Click() {
    ProjectCoordinates(*m_table);
    refreshTable();
}

void frmMain::mnuUnproject_Click() {
    UnprojectCoordinates(*m_table);
    refreshTable();
}

// --- window sizing --------------------------------------------------------------------

bool frmMain::tableShown() const {
    return m_controls.cmdAdvanced->text() == kTableShownCaption;
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize() {
    if (isMinimized())
        return;
    const bool shown = tableShown();
    if (shown) {
        setMinimumSize(WindowSizing::snapped({0, 0}, true));
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        const QSize wanted = WindowSizing::snapped(size(), true);
        if (wanted != size())
            resize(wanted);
    } else {
        setFixedSize(WindowSizing::snapped(size(), false));
    }
    for (QWidget* tablePart : std::initializer_list<QWidget*>{
             m_controls.MSFlexGrid1, m_controls.cmdAddRec, m_controls.cmdDeleteSel,
             m_controls.cmdClearSel, m_controls.cmdCopy, m_controls.cmdPaste})
        tablePart->setVisible(shown);
    m_controls.layout(size(), fontMetrics().height());
}

void frmMain::cmdAdvanced_Click() {
    m_controls.cmdAdvanced->setText(tableShown() ? kTableHiddenCaption : kTableShownCaption);
    Form_Resize();
    if (tableShown())
        refreshTable();
}

// --- table commands --------------------------------------------------------------------

void frmMain::refreshTable() {
    m_syncTimer.stop();
    m_controls.MSFlexGrid1->sync();
}

frmFields& frmMain::fieldsDialog() {
    if (!m_fields)
        m_fields = new frmFields(this);
    return *m_fields;
}

frmShape& frmMain::shapeDialog() {
    if (!m_shape)
        m_shape = new frmShape(this);
    return *m_shape;
}

void frmMain::mnuAFile_Click() {
    SaveToFileCommand(io());
    refreshTable();
}

void frmMain::mnuFileL_Click() {
    LoadFromFileCommand(io());
    refreshTable();
}

void frmMain::scheduleTableSync() {
    if (!m_syncTimer.isActive())
        m_syncTimer.start();
}

void frmMain::cmdAddRec_Click() {
    TableCommands::AddBlankRecord(*m_table);
    refreshTable();
}

void frmMain::cmdDeleteSel_Click() {
    m_table->DeleteSelection();
    refreshTable();
}

void frmMain::cmdClearSel_Click() {
    m_table->ClearSelection();
    refreshTable();
}

void frmMain::cmdCopy_Click() {
    m_table->CopySelection(m_table->grid());
}

void frmMain::cmdPaste_Click() {
    m_table->PasteClipboard(m_table->grid());
    refreshTable();
}

void frmMain::mnuClearTable_Click() {
    TableCommands::EmptyTable(*m_table);
    refreshTable();
}

void frmMain::mnuColumnsAutoFit_Click() {
    TableCommands::AutoFitColumns(*m_table);
    refreshTable();
}

void frmMain::MSFlexGrid1_SelChange() {
    m_table->UpdateSelection();
}

void frmMain::MSFlexGrid1_DblClick() {
    TableCommands::EditSelectedCells(
        *m_table, [this] { return frmWptSelect::pick(m_symbolIcons, m_d103Symbols, this); });
    refreshTable();
}

void frmMain::MSFlexGrid1_HeaderClick(int col) {
    TableCommands::HeaderClicked(*m_table, col);
    refreshTable();
}

void frmMain::opt_Click(const QString& typeKey) {
    m_table->OptionClicked(typeKey);
    refreshTable();
}

// --- TableHost ---------------------------------------------------------------------------

void frmMain::setMessage(const QString& text) {
    Set_Msg(text);
    scheduleTableSync();
}

void frmMain::setControls(ControlState state) {
    Set_Controls(state);
    scheduleTableSync();
}

void frmMain::setSelectionPanel(const QString& text) {
    setPanelText(2, text);
}

void frmMain::setPanelText(int index, const QString& text) {
    m_status->setText(StatusPanels::Panel(index), text);
}

void frmMain::showTableArea() {
    if (!tableShown())
        cmdAdvanced_Click();
}

void frmMain::showTypeOption(const QString& typeKey) {
    QRadioButton* button = m_controls.option(recordKindOf(typeKey).value_or(RecordKind::Waypoint));
    const QSignalBlocker blocker(button);
    button->setChecked(true);
}

void frmMain::setBusy(bool busy) {
    if (busy) {
        if (m_busyDepth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_busyDepth > 0 && --m_busyDepth == 0) {
        QApplication::restoreOverrideCursor();
    }
}

QString frmMain::clipboardText() const {
    return QGuiApplication::clipboard()->text();
}

void frmMain::setClipboardText(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void frmMain::reportError(const TableStatus& status) {
    userInteraction().message(status.text(), QStringLiteral("Error"), Buttons::Ok, Icon::Critical);
}

bool frmMain::hasSymbolIcon(const QString& key) const {
    return m_symbolIcons.contains(key);
}

} // namespace trekora
