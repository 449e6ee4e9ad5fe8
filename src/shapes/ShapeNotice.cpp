#include "shapes/ShapeNotice.h"

namespace trekora {

namespace {

ShapeNoticeHandler& installed() {
    static ShapeNoticeHandler handler;
    return handler;
}

} // namespace

void setShapeNoticeHandler(ShapeNoticeHandler handler) {
    installed() = std::move(handler);
}

QString raiseShapeNotice(const ShapeNotice& notice) {
    if (installed())
        return installed()(notice);
    return notice.defaultAnswer;
}

} // namespace trekora
