#pragma once

#include "gps/GarminRecords.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The receiver's data types, converted to and from the record objects. Each
// encoder returns std::nullopt for a type it does not know; each decoder
// returns false for an unknown type or data too short for the type, and then
// leaves the record untouched. Fields a type does not carry get their
// defaults on decoding.
namespace trekora::gps {

// 108 for "D108" (any case); 0 when the text names no data type.
int dataTypeNumber(const QString& type);

bool isWaypointType(int type);
std::optional<QByteArray> encodeWaypoint(int type, const WaypointRecord& record);
bool decodeWaypoint(int type, QByteArrayView data, WaypointRecord& record);

bool isRouteHeaderType(int type);
std::optional<QByteArray> encodeRouteHeader(int type, const RouteRecord& record);
bool decodeRouteHeader(int type, QByteArrayView data, RouteRecord& record);

bool isRouteLinkType(int type);
std::optional<QByteArray> encodeRouteLink(int type, const RouteRecord& record);
// Fills only the link fields of the record.
bool decodeRouteLink(int type, QByteArrayView data, RouteRecord& record);

bool isTrackHeaderType(int type);
std::optional<QByteArray> encodeTrackHeader(int type, const TrackRecord& record);
// Fills only the header fields (display, color, ident).
bool decodeTrackHeader(int type, QByteArrayView data, TrackRecord& record);

bool isTrackPointType(int type);
std::optional<QByteArray> encodeTrackPoint(int type, const TrackRecord& record);
// Fills only the point fields; the header fields stay.
bool decodeTrackPoint(int type, QByteArrayView data, TrackRecord& record);

std::optional<QByteArray> encodeDateTime(int type, const DateTimeRecord& record);
bool decodeDateTime(int type, QByteArrayView data, DateTimeRecord& record);

std::optional<QByteArray> encodePosition(int type, const PositionRecord& record);
bool decodePosition(int type, QByteArrayView data, PositionRecord& record);

std::optional<QByteArray> encodePvt(int type, const PvtRecord& record);
bool decodePvt(int type, QByteArrayView data, PvtRecord& record);

// A000 product data (no type number of its own).
QByteArray encodeProduct(const ProductRecord& record);
bool decodeProduct(QByteArrayView data, ProductRecord& record);

// Receiver time: seconds since 1989-12-31 00:00 UTC.
constexpr qint64 kGarminEpochOffset = 631065600; // Unix time of the receiver's epoch
QString trackTimeText(std::uint32_t garminSeconds);
std::uint32_t trackTimeValue(const QString& text);

} // namespace trekora::gps
