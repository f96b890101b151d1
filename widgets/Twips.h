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
