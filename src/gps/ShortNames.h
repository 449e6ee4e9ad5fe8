#pragma once

#include <QString>
#include <QStringList>

// Waypoint names for receivers whose identifiers are short and restricted
// (the older waypoint formats: six characters, capital letters and digits).
// Cutting names at six characters makes CAMPSITE1 and CAMPSITE2 one
// waypoint on the unit; the names made here stay readable and distinct.
namespace trekora::gps {

// The longest identifier a waypoint format holds, or 0 when the format takes
// names of any length the table holds.
int identLength(const QString& waypointType);

// A name for each of `names`, at most `length` characters of A-Z and 0-9,
// unique among the results. Equal names get equal results (a route passing
// a waypoint twice names it twice); names that already fit stay as they are.
QStringList shortNames(const QStringList& names, int length);

} // namespace trekora::gps
