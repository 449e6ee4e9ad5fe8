#include "io/ShapeNotices.h"

#include "core/UserInteraction.h"
#include "shapes/ShapeNotice.h"

namespace trekora {

void installShapeNotices() {
    setShapeNoticeHandler([](const ShapeNotice& notice) -> QString {
        if (notice.kind == ShapeNotice::Kind::Question)
            return userInteraction().inputText(notice.text, notice.title, notice.defaultAnswer);
        userInteraction().message(notice.text, notice.title, Buttons::Ok,
                                  notice.isError ? Icon::Critical : Icon::None);
        return {};
    });
}

} // namespace trekora
