#include "app/SingleInstance.h"
#include "tests/support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondStart_isRefusedAndAsksTheFirstToComeToTheFront() {
        SKIP_ON_WINDOWS("the raise request over the local socket does not arrive under Wine; checked on Linux only");
        TempFolder folder;
        SingleInstance first(folder.path("AT.ini"));
        QSignalSpy raised(&first, &SingleInstance::raiseRequested);
        QCOMPARE(first.claim(), SingleInstance::Claim::First);
        QVERIFY(QFile::exists(first.lockFilePath()));
        QCOMPARE(QFileInfo(first.lockFilePath()).absolutePath(), QFileInfo(folder.path("AT.ini")).absolutePath());

        SingleInstance second(folder.path("AT.ini"));
        QCOMPARE(second.claim(), SingleInstance::Claim::AlreadyRunning);
        QVERIFY(raised.wait(5000)); // returns as soon as the request arrives
        QCOMPARE(raised.size(), 1);
    }

    void theSameFileByAnotherPath_isTheSameInstance() {
        SKIP_ON_WINDOWS("QFile::link makes a .lnk shortcut on Windows, not a second path to the same file");
        TempFolder folder;
        QVERIFY(QDir().mkdir(folder.path("cfg")));
        QVERIFY(QFile::link(folder.path("cfg"), folder.path("link")));
        SingleInstance first(folder.path("cfg/AT.ini"));
        QCOMPARE(first.claim(), SingleInstance::Claim::First);
        SingleInstance dotted(folder.path("cfg/../cfg/AT.ini"));
        QCOMPARE(dotted.serverName(), first.serverName());
        QCOMPARE(dotted.claim(), SingleInstance::Claim::AlreadyRunning);
        SingleInstance linked(folder.path("link/AT.ini"));
        QCOMPARE(linked.serverName(), first.serverName());
    }

    void otherSettingsFiles_runSideBySide() {
        TempFolder a;
        TempFolder b;
        SingleInstance first(a.path("AT.ini"));
        SingleInstance other(b.path("AT.ini"));
        QVERIFY(first.serverName() != other.serverName());
        QCOMPARE(first.claim(), SingleInstance::Claim::First);
        QCOMPARE(other.claim(), SingleInstance::Claim::First);
    }

    void aLongRunningBoard_keepsItsLock() {
        TempFolder folder;
        SingleInstance first(folder.path("AT.ini"));
        QCOMPARE(first.claim(), SingleInstance::Claim::First);
        // The lock file of a board started a day ago: its owner still runs.
        QFile lock(first.lockFilePath());
        QVERIFY(lock.open(QIODevice::ReadOnly));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        lock.close();
        SingleInstance second(folder.path("AT.ini"));
        // Refused where the raise request cannot arrive (Wine): never a second board.
        QVERIFY(second.claim() != SingleInstance::Claim::First);
    }

    void aClosedBoard_releasesTheFile() {
        SKIP_ON_WINDOWS("the raise request over the local socket does not arrive under Wine; checked on Linux only");
        TempFolder folder;
        {
            SingleInstance first(folder.path("AT.ini"));
            QCOMPARE(first.claim(), SingleInstance::Claim::First);
        }
        QVERIFY(!QFile::exists(folder.path("AT.ini.lock")));
        SingleInstance next(folder.path("AT.ini"));
        QSignalSpy raised(&next, &SingleInstance::raiseRequested);
        QCOMPARE(next.claim(), SingleInstance::Claim::First);
        SingleInstance third(folder.path("AT.ini"));
        QCOMPARE(third.claim(), SingleInstance::Claim::AlreadyRunning);
        QVERIFY(raised.wait(5000));
    }

    void raising_restoresAndActivatesTheBoard() {
        QWidget board;
        QWidget other;
        board.show();
        other.show();
        board.showMinimized();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        bringWindowsToFront();
        QVERIFY(!board.isMinimized());
        QVERIFY(board.isVisible());
    }
};

QTEST_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
