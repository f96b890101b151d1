#pragma once
// Stacking of the docked board. While docked the board stays above ordinary
// windows, takes no taskbar entry and is placed exactly where the docking code
// puts it, even partly off screen (window managers otherwise keep a part of every
// window on screen, or push it back). Undocked it is an ordinary window again.
#include <QPoint>
#include <QtGlobal>

#include <optional>

class QWidget;

// Switches window between the docked and the ordinary stacking. Keeps its position,
// its visibility and its native handle.
void setDockedStacking(QWidget* window, bool docked);

// Brings a docked window above every other window (it is about to slide out).
void raiseDocked(QWidget* window);

// Makes a menu open where it asks to (at the pointer), also under the window
// manager of sway and the other wlroots compositors, which centres every dialog:
// there the menu bypasses the window manager and takes the keyboard focus itself.
// Call before showing it.
void openWhereAsked(QWidget* menu);

// The right edge of the whole screen in device pixels, where the system tells it
// (Qt rounds the logical widths at a fractional scale).
std::optional<qint32> deviceScreenRight();

// Puts a docked window's top-left corner on this device pixel, where the system
// lets a client place its window exactly (X11, the docked board bypassing the
// window manager); returns false elsewhere.
bool moveDockedExactly(QWidget* window, QPoint device);

// Where the system has the window's top-left corner, in device pixels (on X11 the
// X server's record, which the compositor or window manager keeps), or nothing.
std::optional<QPoint> reportedPosition(const QWidget* window);
// The logical position of a device pixel on window's screen.
QPoint logicalPosition(const QWidget* window, QPoint device);

// True under XWayland, where the pointer position X clients see stops at its last
// value once the pointer is over a surface XWayland does not own.
bool pointerStopsOnLeave();
