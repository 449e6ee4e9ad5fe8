#pragma once

#include "gps/GarminRecords.h"
#include "gps/link/PacketLink.h"
#include "gps/protocol/Capabilities.h"
#include "gps/protocol/PacketIds.h"
#include "gps/protocol/ScreenImage.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

class QEventLoop;

namespace trekora {

namespace gps {
// Which list a received waypoint belongs to.
enum class WaypointKind { Waypoint, Proximity, RoutePoint };
// What a transfer carries.
enum class TransferKind { Waypoints, Routes, Tracks, Other };
} // namespace gps

// Errors in this layer: nothing here opens a dialog. Requests return false
// or leave their record untouched; problems on the line are raised as
// LinkProblem with a code and the message text, and the program's receiver
// code (src/app) decides what the user sees and answers through the code.
// Readers of receiver bytes turn bad input into a skipped record or a
// problem report, never a crash.
//
// The GPS link component: everything between the program and the receiver.
// It speaks the receiver's packet protocol over a serial port (Port 1 ... 10)
// or USB (Port 0), keeps the current record of each kind, and raises its
// events as signals on the caller's (user-interface) thread.
//
// LinkProblem codes, and what the caller's answer does:
//   1  a packet was not acknowledged after every retry; the packet travels
//      with the event and can be handed back to ResendPacket.
//   2  a packet was refused (NAK) after every retry: the receiver did not
//      understand it; resendable like 1.
//   3  a transfer stopped: the receiver fell silent before the transfer was
//      complete, or it sent or expects records in a format this component
//      cannot read or write (an unknown protocol). The link stays usable;
//      AbortTransfer ends the transfer.
//   4  the port or the device went away. The handler writes its answer into
//      the code: 4 retries (the port is opened again), 2 cancels (the port
//      is closed).
class GarminLink : public QObject {
    Q_OBJECT
public:
    enum ProblemCode : qint16 {
        NotAcknowledged = 1,
        NotUnderstood = 2,
        TransferStopped = 3,
        DeviceLost = 4,
    };
    static constexpr qint16 kAnswerRetry = 4;
    static constexpr qint16 kAnswerCancel = 2;

    // Waits and time-outs; the defaults suit real receivers.
    struct Timing {
        int ackTimeoutMs = 1000;
        int retries = 3;
        int transferStallMs = 6000; // silence inside a transfer that ends it
        int productWaitMs = 2500;   // RequestProductData
        int productSettleMs = 300;  // extra packets after the product data
        int dateTimeWaitMs = 2000;  // RequestDateTime
        int pauseUnitMs = 25;       // one unit of Pause
    };

    explicit GarminLink(QObject* parent = nullptr);
    ~GarminLink() override;

    // Link properties.
    qint16 Port() const { return m_port; }
    void setPort(qint16 port) { m_port = port; }
    QString Settings() const { return m_settings; }
    void setSettings(const QString& settings) { m_settings = settings; }
    // The count of the last records packet: unsigned 16-bit on the wire.
    quint16 RecordCount() const { return m_recordCount; }

    // Packet kinds of the connected receiver's link protocol.
    quint8 PidRecords() const { return m_ids->records; }
    quint8 PidProductData() const { return gps::pid::ProductData; }
    quint8 PidProtocolArray() const { return gps::pid::ProtocolArray; }
    quint8 PidDateTime() const { return m_ids->dateTimeData; }
    quint8 PidPvt() const { return m_ids->pvtData; }
    quint8 PidPosition() const { return m_ids->positionData; }
    quint8 PidWaypoint() const { return m_ids->wptData; }
    quint8 PidProximityWaypoint() const { return m_ids->prxWptData; }
    quint8 PidRouteHeader() const { return m_ids->rteHdr; }
    quint8 PidRouteLink() const { return m_ids->rteLinkData; }
    quint8 PidRouteWaypoint() const { return m_ids->rteWptData; }
    quint8 PidTrackHeader() const { return m_ids->trkHdr; }
    quint8 PidTrackPoint() const { return m_ids->trkData; }
    quint8 PidTransferComplete() const { return m_ids->xferCmplt; }
    quint8 PidAck() const { return gps::pid::Ack; }
    // Waypoint category packets: counted, not stored.
    quint8 PidTally() const { return m_ids->wptCat; }
    // Kinds the program ignores.
    quint8 PidNak() const { return gps::pid::Nak; }
    quint8 PidCommand() const { return m_ids->commandData; }
    quint8 PidAlmanac() const { return m_ids->almanacData; }
    quint8 PidProductRequest() const { return gps::pid::ProductRequest; }
    quint8 PidExtProductData() const { return gps::pid::ExtProductData; }
    quint8 PidScreenData() const { return gps::pid::ScreenData; }

    // Capability strings ("" = not supported).
    QString LinkProtocol() const { return m_caps.linkProtocol; }
    QString WaypointProtocol() const { return m_caps.waypointProtocol; }
    QString WaypointType() const { return m_caps.waypointType; }
    QString RouteProtocol() const { return m_caps.routeProtocol; }
    QString RouteHeaderType() const { return m_caps.routeHeaderType; }
    QString RouteWaypointType() const { return m_caps.routeWaypointType; }
    QString TrackProtocol() const { return m_caps.trackProtocol; }
    QString TrackHeaderType() const { return m_caps.trackHeaderType; }
    QString TrackPointType() const { return m_caps.trackPointType; }
    QString ProximityProtocol() const { return m_caps.proximityProtocol; }
    QString ProximityWaypointType() const { return m_caps.proximityWaypointType; }
    QString AlmanacProtocol() const { return m_caps.almanacProtocol; }
    QString AlmanacType() const { return m_caps.almanacType; }
    QString DateTimeProtocol() const { return m_caps.dateTimeProtocol; }
    QString DateTimeType() const { return m_caps.dateTimeType; }
    QString PositionProtocol() const { return m_caps.positionProtocol; }
    QString PositionType() const { return m_caps.positionType; }
    QString PvtProtocol() const { return m_caps.pvtProtocol; }
    QString PvtType() const { return m_caps.pvtType; }

    // Record objects.
    trekora::WaypointRecord& WaypointRecord() { return m_waypoint; }
    trekora::RouteRecord& RouteRecord() { return m_route; }
    trekora::TrackRecord& TrackRecord() { return m_track; }
    trekora::PositionRecord& PositionRecord() { return m_position; }
    trekora::PvtRecord& PvtRecord() { return m_pvt; }
    trekora::DateTimeRecord& DateTimeRecord() { return m_dateTime; }
    trekora::ProductRecord& ProductRecord() { return m_product; }

    // Methods.
    bool OpenPort();
    void ClosePort();
    void AbortTransfer();
    void Pause(qint16 n);
    void RequestProductData();
    void RequestDateTime();
    void PostConnectQuery();
    void InfoQuery();
    void StartPositionStream();
    void StopPositionStream();
    void DownloadWaypoints();
    void DownloadRoutes();
    void DownloadTracks();
    void SendRecordCount(qint16 n);
    void SendWaypoint();
    void SendRouteHeader();
    void SendRouteWaypoint();
    void SendRouteLink();
    void SendTrackHeader();
    void SendTrackPoint();
    void SendTransferComplete();
    void RequestScreenShot();
    void ResendPacket(const QByteArray& packet);
    bool ChangeBaudRate(double rate);
    qint32 CurrentBaudRate(const QString& settings) const;

    // Beyond the member list: state for the program and tests.
    bool isOpen() const;
    const gps::Capabilities& capabilities() const { return m_caps; }
    void setTiming(const Timing& timing) { m_timing = timing; }
    const Timing& timing() const { return m_timing; }

signals:
    // The packet as DLE, kind, size, data..., checksum, DLE, ETX (unstuffed):
    // byte 1 is the kind, the data starts at byte 3.
    void PacketReceived(const QByteArray& packet);
    void LineReceived(const QString& text);
    // An NMEA sentence whose checksum (when it has one) is right.
    void SentenceReceived(const QString& sentence, const QString& ignored);
    // `code` is in/out: see the class comment.
    void LinkProblem(qint16& code, const QString& message, const QByteArray& packet);
    void DataCounts(qint32 waypoints, qint32 proximityWaypoints, qint32 routePoints,
                    qint32 trackPoints);
    // The port or device went away and the link has closed it for good (the
    // user cancelled, or reopening failed).
    void PortLost();
    // Progress of a screen image; at 100 the picture is complete.
    void ImageProgress(qint16 percent, const QImage& picture);

    // The decoded records, each announced after PacketReceived. They travel
    // by value, so a queued connection sees the record as it arrived.
    void pvtReceived(trekora::PvtRecord pvt);
    void waypointReceived(trekora::WaypointRecord waypoint, trekora::gps::WaypointKind kind);
    void trackHeaderReceived(trekora::TrackRecord header);
    void trackPointReceived(trekora::TrackRecord point);
    void routeHeaderReceived(trekora::RouteRecord header);
    void routeLinkReceived(trekora::RouteRecord link);
    // A download announced how many records follow; it has ended.
    void transferStarted(trekora::gps::TransferKind kind, quint16 count);
    void transferFinished(trekora::gps::TransferKind kind);
    void sentenceReceived(QString sentence);
    void imageProgress(qint16 percent, QImage picture);

private:
    enum class Transfer { None, Waypoints, Routes, Tracks, Other };

    gps::PacketLink* createLink();
    gps::PacketLink* createSerialLink(const QString& path);
    void attachLink(gps::PacketLink* link);
    void dropLink();
    void resetSessionState();

    struct RecordRoute;
    void onPacket(const gps::Packet& packet);
    bool applyPacket(const gps::Packet& packet);
    bool applyDataPacket(const gps::Packet& packet);
    void onAcknowledged(quint8 kind);
    void onLine(const QByteArray& line);
    void onSendFailed(gps::PacketLink::SendFailure failure, const gps::Packet& packet);
    void onLinkLost(const QString& reason);
    void onTransferStalled();
    void onScreenData(const QByteArray& data);
    void finishProductData();

    void sendPacket(quint8 id, const QByteArray& data);
    void sendCommand(quint16 command);
    void startTransfer(Transfer kind, quint16 command);
    bool sendRecord(quint8 id, const QString& type, const std::optional<QByteArray>& data,
                    quint16 transferCommand);
    void emulateAck(quint8 kind);
    void raiseProblem(qint16 code, const QString& message, const QByteArray& packet = {});
    void reportUnreadable(const QString& what, const QString& type);
    gps::TransferKind transferKind() const;
    void announcePvt();
    void announceWaypoint();
    void announceProximity();
    void announceRoutePoint();
    void announceRouteHeader();
    void announceRouteLink();
    void announceTrackHeader();
    void announceTrackPoint();
    bool sendAndWaitAck(quint8 id, const QByteArray& data, int timeoutMs);

    // Runs the event loop until `done` holds or the time is up; true when done.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);
    void checkWaits();

    struct ActiveWait {
        std::function<bool()> done;
        QEventLoop* loop;
    };

    qint16 m_port = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    quint16 m_recordCount = 0;
    const gps::pid::LinkIds* m_ids = &gps::pid::L001;
    gps::Capabilities m_caps;
    Timing m_timing;

    QPointer<gps::PacketLink> m_link;
    QList<ActiveWait*> m_waits;

    trekora::WaypointRecord m_waypoint;
    trekora::RouteRecord m_route;
    trekora::TrackRecord m_track;
    trekora::PositionRecord m_position;
    trekora::PvtRecord m_pvt;
    trekora::DateTimeRecord m_dateTime;
    trekora::ProductRecord m_product;

    // Session state.
    bool m_productSeen = false;
    bool m_productSettled = false;
    bool m_capsSeen = false;
    bool m_dateTimeSeen = false;
    bool m_nmeaSeen = false;
    bool m_pvtAwaited = false; // the position stream was started, Pause waits for its record
    bool m_pvtArrived = false;
    bool m_sendFailed = false;
    bool m_quietFailures = false;
    quint32 m_ackCount = 0;
    quint8 m_lastAck = 0;
    qint32 m_acceptedRate = 0;
    QTimer m_productSettleTimer;

    Transfer m_transfer = Transfer::None;
    gps::TransferKind m_endedTransfer = gps::TransferKind::Other;
    // The typed event of the packet being handled, raised after PacketReceived.
    void (GarminLink::*m_announce)() = nullptr;
    bool m_transferProblemRaised = false;
    quint16 m_uploadCommand = gps::cmd::TransferWpt;
    QTimer m_transferTimer;
    qint32 m_countWaypoints = 0;
    qint32 m_countProximity = 0;
    qint32 m_countRoutePoints = 0;
    qint32 m_countTrackPoints = 0;
    qint32 m_transferRecords = 0;

    gps::ScreenImageAssembler m_screen;
    bool m_screenWanted = false;
};

} // namespace trekora
