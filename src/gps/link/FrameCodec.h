#pragma once

#include "gps/link/Packet.h"

#include <QByteArray>
#include <QByteArrayView>
#include <cstdint>

namespace trekora::gps {

constexpr std::uint8_t kDle = 0x10;
constexpr std::uint8_t kEtx = 0x03;

// Builds the serial frame of a packet with DLE stuffing. The data must not
// exceed 255 bytes (the caller checks; longer data is cut).
QByteArray encodeFrame(std::uint8_t id, QByteArrayView data);

// Receives whatever the decoder finds in the byte stream.
class FrameSink {
public:
    enum class FrameError { BadChecksum, BadStuffing, BadTrailer, LineTooLong };

    virtual ~FrameSink() = default;
    virtual void onPacket(std::uint8_t id, QByteArrayView data) = 0;
    // An NMEA (or other text) line starting with '$', without its line end.
    virtual void onLine(QByteArrayView line) = 0;
    // A frame that could not be read; `id` is its kind when known (0 if not).
    virtual void onFrameError(FrameError error, std::uint8_t id) = 0;
};

// Turns a serial byte stream into packets and text lines. Bytes between
// frames that do not start a line are skipped, so the decoder finds the next
// frame after noise or a lost byte. Memory use is bounded: a frame holds at
// most 255 data bytes and a line at most kMaxLine characters.
class FrameDecoder {
public:
    static constexpr int kMaxLine = 512;

    explicit FrameDecoder(FrameSink& sink) : m_sink(sink) {}

    void feed(QByteArrayView bytes);
    void reset();

private:
    enum class State { Idle, Id, Size, Data, Checksum, TrailerDle, TrailerEtx, Line };

    void stuffedByte(std::uint8_t byte);
    void acceptStuffed(std::uint8_t byte);
    void startFrameAt(std::uint8_t id);
    void finishFrame();
    void lineByte(std::uint8_t byte);

    FrameSink& m_sink;
    State m_state = State::Idle;
    bool m_pendingDle = false;
    std::uint8_t m_id = 0;
    std::uint8_t m_size = 0;
    std::uint8_t m_checksum = 0;
    int m_filled = 0;
    std::uint8_t m_data[256] = {};
    QByteArray m_line;
};

} // namespace trekora::gps
