#include "window/PosixWindowProcedures.h"

#include <QTest>

namespace {

constexpr qintptr WindowA = 11;
constexpr qintptr WindowB = 12;

// A procedure that names itself in the result and records the message.
WindowProcedure answering(qintptr answer, QList<quint32>* seen = nullptr) {
    return [answer, seen](qintptr, quint32 message, qintptr, qintptr) {
        if (seen)
            seen->append(message);
        return answer;
    };
}

} // namespace

class WindowProceduresTest : public QObject {
    Q_OBJECT
private slots:
    void dispatch_reachesTheDefaultProcedureWithItsArguments() {
        PosixWindowProcedures table;
        qintptr window = 0, wParam = 0, lParam = 0;
        quint32 message = 0;
        table.setDefaultProcedure(WindowA, [&](qintptr w, quint32 m, qintptr wp, qintptr lp) -> qintptr {
            window = w, message = m, wParam = wp, lParam = lp;
            return -5;
        });
        QCOMPARE(table.dispatch(WindowA, 0x216, -1, qintptr(0x7FFFFFF0)), qintptr(-5));
        QCOMPARE(window, WindowA);
        QCOMPARE(message, 0x216u);
        QCOMPARE(wParam, qintptr(-1));
        QCOMPARE(lParam, qintptr(0x7FFFFFF0));
    }

    void dispatch_toAnUnknownWindowAnswersZero() {
        PosixWindowProcedures table;
        table.setDefaultProcedure(WindowA, answering(3));
        QCOMPARE(table.dispatch(WindowB, 1, 0, 0), qintptr(0));
    }

    void replacing_chainsToThePreviousProcedureByToken() {
        PosixWindowProcedures table;
        QList<quint32> defaultSaw, hookSaw;
        table.setDefaultProcedure(WindowA, answering(1, &defaultSaw));
        const qintptr previous = table.replace(WindowA, answering(2, &hookSaw));
        QVERIFY(previous != 0);

        QCOMPARE(table.dispatch(WindowA, 9, 0, 0), qintptr(2));
        QCOMPARE(hookSaw, QList<quint32>({9}));
        QVERIFY(defaultSaw.isEmpty());
        QCOMPARE(table.callProcedure(previous, WindowA, 10, 0, 0), qintptr(1));
        QCOMPARE(defaultSaw, QList<quint32>({10}));
    }

    void replacingAWindowWithoutProcedure_givesTokenZero() {
        PosixWindowProcedures table;
        QCOMPARE(table.replace(WindowA, answering(2)), qintptr(0));
        QCOMPARE(table.callProcedure(0, WindowA, 1, 0, 0), qintptr(0));
    }

    void restoring_putsThePreviousProcedureBack() {
        PosixWindowProcedures table;
        table.setDefaultProcedure(WindowA, answering(1));
        const qintptr first = table.replace(WindowA, answering(2));
        const qintptr second = table.replace(WindowA, answering(3));
        QCOMPARE(table.dispatch(WindowA, 1, 0, 0), qintptr(3));
        table.restore(WindowA, second);
        QCOMPARE(table.dispatch(WindowA, 1, 0, 0), qintptr(2));
        table.restore(WindowA, first);
        QCOMPARE(table.dispatch(WindowA, 1, 0, 0), qintptr(1));
    }

    void windows_keepTheirOwnProcedures() {
        PosixWindowProcedures table;
        table.setDefaultProcedure(WindowA, answering(1));
        table.setDefaultProcedure(WindowB, answering(2));
        table.replace(WindowA, answering(3));
        QCOMPARE(table.dispatch(WindowA, 1, 0, 0), qintptr(3));
        QCOMPARE(table.dispatch(WindowB, 1, 0, 0), qintptr(2));
    }

    void forgottenWindow_receivesNothing() {
        PosixWindowProcedures table;
        QList<quint32> seen;
        table.setDefaultProcedure(WindowA, answering(1, &seen));
        const qintptr previous = table.replace(WindowA, answering(2, &seen));
        table.setDefaultProcedure(WindowB, answering(4));
        table.forget(WindowA);
        QCOMPARE(table.dispatch(WindowA, 1, 0, 0), qintptr(0));
        QCOMPARE(table.callProcedure(previous, WindowA, 1, 0, 0), qintptr(0));
        QVERIFY(seen.isEmpty());
        QCOMPARE(table.dispatch(WindowB, 1, 0, 0), qintptr(4));
    }

    void procedureThatUnhooksItself_runsToItsEnd() {
        PosixWindowProcedures table;
        table.setDefaultProcedure(WindowA, answering(1));
        qintptr previous = 0;
        // The captured text lives in the procedure, which the restore drops from the table.
        previous = table.replace(
            WindowA, [&table, &previous, text = QString(100, u'x')](qintptr window, quint32, qintptr, qintptr) {
                table.restore(window, previous);
                return qintptr(text.size());
            });
        QCOMPARE(table.dispatch(WindowA, 1, 0, 0), qintptr(100));
        QCOMPARE(table.dispatch(WindowA, 1, 0, 0), qintptr(1));
    }

    void dispatchFunction_usesTheSystemTable() {
        QCOMPARE(&systemWindowProcedures(), static_cast<WindowProcedures*>(&posixWindowProcedures()));
        posixWindowProcedures().setDefaultProcedure(WindowA, answering(8));
        QCOMPARE(dispatch(WindowA, 1, 0, 0), qintptr(8));
        posixWindowProcedures().forget(WindowA);
    }
};

QTEST_GUILESS_MAIN(WindowProceduresTest)
#include "tst_windowprocedures.moc"
