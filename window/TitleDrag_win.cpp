// On Windows the system runs the move loop: a caption press sent to the window
// starts it, and SendMessageW returns when the drag is over.
#include "window/TitleDrag.h"

#include <QWidget>

#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

qintptr attachWindowProcedure(QWidget* window) {
    return static_cast<qintptr>(window->winId());
}

void beginTitleDrag(QWidget* window, QPoint /*pressGlobal: the system reads the pointer itself*/) {
    const HWND hwnd = reinterpret_cast<HWND>(window->winId());
    ReleaseCapture();
    SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}
