#pragma once
// The one-shot theme painting timer (CC) of a themed window. Enabled, it ticks
// after 1 ms; a tick that finds a theme number in C1 stops it, so a window paints
// once. Without a theme number it keeps running and looks again, at a pace that
// does not spin the CPU, until C1 holds one.
#include "ui/Themes.h"

#include <QTimer>

class ThemeTimer : public QTimer {
public:
    static constexpr int RetryIntervalMs = 250;

    explicit ThemeTimer(QObject* parent = nullptr);

    // Paint on the next tick (on creation, and again after a settings save).
    void enable();
    // For one tick: the theme of c1, the timer then stopped; or nullptr, the timer
    // left running to look again.
    const Theme* take(const QString& c1);
};
