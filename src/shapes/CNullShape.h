#pragma once

#include "shapes/GeometryObject.h"

namespace trekora {

// A shape class without members, part of the library's surface for
// completeness. No shapefile routine accepts it.
class CNullShape final : public GeometryObject {};

} // namespace trekora
