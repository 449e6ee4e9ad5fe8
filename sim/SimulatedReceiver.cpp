#include "sim/SimulatedReceiver.h"

#include "core/Settings.h"
#include "gps/protocol/ByteIO.h"
#include "gps/protocol/DataTypes.h"
#include "gps/protocol/PacketIds.h"
#include "sim/Pty.h"
#include "sim/ThrottledLine.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace trekora::sim {

namespace pid = gps::pid;
namespace cmd = gps::cmd;

namespace {

const gps::pid::LinkIds& ids = gps::pid::L001;

constexpr qint32 kSupportedRates[] = {4800, 9600, 19200, 38400, 57600, 115200};
constexpr int kScreenChunk = 128;
constexpr double kMetresPerDegree = 111320.0;
constexpr std::int16_t kLeapSeconds = 18;
constexpr float kGeoidSeparation = -32.0f; // ellipsoid below mean sea level here

QByteArray u16Data(quint16 v) {
    QByteArray d;
    gps::ByteWriter(d).u16(v);
    return d;
}

QByteArray u32Data(quint32 v) {
    QByteArray d;
    gps::ByteWriter(d).u32(v);
    return d;
}

QString nmeaSentence(const QString& body) {
    quint8 sum = 0;
    for (QChar c : body)
        sum ^= static_cast<quint8>(c.toLatin1());
    return QStringLiteral("$%1*%2\r\n")
        .arg(body, QString::number(sum, 16).rightJustified(2, QLatin1Char('0')).toUpper());
}

QString nmeaAngle(double value, int degreeDigits) {
    const double a = std::abs(value);
    const int degrees = static_cast<int>(a);
    const double minutes = (a - degrees) * 60.0;
    return QStringLiteral("%1%2")
        .arg(degrees, degreeDigits, 10, QLatin1Char('0'))
        .arg(minutes, 7, 'f', 4, QLatin1Char('0'));
}

} // namespace

std::optional<Fault> faultFromName(const QString& name) {
    static const QList<QPair<QString, Fault>> names = {
        {QStringLiteral("none"), Fault::None},
        {QStringLiteral("drop-ack"), Fault::DropAck},
        {QStringLiteral("bad-checksum"), Fault::BadChecksum},
        {QStringLiteral("nak"), Fault::Nak},
        {QStringLiteral("nak-all"), Fault::NakAll},
        {QStringLiteral("mute"), Fault::Mute},
        {QStringLiteral("wrong-count"), Fault::WrongCount},
        {QStringLiteral("stop-mid-transfer"), Fault::StopMidTransfer},
        {QStringLiteral("vanish"), Fault::Vanish},
    };
    for (const auto& [text, fault] : names)
        if (text == name.trimmed().toLower())
            return fault;
    return std::nullopt;
}

QStringList faultNames() {
    return {QStringLiteral("drop-ack"),
            QStringLiteral("bad-checksum"),
            QStringLiteral("nak"),
            QStringLiteral("nak-all"),
            QStringLiteral("mute"),
            QStringLiteral("wrong-count"),
            QStringLiteral("stop-mid-transfer"),
            QStringLiteral("vanish")};
}

SimulatedReceiver::SimulatedReceiver(const SimConfig& config, const SimData& data, QObject* parent)
    : QObject(parent), m_config(config), m_data(data),
      m_caps(gps::Capabilities::fromText(config.protocols)), m_decoder(*this) {
    m_ackTimer.setSingleShot(true);
    connect(&m_ackTimer, &QTimer::timeout, this, &SimulatedReceiver::onAckTimeout);
    m_streamTimer.setInterval(1000);
    connect(&m_streamTimer, &QTimer::timeout, this, [this] {
        if (m_config.nmea)
            sendNmea();
        else
            sendPvt();
    });
}

SimulatedReceiver::~SimulatedReceiver() {
    stop();
}

void SimulatedReceiver::assignToPort(int port) const {
    const QString path = m_config.linkPath.isEmpty() ? m_ptyPath : m_config.linkPath;
    Settings::set(QStringLiteral("port"), QStringLiteral("device%1").arg(port), path);
}

bool SimulatedReceiver::isRunning() const {
    return m_pty && m_pty->isOpen();
}

bool SimulatedReceiver::start(QString* error) {
    stop();
    m_pty = new Pty(this);
    if (!m_pty->open(m_config.nmea ? 4800 : 9600, error)) {
        stop();
        return false;
    }
    m_ptyPath = m_pty->slavePath();
    m_line = new ThrottledLine(*m_pty, m_config.throttle, this);
    connect(m_pty, &Pty::received, this, [this](const QByteArray& bytes) {
        m_bytesReceived += bytes.size();
        m_line->input(bytes);
    });
    connect(m_line, &ThrottledLine::arrived, this, &SimulatedReceiver::onBytes);
    if (!m_config.linkPath.isEmpty()) {
        const QFileInfo existing(m_config.linkPath);
        if (existing.isSymLink())
            QFile::remove(m_config.linkPath);
        if (!QFile::link(m_ptyPath, m_config.linkPath)) {
            if (error)
                *error = QStringLiteral("Cannot create the link %1").arg(m_config.linkPath);
            stop();
            return false;
        }
    }
    m_path.clear();
    for (const SimTrack& t : m_data.tracks)
        m_path.append(t.points);
    if (m_path.isEmpty()) {
        for (const WaypointRecord& w : m_data.waypoints) {
            TrackRecord t;
            t.latitude = w.latitude;
            t.longitude = w.longitude;
            t.altitude = w.altitude;
            m_path.append(t);
        }
    }
    if (m_path.isEmpty())
        m_path.append(TrackRecord{});
    m_pathIndex = 0;
    if (m_config.nmea)
        m_streamTimer.start();
    return true;
}

void SimulatedReceiver::stop() {
    m_streamTimer.stop();
    m_ackTimer.stop();
    m_out.clear();
    m_inFlight = false;
    // Stopping may happen inside the pseudo-terminal's own read handler
    // (the vanish fault): close now, delete once that handler has returned.
    if (m_line) {
        m_line->clear();
        m_line->disconnect(this);
        m_line->deleteLater();
        m_line = nullptr;
    }
    if (m_pty) {
        m_pty->disconnect(this);
        m_pty->close();
        m_pty->deleteLater();
        m_pty = nullptr;
    }
    if (!m_config.linkPath.isEmpty() && QFileInfo(m_config.linkPath).isSymLink())
        QFile::remove(m_config.linkPath);
}

// ------------------------------------------------------------- the wire

void SimulatedReceiver::onBytes(const QByteArray& bytes) {
    if (m_config.nmea)
        return; // a unit in NMEA mode does not listen to packets
    m_decoder.feed(bytes);
}

void SimulatedReceiver::writeFrame(quint8 id, const QByteArray& data, bool corrupt) {
    if (!m_line)
        return;
    QByteArray frame;
    if (!corrupt) {
        frame = gps::encodeFrame(id, data);
    } else {
        auto stuff = [&frame](quint8 b) {
            frame.append(char(b));
            if (b == gps::kDle)
                frame.append(char(b));
        };
        frame.append(char(gps::kDle));
        frame.append(char(id));
        stuff(static_cast<quint8>(data.size()));
        for (char c : data)
            stuff(static_cast<quint8>(c));
        stuff(gps::frameChecksum(id, data) ^ 0x5A);
        frame.append(char(gps::kDle));
        frame.append(char(gps::kEtx));
    }
    m_bytesSent += frame.size();
    m_line->output(frame);
}

void SimulatedReceiver::sendControl(quint8 id, quint8 kind) {
    writeFrame(id, u16Data(kind));
}

void SimulatedReceiver::queue(quint8 id, const QByteArray& data) {
    m_out.enqueue(Outgoing{id, data, false, false});
    pumpOut();
}

void SimulatedReceiver::pumpOut() {
    if (m_inFlight || m_out.isEmpty() || !m_line)
        return;
    m_current = m_out.dequeue();
    if (m_current.haltHere && !m_faultSpent &&
        (m_config.fault == Fault::StopMidTransfer || m_config.fault == Fault::Vanish)) {
        m_faultSpent = true;
        halt();
        return;
    }
    m_inFlight = true;
    m_attempts = 1;
    writeFrame(m_current.id, m_current.data, m_current.corrupt);
    m_ackTimer.start(m_config.ackTimeoutMs);
}

void SimulatedReceiver::onAckTimeout() {
    if (!m_inFlight)
        return;
    if (m_attempts <= m_config.retries) {
        ++m_attempts;
        writeFrame(m_current.id, m_current.data);
        m_ackTimer.start(m_config.ackTimeoutMs);
        return;
    }
    // The host is gone or deaf: the transfer is over.
    m_inFlight = false;
    m_out.clear();
}

void SimulatedReceiver::halt() {
    m_out.clear();
    m_inFlight = false;
    if (m_config.fault == Fault::Vanish) {
        stop();
        emit vanished();
    }
}

void SimulatedReceiver::onFrameError(FrameError error, std::uint8_t id) {
    if (error == FrameError::BadChecksum && !m_config.nmea)
        sendControl(pid::Nak, id);
}

bool SimulatedReceiver::isRecordKind(quint8 id) const {
    return id == ids.records || id == ids.wptData || id == ids.rteHdr || id == ids.rteWptData ||
           id == ids.rteLinkData || id == ids.trkHdr || id == ids.trkData || id == ids.xferCmplt;
}

void SimulatedReceiver::onPacket(std::uint8_t id, QByteArrayView view) {
    const QByteArray data = view.toByteArray();
    if (id == pid::Ack || id == pid::Nak) {
        const quint8 kind =
            data.isEmpty() ? static_cast<quint8>(m_current.id) : static_cast<quint8>(data[0]);
        if (!m_inFlight || kind != m_current.id)
            return;
        if (id == pid::Ack) {
            m_inFlight = false;
            m_ackTimer.stop();
            pumpOut();
        } else {
            ++m_attempts;
            writeFrame(m_current.id, m_current.data);
            m_ackTimer.start(m_config.ackTimeoutMs);
        }
        return;
    }
    const bool record = isRecordKind(id);
    const Fault fault = m_config.fault;
    if (record && fault == Fault::Mute)
        return;
    if (record && fault == Fault::NakAll) {
        sendControl(pid::Nak, id);
        return;
    }
    if (record && fault == Fault::Nak && !m_faultSpent) {
        m_faultSpent = true;
        sendControl(pid::Nak, id);
        return;
    }
    if (m_dedupeNext) {
        // The host repeats a packet whose acknowledgement it missed.
        m_dedupeNext = false;
        if (id == m_lastId && data == m_lastData) {
            sendControl(pid::Ack, id);
            return;
        }
    }
    m_lastId = id;
    m_lastData = data;
    if (record && fault == Fault::DropAck && !m_faultSpent) {
        m_faultSpent = true;
        m_dedupeNext = true;
        handle(id, data);
        return;
    }
    sendControl(pid::Ack, id);
    handle(id, data);
}

// ------------------------------------------------------------- protocol

void SimulatedReceiver::handle(quint8 id, const QByteArray& data) {
    if (id == pid::ProductRequest) {
        sendProductData();
    } else if (id == ids.commandData) {
        gps::ByteReader r(data);
        const quint16 command = r.u16();
        if (!r.failed())
            handleCommand(command);
    } else if (id == pid::BaudRequest) {
        gps::ByteReader r(data);
        const qint32 wanted = static_cast<qint32>(r.u32());
        qint32 accepted = 9600;
        for (qint32 rate : kSupportedRates)
            if (rate <= wanted)
                accepted = rate;
        queue(pid::BaudAccepted, u32Data(static_cast<quint32>(accepted)));
    } else if (isRecordKind(id)) {
        handleUpload(id, data);
    }
}

void SimulatedReceiver::sendProductData() {
    ProductRecord product;
    product.product_id = m_config.productId;
    product.software_version = m_config.softwareVersion;
    product.description1 = m_config.description;
    queue(pid::ProductData, gps::encodeProduct(product));
    if (m_config.sendProtocolArray && !m_caps.entries.isEmpty())
        queue(pid::ProtocolArray, m_caps.toProtocolArray());
}

void SimulatedReceiver::handleCommand(quint16 command) {
    switch (command) {
    case cmd::AbortTransfer:
        m_out.clear();
        break;
    case cmd::TransferAlm:
    case cmd::TransferPrx:
    case cmd::TransferWptCats:
        queueTransfer({}, command);
        break;
    case cmd::TransferWpt:
        queueTransfer(waypointPackets(), command);
        break;
    case cmd::TransferRte:
        queueTransfer(routePackets(), command);
        break;
    case cmd::TransferTrk:
        queueTransfer(trackPackets(), command);
        break;
    case cmd::TransferPosn: {
        const TrackRecord& here = m_path[m_pathIndex % m_path.size()];
        if (auto d = gps::encodePosition(700, PositionRecord{here.latitude, here.longitude}))
            queue(ids.positionData, *d);
        break;
    }
    case cmd::TransferTime: {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        DateTimeRecord t;
        t.month = static_cast<quint8>(now.date().month());
        t.day = static_cast<quint8>(now.date().day());
        t.year = static_cast<std::int16_t>(now.date().year());
        t.hour = static_cast<std::int16_t>(now.time().hour());
        t.minute = static_cast<quint8>(now.time().minute());
        t.second = static_cast<quint8>(now.time().second());
        queue(ids.dateTimeData, *gps::encodeDateTime(600, t));
        break;
    }
    case cmd::ScreenImage:
        queueScreen();
        break;
    case cmd::StartPvtData:
        sendPvt();
        m_streamTimer.start();
        break;
    case cmd::StopPvtData:
        m_streamTimer.stop();
        break;
    default:
        break; // ping, power off and the rest need nothing beyond the ACK
    }
}

void SimulatedReceiver::queueTransfer(const QList<Outgoing>& records, quint16 command) {
    QList<Outgoing> packets = records;
    if (!packets.isEmpty()) {
        if (m_config.fault == Fault::BadChecksum && !m_faultSpent) {
            m_faultSpent = true;
            packets.first().corrupt = true;
        }
        packets[packets.size() / 2].haltHere = true;
    }
    const int announced =
        static_cast<int>(packets.size()) + (m_config.fault == Fault::WrongCount ? 1 : 0);
    m_out.enqueue(Outgoing{ids.records, u16Data(static_cast<quint16>(announced)), false, false});
    for (const Outgoing& p : packets)
        m_out.enqueue(p);
    m_out.enqueue(Outgoing{ids.xferCmplt, u16Data(command), false, false});
    pumpOut();
}

QByteArray SimulatedReceiver::waypointData(const WaypointRecord& w, const QString& type) const {
    if (auto d = gps::encodeWaypoint(gps::dataTypeNumber(type), w))
        return *d;
    return *gps::encodeWaypoint(108, w); // a format the unit claims but we cannot write
}

QList<SimulatedReceiver::Outgoing> SimulatedReceiver::waypointPackets() const {
    QList<Outgoing> out;
    if (m_caps.waypointProtocol.isEmpty())
        return out;
    for (const WaypointRecord& w : m_data.waypoints)
        out.append(Outgoing{ids.wptData, waypointData(w, m_caps.waypointType)});
    return out;
}

QList<SimulatedReceiver::Outgoing> SimulatedReceiver::routePackets() const {
    QList<Outgoing> out;
    if (m_caps.routeProtocol.isEmpty())
        return out;
    const bool links = !m_caps.routeLinkType.isEmpty();
    const int headerType = gps::dataTypeNumber(m_caps.routeHeaderType);
    for (const SimRoute& route : m_data.routes) {
        auto header = gps::encodeRouteHeader(headerType, route.header);
        out.append(
            Outgoing{ids.rteHdr, header ? *header : *gps::encodeRouteHeader(202, route.header)});
        for (qsizetype i = 0; i < route.points.size(); ++i) {
            if (links && i > 0) {
                RouteRecord link;
                link.link_class = 3; // direct line
                auto d = gps::encodeRouteLink(210, link);
                out.append(Outgoing{ids.rteLinkData, *d});
            }
            out.append(
                Outgoing{ids.rteWptData, waypointData(route.points[i], m_caps.routeWaypointType)});
        }
    }
    return out;
}

QList<SimulatedReceiver::Outgoing> SimulatedReceiver::trackPackets() const {
    QList<Outgoing> out;
    if (m_caps.trackProtocol.isEmpty())
        return out;
    const bool headers = !m_caps.trackHeaderType.isEmpty();
    int pointType = gps::dataTypeNumber(m_caps.trackPointType);
    if (!gps::isTrackPointType(pointType))
        pointType = 301;
    for (const SimTrack& track : m_data.tracks) {
        if (headers) {
            auto h =
                gps::encodeTrackHeader(gps::dataTypeNumber(m_caps.trackHeaderType), track.header);
            out.append(Outgoing{ids.trkHdr, h ? *h : *gps::encodeTrackHeader(310, track.header)});
        }
        for (qsizetype i = 0; i < track.points.size(); ++i) {
            TrackRecord p = track.points[i];
            if (i == 0)
                p.new_segment = true;
            out.append(Outgoing{ids.trkData, *gps::encodeTrackPoint(pointType, p)});
        }
    }
    return out;
}

void SimulatedReceiver::handleUpload(quint8 id, const QByteArray& data) {
    if (id != ids.records && id != ids.xferCmplt)
        ++m_uploadReceived;
    if (id == ids.records) {
        m_uploadRoute = m_uploadTrack = -1;
        m_uploadAnnounced = gps::ByteReader(data).u16();
        m_uploadReceived = 0;
    } else if (id == ids.wptData) {
        WaypointRecord w;
        if (gps::decodeWaypoint(gps::dataTypeNumber(m_caps.waypointType), data, w))
            m_data.storeWaypoint(w);
    } else if (id == ids.rteHdr) {
        SimRoute route;
        if (!gps::decodeRouteHeader(gps::dataTypeNumber(m_caps.routeHeaderType), data,
                                    route.header))
            return;
        if (route.header.route_ident.isEmpty())
            route.header.route_ident = route.header.route_comment;
        m_data.routes.append(route);
        m_uploadRoute = static_cast<int>(m_data.routes.size() - 1);
    } else if (id == ids.rteWptData) {
        WaypointRecord w;
        if (!gps::decodeWaypoint(gps::dataTypeNumber(m_caps.routeWaypointType), data, w))
            return;
        if (m_uploadRoute < 0) {
            m_data.routes.append(SimRoute{});
            m_uploadRoute = static_cast<int>(m_data.routes.size() - 1);
        }
        m_data.routes[m_uploadRoute].points.append(w);
    } else if (id == ids.trkHdr) {
        SimTrack track;
        if (!gps::decodeTrackHeader(gps::dataTypeNumber(m_caps.trackHeaderType), data,
                                    track.header))
            return;
        m_data.tracks.append(track);
        m_uploadTrack = static_cast<int>(m_data.tracks.size() - 1);
    } else if (id == ids.trkData) {
        TrackRecord t;
        if (!gps::decodeTrackPoint(gps::dataTypeNumber(m_caps.trackPointType), data, t))
            return;
        if (m_uploadTrack < 0) {
            SimTrack track;
            track.header.ident = QStringLiteral("ACTIVE LOG");
            m_data.tracks.append(track);
            m_uploadTrack = static_cast<int>(m_data.tracks.size() - 1);
        }
        m_data.tracks[m_uploadTrack].points.append(t);
    } else if (id == ids.xferCmplt) {
        gps::ByteReader r(data);
        const quint16 command = r.u16();
        m_uploadRoute = m_uploadTrack = -1;
        emit uploadFinished(command);
    }
}

// ------------------------------------------------------------- screen

quint8 SimulatedReceiver::screenPixel(int x, int y) {
    if (x == 0 || y == 0 || x == kScreenWidth - 1 || y == kScreenHeight - 1)
        return 15;
    return static_cast<quint8>((x / 10 + y / 10) % 15);
}

quint32 SimulatedReceiver::screenColour(int index) {
    return static_cast<quint32>(((index * 17) << 16) | ((255 - index * 17) << 8) | (index * 5));
}

void SimulatedReceiver::queueScreen() {
    const int bytesPerRow = (kScreenWidth + 3) / 4 * 4;
    QByteArray header;
    gps::ByteWriter h(header);
    h.u32(0);
    h.u32(0);
    h.u32(static_cast<quint32>(bytesPerRow));
    h.u32(8);
    h.u32(kScreenWidth);
    h.u32(kScreenHeight);
    h.raw(QByteArray(12, '\0'));
    queue(pid::ScreenData, header);
    for (int i = 0; i < 16; ++i) {
        QByteArray colour;
        gps::ByteWriter c(colour);
        c.u32(2);
        c.u32(static_cast<quint32>(i));
        const quint32 rgb = screenColour(i);
        c.u8(static_cast<quint8>(rgb >> 16));
        c.u8(static_cast<quint8>(rgb >> 8));
        c.u8(static_cast<quint8>(rgb));
        queue(pid::ScreenData, colour);
    }
    // Rows bottom-up, each padded to four bytes.
    QByteArray pixels;
    for (int row = kScreenHeight - 1; row >= 0; --row) {
        for (int x = 0; x < bytesPerRow; ++x)
            pixels.append(char(x < kScreenWidth ? screenPixel(x, row) : 0));
    }
    for (qsizetype offset = 0; offset < pixels.size(); offset += kScreenChunk) {
        QByteArray chunk;
        gps::ByteWriter c(chunk);
        c.u32(1);
        c.u32(static_cast<quint32>(offset));
        c.raw(pixels.mid(offset, kScreenChunk));
        queue(pid::ScreenData, chunk);
    }
}

// ------------------------------------------------------------- positions

void SimulatedReceiver::sendPvt() {
    const TrackRecord& here = m_path[m_pathIndex % m_path.size()];
    const TrackRecord& next = m_path[(m_pathIndex + 1) % m_path.size()];
    ++m_pathIndex;
    const qint64 unixNow = QDateTime::currentSecsSinceEpoch();
    const qint64 gpsSeconds = unixNow - gps::kGarminEpochOffset + kLeapSeconds;
    const qint64 days = gpsSeconds / 86400;
    PvtRecord p;
    const float altitude = here.altitude < 1e9f ? here.altitude : 1200.0f;
    p.msl_hght = kGeoidSeparation;
    p.alt = altitude - p.msl_hght;
    p.epe = 6.2f;
    p.eph = 3.4f;
    p.epv = 5.1f;
    p.fix = 3;
    p.wn_days = static_cast<quint32>(days - days % 7);
    p.tow = static_cast<double>(gpsSeconds - static_cast<qint64>(p.wn_days) * 86400);
    p.leap_scnds = kLeapSeconds;
    p.latitude = here.latitude;
    p.longitude = here.longitude;
    // Walking pace towards the next point of the path.
    p.north = static_cast<float>((next.latitude - here.latitude) * kMetresPerDegree);
    p.east = static_cast<float>((next.longitude - here.longitude) * kMetresPerDegree *
                                std::cos(here.latitude * M_PI / 180.0));
    const float speed = std::hypot(p.north, p.east);
    if (speed > 2.0f) {
        p.north *= 1.4f / speed;
        p.east *= 1.4f / speed;
    }
    p.up = 0;
    writeFrame(ids.pvtData, *gps::encodePvt(800, p));
}

void SimulatedReceiver::sendNmea() {
    const TrackRecord& here = m_path[m_pathIndex % m_path.size()];
    ++m_pathIndex;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString time = now.toString(QStringLiteral("HHmmss"));
    const QString date = now.toString(QStringLiteral("ddMMyy"));
    const QString lat = nmeaAngle(here.latitude, 2);
    const QString ns = here.latitude >= 0 ? QStringLiteral("N") : QStringLiteral("S");
    const QString lon = nmeaAngle(here.longitude, 3);
    const QString ew = here.longitude >= 0 ? QStringLiteral("E") : QStringLiteral("W");
    const double altitude = here.altitude < 1e9f ? here.altitude : 1200.0;
    QString text;
    text += nmeaSentence(QStringLiteral("GPRMC,%1,A,%2,%3,%4,%5,002.7,054.7,%6,013.9,E")
                             .arg(time, lat, ns, lon, ew, date));
    text += nmeaSentence(QStringLiteral("GPGGA,%1,%2,%3,%4,%5,1,07,1.3,%6,M,-32.0,M,,")
                             .arg(time, lat, ns, lon, ew)
                             .arg(altitude, 0, 'f', 1));
    text += nmeaSentence(QStringLiteral("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"));
    text += nmeaSentence(QStringLiteral("PGRME,6.2,M,5.1,M,8.0,M"));
    text += nmeaSentence(QStringLiteral("PGRMZ,%1,f,3").arg(qRound(altitude / 0.3048)));
    const QByteArray bytes = text.toLatin1();
    m_bytesSent += bytes.size();
    if (m_line)
        m_line->output(bytes);
}

} // namespace trekora::sim
