#pragma once
// Title dragging of a frameless top-level widget, with the system's move loop on
// Windows and an equivalent loop elsewhere. Either way the window's hook sees
// WM_NCLBUTTONDOWN (HTCAPTION), then WM_MOVING for every move of the pointer with
// the proposed rectangle, which the handler may change, then WM_EXITSIZEMOVE.
#include <QPoint>
#include <QtGlobal>

class QWidget;

// Makes window ready to be hooked and returns the handle to pass to
// iSubClass::SetMsgHook. Where the system has no window procedures, this gives the
// window its default procedure: it runs the move loop on a caption press and
// moves the window as WM_MOVING leaves the rectangle. Call once per window.
qintptr attachWindowProcedure(QWidget* window);

// Starts a title drag of window from a left-button press at pressGlobal (screen
// pixels, the press event's global position) and returns when the button is
// released. Call it from the title strip's mouse-press handler.
void beginTitleDrag(QWidget* window, QPoint pressGlobal);

// Whether window can place itself: false on a Wayland platform (only the compositor
// places windows there), and once a title drag found that the compositor ignores
// the window's own moves (tiling compositors, weston). The title drag then hands
// over to the compositor's interactive move, and the window does not dock.
bool placesItself(const QWidget* window);
