#include "store/AppPaths.h"

#include <QSet>
#include <QtTest>

namespace {

// The file system as a set of paths that exist; copies and folders it cannot make
// fail with the reason "拒绝访问".
struct FakeFiles {
    QSet<QString> files;
    bool protectedWritable = false;
    bool copyFails = false;
    QStringList copied;
    LocationProbe probe() {
        return {[this](const QString& p) { return files.contains(p); },
                [this](const QString&) { return protectedWritable; }, [](const QString&, QString*) { return true; },
                [this](const QString& from, const QString& to, QString* reason) {
                    if (copyFails) {
                        *reason = QStringLiteral("拒绝访问");
                        return false;
                    }
                    copied << QFileInfo(from).fileName();
                    files.insert(to);
                    return true;
                }};
    }
};

const QString C = QStringLiteral("/c");
const QString VS = QStringLiteral("/vs");

} // namespace

class LocationTest : public QObject {
    Q_OBJECT
private slots:
    void rule_data() {
        QTest::addColumn<QStringList>("existing"); // file names, "c/" or "vs/" before them
        QTest::addColumn<bool>("protectedWritable");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("copied");
        const QStringList none;
        QTest::newRow("elevated, first start") << none << true << C << none;
        QTest::newRow("elevated, existing file") << QStringList{"c/AT.ini", "c/DI.mp3"} << true << C << none;
        QTest::newRow("per-user copy wins") << QStringList{"vs/AT.ini", "c/AT.ini"} << true << VS << none;
        QTest::newRow("standard user, first start") << none << false << VS << none;
        QTest::newRow("standard user, per-user copy") << QStringList{"vs/AT.ini", "c/AT.ini"} << false << VS << none;
        QTest::newRow("standard user, seeded from C")
            << QStringList{"c/AT.ini", "c/DI.mp3"} << false << VS << QStringList{"DI.mp3", "AT.ini"};
        QTest::newRow("seed keeps an existing sound copy")
            << QStringList{"c/AT.ini", "c/DI.mp3", "vs/DI.mp3"} << false << VS << QStringList{"AT.ini"};
    }
    void rule() {
        QFETCH(QStringList, existing);
        QFETCH(bool, protectedWritable);
        QFETCH(QString, chosen);
        QFETCH(QStringList, copied);
        FakeFiles fs;
        for (const QString& f : existing)
            fs.files.insert(QLatin1Char('/') + f);
        fs.protectedWritable = protectedWritable;
        AppPaths paths;
        QVERIFY(chooseProtectedLocation(C, VS, fs.probe(), &paths));
        QCOMPARE(paths.settingsFile, chosen + QStringLiteral("/AT.ini"));
        QCOMPARE(paths.soundFile, chosen + QStringLiteral("/DI.mp3"));
        QCOMPARE(fs.copied, copied);
    }

    void failedSeed_namesTheCopyAndTheReason() {
        FakeFiles fs;
        fs.files = {C + "/AT.ini"};
        fs.copyFails = true;
        AppPaths paths;
        QString error;
        QVERIFY(!chooseProtectedLocation(C, VS, fs.probe(), &paths, &error));
        QCOMPARE(error, QStringLiteral("无法保存设置文件 %1：拒绝访问").arg(QDir::toNativeSeparators(VS + "/AT.ini")));
    }
};

QTEST_GUILESS_MAIN(LocationTest)
#include "tst_location.moc"
