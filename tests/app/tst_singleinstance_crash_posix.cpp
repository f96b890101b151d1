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

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
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

    // Set-ups that once kept the board out: a file system without flock, another
    // user's /tmp/jotlark-<uid> in a session without XDG_RUNTIME_DIR, and that with
    // a settings folder that cannot be written. The board starts, a second start
    // raises it, and both see the same lock.
    void nothingKeepsTheBoardOut_data() {
        QTest::addColumn<int>("lockError");
        QTest::addColumn<bool>("foreignTmp");
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("flock: ENOLCK") << ENOLCK << false << false;
        QTest::newRow("flock: EINVAL") << EINVAL << false << false;
        QTest::newRow("flock: EOPNOTSUPP") << EOPNOTSUPP << false << false;
        QTest::newRow("another user's /tmp/jotlark-<uid>") << 0 << true << false;
        QTest::newRow("that, and a read-only settings folder") << 0 << true << true;
    }
    void nothingKeepsTheBoardOut() {
        QFETCH(int, lockError);
        QFETCH(bool, foreignTmp);
        QFETCH(bool, readOnlyFolder);
        TempFolder folder;
        const QString settings = folder.path("config/AT.ini");
        QVERIFY(QDir().mkpath(folder.path("config")) && QDir().mkpath(folder.path("tmp")));
        QVERIFY(::chmod(QFile::encodeName(folder.path("")).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder.path("tmp")).constData(), 01777) == 0);
        const QByteArray saved[] = {qgetenv("XDG_RUNTIME_DIR"), qgetenv("XDG_CACHE_HOME"), qgetenv("TMPDIR")};
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", saved[0]);
            qputenv("XDG_CACHE_HOME", saved[1]);
            qputenv("TMPDIR", saved[2]);
            setLockFault({}, 0);
        });
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_CACHE_HOME", QFile::encodeName(folder.path("cache")));
        qputenv("TMPDIR", QFile::encodeName(folder.path("tmp")));
        setLockFault(folder.path("config"), lockError);
        if (foreignTmp) {
            QString why;
            const QString other = otherUser(&why);
            if (other.isEmpty())
                QSKIP(qPrintable(why));
            bool ok = false;
            shell(folder.path("tmp"), QString("runuser -u %1 -- mkdir -m 777 jotlark-%2").arg(other).arg(geteuid()),
                  &ok);
            QVERIFY(ok);
        }
        const QByteArray config = QFile::encodeName(folder.path("config"));
        if (readOnlyFolder && ::mount("tmpfs", config.constData(), "tmpfs", MS_RDONLY, "size=16k") != 0)
            QSKIP(qPrintable(QStringLiteral("cannot mount a read-only tmpfs here: %1").arg(strerror(errno))));
        const auto unmount = qScopeGuard([&] {
            if (readOnlyFolder)
                umount2(config.constData(), MNT_DETACH);
        });

        SingleInstance board(settings);
        QSignalSpy raised(&board, &SingleInstance::raiseRequested);
        QCOMPARE(board.claim(), SingleInstance::Claim::First);
        QVERIFY(!QFile::exists(settings + ".lock") || lockError == 0);
        SingleInstance second(settings);
        QCOMPARE(second.claim(), SingleInstance::Claim::AlreadyRunning);
        QVERIFY(raised.wait(5000));
        QVERIFY(!board.serverName().startsWith(folder.path("tmp")));
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
