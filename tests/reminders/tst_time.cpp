#include "reminders/DateTimeText.h"
#include "reminders/ReminderHost.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/SettingsReminderStore.h"
#include "reminders/Time.h"
#include "store/SettingsStore.h"
#include "tests/support/FakeServices.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TestSupport.h"
#include "widgets/Colors.h"
#include "widgets/LabelButton.h"
#include "widgets/Twips.h"

#include <QCalendarWidget>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <array>
#include <memory>

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(9, 0, 0));

class FakeBoard : public TimeHost {
public:
    QString themeText() const override { return C1; }
    QString selectedSlot() const override { return XH; }
    QString slotText(int n) const override { return n >= 1 && n <= 6 ? notes[n - 1] : QString(); }
    int leftTwips() const override { return left; }
    int topTwips() const override { return top; }

    QString C1 = "1";
    QString XH = "3";
    std::array<QString, 6> notes{"one", "two", "buy milk", "", "", ""};
    int left = 6000;
    int top = 3000;
};

// The real settings file underneath, every write recorded in order.
class RecordingStore : public ReminderStore {
public:
    explicit RecordingStore(SettingsStore& settings) : m_real(settings) {}
    QString read(const QString& section, const QString& key) const override { return m_real.read(section, key); }
    bool write(const QString& section, const QString& key, const QString& value) override {
        writes << section + u'/' + key + u'=' + value;
        return m_real.write(section, key, value);
    }
    QString lastError() const override { return m_real.lastError(); }
    QStringList writes;

private:
    SettingsReminderStore m_real;
};

class RecordingHost : public ReminderHost {
public:
    QString noteText(int) const override { return {}; }
    int showAlarm(const QString& text) override {
        alarms << text;
        return 0;
    }
    void showClearFailure(const QString& reason) override { alarms << reason; }
    void showSnoozeFailure(const QString& reason) override { alarms << reason; }
    QStringList alarms;
};

struct EditorRig {
    TempFolder folder;
    QString file = folder.path("AT.ini");
    SettingsStore settings{file};
    RecordingStore store{settings};
    ScriptedMessageBoxes boxes;
    FakeClock clock{kNow};
    FakePlayer player;
    RecordingHost host;
    ReminderSchedule schedule{store, player, clock, host, folder.path("DI.mp3")};
    FakeBoard board;

    EditorRig() { writeAll(file, defaultSettingsBytes()); }

    void storeReminder(int slot, const QString& d, const QString& t) {
        settings.setValue(QString::number(slot), "D", d);
        settings.setValue(QString::number(slot), "T", t);
        schedule.loadReminders();
        store.writes.clear();
    }

    std::unique_ptr<Time> open() {
        auto editor = std::make_unique<Time>(board, schedule, store, clock, boxes);
        editor->show();
        return editor;
    }
};

void typeInto(QLineEdit* box, const QString& text) {
    box->clear();
    QTest::keyClicks(box, text);
}

ShownBox notice(const QString& text, int style) {
    return {text, QStringLiteral("提示"), style};
}

Bgr paletteColor(const QWidget* w, QPalette::ColorRole role) {
    return toBgr(w->palette().color(role));
}

} // namespace

class TimeTest : public QObject {
    Q_OBJECT
private slots:
    void window_isAFramelessModalDialogOfItsDesignSize() {
        EditorRig rig;
        auto editor = rig.open();
        QCOMPARE(editor->windowTitle(), QStringLiteral("时间设置"));
        QVERIFY(editor->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(editor->isModal());
        // The designed 303 × 195 and the repeat row below it.
        QCOMPARE(editor->size(), QSize(303, 228));
        QCOMPARE(editor->Combo1->geometry(), QRect(72, 197, 154, 23));
        QCOMPARE(editor->Combo1->count(), 5);
        QCOMPARE(editor->Combo1->itemText(2), QStringLiteral("工作日（周一至周五）"));
        QCOMPARE(editor->Combo1->currentText(), QStringLiteral("不重复"));
        QCOMPARE(editor->Label1->text(), QStringLiteral("提醒时间设置(24小时制)"));
        QCOMPARE(editor->Label1->geometry(), QRect(0, 0, 305, 25));
        QCOMPARE(editor->Label3->geometry(), QRect(56, 36, 241, 37));
        QCOMPARE(editor->DTPicker1->geometry(), QRect(56, 96, 113, 33));
        QCOMPARE(editor->Text1->geometry(), QRect(176, 96, 33, 33));
        QCOMPARE(editor->Text2->geometry(), QRect(240, 96, 33, 33));
        QCOMPARE(editor->Label7->geometry(), QRect(88, 136, 81, 22));
        QCOMPARE(editor->Label5->geometry(), QRect(240, 136, 57, 22));
        for (QLineEdit* box : {editor->Text1, editor->Text2}) {
            QCOMPARE(box->maxLength(), 2);
            QCOMPARE(box->alignment(), Qt::AlignCenter);
        }
        QCOMPARE(editor->DTPicker1->minimumDate(), QDate(1800, 1, 1));
        QCOMPARE(editor->DTPicker1->maximumDate(), QDate(2099, 12, 31));
        QVERIFY(editor->DTPicker1->calendarPopup());
    }

    void opening_showsTodayTheNoteAndTheClock_withNoReminder() {
        EditorRig rig;
        auto editor = rig.open();
        QCOMPARE(editor->DTPicker1->date(), QDate(2026, 12, 7));
        QCOMPARE(editor->DTPicker1->text(), DateText(QDate(2026, 12, 7)));
        QCOMPARE(editor->Label3->text(), QStringLiteral("buy milk"));
        QCOMPARE(editor->Label9->text(), DateTimeText(kNow));
        QCOMPARE(editor->Label9->width(), editor->Label9->sizeHint().width());
        QCOMPARE(editor->Label11->text(), QStringLiteral("未设置"));
        QVERIFY(!editor->Label7->isVisibleTo(editor.get()));
        QCOMPARE(editor->Text1->text(), QStringLiteral("00"));
        QCOMPARE(editor->Text2->text(), QStringLiteral("00"));
        QCOMPARE(editor->focusWidget(), editor->DTPicker1);
        QVERIFY(rig.store.writes.isEmpty());
    }

    void opening_withAStoredReminder_showsItButStartsTheInputsAfresh() {
        EditorRig rig;
        rig.storeReminder(3, "2026/12/24", "18:30:00");
        auto editor = rig.open();
        QCOMPARE(editor->Label11->text(), QStringLiteral("2026/12/24 18:30:00"));
        QCOMPARE(editor->Label11->width(), editor->Label11->sizeHint().width());
        QVERIFY(editor->Label7->isVisibleTo(editor.get()));
        QCOMPARE(editor->DTPicker1->date(), QDate(2026, 12, 7));
        QCOMPARE(editor->Text1->text(), QStringLiteral("00"));
        QCOMPARE(editor->Text2->text(), QStringLiteral("00"));
    }

    void opening_showsANoteAsPlainText() {
        EditorRig rig;
        rig.board.notes[2] = "<b>call</b> &amp; <img src=x>";
        auto editor = rig.open();
        QCOMPARE(editor->Label3->text(), rig.board.notes[2]);
        QCOMPARE(editor->Label3->textFormat(), Qt::PlainText);
    }

    void opening_placesTheEditorLeftOfAndBelowTheBoard() {
        EditorRig rig;
        auto editor = rig.open();
        QCOMPARE(QPoint(twips(editor->x()), twips(editor->y())), QPoint(5550, 3750));
        rig.board.left = 450;
        rig.board.top = 0;
        auto atTop = rig.open();
        QCOMPARE(atTop->pos(), QPoint(0, 0));
    }

    void clock_refreshesFromTheInjectedClock() {
        EditorRig rig;
        auto editor = rig.open();
        QVERIFY(editor->Timer1.isActive());
        QCOMPARE(editor->Timer1.interval(), 1000);
        rig.clock.set(QDateTime(QDate(2026, 12, 7), QTime(23, 59, 58)));
        editor->Timer1.setInterval(1); // the next tick without waiting a second
        QTRY_COMPARE(editor->Label9->text(), DateTimeText(rig.clock.now()));
        QCOMPARE(editor->Label9->width(), editor->Label9->sizeHint().width());
    }

    void focus_movesFromThePickerToTheHourAndTheMinuteBox() {
        EditorRig rig;
        auto editor = rig.open();
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
        QTRY_COMPARE(QApplication::focusWidget(), editor->DTPicker1);
        // Tab steps through the picker's year, month and day before it leaves it.
        for (int i = 0; i < 4 && QApplication::focusWidget() == editor->DTPicker1; ++i)
            QTest::keyClick(editor->DTPicker1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editor->Text1);
        QTest::keyClick(editor->Text1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editor->Text2);
        QTest::keyClick(editor->Text2, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editor->Combo1);
        QCOMPARE(editor->Combo1->accessibleName(), QStringLiteral("重复"));
        QTest::keyClick(editor->Combo1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), editor->Label5);
        // The three button labels come after the boxes, for Tab only (a click keeps the focus).
        const QList<QLabel*> buttons{editor->Label5, editor->Label6, editor->Label7};
        for (QLabel* w : editor->findChildren<QLabel*>())
            QCOMPARE(w->focusPolicy(), buttons.contains(w) ? Qt::TabFocus : Qt::NoFocus);
    }

    void save_refusesBadInputAndStaysOpen_data() {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::addColumn<QString>("message");
        const QString hour = QStringLiteral("请输入正确的小时数.");
        const QString minute = QStringLiteral("请输入正确的分钟数.");
        QTest::newRow("both empty: the hour first") << ""
                                                    << "" << hour;
        QTest::newRow("minute empty") << "8"
                                      << "" << minute;
        QTest::newRow("hour 24, which never comes") << "24"
                                                    << "00" << hour;
        QTest::newRow("hour 99") << "99"
                                 << "00" << hour;
        QTest::newRow("minute 60, which never comes") << "8"
                                                      << "60" << minute;
    }
    void save_refusesBadInputAndStaysOpen() {
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        QFETCH(QString, message);
        EditorRig rig;
        const QByteArray before = readAll(rig.file);
        auto editor = rig.open();
        typeInto(editor->Text1, hour);
        typeInto(editor->Text2, minute);
        QTest::mouseClick(editor->Label5, Qt::LeftButton);
        QCOMPARE(rig.boxes.shown, QList<ShownBox>{notice(message, 16)});
        QVERIFY(editor->isVisible());
        QCOMPARE(editor->Text1->text(), hour);
        QCOMPARE(editor->Text2->text(), minute);
        QVERIFY(rig.store.writes.isEmpty());
        QCOMPARE(readAll(rig.file), before);
        QVERIFY(!rig.schedule.isArmed(3));
    }

    void save_refusesPastedText() {
        EditorRig rig;
        auto editor = rig.open();
        QGuiApplication::clipboard()->setText("ab");
        editor->Text1->clear();
        editor->Text1->paste(); // the key filter lets a paste through
        QCOMPARE(editor->Text1->text(), QStringLiteral("ab"));
        QGuiApplication::clipboard()->setText("-5");
        editor->Text2->clear();
        editor->Text2->paste();
        editor->Text1->setText("8");
        QTest::mouseClick(editor->Label5, Qt::LeftButton);
        QCOMPARE(rig.boxes.shown, QList<ShownBox>{notice(QStringLiteral("请输入正确的分钟数."), 16)});
        QVERIFY(editor->isVisible());
        QVERIFY(rig.store.writes.isEmpty());
    }

    void keys_takeOnlyDigitsAndBackspace_twoAtMost() {
        EditorRig rig;
        auto editor = rig.open();
        QLineEdit* box = editor->Text1;
        typeInto(box, "1a.-+ 2");
        QCOMPARE(box->text(), QStringLiteral("12"));
        QTest::keyClicks(box, "3");
        QCOMPARE(box->text(), QStringLiteral("12"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QStringLiteral("1"));
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter);
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(box->text(), QStringLiteral("1"));
        QVERIFY(editor->isVisible());
        box->selectAll();
        QTest::keyClicks(box, "7"); // replaces the selection
        QCOMPARE(box->text(), QStringLiteral("7"));
        editor->Text2->clear();
        QKeyEvent fullWidthDigit(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("５"));
        QApplication::sendEvent(editor->Text2, &fullWidthDigit); // no digit of the boxes
        QTest::keyClicks(editor->Text2, "9");
        QCOMPARE(editor->Text2->text(), QStringLiteral("9"));
        QVERIFY(rig.boxes.shown.isEmpty());
    }

    void keys_enterAndEscapeNeverCloseTheEditor() {
        EditorRig rig;
        auto editor = rig.open();
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
            QTest::keyClick(editor->DTPicker1, key);
            QTest::keyClick(editor.get(), key);
        }
        QVERIFY(editor->isVisible());
        QVERIFY(rig.boxes.shown.isEmpty());
    }

    void click_emptiesABoxShowingDoubleZeroOnly() {
        EditorRig rig;
        auto editor = rig.open();
        QTest::mouseClick(editor->Text1, Qt::LeftButton);
        QCOMPARE(editor->Text1->text(), QString());
        editor->Text2->setText("05");
        QTest::mouseClick(editor->Text2, Qt::LeftButton);
        QCOMPARE(editor->Text2->text(), QStringLiteral("05"));
        editor->Text2->setText("0");
        QTest::mouseClick(editor->Text2, Qt::LeftButton);
        QCOMPARE(editor->Text2->text(), QStringLiteral("0"));
        QTest::mouseClick(editor->Text2, Qt::RightButton);
        QCOMPARE(editor->Text2->text(), QStringLiteral("0"));
    }

    void save_writesDateThenTimeArmsTheSlotAndCloses() {
        EditorRig rig;
        auto editor = rig.open();
        editor->DTPicker1->setDate(QDate(2026, 12, 8));
        QTest::mouseClick(editor->Text1, Qt::LeftButton);
        QTest::keyClicks(editor->Text1, "8");
        QTest::mouseClick(editor->Text2, Qt::LeftButton);
        QTest::keyClicks(editor->Text2, "05");
        QTest::mouseClick(editor->Label5, Qt::LeftButton);

        const QString date = DateText(QDate(2026, 12, 8));
        const QString time = TimeText(QTime(8, 5));
        QCOMPARE(rig.store.writes, (QStringList{"3/D=" + date, "3/T=" + time}));
        QCOMPARE(rig.settings.GetIniValue("3", "D"), date);
        QCOMPARE(rig.settings.GetIniValue("3", "T"), time);
        QCOMPARE(rig.schedule.D1(3), date + ' ' + time);
        QVERIFY(rig.schedule.isArmed(3));
        QCOMPARE(rig.boxes.shown,
                 QList<ShownBox>{
                     notice(QStringLiteral("保存成功!\r\nTip:请注意时间设置的正确，如果设置不正确将不会提醒"), 64)});
        QVERIFY(!editor->isVisible());
        QCOMPARE(editor->result(), int(QDialog::Accepted));

        // The armed text is the clock's own text of that second: it fires.
        rig.clock.set(QDateTime(QDate(2026, 12, 8), QTime(8, 5, 0)));
        rig.schedule.slotTick();
        QCOMPARE(rig.host.alarms.size(), 1);
    }

    void save_takesHourZeroAsMidnight() {
        // A 24-hour clock: 0 is midnight and fires, while 24 never comes and is refused.
        EditorRig rig;
        auto editor = rig.open();
        editor->DTPicker1->setDate(QDate(2026, 12, 8));
        QTest::mouseClick(editor->Text1, Qt::LeftButton);
        QTest::keyClicks(editor->Text1, "00");
        QTest::mouseClick(editor->Label5, Qt::LeftButton);
        QCOMPARE(rig.settings.GetIniValue("3", "T"), TimeText(QTime(0, 0)));
        QVERIFY(!editor->isVisible());
        rig.clock.set(QDateTime(QDate(2026, 12, 8), QTime(0, 0, 0)));
        rig.schedule.slotTick();
        QCOMPARE(rig.host.alarms.size(), 1);
    }

    void save_replacesAnEarlierReminderOfTheSlot() {
        EditorRig rig;
        rig.storeReminder(3, "2026/12/24", "18:30:00");
        auto editor = rig.open();
        typeInto(editor->Text1, "23");
        typeInto(editor->Text2, "59");
        QTest::mouseClick(editor->Label5, Qt::LeftButton);
        const QString armed = DateText(QDate(2026, 12, 7)) + ' ' + TimeText(QTime(23, 59));
        QCOMPARE(rig.schedule.D1(3), armed);
        QCOMPARE(rig.settings.GetIniValue("3", "D") + ' ' + rig.settings.GetIniValue("3", "T"), armed);
    }

    void delete_answeredNoLeavesEverything() {
        EditorRig rig;
        rig.storeReminder(3, "2026/12/24", "18:30:00");
        const QByteArray before = readAll(rig.file);
        auto editor = rig.open();
        rig.boxes.answerNext(Box::No);
        QTest::mouseClick(editor->Label7, Qt::LeftButton);
        QCOMPARE(rig.boxes.shown,
                 QList<ShownBox>{(ShownBox{QStringLiteral("您确定要删除这条提醒？"), QStringLiteral("删除确认"), 4})});
        QVERIFY(editor->isVisible());
        QVERIFY(rig.store.writes.isEmpty());
        QCOMPARE(readAll(rig.file), before);
        QCOMPARE(rig.schedule.D1(3), QStringLiteral("2026/12/24 18:30:00"));
        QVERIFY(rig.schedule.isArmed(3));
    }

    void delete_answeredYesClearsTheSlotAndCloses() {
        EditorRig rig;
        rig.storeReminder(3, "2026/12/24", "18:30:00");
        auto editor = rig.open();
        rig.boxes.answerNext(Box::Yes);
        QTest::mouseClick(editor->Label7, Qt::LeftButton);
        QCOMPARE(rig.store.writes, (QStringList{"3/D=", "3/T="}));
        QCOMPARE(rig.settings.GetIniValue("3", "D"), QString());
        QCOMPARE(rig.settings.GetIniValue("3", "T"), QString());
        QCOMPARE(rig.schedule.D1(3), QStringLiteral("D"));
        QVERIFY(!rig.schedule.isArmed(3));
        QCOMPARE(rig.boxes.shown.size(), 2);
        QCOMPARE(rig.boxes.shown[1], notice(QStringLiteral("删除成功!"), 64));
        QVERIFY(!editor->isVisible());
    }

    void cancel_closesAndWritesNothing() {
        EditorRig rig;
        const QByteArray before = readAll(rig.file);
        auto editor = rig.open();
        typeInto(editor->Text1, "8");
        typeInto(editor->Text2, "30");
        QTest::mouseClick(editor->Label6, Qt::LeftButton);
        QVERIFY(!editor->isVisible());
        QCOMPARE(editor->result(), int(QDialog::Rejected));
        QVERIFY(rig.store.writes.isEmpty());
        QVERIFY(rig.boxes.shown.isEmpty());
        QCOMPARE(readAll(rig.file), before);
        QVERIFY(!rig.schedule.isArmed(3));
    }

    void save_withNoSelectedSlotWritesNothing() {
        EditorRig rig;
        rig.board.XH = "XH"; // the design text, before any right-click
        auto editor = rig.open();
        QCOMPARE(editor->Label3->text(), QString());
        typeInto(editor->Text1, "8");
        typeInto(editor->Text2, "30");
        QTest::mouseClick(editor->Label5, Qt::LeftButton);
        QVERIFY(rig.store.writes.isEmpty());
        QVERIFY(!editor->isVisible());
    }

    void theme_paintsOnceInTheThemesColours_data() {
        QTest::addColumn<QString>("c1");
        QTest::addColumn<Bgr>("strip");
        QTest::addColumn<Bgr>("light");
        QTest::addColumn<Bgr>("stripText");
        QTest::newRow("1 orange") << "1" << Bgr(0x0080FF) << Bgr(0x80C0FF) << Bgr(0xFFFFFF);
        QTest::newRow("2 blue") << "2" << Bgr(0xFFFF80) << Bgr(0xFFFFC0) << Bgr(0x000000);
        QTest::newRow("2.0 blue") << "2.0" << Bgr(0xFFFF80) << Bgr(0xFFFFC0) << Bgr(0x000000);
        QTest::newRow("3 purple") << "3" << Bgr(0xFF80FF) << Bgr(0xFFC0FF) << Bgr(0xFFFFFF);
        QTest::newRow("4 green") << "4" << Bgr(0x80FF80) << Bgr(0xC0FFC0) << Bgr(0x000000);
    }
    void theme_paintsOnceInTheThemesColours() {
        QFETCH(QString, c1);
        QFETCH(Bgr, strip);
        QFETCH(Bgr, light);
        QFETCH(Bgr, stripText);
        EditorRig rig;
        rig.board.C1 = c1;
        auto editor = rig.open();
        QTRY_VERIFY(!editor->CC.isActive());
        for (QWidget* w : {static_cast<QWidget*>(editor->Label1), static_cast<QWidget*>(editor->Label5),
                           static_cast<QWidget*>(editor->Label6), static_cast<QWidget*>(editor->Label7)})
            QCOMPARE(background(w), strip);
        for (QWidget* w : {static_cast<QWidget*>(editor.get()), static_cast<QWidget*>(editor->Label3)})
            QCOMPARE(background(w), light);
        for (QLineEdit* box : {editor->Text1, editor->Text2})
            QCOMPARE(paletteColor(box, QPalette::Base), light);
        QCOMPARE(foreground(editor->Label1), stripText);
        QCOMPARE(foreground(editor->Label5), toBgr(toQColor(kWindowText)));

        auto* days = editor->calendar()->findChild<QTableView*>("qt_calendar_calendarview");
        QVERIFY(days);
        QCOMPARE(paletteColor(days, QPalette::Base), light);
        QWidget* title = editor->calendarTitle();
        QVERIFY(title);
        QCOMPARE(paletteColor(title, title->backgroundRole()), strip);
    }

    void theme_repaintedAsThree_givesTheColoursOfStartingInThree() {
        EditorRig rig;
        rig.board.C1 = "2";
        auto editor = rig.open();
        QTRY_VERIFY(!editor->CC.isActive());
        QCOMPARE(foreground(editor->Label1), Bgr(0x000000));
        rig.board.C1 = "3";
        editor->paintTheme();
        QCOMPARE(foreground(editor->Label1), Bgr(0xFFFFFF));
        QCOMPARE(background(editor->Label1), Bgr(0xFF80FF));
        QWidget* title = editor->calendarTitle();
        QCOMPARE(paletteColor(title, title->backgroundRole()), Bgr(0xFF80FF));
    }

    void theme_invalidKeepsTheColoursAndRetriesWithoutSpinning() {
        EditorRig rig;
        rig.board.C1 = "5";
        auto editor = rig.open();
        editor->paintTheme();
        QVERIFY(editor->CC.isActive());
        QVERIFY(editor->CC.interval() >= 100);
        QCOMPARE(background(editor->Label1), Bgr(0x0080FF));
        QCOMPARE(background(editor.get()), Bgr(0x80C0FF));
        rig.board.C1 = "Color1";
        editor->paintTheme();
        QVERIFY(editor->CC.isActive());
        rig.board.C1 = "4";
        QTRY_VERIFY(!editor->CC.isActive()); // the timer looks again by itself
        QCOMPARE(background(editor->Label1), Bgr(0x80FF80));
    }

    void hover_whitensTheButtonUnderThePointer_data() {
        QTest::addColumn<int>("over"); // 5, 6, 7: the button; 0: the window's background
        QTest::addColumn<Bgr>("save");
        QTest::addColumn<Bgr>("cancel");
        QTest::addColumn<Bgr>("remove");
        const Bgr strip = 0xFFFF80, white = 0xFFFFFF;
        QTest::newRow("save") << 5 << white << strip << strip;
        QTest::newRow("cancel") << 6 << strip << white << strip;
        QTest::newRow("delete") << 7 << strip << strip << white;
        QTest::newRow("background") << 0 << strip << strip << strip;
    }
    void hover_whitensTheButtonUnderThePointer() {
        QFETCH(int, over);
        QFETCH(Bgr, save);
        QFETCH(Bgr, cancel);
        QFETCH(Bgr, remove);
        EditorRig rig;
        rig.storeReminder(3, "2026/12/24", "18:30:00"); // shows the delete button
        rig.board.C1 = "2";
        auto editor = rig.open();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        QTRY_VERIFY(!editor->CC.isActive());
        // Start from a lit button other than the one under test.
        QTest::mouseMove(over == 6 ? editor->Label5 : editor->Label6, QPoint(5, 5));
        QWidget* target = over == 5   ? editor->Label5
                          : over == 6 ? editor->Label6
                          : over == 7 ? editor->Label7
                                      : nullptr;
        if (target)
            QTest::mouseMove(target, QPoint(10, 10));
        else
            QTest::mouseMove(editor.get(), QPoint(290, 188));
        QCOMPARE(background(editor->Label5), save);
        QCOMPARE(background(editor->Label6), cancel);
        QCOMPARE(background(editor->Label7), remove);
    }

    void hover_overOtherControlsOrInAnInvalidThemeChangesNothing() {
        EditorRig rig;
        rig.board.C1 = "4";
        auto editor = rig.open();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        QTRY_VERIFY(!editor->CC.isActive());
        QTest::mouseMove(editor->Label5, QPoint(10, 10));
        for (QWidget* other : {static_cast<QWidget*>(editor->Label3), static_cast<QWidget*>(editor->Label2[1]),
                               static_cast<QWidget*>(editor->Label1), static_cast<QWidget*>(editor->Label11),
                               static_cast<QWidget*>(editor->Text1), static_cast<QWidget*>(editor->DTPicker1)})
            QTest::mouseMove(other, QPoint(3, 3));
        QCOMPARE(background(editor->Label5), Bgr(0xFFFFFF));
        rig.board.C1 = "0";
        QTest::mouseMove(editor->Label6, QPoint(10, 10));
        QTest::mouseMove(editor.get(), QPoint(290, 188));
        QCOMPARE(background(editor->Label5), Bgr(0xFFFFFF));
        QCOMPARE(background(editor->Label6), Bgr(0x80FF80));
    }

    void titleStrip_leftButtonDragsTheEditor() {
        SKIP_ON_WINDOWS(
            "offscreen windows have no real window handle on Windows; the Wine acceptance run drags the real window");
        EditorRig rig;
        auto editor = rig.open();
        QVERIFY(QTest::qWaitForWindowExposed(editor.get()));
        const QPoint start = editor->pos();
        QLabel* strip = editor->Label1;
        QTest::mousePress(strip, Qt::RightButton, {}, QPoint(50, 10));
        QTest::mouseRelease(strip, Qt::RightButton, {}, QPoint(50, 10));
        QCOMPARE(editor->pos(), start);

        // The pointer in screen pixels; each move is mapped on the window where it is by then.
        const QPoint press = strip->mapToGlobal(QPoint(50, 10));
        QTimer::singleShot(0, editor.get(), [strip, press] {
            QTest::mouseMove(strip, strip->mapFromGlobal(press + QPoint(10, 5)));
            QTest::mouseMove(strip, strip->mapFromGlobal(press + QPoint(40, 30)));
            QTest::mouseRelease(strip, Qt::LeftButton, {}, strip->mapFromGlobal(press + QPoint(40, 30)));
        });
        QTest::mousePress(strip, Qt::LeftButton, {}, QPoint(50, 10)); // returns when the drag is over
        QCOMPARE(editor->pos(), start + QPoint(40, 30));
        QVERIFY(editor->isVisible());
    }
};

QTEST_MAIN(TimeTest)
#include "tst_time.moc"
