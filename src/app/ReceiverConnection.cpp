#include "app/ReceiverConnection.h"

#include "app/ControlStates.h"
#include "app/EventWait.h"
#include "app/StartupSettings.h"
#include "app/frmMain.h"
#include "core/Settings.h"
#include "core/TextConventions.h"
#include "core/UserInteraction.h"
#include "gps/DeviceInfo.h"
#include "gps/GarminLink.h"
#include "gps/ReceiverSession.h"
#include "gps/SerialPorts.h"
#include "proj/CurrentProjection.h"
#include "table/FieldCatalogue.h"
#include "table/GpsTable.h"

#include <QAction>

namespace trekora {

namespace {

const QString kTitle = QStringLiteral("Trekora");
const QString kNmea = QStringLiteral("NMEA");
const QString k4800 = QStringLiteral("4800,N,8,1");
constexpr int kBusyWaitMs = 30000;

QString rateText(const QString& settings) {
    return text::numberText(text::val(settings));
}

} // namespace

ReceiverConnection::ReceiverConnection(frmMain& window, GarminLink& link, TransferState& state)
    : m_window(window), m_link(link), m_state(state) {}

void ReceiverConnection::mnuOpen_Click() {
    m_window.session().setRealTimeActive(false);
    m_nmeaMode = false;
    m_window.session().setConnection(ReceiverSession::Connection::Connecting);
    m_window.Set_Controls(ControlState::NotConnected);
    m_window.Set_Msg(QStringLiteral("Trying to Connect Using Baud Rate: ") +
                     rateText(m_window.serialSettings()));
    m_window.setBusy(true);

    const int port = m_window.portIndex();
    if (port >= 1 && !gps::SerialPorts::portUsable(port)) {
        userInteraction().message(QStringLiteral("Port %1 does not exist").arg(port), kTitle,
                                  Buttons::Ok, Icon::Critical);
        failConnect();
        return;
    }
    m_link.setPort(static_cast<qint16>(port));
    m_link.setSettings(m_window.serialSettings());
    if (!m_link.OpenPort()) {
        failConnect();
        return;
    }
    m_link.RequestProductData();
    m_window.Set_Msg(QString());
    if (m_info.productId.isEmpty()) {
        userInteraction().message(
            QStringLiteral("GPS on com port %1 failed to initialze.").arg(m_link.Port()) +
                QStringLiteral("Check the following: ") + QLatin1Char('\n') +
                QStringLiteral("  1) Your GPS is turned on") + QLatin1Char('\n') +
                QStringLiteral("  2) The proper port number is set") + QLatin1Char('\n') +
                QStringLiteral("  3) Active Sync is disabled on your machine (PDA users)"),
            kTitle, Buttons::Ok, Icon::Critical);
        failConnect();
        return;
    }
    waitLettingEventsRun([] { return false; }, 0);
    m_window.setSerialSettings(m_link.Settings());
    Settings::set("port", "Settings", m_link.Settings());
    if (m_info.productId != kNmea) {
        m_link.RequestDateTime();
        m_link.StartPositionStream();
        m_link.Pause(50);
        m_link.StopPositionStream();
        m_link.PostConnectQuery();
        m_window.session().setConnection(ReceiverSession::Connection::Connected);
        m_window.Set_Controls(ControlState::Connected);
        m_window.setBusy(false);
        m_window.Set_Msg(QStringLiteral("Projection: ") + getProjectionName());
        return;
    }
    if (!m_window.quietMode())
        userInteraction().message(
            QStringLiteral("Your GPS is in NMEA mode.  For upload/download ") +
                QStringLiteral("capabilities") + QStringLiteral("\r\n") +
                QStringLiteral("switch the GPS's Interface Mode to ") +
                QStringLiteral("'GARMIN', then reconnect."),
            kTitle);
    m_window.setBusy(false);
    m_window.session().setConnection(ReceiverSession::Connection::Connected);
    m_window.menus().mnuClosePort->setEnabled(true);
    m_window.Set_Controls(ControlState::NmeaMode);
    m_window.showTypeOption(RecordType::RealTime);
    m_window.table().OptionClicked(RecordType::RealTime);
    m_nmeaMode = true;
}

void ReceiverConnection::failConnect() {
    m_window.session().setConnection(ReceiverSession::Connection::NotConnected);
    m_window.Set_Controls(ControlState::NotConnected);
    m_link.ClosePort();
    m_window.setBusy(false);
}

void ReceiverConnection::mnuClose_Click() {
    m_window.Set_Msg(QStringLiteral("GPS Connection has been closed"));
    m_link.ClosePort();
    m_window.session().setConnection(ReceiverSession::Connection::NotConnected);
    m_window.Set_Controls(ControlState::NotConnected);
    m_window.resetBusy();
    m_window.endTransferProgress();
}

void ReceiverConnection::mnuPort_Click(int index) {
    mnuClose_Click();
    m_window.markPort(index);
    Settings::set("port", "port", QString::number(index));
    mnuOpen_Click();
}

void ReceiverConnection::mnuBaud_Click(int index) {
    m_window.setBusy(true);
    const QString wanted = serialSettingsOfBaudIndex(index);
    QString current = m_window.serialSettings();
    int marked = index;
    // A closed link has no rate to change: the choice is kept for the next
    // connection, as with NMEA's 4800.
    if (wanted != k4800 && current != k4800 && m_link.isOpen()) {
        if (m_link.ChangeBaudRate(text::val(wanted))) {
            current = wanted;
        } else {
            const qint32 rate = m_link.CurrentBaudRate(current);
            current = QString::number(rate) + QStringLiteral(",N,8,1");
            if (text::val(current) == 0) {
                m_window.setBusy(false);
                return;
            }
            if (current != wanted)
                userInteraction().message(QStringLiteral("Unable to change baud rate to ") +
                                              wanted + QStringLiteral(". Negotiated ") + current,
                                          kTitle);
            marked = 1;
        }
    } else {
        current = wanted;
    }
    m_window.setSerialSettings(current);
    m_window.markBaud(marked);
    Settings::set("port", "Settings", current);
    m_window.setBusy(false);
    m_window.Set_Msg(QStringLiteral("Set Baud Rate to ") + rateText(current));
}

void ReceiverConnection::ResetLink() {
    m_state.currentKind = 0;
    m_link.AbortTransfer();
    m_link.Pause(2);
    m_link.ClosePort();
    m_window.session().setRealTimeActive(false);
    m_window.session().setTransferBusy(false);
    m_window.endTransferProgress();
    if (!m_link.OpenPort()) {
        // The receiver cannot be reached again: say so instead of offering
        // commands that need it.
        m_window.session().setConnection(ReceiverSession::Connection::NotConnected);
        m_window.Set_Controls(ControlState::NotConnected);
    }
}

void ReceiverConnection::mnuReset_Click() {
    ResetLink();
    m_window.resetBusy();
    m_window.Set_Msg(QString());
}

void ReceiverConnection::ReturnInfo() {
    waitLettingEventsRun([this] { return !m_window.session().transferBusy(); }, kBusyWaitMs);
    m_link.RequestProductData();
    m_link.RequestDateTime();
    m_link.InfoQuery();
    m_window.session().setRealTimeActive(true);
    m_link.StartPositionStream();
    m_link.Pause(1);
    m_link.StopPositionStream();
    m_window.session().setRealTimeActive(false);
}

void ReceiverConnection::ShowProductData() {
    const ProductRecord& product = m_link.ProductRecord();
    m_info.productId = QStringLiteral("PID %1").arg(product.product_id);
    m_info.desc1 = product.description1;
    m_info.desc2 = product.description2;
    m_window.showReceiverDescription(product.description1 + QLatin1Char(' ') +
                                     product.description2);
    m_screenShotCapable = gps::screenShotCapable(product);
    Receive_Protocol_Array();
}

void ReceiverConnection::Receive_Protocol_Array() {
    const gps::CapabilityColumns table = gps::capabilityTable(m_link.capabilities());
    m_info.format1 = table.protocols;
    m_info.format2 = table.headers;
    m_info.format3 = table.data;
}

void ReceiverConnection::ShowDateTime() {
    m_info.date = gps::dateText(m_link.DateTimeRecord());
    m_info.time = gps::timeText(m_link.DateTimeRecord());
}

void ReceiverConnection::ShowPosition() {
    m_window.showPosition(text::format(m_link.PositionRecord().latitude, u"##.00000000"),
                          text::format(m_link.PositionRecord().longitude, u"###.00000000"));
}

void ReceiverConnection::onLine(const QString& line) {
    if (!gps::isNmeaLine(line))
        return;
    m_nmeaMode = true;
    m_info.mode = kNmea;
}

void ReceiverConnection::markNmeaProduct() {
    m_info.productId = kNmea;
}

Answer ReceiverConnection::askAboutLink(const QString& message, Buttons buttons) {
    // Quiet tasks have nobody to ask: the problem is reported and the
    // transfer given up, so that the calling script learns of it at once.
    if (m_window.quietMode()) {
        m_window.quietReport(message);
        return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
    return userInteraction().message(message, kTitle, buttons,
                                     buttons == Buttons::Ok ? Icon::None : Icon::Warning);
}

void ReceiverConnection::abandonTransfer() {
    if (!m_window.session().transferBusy() && m_window.session().transferFinished())
        return;
    m_state.currentKind = 0;
    m_state.outcome = TransferOutcome::Failed;
    m_window.session().setTransferBusy(false);
    m_window.session().setTransferFinished(true);
    m_window.resetBusy();
    m_window.endTransferProgress();
}

void ReceiverConnection::onLinkProblem(qint16& code, const QString& message,
                                       const QByteArray& packet) {
    switch (code) {
    case GarminLink::NotAcknowledged:
    case GarminLink::NotUnderstood: {
        if (m_nmeaMode) {
            askAboutLink(message, Buttons::Ok);
            // A unit in NMEA mode never answers a packet: nothing can finish
            // a transfer that waits for one.
            if (m_window.quietMode())
                abandonTransfer();
            return;
        }
        if (askAboutLink(message, Buttons::RetryCancel) == Answer::Retry) {
            m_link.ResendPacket(packet);
            return;
        }
        abandonTransfer();
        mnuClose_Click();
        m_window.session().setRealTimeActive(false);
        return;
    }
    case GarminLink::TransferStopped:
        if (askAboutLink(message, Buttons::OkCancel) == Answer::Cancel) {
            m_window.session().setRealTimeActive(false);
            m_link.AbortTransfer();
            abandonTransfer();
        }
        return;
    case GarminLink::DeviceLost:
        if (askAboutLink(message, Buttons::RetryCancel) == Answer::Retry) {
            code = GarminLink::kAnswerRetry;
            return;
        }
        code = GarminLink::kAnswerCancel;
        // The link closes the port on this answer; the window says so too.
        abandonTransfer();
        mnuClose_Click();
        m_window.session().setRealTimeActive(false);
        return;
    default:
        return;
    }
}

void ReceiverConnection::onDataCounts(qint32 waypoints, qint32 proximity, qint32 routePoints,
                                      qint32 trackPoints) {
    m_info.waypoints = QString::number(waypoints);
    m_info.proximityWaypoints = QString::number(proximity);
    m_info.routePoints = QString::number(routePoints);
    m_info.trackPoints = QString::number(trackPoints);
}

} // namespace trekora
