#pragma once

#include "shapes/CPart.h"
#include "shapes/ShapeList.h"

namespace trekora {

// A polygon: a list of rings, each held as a CPart. Neither closure nor
// orientation is checked; the rings are written as they are held. Written
// to shapefiles of type 5.
class CPolygon final : public ShapeList<CPart> {
public:
    CPolygon()
        : ShapeList({"CPolygon::Add", "CPolygon Add can only accept objects of type CPart",
                     "C_Polygon::Remove", "CPolygon::Item"}) {}
};

using CPolygonPtr = std::shared_ptr<CPolygon>;

} // namespace trekora
