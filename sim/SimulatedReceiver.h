#pragma once

#include "gps/link/FrameCodec.h"
#include "gps/protocol/Capabilities.h"
#include "sim/SimData.h"

#include <QObject>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <optional>

namespace trekora::sim {

class Pty;
class ThrottledLine;

// Faults the simulated unit can inject. "Record packets" are the packets of
// waypoint, route and track transfers.
enum class Fault {
    None,
    DropAck,         // the first record packet from the host is not acknowledged
    BadChecksum,     // the first record packet to the host has a wrong checksum
    Nak,             // the first record packet from the host is refused once
    NakAll,          // every record packet from the host is refused
    Mute,            // record packets from the host are never acknowledged
    WrongCount,      // downloads announce one record more than they send
    StopMidTransfer, // downloads stop halfway, without transfer complete
    Vanish,          // the device disappears halfway through a download
};

std::optional<Fault> faultFromName(const QString& name);
QStringList faultNames();

struct SimConfig {
    // A unit of the newer families (D108 waypoints, A201 routes, A301 tracks).
    static constexpr const char* kNewerProtocols =
        "P000 L001 A010 A100 D108 A201 D202 D108 D210 A301 D310 D301 A500 D501 "
        "A600 D600 A700 D700 A800 D800";
    // An older unit (D103 waypoints, A200 routes, A300 tracks).
    static constexpr const char* kOlderProtocols =
        "P000 L001 A010 A100 D103 A200 D201 D103 A300 D300 A500 D501 A600 D600 A700 D700 "
        "A800 D800";

    std::int16_t productId = 411;
    std::int16_t softwareVersion = 370;
    QString description = QStringLiteral("eTrex Legend Software Version 3.70");
    QString protocols = QString::fromLatin1(kNewerProtocols);
    bool sendProtocolArray = true;
    bool nmea = false;
    bool throttle = false;
    Fault fault = Fault::None;
    QString linkPath; // a symbolic link to the pseudo-terminal, when set
    int ackTimeoutMs = 1000;
    int retries = 3;
};

// A handheld receiver on a pseudo-terminal. It runs on the event loop of the
// thread that owns it; the program can start one in-process.
class SimulatedReceiver : public QObject, private gps::FrameSink {
    Q_OBJECT
public:
    explicit SimulatedReceiver(const SimConfig& config, const SimData& data = SimData::demo(),
                               QObject* parent = nullptr);
    ~SimulatedReceiver() override;

    bool start(QString* error = nullptr);
    void stop();
    bool isRunning() const;
    QString ptyPath() const { return m_ptyPath; }
    // Maps serial port n (setting port/device<n>) to this unit's device, so
    // the link component reaches it as "Port n".
    void assignToPort(int port) const;

    const SimData& data() const { return m_data; }
    void setData(const SimData& data) { m_data = data; }
    const SimConfig& config() const { return m_config; }
    qint64 bytesSent() const { return m_bytesSent; }
    // The count the host announced for its last upload, and the record
    // packets that followed it (a unit relies on the two agreeing).
    int uploadAnnounced() const { return m_uploadAnnounced; }
    int uploadReceived() const { return m_uploadReceived; }
    qint64 bytesReceived() const { return m_bytesReceived; }

    // The screen image the unit shows (8 bits per pixel, 16 colours).
    static constexpr int kScreenWidth = 100;
    static constexpr int kScreenHeight = 120;
    static quint8 screenPixel(int x, int y);
    static quint32 screenColour(int index); // 0xRRGGBB

signals:
    // The host finished an upload (transfer complete received).
    void uploadFinished(quint16 command);
    void vanished();

private:
    struct Outgoing {
        quint8 id = 0;
        QByteArray data;
        bool corrupt = false;
        bool haltHere = false; // StopMidTransfer / Vanish take effect here
    };

    void onPacket(std::uint8_t id, QByteArrayView data) override;
    void onLine(QByteArrayView) override {}
    void onFrameError(FrameError error, std::uint8_t id) override;

    void onBytes(const QByteArray& bytes);
    void handle(quint8 id, const QByteArray& data);
    void handleCommand(quint16 command);
    void handleUpload(quint8 id, const QByteArray& data);
    bool isRecordKind(quint8 id) const;

    void writeFrame(quint8 id, const QByteArray& data, bool corrupt = false);
    void sendControl(quint8 id, quint8 kind);
    void queue(quint8 id, const QByteArray& data);
    void queueTransfer(const QList<Outgoing>& records, quint16 command);
    void pumpOut();
    void onAckTimeout();
    void halt();

    void sendProductData();
    QList<Outgoing> waypointPackets() const;
    QList<Outgoing> routePackets() const;
    QList<Outgoing> trackPackets() const;
    void queueScreen();
    void sendPvt();
    void sendNmea();
    QByteArray waypointData(const WaypointRecord& w, const QString& type) const;

    SimConfig m_config;
    SimData m_data;
    gps::Capabilities m_caps;
    Pty* m_pty = nullptr;
    ThrottledLine* m_line = nullptr;
    gps::FrameDecoder m_decoder;
    QString m_ptyPath;

    QQueue<Outgoing> m_out;
    Outgoing m_current;
    bool m_inFlight = false;
    int m_attempts = 0;
    QTimer m_ackTimer;

    bool m_faultSpent = false;
    bool m_dedupeNext = false;
    quint8 m_lastId = 0;
    QByteArray m_lastData;

    // Upload in progress.
    int m_uploadRoute = -1;
    int m_uploadTrack = -1;
    int m_uploadAnnounced = -1;
    int m_uploadReceived = 0;

    QTimer m_streamTimer;
    int m_pathIndex = 0;
    QList<TrackRecord> m_path;

    qint64 m_bytesSent = 0;
    qint64 m_bytesReceived = 0;
};

} // namespace trekora::sim
