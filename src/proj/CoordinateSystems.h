#pragma once

#include "proj/ProjectionStatus.h"

#include <QString>
#include <optional>

namespace trekora {

// A coordinate system of the catalogues, found by its code.
struct CoordinateSystem {
    QString authority;  // "EPSG" or "ESRI"
    QString code;       // "26915"
    QString catalogue;  // the catalogue file it is in: "epsg" or "esri"
    QString name;       // as the catalogue names it
    QString definition; // its PROJ parameters

    QString label() const { return authority + u':' + code; }
    bool isWgs84LongLat() const { return authority == QLatin1String("EPSG") && code == "4326"; }
};

// Finds a system by "26915", "EPSG:26915" or "ESRI:102003" (any case) in the
// catalogues of the data directory; a bare number is looked up in the EPSG
// catalogue first, then in the ESRI one. std::nullopt for an unknown code.
std::optional<CoordinateSystem> findCoordinateSystem(const QString& text);

// WGS 84 longitude/latitude as the catalogues define it (EPSG:4326).
CoordinateSystem wgs84LongLat();

// The system a .prj file describes. PROJ identifies it as an EPSG or ESRI
// code of the catalogues when it can (`identified`); otherwise the file's
// own parameters are used (`system.code` empty). A file PROJ cannot read at
// all gives a failing status.
struct PrjSystem {
    CoordinateSystem system;
    bool identified = false;
    ProjectionStatus status;
};
PrjSystem readPrjSystem(const QString& path);

} // namespace trekora
