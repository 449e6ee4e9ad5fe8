#include "gps/link/FrameCodec.h"

#include <cstring>

namespace trekora::gps {

namespace {
void appendStuffed(QByteArray& out, std::uint8_t byte) {
    out.append(char(byte));
    if (byte == kDle)
        out.append(char(byte));
}
} // namespace

QByteArray encodeFrame(std::uint8_t id, QByteArrayView data) {
    if (data.size() > 255)
        data = data.first(255);
    QByteArray out;
    out.reserve(data.size() * 2 + 8);
    out.append(char(kDle));
    out.append(char(id));
    appendStuffed(out, static_cast<std::uint8_t>(data.size()));
    for (char c : data)
        appendStuffed(out, static_cast<std::uint8_t>(c));
    appendStuffed(out, frameChecksum(id, data));
    out.append(char(kDle));
    out.append(char(kEtx));
    return out;
}

void FrameDecoder::reset() {
    m_state = State::Idle;
    m_pendingDle = false;
    m_line.clear();
}

void FrameDecoder::feed(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Fast path: copy a run of plain data bytes up to the next DLE.
        if (m_state == State::Data && !m_pendingDle) {
            const int want = m_size - m_filled;
            const auto avail = static_cast<int>(end - p);
            int run = want < avail ? want : avail;
            const void* dle = std::memchr(p, kDle, static_cast<size_t>(run));
            if (dle)
                run = static_cast<int>(static_cast<const std::uint8_t*>(dle) - p);
            if (run > 0) {
                std::memcpy(m_data + m_filled, p, static_cast<size_t>(run));
                m_filled += run;
                p += run;
                if (m_filled == m_size)
                    m_state = State::Checksum;
                continue;
            }
        }
        const std::uint8_t byte = *p++;
        switch (m_state) {
        case State::Idle:
            if (byte == kDle)
                m_state = State::Id;
            else if (byte == '$') {
                m_line = QByteArray(1, '$');
                m_state = State::Line;
            }
            break;
        case State::Id:
            if (byte == kDle)
                break; // a doubled DLE between frames: keep looking for the id
            if (byte == kEtx) {
                m_state = State::Idle; // the tail of a frame we joined late
                break;
            }
            startFrameAt(byte);
            break;
        case State::Size:
        case State::Data:
        case State::Checksum:
            stuffedByte(byte);
            break;
        case State::TrailerDle:
            if (byte == kDle) {
                m_state = State::TrailerEtx;
            } else {
                m_sink.onFrameError(FrameSink::FrameError::BadTrailer, m_id);
                m_state = State::Idle;
                --p; // the byte may start a line
            }
            break;
        case State::TrailerEtx:
            if (byte == kEtx) {
                m_state = State::Idle;
                finishFrame();
            } else {
                m_sink.onFrameError(FrameSink::FrameError::BadTrailer, m_id);
                m_state = State::Idle;
                --p;
            }
            break;
        case State::Line:
            lineByte(byte);
            break;
        }
    }
}

void FrameDecoder::startFrameAt(std::uint8_t id) {
    m_id = id;
    m_pendingDle = false;
    m_filled = 0;
    m_state = State::Size;
}

void FrameDecoder::stuffedByte(std::uint8_t byte) {
    if (!m_pendingDle) {
        if (byte == kDle)
            m_pendingDle = true;
        else
            acceptStuffed(byte);
        return;
    }
    m_pendingDle = false;
    if (byte == kDle) {
        acceptStuffed(kDle);
        return;
    }
    // A lone DLE inside a frame: the frame was cut short. The DLE may start
    // the next frame, whose id is this byte.
    m_sink.onFrameError(FrameSink::FrameError::BadStuffing, m_id);
    if (byte == kEtx)
        m_state = State::Idle;
    else
        startFrameAt(byte);
}

void FrameDecoder::acceptStuffed(std::uint8_t byte) {
    switch (m_state) {
    case State::Size:
        m_size = byte;
        m_filled = 0;
        m_state = m_size ? State::Data : State::Checksum;
        break;
    case State::Data:
        m_data[m_filled++] = byte;
        if (m_filled == m_size)
            m_state = State::Checksum;
        break;
    case State::Checksum:
        m_checksum = byte;
        m_state = State::TrailerDle;
        break;
    default:
        break;
    }
}

void FrameDecoder::finishFrame() {
    const QByteArrayView data(reinterpret_cast<const char*>(m_data), m_size);
    if (frameChecksum(m_id, data) != m_checksum) {
        m_sink.onFrameError(FrameSink::FrameError::BadChecksum, m_id);
        return;
    }
    m_sink.onPacket(m_id, data);
}

void FrameDecoder::lineByte(std::uint8_t byte) {
    if (byte == '\n') {
        if (m_line.endsWith('\r'))
            m_line.chop(1);
        m_state = State::Idle;
        m_sink.onLine(m_line);
        m_line.clear();
        return;
    }
    if (byte == kDle) { // a frame starts: the line was cut off
        m_line.clear();
        m_state = State::Id;
        return;
    }
    if (m_line.size() >= kMaxLine) {
        m_line.clear();
        m_state = State::Idle;
        m_sink.onFrameError(FrameSink::FrameError::LineTooLong, 0);
        return;
    }
    m_line.append(char(byte));
}

} // namespace trekora::gps
