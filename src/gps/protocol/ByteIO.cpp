#include "gps/protocol/ByteIO.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace trekora::gps {

void ByteWriter::u16(std::uint16_t v) {
    char b[2];
    qToLittleEndian(v, b);
    m_out.append(b, 2);
}

void ByteWriter::u32(std::uint32_t v) {
    char b[4];
    qToLittleEndian(v, b);
    m_out.append(b, 4);
}

void ByteWriter::f32(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
}

void ByteWriter::f64(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    char b[8];
    qToLittleEndian(bits, b);
    m_out.append(b, 8);
}

void ByteWriter::fixed(const QString& text, int length, char pad) {
    QByteArray bytes = text.toLatin1().left(length);
    bytes.append(QByteArray(length - bytes.size(), pad));
    m_out.append(bytes);
}

void ByteWriter::cstr(const QString& text, int maxLength) {
    QByteArray bytes = text.toLatin1().left(maxLength);
    // A NUL inside would end the string early on the other side.
    const auto nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    m_out.append(bytes);
    m_out.append('\0');
}

bool ByteReader::take(qsizetype n) {
    if (m_failed || remaining() < n) {
        m_failed = true;
        return false;
    }
    return true;
}

std::uint8_t ByteReader::u8() {
    if (!take(1))
        return 0;
    return static_cast<std::uint8_t>(m_in[m_pos++]);
}

std::uint16_t ByteReader::u16() {
    if (!take(2))
        return 0;
    const auto v = qFromLittleEndian<std::uint16_t>(m_in.data() + m_pos);
    m_pos += 2;
    return v;
}

std::uint32_t ByteReader::u32() {
    if (!take(4))
        return 0;
    const auto v = qFromLittleEndian<std::uint32_t>(m_in.data() + m_pos);
    m_pos += 4;
    return v;
}

float ByteReader::f32() {
    const std::uint32_t bits = u32();
    float v;
    std::memcpy(&v, &bits, 4);
    return v;
}

double ByteReader::f64() {
    if (!take(8))
        return 0;
    const auto bits = qFromLittleEndian<std::uint64_t>(m_in.data() + m_pos);
    m_pos += 8;
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

QString ByteReader::fixed(int length) {
    if (!take(length))
        return {};
    QByteArrayView bytes = m_in.sliced(m_pos, length);
    m_pos += length;
    const auto nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes = bytes.first(nul);
    while (!bytes.isEmpty() && bytes.back() == ' ')
        bytes.chop(1);
    return QString::fromLatin1(bytes);
}

QByteArray ByteReader::raw(int length) {
    if (!take(length))
        return {};
    QByteArray bytes = m_in.sliced(m_pos, length).toByteArray();
    m_pos += length;
    return bytes;
}

QString ByteReader::cstr() {
    if (m_failed)
        return {};
    QByteArrayView rest = m_in.sliced(m_pos);
    const auto nul = rest.indexOf('\0');
    const qsizetype length = nul >= 0 ? nul : rest.size();
    m_pos += nul >= 0 ? nul + 1 : rest.size();
    return QString::fromLatin1(rest.first(length));
}

std::int32_t degreesToSemicircles(double degrees) {
    if (!std::isfinite(degrees))
        return 0;
    const double sc = std::nearbyint(degrees * (2147483648.0 / 180.0));
    if (sc >= 2147483647.0)
        return 2147483647;
    if (sc <= -2147483648.0)
        return -2147483647 - 1;
    return static_cast<std::int32_t>(sc);
}

double semicirclesToDegrees(std::int32_t semicircles) {
    return static_cast<double>(semicircles) * (180.0 / 2147483648.0);
}

} // namespace trekora::gps
