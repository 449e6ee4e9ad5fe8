#pragma once

#include <QSize>

namespace trekora {

// Window geometry of the main window, kept in twips where the layout is
// defined and turned into pixels at 15 twips per pixel (Qt scales pixels to
// the screen's DPI).
namespace WindowSizing {

constexpr int kTwipsPerPixel = 15;
constexpr int pixels(int twips) {
    return (twips * 2 + kTwipsPerPixel) / (2 * kTwipsPerPixel);
}

constexpr int kWidth = 7700;          // both states
constexpr int kShownMinHeight = 5500; // table shown: least height
constexpr int kHiddenHeight = 1900;   // table hidden: fixed height
constexpr int kGridHeightMargin = 2400;
constexpr int kGridWidthMargin = 875;
constexpr int kAdvancedButtonRightOffset = 2300;

// The size the window takes when asked for `requested` pixels.
QSize snapped(QSize requested, bool tableShown);
// Grid size for a window size (pixels), never negative.
QSize gridSize(QSize window);

} // namespace WindowSizing

} // namespace trekora
