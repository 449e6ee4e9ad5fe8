#include "gps/link/Packet.h"

#include "gps/link/FrameCodec.h"

namespace trekora::gps {

std::uint8_t frameChecksum(std::uint8_t id, QByteArrayView data) {
    unsigned sum = id + static_cast<std::uint8_t>(data.size());
    for (char c : data)
        sum += static_cast<std::uint8_t>(c);
    return static_cast<std::uint8_t>(-sum);
}

QByteArray packetBytes(const Packet& packet) {
    const auto id = static_cast<std::uint8_t>(packet.id);
    QByteArray bytes;
    bytes.reserve(packet.data.size() + 6);
    bytes.append(char(kDle));
    bytes.append(char(id));
    bytes.append(char(static_cast<std::uint8_t>(packet.data.size())));
    bytes.append(packet.data);
    bytes.append(char(frameChecksum(id, packet.data)));
    bytes.append(char(kDle));
    bytes.append(char(kEtx));
    return bytes;
}

bool packetFromBytes(QByteArrayView bytes, Packet& packet) {
    if (bytes.size() < 6 || static_cast<std::uint8_t>(bytes[0]) != kDle)
        return false;
    // Plain (unstuffed) form first: the size byte tells where the data ends.
    const int size = static_cast<std::uint8_t>(bytes[2]);
    if (bytes.size() == size + 6) {
        packet.id = static_cast<std::uint8_t>(bytes[1]);
        packet.data = bytes.sliced(3, size).toByteArray();
        return true;
    }
    // Otherwise read it as a stuffed frame.
    struct OneFrame : FrameSink {
        Packet* out = nullptr;
        bool found = false;
        void onPacket(std::uint8_t id, QByteArrayView data) override {
            if (found)
                return;
            out->id = id;
            out->data = data.toByteArray();
            found = true;
        }
        void onLine(QByteArrayView) override {}
        void onFrameError(FrameError, std::uint8_t) override {}
    } sink;
    sink.out = &packet;
    FrameDecoder decoder(sink);
    decoder.feed(bytes);
    return sink.found;
}

} // namespace trekora::gps
