#include "window/WidgetDockHost.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

constexpr double TwipsPerInch = 1440.0;

QScreen* screen() {
    return QGuiApplication::primaryScreen();
}

} // namespace

WidgetDockHost::WidgetDockHost(QWidget* window) : m_window(window) {}

PixelRect WidgetDockHost::GetWindowRect() const {
    const QRect frame = m_window->frameGeometry();
    return {frame.x(), frame.y(), frame.x() + frame.width(), frame.y() + frame.height()};
}

QPoint WidgetDockHost::GetCursorPos() const {
    return QCursor::pos();
}

double WidgetDockHost::screenWidthTwips() const {
    return screen()->geometry().width() * twipsPerPixelX();
}

namespace {

PixelRect toPixelRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// True when another screen lies against this side of screen (sharing part of it).
bool neighbourLeft(const QRect& screen, const QRect& other) {
    return other.right() + 1 == screen.left() && other.top() <= screen.bottom() && screen.top() <= other.bottom();
}
bool neighbourRight(const QRect& screen, const QRect& other) {
    return neighbourLeft(other, screen);
}
bool neighbourAbove(const QRect& screen, const QRect& other) {
    return other.bottom() + 1 == screen.top() && other.left() <= screen.right() && screen.left() <= other.right();
}

} // namespace

DockArea WidgetDockHost::dockArea() const {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() <= 1)
        return DockHost::dockArea(); // one screen: exactly as the width in twips gives it
    const QRect frame = m_window->frameGeometry();
    QRect desktop;
    QRect monitor = screen()->geometry();
    qint64 bestOverlap = -1;
    for (QScreen* s : screens) {
        const QRect g = s->geometry();
        desktop = desktop.united(g);
        const QRect common = g.intersected(frame);
        const qint64 overlap = common.isEmpty() ? 0 : qint64(common.width()) * common.height();
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            monitor = g;
        }
    }
    DockArea area;
    area.desktop = toPixelRect(desktop);
    area.monitor = toPixelRect(monitor);
    area.monitorRight = area.monitor.right;
    for (QScreen* s : screens) {
        const QRect g = s->geometry();
        area.leftOuter = area.leftOuter && !neighbourLeft(monitor, g);
        area.rightOuter = area.rightOuter && !neighbourRight(monitor, g);
        area.topOuter = area.topOuter && !neighbourAbove(monitor, g);
    }
    return area;
}

double WidgetDockHost::twipsPerPixelX() const {
    return TwipsPerInch / screen()->logicalDotsPerInchX();
}

double WidgetDockHost::twipsPerPixelY() const {
    return TwipsPerInch / screen()->logicalDotsPerInchY();
}

double WidgetDockHost::left() const {
    return m_window->x() * twipsPerPixelX();
}

double WidgetDockHost::top() const {
    return m_window->y() * twipsPerPixelY();
}

double WidgetDockHost::width() const {
    return m_window->frameGeometry().width() * twipsPerPixelX();
}

double WidgetDockHost::height() const {
    return m_window->frameGeometry().height() * twipsPerPixelY();
}

void WidgetDockHost::setLeft(double twips) {
    m_window->move(qRound(twips / twipsPerPixelX()), m_window->y());
}

void WidgetDockHost::setTop(double twips) {
    m_window->move(m_window->x(), qRound(twips / twipsPerPixelY()));
}

bool WidgetDockHost::modalOrPopupOpen() const {
    return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr;
}
