#include "window/DockController.h"

#include "window/iSubClass.h"

#include <cmath>
#include <limits>

namespace {

qint32 roundTwips(double twips) {
    return static_cast<qint32>(std::lround(twips));
}

bool PtInRect(const PixelRect& rect, QPoint point) {
    return rect.left <= point.x() && point.x() < rect.right && rect.top <= point.y() && point.y() < rect.bottom;
}

qint32 deviceMonitorRight(const DockArea& area) {
    return qint32(std::lround(
        area.deviceMonitorRight.value_or(area.monitor.left + (area.monitorRight - area.monitor.left) * area.scale)));
}

qint32 deviceDesktopRight(const DockArea& area) {
    return area.deviceDesktopRight.value_or(toDevicePixels(area.desktop.right, area.monitor.left, area.scale));
}

} // namespace

qint32 toDevicePixels(qint32 logical, qint32 origin, double scale) {
    return origin + qint32(std::lround((logical - origin) * scale));
}

qint32 toDeviceLength(qint32 logical, double scale) {
    return qint32(std::lround(logical * scale));
}

PixelRect toDeviceRect(const PixelRect& logical, const DockArea& area) {
    const qint32 left = toDevicePixels(logical.left, area.monitor.left, area.scale);
    const qint32 top = toDevicePixels(logical.top, area.monitor.top, area.scale);
    return {left, top, left + toDeviceLength(logical.right - logical.left, area.scale),
            top + toDeviceLength(logical.bottom - logical.top, area.scale)};
}

qint32 toLogicalPixels(qint32 device, qint32 origin, double scale) {
    return origin + qint32(std::lround((device - origin) / scale));
}

void DockHost::setLeftDevice(qint32 px) {
    const DockArea area = dockArea();
    setLeft(toLogicalPixels(px, area.monitor.left, area.scale) * twipsPerPixelX());
}

void DockHost::setTopDevice(qint32 px) {
    const DockArea area = dockArea();
    setTop(toLogicalPixels(px, area.monitor.top, area.scale) * twipsPerPixelX());
}

DockArea DockHost::dockArea() const {
    const double width = screenWidthTwips() / twipsPerPixelX();
    const PixelRect screen{0, 0, roundTwips(width), std::numeric_limits<qint32>::max()};
    DockArea area;
    area.desktop = screen;
    area.monitor = screen;
    area.monitorRight = width;
    return area;
}

DockController::DockController(DockHost& host, iSubClass& hook, QObject* parent)
    : QObject(parent), m_host(host), m_hook(hook) {
    m_tmrCheck.setInterval(CheckIntervalMs);
    m_tmrMove.setInterval(SlideIntervalMs);
    connect(&m_tmrCheck, &QTimer::timeout, this, &DockController::tmrCheckTick);
    connect(&m_tmrMove, &QTimer::timeout, this, &DockController::tmrMoveTick);
}

void DockController::GetWindowMessage(qintptr& Result, qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam) {
    switch (Message) {
    case WM_NCLBUTTONDOWN:
        if (wParam == HTCAPTION) {
            m_dragging = true;
            m_stoppedAt.reset();
            m_docked = false;
            m_tmrCheck.stop();
            m_tmrMove.stop();
        }
        break; // forwarding runs the move loop, which sends the messages below
    case WM_MOVING:
        if (!m_dragging)
            return;
        if (PixelRect* proposed = rectFromParam(lParam))
            keepInsideScreen(*proposed);
        break;
    case WM_EXITSIZEMOVE:
        m_dragging = false;
        dockAtTouchedEdge();
        emit dockedChanged(m_docked);
        break;
    default:
        break;
    }
    Result = m_hook.CallDefaultWindowProc(cHwnd, Message, wParam, lParam);
}

void DockController::keepInsideScreen(PixelRect& proposed) const {
    const PixelRect window = m_host.GetWindowRect();
    const qint32 width = window.right - window.left;
    const PixelRect desktop = m_host.dockArea().desktop;
    if (proposed.left < desktop.left) {
        proposed.left = desktop.left;
        proposed.right = desktop.left + width;
    }
    if (proposed.top < desktop.top) {
        proposed.top = desktop.top;
        proposed.bottom = desktop.top + window.bottom - window.top;
    }
    // At the right the window's device pixels must end on the screen's last one: at a
    // fractional scale the logical right edge, rounded, may lie one device pixel beyond.
    const DockArea area = m_host.dockArea();
    const qint32 widthDevice = toDeviceLength(width, area.scale);
    const qint32 limit = deviceDesktopRight(area);
    const auto fits = [&](qint32 left) {
        return toDevicePixels(left, area.monitor.left, area.scale) + widthDevice <= limit;
    };
    if (!fits(proposed.left)) {
        qint32 left = toLogicalPixels(limit - widthDevice, area.monitor.left, area.scale);
        while (!fits(left))
            --left;
        while (fits(left + 1))
            ++left;
        proposed.left = left;
        proposed.right = left + width;
    }
}

void DockController::dockAtTouchedEdge() {
    // Sliding a window that is not where it seems would lose it off screen.
    if (!m_host.placedAsAsked())
        return;
    const PixelRect window = m_host.GetWindowRect();
    const DockArea area = m_host.dockArea();
    const bool touchesLeft = area.leftOuter && window.left <= area.monitor.left;
    const bool touchesTop = area.topOuter && window.top <= area.monitor.top;
    const double monitorRight =
        area.deviceMonitorRight.value_or(area.monitor.left + (area.monitorRight - area.monitor.left) * area.scale);
    const bool touchesRight = area.rightOuter && monitorRight <= toDeviceRect(window, area).right;
    if (!(touchesTop || touchesLeft || touchesRight))
        return;
    if (area.leftOuter && window.left == area.monitor.left)
        m_dockEdge = EdgeLeft;
    else if (touchesRight)
        m_dockEdge = EdgeRight;
    else if (area.topOuter && window.top == area.monitor.top)
        m_dockEdge = EdgeTop;
    m_docked = true;
    m_tmrCheck.start();
}

bool DockController::checkPointer() {
    // See trustLeaveOverPosition().
    const QPoint position = m_host.GetCursorPos();
    const bool over = PtInRect(m_host.GetWindowRect(), position);
    if (m_stoppedAt && *m_stoppedAt != position) {
        // It moves again: XWayland sees the pointer, over this window or another.
        m_stoppedAt.reset();
        m_pointerOver = over;
    } else if (m_stoppedAt && m_stoppedChecks == 0) {
        m_pointerOver = false; // gone, as after a leave
    }
    const bool inside = over && (!m_stoppedAt || m_stoppedChecks > 0);
    const qint32 mouseIn = inside ? 1 : 0;
    if (m_mouseIn != mouseIn) {
        m_mouseIn = mouseIn;
        m_slideStep = StepTwips;
        m_tmrMove.start();
        if (inside)
            emit slidingOut();
    }
    return inside;
}

void DockController::tmrCheckTick() {
    if (m_stoppedChecks > 0)
        --m_stoppedChecks;
    watchPointer(checkPointer());
}

void DockController::watchPointer(bool inside) {
    if (!m_crossingEvents || !m_docked)
        return;
    const bool needed =
        m_tmrMove.isActive() || inside != m_pointerOver || m_host.modalOrPopupOpen() || m_stoppedChecks > 0;
    if (!needed)
        m_tmrCheck.stop();
    else if (!m_tmrCheck.isActive())
        m_tmrCheck.start();
}

void DockController::crossing(bool over) {
    m_pointerOver = over;
    blockingChanged();
}

void DockController::pointerEntered() {
    if (m_stoppedAt && *m_stoppedAt == m_host.GetCursorPos()) {
        // Mapped again under the stopped position, or back on that very pixel.
        m_stoppedChecks = StaleChecks;
        blockingChanged();
        return;
    }
    m_stoppedAt.reset();
    crossing(true);
}

void DockController::pointerLeft() {
    // A pop-up or modal window of this program opened under the pointer also makes
    // the window report a leave; the pointer check decides then.
    positionStopped(0);
    crossing(false);
}

void DockController::windowHidden() {
    positionStopped(StaleChecks);
    if (m_stoppedAt)
        blockingChanged();
}

void DockController::positionStopped(int checks) {
    if (!m_trustLeave || m_host.modalOrPopupOpen()) {
        m_stoppedAt.reset();
        return;
    }
    m_stoppedAt = m_host.GetCursorPos();
    m_stoppedChecks = checks;
}

void DockController::blockingChanged() {
    if (m_docked && !m_dragging && m_crossingEvents)
        watchPointer(checkPointer());
}

void DockController::tmrMoveTick() {
    if (m_dockEdge != EdgeLeft && m_dockEdge != EdgeRight && m_dockEdge != EdgeTop)
        return;

    m_slideStep += StepTwips;
    if (m_slideStep > FastStepTwips)
        m_slideStep = roundTwips(m_slideStep * 1.2);

    const bool hide = m_mouseIn == 0;
    const DockArea area = m_host.dockArea();
    const qint32 endDevice = slideEndDevice(area, hide);
    const bool vertical = m_dockEdge == EdgeTop;
    const qint32 origin = vertical ? area.monitor.top : area.monitor.left;
    const double end = toLogicalPixels(endDevice, origin, area.scale) * m_host.twipsPerPixelX();
    const double current = vertical ? m_host.top() : m_host.left();
    const bool towardsLower = (m_dockEdge == EdgeRight) != hide; // left or up
    const double position = roundTwips(towardsLower ? current - m_slideStep : current + m_slideStep);
    const bool passed = towardsLower ? position < end : position > end;
    if (passed) {
        m_tmrMove.stop();
        vertical ? m_host.setTopDevice(endDevice) : m_host.setLeftDevice(endDevice);
        return;
    }
    vertical ? m_host.setTop(position) : m_host.setLeft(position);
}

qint32 DockController::slideEndDevice(const DockArea& area, bool hide) const {
    // The strip (and the overlap of the shown window beyond the edge) is 4 logical
    // pixels rounded once to device pixels, the same at every edge.
    const qint32 strip = qint32(std::lround(StripTwips / m_host.twipsPerPixelX() * area.scale));
    const PixelRect window = toDeviceRect(m_host.GetWindowRect(), area);
    const qint32 width = window.right - window.left;
    const qint32 height = window.bottom - window.top;
    switch (m_dockEdge) {
    case EdgeRight:
        return hide ? deviceMonitorRight(area) - strip : deviceMonitorRight(area) - width + strip;
    case EdgeTop:
        return area.monitor.top + (hide ? strip - height : -strip);
    default:
        return area.monitor.left + (hide ? strip - width : -strip);
    }
}
