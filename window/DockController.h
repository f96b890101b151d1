#pragma once
// Dragging by the title strip, docking at the left, top or right edge of the
// screen, and the auto-hide slide of the docked window. Holds no widgets: the
// window is reached through DockHost, its messages come from its iSubClass hook.
#include "window/WindowMessages.h"

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <optional>

class iSubClass;

// Where the window may be dragged and where it docks, in screen pixels.
struct DockArea {
    // The whole desktop: drags stop at its left, top and right edges.
    PixelRect desktop;
    // The monitor the window is on (the one it overlaps most: a docked window's
    // strip lies only on its own monitor), and which of its edges are outer edges of the
    // desktop (no neighbouring monitor there): the window docks only at those.
    // Its right edge is kept unrounded, as the screen width in twips gives it.
    PixelRect monitor;
    double monitorRight = 0;
    bool leftOuter = true;
    bool topOuter = true;
    bool rightOuter = true;
    // Device pixels per logical pixel (QT_SCALE_FACTOR, Xft.dpi) and the monitor's and
    // the desktop's right edges in device pixels, where the system tells them: the
    // logical widths are rounded from them. A monitor's top-left corner is the same
    // in both (as Qt keeps it).
    double scale = 1;
    std::optional<double> deviceMonitorRight;
    std::optional<qint32> deviceDesktopRight;
};

// Qt's mapping of a logical coordinate to device pixels on a monitor whose
// top-left corner lies at origin in both, and of a length.
qint32 toDevicePixels(qint32 logical, qint32 origin, double scale);
qint32 toDeviceLength(qint32 logical, double scale);
// The window's rectangle in device pixels (right and bottom just outside).
PixelRect toDeviceRect(const PixelRect& logical, const DockArea& area);
// The logical coordinate whose device pixel is nearest to device.
qint32 toLogicalPixels(qint32 device, qint32 origin, double scale);

// The docked window and its screen, as the docking code sees them. Rectangles and
// the pointer are in screen pixels; the window's Left, Top, Width and Height and
// the screen width are in twips.
class DockHost {
public:
    virtual ~DockHost() = default;

    // One screen by default: from 0 to the screen width, docking at all three edges.
    virtual DockArea dockArea() const;

    virtual PixelRect GetWindowRect() const = 0;
    virtual QPoint GetCursorPos() const = 0;
    virtual double screenWidthTwips() const = 0;
    virtual double twipsPerPixelX() const = 0;

    virtual double left() const = 0;
    virtual double top() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual void setLeft(double twips) = 0;
    virtual void setTop(double twips) = 0;
    // Puts the window's left (top) edge on this device pixel, where a slide ends. By
    // default at the logical position nearest to it; a host that can place the window
    // in device pixels puts it there exactly.
    virtual void setLeftDevice(qint32 px);
    virtual void setTopDevice(qint32 px);

    // Whether the window can place itself and really is where it was put (the
    // system reports the same place). Where not, it does not dock.
    virtual bool placedAsAsked() const { return true; }

    // Whether a modal window or a pop-up is open, so that the window's own
    // enter and leave events may not arrive.
    virtual bool modalOrPopupOpen() const { return false; }
};

class DockController : public QObject {
    Q_OBJECT
public:
    // Edges, the values of DockEdge.
    static constexpr qint32 EdgeLeft = 0;
    static constexpr qint32 EdgeRight = 1;
    static constexpr qint32 EdgeTop = 2;

    // Strip left on screen when hidden, and overlap beyond the edge when shown.
    static constexpr qint32 StripTwips = 60;
    // First slide step after a change of direction is twice this; each tick adds it.
    static constexpr qint32 StepTwips = 30;
    // Steps above this also grow by a fifth per tick.
    static constexpr qint32 FastStepTwips = 300;

    static constexpr int CheckIntervalMs = 50;
    // The slide ticks every 16 ms, the rate of the ~15.6 ms system timer that drove the original 1 ms timer,
    // so a hide at the top edge still takes 14 ticks (about a quarter of a second) instead of flashing by.
    static constexpr int SlideIntervalMs = 16;

    // hook forwards the messages that the handler passes on.
    DockController(DockHost& host, iSubClass& hook, QObject* parent = nullptr);

    bool Dragging() const { return m_dragging; }
    qint32 DockEdge() const { return m_dockEdge; }
    qint32 MouseIn() const { return m_mouseIn; }
    qint32 SlideStep() const { return m_slideStep; }
    const QTimer& tmrCheck() const { return m_tmrCheck; }
    const QTimer& tmrMove() const { return m_tmrMove; }
    bool Docked() const { return m_docked; }

    // Called once the window reports the pointer entering and leaving it through
    // pointerEntered() and pointerLeft(). From then on a docked window checks the
    // pointer at each crossing, and tmrCheck runs only while crossings alone cannot
    // be trusted: during a slide, while a modal window or pop-up is open, and while
    // the check disagrees with the last crossing (a pop-up opened under the
    // pointer, another window above this one). Without crossings tmrCheck runs
    // for as long as the window is docked.
    void useCrossingEvents() { m_crossingEvents = true; }
    // Under XWayland the pointer position X clients see stops at its last value once
    // the pointer is over a surface XWayland does not own: there a leave (with none of
    // this program's pop-ups or modal windows open) counts as the pointer being
    // outside for as long as the position stays where it stopped, whatever it says.
    // A window mapped again there (the docked window switching its stacking) gets an
    // enter from XWayland at that stopped position, or none, wherever the pointer
    // went meanwhile; so after a hide the position counts until the StaleChecks-th
    // tick of tmrCheck (a second), which finds it, still unmoved, the pointer gone.
    // An enter at the stopped position (the same pixel) starts that second again.
    void trustLeaveOverPosition() { m_trustLeave = true; }
    static constexpr int StaleChecks = 20;

signals:
    // After every title drag: true when it ended at an edge (docked), false when undocked.
    void dockedChanged(bool docked);
    // The pointer entered the docked window: it starts to slide out.
    void slidingOut();

public slots:
    // The handler of the hook's GetWindowMessage (connect with Qt::DirectConnection).
    // Forwards every message through the hook's CallDefaultWindowProc, except
    // WM_MOVING outside a title drag, which it leaves alone.
    void GetWindowMessage(qintptr& Result, qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam);

    // Timer ticks, public so that they can be driven without waiting.
    void tmrCheckTick();
    void tmrMoveTick();

    // Crossings of the window's border by the pointer, and a modal window opening
    // or closing over it.
    void pointerEntered();
    void pointerLeft();
    void blockingChanged();
    // The window was hidden (and may be mapped again at once).
    void windowHidden();

private:
    // The tmrCheck tick's comparison; returns whether the pointer is inside.
    bool checkPointer();
    // Runs or stops tmrCheck while docked, as the crossings allow.
    void watchPointer(bool inside);
    void crossing(bool over);
    // Under trustLeaveOverPosition(): the position tells nothing until it moves from here.
    void positionStopped(int checks);
    void keepInsideScreen(PixelRect& proposed) const;
    void dockAtTouchedEdge();
    // Where a slide in the current direction ends, in device pixels on its edge's axis.
    qint32 slideEndDevice(const DockArea& area, bool hide) const;

    DockHost& m_host;
    iSubClass& m_hook;
    QTimer m_tmrCheck;
    QTimer m_tmrMove;

    bool m_dragging = false;
    bool m_docked = false;
    bool m_crossingEvents = false;
    bool m_pointerOver = false; // as the last crossing said
    bool m_trustLeave = false;
    // The position stopped here when the pointer left or the window was hidden (no
    // pop-up open), and still counts for this many checks.
    std::optional<QPoint> m_stoppedAt;
    int m_stoppedChecks = 0;
    qint32 m_dockEdge = EdgeLeft;
    qint32 m_mouseIn = 0;
    qint32 m_slideStep = 0;
};
