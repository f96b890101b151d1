#include "reminders/sound/LazyAlarmPlayer.h"
#include "tests/support/FakeServices.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>

class LazyAlarmPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void realPlayer_isMadeOnFirstPrepareOrOpenOnlyAndGetsEveryCall() {
        int made = 0;
        FakePlayer* fake = nullptr;
        LazyAlarmPlayer player([&] {
            ++made;
            auto real = std::make_unique<FakePlayer>();
            fake = real.get();
            return real;
        });
        player.play(QStringLiteral("A"));
        player.close(QStringLiteral("A"));
        player.release();
        QCOMPARE(made, 0);

        player.prepare(QStringLiteral("/s.mp3"));
        QVERIFY(player.open(QStringLiteral("/s.mp3"), QStringLiteral("A")));
        player.play(QStringLiteral("A"));
        player.close(QStringLiteral("A"));
        player.release();
        QCOMPARE(made, 1);
        QCOMPARE(fake->prepared, QStringList{"/s.mp3"});
        QCOMPARE(fake->calls, QStringList({"open A /s.mp3", "play A", "close A"}));
        QCOMPARE(fake->released, 1);
    }

    void module_isLoadedFromTheFirstPathThatHasIt_orEveryCallIsSilent() {
        const QString file = QCoreApplication::applicationFilePath(); // any existing file
        LazyAlarmPlayer missing(LazyAlarmPlayer::fromModule({QStringLiteral("/nonexistent/jotlark_qtplayer")}));
        QVERIFY(!missing.open(file, QStringLiteral("A")));
        missing.play(QStringLiteral("A"));
        missing.close(QStringLiteral("A"));
        QVERIFY(missing.loaded());

        // Named as the program names it: folder and base name, no prefix or suffix.
        const QString module = QFileInfo(QStringLiteral(JOTLARK_PLAYER_MODULE)).absolutePath() + "/jotlark_qtplayer";
        LazyAlarmPlayer real(LazyAlarmPlayer::fromModule({QStringLiteral("/nonexistent/jotlark_qtplayer"), module}));
        QVERIFY(real.open(file, QStringLiteral("A")));
        QVERIFY(!real.open(file, QStringLiteral("A")));
        real.close(QStringLiteral("A"));
    }
};

QTEST_GUILESS_MAIN(LazyAlarmPlayerTest)
#include "tst_lazyalarmplayer.moc"
