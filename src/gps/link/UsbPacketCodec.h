#pragma once

#include "gps/link/Packet.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <cstdint>

namespace trekora::gps {

// The 12-byte packet header of the receiver's USB protocol: type (0 = USB
// protocol layer, 20 = application layer), three reserved bytes, id u16, two
// reserved bytes, data size u32.
struct UsbPacket {
    static constexpr std::uint8_t kProtocolLayer = 0;
    static constexpr std::uint8_t kApplicationLayer = 20;
    static constexpr int kHeaderSize = 12;
    // No packet of the protocol comes near this; larger sizes are damage.
    static constexpr std::uint32_t kMaxDataSize = 64 * 1024;

    std::uint8_t type = kApplicationLayer;
    Packet packet;

    QByteArray encode() const;
};

// Cuts a stream of USB transfers into packets. Bad sizes drop the buffer.
class UsbPacketDecoder {
public:
    // Appends bytes and returns the packets now complete.
    QList<UsbPacket> feed(QByteArrayView bytes);
    bool damaged() const { return m_damaged; }

private:
    QByteArray m_buffer;
    bool m_damaged = false;
};

} // namespace trekora::gps
