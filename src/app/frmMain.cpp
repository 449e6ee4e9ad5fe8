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
#include "io/FileImport.h"
#include "io/IoContext.h"
#include "io/IoReport.h"
#include "io/ShapefileExport.h"
#include "proj/CurrentProjection.h"

#include "app/AppVersion.h"
#include "app/ControlStates.h"
#include "app/GpsTableView.h"
#include "app/SerialPortMap.h"
#include "app/StartupSettings.h"
#include "app/SymbolImages.h"
#include "app/TableCommands.h"
#include "app/WindowSizing.h"
#include "app/frmAbout.h"
#include "app/frmProperties.h"
#include "app/frmSplash.h"
#include "app/frmWptSelect.h"
#include "core/AppPaths.h"
#include "core/Settings.h"
#include "core/UserInteraction.h"
#include "table/FieldCatalogue.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>

namespace trekora {

namespace {

const QString kTableHiddenCaption = QStringLiteral(">>> Data Table >>>");
const QString kTableShownCaption = QStringLiteral("<<< Data Table <<<");
const QString kNotConnected = QStringLiteral("Not Connected");
const QString kConnected = QStringLiteral("Connected");
// Where the help warning sends the user for the manual.
const QString kDocumentationPage = QStringLiteral("https://trekora.org/manual/");

using WindowSizing::pixels;

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

    createReceiver();
    buildMenus();
    buildControls();

    m_panelTimer.setSingleShot(true);
    m_panelTimer.setInterval(0);
    connect(&m_panelTimer, &QTimer::timeout, this, &frmMain::flushPanels);
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
    if (m_garmin) {
        m_garmin->disconnect(this);
        m_garmin->ClosePort();
    }
    delete takeCentralWidget();
}

// --- construction -----------------------------------------------------------

void frmMain::registerControl(const QString& name, QObject* control) {
    control->setObjectName(name);
    m_controls.insert(name, control);
}

QMenu* frmMain::addMenu(QMenu* parent, QMenu*& member, const char* name, const QString& caption) {
    member = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    member->setObjectName(QString::fromLatin1(name));
    registerControl(QString::fromLatin1(name), member->menuAction());
    return member;
}

QAction* frmMain::addItem(QMenu* menu, QAction*& member, const char* name, const QString& caption) {
    member = menu->addAction(caption);
    registerControl(QString::fromLatin1(name), member);
    return member;
}

void frmMain::buildMenus() {
    addMenu(nullptr, mnuFile, "mnuFile", QStringLiteral("&File"));
    addMenu(mnuFile, mnuLoadFrom, "mnuLoadFrom", QStringLiteral("Load From"));
    addItem(mnuLoadFrom, mnuFileL, "mnuFileL", QStringLiteral("File..."));
    addMenu(mnuLoadFrom, mnuAVLoad, "mnuAVLoad", QStringLiteral("ArcView"));
    addItem(mnuAVLoad, mnuAVTheme, "mnuAVTheme", QStringLiteral("Theme"));
    addItem(mnuAVLoad, mnuAVGraphic, "mnuAVGraphic", QStringLiteral("Graphic"));
    addMenu(mnuLoadFrom, mnuArcMapLoad, "mnuArcMapLoad", QStringLiteral("ArcMap"));
    addItem(mnuArcMapLoad, mnuArcMapLayerL, "mnuArcMapLayerL", QStringLiteral("Layer"));
    addItem(mnuArcMapLoad, mnuArcMapGraphicL, "mnuArcMapGraphicL", QStringLiteral("Graphic"));
    addMenu(mnuLoadFrom, mnuLVLoad, "mnuLVLoad", QStringLiteral("Landview"));
    addItem(mnuLVLoad, mnuLVCurrentL, "mnuLVCurrentL", QStringLiteral("Current Location"));
    addItem(mnuLVLoad, mnuLVUserListL, "mnuLVUserListL", QStringLiteral("User List"));
    addItem(mnuLVLoad, mnuLVMeasureL, "mnuLVMeasureL", QStringLiteral("Measure Tool"));
    addItem(mnuLVLoad, mnuLVLayerL, "mnuLVLayerL", QStringLiteral("Layer"));

    addMenu(mnuFile, mnuSaveTo, "mnuSaveTo", QStringLiteral("Save To"));
    addItem(mnuSaveTo, mnuAFile, "mnuAFile", QStringLiteral("File..."));
    // Beyond Windows-1252: dBASE text that the code page cannot hold.
    QAction* mnuUtf8Tables = mnuSaveTo->addAction(QStringLiteral("Write Tables as UTF-8"));
    mnuUtf8Tables->setCheckable(true);
    mnuUtf8Tables->setChecked(outputCodePageSetting() == CodePage::Utf8);
    connect(mnuUtf8Tables, &QAction::toggled, this, [](bool utf8) {
        setOutputCodePageSetting(utf8 ? CodePage::Utf8 : CodePage::Windows1252);
    });
    addMenu(mnuSaveTo, mnuAVSave, "mnuAVSave", QStringLiteral("ArcView"));
    addItem(mnuAVSave, mnuShapefile, "mnuShapefile", QStringLiteral("Shapefile..."));
    addItem(mnuAVSave, mnuGraphic, "mnuGraphic", QStringLiteral("Graphic"));
    addMenu(mnuSaveTo, mnuArcMapSave, "mnuArcMapSave", QStringLiteral("ArcMap"));
    addItem(mnuArcMapSave, mnuArcMapLayerS, "mnuArcMapLayerS",
            QStringLiteral("Shapefile Layer..."));
    addItem(mnuArcMapSave, mnuArcMapGDBS, "mnuArcMapGDBS",
            QStringLiteral("Geodatabase Feature Class ..."));
    addItem(mnuArcMapSave, mnuArcMapGraphicS, "mnuArcMapGraphicS", QStringLiteral("Graphic"));
    addMenu(mnuSaveTo, mnuLVSave, "mnuLVSave", QStringLiteral("Landview"));
    addItem(mnuLVSave, mnuLVCurrentS, "mnuLVCurrentS", QStringLiteral("Current Location"));
    addItem(mnuLVSave, mnuLVUserListS, "mnuLVUserListS", QStringLiteral("User List"));
    addMenu(mnuLVSave, mnuLVMeasureS, "mnuLVMeasureS", QStringLiteral("Measure Tool"));
    addItem(mnuLVMeasureS, mnuLVLineS, "mnuLVLineS", QStringLiteral("Line"));
    addItem(mnuLVMeasureS, mnuLVPolygonS, "mnuLVPolygonS", QStringLiteral("Polygon"));
    addItem(mnuLVSave, mnuLVLayerS, "mnuLVLayerS", QStringLiteral("Layer..."));
    addMenu(mnuSaveTo, mnuAESave, "mnuAESave", QStringLiteral("ArcExplorer 2.0"));
    addItem(mnuAESave, mnuShapefileAE, "mnuShapefileAE", QStringLiteral("Shapefile Layer..."));

    mnuFile->addSeparator();
    addItem(mnuFile, mnuSetProjection, "mnuSetProjection", QStringLiteral("Set Projection"));
    addItem(mnuFile, mnuGetProjection, "mnuGetProjection", QStringLiteral("Get Projection"));
    mnuFile->addSeparator();
    addItem(mnuFile, mnuRefreshApps, "mnuRefreshApps", QStringLiteral("Refresh Apps"));
    addItem(mnuFile, mnuSetRefreshRate, "mnuSetRefreshRate",
            QStringLiteral("Set App Refresh Rate"));
    mnuFile->addSeparator();
    addItem(mnuFile, mnuExit, "mnuExit", QStringLiteral("E&xit"));

    addMenu(nullptr, mnuEdit, "mnuEdit", QStringLiteral("Edit"));
    addItem(mnuEdit, mnuCopy, "mnuCopy", QStringLiteral("Copy"));
    addItem(mnuEdit, mnuPaste, "mnuPaste", QStringLiteral("Paste"));
    mnuEdit->addSeparator();
    addItem(mnuEdit, mnuAddRecord, "mnuAddRecord", QStringLiteral("Add Record"));
    addItem(mnuEdit, mnuDelete, "mnuDelete", QStringLiteral("Delete Selection"));
    addItem(mnuEdit, mnuClearTable, "mnuClearTable", QStringLiteral("Empty Table"));
    addItem(mnuEdit, mnuClearSelection, "mnuClearSelection", QStringLiteral("Clear Selection"));
    addItem(mnuEdit, mnuColumnsAutoFit, "mnuColumnsAutoFit", QStringLiteral("Auto Fit Columns"));
    mnuEdit->addSeparator();
    addItem(mnuEdit, mnuProject, "mnuProject", QStringLiteral("Project Coordinates"));
    addItem(mnuEdit, mnuUnproject, "mnuUnproject", QStringLiteral("Unproject Coordinates"));
    mnuEdit->addSeparator();
    addItem(mnuEdit, mnuCEP, "mnuCEP", QStringLiteral("Calculate CEP..."));
    addItem(mnuEdit, mnuHotlink, "mnuHotlink", QStringLiteral("Add Image Hotlinks..."));

    addMenu(nullptr, mnuGPS, "mnuGPS", QStringLiteral("GPS"));
    addMenu(mnuGPS, mnuSetPort, "mnuSetPort", QStringLiteral("&Set  Port"));
    m_portGroup = new QActionGroup(this);
    for (int n = 0; n < int(mnuPort.size()); ++n) {
        const QString caption = n == 0 ? QStringLiteral("USB") : QStringLiteral("Port %1").arg(n);
        mnuPort[size_t(n)] = mnuSetPort->addAction(caption);
        registerControl(QStringLiteral("mnuPort%1").arg(n), mnuPort[size_t(n)]);
        mnuPort[size_t(n)]->setCheckable(true);
        m_portGroup->addAction(mnuPort[size_t(n)]);
        connect(mnuPort[size_t(n)], &QAction::triggered, this, [this, n] { mnuPort_Click(n); });
    }
    addMenu(mnuGPS, mnuBaud, "mnuBaud", QStringLiteral("Set Baud Rate"));
    m_baudGroup = new QActionGroup(this);
    for (int i = 0; i < int(mnuBaudRate.size()); ++i) {
        mnuBaudRate[size_t(i)] = mnuBaud->addAction(QString::fromLatin1(kBaudCaptions[i]));
        registerControl(QStringLiteral("mnuBaudRate%1").arg(i), mnuBaudRate[size_t(i)]);
        mnuBaudRate[size_t(i)]->setCheckable(true);
        m_baudGroup->addAction(mnuBaudRate[size_t(i)]);
        connect(mnuBaudRate[size_t(i)], &QAction::triggered, this,
                [this, i] { mnuBaudRate_Click(i); });
    }
    addItem(mnuGPS, mnuOpenPort, "mnuOpenPort", QStringLiteral("&Open Port"));
    addItem(mnuGPS, mnuClosePort, "mnuClosePort", QStringLiteral("&Close Port"));
    addItem(mnuGPS, mnuResetGarmin, "mnuResetGarmin", QStringLiteral("Reset Garmin"));
    addItem(mnuGPS, mnuGarminInfo, "mnuGarminInfo", QStringLiteral("Garmin Info"));
    addMenu(mnuGPS, mnuUnits, "mnuUnits", QStringLiteral("Units"));
    m_unitGroup = new QActionGroup(this);
    addItem(mnuUnits, mnuMeters, "mnuMeters", QStringLiteral("Meters"));
    addItem(mnuUnits, mnuFeet, "mnuFeet", QStringLiteral("Feet"));
    for (QAction* unit : {mnuMeters, mnuFeet}) {
        unit->setCheckable(true);
        m_unitGroup->addAction(unit);
    }
    mnuMeters->setChecked(true);
    addItem(mnuGPS, mnuScreenShot, "mnuScreenShot", QStringLiteral("Garmin Screen Shot"));

    addMenu(nullptr, mnuWaypoint, "mnuWaypoint", QStringLiteral("Waypoint"));
    addItem(mnuWaypoint, mnuWptDownload, "mnuWptDownload", QStringLiteral("Download"));
    addItem(mnuWaypoint, mnuWptUpload, "mnuWptUpload", QStringLiteral("Upload"));
    addItem(mnuWaypoint, mnuWptProperties, "mnuWptProperties",
            QStringLiteral("Waypoint Properties..."));
    addMenu(nullptr, mnuTrack, "mnuTrack", QStringLiteral("Track"));
    addItem(mnuTrack, mnuTrkDownload, "mnuTrkDownload", QStringLiteral("Download"));
    addItem(mnuTrack, mnuTrkUpload, "mnuTrkUpload", QStringLiteral("Upload"));
    addItem(mnuTrack, mnuTrkProperties, "mnuTrkProperties", QStringLiteral("Track Properties..."));
    addMenu(nullptr, mnuRoute, "mnuRoute", QStringLiteral("Route"));
    addItem(mnuRoute, mnuRteDownload, "mnuRteDownload", QStringLiteral("Download"));
    addItem(mnuRoute, mnuRteUpload, "mnuRteUpload", QStringLiteral("Upload"));
    addItem(mnuRoute, mnuRteProperties, "mnuRteProperties", QStringLiteral("Route Properties..."));

    addMenu(nullptr, mnuRealTime, "mnuRealTime", QStringLiteral("Real Time"));
    addItem(mnuRealTime, mnuStartRT, "mnuStartRT", QStringLiteral("START Real Time Tracking"));
    addItem(mnuRealTime, mnuStopRT, "mnuStopRT", QStringLiteral("STOP Real Time Tracking"));
    mnuRealTime->addSeparator();
    addItem(mnuRealTime, mnuNMEA, "mnuNMEA", QStringLiteral("View NMEA Strings"));
    mnuRealTime->addSeparator();
    addItem(mnuRealTime, mnuRTProperties, "mnuRTProperties",
            QStringLiteral("Real Time Properties..."));

    addMenu(nullptr, mnuHelp, "mnuHelp", QStringLiteral("Help"));
    addItem(mnuHelp, mnuHelpIndex, "mnuHelpIndex", QStringLiteral("Orvane Help File Index..."));
    addItem(mnuHelp, mnuAbout, "mnuAbout", QStringLiteral("About Trekora Extension..."));

    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuAFile, &QAction::triggered, this, &frmMain::mnuAFile_Click);
    connect(mnuGetProjection, &QAction::triggered, this, &frmMain::mnuGetProjection_Click);
    connect(mnuProject, &QAction::triggered, this, &frmMain::mnuProject_Click);
    connect(mnuUnproject, &QAction::triggered, this, &frmMain::mnuUnproject_Click);
    connect(mnuFileL, &QAction::triggered, this, &frmMain::mnuFileL_Click);
    connect(mnuRefreshApps, &QAction::triggered, this, &frmMain::mnuRefreshApps_Click);
    connect(mnuSetRefreshRate, &QAction::triggered, this, &frmMain::mnuSetRefreshRate_Click);
    connect(mnuSetProjection, &QAction::triggered, this, [this] { Open_Properties(0); });
    connect(mnuCopy, &QAction::triggered, this, &frmMain::cmdCopy_Click);
    connect(mnuPaste, &QAction::triggered, this, &frmMain::cmdPaste_Click);
    connect(mnuAddRecord, &QAction::triggered, this, &frmMain::cmdAddRec_Click);
    connect(mnuDelete, &QAction::triggered, this, &frmMain::cmdDeleteSel_Click);
    connect(mnuClearTable, &QAction::triggered, this, &frmMain::mnuClearTable_Click);
    connect(mnuClearSelection, &QAction::triggered, this, &frmMain::cmdClearSel_Click);
    connect(mnuColumnsAutoFit, &QAction::triggered, this, &frmMain::mnuColumnsAutoFit_Click);
    connect(mnuOpenPort, &QAction::triggered, this, &frmMain::mnuOpenPort_Click);
    connect(mnuClosePort, &QAction::triggered, this, &frmMain::mnuClosePort_Click);
    connect(mnuResetGarmin, &QAction::triggered, this, &frmMain::mnuResetGarmin_Click);
    connect(mnuGarminInfo, &QAction::triggered, this, &frmMain::mnuGarminInfo_Click);
    connect(mnuWptDownload, &QAction::triggered, this, &frmMain::mnuWDownload_Click);
    connect(mnuTrkDownload, &QAction::triggered, this, &frmMain::mnuTDownload_Click);
    connect(mnuRteDownload, &QAction::triggered, this, &frmMain::mnuRDownload_Click);
    connect(mnuWptUpload, &QAction::triggered, this, &frmMain::mnuWUpload_Click);
    connect(mnuTrkUpload, &QAction::triggered, this, &frmMain::mnuTUpload_Click);
    connect(mnuRteUpload, &QAction::triggered, this, &frmMain::mnuRUpload_Click);
    connect(mnuMeters, &QAction::triggered, this, [this] { mnuUnits_Click(false); });
    connect(mnuFeet, &QAction::triggered, this, [this] { mnuUnits_Click(true); });
    connect(mnuWptProperties, &QAction::triggered, this, [this] { Open_Properties(1); });
    connect(mnuTrkProperties, &QAction::triggered, this, [this] { Open_Properties(2); });
    connect(mnuRteProperties, &QAction::triggered, this, [this] { Open_Properties(3); });
    connect(mnuRTProperties, &QAction::triggered, this, [this] { Open_Properties(4); });
    connect(mnuHelpIndex, &QAction::triggered, this, &frmMain::mnuHelpIndex_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
}

void frmMain::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    const std::array<std::pair<QRadioButton**, std::pair<const char*, QString>>, 4> options = {{
        {&optWpt, {"optWpt", RecordType::Waypoint}},
        {&optTrk, {"optTrk", RecordType::Track}},
        {&optRte, {"optRte", RecordType::Route}},
        {&optRTWpt, {"optRTWpt", RecordType::RealTime}},
    }};
    const std::array<QString, 4> captions = {QStringLiteral("Waypoint"), QStringLiteral("Track"),
                                             QStringLiteral("Route"), QStringLiteral("RTimeWpt")};
    for (size_t i = 0; i < options.size(); ++i) {
        QRadioButton*& button = *options[i].first;
        button = new QRadioButton(captions[i], central);
        registerControl(QString::fromLatin1(options[i].second.first), button);
        const QString typeKey = options[i].second.second;
        // Only a change the user makes runs the handler; the table mirrors its
        // own type changes with signals blocked.
        connect(button, &QRadioButton::toggled, this, [this, typeKey](bool on) {
            if (on)
                opt_Click(typeKey);
        });
    }
    {
        const QSignalBlocker blocker(optWpt);
        optWpt->setChecked(true);
    }

    auto button = [&](QPushButton*& member, const char* name, const QString& caption,
                      const QString& tip) {
        member = new QPushButton(caption, central);
        registerControl(QString::fromLatin1(name), member);
        member->setToolTip(tip);
        member->setFocusPolicy(Qt::NoFocus);
    };
    button(cmdAdvanced, "cmdAdvanced", kTableHiddenCaption,
           QStringLiteral("View advanced data information"));
    button(cmdAddRec, "cmdAddRec", QStringLiteral("Add Record"),
           QStringLiteral("Add Record to Table"));
    button(cmdDeleteSel, "cmdDeleteSel", QStringLiteral("Delete Selection"),
           QStringLiteral("Delete Selection"));
    button(cmdClearSel, "cmdClearSel", QStringLiteral("Clear Selection"),
           QStringLiteral("Clear Selection"));
    button(cmdCopy, "cmdCopy", QStringLiteral("Copy"),
           QStringLiteral("Copy Selected Cells to Clipboard"));
    button(cmdPaste, "cmdPaste", QStringLiteral("Paste"), QStringLiteral("Paste from Clipboard"));
    connect(cmdAdvanced, &QPushButton::clicked, this, &frmMain::cmdAdvanced_Click);
    connect(cmdAddRec, &QPushButton::clicked, this, &frmMain::cmdAddRec_Click);
    connect(cmdDeleteSel, &QPushButton::clicked, this, &frmMain::cmdDeleteSel_Click);
    connect(cmdClearSel, &QPushButton::clicked, this, &frmMain::cmdClearSel_Click);
    connect(cmdCopy, &QPushButton::clicked, this, &frmMain::cmdCopy_Click);
    connect(cmdPaste, &QPushButton::clicked, this, &frmMain::cmdPaste_Click);

    auto label = [&](QLabel*& member, const char* name) {
        member = new QLabel(central);
        registerControl(QString::fromLatin1(name), member);
    };
    label(lblGPSDesc1, "lblGPSDesc1");
    label(lbllat, "lbllat");
    label(lbllon, "lbllon");
    label(lblAlt, "lblAlt");
    label(lblepe, "lblepe");

    MSFlexGrid1 = new GpsTableView(m_table->grid(), central);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->tableModel().setIconLookup(
        [this](const QString& key) { return symbolIcons.value(key); });
    connect(MSFlexGrid1, &GpsTableView::gridSelectionChanged, this,
            &frmMain::MSFlexGrid1_SelChange);
    connect(MSFlexGrid1, &GpsTableView::gridCellDoubleClicked, this,
            &frmMain::MSFlexGrid1_DblClick);
    connect(MSFlexGrid1, &GpsTableView::gridHeaderClicked, this, &frmMain::MSFlexGrid1_HeaderClick);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i] = new QLabel(StatusBar1);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        m_panels[i]->setFrameShape(QFrame::Panel);
        m_panels[i]->setFrameShadow(QFrame::Sunken);
    }
    m_panels[0]->setMinimumWidth(90);
    // Long messages are cut at the panel's edge instead of widening the window.
    m_panels[1]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_panels[2]->setMinimumWidth(110);
    StatusBar1->addWidget(m_panels[0]);
    StatusBar1->addWidget(m_panels[1], 1);
    StatusBar1->addWidget(m_panels[2]);
    m_progress = new QProgressBar(StatusBar1);
    m_progress->setObjectName(QStringLiteral("progressTransfer"));
    m_progress->setMaximumWidth(160);
    m_progress->setTextVisible(false);
    StatusBar1->addPermanentWidget(m_progress);
    m_progress->hide();
    setStatusBar(StatusBar1);
    setPanelText(0, kNotConnected);

    Form_Resize();
}

// --- start and exit -----------------------------------------------------------

void frmMain::Form_Load() {
    transferFinished = true;
    const QString lowered = m_commandLine.toLower();
    m_quiet = lowered.startsWith(QLatin1String("quiet"));
    m_minimize = lowered.startsWith(QLatin1String("minimize"));

    applyStartupSettings();
    m_tempShapefile = QDir(AppPaths::privateTempDir()).filePath(QStringLiteral("trekora.shp"));

    transferBusy = false;
    Set_Controls(ControlStates::NotConnected);
    m_table->ResetTable();
    Set_Controls(ControlStates::TableEmptied);
    cmdAdvanced->setText(kTableHiddenCaption);
    Form_Resize();
    placeWindow();

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

    FieldSettings::SetFieldSettings(QString());
    // The catalogue the settings name; the first start asks for a projection.
    LoadProjections(m_projectionCatalogue == QLatin1String("esri") ? QStringLiteral("esri")
                                                                   : QStringLiteral("epsg"));
    m_table->OptionClicked(RecordType::Waypoint);
    showTypeOption(RecordType::Waypoint);
    symbolIcons = loadSymbolIcons();
    d103Symbols = Load_d103WptSymbols();
    d1xxSymbols = Load_d1xxWptSymbols();
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
            QCoreApplication::exit(m_quietDriver->lastResult() ? 0 : 1);
    });
}

void frmMain::applyStartupSettings() {
    const StartupSettings settings = StartupSettings::read();
    m_dialogFolder = settings.dialogFolder;
    m_portIndex = settings.port;
    if (m_portIndex >= 0 && m_portIndex < int(mnuPort.size()))
        mnuPort[size_t(m_portIndex)]->setChecked(true);
    m_serialSettings = settings.serialSettings;
    for (QAction* entry : mnuBaudRate)
        entry->setChecked(false);
    if (settings.baudIndex >= 0)
        mnuBaudRate[size_t(settings.baudIndex)]->setChecked(true);
    (settings.feet ? mnuFeet : mnuMeters)->setChecked(true);
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
    if (m_garmin)
        m_garmin->ClosePort();
    Settings::set("drive", "drive", m_dialogFolder);
    Timer1.stop();
    m_syncTimer.stop();
    for (QWidget* window :
         {static_cast<QWidget*>(m_about.data()), static_cast<QWidget*>(m_properties.data()),
          m_splash.data(), static_cast<QWidget*>(m_quietStatus.data()),
          static_cast<QWidget*>(m_info.data())})
        if (window)
            window->close();
}

void frmMain::mnuExit_Click() {
    close();
}

// --- the receiver ---------------------------------------------------------------------

void frmMain::createReceiver() {
    m_garmin = std::make_unique<GarminLink>();
    m_connection = std::make_unique<ReceiverConnection>(*this, *m_garmin, m_transferState);
    m_uploader = std::make_unique<UploadSequencer>(*this, *m_garmin, m_transferState);
    m_dispatcher = std::make_unique<TransferDispatcher>(*this, *m_garmin, m_transferState,
                                                        *m_connection, *m_uploader);
    m_quietDriver = std::make_unique<QuietDriver>(*this);
    // D103 receivers number their symbols their own way; the maps are built
    // at start-up.
    for (gps::SymbolTranslation* t : {&m_dispatcher->symbols(), &m_uploader->symbols()}) {
        t->fromD103 = [this](std::int16_t code) { return symbolFromD103(d1xxSymbols, code); };
        t->toD103 = [this](const QString& text) { return symbolToD103(d103Symbols, text); };
    }
    GarminLink* link = m_garmin.get();
    connect(link, &GarminLink::PacketReceived, this,
            [this](const QByteArray& packet) { m_dispatcher->onPacket(packet); });
    connect(link, &GarminLink::LineReceived, this,
            [this](const QString& line) { m_connection->onLine(line); });
    // Integration point for the real-time intake: an NMEA sentence marks the
    // unit as an NMEA receiver.
    connect(link, &GarminLink::SentenceReceived, this,
            [this](const QString&, const QString&) { m_connection->markNmeaProduct(); });
    // Direct: the answer to a lost device travels back in the code.
    connect(
        link, &GarminLink::LinkProblem, this,
        [this](qint16& code, const QString& message, const QByteArray& packet) {
            m_connection->onLinkProblem(code, message, packet);
        },
        Qt::DirectConnection);
    connect(link, &GarminLink::DataCounts, this, [this](qint32 w, qint32 p, qint32 r, qint32 t) {
        m_connection->onDataCounts(w, p, r, t);
    });
}

void frmMain::markPort(int index) {
    for (QAction* entry : mnuPort)
        entry->setChecked(false);
    if (index >= 0 && index < int(mnuPort.size()))
        mnuPort[size_t(index)]->setChecked(true);
    mnuBaud->menuAction()->setEnabled(index > 0);
    m_portIndex = index;
}

void frmMain::markBaud(int index) {
    for (QAction* entry : mnuBaudRate)
        entry->setChecked(false);
    if (index >= 0 && index < int(mnuBaudRate.size()))
        mnuBaudRate[size_t(index)]->setChecked(true);
}

void frmMain::resetBusy() {
    while (m_busyDepth > 0)
        setBusy(false);
}

void frmMain::showTransferProgress(int done, int total) {
    if (total < 1)
        return;
    if (m_progress->maximum() != total)
        m_progress->setRange(0, total);
    m_progress->setValue(std::clamp(done, 0, total));
    if (m_progress->isHidden())
        m_progress->show();
}

void frmMain::endTransferProgress() {
    m_progress->hide();
    m_progress->reset();
}

bool frmMain::transferProgressVisible() const {
    return !m_progress->isHidden();
}

int frmMain::transferProgressValue() const {
    return m_progress->value();
}

frmQuietStatus* frmMain::quietStatus() const {
    return m_quietStatus;
}

void frmMain::hideQuietStatus() {
    if (m_quietStatus)
        m_quietStatus->hide();
}

frmInfo& frmMain::infoWindow() {
    if (!m_info)
        m_info = new frmInfo(this);
    return *m_info;
}

void frmMain::mnuClosePort_Click() {
    m_connection->mnuClose_Click();
}

void frmMain::mnuResetGarmin_Click() {
    m_connection->mnuReset_Click();
}

void frmMain::mnuGarminInfo_Click() {
    m_connection->ReturnInfo();
    frmInfo& info = infoWindow();
    info.showInfo(m_connection->info());
    const bool onTop = windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (onTop)
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
    if (m_options.interactive)
        info.exec();
    if (onTop)
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void frmMain::mnuWDownload_Click() {
    m_dispatcher->mnuWDownload_Click();
}

void frmMain::mnuTDownload_Click() {
    m_dispatcher->mnuTDownload_Click();
}

void frmMain::mnuRDownload_Click() {
    m_dispatcher->mnuRDownload_Click();
}

void frmMain::mnuWUpload_Click() {
    m_uploader->mnuWUpload_Click();
}

void frmMain::mnuTUpload_Click() {
    m_uploader->mnuTUpload_Click();
}

void frmMain::mnuRUpload_Click() {
    m_uploader->mnuRUpload_Click();
}

// --- status and control states ------------------------------------------------

void frmMain::Set_Msg(const QString& text) {
    // Bulk operations report every row; an unchanged text costs nothing.
    setPanelText(1, text);
    if (m_mirror)
        m_mirror(text);
}

QString frmMain::statusPanel(int panel) const {
    if (panel < 1 || panel > int(m_panels.size()))
        return {};
    return m_panelText[size_t(panel - 1)];
}

void frmMain::clearPositionLabels() {
    for (QLabel* label : {lblGPSDesc1, lbllat, lbllon, lblAlt, lblepe})
        label->clear();
}

void frmMain::Set_Controls(int state) {
    switch (state) {
    case ControlStates::NotConnected:
        clearPositionLabels();
        setPanelText(0, kNotConnected);
        break;
    case ControlStates::TableEmptied:
        setPanelText(2, QString());
        break;
    case ControlStates::Connected:
        setPanelText(0, kConnected);
        break;
    default:
        break;
    }
    ControlStates::Context context;
    context.connected = m_panelText[0] == kConnected;
    context.hasRecords = m_table && m_table->hasRecords();
    context.recordType = m_table ? m_table->currentRecordType() : RecordType::Waypoint;
    // Loaders report state 4 for every record: the same state in the same
    // situation changes nothing.
    if (m_lastControls && m_lastControls->first == state && m_lastControls->second == context)
        return;
    m_lastControls = std::make_pair(state, context);
    for (const ControlStates::Change& change : ControlStates::changes(state, context)) {
        QObject* control = m_controls.value(change.control);
        if (auto* action = qobject_cast<QAction*>(control))
            action->setEnabled(change.enabled);
        else if (auto* widget = qobject_cast<QWidget*>(control))
            widget->setEnabled(change.enabled);
    }
}

bool frmMain::isControlEnabled(const QString& name) const {
    QObject* control = m_controls.value(name);
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
    for (QMenu* menu : {mnuAVLoad, mnuAVSave})
        menu->menuAction()->setVisible(m_hosts.arcView);
    for (QMenu* menu : {mnuLVLoad, mnuLVSave})
        menu->menuAction()->setVisible(m_hosts.landview);
    for (QMenu* menu : {mnuArcMapLoad, mnuArcMapSave})
        menu->menuAction()->setVisible(m_hosts.arcMap);
    mnuAESave->menuAction()->setVisible(m_hosts.arcExplorer);
    setWindowTitle(m_hosts.windowTitle());
}

void frmMain::mnuRefreshApps_Click() {
    RefreshApplications();
}

void frmMain::Timer1_Timer() {
    if (screenShotBusy)
        return;
    RefreshApplications();
    RefreshPortMenu();
}

void frmMain::RefreshPortMenu() {
    const QStringList devices = SerialPortMap::systemDevices();
    mnuPort[0]->setEnabled(true);
    for (int n = 1; n <= SerialPortMap::kPortCount; ++n) {
        const QString path = SerialPortMap::devicePath(n, devices);
        QAction* entry = mnuPort[size_t(n)];
        entry->setText(path.isEmpty() ? QStringLiteral("Port %1").arg(n)
                                      : QStringLiteral("Port %1 (%2)").arg(n).arg(path));
        entry->setEnabled(SerialPortMap::deviceUsable(path));
    }
}

void frmMain::mnuPort_Click(int index) {
    m_connection->mnuPort_Click(index);
}

void frmMain::mnuBaudRate_Click(int index) {
    m_connection->mnuBaud_Click(index);
}

void frmMain::mnuOpenPort_Click() {
    if (m_openPort)
        m_openPort();
    else
        m_connection->mnuOpen_Click();
}

// --- settings commands ------------------------------------------------------------

bool frmMain::unitsMeters() const {
    return mnuMeters->isChecked();
}

void frmMain::mnuUnits_Click(bool feet) {
    (feet ? mnuFeet : mnuMeters)->setChecked(true);
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
    if (m_openUrl)
        m_openUrl(QUrl::fromLocalFile(manual));
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
    return cmdAdvanced->text() == kTableShownCaption;
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
    for (QWidget* tablePart : std::initializer_list<QWidget*>{MSFlexGrid1, cmdAddRec, cmdDeleteSel,
                                                              cmdClearSel, cmdCopy, cmdPaste})
        tablePart->setVisible(shown);
    layoutControls();
}

void frmMain::layoutControls() {
    const int width = this->width();
    const int rowHeight = std::max(22, fontMetrics().height() + 6);
    int x = 8;
    for (QRadioButton* option : {optWpt, optTrk, optRte, optRTWpt}) {
        const int w = option->sizeHint().width() + 4;
        option->setGeometry(x, 4, w, rowHeight);
        x += w + 2;
    }
    const int advancedLeft = width - pixels(WindowSizing::kAdvancedButtonRightOffset);
    cmdAdvanced->setGeometry(advancedLeft, 3, pixels(2100), rowHeight + 2);

    const int labelTop = 4 + rowHeight + 2;
    const int labelHeight = fontMetrics().height() + 2;
    lblGPSDesc1->setGeometry(8, labelTop, 180, labelHeight);
    lbllat->setGeometry(192, labelTop, 84, labelHeight);
    lbllon->setGeometry(280, labelTop, 84, labelHeight);
    lblAlt->setGeometry(368, labelTop, 64, labelHeight);
    lblepe->setGeometry(436, labelTop, 64, labelHeight);

    const int gridTop = labelTop + labelHeight + 4;
    const QSize grid = WindowSizing::gridSize(size());
    MSFlexGrid1->setGeometry(8, gridTop, grid.width(), grid.height());
    int buttonX = 8;
    const int buttonTop = gridTop + grid.height() + 4;
    for (QPushButton* b : {cmdAddRec, cmdDeleteSel, cmdClearSel, cmdCopy, cmdPaste}) {
        const int w = b->sizeHint().width();
        b->setGeometry(buttonX, buttonTop, w, rowHeight + 2);
        buttonX += w + 4;
    }
}

void frmMain::cmdAdvanced_Click() {
    cmdAdvanced->setText(tableShown() ? kTableHiddenCaption : kTableShownCaption);
    Form_Resize();
    if (tableShown())
        refreshTable();
}

// --- table commands --------------------------------------------------------------------

void frmMain::refreshTable() {
    m_syncTimer.stop();
    MSFlexGrid1->sync();
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
        *m_table, [this] { return frmWptSelect::pick(symbolIcons, d103Symbols, this); });
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

void frmMain::setControls(int state) {
    Set_Controls(state);
    scheduleTableSync();
}

void frmMain::setSelectionPanel(const QString& text) {
    setPanelText(2, text);
}

void frmMain::setPanelText(int index, const QString& text) {
    // Bulk operations report every row. The texts are kept at once, but the
    // labels only repaint at the next turn of the event loop, so a long
    // operation costs one repaint and the user sees its last message.
    // Records arriving from the receiver each take a turn of the event loop:
    // the labels then follow at most every few hundredths of a second.
    m_panelText[size_t(index)] = text;
    if (m_panelTimer.isActive())
        return;
    constexpr qint64 kPanelPaceMs = 40;
    const qint64 since = m_panelClock.isValid() ? m_panelClock.elapsed() : kPanelPaceMs;
    m_panelTimer.start(int(std::max<qint64>(0, kPanelPaceMs - since)));
}

void frmMain::flushPanels() {
    m_panelClock.start();
    for (size_t i = 0; i < m_panels.size(); ++i)
        if (m_panels[i]->text() != m_panelText[i])
            m_panels[i]->setText(m_panelText[i]);
}

void frmMain::showTableArea() {
    if (!tableShown())
        cmdAdvanced_Click();
}

void frmMain::showTypeOption(const QString& typeKey) {
    QRadioButton* button = typeKey == RecordType::Track      ? optTrk
                           : typeKey == RecordType::Route    ? optRte
                           : typeKey == RecordType::RealTime ? optRTWpt
                                                             : optWpt;
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

bool frmMain::hasSymbolIcon(const QString& key) const {
    return symbolIcons.contains(key);
}

} // namespace trekora
