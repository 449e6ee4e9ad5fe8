#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

struct pj_ctx;
struct PJconsts;

namespace trekora {

// Result of Project_Points: parallel lists of numeric text, one entry per
// point. On failure both lists hold the single entry "0".
struct ProjectedPoints {
    QStringList x;
    QStringList y;
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

    // Converts the points in place. Points PROJ cannot convert become 0, 0.
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
// Results are numeric text (ten decimals). A definition PROJ rejects shows
// "Error projecting points to " + definition (title "Projection Error") and
// gives ((0), (0)).
ProjectedPoints Project_Points(const std::vector<double>& x, const std::vector<double>& y,
                               const QString& definition, bool forward);

} // namespace trekora
