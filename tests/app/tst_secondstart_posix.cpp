// The real program started twice on one settings folder.
#include "app/SingleInstance.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTest>

#include <csignal>

namespace {

// A settings folder of its own, and the program started on it.
struct Home {
    TempFolder folder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString settings = folder.path("jotlark/AT.ini");

    Home() { env.insert("XDG_CONFIG_HOME", folder.path("")); }

    // Starts a board; true once it has written its settings file and holds the lock.
    bool start(QProcess& board) const {
        board.setProcessEnvironment(env);
        board.start(QStringLiteral(JOTLARK_EXECUTABLE));
        return board.waitForStarted() &&
               QTest::qWaitFor([&] { return QFile::exists(settings + ".lock") && QFile::exists(settings); }, 30000);
    }
};

} // namespace

class SecondStartTest : public QObject {
    Q_OBJECT
private slots:
    void secondStart_endsAtOnceAndLeavesTheFirstBoardRunning() {
        const Home home;
        const QString& settings = home.settings;
        QProcess first;
        QVERIFY(home.start(first));
        const QByteArray written = readAll(settings);

        QProcess second;
        second.setProcessEnvironment(home.env);
        second.start(QStringLiteral(JOTLARK_EXECUTABLE));
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        QCOMPARE(first.state(), QProcess::Running);
        QCOMPARE(readAll(settings), written);
        first.kill();
        QVERIFY(first.waitForFinished(10000));

        // The killed board's lock does not keep the next start out.
        QProcess next;
        next.setProcessEnvironment(home.env);
        next.start(QStringLiteral(JOTLARK_EXECUTABLE));
        QVERIFY(next.waitForStarted());
        qint64 owner = 0;
        QString host;
        QString app;
        QTRY_VERIFY_WITH_TIMEOUT(
            QLockFile(settings + ".lock").getLockInfo(&owner, &host, &app) && owner == next.processId(), 10000);
        QCOMPARE(next.state(), QProcess::Running);
        next.kill();
        QVERIFY(next.waitForFinished(10000));
    }

    // A logout, Ctrl+C or `kill` ends the board through main(): nothing of it is
    // left behind to be taken over by the next start.
    void terminationSignal_endsCleanly_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void terminationSignal_endsCleanly() {
        QFETCH(int, signal);
        const Home home;
        const QString& settings = home.settings;
        QProcess board;
        QVERIFY(home.start(board));
        const QString name = SingleInstance(settings).serverName();
        const QString socketFile = QDir::isAbsolutePath(name) ? name : QDir::tempPath() + '/' + name;
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socketFile), 10000);

        QCOMPARE(::kill(pid_t(board.processId()), signal), 0);
        QVERIFY(board.waitForFinished(10000));
        QCOMPARE(board.exitStatus(), QProcess::NormalExit);
        QCOMPARE(board.exitCode(), 0);
        QVERIFY(!QFile::exists(settings + ".lock"));
        QVERIFY(!QFileInfo::exists(socketFile));
    }

    // The X server going away under a running board: Qt ends the process; the
    // position is stored first, and the lock file and the socket are gone.
    void lostDisplay_savesThePositionAndLeavesNothingBehind() {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty())
            QSKIP("Xvfb or xdotool is not installed");
        QTemporaryFile displayFile;
        QVERIFY(displayFile.open());
        QProcess xvfb;
        xvfb.start("sh", {"-c", "exec Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>\"$0\"",
                          displayFile.fileName()});
        QVERIFY(xvfb.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(readAll(displayFile.fileName()).endsWith('\n'), 10000);
        Home home;
        home.env.insert("DISPLAY", ":" + readAll(displayFile.fileName()).trimmed());
        home.env.insert("QT_QPA_PLATFORM", "xcb");
        // libxkbcommon-x11 hands strndup a buffer without a terminator, which
        // strndup allows but the sanitizer's strict string checks report.
        if (home.env.contains("ASAN_OPTIONS"))
            home.env.insert("ASAN_OPTIONS",
                            home.env.value("ASAN_OPTIONS").replace("strict_string_checks=1", "strict_string_checks=0"));
        QVERIFY(QDir().mkpath(QFileInfo(home.settings).path()));
        QVERIFY(writeAll(home.settings, "[Main]\r\nS=1\r\nX=0\r\nY=0\r\n")); // centred: 516, 240 px
        QProcess board;
        QVERIFY(home.start(board));
        const QString socketFile = SingleInstance(home.settings).serverName();
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socketFile), 10000);

        QProcess shown; // the board is on the screen, placed
        shown.setProcessEnvironment(home.env);
        shown.start("xdotool", {"search", "--sync", "--onlyvisible", "--name", "^Jotlark$"});
        QVERIFY(shown.waitForFinished(20000) && shown.exitCode() == 0);

        xvfb.kill();
        QVERIFY(xvfb.waitForFinished(10000));
        QVERIFY(board.waitForFinished(10000));
        QVERIFY(board.exitStatus() != QProcess::NormalExit || board.exitCode() != 0);
        QCOMPARE(readAll(home.settings), QByteArray("[Main]\r\nS=1\r\nX=7740\r\nY=3600\r\n"));
        QVERIFY(!QFile::exists(home.settings + ".lock"));
        QVERIFY(!QFileInfo::exists(socketFile));
    }
};

QTEST_GUILESS_MAIN(SecondStartTest)
#include "tst_secondstart_posix.moc"
