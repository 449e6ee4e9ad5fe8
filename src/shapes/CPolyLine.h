#pragma once

#include "shapes/CPart.h"
#include "shapes/ShapeList.h"

namespace trekora {

// A polyline: a list of parts, each an open line. Written to shapefiles of
// type 3.
class CPolyLine final : public ShapeList<CPart> {
public:
    CPolyLine()
        : ShapeList({"CPolyLine::Add", "CPolyLine Add can only accept objects of type CPart",
                     "CPolyLine::Remove", "CPolyLine::Item"}) {}
};

using CPolyLinePtr = std::shared_ptr<CPolyLine>;

} // namespace trekora
