// The schedule and the editor on a real settings file.
#include "reminders/ReminderEditor.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/SettingsReminderStore.h"
#include "store/SettingsStore.h"
#include "tests/reminders/ReminderFakes.h"
#include "tests/support/TestSupport.h"

#include <QTest>

class ReminderFileTest : public QObject {
    Q_OBJECT

private slots:
    void savedThenFired_leavesTheFileWithEmptyKeysAndEveryOtherLineIntact() {
        TempFolder folder;
        const QString file = folder.path("AT.ini");
        QVERIFY(writeAll(file, defaultSettingsBytes()));
        SettingsStore settings(file);
        SettingsReminderStore store(settings);
        FakePlayer player;
        FakeClock clock(QDateTime(QDate(2024, 5, 1), QTime(21, 0)));
        FakeHost host;
        ReminderSchedule schedule(store, player, clock, host, folder.path("DI.mp3"));
        ReminderEditor editor(store, schedule, clock);
        schedule.loadReminders();
        for (int slot = 1; slot <= 6; ++slot)
            QVERIFY(!schedule.isArmed(slot));

        QVERIFY(editor.save(3, QDate(2024, 5, 2), QStringLiteral("08"), QStringLiteral("5")).saved);
        const QByteArray saved = readAll(file);
        QVERIFY(saved.contains("\r\n[3]\r\nD=2024/5/2\r\nT=8:05:00\r\n"));
        QCOMPARE(editor.reminderLabel(3).text, QStringLiteral("2024/5/2 8:05:00"));

        // A restart arms it from the file.
        ReminderSchedule restarted(store, player, clock, host, folder.path("DI.mp3"));
        restarted.loadReminders();
        QCOMPARE(restarted.D1(3), QStringLiteral("2024/5/2 8:05:00"));
        QVERIFY(restarted.isArmed(3));

        clock.set(QDateTime(QDate(2024, 5, 2), QTime(8, 5, 0, 300)));
        restarted.slotTick();
        QCOMPARE(host.shown.size(), 1);
        QCOMPARE(readAll(file), defaultSettingsBytes());
        QCOMPARE(editor.reminderLabel(3).text, QStringLiteral("未设置"));
    }

    void deleting_writesEmptyKeys() {
        TempFolder folder;
        const QString file = folder.path("AT.ini");
        QVERIFY(writeAll(file, defaultSettingsBytes()));
        SettingsStore settings(file);
        SettingsReminderStore store(settings);
        FakePlayer player;
        FakeClock clock(QDateTime(QDate(2024, 5, 1), QTime(21, 0)));
        FakeHost host;
        ReminderSchedule schedule(store, player, clock, host, folder.path("DI.mp3"));
        ReminderEditor editor(store, schedule, clock);
        QVERIFY(editor.save(6, QDate(2024, 6, 1), QStringLiteral("9"), QStringLiteral("30")).saved);
        QVERIFY(editor.reminderLabel(6).deleteVisible);
        editor.deleteReminder(6);
        QCOMPARE(readAll(file), defaultSettingsBytes());
        QVERIFY(!schedule.isArmed(6));
    }
};

QTEST_GUILESS_MAIN(ReminderFileTest)
#include "tst_reminderfile.moc"
