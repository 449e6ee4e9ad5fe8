// The main window's receiver commands: the link, the session's state on the
// labels, the port and baud menus, and the transfer commands that the
// connection, dispatcher and upload sequencer carry out.
#include "app/frmMain.h"

#include "app/QuietDriver.h"
#include "app/ReceiverConnection.h"
#include "app/StatusPanels.h"
#include "app/TransferDispatcher.h"
#include "app/UploadSequencer.h"
#include "app/frmInfo.h"
#include "app/frmQuietStatus.h"
#include "gps/GarminLink.h"
#include "gps/ReceiverSession.h"
#include "gps/SerialPorts.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>

namespace trekora {

// --- the receiver ---------------------------------------------------------------------

void frmMain::createReceiver() {
    m_session = std::make_unique<ReceiverSession>();
    GarminLink& garmin = m_session->link();
    m_connection = std::make_unique<ReceiverConnection>(*this, garmin, m_transferState);
    m_uploader = std::make_unique<UploadSequencer>(*this, garmin, m_transferState);
    m_dispatcher = std::make_unique<TransferDispatcher>(*this, garmin, m_transferState,
                                                        *m_connection, *m_uploader);
    m_quietDriver = std::make_unique<QuietDriver>(*this);
    // D103 receivers number their symbols their own way; the maps are built
    // at start-up.
    for (gps::SymbolTranslation* t : {&m_dispatcher->symbols(), &m_uploader->symbols()}) {
        t->fromD103 = [this](std::int16_t code) { return symbolFromD103(m_d1xxSymbols, code); };
        t->toD103 = [this](const QString& text) { return symbolToD103(m_d103Symbols, text); };
    }
    GarminLink* link = &garmin;
    connect(m_session.get(), &ReceiverSession::connectionChanged, this, &frmMain::showConnection);
    connect(m_session.get(), &ReceiverSession::connectionLost, this, &frmMain::onConnectionLost);
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
    for (QAction* entry : m_menus.mnuPort)
        entry->setChecked(false);
    if (index >= 0 && index < int(m_menus.mnuPort.size()))
        m_menus.mnuPort[size_t(index)]->setChecked(true);
    m_menus.mnuBaud->menuAction()->setEnabled(index > 0);
    m_portIndex = index;
}

void frmMain::markBaud(int index) {
    for (QAction* entry : m_menus.mnuBaudRate)
        entry->setChecked(false);
    if (index >= 0 && index < int(m_menus.mnuBaudRate.size()))
        m_menus.mnuBaudRate[size_t(index)]->setChecked(true);
}

void frmMain::resetBusy() {
    while (m_busyDepth > 0)
        setBusy(false);
}

void frmMain::showTransferProgress(int done, int total) {
    m_status->showProgress(done, total);
}

void frmMain::endTransferProgress() {
    m_status->endProgress();
}

bool frmMain::transferProgressVisible() const {
    return m_status->progressVisible();
}

int frmMain::transferProgressValue() const {
    return m_status->progressValue();
}

frmQuietStatus* frmMain::quietStatus() const {
    return m_quietStatus;
}

void frmMain::hideQuietStatus() {
    if (m_quietStatus)
        m_quietStatus->hide();
}

void frmMain::quietReport(const QString& text) {
    m_quietDriver->report(text);
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

void frmMain::showReceiverDescription(const QString& text) {
    m_controls.lblGPSDesc1->setText(text);
}

void frmMain::showPosition(const QString& latitude, const QString& longitude) {
    m_controls.lbllat->setText(latitude);
    m_controls.lbllon->setText(longitude);
}

void frmMain::showConnection() {
    QString text = QStringLiteral("Not Connected");
    switch (m_session->connection()) {
    case ReceiverSession::Connection::Connecting:
        text = QStringLiteral("Connecting");
        break;
    case ReceiverSession::Connection::Connected:
        text = QStringLiteral("Connected");
        break;
    case ReceiverSession::Connection::NotConnected:
        break;
    }
    setPanelText(0, text);
}

void frmMain::onConnectionLost() {
    // The link has closed the port: nothing that needs the receiver stays
    // offered, and no wait or progress bar outlives the transfer.
    Set_Controls(ControlState::NotConnected);
    resetBusy();
    endTransferProgress();
}

GarminLink& frmMain::garmin() {
    return m_session->link();
}

bool frmMain::realTimeRunning() const {
    return m_session->realTimeActive();
}

// --- ports ---

void frmMain::RefreshPortMenu() {
    const QStringList devices = gps::SerialPorts::systemDevices();
    m_menus.mnuPort[0]->setEnabled(true);
    for (int n = 1; n <= gps::SerialPorts::kMaxPort; ++n) {
        const QString path = gps::SerialPorts::devicePath(n, devices);
        QAction* entry = m_menus.mnuPort[size_t(n)];
        entry->setText(path.isEmpty() ? QStringLiteral("Port %1").arg(n)
                                      : QStringLiteral("Port %1 (%2)").arg(n).arg(path));
        entry->setEnabled(gps::SerialPorts::deviceUsable(path));
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

} // namespace trekora
