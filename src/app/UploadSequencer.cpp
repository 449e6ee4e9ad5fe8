#include "app/UploadSequencer.h"

#include "app/EventWait.h"
#include "app/ProjectionMessages.h"
#include "app/frmMain.h"
#include "core/TextConventions.h"
#include "core/UserInteraction.h"
#include "gps/GarminLink.h"
#include "gps/ReceiverSession.h"
#include "gps/ShortNames.h"
#include "table/FieldCatalogue.h"
#include "table/GpsTable.h"

namespace trekora {

namespace {

const QString kTitle = QStringLiteral("Trekora");
constexpr int kBusyWaitMs = 60000;
constexpr double kMetresPerFoot = 0.3048;

std::int16_t int16Of(double value) {
    return text::toInt16(value).value_or(0);
}

std::int32_t int32Of(double value) {
    return text::toInt32(value).value_or(0);
}

bool isTrue(const QString& cell) {
    return text::sameText(text::trim(cell), u"true");
}

} // namespace

UploadSequencer::UploadSequencer(frmMain& window, GarminLink& link, TransferState& state)
    : m_window(window), m_link(link), m_state(state) {}

void UploadSequencer::mnuWUpload_Click() {
    UploadTable();
}

void UploadSequencer::mnuTUpload_Click() {
    UploadTable();
}

void UploadSequencer::mnuRUpload_Click() {
    m_window.table().setCurrentRecordType(RecordType::Route);
    m_state.routeHeaderSent = false;
    m_state.routeLinkPending = false;
    UploadTable();
}

void UploadSequencer::refuse() {
    m_state.outcome = TransferOutcome::Failed;
    stop();
}

void UploadSequencer::stop() {
    m_window.resetBusy();
    m_window.endTransferProgress();
    m_window.session().setTransferBusy(false);
    m_window.session().setTransferFinished(true);
}

bool UploadSequencer::checkLatLong() {
    GpsTable& table = m_window.table();
    if (!m_window.quietMode())
        return CheckLatLongBeforeUpload(table);
    // Quiet tasks ask nothing: the coordinates must be there already.
    const int lat = table.FindColumn(QStringLiteral("lat"));
    const int lon = table.FindColumn(QStringLiteral("long"));
    if (lat >= 1 && lon >= 1 && table.hasRecords() &&
        table.ColumnsFilled(table.grid(), {lat, lon}, QStringLiteral("number")))
        return true;
    m_window.quietReport(
        QStringLiteral("Lat/Long fields must contain valid values.  Please set Lat/Long values ") +
        QStringLiteral("and try again."));
    return false;
}

void UploadSequencer::fitNamesToReceiver() {
    const QString type = m_window.table().currentRecordType() == RecordType::Route
                             ? m_link.RouteWaypointType()
                             : m_link.WaypointType();
    const int length = gps::identLength(type);
    GpsTable& table = m_window.table();
    const int col = table.FindColumn(QStringLiteral("ident"));
    if (length < 1 || col < 0)
        return;
    DataGrid& grid = table.grid();
    QStringList names;
    for (int row = m_state.firstRow; row <= m_state.lastRow; ++row) {
        const QString ident = grid.text(row, col);
        names << (ident.isEmpty() ? QStringLiteral("WPT%1").arg(row) : ident);
    }
    const QStringList fitted = gps::shortNames(names, length);
    int changed = 0;
    for (int i = 0; i < fitted.size(); ++i) {
        const int row = m_state.firstRow + i;
        if (fitted[i] == grid.text(row, col))
            continue;
        if (fitted[i] != names[i])
            ++changed;
        grid.setText(row, col, fitted[i]);
    }
    if (changed == 0)
        return;
    m_window.refreshTable();
    userInteraction().message(
        (changed == 1 ? QStringLiteral("1 waypoint name was")
                      : QStringLiteral("%1 waypoint names were").arg(changed)) +
            QStringLiteral(" shortened or changed to suit the GPS (at most %1 capital letters "
                           "and digits, each name different). The table shows the names sent.")
                .arg(length),
        kTitle);
}

int UploadSequencer::trackHeaderCount() const {
    if (text::trim(m_link.TrackHeaderType()).isEmpty())
        return 0;
    // A serial upload sends one header before the first point; over USB a
    // header goes before every row that starts a segment.
    if (m_link.Port() != 0)
        return 1;
    const GpsTable& table = m_window.table();
    const int segCol = table.FindColumn(QStringLiteral("new_seg"));
    int headers = 0;
    for (int row = m_state.firstRow; segCol >= 0 && row <= m_state.lastRow; ++row)
        if (isTrue(table.grid().text(row, segCol)))
            ++headers;
    return headers;
}

void UploadSequencer::UploadTable() {
    waitLettingEventsRun([this] { return !m_window.session().transferBusy(); }, kBusyWaitMs);
    m_window.session().setTransferBusy(true);
    m_window.session().setTransferFinished(false);
    m_window.setBusy(true);

    GpsTable& table = m_window.table();
    m_counter = 0;
    const GpsTable::Selection selection = table.selection();
    if (selection.count < 1) {
        m_total = table.grid().rows() - 1;
        table.ClearSelection();
        m_state.firstRow = 1;
        m_state.lastRow = m_total;
    } else {
        m_total = selection.last - selection.first + 1;
        m_state.firstRow = selection.first;
        m_state.lastRow = selection.last;
    }
    m_state.uploadRow = m_state.firstRow;
    m_ended = false;
    m_rangeError = false;
    m_state.expectedTotal = m_total;
    m_state.outcome = TransferOutcome::Complete;

    if (m_total < 1 || !checkLatLong()) {
        refuse();
        return;
    }
    const QString type = table.currentRecordType();
    int n = m_total;
    if (type == RecordType::Track) {
        if (text::trim(m_link.TrackProtocol()).isEmpty()) {
            userInteraction().message(
                QStringLiteral("This model does not support Track transfers."), kTitle);
            refuse();
            return;
        }
        m_state.currentKind = m_link.PidTrackPoint();
        // The count covers every record between it and transfer complete.
        n = m_total + trackHeaderCount();
    } else if (type == RecordType::Route) {
        m_state.currentKind = m_link.PidRouteWaypoint();
        n = 2 * m_total;
        fitNamesToReceiver();
    } else {
        m_state.currentKind = m_link.PidWaypoint();
        fitNamesToReceiver();
    }
    m_window.showTransferProgress(0, m_total);
    m_link.SendRecordCount(static_cast<qint16>(n));
    if (m_link.Port() != 0)
        return;

    // USB: no acknowledgements, every packet in one loop; a route row takes
    // two steps (its waypoint and the link after it), a track row one.
    const int segCol = table.FindColumn(QStringLiteral("new_seg"));
    const int steps = m_state.currentKind == m_link.PidRouteWaypoint() ? n : m_total;
    for (int i = 0; i < steps; ++i) {
        if (m_state.currentKind == m_link.PidWaypoint()) {
            Send_Waypoint();
        } else if (m_state.currentKind == m_link.PidTrackPoint()) {
            const int row = std::max(1, m_state.uploadRow);
            if (!text::trim(m_link.TrackHeaderType()).isEmpty() && segCol >= 0 &&
                row < table.grid().rows() && isTrue(table.grid().text(row, segCol))) {
                m_state.uploadRow = row;
                sendTrackHeaderRecord();
            }
            Send_Track_Point();
        } else {
            Send_Route_Point();
        }
        if (m_ended)
            break;
    }
    if (!m_ended)
        m_link.SendTransferComplete();
    if (m_rangeError)
        stop();
    else
        finish();
}

void UploadSequencer::finish() {
    m_window.session().setTransferBusy(false);
    m_window.resetBusy();
    m_window.endTransferProgress();
    const quint8 kind = m_state.currentKind;
    if (kind == m_link.PidWaypoint())
        m_window.Set_Msg(
            QStringLiteral("Transfer Complete. %1 Waypoints uploaded.").arg(m_counter));
    else if (kind == m_link.PidTrackPoint())
        m_window.Set_Msg(
            QStringLiteral("Transfer Complete.  A Track consisting of %1 points has been uploaded.")
                .arg(m_counter));
    else if (kind == m_link.PidRouteWaypoint())
        m_window.Set_Msg(
            QStringLiteral("Transfer Complete.  A Route consisting of %1 points has been uploaded.")
                .arg(m_counter));
    m_window.session().setTransferFinished(true);
}

void UploadSequencer::acknowledged(quint8 a) {
    GarminLink& g = m_link;
    const bool busy = m_window.session().transferBusy();
    if (a == g.PidRecords()) {
        if (m_state.currentKind == g.PidWaypoint())
            Send_Waypoint();
        else if (m_state.currentKind == g.PidTrackPoint())
            Send_Track_Header();
        else if (m_state.currentKind == g.PidRouteWaypoint())
            Send_Route_Point();
    } else if (a == g.PidWaypoint()) {
        busy ? Send_Waypoint() : g.SendTransferComplete();
    } else if (a == g.PidTrackHeader() || a == g.PidTrackPoint()) {
        busy ? Send_Track_Point() : g.SendTransferComplete();
    } else if (a == g.PidRouteHeader() || a == g.PidRouteWaypoint() || a == g.PidRouteLink()) {
        busy ? Send_Route_Point() : g.SendTransferComplete();
    } else if (a == g.PidTransferComplete()) {
        const quint8 kind = m_state.currentKind;
        if (kind == g.PidWaypoint() || kind == g.PidTrackPoint() || kind == g.PidRouteWaypoint())
            finish();
        m_window.session().setTransferFinished(true);
    }
}

QString UploadSequencer::cell(const QString& field) const {
    const GpsTable& table = m_window.table();
    const int col = table.FindColumn(field);
    const int row = m_state.uploadRow;
    if (col < 0 || row < 1 || row >= table.grid().rows())
        return {};
    return table.grid().text(row, col);
}

double UploadSequencer::number(const QString& field) const {
    return text::val(cell(field));
}

float UploadSequencer::length(const QString& field) const {
    const double value = number(field);
    return static_cast<float>(m_window.unitsMeters() ? value : value * kMetresPerFoot);
}

bool UploadSequencer::endOfRows() {
    if (m_state.uploadRow == 0)
        m_state.uploadRow = 1;
    if (m_state.uploadRow == m_state.lastRow + 1) {
        m_link.SendTransferComplete();
        m_ended = true;
        return true;
    }
    return false;
}

bool UploadSequencer::outOfRange() {
    const double lat = number(QStringLiteral("lat"));
    const double lon = number(QStringLiteral("long"));
    if (lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180)
        return false;
    userInteraction().message(
        QStringLiteral("Lat/Long values out of range in record %1").arg(m_state.uploadRow), kTitle,
        Buttons::Ok, Icon::Critical);
    m_link.SendTransferComplete();
    m_ended = true;
    m_rangeError = true;
    m_state.outcome = m_counter > 0 ? TransferOutcome::Partial : TransferOutcome::Failed;
    return true;
}

void UploadSequencer::countSent() {
    ++m_counter;
    ++m_state.uploadRow;
    m_window.Set_Msg(QStringLiteral("Uploaded %1 of %2").arg(m_counter).arg(m_total));
    if (m_pace.due(m_counter, m_total))
        m_window.showTransferProgress(m_counter, m_total);
}

void UploadSequencer::fillWaypoint(bool translateSymbol) {
    WaypointRecord& w = m_link.WaypointRecord();
    w = WaypointRecord{};
    w.ident = cell(QStringLiteral("ident"));
    if (w.ident.isEmpty())
        w.ident = QStringLiteral("WPT%1").arg(m_state.uploadRow);
    w.latitude = number(QStringLiteral("lat"));
    w.longitude = number(QStringLiteral("long"));
    w.comment = cell(QStringLiteral("comment"));
    w.display = int16Of(number(QStringLiteral("display")));
    const QString symbol = cell(QStringLiteral("symbol"));
    if (!translateSymbol)
        w.symbol = int16Of(text::val(symbol));
    else if (symbol.isEmpty())
        w.symbol = 18;
    else if (gps::usesD103Numbering(m_link.WaypointType()))
        w.symbol = m_symbols.d103Code(symbol);
    else
        w.symbol = int16Of(text::val(symbol));
    w.unused1 = int32Of(number(QStringLiteral("unused1")));
    w.prox_index = int16Of(number(QStringLiteral("prox_index")));
    w.color = int32Of(number(QStringLiteral("color")));
    w.dist = length(QStringLiteral("dist"));
    w.altitude = length(QStringLiteral("altitude"));
    w.depth = length(QStringLiteral("depth"));
    w.wpt_class = int16Of(number(QStringLiteral("wpt_class")));
    w.sub_class = cell(QStringLiteral("sub_class"));
    w.attrib = int16Of(number(QStringLiteral("attrib")));
    w.link = cell(QStringLiteral("link"));
    w.state = cell(QStringLiteral("state"));
    w.country = cell(QStringLiteral("country"));
    w.city = cell(QStringLiteral("city"));
    w.address = cell(QStringLiteral("address"));
    w.facility = cell(QStringLiteral("facility"));
    w.crossroad = cell(QStringLiteral("crossroad"));
    w.unused2 = int32Of(number(QStringLiteral("unused2")));
    w.ete = int32Of(number(QStringLiteral("ete")));
    w.dtype = int16Of(number(QStringLiteral("dtype")));
}

void UploadSequencer::Send_Waypoint() {
    if (endOfRows() || outOfRange())
        return;
    fillWaypoint(true);
    countSent();
    m_link.SendWaypoint();
}

void UploadSequencer::Send_Track_Header() {
    if (text::trim(m_link.TrackHeaderType()).isEmpty()) {
        Send_Track_Point();
        return;
    }
    if (m_state.uploadRow == 0)
        m_state.uploadRow = 1;
    sendTrackHeaderRecord();
}

void UploadSequencer::sendTrackHeaderRecord() {
    // The table keeps no track name: every uploaded track is the active log.
    TrackRecord& t = m_link.TrackRecord();
    t.ident = QStringLiteral("ACTIVE LOG");
    const QString display = cell(QStringLiteral("display"));
    t.display = display.isEmpty() || isTrue(display) || text::val(display) != 0;
    t.color = static_cast<std::uint8_t>(int32Of(number(QStringLiteral("color"))));
    m_link.SendTrackHeader();
}

void UploadSequencer::Send_Track_Point() {
    if (endOfRows() || outOfRange())
        return;
    TrackRecord& t = m_link.TrackRecord();
    t.new_segment = isTrue(cell(QStringLiteral("new_seg")));
    t.latitude = number(QStringLiteral("lat"));
    t.longitude = number(QStringLiteral("long"));
    const QString time = cell(QStringLiteral("time"));
    t.time = text::trim(time).isEmpty() ? QString() : text::numberText(text::val(time));
    t.altitude = length(QStringLiteral("altitude"));
    t.depth = length(QStringLiteral("depth"));
    countSent();
    m_link.SendTrackPoint();
}

void UploadSequencer::Send_Route_Header() {
    RouteRecord& r = m_link.RouteRecord();
    r.route_ident = cell(QStringLiteral("rident"));
    r.route_number = int16Of(number(QStringLiteral("rnumber")));
    r.route_comment = cell(QStringLiteral("rcmnt"));
    m_link.SendRouteHeader();
}

void UploadSequencer::Send_Route_Point() {
    if (endOfRows())
        return;
    if (m_state.routeHeaderSent) {
        m_state.routeHeaderSent = false;
    } else if (isTrue(cell(QStringLiteral("new_seg")))) {
        // A new route: no link joins it to the one before, and its header
        // goes out once.
        m_state.routeHeaderSent = true;
        m_state.routeLinkPending = false;
        Send_Route_Header();
        return;
    }
    if (m_state.routeLinkPending) {
        RouteRecord& r = m_link.RouteRecord();
        r.link_class = 3;
        r.link_ident.clear();
        r.link_subclass.clear();
        m_state.routeLinkPending = false;
        m_link.SendRouteLink();
        return;
    }
    m_state.routeLinkPending = true;
    fillWaypoint(false);
    countSent();
    m_link.SendRouteWaypoint();
}

} // namespace trekora
