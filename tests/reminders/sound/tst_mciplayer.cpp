#include "reminders/sound/MciAlarmPlayer.h"

#include <QSet>
#include <QTest>

namespace {

// Records the command strings and answers like the system: an alias that is
// already open cannot be opened again (error 289), other commands succeed.
struct FakeMci {
    QList<QByteArray> sent; // wide commands as UTF-8 after "W "
    QSet<QByteArray> open;
    QList<unsigned long> openResults; // answers to the next opens, before the alias rule
    unsigned long operator()(const QByteArray& command) {
        sent.append(command);
        return answer(command);
    }
    unsigned long wide(const QString& command) {
        sent.append(QByteArray("W ") + command.toUtf8());
        return answer(command.toUtf8());
    }
    unsigned long answer(const QByteArray& command) {
        const QList<QByteArray> words = command.split(' ');
        if (words.first() == "open") {
            if (!openResults.isEmpty() && openResults.first() != 0)
                return openResults.takeFirst();
            if (!openResults.isEmpty())
                openResults.removeFirst();
            const QByteArray alias = words.at(words.indexOf("alias") + 1);
            if (open.contains(alias))
                return 289;
            open.insert(alias);
        } else if (words.first() == "close") {
            open.remove(words.at(1));
        }
        return 0;
    }
    MciAlarmPlayer player() {
        return MciAlarmPlayer(std::ref(*this), [this](const QString& c) { return wide(c); });
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
        QTest::newRow("second open") << MciAlarmPlayer::plainOpenCommand(QStringLiteral("C:\\Users\\张 三\\DI.mp3"),
                                                                         QStringLiteral("OpenFile"))
                                            .toUtf8()
                                     << QByteArray("open \"C:\\Users\\张 三\\DI.mp3\" alias OpenFile type MPEGVideo");
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
        MciAlarmPlayer player = mci.player();
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

    // The command as always first; when the system refuses the file, once more with
    // the bare path through the wide function. A busy alias is no reason to retry.
    void open_retriesWithThePlainPath_data() {
        QTest::addColumn<QList<unsigned long>>("answers");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("sent");
        QTest::newRow("first open works") << QList<unsigned long>{0} << true << 1;
        QTest::newRow("277, then the plain path") << QList<unsigned long>{277, 0} << true << 2;
        QTest::newRow("both refused") << QList<unsigned long>{277, 275} << false << 2;
        QTest::newRow("alias in use") << QList<unsigned long>{289} << false << 1;
    }
    void open_retriesWithThePlainPath() {
        QFETCH(QList<unsigned long>, answers);
        FakeMci mci;
        mci.openResults = answers;
        MciAlarmPlayer player = mci.player();
        QTEST(player.open(QStringLiteral("C:\\DI.mp3"), QStringLiteral("OpenFile")), "opened");
        QTEST(int(mci.sent.size()), "sent");
        if (answers.size() > 1)
            QCOMPARE(mci.sent.at(1), QByteArray("W open \"C:\\DI.mp3\" alias OpenFile type MPEGVideo"));
    }
};

QTEST_GUILESS_MAIN(MciPlayerTest)
#include "tst_mciplayer.moc"
