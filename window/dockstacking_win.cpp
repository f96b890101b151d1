// On Windows the docked board is a topmost tool window: above ordinary windows and
// without a taskbar button. The system never moves a window it did not move itself,
// so positions need nothing more.
#include "window/DockStacking.h"

#include <QWidget>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

void setDockedStacking(QWidget* window, bool docked) {
    const HWND hwnd = reinterpret_cast<HWND>(window->winId());
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    const LONG_PTR wanted = docked ? style | WS_EX_TOOLWINDOW : style & ~LONG_PTR(WS_EX_TOOLWINDOW);
    if (wanted != style) {
        // The taskbar reads the style when the window is shown.
        const bool visible = IsWindowVisible(hwnd);
        if (visible)
            ShowWindow(hwnd, SW_HIDE);
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, wanted);
        if (visible)
            ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    }
    SetWindowPos(hwnd, docked ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void openWhereAsked(QWidget*) {
    // Windows opens a window where it asks to be.
}

void raiseDocked(QWidget* window) {
    SetWindowPos(reinterpret_cast<HWND>(window->winId()), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::optional<qint32> deviceScreenRight() {
    return std::nullopt;
}

bool moveDockedExactly(QWidget*, QPoint) {
    return false;
}

std::optional<QPoint> reportedPosition(const QWidget*) {
    return std::nullopt;
}

QPoint logicalPosition(const QWidget*, QPoint device) {
    return device;
}

bool pointerStopsOnLeave() {
    return false;
}
