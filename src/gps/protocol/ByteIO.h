#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace trekora::gps {

// Little-endian writer for packet data.
class ByteWriter {
public:
    explicit ByteWriter(QByteArray& out) : m_out(out) {}

    void u8(std::uint8_t v) { m_out.append(char(v)); }
    void u16(std::uint16_t v);
    void u32(std::uint32_t v);
    void i16(std::int16_t v) { u16(static_cast<std::uint16_t>(v)); }
    void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
    void f32(float v);
    void f64(double v);
    // A fixed-size character array, cut or padded with `pad`.
    void fixed(const QString& text, int length, char pad = ' ');
    // A NUL-terminated string of at most `maxLength` characters.
    void cstr(const QString& text, int maxLength);
    void raw(QByteArrayView bytes) { m_out.append(bytes); }

private:
    QByteArray& m_out;
};

// Little-endian reader; reading past the end sets failed() and gives zeros.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView in) : m_in(in) {}

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    float f32();
    double f64();
    // A fixed-size character array, trailing blanks and NULs removed.
    QString fixed(int length);
    QByteArray raw(int length);
    // A NUL-terminated string; a missing NUL ends it at the end of the data.
    QString cstr();

    bool failed() const { return m_failed; }
    qsizetype remaining() const { return m_in.size() - m_pos; }

private:
    bool take(qsizetype n);

    QByteArrayView m_in;
    qsizetype m_pos = 0;
    bool m_failed = false;
};

// Positions on the wire: semicircles (2^31 = 180 degrees) and radians.
std::int32_t degreesToSemicircles(double degrees);
double semicirclesToDegrees(std::int32_t semicircles);

} // namespace trekora::gps
