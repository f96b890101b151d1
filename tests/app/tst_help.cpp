#include "app/Help.h"
#include "store/AppPaths.h"
#include "store/SettingsStore.h"
#include "tests/support/FakeAutostart.h"
#include "tests/support/FakeServices.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>

namespace {
struct HelpFixture {
    TempFolder folder;
    AppPaths paths = pathsInFolder(folder.path("cfg"));
    SettingsStore store{paths.settingsFile};
    ScriptedMessageBoxes boxes;
    FakeClock clock{QDateTime::currentDateTime()};
    FakePlayer player;
    FakeAutostart autostart;
    int mainWindowShown = 0;
    Help help{Services{store, boxes, clock, player, paths.soundFile, [](int) {}, autostart}, paths,
              [this] { ++mainWindowShown; }};
    HelpFixture() { QDir().mkpath(folder.path("cfg")); }
};
} // namespace

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void firstStart_writesBothFilesAndShowsThePage() {
        HelpFixture f;
        QCOMPARE(f.help.load(), Help::LoadResult::Show);
        QCOMPARE(readAll(f.paths.settingsFile), defaultSettingsBytes());
        QVERIFY(readAll(f.paths.soundFile).startsWith("ID3\x03"));
        QVERIFY(f.boxes.shown.isEmpty());
    }

    void switchedOff_skipsThePage() {
        HelpFixture f;
        QByteArray s = defaultSettingsBytes();
        s.replace("S=0", "S=1");
        writeAll(f.paths.settingsFile, s);
        QCOMPARE(f.help.load(), Help::LoadResult::Skip);
        QVERIFY(!QFile::exists(f.paths.soundFile)); // an existing settings file means no first run
    }

    void enteringWithBothBoxes_storesS() {
        HelpFixture f;
        QCOMPARE(f.help.load(), Help::LoadResult::Show);
        f.help.Check1->click();
        f.help.Check2->click();
        QCOMPARE(f.mainWindowShown, 1);
        QCOMPARE(f.store.GetIniValue("Main", "S"), QStringLiteral("1"));
    }

    void enteringWithTheSecondBoxAlone_leavesS() {
        HelpFixture f;
        QCOMPARE(f.help.load(), Help::LoadResult::Show);
        f.help.Check2->click();
        QCOMPARE(f.mainWindowShown, 1);
        QCOMPARE(readAll(f.paths.settingsFile), defaultSettingsBytes());
    }

    void unwritableFolder_failsWithOneClearMessage() {
        TempFolder folder;
        writeAll(folder.path("blocker"), "a file where the folder should be");
        AppPaths paths = pathsInFolder(folder.path("blocker"));
        SettingsStore store(paths.settingsFile);
        ScriptedMessageBoxes boxes;
        FakeClock clock{QDateTime::currentDateTime()};
        FakePlayer player;
        FakeAutostart autostart;
        Help help(Services{store, boxes, clock, player, paths.soundFile, [](int) {}, autostart}, paths, [] {});
        QCOMPARE(help.load(), Help::LoadResult::FirstRunFailed);
        QCOMPARE(boxes.shown.size(), 1);
        QCOMPARE(boxes.shown[0].style, Box::Error);
        QVERIFY(boxes.shown[0].text.contains(QDir::toNativeSeparators(folder.path("blocker"))));
    }

    void layout_matchesTheDesign() {
        HelpFixture f;
        QCOMPARE(f.help.size(), QSize(304, 411));
        QCOMPARE(f.help.Check2->text(), QStringLiteral("立即进入Jotlark"));
        QCOMPARE(f.help.Label2[6]->geometry(), QRect(64, 312, 201, 33));
        QCOMPARE(f.help.Label4[2]->text(), QStringLiteral("右击标题栏可以弹出菜单"));
    }
};

QTEST_MAIN(HelpTest)
#include "tst_help.moc"
