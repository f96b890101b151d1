#include "store/AppPaths.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QtTest>

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

    for (const QByteArray& ignored : {QByteArray("relative/dir"), QByteArray()}) {
        qputenv("XDG_CONFIG_HOME", ignored);
        QVERIFY(platformPaths(&paths));
        QCOMPARE(paths.settingsFile, dir.path("home/.config/jotlark/AT.ini"));
    }
    QVERIFY(QFileInfo(dir.path("home/.config/jotlark")).isDir());
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
