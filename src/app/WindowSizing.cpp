#include "app/WindowSizing.h"

#include <algorithm>

namespace trekora::WindowSizing {

QSize snapped(QSize requested, bool tableShown) {
    if (!tableShown)
        return {pixels(kWidth), pixels(kHiddenHeight)};
    return {std::max(requested.width(), pixels(kWidth)),
            std::max(requested.height(), pixels(kShownMinHeight))};
}

QSize gridSize(QSize window) {
    return {std::max(0, window.width() - pixels(kGridWidthMargin)),
            std::max(0, window.height() - pixels(kGridHeightMargin))};
}

} // namespace trekora::WindowSizing
