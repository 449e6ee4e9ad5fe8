#pragma once

#include "shapes/GeometryObject.h"

#include <memory>

namespace trekora {

// What every shape offers, whatever its kind: its extent, its null flag (a
// record without geometry) and a distance to another shape. Extents follow
// one convention everywhere: Left = smallest X, Right = largest X,
// Bottom = smallest Y, Top = largest Y.
class IShape : public GeometryObject {
public:
    virtual double Top() const = 0;
    virtual double Bottom() const = 0;
    virtual double Left() const = 0;
    virtual double Right() const = 0;
    virtual bool IsNull() const = 0;
    // True makes the shape null, false clears the flag.
    virtual void MakeNull(bool isNull) = 0;
    // Distance from this shape to `other`; see each class for what it computes.
    virtual double Distance(const IShape& other) const = 0;
};

using IShapePtr = std::shared_ptr<IShape>;

// The "NOT IMPLEMENTED" notice (ShapeNotice.h) of the shapes without a
// distance of their own; returns the 0 they report.
double notImplementedDistance();

} // namespace trekora
