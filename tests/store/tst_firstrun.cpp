#include "store/AppPaths.h"
#include "store/FirstRun.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QtTest>

namespace {
QStringList entries(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Unsorted);
    names.sort(Qt::CaseSensitive);
    return names;
}
} // namespace

class FirstRunTest : public QObject {
    Q_OBJECT
private slots:
    void resources_holdTheDefaultFileAndTheSound();
    void firstStart_writesBothFilesExactly();
    void existingSettings_touchNothing();
    void unwritableFolder_failsNamingThePathAndLeavesNoFile();
    void folderInPlaceOfTheSettings_isNotWrittenOver();
};

void FirstRunTest::resources_holdTheDefaultFileAndTheSound() {
    QCOMPARE(loadResource("INI", 102), defaultSettingsBytes());
    QVERIFY(loadResource("MP3", 103).startsWith("ID3\x03"));
    QVERIFY(loadResource("MP3", 102).isEmpty());
}

void FirstRunTest::firstStart_writesBothFilesExactly() {
    TempFolder dir;
    const AppPaths paths = pathsInFolder(dir.path(""));
    QCOMPARE(QFileInfo(paths.settingsFile).fileName(), QString("AT.ini"));
    QCOMPARE(QFileInfo(paths.soundFile).fileName(), QString("DI.mp3"));
    // A longer leftover sound must not keep its tail.
    QVERIFY(writeAll(paths.soundFile, QByteArray(400000, 'z')));
    QString error;
    QVERIFY(WriteFirstRunFiles(paths, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(readAll(paths.settingsFile), defaultSettingsBytes());
    QCOMPARE(readAll(paths.soundFile), loadResource("MP3", 103));
}

void FirstRunTest::existingSettings_touchNothing() {
    TempFolder dir;
    const AppPaths paths = pathsInFolder(dir.path(""));
    QVERIFY(writeAll(paths.settingsFile, "[Main]\r\nS=1\r\n"));
    QVERIFY(WriteFirstRunFiles(paths));
    QCOMPARE(readAll(paths.settingsFile), QByteArray("[Main]\r\nS=1\r\n"));
    QVERIFY(!QFile::exists(paths.soundFile)); // a deleted sound is not written again
}

void FirstRunTest::unwritableFolder_failsNamingThePathAndLeavesNoFile() {
    TempFolder dir;
    QVERIFY(writeAll(dir.path("blocker"), "x"));
    const AppPaths paths = pathsInFolder(dir.path("blocker/jotlark"));
    QString error;
    QVERIFY(!WriteFirstRunFiles(paths, &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(paths.soundFile)), qPrintable(error));
    QCOMPARE(entries(dir.path("")), QStringList("blocker"));

    // The sound cannot be replaced: the settings file is not written either.
    const AppPaths denied = pathsInFolder(dir.path(""));
    QVERIFY(writeAll(denied.soundFile, "old"));
    QFile(denied.soundFile).setPermissions(QFile::ReadOwner);
    QVERIFY(!WriteFirstRunFiles(denied, &error));
    QVERIFY2(error.startsWith("无法写入提醒声音文件 " + QDir::toNativeSeparators(denied.soundFile)), qPrintable(error));
    QVERIFY(!QFile::exists(denied.settingsFile));
    QFile(denied.soundFile).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

void FirstRunTest::folderInPlaceOfTheSettings_isNotWrittenOver() {
    TempFolder dir;
    const AppPaths paths = pathsInFolder(dir.path(""));
    QVERIFY(QDir().mkdir(paths.settingsFile));
    QString error;
    QVERIFY(WriteFirstRunFiles(paths, &error));
    QVERIFY(error.isEmpty());
    QVERIFY(QFileInfo(paths.settingsFile).isDir());
    QCOMPARE(entries(dir.path("")), QStringList("AT.ini")); // not even the sound
}

QTEST_GUILESS_MAIN(FirstRunTest)
#include "tst_firstrun.moc"
