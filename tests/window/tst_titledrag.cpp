#include "window/DockController.h"
#include "window/TitleDrag.h"
#include "window/WidgetDockHost.h"
#include "window/WindowMessages.h"
#include "window/iSubClass.h"

#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

// The title strip: the left button starts a title drag.
class Strip final : public QLabel {
public:
    using QLabel::QLabel;
    int releases = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            beginTitleDrag(window(), event->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
};

struct Seen {
    quint32 message;
    PixelRect rect; // WM_MOVING only
    int depth;      // messages of the drag still running around this one
};

// A frameless 247 x 320 window at 100, 100 with a strip on top, hooked, its
// messages recorded and forwarded.
struct HookedWindow {
    HookedWindow() {
        window.setWindowFlag(Qt::FramelessWindowHint);
        window.resize(247, 320);
        window.move(100, 100);
        strip = new Strip(&window);
        strip->setGeometry(0, 0, 247, 20);
        const qintptr handle = attachWindowProcedure(&window);
        QObject::connect(
            &hook, &iSubClass::GetWindowMessage, &hook,
            [this](qintptr& Result, qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam) {
                if (!record)
                    return;
                Seen seen{Message, {}, depth};
                if (Message == WM_MOVING) {
                    if (changeMoving)
                        changeMoving(*rectFromParam(lParam));
                    seen.rect = *rectFromParam(lParam);
                }
                messages.append(seen);
                ++depth;
                Result = hook.CallDefaultWindowProc(cHwnd, Message, wParam, lParam);
                --depth;
            },
            Qt::DirectConnection);
        hook.SetMsgHook(handle);
        window.show();
    }

    QPoint local(QPoint global) const { return strip->mapFromGlobal(global); }

    // Presses the strip at global position from; the drag loop then runs while
    // moveTo follows the given global positions and releases at the last one.
    void drag(QPoint from, const QList<QPoint>& path) {
        QTimer::singleShot(0, &window, [this, path, from] {
            QPoint at = from;
            for (const QPoint& p : path) {
                QTest::mouseMove(strip, local(p));
                at = p;
            }
            QTest::mouseRelease(strip, Qt::LeftButton, {}, local(at));
        });
        QTest::mousePress(strip, Qt::LeftButton, {}, local(from));
    }

    QList<quint32> order() const {
        QList<quint32> list;
        for (const Seen& s : messages)
            list.append(s.message);
        return list;
    }

    QWidget window;
    Strip* strip = nullptr;
    iSubClass hook{systemWindowProcedures()};
    QList<Seen> messages;
    std::function<void(PixelRect&)> changeMoving;
    bool record = true;
    int depth = 0;
};

} // namespace

class TitleDragTest : public QObject {
    Q_OBJECT
private slots:
    void attachingADialog_leavesItsParentsControlsAlien() {
        // Native children of the board would lose their see-through backgrounds.
        QWidget board;
        auto* note = new QLabel("note", &board);
        board.show();
        QDialog dialog(&board);
        attachWindowProcedure(&dialog);
        QVERIFY(dialog.internalWinId() != 0);
        QVERIFY(!note->testAttribute(Qt::WA_NativeWindow));
    }

    void drag_sendsPressMovesAndExitInOrderAndFollowsThePointer() {
        HookedWindow w;
        w.drag({150, 110}, {{160, 115}, {190, 140}});

        QCOMPARE(w.order(), QList<quint32>({WM_NCLBUTTONDOWN, WM_MOVING, WM_MOVING, WM_EXITSIZEMOVE}));
        QCOMPARE(w.messages[1].rect, (PixelRect{110, 105, 357, 425}));
        QCOMPARE(w.messages[2].rect, (PixelRect{140, 130, 387, 450}));
        QCOMPARE(w.window.pos(), QPoint(140, 130));
    }

    void drag_messagesArriveInsideTheForwardedPress() {
        HookedWindow w;
        w.drag({150, 110}, {{170, 120}});
        QCOMPARE(w.messages.size(), 3);
        QCOMPARE(w.messages[0].depth, 0);
        QCOMPARE(w.messages[1].depth, 1);
        QCOMPARE(w.messages[2].depth, 1);
    }

    void releaseWithoutMoving_stillEndsTheMoveLoop() {
        HookedWindow w;
        w.drag({150, 110}, {});
        QCOMPARE(w.order(), QList<quint32>({WM_NCLBUTTONDOWN, WM_EXITSIZEMOVE}));
        QCOMPARE(w.window.pos(), QPoint(100, 100));
    }

    void pointerStandingStill_sendsNoMove() {
        HookedWindow w;
        w.drag({150, 110}, {{150, 110}, {151, 110}, {151, 110}});
        QCOMPARE(w.order(), QList<quint32>({WM_NCLBUTTONDOWN, WM_MOVING, WM_EXITSIZEMOVE}));
    }

    void windowGoesWhereTheHandlerLeftTheRectangle() {
        HookedWindow w;
        w.changeMoving = [](PixelRect& r) {
            r.right -= r.left - 5;
            r.left = 5;
        };
        w.drag({150, 110}, {{400, 300}});
        QCOMPARE(w.window.pos(), QPoint(5, 290));
        QCOMPARE(w.window.size(), QSize(247, 320));
    }

    void releaseThatWentElsewhere_endsTheLoopAtTheNextMove() {
        HookedWindow w;
        QTimer::singleShot(0, &w.window, [&] {
            QTest::mouseMove(w.strip, w.local({170, 120}));
            const QPoint at = w.local({180, 130});
            QMouseEvent move(QEvent::MouseMove, at, w.strip->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                             Qt::NoModifier);
            QCoreApplication::sendEvent(w.strip, &move);
        });
        QTest::mousePress(w.strip, Qt::LeftButton, {}, w.local({150, 110}));
        QCOMPARE(w.order(), QList<quint32>({WM_NCLBUTTONDOWN, WM_MOVING, WM_EXITSIZEMOVE}));
        QCOMPARE(w.window.pos(), QPoint(120, 110));
        QTest::mouseRelease(w.strip, Qt::LeftButton); // let the test's button state go
    }

    void release_stillReachesTheStrip() {
        HookedWindow w;
        w.drag({150, 110}, {{170, 120}});
        QCOMPARE(w.strip->releases, 1);
    }

    void dockingDrag_stopsAtTheLeftEdgeAndDocksThere() {
        HookedWindow w;
        w.record = false;
        WidgetDockHost host(&w.window);
        DockController dock(host, w.hook);
        QObject::connect(&w.hook, &iSubClass::GetWindowMessage, &dock, &DockController::GetWindowMessage,
                         Qt::DirectConnection);

        w.drag({150, 110}, {{100, 120}, {20, 130}});

        QCOMPARE(w.window.pos(), QPoint(0, 120));
        QVERIFY(!dock.Dragging());
        QCOMPARE(dock.DockEdge(), DockController::EdgeLeft);
        QVERIFY(dock.tmrCheck().isActive());
    }

    void dockingDrag_keepsTheRightSideOnTheScreen() {
        HookedWindow w;
        w.record = false;
        WidgetDockHost host(&w.window);
        DockController dock(host, w.hook);
        QObject::connect(&w.hook, &iSubClass::GetWindowMessage, &dock, &DockController::GetWindowMessage,
                         Qt::DirectConnection);

        w.drag({150, 110}, {{1300, 90}});

        QCOMPARE(w.window.pos(), QPoint(1280 - 247, 80));
        QCOMPARE(dock.DockEdge(), DockController::EdgeRight);
    }

    void hideOnARealWindow_leavesAFourPixelStripAfterFourteenTicks() {
        HookedWindow w;
        WidgetDockHost host(&w.window);
        QCOMPARE(host.twipsPerPixelX(), 15.0);
        QCOMPARE(host.screenWidthTwips(), 1280 * 15.0);
        DockController dock(host, w.hook);

        // Dropped at the top edge with the pointer inside: the first step shows it 60 twips beyond the edge.
        w.window.move(500, 0);
        qintptr result = 0;
        dock.GetWindowMessage(result, w.hook.hookedWindow(), WM_EXITSIZEMOVE, 0, 0);
        QCOMPARE(dock.DockEdge(), DockController::EdgeTop);
        QCursor::setPos(510, 10);
        QCoreApplication::processEvents();
        dock.tmrCheckTick();
        QCOMPARE(dock.MouseIn(), 1);
        dock.tmrMoveTick();
        QCOMPARE(w.window.y(), -4);
        QCOMPARE(host.top(), -60.0);
        QCOMPARE(host.height(), 4800.0);

        // The pointer leaves: the hide runs in whole pixels.
        QCursor::setPos(900, 600);
        QCoreApplication::processEvents();
        dock.tmrCheckTick();
        QCOMPARE(dock.MouseIn(), 0);

        int ticks = 0;
        while (dock.tmrMove().isActive() && ticks < 100) {
            dock.tmrMoveTick();
            ++ticks;
        }
        QCOMPARE(ticks, 14);
        QCOMPARE(w.window.y(), -316);
        QCOMPARE(w.window.x(), 500);
    }
};

QTEST_MAIN(TitleDragTest)
#include "tst_titledrag.moc"
