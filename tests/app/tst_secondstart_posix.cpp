// The real program started twice on one settings folder.
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

class SecondStartTest : public QObject {
    Q_OBJECT
private slots:
    void secondStart_endsAtOnceAndLeavesTheFirstBoardRunning()
    {
        TempFolder home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", home.path(""));
        const QString settings = home.path("jotlark/AT.ini");

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral(JOTLARK_EXECUTABLE));
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(settings + ".lock") && QFile::exists(settings), 10000);
        const QByteArray written = readAll(settings);

        QProcess second;
        second.setProcessEnvironment(env);
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
        next.setProcessEnvironment(env);
        next.start(QStringLiteral(JOTLARK_EXECUTABLE));
        QVERIFY(next.waitForStarted());
        qint64 owner = 0;
        QString host;
        QString app;
        QTRY_VERIFY_WITH_TIMEOUT(QLockFile(settings + ".lock").getLockInfo(&owner, &host, &app) &&
                                     owner == next.processId(),
                                 10000);
        QCOMPARE(next.state(), QProcess::Running);
        next.kill();
        QVERIFY(next.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(SecondStartTest)
#include "tst_secondstart_posix.moc"
