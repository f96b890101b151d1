#include "window/WidgetDockHost.h"

#include "window/DockStacking.h"
#include "window/TitleDrag.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cstdlib>

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
    DockArea area = logicalArea();
    area.scale = screen()->devicePixelRatio();
    if (area.scale == 1)
        return area;
    // A monitor's top-left corner is the same in device pixels; its right edge is
    // the next monitor's left, or the whole screen's right for the rightmost one.
    const std::optional<qint32> screenRight = deviceScreenRight();
    if (screenRight)
        area.deviceDesktopRight = *screenRight;
    if (area.monitor.right >= area.desktop.right && screenRight) {
        area.deviceMonitorRight = *screenRight;
    } else {
        for (QScreen* s : QGuiApplication::screens()) {
            const QRect g = s->geometry();
            if (g.left() > area.monitor.left && std::abs(g.left() - area.monitor.right) <= 1)
                area.deviceMonitorRight = g.left();
        }
    }
    return area;
}

DockArea WidgetDockHost::logicalArea() const {
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

void WidgetDockHost::setLeftDevice(qint32 px) {
    const DockArea area = dockArea();
    moveDevice({px, toDevicePixels(m_window->y(), area.monitor.top, area.scale)});
}

void WidgetDockHost::setTopDevice(qint32 px) {
    const DockArea area = dockArea();
    moveDevice({toDevicePixels(m_window->x(), area.monitor.left, area.scale), px});
}

void WidgetDockHost::moveDevice(QPoint device) {
    const DockArea area = dockArea();
    const QPoint logical(toLogicalPixels(device.x(), area.monitor.left, area.scale),
                         toLogicalPixels(device.y(), area.monitor.top, area.scale));
    const bool reachable = toDevicePixels(logical.x(), area.monitor.left, area.scale) == device.x() &&
                           toDevicePixels(logical.y(), area.monitor.top, area.scale) == device.y();
    if (reachable || !moveDockedExactly(m_window, device))
        m_window->move(logical);
}

bool WidgetDockHost::modalOrPopupOpen() const {
    return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr;
}

bool WidgetDockHost::placedAsAsked() const {
    if (!placesItself(m_window))
        return false;
    const std::optional<QPoint> real = reportedPosition(m_window);
    return !real || logicalPosition(m_window, *real) == m_window->geometry().topLeft();
}
