// On X11 the docked board bypasses the window manager (an override-redirect
// window): no window manager moves it back on screen, clamps it, frames it or
// lists it in a taskbar, and a raise puts it straight on top of the stack. Qt
// changes the attribute on the existing window, which takes effect when the
// window is mapped again, so the switch hides and shows it once. Such a window
// gets no keyboard focus from the window manager; activateWindow() gives it
// directly.
#include "window/DockStacking.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

bool bypassesWindowManager(const QWidget* window)
{
    return window->windowHandle() && (window->windowHandle()->flags() & Qt::BypassWindowManagerHint);
}

// The windows a docked board opens (menus, the editor, the settings window, message
// boxes) would open under it, as the window manager stacks only the windows it
// manages. While the board is docked they bypass the window manager too, are
// mapped above it, and take the keyboard focus themselves.
class DockedBoardDialogs final : public QObject {
public:
    static inline const QString Name = QStringLiteral("jotlarkDockedBoardDialogs");

    explicit DockedBoardDialogs(QWidget* board) : QObject(board), m_board(board) {
        setObjectName(Name);
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The show event comes before the window is mapped.
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto* window = static_cast<QWidget*>(watched);
        if (window == m_board || !window->isWindow() || !openedBy(window) || !bypassesWindowManager(m_board))
            return false;
        window->winId();
        QWindow* handle = window->windowHandle();
        if (handle && !(handle->flags() & Qt::BypassWindowManagerHint)) {
            handle->setFlags(handle->flags() | Qt::BypassWindowManagerHint);
            QPointer<QWidget> guarded(window);
            QTimer::singleShot(0, window, [guarded] {
                if (guarded && guarded->isVisible())
                    guarded->activateWindow();
            });
        }
        return false;
    }

private:
    bool openedBy(const QWidget* window) const {
        for (const QWidget* w = window->parentWidget(); w; w = w->parentWidget())
            if (w == m_board)
                return true;
        return false;
    }

    QWidget* m_board;
};

// Only this one: a change of the stay-on-top hint makes Qt replace the X window.
constexpr Qt::WindowFlags DockedFlags = Qt::BypassWindowManagerHint;
}

void setDockedStacking(QWidget* window, bool docked)
{
    // Through the QWindow: QWidget::setWindowFlags() would make a new native window,
    // and the window's hook is bound to the handle of this one.
    window->winId();
    QWindow* handle = window->windowHandle();
    const Qt::WindowFlags flags = handle->flags();
    const Qt::WindowFlags wanted = docked ? flags | DockedFlags : flags & ~DockedFlags;
    if (wanted == flags)
        return;
    if (docked && !window->findChild<QObject*>(DockedBoardDialogs::Name, Qt::FindDirectChildrenOnly))
        new DockedBoardDialogs(window);
    const bool visible = window->isVisible();
    const QPoint position = window->pos();
    if (visible)
        window->hide();
    handle->setFlags(wanted);
    window->move(position);
    if (visible) {
        window->show();
        window->raise();
    }
}

void raiseDocked(QWidget* window)
{
    window->raise();
}
