#pragma once

#include <QString>
#include <cstdint>
#include <stdexcept>

// Error style of the geometry, shapefile and dBASE library (src/shapes):
// - the geometry classes and CShapeFile raise a ShapeError (number, source,
//   description) for every failure;
// - the DBase routines and CreateEmptyShapefile report failure through their
//   results (-1, false, an empty list) and raise nothing;
// - nothing here opens a dialog: what a routine must tell or ask the user
//   while it runs is a ShapeNotice (ShapeNotice.h), and the callers in
//   src/io and src/app decide what the user sees.
namespace trekora {

// Every failure raised by the geometry, shapefile and dBASE library. It carries
// the three things the program's error boxes show: a number, the routine that
// raised it (source) and a description. Numbers of the library's own errors
// count from the object-error base 0x80040000; failures of the file layer and
// of the runtime keep the classic small numbers (9 subscript, 6 overflow ...).
class ShapeError : public std::runtime_error {
public:
    ShapeError(std::int32_t number, QString source, QString description);

    std::int32_t number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }

    // Returns a copy with another source; routines that label every failure
    // leaving them with their own name use it.
    ShapeError withSource(const QString& source) const;

private:
    std::int32_t m_number;
    QString m_source;
    QString m_description;
};

// Error numbers of the library. The object-error base is a negative 32-bit
// number, exactly as the error boxes print it.
namespace shape_errors {
inline constexpr std::int32_t kObjectErrorBase = static_cast<std::int32_t>(0x80040000u);

inline constexpr std::int32_t kInvalidFileSpec = kObjectErrorBase + 515;    // 0x80040203
inline constexpr std::int32_t kIndexMismatch = kObjectErrorBase + 517;      // 0x80040205
inline constexpr std::int32_t kOffsetBeyondMain = kObjectErrorBase + 518;   // 0x80040206
inline constexpr std::int32_t kBadHeaderCode = kObjectErrorBase + 519;      // 0x80040207
inline constexpr std::int32_t kFileMissing = kObjectErrorBase + 524;        // 0x8004020C
inline constexpr std::int32_t kTypeMismatchOnRead = kObjectErrorBase + 526; // 0x8004020E
inline constexpr std::int32_t kWrongElementClass = kObjectErrorBase + 527;  // 0x8004020F
inline constexpr std::int32_t kTypeMismatchOnAdd = kObjectErrorBase + 528;  // 0x80040210
inline constexpr std::int32_t kInvalidShapeType = kObjectErrorBase + 529;   // 0x80040211
inline constexpr std::int32_t kNullShapeDistance = kObjectErrorBase + 530;  // 0x80040212
// A record whose sizes, counts or part starts contradict each other or the
// file (damaged or hostile input).
inline constexpr std::int32_t kDamagedRecord = kObjectErrorBase + 531; // 0x80040213

// Runtime and file-layer numbers.
inline constexpr std::int32_t kInvalidCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kSubscriptOutOfRange = 9;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIoError = 57;
inline constexpr std::int32_t kInputPastEnd = 62;
inline constexpr std::int32_t kPathFileAccess = 75;
} // namespace shape_errors

} // namespace trekora
