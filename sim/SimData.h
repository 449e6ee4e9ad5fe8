#pragma once

#include "gps/GarminRecords.h"

#include <QList>
#include <QString>

namespace trekora::sim {

struct SimRoute {
    RouteRecord header;
    QList<WaypointRecord> points;
};

struct SimTrack {
    TrackRecord header; // display, color, ident
    QList<TrackRecord> points;
};

// What the simulated unit holds in its memory.
struct SimData {
    QList<WaypointRecord> waypoints;
    QList<SimRoute> routes;
    QList<SimTrack> tracks;

    // Stores a waypoint as a unit does: a waypoint of the same name is replaced.
    void storeWaypoint(const WaypointRecord& waypoint);
    int trackPointCount() const;

    // A few dozen waypoints, two routes and a two-segment track in Yosemite
    // Valley, California.
    static SimData demo();
    // A single track of `points` points (benchmarks, large transfers).
    static SimData longTrack(int points);
};

} // namespace trekora::sim
