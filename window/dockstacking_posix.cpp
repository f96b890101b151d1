// On X11 the docked board bypasses the window manager (an override-redirect
// window): no window manager moves it back on screen, clamps it, frames it or
// lists it in a taskbar, and a raise puts it straight on top of the stack. Qt
// changes the attribute on the existing window, which takes effect when the
// window is mapped again, so the switch hides and shows it once. Such a window
// gets no keyboard focus from the window manager; activateWindow() gives it
// directly.
#include "window/DockStacking.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

bool bypassesWindowManager(const QWidget* window) {
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

// While the board is docked, any other top-level window mapped or restacked on the
// screen (the root's substructure events) raises the board again: it stays above
// ordinary windows, and its strip can always be touched.
class DockedBoardOnTop final : public QObject, public QAbstractNativeEventFilter {
public:
    static inline const QString Name = QStringLiteral("jotlarkDockedBoardOnTop");

    DockedBoardOnTop(QWidget* board, xcb_connection_t* connection)
        : QObject(board), m_board(board), m_connection(connection) {
        setObjectName(Name);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const auto cookie = xcb_get_window_attributes(connection, root);
        if (xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(connection, cookie, nullptr)) {
            const uint32_t mask = reply->your_event_mask | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
            xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
            xcb_flush(connection);
            free(reply);
        }
        qApp->installNativeEventFilter(this);
    }
    ~DockedBoardOnTop() override { qApp->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t" || !m_board || !bypassesWindowManager(m_board) || !m_board->isVisible())
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        xcb_window_t window = XCB_NONE;
        switch (event->response_type & 0x7f) {
        case XCB_MAP_NOTIFY:
            window = reinterpret_cast<const xcb_map_notify_event_t*>(event)->window;
            break;
        case XCB_CONFIGURE_NOTIFY:
            window = reinterpret_cast<const xcb_configure_notify_event_t*>(event)->window;
            break;
        default:
            return false;
        }
        if (window != xcb_window_t(m_board->winId()) && !isOwnWindow(window))
            m_board->raise();
        return false;
    }

private:
    // The board's own windows (menus, boxes) may stay above it.
    static bool isOwnWindow(xcb_window_t window) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->internalWinId() == WId(window))
                return true;
        return false;
    }

    QPointer<QWidget> m_board;
    xcb_connection_t* m_connection;
};

xcb_connection_t* x11Connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Only this one: a change of the stay-on-top hint makes Qt replace the X window.
constexpr Qt::WindowFlags DockedFlags = Qt::BypassWindowManagerHint;

// True when the window is a direct child of the root window: no window manager
// holds it in a frame (any more). Without X11 there are no frames.
bool outsideAnyFrame(QWidget* window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return true;
    const auto cookie = xcb_query_tree(connection, xcb_window_t(window->winId()));
    xcb_query_tree_reply_t* reply = xcb_query_tree_reply(connection, cookie, nullptr);
    const bool outside = !reply || reply->parent == reply->root;
    free(reply);
    return outside;
}

// Maps the hidden window again with its new flags once the window manager has let
// go of it (at most about half a second): mapped while still in the old frame, it
// would be unmapped with the frame.
void showWhenWithdrawn(QPointer<QWidget> window, Qt::WindowFlags flags, int triesLeft) {
    if (!window || window->windowHandle()->flags() != flags)
        return; // gone, or switched again meanwhile
    if (triesLeft > 0 && !outsideAnyFrame(window)) {
        QTimer::singleShot(10, window, [window, flags, triesLeft] { showWhenWithdrawn(window, flags, triesLeft - 1); });
        return;
    }
    window->show();
    window->raise();
}

} // namespace

void setDockedStacking(QWidget* window, bool docked) {
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
    if (docked && x11Connection() && !window->findChild<QObject*>(DockedBoardOnTop::Name, Qt::FindDirectChildrenOnly))
        new DockedBoardOnTop(window, x11Connection());
    const bool visible = window->isVisible();
    if (visible)
        window->hide();
    handle->setFlags(wanted);
    if (visible)
        showWhenWithdrawn(window, wanted, 50);
}

void raiseDocked(QWidget* window) {
    window->raise();
}

std::optional<qint32> deviceScreenRight() {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return std::nullopt;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    return qint32(screen->width_in_pixels);
}

bool moveDockedExactly(QWidget* window, QPoint device) {
    xcb_connection_t* connection = x11Connection();
    if (!connection || !bypassesWindowManager(window))
        return false;
    const uint32_t values[] = {uint32_t(device.x()), uint32_t(device.y())};
    xcb_configure_window(connection, xcb_window_t(window->winId()), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    xcb_flush(connection);
    return true;
}

std::optional<QPoint> reportedPosition(const QWidget* window) {
    xcb_connection_t* connection = x11Connection();
    if (!connection || !window->internalWinId())
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const auto cookie = xcb_translate_coordinates(connection, xcb_window_t(window->internalWinId()), root, 0, 0);
    xcb_translate_coordinates_reply_t* reply = xcb_translate_coordinates_reply(connection, cookie, nullptr);
    if (!reply)
        return std::nullopt;
    const QPoint position(reply->dst_x, reply->dst_y);
    free(reply);
    return position;
}

QPoint logicalPosition(const QWidget* window, QPoint device) {
    const QScreen* screen = window->screen();
    const double scale = screen ? screen->devicePixelRatio() : 1.0;
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    return origin + QPointF((device - origin) / scale).toPoint();
}

bool pointerStopsOnLeave() {
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return false;
    static const char name[] = "XWAYLAND";
    const auto cookie = xcb_query_extension(connection, sizeof(name) - 1, name);
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
    const bool xwayland = reply && reply->present;
    free(reply);
    return xwayland;
}
