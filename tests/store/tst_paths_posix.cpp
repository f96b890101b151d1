#include "store/AppPaths.h"
#include "store/FirstRun.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QtTest>

#include <sys/stat.h>

namespace {
int modeOf(const QString& path) {
    struct stat info {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}
} // namespace

class PathsTest : public QObject {
    Q_OBJECT
private slots:
    void settingsFolder_followsXdgAndIsCreated();
    void settingsFolder_thatCannotBeCreated_isReported();
};

void PathsTest::settingsFolder_followsXdgAndIsCreated() {
    TempFolder dir;
    qputenv("HOME", dir.path("home").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.path("xdg").toLocal8Bit());
    AppPaths paths;
    QVERIFY(platformPaths(&paths));
    QCOMPARE(paths.settingsFile, dir.path("xdg/jotlark/AT.ini"));
    QCOMPARE(paths.soundFile, dir.path("xdg/jotlark/DI.mp3"));
    QVERIFY(QFileInfo(dir.path("xdg/jotlark")).isDir());
    // Private when made here, the notes too; a folder that exists keeps its mode.
    QCOMPARE(modeOf(dir.path("xdg/jotlark")), 0700);
    QVERIFY(WriteFirstRunFiles(paths));
    QCOMPARE(modeOf(paths.settingsFile), 0600);
    QVERIFY(QDir().mkpath(dir.path("home/.config/jotlark")));
    QVERIFY(chmod(QFile::encodeName(dir.path("home/.config/jotlark")).constData(), 0755) == 0);

    for (const QByteArray& ignored : {QByteArray("relative/dir"), QByteArray()}) {
        qputenv("XDG_CONFIG_HOME", ignored);
        QVERIFY(platformPaths(&paths));
        QCOMPARE(paths.settingsFile, dir.path("home/.config/jotlark/AT.ini"));
    }
    QCOMPARE(modeOf(dir.path("home/.config/jotlark")), 0755);
}

void PathsTest::settingsFolder_thatCannotBeCreated_isReported() {
    TempFolder dir;
    QVERIFY(writeAll(dir.path("file"), "x"));
    qputenv("XDG_CONFIG_HOME", dir.path("file").toLocal8Bit());
    AppPaths paths;
    QString error;
    QVERIFY(!platformPaths(&paths, &error));
    QVERIFY2(error.contains(dir.path("file/jotlark")), qPrintable(error));
}

QTEST_GUILESS_MAIN(PathsTest)
#include "tst_paths_posix.moc"
