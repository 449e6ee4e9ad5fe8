#pragma once

#include "shapes/IShape.h"

#include <memory>

namespace trekora {

class CPolyLine;
class CPolygon;

// A point: X is the east-west coordinate (easting or longitude), Y the
// north-south one. As a shape its four sides are its own coordinates.
class CPoint final : public IShape {
public:
    CPoint() = default;
    CPoint(double x, double y) : m_x(x), m_y(y) {}

    double X() const { return m_x; }
    void SetX(double x) { m_x = x; }
    double Y() const { return m_y; }
    void SetY(double y) { m_y = y; }
    // Used by the shapefile reader for null records.
    void SetNull(bool isNull) { m_null = isNull; }
    // The height of points read from files with Z values; none otherwise.
    bool HasZ() const { return m_hasZ; }
    double Z() const { return m_z; }
    void SetZ(double z) {
        m_z = z;
        m_hasZ = true;
    }

    double Top() const override { return m_y; }
    double Bottom() const override { return m_y; }
    double Left() const override { return m_x; }
    double Right() const override { return m_x; }
    bool IsNull() const override { return m_null; }
    void MakeNull(bool isNull) override { m_null = isNull; }

    // Euclidean distance to another point; to a polyline or polygon the
    // distance to its nearest vertex refined by the perpendicular distance to
    // the segments beside that vertex (a point inside a polygon gets its
    // distance to the boundary); 0 for a multipoint or a rectangle. A null
    // shape on either side raises ShapeError 0x80040212. Degenerate segments
    // (equal consecutive vertices, parts of one point) are passed over; a
    // polyline or polygon without any vertex raises the subscript error 9.
    double Distance(const IShape& other) const override;

private:
    double DistanceToPoint(const CPoint& q) const;
    double DistanceToPolyLine(const CPolyLine& line) const;
    double DistanceToPolygon(const CPolygon& polygon) const;

    double m_x = 0.0;
    double m_y = 0.0;
    double m_z = 0.0;
    bool m_null = false;
    bool m_hasZ = false;
};

using CPointPtr = std::shared_ptr<CPoint>;

} // namespace trekora
