#pragma once

#include <QByteArray>
#include <QtEndian>
#include <cstdint>
#include <cstring>

// Reading and writing the fixed-size numbers of the shapefile and dBASE
// formats at byte offsets. Callers check the bounds before calling.
namespace trekora::bytes {

inline std::int32_t bigInt32(const char* p) {
    return qFromBigEndian<std::int32_t>(p);
}
inline std::int32_t littleInt32(const char* p) {
    return qFromLittleEndian<std::int32_t>(p);
}
inline std::uint32_t littleUInt32(const char* p) {
    return qFromLittleEndian<std::uint32_t>(p);
}
inline std::uint16_t littleUInt16(const char* p) {
    return qFromLittleEndian<std::uint16_t>(p);
}
inline double littleDouble(const char* p) {
    const std::uint64_t bits = qFromLittleEndian<std::uint64_t>(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void putBigInt32(char* p, std::int32_t v) {
    qToBigEndian(v, p);
}
inline void putLittleInt32(char* p, std::int32_t v) {
    qToLittleEndian(v, p);
}
inline void putLittleUInt32(char* p, std::uint32_t v) {
    qToLittleEndian(v, p);
}
inline void putLittleUInt16(char* p, std::uint16_t v) {
    qToLittleEndian(v, p);
}
inline void putLittleDouble(char* p, double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    qToLittleEndian(bits, p);
}

// Appending writers for building records.
inline void appendBigInt32(QByteArray& out, std::int32_t v) {
    char b[4];
    putBigInt32(b, v);
    out.append(b, 4);
}
inline void appendLittleInt32(QByteArray& out, std::int32_t v) {
    char b[4];
    putLittleInt32(b, v);
    out.append(b, 4);
}
inline void appendLittleDouble(QByteArray& out, double v) {
    char b[8];
    putLittleDouble(b, v);
    out.append(b, 8);
}

} // namespace trekora::bytes
