#pragma once

#include <QRect>

namespace dx400 {

// Positions and sizes are laid out in twips at 15 twips per logical pixel (96 dpi);
// Qt's own high-DPI scaling then fits the window to the screen.
inline constexpr int kTwipsPerPixel = 15;

constexpr int px(int twips) {
    return twips / kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

} // namespace dx400
