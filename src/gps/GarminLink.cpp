#include "gps/GarminLink.h"

#include "gps/SerialPorts.h"
#include "gps/link/SerialLink.h"
#include "gps/link/UsbLink.h"
#include "gps/protocol/ByteIO.h"
#include "gps/protocol/DataTypes.h"
#include "gps/transport/SerialTransport.h"

#include <QEventLoop>
#include <cmath>

namespace trekora {

using gps::Packet;
namespace pid = gps::pid;
namespace cmd = gps::cmd;

namespace {

constexpr int kMaxDeviceRetries = 10;
// Units answer a rate request with the rate their divisor gives (115385 for
// 115200); a rate this close to the wanted one is taken as the wanted one.
constexpr double kRateTolerance = 0.03;

QByteArray u16Data(quint16 value) {
    QByteArray data;
    gps::ByteWriter(data).u16(value);
    return data;
}

// Type number of a capability string, or the classic default when the
// receiver did not say.
int typeOr(const QString& type, int fallback) {
    return type.trimmed().isEmpty() ? fallback : gps::dataTypeNumber(type);
}

bool nmeaChecksumOk(const QByteArray& line) {
    const auto star = line.lastIndexOf('*');
    if (star < 0)
        return true; // sentences without a checksum are allowed
    if (line.size() < star + 3)
        return false;
    quint8 sum = 0;
    for (qsizetype i = 1; i < star; ++i)
        sum ^= static_cast<quint8>(line[i]);
    bool ok = false;
    const uint given = line.mid(star + 1, 2).toUInt(&ok, 16);
    return ok && given == sum;
}

} // namespace

GarminLink::GarminLink(QObject* parent) : QObject(parent) {
    m_transferTimer.setSingleShot(true);
    connect(&m_transferTimer, &QTimer::timeout, this, &GarminLink::onTransferStalled);
    m_productSettleTimer.setSingleShot(true);
    connect(&m_productSettleTimer, &QTimer::timeout, this, &GarminLink::finishProductData);
}

GarminLink::~GarminLink() {
    // Nested waits return at once; they check that the component still lives.
    for (ActiveWait* wait : m_waits)
        wait->loop->quit();
    m_waits.clear();
    dropLink();
}

// ---------------------------------------------------------------- the port

bool GarminLink::isOpen() const {
    return m_link && m_link->isOpen();
}

gps::PacketLink* GarminLink::createLink() {
    if (m_port == 0)
        return new gps::UsbLink(this);
    const QString path = gps::SerialPorts::devicePath(m_port);
    if (path.isEmpty())
        return nullptr;
    return createSerialLink(path);
}

gps::PacketLink* GarminLink::createSerialLink(const QString& path) {
    auto transport =
        std::make_unique<gps::SerialTransport>(path, gps::SerialSettings::parse(m_settings));
    auto* link = new gps::SerialLink(std::move(transport), this);
    link->setAckTimeout(m_timing.ackTimeoutMs);
    link->setRetries(m_timing.retries);
    return link;
}

void GarminLink::attachLink(gps::PacketLink* link) {
    m_link = link;
    connect(link, &gps::PacketLink::packetReceived, this, &GarminLink::onPacket);
    connect(link, &gps::PacketLink::acknowledged, this, &GarminLink::onAcknowledged);
    connect(link, &gps::PacketLink::lineReceived, this, &GarminLink::onLine);
    connect(link, &gps::PacketLink::sendFailed, this, &GarminLink::onSendFailed);
    connect(link, &gps::PacketLink::lost, this, &GarminLink::onLinkLost);
}

void GarminLink::dropLink() {
    if (!m_link)
        return;
    m_link->disconnect(this);
    m_link->close();
    // The link may be the sender of the signal being handled: delete later.
    m_link->deleteLater();
    m_link = nullptr;
}

void GarminLink::resetSessionState() {
    m_productSeen = m_productSettled = m_capsSeen = m_dateTimeSeen = m_nmeaSeen = false;
    m_transfer = Transfer::None;
    m_transferTimer.stop();
    m_productSettleTimer.stop();
    m_screen.reset();
    m_screenWanted = false;
}

bool GarminLink::OpenPort() {
    dropLink();
    resetSessionState();
    gps::PacketLink* link = createLink();
    if (!link)
        return false;
    attachLink(link);
    if (!link->open()) {
        dropLink();
        if (m_port != 0)
            return false;
        // The kernel's serial driver may have claimed the unit: its tty
        // then serves as a serial port.
        const QString tty = gps::SerialPorts::receiverTty();
        if (tty.isEmpty())
            return false;
        link = createSerialLink(tty);
        attachLink(link);
        if (!link->open()) {
            dropLink();
            return false;
        }
    }
    if (auto* serial = qobject_cast<gps::SerialLink*>(link)) {
        auto settings = gps::SerialSettings::parse(m_settings);
        settings.baudRate = serial->transport().baudRate();
        m_settings = settings.text();
    }
    return true;
}

void GarminLink::ClosePort() {
    resetSessionState();
    dropLink();
}

qint32 GarminLink::CurrentBaudRate(const QString& settings) const {
    if (auto* serial = qobject_cast<gps::SerialLink*>(m_link.data()); serial && serial->isOpen())
        return serial->transport().baudRate();
    if (m_port == 0)
        return 0;
    bool ok = false;
    const qint32 rate = settings.section(QLatin1Char(','), 0, 0).trimmed().toInt(&ok);
    return ok && rate > 0 ? rate : 0;
}

// ------------------------------------------------------------- waiting

bool GarminLink::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    if (done())
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    ActiveWait wait{done, &loop};
    m_waits.append(&wait);
    QPointer<GarminLink> self(this);
    timer.start(timeoutMs);
    loop.exec();
    if (!self)
        return false; // destroyed while waiting: touch nothing
    m_waits.removeOne(&wait);
    return done();
}

void GarminLink::checkWaits() {
    for (ActiveWait* wait : std::as_const(m_waits)) {
        if (wait->done())
            wait->loop->quit();
    }
}

void GarminLink::Pause(qint16 n) {
    if (n <= 0)
        return;
    // A pause after starting the position stream is there for its first
    // record: once that has arrived there is nothing left to wait for.
    waitUntil([this] { return m_pvtAwaited && m_pvtArrived; }, n * m_timing.pauseUnitMs);
}

// ------------------------------------------------------------- requests

void GarminLink::sendPacket(quint8 id, const QByteArray& data) {
    if (m_link && m_link->isOpen())
        m_link->send(Packet{id, data});
}

void GarminLink::sendCommand(quint16 command) {
    sendPacket(m_ids->commandData, u16Data(command));
}

void GarminLink::RequestProductData() {
    if (!isOpen())
        return;
    m_productSeen = m_productSettled = m_capsSeen = m_nmeaSeen = m_sendFailed = false;
    sendPacket(pid::ProductRequest, {});
    // The protocol array is the last packet of the answer; units without one
    // get a short grace time after the product data.
    waitUntil(
        [this] {
            return (m_productSeen && (m_capsSeen || m_productSettled)) || m_nmeaSeen ||
                   m_sendFailed;
        },
        m_timing.productWaitMs);
}

void GarminLink::finishProductData() {
    m_productSettled = true;
    if (!m_capsSeen) {
        // No protocol array: an old unit that speaks the classic protocols.
        m_caps = gps::Capabilities::classicDefaults();
        m_ids = &pid::L001;
    }
    checkWaits();
}

void GarminLink::RequestDateTime() {
    if (!isOpen())
        return;
    m_dateTimeSeen = m_sendFailed = false;
    sendCommand(cmd::TransferTime);
    waitUntil([this] { return m_dateTimeSeen || m_sendFailed; }, m_timing.dateTimeWaitMs);
}

void GarminLink::PostConnectQuery() {
    // Asks for the last position so that the main window can show it.
    if (isOpen())
        sendCommand(cmd::TransferPosn);
}

void GarminLink::InfoQuery() {
    emit DataCounts(m_countWaypoints, m_countProximity, m_countRoutePoints, m_countTrackPoints);
}

void GarminLink::StartPositionStream() {
    m_pvtAwaited = isOpen();
    m_pvtArrived = false;
    sendCommand(cmd::StartPvtData);
}

void GarminLink::StopPositionStream() {
    m_pvtAwaited = false;
    sendCommand(cmd::StopPvtData);
}

void GarminLink::startTransfer(Transfer kind, quint16 command) {
    if (!isOpen())
        return;
    m_transfer = kind;
    m_transferProblemRaised = false;
    m_transferRecords = 0;
    sendCommand(command);
    m_transferTimer.start(m_timing.transferStallMs);
}

void GarminLink::DownloadWaypoints() {
    m_countWaypoints = m_countProximity = 0;
    startTransfer(Transfer::Waypoints, cmd::TransferWpt);
}

void GarminLink::DownloadRoutes() {
    m_countRoutePoints = 0;
    startTransfer(Transfer::Routes, cmd::TransferRte);
}

void GarminLink::DownloadTracks() {
    m_countTrackPoints = 0;
    startTransfer(Transfer::Tracks, cmd::TransferTrk);
}

void GarminLink::AbortTransfer() {
    m_transfer = Transfer::None;
    m_transferTimer.stop();
    m_screenWanted = false;
    if (!isOpen())
        return;
    m_link->clearPending();
    sendCommand(cmd::AbortTransfer);
}

void GarminLink::RequestScreenShot() {
    if (!isOpen())
        return;
    m_screen.reset();
    m_screenWanted = true;
    m_transferProblemRaised = false;
    sendCommand(cmd::ScreenImage);
}

void GarminLink::ResendPacket(const QByteArray& packet) {
    Packet p;
    if (isOpen() && gps::packetFromBytes(packet, p))
        m_link->send(p);
}

// ------------------------------------------------------------- uploads

void GarminLink::SendRecordCount(qint16 n) {
    m_transferProblemRaised = false;
    sendPacket(m_ids->records, u16Data(static_cast<quint16>(n)));
}

bool GarminLink::sendRecord(quint8 id, const QString& type, const std::optional<QByteArray>& data,
                            quint16 transferCommand) {
    m_uploadCommand = transferCommand;
    if (!data) {
        if (!m_transferProblemRaised) {
            m_transferProblemRaised = true;
            raiseProblem(TransferStopped,
                         QStringLiteral("The GPS expects records in the format \"%1\", which this "
                                        "program cannot write. The transfer has stopped.")
                             .arg(type));
        }
        return false;
    }
    sendPacket(id, *data);
    return true;
}

void GarminLink::SendWaypoint() {
    const int type = typeOr(m_caps.waypointType, 100);
    sendRecord(m_ids->wptData, m_caps.waypointType, gps::encodeWaypoint(type, m_waypoint),
               cmd::TransferWpt);
}

void GarminLink::SendRouteHeader() {
    const int type = typeOr(m_caps.routeHeaderType, 200);
    sendRecord(m_ids->rteHdr, m_caps.routeHeaderType, gps::encodeRouteHeader(type, m_route),
               cmd::TransferRte);
}

void GarminLink::SendRouteWaypoint() {
    const int type = typeOr(m_caps.routeWaypointType, 100);
    sendRecord(m_ids->rteWptData, m_caps.routeWaypointType, gps::encodeWaypoint(type, m_waypoint),
               cmd::TransferRte);
}

void GarminLink::SendRouteLink() {
    m_uploadCommand = cmd::TransferRte;
    if (m_caps.routeLinkType.trimmed().isEmpty()) {
        // Route protocols without links (A200): nothing goes out, but the
        // caller's upload advances on the acknowledgement as if it had.
        emulateAck(m_ids->rteLinkData);
        return;
    }
    const int type = gps::dataTypeNumber(m_caps.routeLinkType);
    sendRecord(m_ids->rteLinkData, m_caps.routeLinkType, gps::encodeRouteLink(type, m_route),
               cmd::TransferRte);
}

void GarminLink::SendTrackHeader() {
    m_uploadCommand = cmd::TransferTrk;
    if (m_caps.trackHeaderType.trimmed().isEmpty()) {
        emulateAck(m_ids->trkHdr);
        return;
    }
    const int type = gps::dataTypeNumber(m_caps.trackHeaderType);
    sendRecord(m_ids->trkHdr, m_caps.trackHeaderType, gps::encodeTrackHeader(type, m_track),
               cmd::TransferTrk);
}

void GarminLink::SendTrackPoint() {
    const int type = typeOr(m_caps.trackPointType, 300);
    sendRecord(m_ids->trkData, m_caps.trackPointType, gps::encodeTrackPoint(type, m_track),
               cmd::TransferTrk);
}

void GarminLink::SendTransferComplete() {
    sendPacket(m_ids->xferCmplt, u16Data(m_uploadCommand));
}

void GarminLink::emulateAck(quint8 kind) {
    if (!m_link || !m_link->acknowledges())
        return;
    QTimer::singleShot(0, this, [this, kind] { onAcknowledged(kind); });
}

// ------------------------------------------------------------- baud rate

bool GarminLink::sendAndWaitAck(quint8 id, const QByteArray& data, int timeoutMs) {
    const quint32 before = m_ackCount;
    m_sendFailed = false;
    sendPacket(id, data);
    return waitUntil([&] { return (m_ackCount != before && m_lastAck == id) || m_sendFailed; },
                     timeoutMs) &&
           !m_sendFailed;
}

bool GarminLink::ChangeBaudRate(double rate) {
    auto* serial = qobject_cast<gps::SerialLink*>(m_link.data());
    if (!serial || !serial->isOpen() || !std::isfinite(rate) || rate < 300 || rate > 1e7)
        return false;
    const auto wanted = static_cast<qint32>(std::lround(rate));
    gps::ByteTransport& port = serial->transport();
    const qint32 oldRate = port.baudRate();
    const int patience = m_timing.ackTimeoutMs * (m_timing.retries + 1) + 200;

    m_quietFailures = true;
    auto finish = [&](bool result) {
        m_quietFailures = false;
        serial->setRetries(m_timing.retries);
        return result;
    };
    m_acceptedRate = 0;
    if (!sendAndWaitAck(pid::BaudQuiet, u16Data(0), patience))
        return finish(false);
    QByteArray request;
    gps::ByteWriter(request).u32(static_cast<quint32>(wanted));
    if (!sendAndWaitAck(pid::BaudRequest, request, patience))
        return finish(false);
    if (!waitUntil([this] { return m_acceptedRate != 0; }, patience))
        return finish(false);
    const qint32 accepted = m_acceptedRate;
    const bool close = std::abs(accepted - wanted) <= wanted * kRateTolerance;
    const qint32 target = close ? wanted : accepted;

    Pause(static_cast<qint16>(std::max(1, 100 / std::max(1, m_timing.pauseUnitMs))));
    if (!port.setBaudRate(target))
        return finish(false);
    serial->setRetries(1);
    const bool pinged = sendAndWaitAck(m_ids->commandData, u16Data(cmd::BaudPing), patience) &&
                        sendAndWaitAck(m_ids->commandData, u16Data(cmd::BaudPing), patience);
    if (!pinged) {
        port.setBaudRate(oldRate);
        return finish(false);
    }
    auto settings = gps::SerialSettings::parse(m_settings);
    settings.baudRate = target;
    m_settings = settings.text();
    return finish(target == wanted);
}

// ------------------------------------------------------------- incoming

void GarminLink::onAcknowledged(quint8 kind) {
    ++m_ackCount;
    m_lastAck = kind;
    // The caller's upload advances on acknowledgements: hand each one over.
    const QByteArray ack = gps::packetBytes(Packet{pid::Ack, u16Data(kind)});
    QPointer<GarminLink> self(this);
    emit PacketReceived(ack);
    if (self)
        checkWaits();
}

void GarminLink::onPacket(const Packet& packet) {
    // The end of a transfer stops the stall timer before anyone hears of it:
    // the caller may show a box about the transfer for as long as the user
    // likes, and the transfer is over.
    const bool transferEnds = packet.id == m_ids->xferCmplt && m_transfer != Transfer::None;
    if (transferEnds) {
        m_endedTransfer = transferKind();
        m_transfer = Transfer::None;
        m_transferTimer.stop();
    } else if (m_transfer != Transfer::None && m_transferTimer.isActive()) {
        m_transferTimer.start(m_timing.transferStallMs);
    }
    QPointer<GarminLink> self(this);
    m_announce = nullptr;
    const bool counted = packet.id == m_ids->records;
    if (applyPacket(packet)) {
        const auto announce = m_announce;
        emit PacketReceived(gps::packetBytes(packet));
        if (!self)
            return;
        if (announce)
            (this->*announce)();
        if (!self)
            return;
        if (counted && m_transfer != Transfer::None)
            emit transferStarted(transferKind(), static_cast<quint16>(m_recordCount));
        if (!self)
            return;
    }
    if (transferEnds) {
        emit DataCounts(m_countWaypoints, m_countProximity, m_countRoutePoints, m_countTrackPoints);
        if (!self)
            return;
        emit transferFinished(m_endedTransfer);
        if (!self)
            return;
    }
    checkWaits();
}

// Fills the record the packet carries; false when the packet is not for the
// program (unreadable records are reported, not passed on).
bool GarminLink::applyPacket(const Packet& packet) {
    const quint16 id = packet.id;
    if (id == pid::ProductData) {
        if (!gps::decodeProduct(packet.data, m_product))
            return false;
        m_productSeen = true;
        m_productSettleTimer.start(m_timing.productSettleMs);
        return true;
    }
    if (id == pid::ProtocolArray) {
        m_caps = gps::Capabilities::fromProtocolArray(packet.data);
        m_capsSeen = true;
        m_ids = m_caps.linkProtocol == QLatin1String("L002") ? &pid::L002 : &pid::L001;
        if (!m_caps.linkProtocol.isEmpty() && m_caps.linkProtocol != QLatin1String("L001") &&
            m_caps.linkProtocol != QLatin1String("L002"))
            raiseProblem(TransferStopped,
                         QStringLiteral("The GPS uses the link protocol %1, which this program "
                                        "does not know. Transfers may fail.")
                             .arg(m_caps.linkProtocol));
        return true;
    }
    if (id == pid::BaudAccepted) {
        gps::ByteReader r(packet.data);
        const quint32 rate = r.u32();
        m_acceptedRate = r.failed() ? -1 : static_cast<qint32>(rate);
        return true;
    }
    if (id == pid::ScreenData) {
        onScreenData(packet.data);
        return true;
    }
    if (id == m_ids->records) {
        gps::ByteReader r(packet.data);
        m_recordCount = r.u16();
        return true;
    }
    return applyDataPacket(packet);
}

// How each record packet of a transfer is read: its packet kind, the
// decoder and the data type the receiver announced for it, what an
// unreadable one is called, the count it adds to and the event that
// announces it.
struct GarminLink::RecordRoute {
    quint16 id;
    bool (*decode)(int type, QByteArrayView data, GarminLink& link);
    const QString& type;
    int defaultType;
    const char* what;
    qint32* count;
    void (GarminLink::*announce)();
};

bool GarminLink::applyDataPacket(const Packet& packet) {
    const quint16 id = packet.id;
    const QByteArray& d = packet.data;
    if (id == m_ids->dateTimeData) {
        if (!gps::decodeDateTime(typeOr(m_caps.dateTimeType, 600), d, m_dateTime))
            return false;
        m_dateTimeSeen = true;
        return true;
    }
    if (id == m_ids->positionData)
        return gps::decodePosition(typeOr(m_caps.positionType, 700), d, m_position);
    if (id == m_ids->pvtData) {
        if (!gps::decodePvt(typeOr(m_caps.pvtType, 800), d, m_pvt))
            return false;
        m_pvtArrived = true;
        m_announce = &GarminLink::announcePvt;
        return true;
    }

    using L = GarminLink;
    const RecordRoute routes[] = {
        {m_ids->wptData,
         [](int t, QByteArrayView v, L& l) { return gps::decodeWaypoint(t, v, l.m_waypoint); },
         m_caps.waypointType, 100, "waypoints", &m_countWaypoints, &L::announceWaypoint},
        {m_ids->prxWptData,
         [](int t, QByteArrayView v, L& l) { return gps::decodeWaypoint(t, v, l.m_waypoint); },
         m_caps.proximityWaypointType, 400, "proximity waypoints", &m_countProximity,
         &L::announceProximity},
        {m_ids->rteHdr,
         [](int t, QByteArrayView v, L& l) { return gps::decodeRouteHeader(t, v, l.m_route); },
         m_caps.routeHeaderType, 200, "route headers", nullptr, &L::announceRouteHeader},
        {m_ids->rteWptData,
         [](int t, QByteArrayView v, L& l) { return gps::decodeWaypoint(t, v, l.m_waypoint); },
         m_caps.routeWaypointType, 100, "route points", &m_countRoutePoints,
         &L::announceRoutePoint},
        {m_ids->rteLinkData,
         [](int t, QByteArrayView v, L& l) { return gps::decodeRouteLink(t, v, l.m_route); },
         m_caps.routeLinkType, 210, "route links", nullptr, &L::announceRouteLink},
        {m_ids->trkHdr,
         [](int t, QByteArrayView v, L& l) { return gps::decodeTrackHeader(t, v, l.m_track); },
         m_caps.trackHeaderType, 310, "track headers", nullptr, &L::announceTrackHeader},
        {pid::TrkHdrAlt,
         [](int t, QByteArrayView v, L& l) { return gps::decodeTrackHeader(t, v, l.m_track); },
         m_caps.trackHeaderType, 310, "track headers", nullptr, &L::announceTrackHeader},
        {m_ids->trkData,
         [](int t, QByteArrayView v, L& l) { return gps::decodeTrackPoint(t, v, l.m_track); },
         m_caps.trackPointType, 300, "track points", &m_countTrackPoints, &L::announceTrackPoint},
    };
    for (const RecordRoute& route : routes) {
        if (route.id != id)
            continue;
        if (!route.decode(typeOr(route.type, route.defaultType), d, *this)) {
            reportUnreadable(QString::fromLatin1(route.what), route.type);
            return false;
        }
        if (route.count)
            ++*route.count;
        if (m_transfer != Transfer::None)
            ++m_transferRecords;
        m_announce = route.announce;
        return true;
    }
    return true;
}

void GarminLink::announcePvt() {
    emit pvtReceived(m_pvt);
}
void GarminLink::announceWaypoint() {
    emit waypointReceived(m_waypoint, gps::WaypointKind::Waypoint);
}
void GarminLink::announceProximity() {
    emit waypointReceived(m_waypoint, gps::WaypointKind::Proximity);
}
void GarminLink::announceRoutePoint() {
    emit waypointReceived(m_waypoint, gps::WaypointKind::RoutePoint);
}
void GarminLink::announceRouteHeader() {
    emit routeHeaderReceived(m_route);
}
void GarminLink::announceRouteLink() {
    emit routeLinkReceived(m_route);
}
void GarminLink::announceTrackHeader() {
    emit trackHeaderReceived(m_track);
}
void GarminLink::announceTrackPoint() {
    emit trackPointReceived(m_track);
}

void GarminLink::reportUnreadable(const QString& what, const QString& type) {
    if (m_transferProblemRaised)
        return; // once per transfer is enough
    m_transferProblemRaised = true;
    const QString format = type.trimmed().isEmpty() ? QStringLiteral("(unknown)") : type;
    raiseProblem(TransferStopped,
                 QStringLiteral("The GPS sends %1 in the format \"%2\", which this program "
                                "cannot read. Those records are skipped.")
                     .arg(what, format));
}

void GarminLink::onScreenData(const QByteArray& data) {
    if (!m_screenWanted)
        return;
    if (!m_screen.add(data)) {
        m_screenWanted = false;
        raiseProblem(TransferStopped,
                     QStringLiteral("The screen image from the GPS could not be read."));
        return;
    }
    QPointer<GarminLink> self(this);
    if (!m_screen.started())
        return;
    if (m_screen.complete()) {
        m_screenWanted = false;
        emit ImageProgress(100, m_screen.image());
        if (self)
            emit imageProgress(100, m_screen.image());
        return;
    }
    const auto percent = static_cast<qint16>(std::min(99, m_screen.percent()));
    emit ImageProgress(percent, QImage());
    if (self)
        emit imageProgress(percent, QImage());
}

void GarminLink::onLine(const QByteArray& line) {
    const QString text = QString::fromLatin1(line);
    m_nmeaSeen = true;
    QPointer<GarminLink> self(this);
    emit LineReceived(text);
    if (!self)
        return;
    if (line.startsWith('$') && nmeaChecksumOk(line)) {
        emit SentenceReceived(text, QString());
        if (!self)
            return;
        emit sentenceReceived(text);
        if (!self)
            return;
    }
    checkWaits();
}

// ------------------------------------------------------------- problems

void GarminLink::onSendFailed(gps::PacketLink::SendFailure failure, const Packet& packet) {
    m_sendFailed = true;
    checkWaits();
    if (m_quietFailures)
        return;
    if (packet.id == m_ids->commandData)
        m_transferTimer.stop(); // the request never got through
    const bool refused = failure == gps::PacketLink::SendFailure::Rejected;
    const QString message =
        refused ? QStringLiteral("The GPS did not understand a packet (kind %1) after %2 tries.")
                      .arg(packet.id)
                      .arg(m_timing.retries + 1)
                : QStringLiteral("The GPS did not acknowledge a packet (kind %1) after %2 tries.")
                      .arg(packet.id)
                      .arg(m_timing.retries + 1);
    raiseProblem(refused ? NotUnderstood : NotAcknowledged, message, gps::packetBytes(packet));
}

void GarminLink::onTransferStalled() {
    if (m_transfer == Transfer::None)
        return;
    m_transfer = Transfer::None;
    raiseProblem(TransferStopped,
                 QStringLiteral("The transfer stopped: the GPS fell silent before it was "
                                "complete."));
}

void GarminLink::onLinkLost(const QString& reason) {
    m_transfer = Transfer::None;
    m_transferTimer.stop();
    m_sendFailed = true;
    checkWaits();
    QPointer<GarminLink> self(this);
    for (int attempt = 0; attempt < kMaxDeviceRetries; ++attempt) {
        qint16 code = DeviceLost;
        emit LinkProblem(code,
                         QStringLiteral("The connection to the GPS was lost (%1).").arg(reason),
                         QByteArray());
        if (!self)
            return;
        if (code != kAnswerRetry) {
            ClosePort();
            emit PortLost();
            return;
        }
        if (OpenPort())
            return;
    }
    ClosePort();
    emit PortLost();
}

void GarminLink::raiseProblem(qint16 code, const QString& message, const QByteArray& packet) {
    qint16 answer = code;
    emit LinkProblem(answer, message, packet);
}

} // namespace trekora

namespace trekora {

gps::TransferKind GarminLink::transferKind() const {
    switch (m_transfer) {
    case Transfer::Waypoints:
        return gps::TransferKind::Waypoints;
    case Transfer::Routes:
        return gps::TransferKind::Routes;
    case Transfer::Tracks:
        return gps::TransferKind::Tracks;
    case Transfer::None:
    case Transfer::Other:
        break;
    }
    return gps::TransferKind::Other;
}

} // namespace trekora
