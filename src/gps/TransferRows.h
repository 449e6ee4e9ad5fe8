#pragma once

#include "gps/GarminRecords.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

// The table rows a download makes of the receiver's records, value by value
// in the column order of the record type's field list. Values stay separate
// so that a ";" inside a comment or a name cannot shift the columns.
namespace trekora::gps {

// The two symbol numberings. Receivers of the D103 waypoint type use a short
// numbering of their own; the table always holds the current one.
// The main window connects both to the maps of the symbol catalogue; unset,
// the codes pass through unchanged.
struct SymbolTranslation {
    // Download: table code of a code a D103 receiver sent.
    std::function<std::int16_t(std::int16_t)> fromD103;
    // Upload: D103 code of a symbol cell's text (0 when the map lacks it).
    std::function<std::int16_t(const QString&)> toD103;

    std::int16_t tableCode(std::int16_t d103Code) const;
    std::int16_t d103Code(const QString& cellText) const;
};

// True when a receiver's waypoint type uses the D103 numbering.
bool usesD103Numbering(const QString& waypointType);

struct RowContext {
    bool meters = true;       // the Units menu's Meters entry is ticked
    bool d103Symbols = false; // the receiver's waypoint type is D103
    const SymbolTranslation* symbols = nullptr;
    QString model; // see modelText()
};

// The part of product description 1 up to and including the blank before
// " Software"; empty when " Software" does not occur.
QString modelText(const QString& description1);

// A waypoint: 29 values, "WAYPOINT" first, the model last.
QStringList waypointValues(const WaypointRecord& w, const RowContext& context);
// A track point: 13 values; `trackName` is the ident of the last header.
QStringList trackPointValues(const TrackRecord& t, const QString& trackName,
                             const RowContext& context);
// The route header values: number, ident and comment (comment first for the
// D201 header type), link class, subclass and ident.
QStringList routeHeaderValues(const RouteRecord& r, const QString& routeHeaderType);
// A route point: 36 values built from the waypoint's values.
QStringList routePointValues(const QStringList& waypoint, bool newRoute,
                             const QStringList& routeHeader);

// Length texts.
QString wholeLength(float metres, bool meters); // dist, altitude of waypoints
QString depthLength(float metres, bool meters); // depth of waypoints
QString trackLength(float metres, bool meters); // altitude, depth of track points
QString coordinateText(double degrees);         // "##.00000000"
QString booleanText(bool value);                // "True" / "False"

} // namespace trekora::gps
