#include "store/AtomicFile.h"
#include "store/Profile.h"
#include "store/SettingsStore.h"
#include "tests/support/TestSupport.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// Each written note carries its number and a length derived from it, so a torn
// write cannot pass for a whole one.
QString note(int i) {
    return QString("第%1条\n").arg(i) + QString(i % 37 + 1, u'x') + ' ';
}
QStringList entries(const TempFolder& dir) {
    return QDir(dir.path("")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}

bool setTimes(const QString& file, long nanoseconds) {
    const timespec times[2] = {{1700000000, nanoseconds}, {1700000000, nanoseconds}};
    return utimensat(AT_FDCWD, QFile::encodeName(file).constData(), times, 0) == 0;
}

// One failed save: false, a message naming the file and the reason, the file as
// it was and nothing else in its folder.
void verifyNothingReplaced(const TempFolder& dir, SettingsStore& store, const QString& reason) {
    QVERIFY(!store.setValue("Main", "3", QString(20000, u'长')));
    QVERIFY2(store.lastError().contains(store.file()) && store.lastError().contains(reason),
             qPrintable(store.lastError()));
    QCOMPARE(readAll(store.file()), defaultSettingsBytes());
    QCOMPARE(entries(dir), QStringList{"AT.ini"});
}
} // namespace

class AtomicWriteTest : public QObject {
    Q_OBJECT
private slots:
    void killedWriter_leavesTheOldOrTheNewFile();
    void fullDisk_replacesNothingAndSaysWhy_data();
    void fullDisk_replacesNothingAndSaysWhy();
    void tinyFileSystem_fullDiskIsReported();
    void leftovers_onlyThoseOfEndedSavesAreRemoved();
    void anotherWriter_isSeenThroughTheCache_data();
    void anotherWriter_isSeenThroughTheCache();
    void save_keepsWhatTheFileIs_data();
    void save_keepsWhatTheFileIs();
};

// Each row prepares AT.ini in the folder with shell commands; what `observe`
// prints must be the same after a save as before it, and the save must reach the
// file. With asOther, the other user checks that the file is still theirs to use.
void AtomicWriteTest::save_keepsWhatTheFileIs_data() {
    QTest::addColumn<QString>("prepare");
    QTest::addColumn<QString>("observe");
    QTest::addColumn<bool>("asOther");
    QTest::newRow("link chain into a dotfiles folder")
        << "mkdir dots && mv AT.ini dots/ && ln -s dots/AT.ini mid && ln -s \"$PWD/mid\" AT.ini"
        << "readlink AT.ini mid; ls -A . dots" << false;
    QTest::newRow("owner, group and mode, saved by root") << "chown {other}:users AT.ini && chmod 0640 AT.ini"
                                                          << "stat -c '%U %G %a' AT.ini" << false;
    QTest::newRow("ACL entries") << "setfacl -m u:{other}:rw,g:users:r,m::rw AT.ini"
                                 << "getfacl -c AT.ini" << false;
    QTest::newRow("extended attributes") << "setfattr -n user.origin -v dotfiles AT.ini"
                                         << "getfattr -d AT.ini" << false;
    QTest::newRow("the user saves after root saved") << "chown {other} AT.ini && chmod 0600 AT.ini"
                                                     << "stat -c '%U %a' AT.ini" << true;
}

void AtomicWriteTest::save_keepsWhatTheFileIs() {
    QFETCH(QString, prepare);
    QFETCH(QString, observe);
    QFETCH(bool, asOther);
    QString why;
    const QString other = otherUser(&why);
    if (other.isEmpty() && (prepare.contains("{other}") || asOther))
        QSKIP(qPrintable(why));
    TempFolder dir;
    const QString folder = dir.path("");
    QVERIFY(writeAll(dir.path("AT.ini"), defaultSettingsBytes()));
    bool ok = false;
    shell(folder, "chmod 755 . && " + QString(prepare).replace("{other}", other), &ok); // the other user may enter
    if (!ok)
        QSKIP("this file system or machine does not offer what the row needs (see the warning)");
    const QByteArray before = shell(folder, observe);
    QVERIFY(SettingsStore(dir.path("AT.ini")).setValue("Main", "3", "新"));
    if (asOther) {
        // The file is still the user's to read and write.
        shell(folder, QString("runuser -u %1 -- test -r AT.ini -a -w AT.ini").arg(other), &ok);
        QVERIFY(ok);
    }
    QCOMPARE(shell(folder, observe), before);
    QCOMPARE(SettingsStore(dir.path("AT.ini")).value("Main", "3"), QStringLiteral("新"));
}

void AtomicWriteTest::fullDisk_replacesNothingAndSaysWhy_data() {
    QTest::addColumn<qint64>("after");
    QTest::addColumn<int>("error");
    QTest::newRow("nothing written") << qint64(0) << ENOSPC;
    QTest::newRow("one byte") << qint64(1) << ENOSPC;
    QTest::newRow("a block") << qint64(4096) << ENOSPC;
    QTest::newRow("all but the last byte") << qint64(defaultSettingsBytes().size() + 39999) << ENOSPC;
    QTest::newRow("quota") << qint64(8192) << EDQUOT;
}

void AtomicWriteTest::fullDisk_replacesNothingAndSaysWhy() {
    QFETCH(qint64, after);
    QFETCH(int, error);
    TempFolder dir;
    QVERIFY(writeAll(dir.path("AT.ini"), defaultSettingsBytes()));
    SettingsStore store(dir.path("AT.ini"));
    setWriteFault({after, error});
    verifyNothingReplaced(dir, store, error == ENOSPC ? QStringLiteral("磁盘空间不足") : QStringLiteral("配额"));
    setWriteFault({});
    QVERIFY(store.setValue("Main", "3", "ok"));
    QCOMPARE(store.value("Main", "3"), QStringLiteral("ok"));
}

void AtomicWriteTest::tinyFileSystem_fullDiskIsReported() {
    if (geteuid() != 0)
        QSKIP("mounting a tmpfs needs root");
    TempFolder dir;
    if (mount("tmpfs", QFile::encodeName(dir.path("")).constData(), "tmpfs", 0, "size=16k") != 0)
        QSKIP(qPrintable(QStringLiteral("cannot mount a tmpfs here: %1").arg(strerror(errno))));
    const auto unmount = qScopeGuard([&] { umount2(QFile::encodeName(dir.path("")).constData(), MNT_DETACH); });
    QVERIFY(writeAll(dir.path("AT.ini"), defaultSettingsBytes()));
    SettingsStore store(dir.path("AT.ini"));
    verifyNothingReplaced(dir, store, QStringLiteral("磁盘空间不足"));
}

void AtomicWriteTest::leftovers_onlyThoseOfEndedSavesAreRemoved() {
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    QVERIFY(waitpid(ended, nullptr, 0) == ended);
    TempFolder dir;
    QVERIFY(writeAll(dir.path("AT.ini"), defaultSettingsBytes()));
    const QString dead = QString("AT.ini.jotlark%1.a1B2c3").arg(ended);
    const QString live = QString("AT.ini.jotlark%1.a1B2c3").arg(getpid());
    const QStringList others = {"AT.ini.backup", "AT.ini.jotlark1.toolong", "AT.ini.lock", "other.ini.jotlark7.abcdef"};
    for (const QString& name : QStringList{dead, live} + others)
        QVERIFY(writeAll(dir.path(name), "x"));
    SettingsStore store(dir.path("AT.ini"));
    QStringList kept = QStringList{"AT.ini", live} + others;
    kept.sort();
    QCOMPARE(entries(dir), kept);
}

void AtomicWriteTest::anotherWriter_isSeenThroughTheCache_data() {
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("same size and second, in place") << true;
    QTest::newRow("renamed over, same times") << false;
}

void AtomicWriteTest::anotherWriter_isSeenThroughTheCache() {
    QFETCH(bool, inPlace);
    profile::setSettleTime(0);
    const auto settle = qScopeGuard([] { profile::setSettleTime(50'000'000); });
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    QVERIFY(writeAll(file, "[Main]\r\nS=1\r\nX=5\r\n"));
    QVERIFY(setTimes(file, 100));
    QCOMPARE(GetIniValue("Main", "S", file), QStringLiteral("1"));
    const qint64 parses = profile::fileParses();
    QCOMPARE(GetIniValue("main", "X", file) + GetIniValue("Main", "S", file), QStringLiteral("51"));
    QCOMPARE(profile::fileParses(), parses); // kept

    if (inPlace) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::ReadWrite) && out.write("[Main]\r\nS=2\r\n") == 13);
        out.close();
        QVERIFY(setTimes(file, 200));
    } else {
        QVERIFY(writeAll(dir.path("new"), "[Main]\r\nS=2\r\nX=5\r\n"));
        QVERIFY(setTimes(dir.path("new"), 100));
        QCOMPARE(std::rename(QFile::encodeName(dir.path("new")).constData(), QFile::encodeName(file).constData()), 0);
    }
    QCOMPARE(GetIniValue("Main", "S", file), QStringLiteral("2"));
    // A write of our own drops what was kept.
    QVERIFY(SettingsStore(file).setValue("Main", "S", "3"));
    QCOMPARE(GetIniValue("Main", "S", file), QStringLiteral("3"));
}

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
    SettingsStore atStart(file); // removes what the killed saves left
    QCOMPARE(entries(dir), QStringList{"AT.ini"});
}

QTEST_GUILESS_MAIN(AtomicWriteTest)
#include "tst_atomicwrite_posix.moc"
