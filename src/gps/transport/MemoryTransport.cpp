#include "gps/transport/MemoryTransport.h"

#include <QMetaObject>

namespace trekora::gps {

void MemoryTransport::connectPair(MemoryTransport& a, MemoryTransport& b) {
    a.m_peer = &b;
    b.m_peer = &a;
}

bool MemoryTransport::open() {
    m_open = true;
    return true;
}

void MemoryTransport::close() {
    m_open = false;
}

void MemoryTransport::write(const QByteArray& bytes) {
    if (!m_open || !m_peer)
        return;
    QPointer<MemoryTransport> peer = m_peer;
    QMetaObject::invokeMethod(
        peer,
        [peer, bytes] {
            if (peer)
                peer->deliver(bytes);
        },
        Qt::QueuedConnection);
}

bool MemoryTransport::setBaudRate(qint32 rate) {
    m_rate = rate;
    return true;
}

void MemoryTransport::vanish() {
    if (!m_open)
        return;
    m_open = false;
    emit lost(QStringLiteral("The device is gone"));
}

void MemoryTransport::deliver(const QByteArray& bytes) {
    if (m_open)
        emit received(bytes);
}

} // namespace trekora::gps
