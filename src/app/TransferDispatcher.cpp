#include "app/TransferDispatcher.h"

#include "app/ControlStates.h"
#include "app/EventWait.h"
#include "app/ProjectionMessages.h"
#include "app/ReceiverConnection.h"
#include "app/UploadSequencer.h"
#include "app/frmMain.h"
#include "core/UserInteraction.h"
#include "gps/GarminLink.h"
#include "gps/ReceiverSession.h"
#include "table/FieldCatalogue.h"
#include "table/GpsTable.h"

#include <QList>
#include <QLocale>
#include <QStringView>
#include <limits>

namespace trekora {

namespace {

const QString kTitle = QStringLiteral("Trekora");
constexpr int kBusyWaitMs = 60000;
constexpr quint8 kIgnoredKind = 248;

} // namespace

TransferDispatcher::TransferDispatcher(frmMain& window, GarminLink& link, TransferState& state,
                                       ReceiverConnection& connection, UploadSequencer& uploader)
    : m_window(window), m_link(link), m_state(state), m_connection(connection),
      m_uploader(uploader) {}

void TransferDispatcher::mnuWDownload_Click() {
    download(RecordType::Waypoint);
}

void TransferDispatcher::mnuTDownload_Click() {
    download(RecordType::Track);
}

void TransferDispatcher::mnuRDownload_Click() {
    download(RecordType::Route);
}

void TransferDispatcher::download(const QString& typeKey) {
    GpsTable& table = m_window.table();
    table.setCurrentRecordType(typeKey);
    waitLettingEventsRun([this] { return !m_window.session().transferBusy(); }, kBusyWaitMs);
    if (typeKey != RecordType::Waypoint && m_window.session().realTimeActive())
        return;
    m_window.session().setTransferBusy(true);
    m_window.setBusy(true);
    m_window.Set_Controls(ControlState::TableHasRecords);
    table.ResetTable();
    m_window.showTableArea();
    table.SetTableType(typeKey);
    m_window.showTypeOption(typeKey);
    if (typeKey != RecordType::Route)
        m_window.session().setTransferFinished(false);
    m_state.expectedTotal = 0;
    m_state.outcome = TransferOutcome::Complete;
    m_dropped = 0;
    m_window.refreshTable();
    if (typeKey == RecordType::Waypoint)
        m_link.DownloadWaypoints();
    else if (typeKey == RecordType::Track)
        m_link.DownloadTracks();
    else
        m_link.DownloadRoutes();
}

void TransferDispatcher::onPacket(const QByteArray& packet) {
    if (packet.size() < 2 || m_connection.info().productId == QLatin1String("NMEA"))
        return;
    const auto k = static_cast<quint8>(packet.at(1));
    GarminLink& g = m_link;
    if (k == g.PidRecords()) {
        m_window.table().setRecordCounter(0);
        m_state.expectedTotal = g.RecordCount();
        m_window.showTransferProgress(0, m_state.expectedTotal);
    } else if (k == g.PidProductData()) {
        m_connection.ShowProductData();
    } else if (k == kIgnoredKind || k == g.PidNak()) {
    } else if (k == g.PidProtocolArray()) {
        m_connection.Receive_Protocol_Array();
    } else if (k == g.PidDateTime()) {
        m_connection.ShowDateTime();
    } else if (k == g.PidPvt()) {
        if (m_pvt)
            m_pvt();
    } else if (k == g.PidCommand()) {
    } else if (k == g.PidPosition()) {
        m_connection.ShowPosition();
    } else if (k == g.PidAlmanac()) {
    } else if (k == g.PidWaypoint() || k == g.PidProximityWaypoint() || k == g.PidRouteHeader() ||
               k == g.PidRouteLink() || k == g.PidRouteWaypoint() || k == g.PidTrackHeader() ||
               k == g.PidTrackPoint()) {
        m_state.currentKind = k;
        onDataPacket(k);
    } else if (k == g.PidTransferComplete()) {
        endOfDownload();
    } else if (k == g.PidTally()) {
        GpsTable& table = m_window.table();
        table.setRecordCounter(static_cast<std::int16_t>(table.recordCounter() + 1));
    } else if (k == g.PidAck()) {
        if (packet.size() > 3)
            m_uploader.acknowledged(static_cast<quint8>(packet.at(3)));
    }
}

gps::RowContext TransferDispatcher::rowContext() const {
    gps::RowContext context;
    context.meters = m_window.unitsMeters();
    context.d103Symbols = gps::usesD103Numbering(m_link.WaypointType());
    context.symbols = &m_symbols;
    context.model = gps::modelText(m_connection.info().desc1);
    return context;
}

void TransferDispatcher::addRow(const QStringList& values) {
    // A full table keeps what it has; the rest of the transfer still has to
    // be read off the link, and is counted for the one message at the end.
    if (m_window.table().recordCounter() == std::numeric_limits<std::int16_t>::max()) {
        ++m_dropped;
        return;
    }
    QList<QStringView> views;
    views.reserve(values.size());
    for (const QString& v : values)
        views.append(v);
    m_window.table().AddRecordValues(views, {});
}

void TransferDispatcher::showProgress(const QString& what) {
    const std::int16_t counter = m_window.table().recordCounter();
    m_window.Set_Msg(QStringLiteral("Received %1 of %2 ").arg(counter).arg(m_state.expectedTotal) +
                     what);
    if (m_pace.due(counter, m_state.expectedTotal))
        m_window.showTransferProgress(counter, m_state.expectedTotal);
}

void TransferDispatcher::onDataPacket(quint8 k) {
    GarminLink& g = m_link;
    if (k == g.PidWaypoint() || k == g.PidProximityWaypoint()) {
        addRow(gps::waypointValues(g.WaypointRecord(), rowContext()));
        showProgress(QStringLiteral("waypoints"));
    } else if (k == g.PidTrackHeader()) {
        --m_state.expectedTotal;
    } else if (k == g.PidTrackPoint()) {
        addRow(gps::trackPointValues(g.TrackRecord(), g.TrackRecord().ident, rowContext()));
        showProgress(QStringLiteral("track points"));
    } else if (k == g.PidRouteHeader()) {
        m_state.routeHeader = gps::routeHeaderValues(g.RouteRecord(), g.RouteHeaderType());
        m_state.newRoute = true;
        --m_state.expectedTotal;
    } else if (k == g.PidRouteLink()) {
        --m_state.expectedTotal;
    } else if (k == g.PidRouteWaypoint()) {
        const QStringList waypoint = gps::waypointValues(g.WaypointRecord(), rowContext());
        addRow(gps::routePointValues(waypoint, m_state.newRoute, m_state.routeHeader));
        m_state.newRoute = false;
        showProgress(QStringLiteral("route points"));
    }
}

void TransferDispatcher::projectDownload(GpsTable& table) {
    m_state.projectionProblem.clear();
    m_state.projectionRan = true;
    if (!table.hasRecords())
        return;
    // Rows PROJ cannot convert keep blank projected cells, never 0, 0; the
    // outcome is kept for quiet mode, which must not write such rows as
    // complete.
    const TableProjection projection = projectTableRows(table, true);
    reportTableProjection(projection);
    if (projection.complete())
        return;
    m_state.projectionRan = projection.converted();
    m_state.projectionProblem = projection.converted() ? describeUnfilledRows(projection, true)
                                                       : projection.status.description;
}

void TransferDispatcher::endOfDownload() {
    // The end of an upload is acknowledged, not sent; a transfer-complete
    // packet always closes a download.
    m_window.session().setTransferBusy(false);
    GpsTable& table = m_window.table();
    projectDownload(table);
    m_window.resetBusy();
    m_window.endTransferProgress();
    m_window.refreshTable();
    const std::int16_t counter = table.recordCounter();
    userInteraction().message(QStringLiteral("Received %1 records.").arg(counter), kTitle);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QString problem;
    if (m_dropped > 0)
        problem = QStringLiteral("Table is Full: %1 of %2 records kept")
                      .arg(english.toString(int(counter)), english.toString(counter + m_dropped));
    else if (counter != m_state.expectedTotal)
        problem =
            QStringLiteral("Error - Record counts don't match") +
            QStringLiteral("\r\nGPS claims to have sent %1 records.").arg(m_state.expectedTotal);
    if (!problem.isEmpty())
        m_state.outcome = TransferOutcome::Partial;
    m_window.session().setTransferFinished(true);
    if (!problem.isEmpty())
        userInteraction().message(problem, kTitle, Buttons::Ok, Icon::Critical);
    m_state.currentKind = 0;
}

} // namespace trekora
