#pragma once
// Stacking of the docked board. While docked the board stays above ordinary
// windows, takes no taskbar entry and is placed exactly where the docking code
// puts it, even partly off screen (window managers otherwise keep a part of every
// window on screen, or push it back). Undocked it is an ordinary window again.
class QWidget;

// Switches window between the docked and the ordinary stacking. Keeps its position,
// its visibility and its native handle.
void setDockedStacking(QWidget* window, bool docked);

// Brings a docked window above every other window (it is about to slide out).
void raiseDocked(QWidget* window);
