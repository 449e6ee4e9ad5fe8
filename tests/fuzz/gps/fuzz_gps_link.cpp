// The link layer's readers: serial frames and NMEA lines, packets handed
// back by the program, and USB packet streams.
#include "gps/link/FrameCodec.h"
#include "gps/link/Packet.h"
#include "gps/link/UsbPacketCodec.h"

#include <cstddef>
#include <cstdint>

namespace {
struct Sink : trekora::gps::FrameSink {
    std::size_t total = 0;
    void onPacket(std::uint8_t id, QByteArrayView data) override {
        // Every packet handed on must frame back into the same packet.
        const QByteArray frame = trekora::gps::encodeFrame(id, data);
        trekora::gps::Packet back;
        if (!trekora::gps::packetFromBytes(frame, back) || back.id != id || back.data != data)
            __builtin_trap();
        total += static_cast<std::size_t>(data.size());
    }
    void onLine(QByteArrayView line) override {
        if (line.size() > trekora::gps::FrameDecoder::kMaxLine + 1)
            __builtin_trap();
        total += static_cast<std::size_t>(line.size());
    }
    void onFrameError(FrameError, std::uint8_t) override {}
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Sink sink;
    trekora::gps::FrameDecoder decoder(sink);
    // Split the input in two feeds to exercise state carried between reads.
    const qsizetype half = bytes.size() / 2;
    decoder.feed(bytes.first(half));
    decoder.feed(bytes.sliced(half));

    trekora::gps::Packet packet;
    trekora::gps::packetFromBytes(bytes, packet);

    trekora::gps::UsbPacketDecoder usb;
    usb.feed(bytes.first(half));
    usb.feed(bytes.sliced(half));
    return 0;
}
