#pragma once
// Whether a window placed at a stored position can be reached: its title strip,
// the only place it can be dragged by, must show on some screen.
#include <QList>
#include <QRect>

// True when titleStrip (screen pixels) overlaps one of the screens by at least
// grabPixels both across and down, so the pointer can take hold of it there.
bool isGrabbable(const QRect& titleStrip, const QList<QRect>& screens, int grabPixels);
