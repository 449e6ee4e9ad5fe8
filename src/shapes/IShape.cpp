#include "shapes/IShape.h"

#include "shapes/ShapeNotice.h"

namespace trekora {

double notImplementedDistance() {
    raiseShapeNotice({ShapeNotice::Kind::Message,
                      QStringLiteral("NOT IMPLEMENTED"),
                      QStringLiteral("Trekora"),
                      false,
                      {}});
    return 0.0;
}

} // namespace trekora
