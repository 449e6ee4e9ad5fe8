#include "gps/link/SerialLink.h"

#include "gps/protocol/PacketIds.h"

namespace trekora::gps {

SerialLink::SerialLink(std::unique_ptr<ByteTransport> transport, QObject* parent)
    : PacketLink(parent), m_transport(std::move(transport)), m_decoder(*this) {
    m_transport->setParent(nullptr);
    m_ackTimer.setSingleShot(true);
    connect(&m_ackTimer, &QTimer::timeout, this, &SerialLink::onAckTimeout);
    connect(m_transport.get(), &ByteTransport::received, this, &SerialLink::onBytes);
    connect(m_transport.get(), &ByteTransport::lost, this, [this](const QString& reason) {
        m_ackTimer.stop();
        m_inFlight = false;
        m_queue.clear();
        emit lost(reason);
    });
}

SerialLink::~SerialLink() {
    m_transport->disconnect(this);
}

bool SerialLink::open() {
    m_decoder.reset();
    return m_transport->open();
}

void SerialLink::close() {
    m_ackTimer.stop();
    m_inFlight = false;
    m_queue.clear();
    m_transport->close();
}

bool SerialLink::isOpen() const {
    return m_transport->isOpen();
}

QString SerialLink::errorText() const {
    return m_transport->errorText();
}

void SerialLink::send(const Packet& packet) {
    m_queue.enqueue(packet);
    sendNext();
}

void SerialLink::clearPending() {
    m_queue.clear();
}

void SerialLink::sendNext() {
    if (m_inFlight || m_queue.isEmpty() || !isOpen())
        return;
    m_current = m_queue.dequeue();
    m_inFlight = true;
    m_attempts = 0;
    m_naks = 0;
    transmitInFlight();
}

void SerialLink::transmitInFlight() {
    ++m_attempts;
    m_transport->write(encodeFrame(static_cast<std::uint8_t>(m_current.id), m_current.data));
    m_ackTimer.start(m_ackTimeoutMs);
}

void SerialLink::onAckTimeout() {
    if (!m_inFlight)
        return;
    if (m_attempts <= m_retries) {
        transmitInFlight();
        return;
    }
    m_inFlight = false;
    const Packet failed = m_current;
    emit sendFailed(m_naks > 0 ? SendFailure::Rejected : SendFailure::NotAcknowledged, failed);
    sendNext();
}

void SerialLink::finishInFlight() {
    m_ackTimer.stop();
    m_inFlight = false;
}

void SerialLink::onBytes(const QByteArray& bytes) {
    m_decoder.feed(bytes);
}

void SerialLink::onPacket(std::uint8_t id, QByteArrayView data) {
    if (!isOpen())
        return;
    if (id == pid::Ack) {
        // The acknowledged kind is a u16, or one byte on some old units.
        const auto kind = data.isEmpty() ? static_cast<std::uint8_t>(m_current.id)
                                         : static_cast<std::uint8_t>(data[0]);
        if (!m_inFlight || kind != static_cast<std::uint8_t>(m_current.id))
            return; // a late duplicate of an earlier answer
        finishInFlight();
        emit acknowledged(kind);
        sendNext();
        if (!m_inFlight && m_queue.isEmpty())
            emit idle();
        return;
    }
    if (id == pid::Nak) {
        if (!m_inFlight)
            return;
        ++m_naks;
        m_ackTimer.stop();
        if (m_attempts <= m_retries) {
            transmitInFlight();
            return;
        }
        m_inFlight = false;
        const Packet failed = m_current;
        emit sendFailed(SendFailure::Rejected, failed);
        sendNext();
        return;
    }
    sendControl(pid::Ack, id);
    emit packetReceived(Packet{id, data.toByteArray()});
}

void SerialLink::onLine(QByteArrayView line) {
    if (isOpen())
        emit lineReceived(line.toByteArray());
}

void SerialLink::onFrameError(FrameError error, std::uint8_t id) {
    // A damaged frame is asked for again; the sender repeats it on the NAK.
    if (error == FrameError::BadChecksum && isOpen() && id != pid::Ack && id != pid::Nak)
        sendControl(pid::Nak, id);
}

void SerialLink::sendControl(std::uint8_t id, std::uint8_t kind) {
    const char data[2] = {char(kind), 0};
    m_transport->write(encodeFrame(id, QByteArrayView(data, 2)));
}

} // namespace trekora::gps
