// The move loop for systems without one of their own. Like the Windows loop it
// runs synchronously inside the caption press: a nested event loop follows the
// pointer while the left button is held and sends the window's messages through
// its current window procedure, so a hook cannot tell it from the system's.
#include "window/TitleDrag.h"

#include "window/DockStacking.h"
#include "window/PosixWindowProcedures.h"
#include "window/WindowMessages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <QWindow>

namespace {

const char* const MovesIgnored = "jotlarkMovesIgnored";

// A drag whose window has not moved on screen this long after it was first asked
// to goes to the compositor.
constexpr qint64 FollowGraceMs = 500;
// How long the end of a drag waits for the window's last move to take effect.
constexpr qint64 SettleMs = 200;

// Lets the compositor move the window while the button is held.
void systemMove(QWidget* window) {
    if (QWindow* handle = window->windowHandle())
        handle->startSystemMove();
}

// WM_NCLBUTTONDOWN carries the press point as two signed 16-bit halves.
qintptr packPoint(QPoint point) {
    const auto x = static_cast<quint16>(static_cast<qint16>(point.x()));
    const auto y = static_cast<quint16>(static_cast<qint16>(point.y()));
    return static_cast<qintptr>((static_cast<quint32>(y) << 16) | x);
}

QPoint unpackPoint(qintptr lParam) {
    const auto bits = static_cast<quint32>(lParam);
    return {static_cast<qint16>(bits & 0xFFFF), static_cast<qint16>(bits >> 16)};
}

class MoveLoop final : public QObject {
public:
    MoveLoop(QWidget* window, qintptr handle, QPoint pressGlobal)
        : m_window(window), m_handle(handle), m_pressGlobal(pressGlobal), m_lastGlobal(pressGlobal) {
        const QRect frame = window->frameGeometry();
        m_start = {frame.x(), frame.y(), frame.x() + frame.width(), frame.y() + frame.height()};
    }

    // Runs until the left button is released, then sends WM_EXITSIZEMOVE.
    void run() {
        m_startReported = reportedPosition(m_window);
        qApp->installEventFilter(this);
        connect(m_window, &QObject::destroyed, &m_loop, &QEventLoop::quit);
        m_loop.exec();
        qApp->removeEventFilter(this);
        if (m_window && m_handOver) {
            // The window stays where the compositor has it, and Qt knows that place.
            const QPoint real = logicalPosition(m_window, *m_startReported);
            m_window->move(real);
            systemMove(m_window);
        }
        if (!m_window)
            return;
        awaitLastMove();
        dispatch(m_handle, WM_EXITSIZEMOVE, 0, 0);
    }

protected:
    // Watches without taking the events, so that Qt's own record of the pressed
    // button and the grabbing widget ends as usual with the release.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->buttons() & Qt::LeftButton)
                follow(mouse->globalPosition().toPoint());
            else
                m_loop.quit(); // the release went to another application
        } else if (event->type() == QEvent::MouseButtonRelease) {
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
                m_loop.quit();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void follow(QPoint global) {
        if (global == m_lastGlobal || !m_window)
            return;
        m_lastGlobal = global;
        if (!m_followed && m_startReported) {
            // Some compositors ignore a client moving itself: then the window never
            // leaves its place on screen, and the compositor's own move takes over.
            if (reportedPosition(m_window) != m_startReported) {
                m_followed = true;
            } else if (m_askedAt.isValid() && m_askedAt.elapsed() > FollowGraceMs) {
                m_window->setProperty(MovesIgnored, true);
                m_handOver = true;
                m_loop.quit();
                return;
            }
        }
        const QPoint shift = global - m_pressGlobal;
        PixelRect proposed{m_start.left + shift.x(), m_start.top + shift.y(), m_start.right + shift.x(),
                           m_start.bottom + shift.y()};
        dispatch(m_handle, WM_MOVING, 0, rectParam(&proposed));
        if (!m_window)
            return;
        m_window->move(proposed.left, proposed.top);
        if (!m_askedAt.isValid() && (proposed.left != m_start.left || proposed.top != m_start.top))
            m_askedAt.start();
    }

    // The window manager or compositor places the window a moment after it is asked
    // to: the docking test at the end of the drag reads where it really is.
    void awaitLastMove() {
        if (!m_followed)
            return;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < SettleMs) {
            const std::optional<QPoint> real = reportedPosition(m_window);
            if (!real || logicalPosition(m_window, *real) == m_window->geometry().topLeft())
                return;
            QThread::msleep(5);
        }
    }

    QPointer<QWidget> m_window;
    const qintptr m_handle;
    const QPoint m_pressGlobal;
    QPoint m_lastGlobal;
    PixelRect m_start;
    QEventLoop m_loop;
    std::optional<QPoint> m_startReported; // device pixels, as the system has it
    QElapsedTimer m_askedAt;               // since the first move asked for
    bool m_followed = false;
    bool m_handOver = false;
};

} // namespace

qintptr attachWindowProcedure(QWidget* window) {
    // winId() marks the window native, and Qt would then make its siblings native too
    // (for a dialog: every control of the main window, which loses its see-through
    // backgrounds). No window of this program needs native siblings.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    const auto handle = static_cast<qintptr>(window->winId());
    QPointer<QWidget> guarded(window);
    posixWindowProcedures().setDefaultProcedure(
        handle, [guarded](qintptr hwnd, quint32 message, qintptr wParam, qintptr lParam) -> qintptr {
            switch (message) {
            case WM_NCLBUTTONDOWN:
                if (wParam != HTCAPTION || !guarded)
                    return 0;
                if (placesItself(guarded)) {
                    MoveLoop(guarded, hwnd, unpackPoint(lParam)).run();
                } else {
                    systemMove(guarded);
                    dispatch(hwnd, WM_EXITSIZEMOVE, 0, 0);
                }
                return 0;
            case WM_MOVING:
                return 1; // the rectangle is taken as it is left; the loop moves the window
            default:
                return 0;
            }
        });
    QObject::connect(window, &QObject::destroyed, [handle] { posixWindowProcedures().forget(handle); });
    return handle;
}

void beginTitleDrag(QWidget* window, QPoint pressGlobal) {
    dispatch(static_cast<qintptr>(window->winId()), WM_NCLBUTTONDOWN, HTCAPTION, packPoint(pressGlobal));
}

bool placesItself(const QWidget* window) {
    return QGuiApplication::platformName() != QLatin1String("wayland") && !window->property(MovesIgnored).toBool();
}
