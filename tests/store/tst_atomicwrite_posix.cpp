#include "store/SettingsStore.h"
#include "tests/support/TestSupport.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// Each written note carries its number and a length derived from it, so a torn
// write cannot pass for a whole one.
QString note(int i) {
    return QString("第%1条\n").arg(i) + QString(i % 37 + 1, u'x') + ' ';
}
} // namespace

class AtomicWriteTest : public QObject {
    Q_OBJECT
private slots:
    void killedWriter_leavesTheOldOrTheNewFile();
};

void AtomicWriteTest::killedWriter_leavesTheOldOrTheNewFile() {
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    QVERIFY(writeAll(file, defaultSettingsBytes()));
    const QList<QByteArray> defaultLines = defaultSettingsBytes().split('\n');
    const QRegularExpression written(QStringLiteral("^第(\\d+)条\n(x+) $"));
    QRandomGenerator rng(7);
    QSet<QString> seen;
    for (int round = 0; round < 40; ++round) {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            SettingsStore store(file);
            for (int i = round * 100000;; ++i)
                store.setValue("Main", "3", note(i));
        }
        usleep(1000 + rng.bounded(15000));
        QCOMPARE(kill(child, SIGKILL), 0);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);

        const QList<QByteArray> lines = readAll(file).split('\n');
        QCOMPARE(lines.size(), defaultLines.size());
        for (int i = 0; i < lines.size(); ++i) {
            if (!defaultLines[i].startsWith("3="))
                QCOMPARE(lines[i], defaultLines[i]);
        }
        const QString value = SettingsStore(file).value("Main", "3");
        if (!value.isEmpty()) {
            const QRegularExpressionMatch m = written.match(value);
            QVERIFY2(m.hasMatch(), qPrintable(value));
            QCOMPARE(m.captured(2).size(), m.captured(1).toInt() % 37 + 1);
        }
        seen.insert(value);
    }
    QVERIFY2(seen.size() > 3, "the writer barely wrote");
}

QTEST_GUILESS_MAIN(AtomicWriteTest)
#include "tst_atomicwrite_posix.moc"
