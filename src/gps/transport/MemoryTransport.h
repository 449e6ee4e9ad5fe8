#pragma once

#include "gps/transport/ByteTransport.h"

#include <QPointer>

namespace trekora::gps {

// One end of an in-memory byte pipe. Bytes written on one end arrive on the
// other from the event loop, as they would from a device. For tests.
class MemoryTransport : public ByteTransport {
    Q_OBJECT
public:
    using ByteTransport::ByteTransport;

    static void connectPair(MemoryTransport& a, MemoryTransport& b);

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void write(const QByteArray& bytes) override;
    bool setBaudRate(qint32 rate) override;
    qint32 baudRate() const override { return m_rate; }
    QString errorText() const override { return {}; }

    // Simulates the device going away.
    void vanish();

private:
    void deliver(const QByteArray& bytes);

    QPointer<MemoryTransport> m_peer;
    bool m_open = false;
    qint32 m_rate = 9600;
};

} // namespace trekora::gps
