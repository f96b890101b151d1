#include "window/WindowMessages.h"
#include "window/iSubClass.h"

#include "RecordingWindow.h"

#include <QTest>

namespace {

constexpr quint32 WM_PAINT = 0x000F;
constexpr quint32 WM_TIMER = 0x0113;

// What a handler saw of one event.
struct Seen {
    quint32 message;
    qintptr wParam;
    qintptr lParam;
    int depth; // events still running around this one
};

} // namespace

class SubClassTest : public QObject {
    Q_OBJECT
private slots:
    void forwardedMessage_returnsExactlyWhatThePreviousProcedureReturned() {
        RecordingWindow window;
        const qintptr wide = sizeof(qintptr) == 8 ? qintptr(0x123456789AB) : qintptr(0x1234567);
        window.defaultAnswer = [&](quint32, qintptr, qintptr) { return wide; };
        iSubClass hook(window.procedures);
        connect(&hook, &iSubClass::GetWindowMessage, this,
                [&](qintptr& Result, qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam) {
                    Result = hook.CallDefaultWindowProc(cHwnd, Message, wParam, lParam);
                });
        hook.SetMsgHook(RecordingWindow::Handle);

        QCOMPARE(window.send(WM_PAINT, -wide, wide + 1), wide);
        QCOMPARE(window.defaultSaw.size(), size_t(1));
        QCOMPARE(window.defaultSaw[0].wParam, -wide);
        QCOMPARE(window.defaultSaw[0].lParam, wide + 1);
    }

    void handlerResult_isReturnedAndThePreviousProcedureNeverSeesTheMessage() {
        RecordingWindow window;
        iSubClass hook(window.procedures);
        connect(&hook, &iSubClass::GetWindowMessage, this,
                [](qintptr& Result, qintptr, quint32, qintptr, qintptr) { Result = 42; });
        hook.SetMsgHook(RecordingWindow::Handle);

        QCOMPARE(window.send(WM_PAINT), qintptr(42));
        QVERIFY(window.defaultSaw.empty());
    }

    void handlerThatLeavesResult_makesTheWindowProcedureReturnZero() {
        RecordingWindow window;
        window.defaultAnswer = [](quint32, qintptr, qintptr) { return qintptr(9); };
        iSubClass hook(window.procedures);
        int events = 0;
        connect(&hook, &iSubClass::GetWindowMessage, this,
                [&](qintptr&, qintptr, quint32, qintptr, qintptr) { ++events; });
        hook.SetMsgHook(RecordingWindow::Handle);

        QCOMPARE(window.send(WM_MOVING), qintptr(0));
        QCOMPARE(window.send(WM_MOVING), qintptr(0));
        QCOMPARE(events, 2);
        QVERIFY(window.defaultSaw.empty());
    }

    void hookWithoutHandler_letsMessagesTakeTheirNormalCourse() {
        RecordingWindow window;
        window.defaultAnswer = [](quint32, qintptr, qintptr) { return qintptr(9); };
        iSubClass hook(window.procedures);
        hook.SetMsgHook(RecordingWindow::Handle);
        QCOMPARE(window.send(WM_PAINT), qintptr(9));
    }

    void forwarding_isReentrant() {
        // The previous procedure answers a caption press by sending two more
        // messages to the window, as the system's move loop does.
        RecordingWindow window;
        window.defaultAnswer = [&](quint32 message, qintptr, qintptr) -> qintptr {
            if (message != WM_NCLBUTTONDOWN)
                return 100 + message;
            const qintptr moving = window.send(WM_MOVING, 0, 5);
            const qintptr exit = window.send(WM_EXITSIZEMOVE);
            return moving * 10000 + exit;
        };
        iSubClass hook(window.procedures);
        QList<Seen> seen;
        int depth = 0;
        connect(&hook, &iSubClass::GetWindowMessage, this,
                [&](qintptr& Result, qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam) {
                    seen.append({Message, wParam, lParam, depth});
                    ++depth;
                    Result = hook.CallDefaultWindowProc(cHwnd, Message, wParam, lParam);
                    --depth;
                });
        hook.SetMsgHook(RecordingWindow::Handle);

        const qintptr result = window.send(WM_NCLBUTTONDOWN, HTCAPTION, 0);

        QCOMPARE(result, qintptr((100 + WM_MOVING) * 10000 + 100 + WM_EXITSIZEMOVE));
        QCOMPARE(seen.size(), 3);
        QCOMPARE(seen[0].message, WM_NCLBUTTONDOWN);
        QCOMPARE(seen[0].depth, 0);
        QCOMPARE(seen[1].message, WM_MOVING);
        QCOMPARE(seen[1].lParam, qintptr(5));
        QCOMPARE(seen[1].depth, 1);
        QCOMPARE(seen[2].message, WM_EXITSIZEMOVE);
        QCOMPARE(seen[2].depth, 1);
    }

    void hooking_returnsThePreviousProcedureAndUnhookingPutsItBack() {
        RecordingWindow window;
        iSubClass hook(window.procedures);
        int events = 0;
        connect(&hook, &iSubClass::GetWindowMessage, this, [&](qintptr& Result, qintptr, quint32, qintptr, qintptr) {
            ++events;
            Result = 1;
        });

        const qintptr previous = hook.SetMsgHook(RecordingWindow::Handle);
        QCOMPARE(hook.hookedWindow(), RecordingWindow::Handle);
        window.send(WM_PAINT);
        window.procedures.callProcedure(previous, RecordingWindow::Handle, WM_NCACTIVATE, 1, 0);
        hook.SetMsgUnHook();
        window.send(WM_TIMER);

        QCOMPARE(events, 1);
        QCOMPARE(window.defaultMessages(), std::vector<quint32>({WM_NCACTIVATE, WM_TIMER}));
    }

    void destroyedHook_putsThePreviousProcedureBack() {
        RecordingWindow window;
        qintptr previous = 0;
        {
            iSubClass hook(window.procedures);
            connect(&hook, &iSubClass::GetWindowMessage, this,
                    [](qintptr& Result, qintptr, quint32, qintptr, qintptr) { Result = 1; });
            previous = hook.SetMsgHook(RecordingWindow::Handle);
        }
        // The window's procedure is the one from before the hook again.
        QCOMPARE(window.procedures.replace(RecordingWindow::Handle, {}), previous);
    }

    void directMode_raisesTheEventForEveryMessage() {
        RecordingWindow window;
        iSubClass hook(window.procedures, iSubClass::Mode::Direct);
        QList<quint32> events;
        connect(&hook, &iSubClass::GetWindowMessage, this,
                [&](qintptr&, qintptr, quint32 Message, qintptr, qintptr) { events.append(Message); });
        hook.SetMsgHook(RecordingWindow::Handle);
        for (quint32 message : {WM_NCACTIVATE, WM_DESTROY, WM_PAINT})
            window.send(message, 0, 0);
        QCOMPARE(events, QList<quint32>({WM_NCACTIVATE, WM_DESTROY, WM_PAINT}));
        QVERIFY(window.defaultSaw.empty());
    }

    void guardedMode_bypassesTheEventWhileTheGuardIsDown() {
        RecordingWindow window;
        window.defaultAnswer = [](quint32 message, qintptr, qintptr) { return qintptr(1000 + message); };
        iSubClass hook(window.procedures, iSubClass::Mode::Guarded);
        QList<quint32> events;
        connect(&hook, &iSubClass::GetWindowMessage, this,
                [&](qintptr& Result, qintptr, quint32 Message, qintptr, qintptr) {
                    events.append(Message);
                    Result = 7;
                });
        hook.SetMsgHook(RecordingWindow::Handle);

        QCOMPARE(window.send(WM_PAINT), qintptr(7));
        QCOMPARE(window.send(WM_NCACTIVATE, 0), qintptr(1000 + WM_NCACTIVATE));
        QCOMPARE(window.send(WM_PAINT), qintptr(1000 + WM_PAINT));
        QCOMPARE(window.send(WM_NCACTIVATE, 1), qintptr(7));
        QCOMPARE(window.send(WM_PAINT), qintptr(7));
        QCOMPARE(window.send(WM_DESTROY), qintptr(1000 + WM_DESTROY));
        QCOMPARE(window.send(WM_TIMER), qintptr(1000 + WM_TIMER));
        QCOMPARE(window.send(WM_HOOK_RESUME), qintptr(7));
        QCOMPARE(window.send(WM_NCACTIVATE, 2), qintptr(1000 + WM_NCACTIVATE));

        QCOMPARE(events, QList<quint32>({WM_PAINT, WM_NCACTIVATE, WM_PAINT, WM_HOOK_RESUME}));
        QCOMPARE(window.defaultMessages(),
                 std::vector<quint32>({WM_NCACTIVATE, WM_PAINT, WM_DESTROY, WM_TIMER, WM_NCACTIVATE}));
    }

    void hookingAgain_startsWithTheGuardUp() {
        RecordingWindow window;
        iSubClass hook(window.procedures, iSubClass::Mode::Guarded);
        int events = 0;
        connect(&hook, &iSubClass::GetWindowMessage, this, [&](qintptr& Result, qintptr, quint32, qintptr, qintptr) {
            ++events;
            Result = 1;
        });
        hook.SetMsgHook(RecordingWindow::Handle);
        window.send(WM_DESTROY);
        hook.SetMsgHook(RecordingWindow::Handle);
        window.send(WM_PAINT);
        QCOMPARE(events, 1);
        // The second hook replaced the first instead of chaining onto it.
        hook.SetMsgUnHook();
        window.send(WM_TIMER);
        QCOMPARE(window.defaultMessages(), std::vector<quint32>({WM_DESTROY, WM_TIMER}));
    }
};

QTEST_GUILESS_MAIN(SubClassTest)
#include "tst_isubclass.moc"
