#include "window/DockController.h"
#include "window/Placement.h"
#include "window/WindowMessages.h"
#include "window/iSubClass.h"

#include "RecordingWindow.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <optional>

namespace {

constexpr qintptr HTCLIENT = 1;
constexpr double Twips = 15; // per pixel

// The window and screen in exact twips; the rectangle is their pixel view.
class FakeHost final : public DockHost {
public:
    PixelRect GetWindowRect() const override {
        const auto px = [](double twips) { return qint32(std::lround(twips / Twips)); };
        return {px(leftTw), px(topTw), px(leftTw) + px(widthTw), px(topTw) + px(heightTw)};
    }
    QPoint GetCursorPos() const override { return cursor; }
    double screenWidthTwips() const override { return screenTw; }
    double twipsPerPixelX() const override { return Twips; }
    double left() const override { return leftTw; }
    double top() const override { return topTw; }
    double width() const override { return widthTw; }
    double height() const override { return heightTw; }
    void setLeft(double twips) override { leftTw = twips; }
    void setTop(double twips) override { topTw = twips; }
    DockArea dockArea() const override { return area ? *area : DockHost::dockArea(); }
    void setLeftDevice(qint32 px) override {
        deviceLeft = px;
        DockHost::setLeftDevice(px);
    }
    void setTopDevice(qint32 px) override {
        deviceTop = px;
        DockHost::setTopDevice(px);
    }
    bool modalOrPopupOpen() const override { return modal; }

    void placePx(int x, int y) {
        leftTw = x * Twips;
        topTw = y * Twips;
    }
    QPoint insidePx() const { return {GetWindowRect().left + 5, GetWindowRect().top + 5}; }

    double screenTw = 1280 * Twips;
    double leftTw = 1500, topTw = 1500, widthTw = 3705, heightTw = 4800;
    QPoint cursor{-500, -500};
    std::optional<DockArea> area;
    bool modal = false;
    qint32 deviceLeft = 0, deviceTop = 0; // where the last slide ended
};

// The main window's hook with the docking controller handling its messages.
struct Rig {
    Rig() {
        window.defaultAnswer = [this](quint32 message, qintptr, qintptr lParam) -> qintptr {
            if (message == WM_MOVING) {
                rectSeenByDefault = *rectFromParam(lParam);
                return 1;
            }
            return 0;
        };
        QObject::connect(&hook, &iSubClass::GetWindowMessage, &dock, &DockController::GetWindowMessage,
                         Qt::DirectConnection);
        hook.SetMsgHook(RecordingWindow::Handle);
    }

    // Sends WM_MOVING during a title drag; returns the rectangle as the handler left it.
    PixelRect moving(PixelRect proposed) {
        window.send(WM_MOVING, 0, rectParam(&proposed));
        return proposed;
    }

    // A title drag that drops the window at x, y (pixels).
    void dragTo(int x, int y) {
        window.send(WM_NCLBUTTONDOWN, HTCAPTION, 0);
        host.placePx(x, y);
        window.send(WM_EXITSIZEMOVE);
    }

    // tmrCheck ticks with the pointer inside, then outside: a hide slide starts.
    void startHide() {
        host.cursor = host.insidePx();
        dock.tmrCheckTick();
        host.cursor = {-500, -500};
        dock.tmrCheckTick();
    }

    void startShow() {
        host.cursor = {-500, -500};
        if (dock.MouseIn() == 1)
            dock.tmrCheckTick();
        host.cursor = host.insidePx();
        dock.tmrCheckTick();
    }

    RecordingWindow window;
    iSubClass hook{window.procedures};
    FakeHost host;
    DockController dock{host, hook};
    PixelRect rectSeenByDefault;
};

} // namespace

class DockControllerTest : public QObject {
    Q_OBJECT
private slots:
    void newController_isUndockedWithBothTimersOff() {
        Rig rig;
        QVERIFY(!rig.dock.Dragging());
        QCOMPARE(rig.dock.DockEdge(), 0);
        QCOMPARE(rig.dock.MouseIn(), 0);
        QCOMPARE(rig.dock.SlideStep(), 0);
        QVERIFY(!rig.dock.tmrCheck().isActive());
        QVERIFY(!rig.dock.tmrMove().isActive());
    }

    void timers_tickAtUsableRates() {
        Rig rig;
        QCOMPARE(rig.dock.tmrCheck().interval(), 50);
        // Slow enough to be seen, and never a timer kind that rounds short intervals to 0.
        QVERIFY(rig.dock.tmrMove().interval() >= 10 && rig.dock.tmrMove().interval() <= 20);
        QVERIFY(rig.dock.tmrMove().timerType() != Qt::VeryCoarseTimer);
        QVERIFY(rig.dock.tmrCheck().timerType() != Qt::VeryCoarseTimer);
    }

    void captionPress_startsADragAndStopsBothTimers() {
        Rig rig;
        rig.dragTo(0, 100);
        rig.startShow();
        QVERIFY(rig.dock.tmrMove().isActive());

        rig.window.send(WM_NCLBUTTONDOWN, HTCAPTION, 0);

        QVERIFY(rig.dock.Dragging());
        QVERIFY(!rig.dock.tmrCheck().isActive());
        QVERIFY(!rig.dock.tmrMove().isActive());
        QCOMPARE(rig.window.defaultMessages().back(), WM_NCLBUTTONDOWN);
    }

    void pressOutsideTheCaption_isOnlyForwarded() {
        Rig rig;
        rig.dragTo(0, 100);
        rig.window.send(WM_NCLBUTTONDOWN, HTCLIENT, 0);
        QVERIFY(!rig.dock.Dragging());
        QVERIFY(rig.dock.tmrCheck().isActive());
        QCOMPARE(rig.window.defaultMessages().back(), WM_NCLBUTTONDOWN);
    }

    void movingDuringADrag_keepsTheWindowInsideLeftTopAndRight_data() {
        QTest::addColumn<PixelRect>("proposed");
        QTest::addColumn<PixelRect>("expected");
        // The window is 247 x 320 pixels; the screen 1280 pixels wide.
        QTest::newRow("inside") << PixelRect{200, 50, 447, 370} << PixelRect{200, 50, 447, 370};
        QTest::newRow("past left") << PixelRect{-30, 50, 217, 370} << PixelRect{0, 50, 247, 370};
        QTest::newRow("past top") << PixelRect{200, -8, 447, 312} << PixelRect{200, 0, 447, 320};
        QTest::newRow("past right") << PixelRect{1100, 50, 1347, 370} << PixelRect{1033, 50, 1280, 370};
        QTest::newRow("right side on the edge") << PixelRect{1033, 50, 1280, 370} << PixelRect{1033, 50, 1280, 370};
        QTest::newRow("top-left corner") << PixelRect{-9, -9, 238, 311} << PixelRect{0, 0, 247, 320};
        QTest::newRow("top-right corner") << PixelRect{1200, -9, 1447, 311} << PixelRect{1033, 0, 1280, 320};
        QTest::newRow("below the bottom") << PixelRect{200, 700, 447, 1020} << PixelRect{200, 700, 447, 1020};
        // The clamped side takes the window's own size, not that of the proposal.
        QTest::newRow("odd proposal at left") << PixelRect{-5, 50, 100, 60} << PixelRect{0, 50, 247, 60};
        QTest::newRow("odd proposal at top") << PixelRect{200, -5, 210, 100} << PixelRect{200, 0, 210, 320};
    }

    void movingDuringADrag_keepsTheWindowInsideLeftTopAndRight() {
        QFETCH(PixelRect, proposed);
        QFETCH(PixelRect, expected);
        Rig rig;
        rig.host.placePx(300, 300);
        rig.window.send(WM_NCLBUTTONDOWN, HTCAPTION, 0);

        QCOMPARE(rig.moving(proposed), expected);
        QCOMPARE(rig.rectSeenByDefault, expected); // written back before forwarding
    }

    void movingDuringADrag_returnsTheForwardedResult() {
        Rig rig;
        rig.window.send(WM_NCLBUTTONDOWN, HTCAPTION, 0);
        PixelRect proposed{10, 10, 257, 330};
        QCOMPARE(rig.window.send(WM_MOVING, 0, rectParam(&proposed)), qintptr(1));
    }

    void movingDuringADrag_roundsTheScreenWidth() {
        Rig rig;
        rig.host.screenTw = 1280.6 * Twips;
        rig.window.send(WM_NCLBUTTONDOWN, HTCAPTION, 0);
        QCOMPARE(rig.moving({1100, 50, 1347, 370}), (PixelRect{1034, 50, 1281, 370}));
    }

    void movingOutsideADrag_isNeitherChangedNorForwarded() {
        Rig rig;
        PixelRect proposed{-30, -30, 217, 290};
        QCOMPARE(rig.window.send(WM_MOVING, 0, rectParam(&proposed)), qintptr(0));
        QCOMPARE(proposed, (PixelRect{-30, -30, 217, 290}));
        QVERIFY(rig.window.defaultSaw.empty());

        // Nor after a drag has ended.
        rig.dragTo(400, 400);
        rig.window.defaultSaw.clear();
        rig.window.send(WM_MOVING, 0, rectParam(&proposed));
        QCOMPARE(proposed, (PixelRect{-30, -30, 217, 290}));
        QVERIFY(rig.window.defaultSaw.empty());
    }

    void dragEnd_docksAtTheTouchedEdge_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("edge");
        QTest::newRow("left") << 0 << 200 << 0;
        QTest::newRow("right side on the edge") << 1033 << 200 << 1;
        QTest::newRow("right side beyond the edge") << 1040 << 200 << 1;
        QTest::newRow("top") << 500 << 0 << 2;
        QTest::newRow("top-left corner goes left") << 0 << 0 << 0;
        QTest::newRow("top-right corner goes right") << 1033 << 0 << 1;
        QTest::newRow("shown at the left, top at 0 goes top") << -4 << 0 << 2;
    }

    void dragEnd_docksAtTheTouchedEdge() {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, edge);
        Rig rig;
        rig.dragTo(x, y);
        QVERIFY(!rig.dock.Dragging());
        QCOMPARE(rig.dock.DockEdge(), edge);
        QVERIFY(rig.dock.tmrCheck().isActive());
        QVERIFY(!rig.dock.tmrMove().isActive());
        QCOMPARE(rig.window.defaultMessages().back(), WM_EXITSIZEMOVE);
    }

    void dragEndAtBothSides_docksLeft() {
        Rig rig;
        rig.host.screenTw = 247 * Twips; // the window is as wide as the screen
        rig.dragTo(1033, 200);
        rig.dragTo(0, 200);
        QCOMPARE(rig.dock.DockEdge(), 0);
    }

    void dragEndPastAnEdgeButOnNone_keepsThePreviousEdge() {
        Rig rig;
        rig.dragTo(1033, 200);
        QCOMPARE(rig.dock.DockEdge(), 1);
        rig.dragTo(-4, 200); // left beyond 0, not at it; top not 0
        QCOMPARE(rig.dock.DockEdge(), 1);
        QVERIFY(rig.dock.tmrCheck().isActive());
        rig.dragTo(500, -3);
        QCOMPARE(rig.dock.DockEdge(), 1);
    }

    void dragEnd_testsTheRightEdgeAgainstTheUnroundedScreenWidth() {
        Rig rig;
        rig.host.screenTw = 1280.4 * Twips;
        rig.dragTo(1033, 200); // right side at 1280 < 1280.4
        QVERIFY(!rig.dock.tmrCheck().isActive());
        rig.dragTo(1034, 200);
        QCOMPARE(rig.dock.DockEdge(), 1);
        QVERIFY(rig.dock.tmrCheck().isActive());
    }

    void dragEndAwayFromTheEdges_leavesTheWindowUndocked() {
        Rig rig;
        rig.dragTo(0, 200);
        rig.startShow();
        rig.dragTo(400, 300);
        QVERIFY(!rig.dock.tmrCheck().isActive());
        QVERIFY(!rig.dock.tmrMove().isActive());
        QCOMPARE(rig.window.defaultMessages().back(), WM_EXITSIZEMOVE);
    }

    void moveLoopWithoutMovement_runsTheEdgeTestOnTheUnchangedWindow() {
        Rig rig;
        rig.dragTo(0, 0);
        QCOMPARE(rig.dock.DockEdge(), 0);
        rig.host.placePx(-4, 0); // shown at the left edge, top exactly 0
        rig.window.send(WM_NCLBUTTONDOWN, HTCAPTION, 0);
        rig.window.send(WM_EXITSIZEMOVE);
        QCOMPARE(rig.dock.DockEdge(), 2);
        QVERIFY(rig.dock.tmrCheck().isActive());
    }

    void exitSizeMove_docksEvenWithoutADragStart() {
        Rig rig;
        rig.host.placePx(0, 300);
        rig.window.send(WM_EXITSIZEMOVE);
        QVERIFY(rig.dock.tmrCheck().isActive());
    }

    void pointerCheck_startsASlideOnlyWhenThePointerEntersOrLeaves() {
        Rig rig;
        rig.dragTo(0, 200);
        const PixelRect window = rig.host.GetWindowRect();

        rig.host.cursor = {window.right, window.top + 10}; // right and bottom lie outside
        rig.dock.tmrCheckTick();
        QCOMPARE(rig.dock.MouseIn(), 0);
        QVERIFY(!rig.dock.tmrMove().isActive());
        rig.host.cursor = {window.left + 10, window.bottom};
        rig.dock.tmrCheckTick();
        QVERIFY(!rig.dock.tmrMove().isActive());

        rig.host.cursor = {window.left, window.top};
        rig.dock.tmrCheckTick();
        QCOMPARE(rig.dock.MouseIn(), 1);
        QCOMPARE(rig.dock.SlideStep(), 30);
        QVERIFY(rig.dock.tmrMove().isActive());
        QVERIFY(rig.dock.tmrCheck().isActive());

        rig.dock.tmrMoveTick(); // shown at -60 twips: 4 pixels further left
        rig.host.cursor = {window.right - 1 - 4, window.bottom - 1};
        rig.dock.tmrCheckTick();
        QVERIFY(!rig.dock.tmrMove().isActive());

        rig.host.cursor = {900, 700};
        rig.dock.tmrCheckTick();
        QCOMPARE(rig.dock.MouseIn(), 0);
        QCOMPARE(rig.dock.SlideStep(), 30);
        QVERIFY(rig.dock.tmrMove().isActive());
    }

    void slideTick_movesByTheTable_data() {
        QTest::addColumn<int>("edge");
        QTest::addColumn<bool>("hide");
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("afterOneStep");
        QTest::addColumn<double>("nearEnd");
        QTest::addColumn<double>("end");
        // Screen 19200 twips wide; window 3705 x 4800 twips; first step 60.
        QTest::newRow("left hide") << 0 << true << -60.0 << -120.0 << -3600.0 << -3645.0;
        QTest::newRow("left show") << 0 << false << -3645.0 << -3585.0 << -100.0 << -60.0;
        QTest::newRow("right hide") << 1 << true << 15555.0 << 15615.0 << 19100.0 << 19140.0;
        QTest::newRow("right show") << 1 << false << 19140.0 << 19080.0 << 15600.0 << 15555.0;
        QTest::newRow("top hide") << 2 << true << -60.0 << -120.0 << -4700.0 << -4740.0;
        QTest::newRow("top show") << 2 << false << -4740.0 << -4680.0 << -100.0 << -60.0;
    }

    void slideTick_movesByTheTable() {
        QFETCH(int, edge);
        QFETCH(bool, hide);
        QFETCH(double, start);
        QFETCH(double, afterOneStep);
        QFETCH(double, nearEnd);
        QFETCH(double, end);
        Rig rig;
        const QPoint dockPlace[] = {{0, 200}, {1033, 200}, {500, 0}};
        rig.dragTo(dockPlace[edge].x(), dockPlace[edge].y());
        QCOMPARE(rig.dock.DockEdge(), edge);

        // The slide runs on the coordinate of its edge only.
        double& moved = edge == 2 ? rig.host.topTw : rig.host.leftTw;
        const double& other = edge == 2 ? rig.host.leftTw : rig.host.topTw;
        const double otherBefore = other;
        const auto startSlide = [&] {
            hide ? rig.startHide() : rig.startShow();
            QCOMPARE(rig.dock.MouseIn(), hide ? 0 : 1);
            QVERIFY(rig.dock.tmrMove().isActive());
        };

        moved = start;
        startSlide();
        rig.dock.tmrMoveTick();
        QCOMPARE(moved, afterOneStep);
        QCOMPARE(other, otherBefore);
        QVERIFY(rig.dock.tmrMove().isActive());

        // A step that passes the end stops at it.
        moved = nearEnd;
        rig.dock.tmrMoveTick();
        QCOMPARE(moved, end);
        QVERIFY(!rig.dock.tmrMove().isActive());
        QVERIFY(rig.dock.tmrCheck().isActive());
    }

    void slideTick_reachingTheEndExactlyIsNotYetPassing() {
        Rig rig;
        rig.dragTo(0, 200);
        rig.startHide();
        rig.host.leftTw = -3585; // the first step lands on 60 - Width
        rig.dock.tmrMoveTick();
        QCOMPARE(rig.host.leftTw, -3645.0);
        QVERIFY(rig.dock.tmrMove().isActive());
    }

    void slideSteps_accelerateAfterEveryChangeOfDirection() {
        Rig rig;
        rig.host.heightTw = 1e7; // never reaches its end
        rig.dragTo(500, 0);
        rig.host.topTw = -60;
        rig.startHide();
        const QList<int> expected{60, 90, 120, 150, 180, 210, 240, 270, 300, 396, 511, 649, 815, 1014};
        QList<int> steps, moves;
        for (int i = 0; i < expected.size(); ++i) {
            const double before = rig.host.topTw;
            rig.dock.tmrMoveTick();
            steps.append(rig.dock.SlideStep());
            moves.append(int(before - rig.host.topTw));
        }
        QCOMPARE(steps, expected);
        QCOMPARE(moves, expected);
    }

    void hideAtTheTop_takesFourteenTicks() {
        Rig rig;
        rig.dragTo(500, 0);
        rig.host.topTw = -60;
        rig.startHide();
        int ticks = 0;
        while (rig.dock.tmrMove().isActive() && ticks < 100) {
            rig.dock.tmrMoveTick();
            ++ticks;
        }
        QCOMPARE(ticks, 14);
        QCOMPARE(rig.host.topTw, -4740.0);
    }

    void firstShowStepAfterDocking_goesBeyondTheEdgeInOneTick() {
        Rig rig;
        rig.dragTo(0, 200);
        rig.host.cursor = rig.host.insidePx();
        rig.dock.tmrCheckTick();
        rig.dock.tmrMoveTick();
        QCOMPARE(rig.host.leftTw, -60.0);
        QVERIFY(!rig.dock.tmrMove().isActive());
    }

    void redockWhileThePointerIsIn_startsNoSlide() {
        Rig rig;
        rig.dragTo(0, 200);
        rig.host.cursor = rig.host.insidePx();
        rig.dock.tmrCheckTick();
        rig.dock.tmrMoveTick();
        QCOMPARE(rig.dock.MouseIn(), 1);

        rig.dragTo(0, 400);
        rig.host.cursor = rig.host.insidePx();
        rig.dock.tmrCheckTick();
        QVERIFY(!rig.dock.tmrMove().isActive());
        QCOMPARE(rig.host.leftTw, 0.0);
        QCOMPARE(rig.host.topTw, 400 * Twips);
    }

    void pointerLeavingMidSlide_reversesWithTheFirstStepAgain() {
        Rig rig;
        rig.dragTo(500, 0);
        rig.host.topTw = -4740; // hidden, a strip showing
        rig.startShow();
        rig.dock.tmrMoveTick();
        rig.dock.tmrMoveTick();
        rig.dock.tmrMoveTick();
        QCOMPARE(rig.host.topTw, -4740.0 + 60 + 90 + 120);

        rig.host.cursor = {100, 700};
        rig.dock.tmrCheckTick();
        QCOMPARE(rig.dock.SlideStep(), 30);
        rig.dock.tmrMoveTick();
        QCOMPARE(rig.host.topTw, -4740.0 + 60 + 90 + 120 - 60);
        QCOMPARE(rig.dock.MouseIn(), 0);
    }

    // With crossings reported, a docked board at rest checks the pointer only where
    // the crossings may mislead.
    void crossings_checkThePointerOnlyWhileTheyMayMislead_data() {
        QTest::addColumn<bool>("inside");
        QTest::addColumn<bool>("entered");
        QTest::addColumn<bool>("popupAtLeave");
        QTest::addColumn<bool>("modalOpens");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<bool>("polls");
        QTest::newRow("pointer away") << false << false << false << false << false << false;
        QTest::newRow("pointer over the board") << true << true << false << false << true << false;
        QTest::newRow("leave while inside (pop-up under the pointer)")
            << true << false << true << false << true << true;
        // XWayland: the position stops inside once the pointer is over a native surface.
        QTest::newRow("leave while the position says inside") << true << false << false << false << false << false;
        QTest::newRow("modal window opens") << false << false << false << true << false << true;
    }

    void crossings_checkThePointerOnlyWhileTheyMayMislead() {
        QFETCH(bool, inside);
        QFETCH(bool, entered);
        QFETCH(bool, popupAtLeave);
        QFETCH(bool, modalOpens);
        QFETCH(bool, shown);
        QFETCH(bool, polls);
        Rig rig;
        rig.dock.useCrossingEvents();
        rig.dock.trustLeaveOverPosition(); // as under XWayland; on X11 the position decides
        rig.dragTo(0, 200);
        rig.host.cursor = inside ? rig.host.insidePx() : QPoint(900, 700);
        rig.host.modal = popupAtLeave;
        entered ? rig.dock.pointerEntered() : rig.dock.pointerLeft();
        QCOMPARE(rig.dock.MouseIn(), shown ? 1 : 0);
        QCOMPARE(rig.dock.tmrCheck().isActive(), rig.dock.tmrMove().isActive() || (polls && !modalOpens));
        while (rig.dock.tmrMove().isActive())
            rig.dock.tmrMoveTick();
        rig.dock.tmrCheckTick();
        if (modalOpens) {
            QVERIFY(!rig.dock.tmrCheck().isActive());
            rig.host.modal = true;
            rig.dock.blockingChanged();
        }
        QCOMPARE(rig.dock.tmrCheck().isActive(), polls);
    }

    // Docking maps the board again; XWayland then reports an enter at the position
    // where the pointer stopped, or none, wherever it went meanwhile.
    void mappedAgain_anUnmovedPointerCountsAsGoneAfterAWhile_data() {
        QTest::addColumn<bool>("xwayland");
        QTest::addColumn<bool>("enterAgain");
        QTest::addColumn<bool>("movesOnBoard");
        QTest::addColumn<bool>("shown");
        QTest::newRow("XWayland, enter at the stopped position") << true << true << false << false;
        QTest::newRow("XWayland, no enter") << true << false << false << false;
        QTest::newRow("XWayland, pointer moves on the board") << true << true << true << true;
        QTest::newRow("X11") << false << true << false << true;
    }

    void mappedAgain_anUnmovedPointerCountsAsGoneAfterAWhile() {
        QFETCH(bool, xwayland);
        QFETCH(bool, enterAgain);
        QFETCH(bool, movesOnBoard);
        QFETCH(bool, shown);
        Rig rig;
        rig.dock.useCrossingEvents();
        if (xwayland)
            rig.dock.trustLeaveOverPosition();
        rig.dock.pointerEntered();
        rig.dragTo(0, 200);
        rig.host.cursor = rig.host.insidePx();
        rig.dock.windowHidden();
        if (enterAgain)
            rig.dock.pointerEntered();
        for (int tick = 1; tick < DockController::StaleChecks; ++tick) {
            if (movesOnBoard && tick == 5)
                rig.host.cursor += QPoint(3, 0);
            rig.dock.tmrCheckTick();
            while (rig.dock.tmrMove().isActive())
                rig.dock.tmrMoveTick();
            QCOMPARE(rig.dock.MouseIn(), 1);
        }
        rig.dock.tmrCheckTick();
        while (rig.dock.tmrMove().isActive())
            rig.dock.tmrMoveTick();
        QCOMPARE(rig.dock.MouseIn(), shown ? 1 : 0);
        QCOMPARE(rig.host.leftTw, shown ? -60.0 : 60 - rig.host.widthTw);
        rig.dock.tmrCheckTick();
        QVERIFY2(!rig.dock.tmrCheck().isActive(), "still checking the pointer at rest");
    }

    void crossings_touchingTheStripShowsAtOnceAndLeavingHidesToRest() {
        Rig rig;
        rig.dock.useCrossingEvents();
        rig.host.cursor = rig.host.insidePx();
        rig.dock.pointerEntered(); // undocked: nothing to do
        QVERIFY(!rig.dock.tmrCheck().isActive() && !rig.dock.tmrMove().isActive());

        rig.dragTo(0, 200);
        rig.host.leftTw = 60 - rig.host.widthTw; // hidden, a strip showing
        rig.host.cursor = {1, 250};
        rig.dock.pointerEntered();
        QCOMPARE(rig.dock.MouseIn(), 1);
        QVERIFY(rig.dock.tmrMove().isActive());

        rig.host.cursor = {900, 700};
        rig.dock.pointerLeft();
        QCOMPARE(rig.dock.MouseIn(), 0);
        while (rig.dock.tmrMove().isActive())
            rig.dock.tmrMoveTick();
        QCOMPARE(rig.host.leftTw, 60 - rig.host.widthTw);
        rig.dock.tmrCheckTick();
        QVERIFY(!rig.dock.tmrCheck().isActive());
        QVERIFY(rig.dock.Docked());
    }

    void slide_roundsPositionsToWholeTwips() {
        Rig rig;
        rig.dragTo(0, 200);
        rig.startHide();
        rig.host.leftTw = -60.4;
        rig.dock.tmrMoveTick();
        QCOMPARE(rig.host.leftTw, -120.0);
    }

    // Two monitors side by side, 1280 px each: drags stop at the desktop's outer
    // edges, and the window docks only at the outer edges of its monitor.
    // The title strip at a stored position, 247 x 20 px, on 1280 x 800 and a
    // 1920 x 1080 monitor to its right; a grab needs 4 x 4 px of it on one screen.
    void storedPosition_isReachableOnlyWithTheStripOnAScreen_data() {
        QTest::addColumn<QRect>("strip");
        QTest::addColumn<bool>("twoScreens");
        QTest::addColumn<bool>("reachable");
        QTest::newRow("inside") << QRect(100, 50, 247, 20) << false << true;
        QTest::newRow("hidden at the right edge") << QRect(1276, 50, 247, 20) << false << true;
        QTest::newRow("3 px left at the right edge") << QRect(1277, 50, 247, 20) << false << false;
        QTest::newRow("on the monitor now gone") << QRect(2000, 500, 247, 20) << false << false;
        QTest::newRow("on the second monitor") << QRect(2000, 500, 247, 20) << true << true;
        QTest::newRow("below the shorter screen") << QRect(100, 900, 247, 20) << true << false;
        QTest::newRow("far beyond") << QRect(143165577, 143165577, 247, 20) << true << false;
    }
    void storedPosition_isReachableOnlyWithTheStripOnAScreen() {
        QFETCH(QRect, strip);
        QFETCH(bool, twoScreens);
        QFETCH(bool, reachable);
        QList<QRect> screens{QRect(0, 0, 1280, 800)};
        if (twoScreens)
            screens.append(QRect(1280, 0, 1920, 1080));
        QCOMPARE(isGrabbable(strip, screens, 4), reachable);
    }

    void twoMonitors_dockOnlyAtOuterEdges_data() {
        QTest::addColumn<bool>("onRight");
        QTest::addColumn<int>("dropX");
        QTest::addColumn<bool>("docks");
        QTest::addColumn<double>("hiddenLeft");
        const double w = 3705;
        QTest::newRow("right monitor, outer right") << true << 2560 - 247 << true << 2560 * Twips - 60;
        QTest::newRow("right monitor, shared left") << true << 1280 << false << 0.0;
        QTest::newRow("left monitor, outer left") << false << 0 << true << 60 - w;
        QTest::newRow("left monitor, shared right") << false << 1280 - 247 << false << 0.0;
    }
    void twoMonitors_dockOnlyAtOuterEdges() {
        QFETCH(bool, onRight);
        QFETCH(int, dropX);
        QFETCH(bool, docks);
        QFETCH(double, hiddenLeft);
        Rig rig;
        const PixelRect left{0, 0, 1280, 800}, right{1280, 0, 2560, 800};
        rig.host.area = DockArea{
            {0, 0, 2560, 800}, onRight ? right : left, onRight ? 2560.0 : 1280.0, !onRight, true, onRight, 1, {}, {}};
        rig.window.send(WM_NCLBUTTONDOWN, HTCAPTION, 0);
        QCOMPARE(rig.moving({2400, 100, 2647, 420}).right, 2560);
        rig.host.placePx(dropX, 100);
        rig.window.send(WM_EXITSIZEMOVE);
        QCOMPARE(rig.dock.tmrCheck().isActive(), docks);
        if (!docks)
            return;
        rig.startHide();
        for (int i = 0; i < 40 && rig.dock.tmrMove().isActive(); ++i)
            rig.dock.tmrMoveTick();
        QCOMPARE(rig.host.leftTw, hiddenLeft);
    }

    // A 2560 x 1600 screen at each scale: the drag stops on the screen's last device
    // pixel and docks there, and the strip and the overlap of the shown window are
    // 4 logical pixels rounded once, the same at every edge.
    void scaledScreen_dockingIsExactAtEveryEdge_data() {
        QTest::addColumn<double>("scale");
        for (const double scale : {1.0, 1.25, 1.5, 1.75, 2.0})
            QTest::addRow("%g", scale) << scale;
    }
    void scaledScreen_dockingIsExactAtEveryEdge() {
        QFETCH(double, scale);
        constexpr qint32 DeviceWidth = 2560;
        const qint32 strip = qint32(std::lround(4 * scale));
        const qint32 width = toDeviceLength(247, scale), height = toDeviceLength(320, scale);
        const qint32 logicalWidth = qint32(std::lround(DeviceWidth / scale)); // as Qt rounds it
        const PixelRect screen{0, 0, logicalWidth, qint32(std::lround(1600 / scale))};
        Rig rig;
        rig.host.screenTw = logicalWidth * Twips;
        rig.host.area =
            DockArea{screen, screen, double(logicalWidth), true, true, true, scale, DeviceWidth, DeviceWidth};
        const auto slideToRest = [&](bool hide) {
            hide ? rig.startHide() : rig.startShow();
            for (int i = 0; i < 60 && rig.dock.tmrMove().isActive(); ++i)
                rig.dock.tmrMoveTick();
        };

        rig.window.send(WM_NCLBUTTONDOWN, HTCAPTION, 0);
        const PixelRect clamped = rig.moving({logicalWidth - 100, 200, logicalWidth + 147, 520});
        QCOMPARE(toDevicePixels(clamped.left, 0, scale) + width, DeviceWidth);
        rig.host.placePx(clamped.left, 200);
        rig.window.send(WM_EXITSIZEMOVE);
        QCOMPARE(rig.dock.DockEdge(), 1);
        slideToRest(true);
        QCOMPARE(DeviceWidth - rig.host.deviceLeft, strip);
        slideToRest(false);
        QCOMPARE(rig.host.deviceLeft + width - DeviceWidth, strip);

        rig.dragTo(0, 200);
        slideToRest(true);
        QCOMPARE(rig.host.deviceLeft + width, strip);
        slideToRest(false);
        QCOMPARE(-rig.host.deviceLeft, strip);

        rig.dragTo(500, 0);
        slideToRest(true);
        QCOMPARE(rig.host.deviceTop + height, strip);
        slideToRest(false);
        QCOMPARE(-rig.host.deviceTop, strip);
    }

    void dragEnd_reportsDockedOrUndocked() {
        Rig rig;
        QSignalSpy spy(&rig.dock, &DockController::dockedChanged);
        rig.dragTo(0, 100);
        rig.dragTo(300, 100);
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy[0][0].toBool(), true);
        QCOMPARE(spy[1][0].toBool(), false);
    }
};

QTEST_GUILESS_MAIN(DockControllerTest)
#include "tst_dockcontroller.moc"
