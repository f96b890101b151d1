#include "app/SingleInstance.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

class SingleInstanceCrashTest : public QObject {
    Q_OBJECT
private slots:
    void aBoardKilledWhileRunning_leavesNoLockBehind()
    {
        TempFolder folder;
        const QString file = folder.path("AT.ini");
        int ready[2];
        QCOMPARE(pipe(ready), 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            SingleInstance board(file);
            const char claimed = board.claim() == SingleInstance::Claim::First ? '1' : '0';
            (void)!write(ready[1], &claimed, 1);
            for (;;)
                pause(); // killed here, holding the lock and the socket
        }
        char claimed = 0;
        QCOMPARE(read(ready[0], &claimed, 1), ssize_t(1));
        QCOMPARE(claimed, '1');
        QCOMPARE(kill(child, SIGKILL), 0);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        close(ready[0]);
        close(ready[1]);
        QVERIFY(QFile::exists(file + ".lock")); // left behind by the killed board

        SingleInstance next(file);
        QSignalSpy raised(&next, &SingleInstance::raiseRequested);
        QCOMPARE(next.claim(), SingleInstance::Claim::First);
        // The socket the killed board left is taken over too.
        SingleInstance third(file);
        QCOMPARE(third.claim(), SingleInstance::Claim::AlreadyRunning);
        QVERIFY(raised.wait(5000));
    }
};

QTEST_GUILESS_MAIN(SingleInstanceCrashTest)
#include "tst_singleinstance_crash_posix.moc"
