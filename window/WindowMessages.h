#pragma once
// The window messages the main window's hook and docking code deal in, with the
// values Windows gives them. <windows.h> defines the same names as macros, so a
// file that includes it takes the values from there and does not include this one.
#include <QtGlobal>

constexpr quint32 WM_DESTROY = 0x0002;
constexpr quint32 WM_NCACTIVATE = 0x0086;
constexpr quint32 WM_NCLBUTTONDOWN = 0x00A1;
constexpr quint32 WM_MOVING = 0x0216;
constexpr quint32 WM_EXITSIZEMOVE = 0x0232;
// Turns the guarded hook's event back on (see MessageGuard).
constexpr quint32 WM_HOOK_RESUME = 0x105A;

// Hit-test value of WM_NCLBUTTONDOWN: the press was on the caption bar.
constexpr qintptr HTCAPTION = 2;

// A window rectangle in screen pixels, laid out as the system's RECT: right and
// bottom lie just outside the window. The lParam of WM_MOVING points to one.
struct PixelRect {
    qint32 left = 0;
    qint32 top = 0;
    qint32 right = 0;
    qint32 bottom = 0;

    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};
static_assert(sizeof(PixelRect) == 16, "PixelRect must match the system's RECT");

// lParam of a message that carries a rectangle, and back.
inline qintptr rectParam(PixelRect* rect) {
    return reinterpret_cast<qintptr>(rect);
}
inline PixelRect* rectFromParam(qintptr lParam) {
    return reinterpret_cast<PixelRect*>(lParam);
}
