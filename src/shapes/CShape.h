#pragma once

#include "shapes/CRect.h"

namespace trekora {

// A bare extent holder, part of the library's surface for completeness.
class CShape final : public GeometryObject {
public:
    double Top() const { return m_extent.Top(); }
    double Bottom() const { return m_extent.Bottom(); }
    double Left() const { return m_extent.Left(); }
    double Right() const { return m_extent.Right(); }

private:
    CRect m_extent;
};

} // namespace trekora
