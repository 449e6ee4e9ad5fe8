#pragma once

#include "proj/ProjectionStatus.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

struct pj_ctx;
struct PJconsts;

namespace trekora {

// Result of Project_Points: parallel lists of numeric text, one entry per
// point; a point PROJ cannot convert has empty texts. When the definition
// cannot be used both lists hold the single entry "0" and `status` says why.
struct ProjectedPoints {
    QStringList x;
    QStringList y;
    ProjectionStatus status;
};

// What PROJ makes of a coordinate system's WKT (a .prj file's text).
struct IdentifiedCrs {
    bool readable = false; // PROJ could read it as a coordinate system
    QString authority;     // "EPSG" or "ESRI" when identified, else empty
    QString code;
    QString name;
    QString definition; // its own PROJ parameters, for a system not identified
};

// The program's link to the PROJ library: one context, and one
// transformation per (definition, direction) kept for the whole run, so a
// single position costs a lookup and the arithmetic.
//
// Forward takes WGS 84 longitude/latitude in degrees to the definition's x/y;
// inverse takes x/y back. Transformations are built exactly as cs2cs builds
// them from "+proj=latlong +datum=WGS84 +to <definition>", so results agree
// with that tool.
class ProjectionBridge {
public:
    static ProjectionBridge& instance();
    ~ProjectionBridge();
    ProjectionBridge(const ProjectionBridge&) = delete;
    ProjectionBridge& operator=(const ProjectionBridge&) = delete;

    // Converts the points in place. A point PROJ cannot convert comes back
    // as HUGE_VAL, HUGE_VAL (test with std::isfinite): never as a position.
    // A point outside the system's area that PROJ still computes is kept.
    // Returns false (points untouched) when the definition cannot be used;
    // `error` then says why.
    bool transform(const QString& definition, bool forward, double* x, double* y, std::size_t count,
                   QString* error = nullptr);

    // The datum-shift clause added to a definition that mentions NAD27:
    // " +nadgrids=" and the grids of the data directory's grid list that are
    // installed, each optional ("@"), always closing with "@ntv1_can.dat".
    // Empty when the definition is not NAD27 or no listed grid is installed
    // (PROJ then shifts the datum with what its own database offers).
    QString gridClause(const QString& definition);

    // The ESRI WKT of a catalogue code ("epsg" or "esri" catalogue), on one
    // line; empty when PROJ has no such system.
    QString esriWkt(const QString& catalogueName, const QString& code);

    // Reads a WKT coordinate system and identifies it as an EPSG code, or
    // else an ESRI one, when PROJ is confident enough (70 of 100 or more; a
    // .prj written by ESRI software names its datum differently from EPSG,
    // which costs the rest).
    IdentifiedCrs identifyCrs(const QString& wkt);

    // Clears the upper halves of the AVX registers. Parts of the system
    // libraries leave them dirty, and until something clears them every
    // SSE instruction (most of PROJ's arithmetic) runs several times slower.
    static void clearVectorState();

    // Forgets the transformations and the grid list, e.g. after the data
    // directory changed.
    void reset();

private:
    ProjectionBridge();
    void ensureContext();
    PJconsts* transformationFor(const QString& fullDefinition, bool forward, QString* error);
    const QStringList& installedNad27Grids();

    pj_ctx* m_context = nullptr;
    QString m_dataDir;
    QHash<QString, PJconsts*> m_forward;
    QHash<QString, PJconsts*> m_inverse;
    QStringList m_nad27Grids;
    bool m_gridsKnown = false;
};

// Converts points between WGS 84 longitude/latitude and a projection.
// Results are numeric text (ten decimals), empty for a point that cannot be
// converted. A definition PROJ rejects gives ((0), (0)) and a status whose
// description is the definition.
ProjectedPoints Project_Points(const std::vector<double>& x, const std::vector<double>& y,
                               const QString& definition, bool forward);

} // namespace trekora
