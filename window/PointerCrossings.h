#pragma once
// Hands a window's enter and leave events, and a modal window blocking or
// unblocking it, to its docking controller, so that a docked window need not
// poll the pointer while nothing happens.
#include <QObject>

class DockController;
class QWidget;

class PointerCrossings final : public QObject {
public:
    // Parented to dock; watches window for as long as both live.
    PointerCrossings(QWidget* window, DockController& dock);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DockController& m_dock;
};
