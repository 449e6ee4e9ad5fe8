#include "shapes/IShape.h"

#include "core/UserInteraction.h"

namespace trekora {

double notImplementedDistance() {
    userInteraction().message(QStringLiteral("NOT IMPLEMENTED"), QStringLiteral("Trekora"),
                              Buttons::Ok);
    return 0.0;
}

} // namespace trekora
