#include "reminders/DateTimeText.h"
#include "reminders/ReminderSchedule.h"
#include "tests/reminders/ReminderFakes.h"
#include "tests/support/TestSupport.h"

#include <QTest>

#include <ctime>
#include <memory>
#include <time.h>

namespace {

const QString SoundFile = QStringLiteral("/sounds/DI.mp3");
const QString Tail = QStringLiteral("\r\n温馨提醒：您设置的提醒时间已到^ ^请不要耽误喽!");

QDateTime at(int h, int m, int s, int ms = 0, int day = 1) {
    return QDateTime(QDate(2024, 5, day), QTime(h, m, s, ms));
}

// A schedule with its fakes, the clock starting at 2024/5/1 8:29:59.
struct Rig {
    FakeStore store;
    FakePlayer player;
    FakeClock clock{at(8, 29, 59)};
    FakeHost host;
    std::unique_ptr<ReminderSchedule> schedule =
        std::make_unique<ReminderSchedule>(store, player, clock, host, SoundFile);

    void tickAt(const QDateTime& when) {
        clock.set(when);
        schedule->slotTick();
    }
    // A restart: a new schedule loads what the file holds.
    void restart() {
        schedule = std::make_unique<ReminderSchedule>(store, player, clock, host, SoundFile);
        schedule->loadReminders();
    }
};

QDateTime on(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

// Whether the local zone is one with summer time changing on the last Sundays
// of March and October at 2:00 and 3:00 (Central European), as main sets it.
bool centralEuropeanTime() {
    return !QDateTime(QDate(2024, 3, 31), QTime(2, 30)).isValid();
}

} // namespace

class ReminderScheduleTest : public QObject {
    Q_OBJECT

private slots:
    void loading_armsSlotsWithStoredKeysOnly() {
        Rig rig;
        for (int slot = 1; slot <= 6; ++slot) {
            QCOMPARE(rig.schedule->D1(slot), QStringLiteral("D"));
            QVERIFY(!rig.schedule->isArmed(slot));
        }
        rig.store.put(2, QString(), QString());
        rig.store.put(3, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        rig.store.put(5, QString(), QStringLiteral("8:30:00"));
        rig.schedule->loadReminders();

        QCOMPARE(rig.schedule->D1(3), QStringLiteral("2024/5/1 8:30:00"));
        QVERIFY(rig.schedule->isArmed(3));
        QCOMPARE(rig.schedule->P1(3).interval(), 1000);
        // Both keys empty, or missing altogether: one space, not armed.
        QCOMPARE(rig.schedule->D1(2), QStringLiteral(" "));
        QVERIFY(!rig.schedule->isArmed(2));
        QCOMPARE(rig.schedule->D1(1), QStringLiteral(" "));
        QVERIFY(!rig.schedule->isArmed(1));
        // A time without a date is armed, and can never match.
        QCOMPARE(rig.schedule->D1(5), QStringLiteral(" 8:30:00"));
        QVERIFY(rig.schedule->isArmed(5));
        QVERIFY(rig.store.writes.isEmpty());
    }

    void dueSecond_firesOnceClearsTheReminderAndStopsTheSoundAfterTheMessage() {
        Rig rig;
        rig.store.put(3, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        rig.host.notes[3] = QStringLiteral("开会");
        rig.schedule->loadReminders();

        rig.tickAt(at(8, 29, 59, 600));
        QVERIFY(rig.host.shown.isEmpty());
        QVERIFY(rig.player.calls.isEmpty());

        bool soundOnDuringMessage = false;
        bool armedDuringMessage = true;
        rig.host.onShow = [&](const QString&) {
            soundOnDuringMessage = rig.player.isOpen(QStringLiteral("OpenFile"));
            armedDuringMessage = rig.schedule->isArmed(3);
            QCOMPARE(rig.store.writes, QStringList({"3/D=", "3/T="}));
        };
        rig.tickAt(at(8, 30, 0, 300));

        QCOMPARE(rig.host.shown, QStringList{QStringLiteral("提醒内容：开会") + Tail});
        QVERIFY(soundOnDuringMessage);
        QVERIFY(!armedDuringMessage);
        QCOMPARE(rig.player.calls, QStringList({"open OpenFile /sounds/DI.mp3", "play OpenFile", "close OpenFile"}));
        // The keys stay in the file, empty; memory is back to "not set".
        QVERIFY(rig.store.has(3, "D") && rig.store.has(3, "T"));
        QCOMPARE(rig.store.get(3, "D"), QString());
        QCOMPARE(rig.store.get(3, "T"), QString());
        QCOMPARE(rig.schedule->D1(3), QStringLiteral("D"));
        QVERIFY(!rig.schedule->isArmed(3));

        rig.schedule->armSlot(3); // even a timer forced on finds nothing to fire
        rig.tickAt(at(8, 30, 0, 800));
        rig.tickAt(at(8, 30, 1));
        QCOMPARE(rig.host.shown.size(), 1);
    }

    // Times as the editor used to store them name the same time of day.
    void olderTimeForms_ringInTheirSecond_data() {
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("rings");
        QTest::newRow("clock's form") << QStringLiteral("8:05:00") << true;
        QTest::newRow("two digits each") << QStringLiteral("08:05:00") << true;
        QTest::newRow("one digit each") << QStringLiteral("8:5:00") << true;
        QTest::newRow("mixed") << QStringLiteral("08:5:00") << true;
        QTest::newRow("another minute") << QStringLiteral("08:06:00") << false;
        QTest::newRow("not a time") << QStringLiteral("8:5") << false;
        QTest::newRow("out of range") << QStringLiteral("8:65:00") << false;
    }
    void olderTimeForms_ringInTheirSecond() {
        QFETCH(QString, time);
        QFETCH(bool, rings);
        Rig rig;
        rig.clock.set(at(8, 4, 59));
        rig.store.put(2, QStringLiteral("2024/5/1"), time);
        rig.schedule->loadReminders();
        rig.tickAt(at(8, 4, 59, 500));
        QVERIFY(rig.host.shown.isEmpty());
        rig.tickAt(at(8, 5, 0, 300));
        QCOMPARE(rig.host.shown.size(), rings ? 1 : 0);
    }

    // Days the clock is set forward or back, in a time zone set for the test; the
    // ticks are instants (UTC). A skipped time rings at the first moment after the
    // gap, a time shown twice at its first occurrence only.
    void clockChanges_ringOnce_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QList<QDateTime>>("ticks");
        QTest::addColumn<int>("ringsAt"); // the tick that rings
        const auto utc = [](int month, int day, int h, int m, int s) {
            return QDateTime(QDate(2026, month, day), QTime(h, m, s), Qt::UTC);
        };
        QTest::newRow("New York, skipped 2:30")
            << QByteArray("America/New_York") << "2026/3/8"
            << "2:30:00" << QList{utc(3, 8, 6, 59, 59), utc(3, 8, 7, 0, 0), utc(3, 8, 7, 30, 0)} << 1;
        QTest::newRow("Berlin, skipped 2:30") << QByteArray("Europe/Berlin") << "2026/3/29"
                                              << "2:30:00" << QList{utc(3, 29, 0, 59, 59), utc(3, 29, 1, 0, 0)} << 1;
        QTest::newRow("New York, 1:30 twice")
            << QByteArray("America/New_York") << "2026/11/1"
            << "1:30:00"
            << QList{utc(11, 1, 5, 29, 59), utc(11, 1, 5, 30, 0), utc(11, 1, 6, 29, 59), utc(11, 1, 6, 30, 0)} << 1;
        QTest::newRow("Berlin, 2:30 twice") << QByteArray("Europe/Berlin") << "2026/10/25"
                                            << "2:30:00" << QList{utc(10, 25, 0, 30, 0), utc(10, 25, 1, 30, 0)} << 0;
    }
    void clockChanges_ringOnce() {
        QFETCH(QByteArray, zone);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QList<QDateTime>, ticks);
        QFETCH(int, ringsAt);
        const ScopedTimeZone inZone(zone);
        if (!localZoneHasSummerTime())
            QSKIP("this system does not take the time zone from TZ");
        Rig rig;
        rig.clock.set(ticks.first().addSecs(-60).toLocalTime());
        rig.schedule->assignArmedText(1, date + u' ' + time);
        for (int i = 0; i < ticks.size(); ++i) {
            rig.tickAt(ticks[i].toLocalTime());
            QCOMPARE(rig.host.shown.size(), i < ringsAt ? 0 : 1);
        }
    }

    void alarmMessage_givesAnEmptyContentLineForAnEmptySlot() {
        QCOMPARE(ReminderSchedule::alarmText(QString()), QStringLiteral("提醒内容：") + Tail);

        Rig rig;
        rig.store.put(6, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        rig.schedule->loadReminders();
        rig.tickAt(at(8, 30, 0));
        QCOMPARE(rig.host.shown,
                 QStringList{QStringLiteral("提醒内容：\r\n温馨提醒：您设置的提醒时间已到^ ^请不要耽误喽!")});
    }

    void alarm_withoutSound_stillShowsTheMessageAndCloses() {
        Rig rig;
        rig.player.open(QStringLiteral("elsewhere"), QStringLiteral("OpenFile")); // the alias cannot be had
        rig.player.calls.clear();
        rig.store.put(1, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        rig.schedule->loadReminders();
        rig.tickAt(at(8, 30, 0));
        QCOMPARE(rig.host.shown.size(), 1);
        QVERIFY(rig.player.calls.contains("close OpenFile"));
    }

    // Missed while the program was not running: rings once at the first tick, is cleared.
    void pastReminder_atStart_ringsOnceAtTheFirstTickAndIsCleared() {
        Rig rig;
        rig.clock.set(at(9, 0, 0));
        rig.host.notes[4] = QStringLiteral("missed");
        rig.store.put(4, QStringLiteral("2024/4/28"), QStringLiteral("8:30:00"));
        rig.store.put(5, QString(), QStringLiteral("8:30:00")); // names no moment: never rings
        rig.store.put(6, QStringLiteral("2024/5/1"), QStringLiteral("24:00:00"));
        rig.schedule->loadReminders();
        QVERIFY(rig.schedule->isArmed(4));
        for (int s = 1; s <= 5; ++s)
            rig.tickAt(at(9, 0, s));
        QCOMPARE(rig.host.shown, QStringList{QStringLiteral("提醒内容：missed") + Tail});
        QCOMPARE(rig.player.calls, QStringList({"open OpenFile " + SoundFile, "play OpenFile", "close OpenFile"}));
        QVERIFY(!rig.schedule->isArmed(4));
        QCOMPARE(rig.store.writes, QStringList({"4/D=", "4/T="}));
        QVERIFY(rig.schedule->isArmed(5));
        QVERIFY(rig.schedule->isArmed(6));
    }

    void clearingAFiredReminderFails_isReportedAfterTheAlarm() {
        Rig rig;
        rig.store.put(1, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        rig.schedule->loadReminders();
        rig.store.failAfter = 0;
        rig.tickAt(at(8, 30, 0));
        QCOMPARE(rig.host.shown.size(), 1);
        QCOMPARE(rig.host.failures, QStringList{QStringLiteral("AT.ini: disk full")});
        QCOMPARE(rig.store.writes, QStringList{"1/D="}); // T is not tried after D failed
        QVERIFY(!rig.schedule->isArmed(1));
    }

    void stoppedSlot_isRearmedByAnyLaterAssignmentAndFiresWithEmptyContent() {
        Rig rig;
        rig.clock.set(at(9, 0, 0));
        rig.store.put(2, QStringLiteral("2024/5/1"), QStringLiteral("10:00:00"));
        rig.schedule->loadReminders();
        rig.host.notes.remove(2);
        rig.schedule->disarmSlot(2); // the note was deleted
        QVERIFY(!rig.schedule->isArmed(2));
        QCOMPARE(rig.schedule->D1(2), QStringLiteral("2024/5/1 10:00:00"));

        rig.clock.set(at(9, 30, 0));
        rig.schedule->assignArmedText(5, QStringLiteral("D")); // any slot, any text
        QVERIFY(rig.schedule->isArmed(2));
        QVERIFY(!rig.schedule->isArmed(5));

        rig.tickAt(at(10, 0, 0, 100));
        QCOMPARE(rig.host.shown, QStringList{QStringLiteral("提醒内容：") + Tail});
    }

    void stoppedSlot_doesNotCatchUpOnSecondsItMissedWhileStopped() {
        Rig rig;
        rig.clock.set(at(9, 0, 0));
        rig.store.put(2, QStringLiteral("2024/5/1"), QStringLiteral("10:00:00"));
        rig.schedule->loadReminders();
        rig.schedule->disarmSlot(2);
        rig.clock.set(at(10, 30, 0));
        rig.schedule->assignArmedText(1, QStringLiteral("D"));
        QVERIFY(rig.schedule->isArmed(2));
        rig.tickAt(at(10, 30, 1));
        QVERIFY(rig.host.shown.isEmpty());
    }

    void lateTickOrShortSleep_firesAtTheNextPass() {
        Rig rig;
        rig.store.put(1, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        rig.store.put(2, QStringLiteral("2024/5/1"), QStringLiteral("11:00:00"));
        rig.store.put(3, QStringLiteral("2024/5/2"), QStringLiteral("7:00:00"));
        rig.schedule->loadReminders();

        rig.tickAt(at(8, 29, 59, 900));
        rig.tickAt(at(8, 30, 1, 200)); // 8:30:00 fell between two passes
        QCOMPARE(rig.host.shown.size(), 1);

        rig.tickAt(at(13, 15, 0)); // woke up from a sleep
        QCOMPARE(rig.host.shown.size(), 2);

        rig.tickAt(at(7, 0, 5, 0, 2)); // across midnight
        QCOMPARE(rig.host.shown.size(), 3);
        for (int slot = 1; slot <= 3; ++slot)
            QCOMPARE(rig.schedule->D1(slot), QStringLiteral("D"));
    }

    void lateTick_afterAGapOfDays_ringsOnce() {
        Rig rig;
        rig.store.put(1, QStringLiteral("2024/5/1"), QStringLiteral("9:00:00"));
        rig.store.put(2, QStringLiteral("2024/5/9"), QStringLiteral("9:00:00"));
        rig.schedule->loadReminders();
        rig.tickAt(at(8, 0, 0));
        rig.tickAt(at(9, 0, 1, 0, 4)); // the machine slept for three days
        rig.tickAt(at(9, 0, 2, 0, 4));
        QCOMPARE(rig.host.shown.size(), 1);
        QVERIFY(!rig.schedule->isArmed(1));
        QVERIFY(rig.schedule->isArmed(2)); // still to come
    }

    void reminderArmedInItsOwnDueSecond_fires() {
        Rig rig;
        rig.clock.set(at(8, 30, 0, 400));
        rig.schedule->assignArmedText(1, QStringLiteral("2024/5/1 8:30:00"));
        rig.tickAt(at(8, 30, 1, 400));
        QCOMPARE(rig.host.shown.size(), 1);
    }

    void midnight_firesInBothTextForms() {
        QCOMPARE(DateTimeText(at(0, 0, 0, 0, 2)), QStringLiteral("2024/5/2"));

        Rig rig;
        rig.clock.set(at(23, 59, 59));
        rig.schedule->assignArmedText(1, QStringLiteral("2024/5/2 0:00:00")); // as the editor composes it
        rig.schedule->assignArmedText(2, QStringLiteral("2024/5/2"));         // as the clock writes it
        rig.tickAt(at(0, 0, 0, 200, 2));
        QCOMPARE(rig.host.shown.size(), 2);
        QVERIFY(!rig.schedule->isArmed(1));
        QVERIFY(!rig.schedule->isArmed(2));
    }

    void sameSecond_nestedPassesFireTheOthersAndTheSoundWaitsForTheLastMessage() {
        Rig rig;
        for (int slot : {1, 2, 4})
            rig.store.put(slot, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        rig.host.notes = {{1, "一"}, {2, "二"}, {4, "四"}};
        rig.schedule->loadReminders();

        QList<bool> soundOnAtClose;
        int depth = 0;
        rig.host.onShow = [&](const QString&) {
            ++depth;
            if (depth == 1) {
                // Ticks keep arriving while the first message is open.
                rig.tickAt(at(8, 30, 0, 500));
            }
            soundOnAtClose << rig.player.isOpen(QStringLiteral("OpenFile"));
            --depth;
        };
        rig.tickAt(at(8, 30, 0, 100));

        QCOMPARE(rig.host.shown.size(), 3);
        QVERIFY(rig.host.shown[0].startsWith(QStringLiteral("提醒内容：一\r\n")));
        QVERIFY(rig.host.shown[1].startsWith(QStringLiteral("提醒内容：二\r\n")));
        QVERIFY(rig.host.shown[2].startsWith(QStringLiteral("提醒内容：四\r\n")));
        QCOMPARE(soundOnAtClose, QList<bool>({true, true, true}));
        QCOMPARE(rig.player.calls.count("close OpenFile"), 1);
        QCOMPARE(rig.player.calls.last(), QStringLiteral("close OpenFile"));
        QCOMPARE(rig.player.calls.count("play OpenFile"), 3);
    }

    void sameSecond_theBlockedPassFiresTheOthersAfterTheMessage() {
        Rig rig;
        rig.store.put(1, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        rig.store.put(2, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        rig.schedule->loadReminders();
        // The user needs twenty seconds to close each message; no nested tick comes.
        rig.host.onShow = [&](const QString&) { rig.clock.advance(20000); };
        rig.tickAt(at(8, 30, 0, 100));
        QCOMPARE(rig.host.shown.size(), 2);
        QCOMPARE(rig.player.calls.count("close OpenFile"), 2);
        QVERIFY(!rig.player.isOpen(QStringLiteral("OpenFile")));
    }

    void everyPass_writesTheCheckTextOfEachArmedSlot() {
        Rig rig;
        rig.clock.set(at(7, 0, 0));
        for (int slot : {1, 3, 6})
            rig.schedule->assignArmedText(slot, QStringLiteral("2024/5/1 9:00:00"));
        rig.tickAt(at(7, 15, 30));
        for (int slot : {1, 3, 6})
            QCOMPARE(rig.schedule->L1(slot), QStringLiteral("2024/5/1 7:15:30"));
        QCOMPARE(rig.schedule->L1(2), QStringLiteral("L2"));
    }

    void nearReminder_preparesThePlayerAndTimesAPassForItsSecond_data() {
        QTest::addColumn<QDateTime>("tick");
        QTest::addColumn<int>("dueInMs"); // -1: nothing prepared
        QTest::newRow("ten seconds ahead") << at(8, 29, 50) << 10000;
        QTest::newRow("within the last second") << at(8, 29, 59, 600) << 400;
        QTest::newRow("eleven seconds ahead") << at(8, 29, 49) << -1;
        QTest::newRow("past") << at(8, 30, 1) << -1;
    }

    void nearReminder_preparesThePlayerAndTimesAPassForItsSecond() {
        QFETCH(QDateTime, tick);
        QFETCH(int, dueInMs);
        Rig rig;
        rig.store.put(3, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        rig.schedule->loadReminders();
        rig.tickAt(tick);
        if (dueInMs < 0) {
            QVERIFY(rig.player.prepared.isEmpty());
            QVERIFY(!rig.schedule->duePass().isActive());
            return;
        }
        QCOMPARE(rig.player.prepared, QStringList{SoundFile});
        QVERIFY(rig.player.calls.isEmpty());
        QVERIFY(rig.schedule->duePass().isActive());
        QCOMPARE(rig.schedule->duePass().interval(), dueInMs + ReminderSchedule::DuePassDelayMs);

        rig.clock.set(at(8, 30, 0, ReminderSchedule::DuePassDelayMs));
        rig.schedule->duePassTick();
        QCOMPARE(rig.host.shown.size(), 1);
        QCOMPARE(rig.player.calls, QStringList({"open OpenFile /sounds/DI.mp3", "play OpenFile", "close OpenFile"}));
        QCOMPARE(rig.player.released, 1);
        QCOMPARE(rig.player.prepared.size(), 1);
    }

    // A repeating reminder rings when due (or at the first check after it was
    // missed), then moves on to its next occurrence at the same time of day,
    // however long the box stays open; that occurrence rings in its turn.
    void repeating_movesOnToItsNextOccurrence_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QDateTime>("check"); // the first check after the start
        QTest::addColumn<QString>("next");    // D afterwards
        QTest::addColumn<QDateTime>("nextRing");
        QTest::newRow("daily") << "daily"
                               << "2024/5/1"
                               << "9:00:00" << on(2024, 5, 1, 9, 0) << "2024/5/2" << on(2024, 5, 2, 9, 0);
        QTest::newRow("daily, time as typed")
            << "daily"
            << "2024/5/1"
            << "09:05:00" << on(2024, 5, 1, 9, 5) << "2024/5/2" << on(2024, 5, 2, 9, 5);
        QTest::newRow("daily, year end") << "daily"
                                         << "2024/12/31"
                                         << "23:30:00" << on(2024, 12, 31, 23, 30) << "2025/1/1"
                                         << on(2025, 1, 1, 23, 30);
        QTest::newRow("workdays, Friday") << "workdays"
                                          << "2024/5/3"
                                          << "8:00:00" << on(2024, 5, 3, 8, 0) << "2024/5/6" << on(2024, 5, 6, 8, 0);
        QTest::newRow("workdays, Monday") << "workdays"
                                          << "2024/5/6"
                                          << "8:00:00" << on(2024, 5, 6, 8, 0) << "2024/5/7" << on(2024, 5, 7, 8, 0);
        QTest::newRow("weekly") << "weekly"
                                << "2024/5/1"
                                << "9:00:00" << on(2024, 5, 1, 9, 0) << "2024/5/8" << on(2024, 5, 8, 9, 0);
        QTest::newRow("monthly 31, leap February")
            << "monthly:31"
            << "2024/1/31"
            << "9:00:00" << on(2024, 1, 31, 9, 0) << "2024/2/29" << on(2024, 2, 29, 9, 0);
        QTest::newRow("monthly 31, February")
            << "monthly:31"
            << "2023/1/31"
            << "9:00:00" << on(2023, 1, 31, 9, 0) << "2023/2/28" << on(2023, 2, 28, 9, 0);
        QTest::newRow("monthly 31, back to the 31st")
            << "monthly:31"
            << "2024/2/29"
            << "9:00:00" << on(2024, 2, 29, 9, 0) << "2024/3/31" << on(2024, 3, 31, 9, 0);
        QTest::newRow("monthly 31, April")
            << "monthly:31"
            << "2024/3/31"
            << "9:00:00" << on(2024, 3, 31, 9, 0) << "2024/4/30" << on(2024, 4, 30, 9, 0);
        QTest::newRow("monthly 29, February")
            << "monthly:29"
            << "2023/1/29"
            << "9:00:00" << on(2023, 1, 29, 9, 0) << "2023/2/28" << on(2023, 2, 28, 9, 0);
        QTest::newRow("monthly 15") << "monthly:15"
                                    << "2024/1/15"
                                    << "9:00:00" << on(2024, 1, 15, 9, 0) << "2024/2/15" << on(2024, 2, 15, 9, 0);
        QTest::newRow("missed a week, after its time")
            << "daily"
            << "2024/5/1"
            << "9:00:00" << on(2024, 5, 8, 12, 0) << "2024/5/9" << on(2024, 5, 9, 9, 0);
        QTest::newRow("missed a week, before its time")
            << "daily"
            << "2024/5/1"
            << "9:00:00" << on(2024, 5, 8, 8, 0) << "2024/5/8" << on(2024, 5, 8, 9, 0);
        QTest::newRow("missed workdays, on a Saturday")
            << "workdays"
            << "2024/5/3"
            << "8:00:00" << on(2024, 5, 11, 10, 0) << "2024/5/13" << on(2024, 5, 13, 8, 0);
        QTest::newRow("missed weeks") << "weekly"
                                      << "2024/5/1"
                                      << "9:00:00" << on(2024, 5, 20, 9, 0) << "2024/5/22" << on(2024, 5, 22, 9, 0);
        QTest::newRow("missed months") << "monthly:31"
                                       << "2024/1/31"
                                       << "9:00:00" << on(2024, 5, 15, 9, 0) << "2024/5/31" << on(2024, 5, 31, 9, 0);
        if (centralEuropeanTime()) {
            // 2:30 does not exist on 2024-03-31: it rings at 3:00, the first moment after.
            QTest::newRow("summer time gap")
                << "daily"
                << "2024/3/30"
                << "2:30:00" << on(2024, 3, 30, 2, 30) << "2024/3/31" << on(2024, 3, 31, 3, 0);
            // 2:30 comes twice on 2024-10-27: it rings once, in the one of the two
            // the system's conversion picks.
            QTest::newRow("summer time end")
                << "daily"
                << "2024/10/26"
                << "2:30:00" << on(2024, 10, 26, 2, 30) << "2024/10/27" << on(2024, 10, 27, 2, 30);
        }
    }
    void repeating_movesOnToItsNextOccurrence() {
        QFETCH(QString, rule);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QDateTime, check);
        QFETCH(QString, next);
        QFETCH(QDateTime, nextRing);
        Rig rig;
        rig.clock.set(check);
        rig.store.put(1, date, time);
        rig.store.values["1/R"] = rule;
        rig.host.notes[1] = QStringLiteral("吃药");
        rig.schedule->loadReminders();
        rig.host.onShow = [&](const QString&) { rig.clock.advance(20 * 60 * 1000); }; // closed late
        rig.tickAt(check);
        QCOMPARE(rig.host.shown, QStringList{QStringLiteral("提醒内容：吃药") + Tail});
        QCOMPARE(rig.store.get(1, "D"), next);
        QCOMPARE(rig.store.get(1, "T"), time);
        QCOMPARE(rig.store.get(1, "R"), rule);
        QVERIFY(rig.schedule->isArmed(1));
        QCOMPARE(rig.schedule->D1(1), next + u' ' + time);
        QCOMPARE(rig.player.calls.last(), QStringLiteral("close OpenFile"));

        // A minute's checks for two hours either side: it rings once, at its time of
        // day (in the hour that comes twice, in one of the two).
        rig.host.onShow = nullptr;
        QDateTime rangAt;
        for (int minute = -120; minute <= 120; ++minute) {
            const QDateTime tick = nextRing.addSecs(minute * 60);
            rig.tickAt(tick);
            if (rig.host.shown.size() == 2 && !rangAt.isValid())
                rangAt = tick;
        }
        QCOMPARE(rig.host.shown.size(), 2);
        QCOMPARE(rangAt.date(), nextRing.date());
        QCOMPARE(rangAt.time(), nextRing.time());
        QVERIFY(rig.store.get(1, "D") != next);
    }

    // 稍后提醒: the reminder rings again that many minutes after the box closed,
    // also after a restart; a repeating one keeps its series.
    void snooze_ringsAgainAfterItsMinutes_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("date"); // D and T after the snooze
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("snooze"); // Z after the snooze
        QTest::newRow("one-time, 10") << "" << 10 << "2024/5/1"
                                      << "8:41:00"
                                      << "";
        QTest::newRow("one-time, 30") << "" << 30 << "2024/5/1"
                                      << "9:01:00"
                                      << "";
        QTest::newRow("daily, 5") << "daily" << 5 << "2024/5/2"
                                  << "8:30:00"
                                  << "2024/5/1 8:36:00";
        QTest::newRow("workdays, 30") << "workdays" << 30 << "2024/5/2"
                                      << "8:30:00"
                                      << "2024/5/1 9:01:00";
    }
    void snooze_ringsAgainAfterItsMinutes() {
        QFETCH(QString, rule);
        QFETCH(int, minutes);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, snooze);
        Rig rig;
        rig.store.put(2, QStringLiteral("2024/5/1"), QStringLiteral("8:30:00"));
        if (!rule.isEmpty())
            rig.store.values["2/R"] = rule;
        rig.host.notes[2] = QStringLiteral("站会");
        rig.schedule->loadReminders();
        rig.host.snoozes = {minutes};
        rig.host.onShow = [&](const QString&) { rig.clock.advance(60 * 1000); }; // closed a minute later
        rig.tickAt(at(8, 30, 0));
        QCOMPARE(rig.store.get(2, "D"), date);
        QCOMPARE(rig.store.get(2, "T"), time);
        QCOMPARE(rig.store.has(2, "R"), !rule.isEmpty());
        QCOMPARE(rig.store.get(2, "Z"), snooze);
        QVERIFY(snooze.isEmpty() == !rig.store.has(2, "Z")); // no key for a one-time reminder
        QVERIFY(rig.schedule->isArmed(2));

        rig.restart();
        const QDateTime again = at(8, 31, 0).addSecs(60 * minutes);
        rig.tickAt(again.addSecs(-1));
        QCOMPARE(rig.host.shown.size(), 1);
        rig.tickAt(again);
        QCOMPARE(rig.host.shown, QStringList(2, QStringLiteral("提醒内容：站会") + Tail));
        if (rule.isEmpty()) {
            QCOMPARE(rig.store.get(2, "D"), QString());
            QVERIFY(!rig.schedule->isArmed(2));
        } else {
            QCOMPARE(rig.store.get(2, "D"), QStringLiteral("2024/5/2")); // the series stays anchored
            QCOMPARE(rig.store.get(2, "T"), QStringLiteral("8:30:00"));
            QCOMPARE(rig.store.get(2, "Z"), QString());
            QVERIFY(rig.schedule->isArmed(2));
        }
    }
};

// The summer time cases need a zone that has it; the others hold in any zone.
int main(int argc, char** argv) {
    qputenv("TZ", "Europe/Berlin");
    tzset();
    QCoreApplication app(argc, argv);
    ReminderScheduleTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_reminderschedule.moc"
