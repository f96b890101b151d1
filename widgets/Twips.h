#pragma once
// Window and control measures are kept in twips: 15 twips are one pixel at 96 dpi.
#include <QRect>
#include <cmath>

constexpr int kTwipsPerPixel = 15;

constexpr int px(double twips) {
    return int(twips / kTwipsPerPixel + (twips >= 0 ? 0.5 : -0.5));
}
inline QRect pxRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}
inline int twips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// Where the reminder editor and the settings window open, in twips, for the main
// window's top-left corner: 450 twips to the left and at 5/4 of its Top.
inline QPoint editorPlacement(const QPoint& mainWindowTwips) {
    return {mainWindowTwips.x() - 450, static_cast<int>(std::lround(mainWindowTwips.y() * 1.25))};
}
