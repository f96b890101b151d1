#include "reminders/ReminderEditor.h"
#include "reminders/ReminderSchedule.h"
#include "tests/reminders/ReminderFakes.h"
#include "tests/support/TestSupport.h"
#include "widgets/Twips.h"

#include <QTest>

#include <ctime>

namespace {

QDateTime at(int day, int h, int m, int s = 0) {
    return QDateTime(QDate(2024, 5, day), QTime(h, m, s));
}

struct Rig {
    FakeStore store;
    FakePlayer player;
    FakeClock clock{at(1, 7, 0)};
    FakeHost host;
    ReminderSchedule schedule{store, player, clock, host, QStringLiteral("DI.mp3")};
    ReminderEditor editor{store, schedule, clock};

    void tickAt(const QDateTime& when) {
        clock.set(when);
        schedule.slotTick();
    }
};

} // namespace

class ReminderEditorTest : public QObject {
    Q_OBJECT

private slots:
    void timeBox_takesOnlyDigitsAndBackspace_twoAtMost_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selected");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("taken");
        QTest::newRow("digit into empty") << "" << 0 << int('7') << true;
        QTest::newRow("0 and 9") << "1" << 0 << int('0') << true;
        QTest::newRow("9") << "" << 0 << int('9') << true;
        QTest::newRow("third digit") << "12" << 0 << int('3') << false;
        QTest::newRow("over a selection") << "12" << 1 << int('3') << true;
        QTest::newRow("backspace") << "12" << 0 << 8 << true;
        QTest::newRow("letter") << "" << 0 << int('a') << false;
        QTest::newRow("sign") << "" << 0 << int('-') << false;
        QTest::newRow("decimal point") << "1" << 0 << int('.') << false;
        QTest::newRow("enter") << "1" << 0 << 13 << false;
        QTest::newRow("escape") << "1" << 0 << 27 << false;
        QTest::newRow("space") << "" << 0 << int(' ') << false;
        QTest::newRow("full-width digit") << "" << 0 << 0xFF11 << false;
    }
    void timeBox_takesOnlyDigitsAndBackspace_twoAtMost() {
        QFETCH(QString, text);
        QFETCH(int, selected);
        QFETCH(int, key);
        QFETCH(bool, taken);
        QCOMPARE(timeBoxAcceptsKey(text, selected, key), taken);
    }

    void timeBoxClick_emptiesOnlyDoubleZero() {
        QCOMPARE(timeBoxTextAfterClick(QStringLiteral("00")), QString());
        QCOMPARE(timeBoxTextAfterClick(QStringLiteral("05")), QStringLiteral("05"));
        QCOMPARE(timeBoxTextAfterClick(QStringLiteral("0")), QStringLiteral("0"));
        QCOMPARE(timeBoxTextAfterClick(QString()), QString());
    }

    void saving_checksHourAndMinuteInOrder_data() {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("message"); // "" when saved
        QTest::addColumn<QString>("time");    // the stored T when saved
        const QString hourMsg = QStringLiteral("请输入正确的小时数.");
        const QString minuteMsg = QStringLiteral("请输入正确的分钟数.");
        QTest::newRow("both empty") << ""
                                    << "" << hourMsg << "";
        QTest::newRow("hour empty") << ""
                                    << "30" << hourMsg << "";
        QTest::newRow("minute empty") << "8"
                                      << "" << minuteMsg << "";
        QTest::newRow("empty minute before hour range") << "24"
                                                        << "" << minuteMsg << "";
        QTest::newRow("hour 0") << "0"
                                << "0"
                                << ""
                                << "0:00:00";
        QTest::newRow("hour 00") << "00"
                                 << "00"
                                 << ""
                                 << "0:00:00";
        QTest::newRow("hour 23 minute 59") << "23"
                                           << "59"
                                           << ""
                                           << "23:59:00";
        QTest::newRow("hour 24") << "24"
                                 << "0" << hourMsg << "";
        QTest::newRow("hour 99") << "99"
                                 << "99" << hourMsg << "";
        QTest::newRow("minute 60") << "12"
                                   << "60" << minuteMsg << "";
        QTest::newRow("hour 08 minute 5") << "08"
                                          << "5"
                                          << ""
                                          << "8:05:00";
        QTest::newRow("hour 8 minute 30") << "8"
                                          << "30"
                                          << ""
                                          << "8:30:00";
        QTest::newRow("pasted letters in hour") << "ab"
                                                << "30" << hourMsg << "";
        QTest::newRow("pasted letters in minute") << "8"
                                                  << "x" << minuteMsg << "";
        QTest::newRow("letters before hour range") << "24"
                                                   << "ab" << minuteMsg << "";
        QTest::newRow("digit and letter") << "1a"
                                          << "30" << hourMsg << "";
        QTest::newRow("sign") << "+1"
                              << "30" << hourMsg << "";
        QTest::newRow("space") << " 8"
                               << "30" << hourMsg << "";
        QTest::newRow("long digits") << "00000000000000000008"
                                     << "30" << hourMsg << "";
    }
    void saving_checksHourAndMinuteInOrder() {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QString, message);
        QFETCH(QString, time);
        Rig rig;
        const SaveOutcome outcome = rig.editor.save(3, QDate(2024, 5, 2), hour, minute);
        if (message.isEmpty()) {
            QVERIFY(outcome.saved);
            QCOMPARE(rig.store.get(3, "T"), time);
            QCOMPARE(rig.schedule.D1(3), QStringLiteral("2024/5/2 ") + time);
            return;
        }
        QVERIFY(!outcome.saved);
        QCOMPARE(outcome.message.text, message);
        QCOMPARE(outcome.message.title, QStringLiteral("提示"));
        QCOMPARE(outcome.message.style, 16);
        QVERIFY(rig.store.writes.isEmpty());
        QCOMPARE(rig.schedule.D1(3), QStringLiteral("D"));
        QVERIFY(!rig.schedule.isArmed(3));
    }

    void saving_writesDateThenTimeAssignsAndArms() {
        Rig rig;
        rig.store.put(3, QStringLiteral("2024/4/30"), QStringLiteral("9:00:00"));
        rig.schedule.loadReminders();

        const SaveOutcome outcome = rig.editor.save(3, QDate(2024, 5, 2), QStringLiteral("08"), QStringLiteral("5"));

        QVERIFY(outcome.saved);
        QCOMPARE(rig.store.writes, QStringList({"3/D=2024/5/2", "3/T=8:05:00"}));
        QCOMPARE(rig.schedule.D1(3), QStringLiteral("2024/5/2 8:05:00"));
        QVERIFY(rig.schedule.isArmed(3));
        QCOMPARE(outcome.message.text,
                 QStringLiteral("保存成功!\r\nTip:请注意时间设置的正确，如果设置不正确将不会提醒"));
        QCOMPARE(outcome.message.title, QStringLiteral("提示"));
        QCOMPARE(outcome.message.style, 64);
    }

    void savedReminder_firesInItsSecond_evenAsTypedWithZerosOrAtMidnight_data() {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QDateTime>("due");
        QTest::newRow("leading zero, one-digit minute") << "08"
                                                        << "5" << at(2, 8, 5);
        QTest::newRow("afternoon") << "17"
                                   << "45" << at(2, 17, 45);
        QTest::newRow("midnight") << "00"
                                  << "00" << at(2, 0, 0);
        QTest::newRow("last minute") << "23"
                                     << "59" << at(2, 23, 59);
    }
    void savedReminder_firesInItsSecond_evenAsTypedWithZerosOrAtMidnight() {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QDateTime, due);
        Rig rig;
        rig.host.notes[1] = QStringLiteral("取快递");
        QVERIFY(rig.editor.save(1, QDate(2024, 5, 2), hour, minute).saved);
        rig.tickAt(due.addSecs(-1));
        QVERIFY(rig.host.shown.isEmpty());
        rig.tickAt(due.addMSecs(250));
        QCOMPARE(rig.host.shown.size(), 1);
        QVERIFY(rig.host.shown[0].startsWith(QStringLiteral("提醒内容：取快递\r\n")));
    }

    // Saved on days the clock changes (times as instants, UTC): a skipped time
    // rings at the first moment after the gap, a time shown twice at the first.
    void clockChanges_savedReminderRingsOnce_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QDateTime>("rings"); // invalid: refused as past
        const auto utc = [](int month, int day, int h, int m) {
            return QDateTime(QDate(2026, month, day), QTime(h, m), Qt::UTC);
        };
        QTest::newRow("New York, 2:30 skipped")
            << QByteArray("America/New_York") << utc(3, 8, 6, 55) << QDate(2026, 3, 8) << "2" << utc(3, 8, 7, 0);
        QTest::newRow("Berlin, 2:30 skipped")
            << QByteArray("Europe/Berlin") << utc(3, 29, 0, 55) << QDate(2026, 3, 29) << "2" << utc(3, 29, 1, 0);
        QTest::newRow("after the gap: past")
            << QByteArray("America/New_York") << utc(3, 8, 7, 10) << QDate(2026, 3, 8) << "2" << QDateTime();
        QTest::newRow("New York, 1:30 twice")
            << QByteArray("America/New_York") << utc(11, 1, 5, 10) << QDate(2026, 11, 1) << "1" << utc(11, 1, 5, 30);
    }
    void clockChanges_savedReminderRingsOnce() {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, now);
        QFETCH(QDate, date);
        QFETCH(QString, hour);
        QFETCH(QDateTime, rings);
        const ScopedTimeZone inZone(zone);
        if (!localZoneHasSummerTime())
            QSKIP("this system does not take the time zone from TZ");
        Rig rig;
        rig.clock.set(now.toLocalTime());
        QCOMPARE(rig.editor.save(1, date, hour, QStringLiteral("30")).saved, rings.isValid());
        if (!rings.isValid())
            return;
        for (const int after : {-1, 0, 3600}) {
            rig.tickAt(rings.addSecs(after).toLocalTime());
            QCOMPARE(rig.host.shown.size(), after < 0 ? 0 : 1);
        }
    }

    void savingInThePast_isRefusedAndWritesNothing() {
        Rig rig;
        rig.clock.set(at(2, 9, 0));
        QVERIFY(!rig.editor.save(1, QDate(2024, 5, 2), QStringLiteral("8"), QStringLiteral("30")).saved);
        QVERIFY(!rig.schedule.isArmed(1));
        rig.tickAt(at(2, 9, 0, 1));
        QVERIFY(rig.host.shown.isEmpty());
        QVERIFY(rig.store.writes.isEmpty());
    }

    void deleting_disarmsClearsBothKeysAndResetsTheSlot() {
        Rig rig;
        rig.store.put(2, QStringLiteral("2024/5/1"), QStringLiteral("9:00:00"));
        rig.store.put(4, QStringLiteral("2024/5/1"), QStringLiteral("9:30:00"));
        rig.schedule.loadReminders();
        rig.schedule.disarmSlot(4); // its note was deleted
        rig.store.writes.clear();

        const EditorMessage question = ReminderEditor::deleteQuestion();
        QCOMPARE(question.text, QStringLiteral("您确定要删除这条提醒？"));
        QCOMPARE(question.title, QStringLiteral("删除确认"));
        QCOMPARE(question.style, 4);

        const EditorMessage done = rig.editor.deleteReminder(2).message;
        QCOMPARE(rig.store.writes, QStringList({"2/D=", "2/T="}));
        QCOMPARE(rig.schedule.D1(2), QStringLiteral("D"));
        QVERIFY(!rig.schedule.isArmed(2));
        QCOMPARE(done.text, QStringLiteral("删除成功!"));
        QCOMPARE(done.title, QStringLiteral("提示"));
        QCOMPARE(done.style, 64);
        // The assignment re-arms the stopped slot.
        QVERIFY(rig.schedule.isArmed(4));
        rig.tickAt(at(1, 9, 0));
        QVERIFY(rig.host.shown.isEmpty());
    }

    // The repeat box: what a save stores for each rule over a stored repeating,
    // snoozed reminder, what the editor then shows, and that delete ends it all.
    void repeat_isStoredShownAndDeleted_data() {
        QTest::addColumn<int>("repeat");
        QTest::addColumn<QDate>("chosen");
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<QString>("label");
        const QStringList clear{"5/R=", "5/Z="};
        QTest::newRow("不重复") << int(Repeat::None) << QDate(2024, 5, 2)
                                << QStringList({"5/D=2024/5/2", "5/T=9:00:00"}) + clear << "2024/5/2 9:00:00";
        QTest::newRow("每天") << int(Repeat::Daily) << QDate(2024, 5, 2)
                              << QStringList({"5/D=2024/5/2", "5/T=9:00:00", "5/R=daily", "5/Z="})
                              << "2024/5/2 9:00:00（每天）";
        QTest::newRow("工作日, chosen on a Saturday")
            << int(Repeat::Workdays) << QDate(2024, 5, 4) << QStringList({"5/D=2024/5/6", "5/T=9:00:00", "5/Z="})
            << "2024/5/6 9:00:00（工作日）";
        QTest::newRow("每周") << int(Repeat::Weekly) << QDate(2024, 5, 2)
                              << QStringList({"5/D=2024/5/2", "5/T=9:00:00", "5/R=weekly", "5/Z="})
                              << "2024/5/2 9:00:00（每周四）";
        QTest::newRow("每月 on the 31st") << int(Repeat::Monthly) << QDate(2024, 5, 31)
                                          << QStringList({"5/D=2024/5/31", "5/T=9:00:00", "5/R=monthly:31", "5/Z="})
                                          << "2024/5/31 9:00:00（每月31日）";
    }
    void repeat_isStoredShownAndDeleted() {
        QFETCH(int, repeat);
        QFETCH(QDate, chosen);
        QFETCH(QStringList, writes);
        QFETCH(QString, label);
        Rig rig;
        rig.store.put(5, QStringLiteral("2024/5/3"), QStringLiteral("8:00:00"));
        rig.store.values["5/R"] = QStringLiteral("workdays");
        rig.store.values["5/Z"] = QStringLiteral("2024/5/1 7:10:00");
        rig.schedule.loadReminders();
        QCOMPARE(rig.editor.reminderLabel(5).text, QStringLiteral("2024/5/3 8:00:00（工作日）"));
        QCOMPARE(rig.editor.reminderLabel(5).snooze, QStringLiteral("稍后提醒：2024/5/1 7:10:00"));
        QCOMPARE(rig.editor.reminderLabel(5).repeat, Repeat::Workdays);

        QVERIFY(rig.editor.save(5, chosen, QStringLiteral("9"), QStringLiteral("00"), Repeat(repeat)).saved);
        QCOMPARE(rig.store.writes, writes);
        QCOMPARE(rig.schedule.rule(5).repeat, Repeat(repeat));
        QVERIFY(!rig.schedule.snoozedUntil(5).isValid());
        QCOMPARE(rig.editor.reminderLabel(5).text, label);

        rig.store.writes.clear();
        QVERIFY(rig.editor.deleteReminder(5).saved);
        const QStringList deleted =
            repeat == int(Repeat::None) ? QStringList({"5/D=", "5/T="}) : QStringList({"5/D=", "5/T=", "5/R="});
        QCOMPARE(rig.store.writes, deleted);
        QVERIFY(!rig.schedule.rule(5).repeats());
        QVERIFY(!rig.schedule.isArmed(5));
    }

    void save_refusesAMomentAlreadyPast_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("saved");
        QTest::newRow("a minute later") << at(2, 8, 4, 0) << true;
        QTest::newRow("in its own second") << at(2, 8, 5, 0) << true;
        QTest::newRow("a second past") << at(2, 8, 5, 1) << false;
        QTest::newRow("a day past") << at(3, 7, 0) << false;
    }
    void save_refusesAMomentAlreadyPast() {
        QFETCH(QDateTime, now);
        QFETCH(bool, saved);
        Rig rig;
        rig.clock.set(now);
        const SaveOutcome outcome = rig.editor.save(3, QDate(2024, 5, 2), QStringLiteral("8"), QStringLiteral("05"));
        QCOMPARE(outcome.saved, saved);
        QCOMPARE(rig.schedule.isArmed(3), saved);
        if (!saved) {
            QCOMPARE(outcome.message.text, QStringLiteral("提醒时间已经过去，请设置一个将来的时间。"));
            QCOMPARE(outcome.message.style, 16);
            QVERIFY(rig.store.writes.isEmpty());
        }
    }

    // The file holds 2024/5/3 9:00:00; a save (of 2024/5/4 10:00) or a delete fails
    // at its first or second write. The file and the slot keep the old reminder.
    void failedWrites_areReportedAndKeepTheOldReminder_data() {
        QTest::addColumn<bool>("deleting");
        QTest::addColumn<int>("failAfter");
        QTest::addColumn<QString>("message");
        QTest::newRow("save, D fails") << false << 0 << "保存失败！\r\nAT.ini: disk full";
        QTest::newRow("save, T fails") << false << 1 << "保存失败！\r\nAT.ini: disk full";
        QTest::newRow("delete, D fails") << true << 0 << "删除失败！\r\nAT.ini: disk full";
        QTest::newRow("delete, T fails") << true << 1 << "删除失败！\r\nAT.ini: disk full";
    }
    void failedWrites_areReportedAndKeepTheOldReminder() {
        QFETCH(bool, deleting);
        QFETCH(int, failAfter);
        QFETCH(QString, message);
        Rig rig;
        rig.store.put(2, QStringLiteral("2024/5/3"), QStringLiteral("9:00:00"));
        rig.schedule.loadReminders();
        rig.store.failAfter = failAfter;
        const SaveOutcome outcome =
            deleting ? rig.editor.deleteReminder(2)
                     : rig.editor.save(2, QDate(2024, 5, 4), QStringLiteral("10"), QStringLiteral("00"));
        QVERIFY(!outcome.saved);
        QCOMPARE(outcome.message.text, message);
        QCOMPARE(outcome.message.style, 16);
        QCOMPARE(rig.schedule.D1(2), QStringLiteral("2024/5/3 9:00:00"));
        QVERIFY(rig.schedule.isArmed(2));
        QCOMPARE(rig.store.writes.last(), QStringLiteral("2/D=2024/5/3")); // D is put back
    }

    void opening_showsTodayTheClockAndTheStoredReminder() {
        Rig rig;
        rig.clock.set(at(1, 14, 3, 9));
        QCOMPARE(rig.editor.today(), QDate(2024, 5, 1));
        QCOMPARE(rig.editor.currentTimeText(), QStringLiteral("2024/5/1 14:03:09"));

        const ReminderLabel none = rig.editor.reminderLabel(5);
        QCOMPARE(none.text, QStringLiteral("未设置"));
        QVERIFY(!none.deleteVisible);

        rig.store.put(5, QStringLiteral("2024/5/3"), QStringLiteral("08:05:00"));
        const ReminderLabel set = rig.editor.reminderLabel(5);
        QCOMPARE(set.text, QStringLiteral("2024/5/3 08:05:00"));
        QVERIFY(set.deleteVisible);

        rig.store.put(5, QString(), QStringLiteral("8:00:00")); // a time without a date counts as none
        QVERIFY(!rig.editor.reminderLabel(5).deleteVisible);
    }

    void placement_isLeftMinus450AndFiveQuartersOfTop() {
        QCOMPARE(editorPlacement(QPoint(6000, 3000)), QPoint(5550, 3750));
        QCOMPARE(editorPlacement(QPoint(0, 0)), QPoint(-450, 0));
        QCOMPARE(editorPlacement(QPoint(450, -4800)), QPoint(0, -6000));
    }
};

QTEST_GUILESS_MAIN(ReminderEditorTest)
#include "tst_remindereditor.moc"
