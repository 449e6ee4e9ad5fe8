#pragma once

#include "gps/link/FrameCodec.h"
#include "gps/link/PacketLink.h"
#include "gps/transport/ByteTransport.h"

#include <QQueue>
#include <QTimer>
#include <memory>

namespace trekora::gps {

// The serial link layer: frames with DLE stuffing and checksums, ACK/NAK of
// every packet, resending on NAK or silence, and NMEA text lines passed
// through. One packet is in flight at a time, as the receivers expect.
class SerialLink : public PacketLink, private FrameSink {
    Q_OBJECT
public:
    static constexpr int kDefaultAckTimeoutMs = 1000;
    static constexpr int kDefaultRetries = 3;

    // Takes ownership of the transport.
    explicit SerialLink(std::unique_ptr<ByteTransport> transport, QObject* parent = nullptr);
    ~SerialLink() override;

    bool open() override;
    void close() override;
    bool isOpen() const override;
    void send(const Packet& packet) override;
    void clearPending() override;
    bool acknowledges() const override { return true; }
    QString errorText() const override;

    ByteTransport& transport() { return *m_transport; }
    void setAckTimeout(int ms) { m_ackTimeoutMs = ms; }
    void setRetries(int retries) { m_retries = retries; }
    bool busy() const { return m_inFlight || !m_queue.isEmpty(); }

private:
    void onPacket(std::uint8_t id, QByteArrayView data) override;
    void onLine(QByteArrayView line) override;
    void onFrameError(FrameError error, std::uint8_t id) override;

    void onBytes(const QByteArray& bytes);
    void sendNext();
    void transmitInFlight();
    void onAckTimeout();
    void sendControl(std::uint8_t id, std::uint8_t kind);
    void finishInFlight();

    std::unique_ptr<ByteTransport> m_transport;
    FrameDecoder m_decoder;
    QQueue<Packet> m_queue;
    Packet m_current;
    bool m_inFlight = false;
    int m_attempts = 0;
    int m_naks = 0;
    int m_ackTimeoutMs = kDefaultAckTimeoutMs;
    int m_retries = kDefaultRetries;
    QTimer m_ackTimer;
};

} // namespace trekora::gps
