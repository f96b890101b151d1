#include "app/InstanceLock.h"
#include "app/SingleInstance.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Lock files and sockets left behind, and where the socket lives.
class SingleInstanceCrashTest : public QObject {
    Q_OBJECT
private slots:
    void aBoardKilledWhileRunning_leavesNoLockBehind() {
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

    // Lock files no running board holds: empty (a power cut), from another host,
    // naming a process that is gone or an unrelated live one, or not a lock at all.
    void leftoverLockFiles_neverKeepABoardOut_data() {
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("another host") << QByteArray("4242\njotlark\nelsewhere\n");
        QTest::newRow("a process that is gone") << "2147483000\njotlark\n" + host + '\n';
        QTest::newRow("an unrelated live process") << "1\ninit\n" + host + '\n';
        QTest::newRow("garbage") << QByteArray("\xff\xfe\0\0not a lock", 14);
    }
    void leftoverLockFiles_neverKeepABoardOut() {
        QFETCH(QByteArray, content);
        TempFolder folder;
        QVERIFY(writeAll(folder.path("AT.ini.lock"), content));
        {
            SingleInstance board(folder.path("AT.ini"));
            QCOMPARE(board.claim(), SingleInstance::Claim::First);
            QVERIFY(readAll(board.lockFilePath()).startsWith(QByteArray::number(QCoreApplication::applicationPid())));
            SingleInstance second(folder.path("AT.ini"));
            QCOMPARE(second.claim(), SingleInstance::Claim::AlreadyRunning);
        }
        QVERIFY(!QFile::exists(folder.path("AT.ini.lock")));
    }

    void socket_isInAPrivateFolderAndGoneAfterExit_data() {
        QTest::addColumn<int>("runtimeMode");
        QTest::addColumn<bool>("used");
        QTest::newRow("private runtime folder") << 0700 << true;
        QTest::newRow("runtime folder open to others") << 0755 << false;
    }
    void socket_isInAPrivateFolderAndGoneAfterExit() {
        QFETCH(int, runtimeMode);
        QFETCH(bool, used);
        TempFolder folder;
        const QString runtime = folder.path("run");
        QVERIFY(QDir().mkdir(runtime));
        QVERIFY(::chmod(QFile::encodeName(runtime).constData(), mode_t(runtimeMode)) == 0);
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        QString socketPath;
        {
            SingleInstance board(folder.path("AT.ini"));
            QCOMPARE(board.claim(), SingleInstance::Claim::First);
            socketPath = board.serverName();
            QFileInfo socket(socketPath);
            QVERIFY(socket.exists());
            QCOMPARE(socket.absolutePath() == QFileInfo(runtime).absoluteFilePath(), used);
            QFileInfo place(socket.absolutePath());
            QCOMPARE(place.ownerId(), uint(geteuid()));
            QCOMPARE(int(place.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                                QFile::ReadOther | QFile::WriteOther | QFile::ExeOther)),
                     0);
        }
        qputenv("XDG_RUNTIME_DIR", saved);
        QVERIFY(!QFileInfo::exists(socketPath));
    }

    void aHeldLockWithoutAnswer_refusesWithAMessage() {
        TempFolder folder;
        InstanceLock::Result result{};
        QString error;
        const auto held = InstanceLock::tryTake(folder.path("AT.ini.lock"), &result, &error);
        QCOMPARE(result, InstanceLock::Result::Taken);
        SingleInstance board(folder.path("AT.ini"));
        QCOMPARE(board.claim(), SingleInstance::Claim::Refused);
        QVERIFY(board.refusal().contains(folder.path("AT.ini")));
    }
};

QTEST_GUILESS_MAIN(SingleInstanceCrashTest)
#include "tst_singleinstance_crash_posix.moc"
