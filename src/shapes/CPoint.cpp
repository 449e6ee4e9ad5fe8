#include "shapes/CPoint.h"

#include "shapes/CPolyLine.h"
#include "shapes/CPolygon.h"
#include "shapes/ShapeError.h"

#include <cmath>
#include <vector>

namespace trekora {

namespace {

// Running state of the nearest-vertex pass over the parts of a line or polygon.
struct NearestVertices {
    double best = 0.0;
    std::vector<std::int32_t> near; // per part, the 1-based vertex that last lowered best
};

double pointDistance(const CPoint& a, const CPoint& b) {
    if (a.X() == b.X() && a.Y() == b.Y())
        return 0.0;
    return std::sqrt((a.Y() - b.Y()) * (a.Y() - b.Y()) + (a.X() - b.X()) * (a.X() - b.X()));
}

NearestVertices nearestVertices(const CPoint& p, const QList<CPartPtr>& parts) {
    NearestVertices result;
    bool first = true;
    for (const CPartPtr& part : parts) {
        std::int32_t near = 1;
        for (std::int32_t i = 1; i <= part->Count(); ++i) {
            const double d = pointDistance(p, *part->NewEnum()[i - 1]);
            if (first) {
                result.best = d;
                first = false;
            } else if (d < result.best) {
                result.best = d;
                if (i > 1)
                    near = i;
            }
        }
        result.near.push_back(near);
    }
    if (first) // no vertex at all: there is nothing to measure against
        throw ShapeError(shape_errors::kSubscriptOutOfRange,
                         QStringLiteral("CPoint::IShape_Distance"),
                         QStringLiteral("Subscript out of range"));
    return result;
}

// Lowers `best` to the perpendicular distance from p to segment (a, b) when
// the foot of the perpendicular lies strictly inside the segment. A segment
// of zero length has no direction and is passed over.
void examineSegment(const CPoint& p, const CPoint& a, const CPoint& b, double& best) {
    const double dx = b.X() - a.X();
    const double dy = b.Y() - a.Y();
    const double px = p.X() - a.X();
    const double py = p.Y() - a.Y();
    const double len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 0.0))
        return;
    const double t = (px * dx + py * dy) / len;
    if (!(t > 0.0))
        return;
    const double ex = t / len * dx;
    const double ey = t / len * dy;
    if (!(std::sqrt(ex * ex + ey * ey) < len))
        return;
    const double d = std::sqrt((px - ex) * (px - ex) + (py - ey) * (py - ey));
    if (d < best)
        best = d;
}

// Segment between the 1-based vertices i and j of `part`, when both exist.
void examineVertices(const CPoint& p, const CPart& part, std::int32_t i, std::int32_t j,
                     double& best) {
    if (i < 1 || j < 1 || i > part.Count() || j > part.Count())
        return;
    examineSegment(p, *part.NewEnum()[i - 1], *part.NewEnum()[j - 1], best);
}

// The (up to) two segments examined beside the nearest vertex of a part, as
// pairs of 1-based vertex numbers; vertex 0 means none.
struct Sides {
    std::int32_t a1, b1, a2, b2;
};

// The nearest-vertex distance from p to the parts, refined on each part by the
// perpendicular distance to the segments `sides`(c, n) names beside its
// remembered vertex c (n being the part's vertex count).
template <class SidesOf>
double distanceToParts(const CPoint& p, const QList<CPartPtr>& parts, SidesOf sidesOf) {
    NearestVertices nearest = nearestVertices(p, parts);
    for (qsizetype k = 0; k < parts.size(); ++k) {
        const CPart& part = *parts[k];
        const Sides sides = sidesOf(nearest.near[k], part.Count());
        examineVertices(p, part, sides.a1, sides.b1, nearest.best);
        examineVertices(p, part, sides.a2, sides.b2, nearest.best);
    }
    return nearest.best;
}

} // namespace

double CPoint::Distance(const IShape& other) const {
    if (other.IsNull() || m_null)
        throw ShapeError(shape_errors::kNullShapeDistance,
                         QStringLiteral("CPoint::IShape_Distance"),
                         QStringLiteral("Cannot compute distance to a null shape"));
    if (isExactly<CPoint>(other))
        return DistanceToPoint(static_cast<const CPoint&>(other));
    if (isExactly<CPolyLine>(other))
        return DistanceToPolyLine(static_cast<const CPolyLine&>(other));
    if (isExactly<CPolygon>(other))
        return DistanceToPolygon(static_cast<const CPolygon&>(other));
    return 0.0;
}

double CPoint::DistanceToPoint(const CPoint& q) const {
    return pointDistance(*this, q);
}

double CPoint::DistanceToPolyLine(const CPolyLine& line) const {
    return distanceToParts(*this, line.NewEnum(), [](std::int32_t c, std::int32_t n) {
        if (c == 1)
            return Sides{1, 2, 0, 0};
        if (c == n)
            return Sides{n, n - 1, 0, 0};
        return Sides{c, c - 1, c, c + 1};
    });
}

double CPoint::DistanceToPolygon(const CPolygon& polygon) const {
    // The ring is closed: its last vertex repeats the first.
    return distanceToParts(*this, polygon.NewEnum(), [](std::int32_t c, std::int32_t n) {
        if (c == 1)
            return Sides{1, 2, 1, n - 1};
        if (c == n)
            return Sides{n, n - 1, n, 2};
        return Sides{c, c - 1, c, c + 1};
    });
}

} // namespace trekora
