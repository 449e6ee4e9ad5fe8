#include "gps/link/UsbPacketCodec.h"

#include <QtEndian>

namespace trekora::gps {

QByteArray UsbPacket::encode() const {
    QByteArray out(kHeaderSize, '\0');
    out[0] = char(type);
    qToLittleEndian<quint16>(packet.id, out.data() + 4);
    qToLittleEndian<quint32>(static_cast<quint32>(packet.data.size()), out.data() + 8);
    out.append(packet.data);
    return out;
}

QList<UsbPacket> UsbPacketDecoder::feed(QByteArrayView bytes) {
    QList<UsbPacket> packets;
    m_buffer.append(bytes);
    while (m_buffer.size() >= UsbPacket::kHeaderSize) {
        const auto* head = m_buffer.constData();
        const quint32 size = qFromLittleEndian<quint32>(head + 8);
        if (size > UsbPacket::kMaxDataSize) {
            m_damaged = true;
            m_buffer.clear();
            break;
        }
        const qsizetype total = UsbPacket::kHeaderSize + static_cast<qsizetype>(size);
        if (m_buffer.size() < total)
            break;
        UsbPacket p;
        p.type = static_cast<std::uint8_t>(head[0]);
        p.packet.id = qFromLittleEndian<quint16>(head + 4);
        p.packet.data = m_buffer.mid(UsbPacket::kHeaderSize, size);
        packets.append(p);
        m_buffer.remove(0, total);
    }
    return packets;
}

} // namespace trekora::gps
