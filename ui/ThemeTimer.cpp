#include "ui/ThemeTimer.h"

ThemeTimer::ThemeTimer(QObject* parent) : QTimer(parent) {
    setInterval(1);
}

void ThemeTimer::enable() {
    setInterval(1);
    start();
}

const Theme* ThemeTimer::take(const QString& c1) {
    const Theme* theme = themeFor(c1);
    if (!theme) {
        setInterval(RetryIntervalMs);
        return nullptr;
    }
    stop();
    setInterval(1);
    return theme;
}
