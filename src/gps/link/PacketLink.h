#pragma once

#include "gps/link/Packet.h"

#include <QObject>
#include <QString>

namespace trekora::gps {

// The link layer seen from the application layer: packets out, packets in.
// The serial link adds framing and acknowledgements; the USB link carries
// packets as they are.
class PacketLink : public QObject {
    Q_OBJECT
public:
    enum class SendFailure {
        NotAcknowledged, // no answer after every retry
        Rejected,        // the receiver kept answering NAK
    };

    using QObject::QObject;

    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues the packet; on a serial link it goes out once the packets before
    // it are acknowledged.
    virtual void send(const Packet& packet) = 0;
    // Forgets packets that are queued but not yet out.
    virtual void clearPending() = 0;
    // True when the receiver acknowledges every packet (serial).
    virtual bool acknowledges() const = 0;
    virtual QString errorText() const = 0;

signals:
    void packetReceived(const trekora::gps::Packet& packet);
    // The receiver acknowledged a packet of this kind.
    void acknowledged(quint8 kind);
    void lineReceived(const QByteArray& line);
    void sendFailed(trekora::gps::PacketLink::SendFailure failure,
                    const trekora::gps::Packet& packet);
    void lost(const QString& reason);
    // Every packet queued so far is out (and acknowledged where that applies).
    void idle();
};

} // namespace trekora::gps
