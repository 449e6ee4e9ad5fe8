#pragma once

#include "shapes/CPoint.h"
#include "shapes/CRect.h"

#include <QList>
#include <cstdint>
#include <memory>

namespace trekora {

// One part of a polyline or one ring of a polygon: an ordered list of points
// (positions 1 .. Count) and the extent of those points, kept up to date as
// points are added or removed. The part holds references to its points, so a
// point changed after adding changes the part's content but not its extent.
class CPart final : public GeometryObject {
public:
    using List = QList<CPointPtr>;

    double Left() const { return m_extent.Left(); }
    void SetLeft(double x) { m_extent.SetLeft(x); }
    double Right() const { return m_extent.Right(); }
    void SetRight(double x) { m_extent.SetRight(x); }
    double Top() const { return m_extent.Top(); }
    void SetTop(double y) { m_extent.SetTop(y); }
    double Bottom() const { return m_extent.Bottom(); }
    void SetBottom(double y) { m_extent.SetBottom(y); }

    std::int32_t Count() const { return static_cast<std::int32_t>(m_points.size()); }
    // The point at 1-based `index`; outside 1 .. Count raises ShapeError 9.
    CPointPtr Item(std::int32_t index) const;
    // The points in order, for walking them.
    const List& NewEnum() const { return m_points; }
    List::const_iterator begin() const { return m_points.cbegin(); }
    List::const_iterator end() const { return m_points.cend(); }

    // Removes the point at 1-based `index` and fits the extent to the points
    // that remain (an emptied part keeps its last extent). Errors carry the
    // source "CPart::Remove".
    void Remove(std::int32_t index);
    // Appends `point`, widening the extent first. Anything but a CPoint raises
    // ShapeError 0x8004020F and leaves the part unchanged.
    void Add(const GeometryObjectPtr& point);

private:
    void widen(const CPoint& point);

    List m_points;
    CRect m_extent;
};

using CPartPtr = std::shared_ptr<CPart>;

} // namespace trekora
