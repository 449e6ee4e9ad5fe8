#pragma once

#include "shapes/CPoint.h"
#include "shapes/ShapeList.h"

namespace trekora {

// A set of points kept as one shape. Written to shapefiles of type 8.
class CMultiPoint final : public ShapeList<CPoint> {
public:
    CMultiPoint()
        : ShapeList({"CMultiPoint::Add", "CMultiPoint Add can only accept objects of type CPoints",
                     "CMultiPoint::Remove", "CMultiPoint::Item"}) {}
};

using CMultiPointPtr = std::shared_ptr<CMultiPoint>;

} // namespace trekora
