#pragma once

#include <QString>
#include <cstdint>

// The component's record objects: the current record of each kind. A packet
// that arrives fills its record before PacketReceived is raised; the program
// fills a record before it calls the matching send method. Lengths are in
// metres; a single-precision length above 1e9 means "no value" (the receiver
// uses 1.0e25).
namespace trekora {

constexpr float kNoValue = 1.0e25f;

struct WaypointRecord {
    QString ident;
    double latitude = 0;  // degrees
    double longitude = 0; // degrees
    QString comment;
    std::int16_t display = 0;
    std::int16_t symbol = 0;
    std::int32_t unused1 = 0;
    float dist = kNoValue;
    std::int16_t prox_index = 0;
    std::int32_t color = 0;
    float altitude = kNoValue;
    float depth = kNoValue;
    std::int16_t wpt_class = 0;
    QString sub_class; // 18 bytes as 36 hex digits; empty = the usual default
    std::int16_t attrib = 0;
    QString link;
    QString state;
    QString country;
    QString city;
    QString address;
    QString facility;
    QString crossroad;
    std::int32_t unused2 = 0;
    std::int32_t ete = -1; // seconds; -1 (0xFFFFFFFF) = none
    std::int16_t dtype = 0;
    // Kept so that newer waypoints travel through unchanged.
    float temperature = kNoValue;
    std::uint32_t time = 0xFFFFFFFF; // receiver seconds, see GarminTime
    std::uint16_t category = 0;

    bool operator==(const WaypointRecord&) const = default;
};

struct RouteRecord {
    std::int16_t route_number = 0;
    QString route_ident;
    QString route_comment;
    std::int16_t link_class = 0;
    QString link_subclass; // 36 hex digits like sub_class
    QString link_ident;

    bool operator==(const RouteRecord&) const = default;
};

struct TrackRecord {
    double latitude = 0;
    double longitude = 0;
    // Receiver time as decimal seconds since 1989-12-31 00:00 UTC; empty when
    // the point has no time.
    QString time;
    float temperature = kNoValue; // D302 only
    bool new_segment = false;
    float altitude = kNoValue;
    float depth = kNoValue;
    // Track header fields.
    bool display = true;
    std::uint8_t color = 0;
    QString ident;

    bool operator==(const TrackRecord&) const = default;
};

struct PositionRecord {
    double latitude = 0;
    double longitude = 0;

    bool operator==(const PositionRecord&) const = default;
};

struct PvtRecord {
    float alt = 0; // above the ellipsoid; alt + msl_hght is above mean sea level
    float epe = 0;
    float eph = 0;
    float epv = 0;
    std::int16_t fix = 0;
    double tow = 0; // seconds of the week
    double latitude = 0;
    double longitude = 0;
    float east = 0;
    float north = 0;
    float up = 0;
    float msl_hght = 0;
    std::int16_t leap_scnds = 0;
    std::uint32_t wn_days = 0;

    bool operator==(const PvtRecord&) const = default;
};

struct DateTimeRecord {
    std::uint8_t month = 0;
    std::uint8_t day = 0;
    std::int16_t year = 0;
    std::int16_t hour = 0;
    std::uint8_t minute = 0;
    std::uint8_t second = 0;

    bool operator==(const DateTimeRecord&) const = default;
};

struct ProductRecord {
    std::int16_t product_id = 0;
    std::int16_t software_version = 0; // version x 100
    QString description1;
    QString description2;

    bool operator==(const ProductRecord&) const = default;
};

} // namespace trekora
