#include "window/MessageGuard.h"
#include "window/WindowMessages.h"

#include <QTest>

namespace {

constexpr quint32 WM_PAINT = 0x000F;

struct Step {
    quint32 message;
    qintptr wParam;
};

QList<bool> admitted(const QList<Step>& steps) {
    MessageGuard guard;
    QList<bool> result;
    for (const Step& step : steps)
        result.append(guard.admit(step.message, step.wParam));
    return result;
}

} // namespace

class MessageGuardTest : public QObject {
    Q_OBJECT
private slots:
    void freshGuard_admitsEveryOrdinaryMessage() {
        QCOMPARE(admitted({{WM_PAINT, 0}, {WM_MOVING, 0}, {WM_EXITSIZEMOVE, 5}}), QList<bool>({true, true, true}));
    }

    void destroy_shutsTheEventOffFromItselfOn() {
        QCOMPARE(admitted({{WM_PAINT, 0}, {WM_DESTROY, 0}, {WM_PAINT, 0}, {WM_MOVING, 1}}),
                 QList<bool>({true, false, false, false}));
    }

    void inactiveWindow_bypassesUntilActivatedAgain() {
        QCOMPARE(admitted({{WM_NCACTIVATE, 0}, {WM_PAINT, 0}, {WM_NCACTIVATE, 1}, {WM_PAINT, 0}}),
                 QList<bool>({false, false, true, true}));
    }

    void resumeMessage_admitsItselfAndWhatFollows() {
        QCOMPARE(admitted({{WM_DESTROY, 0}, {WM_HOOK_RESUME, 0}, {WM_PAINT, 0}}), QList<bool>({false, true, true}));
        QCOMPARE(admitted({{WM_NCACTIVATE, 0}, {WM_HOOK_RESUME, 7}}), QList<bool>({false, true}));
    }

    void activationWithAnyOtherValue_alsoStopsTheEvent() {
        QCOMPARE(admitted({{WM_NCACTIVATE, 2}, {WM_PAINT, 0}}), QList<bool>({false, false}));
        QCOMPARE(admitted({{WM_NCACTIVATE, -1}, {WM_PAINT, 0}}), QList<bool>({false, false}));
        // Only the low bits equal 1: the flag keeps the whole pointer-sized value.
        if constexpr (sizeof(qintptr) == 8)
            QCOMPARE(admitted({{WM_NCACTIVATE, qintptr(0x100000001)}}), QList<bool>({false}));
    }

    void wParamOfOtherMessages_leavesTheFlag() {
        MessageGuard guard;
        guard.admit(WM_NCACTIVATE, 0);
        QVERIFY(!guard.admit(WM_PAINT, 1));
        QCOMPARE(guard.flag(), qintptr(0));
    }
};

QTEST_GUILESS_MAIN(MessageGuardTest)
#include "tst_messageguard.moc"
