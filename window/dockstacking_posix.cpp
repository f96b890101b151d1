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
#include <cstring>

namespace {

bool bypassesWindowManager(const QWidget* window) {
    return window->windowHandle() && (window->windowHandle()->flags() & Qt::BypassWindowManagerHint);
}

// Gives window the keyboard focus once the events queued now are handled, unless it
// is gone or hidden by then.
void activateLater(QWidget* window) {
    QPointer<QWidget> guarded(window);
    QTimer::singleShot(0, window, [guarded] {
        if (guarded && guarded->isVisible())
            guarded->activateWindow();
    });
}

// Makes a window about to be shown (not yet mapped) bypass the window manager; it
// then takes the keyboard focus itself once shown, as none is given to it.
void bypassBeforeMapping(QWidget* window) {
    window->winId();
    QWindow* handle = window->windowHandle();
    if (!handle || (handle->flags() & Qt::BypassWindowManagerHint))
        return;
    handle->setFlags(handle->flags() | Qt::BypassWindowManagerHint);
    activateLater(window);
}

// A window that bypasses the window manager (the docked board, a menu where the
// window manager would misplace it) lies above every window the window manager
// stacks, so the windows it opens (menus, the editor, the settings window, message
// boxes) would open under it. They bypass the window manager too, are mapped above
// it, and take the keyboard focus themselves.
class OpenedAboveBypassing final : public QObject {
public:
    // Watches every window of the program from the first call on.
    static void install() {
        static const QString name = QStringLiteral("jotlarkOpenedAboveBypassing");
        if (qApp->findChild<QObject*>(name, Qt::FindDirectChildrenOnly))
            return;
        auto* filter = new OpenedAboveBypassing;
        filter->setObjectName(name);
        filter->setParent(qApp);
        qApp->installEventFilter(filter);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if ((event->type() != QEvent::Show && event->type() != QEvent::Hide) || !watched->isWidgetType())
            return false;
        auto* window = static_cast<QWidget*>(watched);
        QWidget* opener = window->isWindow() ? bypassingOpener(window) : nullptr;
        if (!opener)
            return false;
        if (event->type() == QEvent::Show) {
            // The show event comes before the window is mapped.
            bypassBeforeMapping(window);
        } else {
            // No window manager gives the keyboard back to the opener.
            activateLater(opener);
        }
        return false;
    }

private:
    static QWidget* bypassingOpener(const QWidget* window) {
        for (QWidget* w = window->parentWidget(); w; w = w->parentWidget())
            if (w->isWindow() && bypassesWindowManager(w))
                return w;
        return nullptr;
    }
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

// The name the window manager gives itself (_NET_SUPPORTING_WM_CHECK's _NET_WM_NAME),
// or an empty one.
QByteArray windowManagerName(xcb_connection_t* connection) {
    const auto atom = [connection](const char* name) {
        const auto cookie = xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return found;
    };
    const auto property = [connection](xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
        QByteArray value;
        const auto cookie = xcb_get_property(connection, 0, window, name, type, 0, 256);
        if (xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr)) {
            value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)),
                               xcb_get_property_value_length(reply));
            free(reply);
        }
        return value;
    };
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const QByteArray check = property(root, atom("_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_WINDOW);
    if (check.size() != sizeof(xcb_window_t))
        return {};
    xcb_window_t manager;
    memcpy(&manager, check.constData(), sizeof manager);
    return property(manager, atom("_NET_WM_NAME"), atom("UTF8_STRING"));
}

// The window manager of XWayland under sway and the other wlroots compositors: it
// centres every dialog, whatever position it asks for, and puts a window that
// bypasses it exactly where that asks. (weston places dialogs itself too, but shows
// a window that bypasses it elsewhere than where X has it.)
bool centresDialogs(xcb_connection_t* connection) {
    return windowManagerName(connection) == "wlroots wm";
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
    if (docked)
        OpenedAboveBypassing::install();
    if (docked && x11Connection() && !window->findChild<QObject*>(DockedBoardOnTop::Name, Qt::FindDirectChildrenOnly))
        new DockedBoardOnTop(window, x11Connection());
    const bool visible = window->isVisible();
    if (visible)
        window->hide();
    handle->setFlags(wanted);
    if (visible)
        showWhenWithdrawn(window, wanted, 50);
}

void openWhereAsked(QWidget* menu) {
    xcb_connection_t* connection = x11Connection();
    if (connection && centresDialogs(connection)) {
        OpenedAboveBypassing::install();
        bypassBeforeMapping(menu);
    }
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
    // XWayland names its outputs XWAYLAND0, XWAYLAND1, ...; only later versions
    // (23.1 on) also announce an XWAYLAND extension.
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->name().startsWith(QLatin1String("XWAYLAND")))
            return true;
    }
    static const char name[] = "XWAYLAND";
    const auto cookie = xcb_query_extension(connection, sizeof(name) - 1, name);
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
    const bool xwayland = reply && reply->present;
    free(reply);
    return xwayland;
}
