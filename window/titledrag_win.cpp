// On Windows the system runs the move loop: a caption press sent to the window
// starts it, and SendMessageW returns when the drag is over.
#include "window/TitleDrag.h"

#include <QCoreApplication>
#include <QWidget>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

qintptr attachWindowProcedure(QWidget* window) {
    // winId() marks the window native, and Qt would then make its siblings native too
    // (for a dialog: every control of the main window, which loses its see-through
    // backgrounds). No window of this program needs native siblings.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    return static_cast<qintptr>(window->winId());
}

void beginTitleDrag(QWidget* window, QPoint /*pressGlobal: the system reads the pointer itself*/) {
    const HWND hwnd = reinterpret_cast<HWND>(window->winId());
    ReleaseCapture();
    SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

bool placesItself(const QWidget*) {
    return true;
}
