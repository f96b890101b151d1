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

} // namespace

DockArea DockHost::dockArea() const {
    const double width = screenWidthTwips() / twipsPerPixelX();
    const PixelRect screen{0, 0, roundTwips(width), std::numeric_limits<qint32>::max()};
    return {screen, screen, width, true, true, true};
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
    if (proposed.right > desktop.right) {
        proposed.left = desktop.right - width;
        proposed.right = desktop.right;
    }
}

void DockController::dockAtTouchedEdge() {
    const PixelRect window = m_host.GetWindowRect();
    const DockArea area = m_host.dockArea();
    const bool touchesLeft = area.leftOuter && window.left <= area.monitor.left;
    const bool touchesTop = area.topOuter && window.top <= area.monitor.top;
    const bool touchesRight = area.rightOuter && area.monitorRight <= window.right;
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
    const bool inside = PtInRect(m_host.GetWindowRect(), m_host.GetCursorPos());
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
    watchPointer(checkPointer());
}

void DockController::watchPointer(bool inside) {
    if (!m_crossingEvents || !m_docked)
        return;
    const bool needed = m_tmrMove.isActive() || inside != m_pointerOver || m_host.modalOrPopupOpen();
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
    crossing(true);
}

void DockController::pointerLeft() {
    crossing(false);
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
    const double screenLeft = area.monitor.left * m_host.twipsPerPixelX();
    const double screenTop = area.monitor.top * m_host.twipsPerPixelX();
    const double screenWidth = area.monitorRight * m_host.twipsPerPixelX(); // its right edge
    double position = 0;
    double end = 0;
    bool passed = false;
    switch (m_dockEdge) {
    case EdgeLeft:
        position = roundTwips(hide ? m_host.left() - m_slideStep : m_host.left() + m_slideStep);
        end = screenLeft + (hide ? StripTwips - m_host.width() : -StripTwips);
        passed = hide ? position < end : position > end;
        break;
    case EdgeRight:
        position = roundTwips(hide ? m_host.left() + m_slideStep : m_host.left() - m_slideStep);
        end = hide ? screenWidth - StripTwips : screenWidth - m_host.width() + StripTwips;
        passed = hide ? position > end : position < end;
        break;
    case EdgeTop:
        position = roundTwips(hide ? m_host.top() - m_slideStep : m_host.top() + m_slideStep);
        end = screenTop + (hide ? StripTwips - m_host.height() : -StripTwips);
        passed = hide ? position < end : position > end;
        break;
    }
    if (passed) {
        position = roundTwips(end);
        m_tmrMove.stop();
    }
    if (m_dockEdge == EdgeTop)
        m_host.setTop(position);
    else
        m_host.setLeft(position);
}
