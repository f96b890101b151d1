#include "reminders/sound/QtAlarmPlayer.h"
#include "tests/support/TestSupport.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QTest>

namespace {

const QString Alias = QStringLiteral("OpenFile");

// Runs the event loop until the player reports a final state, for at most ms.
bool settles(const QMediaPlayer* player, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        const auto status = player->mediaStatus();
        if (status == QMediaPlayer::InvalidMedia || status == QMediaPlayer::EndOfMedia ||
            player->error() != QMediaPlayer::NoError)
            return true;
        QTest::qWait(20);
    }
    return false;
}

} // namespace

class QtAlarmPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void missingFile_isRefusedAndEveryCallReturns() {
        TempFolder folder;
        QtAlarmPlayer player;
        QVERIFY(!player.open(folder.path("none.mp3"), Alias));
        QVERIFY(player.mediaPlayer(Alias) == nullptr);
        player.play(Alias);
        player.close(Alias);
        // The alias was never taken.
        QVERIFY(player.mediaPlayer(Alias) == nullptr);
    }

    void brokenFile_neitherCrashesNorHangs() {
        TempFolder folder;
        const QString file = folder.path("broken.mp3");
        QVERIFY(writeAll(file, QByteArray("this is not an mp3 file at all").repeated(50)));
        QtAlarmPlayer player;
        QVERIFY(player.open(file, Alias));
        player.play(Alias);
        QVERIFY(player.mediaPlayer(Alias) != nullptr);
        QVERIFY2(settles(player.mediaPlayer(Alias), 10000), "the player never reported the broken file");
        player.close(Alias);
        QVERIFY(player.mediaPlayer(Alias) == nullptr);
    }

    void alias_isRefusedWhileInUseAndFreedByClose() {
        TempFolder folder;
        const QString file = folder.path("a.mp3");
        QVERIFY(writeAll(file, QByteArray("x")));
        QtAlarmPlayer player;
        QVERIFY(player.open(file, Alias));
        const QMediaPlayer* first = player.mediaPlayer(Alias);
        QVERIFY(!player.open(file, Alias));
        QCOMPARE(player.mediaPlayer(Alias), first);
        QVERIFY(player.open(file, QStringLiteral("Other")));
        player.close(Alias);
        QVERIFY(player.mediaPlayer(Alias) == nullptr);
        QVERIFY(player.mediaPlayer(QStringLiteral("Other")) != nullptr);
        QVERIFY(player.open(file, Alias));
    }

    void prepared_isTakenByTheNextOpenOfItsFileOrReleased() {
        TempFolder folder;
        const QString file = folder.path("a.mp3");
        const QString other = folder.path("b.mp3");
        QVERIFY(writeAll(file, QByteArray("x")) && writeAll(other, QByteArray("x")));
        QtAlarmPlayer player;
        player.prepare(folder.path("none.mp3"));
        QVERIFY(!player.hasPrepared());
        player.prepare(file);
        QVERIFY(player.hasPrepared());
        QVERIFY(player.open(other, Alias));
        QVERIFY(player.hasPrepared());
        QVERIFY(player.open(file, QStringLiteral("Other")));
        QVERIFY(!player.hasPrepared());
        QCOMPARE(player.mediaPlayer(QStringLiteral("Other"))->source(), QUrl::fromLocalFile(file));
        player.prepare(file); // a sound is open: nothing to prepare for
        QVERIFY(!player.hasPrepared());
        player.close(Alias);
        player.close(QStringLiteral("Other"));
        player.prepare(file);
        player.release();
        QVERIFY(!player.hasPrepared());
    }

    void embeddedAlarmSound_plays() {
        if (QMediaDevices::audioOutputs().isEmpty())
            QSKIP("No audio output on this machine: the embedded sound cannot be played.");
        QFile resource(QStringLiteral(":/MP3/103"));
        QVERIFY(resource.open(QIODevice::ReadOnly));
        TempFolder folder;
        const QString file = folder.path("DI.mp3");
        QVERIFY(writeAll(file, resource.readAll()));

        QtAlarmPlayer player;
        QVERIFY(player.open(file, Alias));
        player.play(Alias);
        // play returns at once: the sound is still playing when the call is back.
        const QMediaPlayer* media = player.mediaPlayer(Alias);
        QCOMPARE(media->playbackState(), QMediaPlayer::PlayingState);
        QTRY_VERIFY_WITH_TIMEOUT(media->playbackState() == QMediaPlayer::PlayingState ||
                                     media->mediaStatus() == QMediaPlayer::EndOfMedia,
                                 10000);
        QCOMPARE(media->error(), QMediaPlayer::NoError);
        player.close(Alias);
        QVERIFY(player.mediaPlayer(Alias) == nullptr);
    }
};

QTEST_GUILESS_MAIN(QtAlarmPlayerTest)
#include "tst_alarmplayer.moc"
