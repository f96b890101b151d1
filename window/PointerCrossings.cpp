#include "window/PointerCrossings.h"

#include "window/DockController.h"
#include "window/DockStacking.h"

#include <QEvent>
#include <QWidget>

PointerCrossings::PointerCrossings(QWidget* window, DockController& dock) : QObject(&dock), m_dock(dock) {
    window->installEventFilter(this);
    m_dock.useCrossingEvents();
    if (pointerStopsOnLeave())
        m_dock.trustLeaveOverPosition();
}

bool PointerCrossings::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
        m_dock.pointerEntered();
        break;
    case QEvent::Leave:
        m_dock.pointerLeft();
        break;
    case QEvent::Hide:
        m_dock.windowHidden();
        break;
    case QEvent::WindowBlocked:
    case QEvent::WindowUnblocked:
        m_dock.blockingChanged();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
