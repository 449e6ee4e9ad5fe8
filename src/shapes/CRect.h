#pragma once

#include "shapes/CPoint.h"
#include "shapes/IShape.h"

namespace trekora {

// A rectangle kept as two corners: TopLeft (Left, Top) and BottomRight
// (Right, Bottom). Nothing normalises it: a setter stores what it is given,
// even when Left then exceeds Right.
class CRect final : public IShape {
public:
    CRect() = default;

    double Top() const override { return m_topLeft.Y(); }
    double Left() const override { return m_topLeft.X(); }
    double Bottom() const override { return m_bottomRight.Y(); }
    double Right() const override { return m_bottomRight.X(); }
    void SetTop(double y) { m_topLeft.SetY(y); }
    void SetBottom(double y) { m_bottomRight.SetY(y); }
    void SetLeft(double x) { m_topLeft.SetX(x); }
    void SetRight(double x) { m_bottomRight.SetX(x); }

    // All four sides := 0.
    void MakeEmpty() { MakeXY(0, 0, 0, 0); }
    // Left := origin.X, Top := origin.Y, Right := corner.X, Bottom := corner.Y.
    void Make(const CPoint& origin, const CPoint& corner) {
        MakeXY(origin.X(), origin.Y(), corner.X(), corner.Y());
    }
    // Left := x1, Top := y1, Right := x2, Bottom := y2.
    void MakeXY(double x1, double y1, double x2, double y2) {
        m_topLeft.SetX(x1);
        m_topLeft.SetY(y1);
        m_bottomRight.SetX(x2);
        m_bottomRight.SetY(y2);
    }
    void SetNull(bool isNull) { m_null = isNull; }

    bool IsNull() const override { return m_null; }
    void MakeNull(bool isNull) override { m_null = isNull; }
    // Not implemented: shows "NOT IMPLEMENTED" and returns 0.
    double Distance(const IShape&) const override { return notImplementedDistance(); }

private:
    CPoint m_topLeft;
    CPoint m_bottomRight;
    bool m_null = false;
};

using CRectPtr = std::shared_ptr<CRect>;

} // namespace trekora
