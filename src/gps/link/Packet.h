#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

namespace trekora::gps {

// One application packet of the receiver protocol: a kind (packet id) and at
// most 255 data bytes on a serial link (USB allows more).
struct Packet {
    std::uint16_t id = 0;
    QByteArray data;

    bool operator==(const Packet&) const = default;
};

// The packet as the program sees it in PacketReceived: the unstuffed frame
// DLE, id, size, data..., checksum, DLE, ETX. Byte 1 is the kind and the data
// starts at byte 3. Data longer than 255 bytes (USB) keeps size 255 mod 256.
QByteArray packetBytes(const Packet& packet);

// Reads a packet back from packetBytes() output or from a stuffed frame;
// false when the bytes do not hold a frame.
bool packetFromBytes(QByteArrayView bytes, Packet& packet);

// Checksum of a frame: two's complement of id + size + data bytes.
std::uint8_t frameChecksum(std::uint8_t id, QByteArrayView data);

} // namespace trekora::gps
