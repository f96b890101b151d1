#include "reminders/sound/MciAlarmPlayer.h"

#include <QSet>
#include <QTest>

namespace {

// Records the command strings and answers like the system: an alias that is
// already open cannot be opened again (error 289), other commands succeed.
struct FakeMci {
    QList<QByteArray> sent;
    QSet<QByteArray> open;
    unsigned long operator()(const QByteArray& command) {
        sent.append(command);
        const QList<QByteArray> words = command.split(' ');
        if (words.first() == "open") {
            const QByteArray alias = words.at(words.indexOf("alias") + 1);
            if (open.contains(alias))
                return 289;
            open.insert(alias);
        } else if (words.first() == "close") {
            open.remove(words.at(1));
        }
        return 0;
    }
};

} // namespace

class MciPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void commands_data() {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("open") << MciAlarmPlayer::openCommand(QStringLiteral("C:\\DI.mp3"), QStringLiteral("OpenFile"))
                              << QByteArray("open \" C:\\DI.mp3 \" alias OpenFile type MPEGVideo");
        QTest::newRow("play") << MciAlarmPlayer::playCommand(QStringLiteral("OpenFile")) << QByteArray("play OpenFile");
        QTest::newRow("close") << MciAlarmPlayer::closeCommand(QStringLiteral("OpenFile"))
                               << QByteArray("close OpenFile");
    }
    void commands() {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, expected);
        QCOMPARE(command, expected);
    }

    // A second open of the alias is refused and harmless; close frees it again.
    void alias_isRefusedWhileOpenAndFreedByClose() {
        FakeMci mci;
        MciAlarmPlayer player(std::ref(mci));
        const QString file = QStringLiteral("C:\\DI.mp3");
        const QString alias = QStringLiteral("OpenFile");
        QVERIFY(player.open(file, alias));
        player.play(alias);
        QVERIFY(!player.open(file, alias));
        player.close(alias);
        QVERIFY(player.open(file, alias));
        QCOMPARE(mci.sent.size(), 5);
        QCOMPARE(mci.sent.at(3), QByteArray("close OpenFile"));
    }
};

QTEST_GUILESS_MAIN(MciPlayerTest)
#include "tst_mciplayer.moc"
