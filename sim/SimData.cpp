#include "sim/SimData.h"

#include "gps/protocol/DataTypes.h"

#include <QDateTime>
#include <cmath>

namespace trekora::sim {

namespace {

struct DemoPoint {
    const char* ident;
    double lat;
    double lon;
    float altitude;
    std::int16_t symbol;
    const char* comment;
};

// Landmarks of Yosemite Valley with the symbols a user would give them;
// idents fit the six characters of old units.
constexpr DemoPoint kDemoPoints[] = {
    {"HALFDM", 37.74604, -119.53314, 2693.0f, 8246, "HALF DOME SUMMIT"},
    {"GLACPT", 37.72780, -119.57384, 2199.0f, 161, "GLACIER POINT"},
    {"ELCAP", 37.73422, -119.63778, 2307.0f, 8246, "EL CAPITAN"},
    {"YOSFLS", 37.75661, -119.59683, 1830.0f, 161, "UPPER YOSEMITE FALL"},
    {"LYOSFL", 37.74975, -119.59602, 1220.0f, 161, "LOWER YOSEMITE FALL"},
    {"VERNAL", 37.72747, -119.54330, 1524.0f, 161, "VERNAL FALL"},
    {"NEVADA", 37.72469, -119.53357, 1801.0f, 161, "NEVADA FALL"},
    {"BRIDAL", 37.71658, -119.64606, 1189.0f, 161, "BRIDALVEIL FALL"},
    {"SENTNL", 37.72351, -119.58366, 2476.0f, 8246, "SENTINEL DOME"},
    {"TAFTPT", 37.71292, -119.60482, 2355.0f, 161, "TAFT POINT"},
    {"VILLAG", 37.74876, -119.58738, 1209.0f, 172, "YOSEMITE VILLAGE"},
    {"VISCTR", 37.74882, -119.58532, 1210.0f, 157, "VISITOR CENTER"},
    {"AHWAHN", 37.74634, -119.57427, 1215.0f, 173, "AHWAHNEE HOTEL"},
    {"CURRY", 37.73865, -119.57166, 1207.0f, 173, "CURRY VILLAGE"},
    {"LODGE", 37.74259, -119.59901, 1208.0f, 173, "YOSEMITE VALLEY LODGE"},
    {"CAMP4", 37.74215, -119.60217, 1219.0f, 151, "CAMP 4"},
    {"UPPNES", 37.73543, -119.56317, 1225.0f, 151, "UPPER PINES CAMPGROUND"},
    {"LOWPNS", 37.73926, -119.56595, 1218.0f, 151, "LOWER PINES CAMPGROUND"},
    {"NORPNS", 37.74092, -119.56257, 1220.0f, 151, "NORTH PINES CAMPGROUND"},
    {"HPYISL", 37.73196, -119.55760, 1240.0f, 18, "HAPPY ISLES"},
    {"MIRLK", 37.74927, -119.55245, 1250.0f, 18, "MIRROR LAKE"},
    {"TUNVEW", 37.71570, -119.67690, 1317.0f, 18, "TUNNEL VIEW"},
    {"VALVEW", 37.71746, -119.66308, 1196.0f, 18, "VALLEY VIEW"},
    {"SWGBRG", 37.74237, -119.58767, 1207.0f, 18, "SWINGING BRIDGE"},
    {"COOKMD", 37.74470, -119.58290, 1208.0f, 18, "COOKS MEADOW"},
    {"CHAPEL", 37.74150, -119.58036, 1209.0f, 18, "YOSEMITE CHAPEL"},
    {"SENBRG", 37.74383, -119.58345, 1207.0f, 18, "SENTINEL BRIDGE"},
    {"ELCMDW", 37.72456, -119.63389, 1199.0f, 18, "EL CAPITAN MEADOW"},
    {"FOURMT", 37.73810, -119.60080, 1220.0f, 175, "FOUR MILE TRAILHEAD"},
    {"MISTTH", 37.73234, -119.55697, 1238.0f, 175, "MIST TRAIL TRAILHEAD"},
    {"CLRLK", 37.74803, -119.50900, 2470.0f, 18, "CLOUDS REST VIEW"},
    {"WASHCL", 37.74816, -119.54894, 1900.0f, 8246, "WASHINGTON COLUMN"},
};

WaypointRecord waypointFrom(const DemoPoint& p) {
    WaypointRecord w;
    w.ident = QString::fromLatin1(p.ident);
    w.latitude = p.lat;
    w.longitude = p.lon;
    w.altitude = p.altitude;
    w.symbol = p.symbol;
    w.comment = QString::fromLatin1(p.comment);
    w.color = 255;
    return w;
}

const DemoPoint* findPoint(const char* ident) {
    for (const auto& p : kDemoPoints)
        if (qstrcmp(p.ident, ident) == 0)
            return &p;
    return nullptr;
}

SimRoute demoRoute(std::int16_t number, const QString& name,
                   std::initializer_list<const char*> ids) {
    SimRoute r;
    r.header.route_number = number;
    r.header.route_ident = name;
    r.header.route_comment = name;
    for (const char* id : ids)
        if (const DemoPoint* p = findPoint(id))
            r.points.append(waypointFrom(*p));
    return r;
}

// Receiver time of a fixed morning, so the demo data is the same every run.
constexpr std::uint32_t kDemoStart = 1120474800u - gps::kGarminEpochOffset; // 2005-07-04 11:00 UTC

} // namespace

void SimData::storeWaypoint(const WaypointRecord& waypoint) {
    for (WaypointRecord& w : waypoints) {
        if (w.ident == waypoint.ident) {
            w = waypoint;
            return;
        }
    }
    waypoints.append(waypoint);
}

int SimData::trackPointCount() const {
    int n = 0;
    for (const SimTrack& t : tracks)
        n += static_cast<int>(t.points.size());
    return n;
}

SimData SimData::demo() {
    SimData d;
    for (const auto& p : kDemoPoints)
        d.waypoints.append(waypointFrom(p));
    d.routes.append(demoRoute(1, QStringLiteral("VALLEY LOOP"),
                              {"LODGE", "SWGBRG", "CHAPEL", "CURRY", "AHWAHN", "VILLAG"}));
    d.routes.append(
        demoRoute(2, QStringLiteral("MIST TRAIL"), {"HPYISL", "MISTTH", "VERNAL", "NEVADA"}));

    // A walk from the lodge up the valley, a break, then the Mist Trail.
    SimTrack track;
    track.header.ident = QStringLiteral("ACTIVE LOG");
    track.header.display = true;
    track.header.color = 255;
    auto addSegment = [&](const char* from, const char* to, int count, std::uint32_t start) {
        const DemoPoint* a = findPoint(from);
        const DemoPoint* b = findPoint(to);
        for (int i = 0; i < count; ++i) {
            const double f = static_cast<double>(i) / (count - 1);
            TrackRecord t;
            t.latitude = a->lat + (b->lat - a->lat) * f + 0.0002 * std::sin(i * 0.7);
            t.longitude = a->lon + (b->lon - a->lon) * f + 0.0002 * std::cos(i * 0.5);
            t.altitude = static_cast<float>(a->altitude + (b->altitude - a->altitude) * f);
            t.time = QString::number(start + static_cast<std::uint32_t>(i) * 30u);
            t.new_segment = i == 0;
            track.points.append(t);
        }
    };
    addSegment("LODGE", "CURRY", 60, kDemoStart);
    addSegment("HPYISL", "NEVADA", 60, kDemoStart + 3 * 3600);
    d.tracks.append(track);
    return d;
}

SimData SimData::longTrack(int points) {
    SimData d;
    SimTrack track;
    track.header.ident = QStringLiteral("LONG LOG");
    for (int i = 0; i < points; ++i) {
        TrackRecord t;
        t.latitude = 37.7 + 0.00001 * i;
        t.longitude = -119.6 + 0.00001 * std::sin(i * 0.01);
        t.altitude = 1200.0f + static_cast<float>(i % 100);
        t.time = QString::number(kDemoStart + static_cast<std::uint32_t>(i));
        t.new_segment = i == 0;
        track.points.append(t);
    }
    d.tracks.append(track);
    return d;
}

} // namespace trekora::sim
