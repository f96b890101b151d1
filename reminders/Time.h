#pragma once
// The reminder editor: sets, shows and deletes the reminder of the slot selected
// in the main window. A modal, frameless dialog with its own title strip; what it
// checks, stores and says comes from ReminderEditor, and it shows the messages.
#include "reminders/ReminderEditor.h"
#include "ui/Themes.h"

#include "ui/ThemeTimer.h"
#include <QDialog>

#include <QTimer>
#include <array>

class Clock;
class LabelButton;
class MessageBoxes;
class QCalendarWidget;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class ReminderSchedule;
class ReminderStore;

// A QDateTimeEdit display format that shows a date as DateText does, found by
// formatting two dates with it. A conversion that has letters of its own (month
// names) or anything else a format cannot express gives "yyyy-MM-dd".
QString datePickerFormat();

// What the editor reads of the main window.
class TimeHost {
public:
    virtual ~TimeHost() = default;
    virtual QString themeText() const = 0;     // C1
    virtual QString selectedSlot() const = 0;  // XH
    virtual QString slotText(int n) const = 0; // caption of Label2(n), n = 1..6
    virtual int leftTwips() const = 0;
    virtual int topTwips() const = 0;
};

class Time : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 4545;
    // The designed 2925 and a row below it for the repeat box.
    static constexpr int kHeightTwips = 3420;
    static constexpr int kClockInterval = 1000; // ms, Timer1

    // Runs the opening steps at once: date, content, place, clock, stored reminder.
    Time(TimeHost& board, ReminderSchedule& schedule, ReminderStore& store, const Clock& clock, MessageBoxes& boxes,
         QWidget* parent = nullptr);
    ~Time() override;

    // The rule chosen in Combo1.
    Repeat repeat() const;

    // The three label buttons, as the hover pattern groups them.
    QList<QLabel*> buttons() const;

    // Handlers, also reachable by tests.
    void save();           // Label5 "保存"
    void cancel();         // Label6 "取消"
    void deleteReminder(); // Label7 "删除提醒"
    void paintTheme();     // one CC tick
    void refreshClock();   // one Timer1 tick

    // Controls, by their design names.
    LabelButton* Label1 = nullptr;   // title strip
    std::array<QLabel*, 2> Label2{}; // "内容：", "时间："
    QLabel* Label3 = nullptr;        // the note of the slot
    QDateEdit* DTPicker1 = nullptr;
    QLineEdit* Text1 = nullptr;      // hour
    QLineEdit* Text2 = nullptr;      // minute
    std::array<QLabel*, 2> Label4{}; // "时", "分"
    LabelButton* Label5 = nullptr;   // save
    LabelButton* Label6 = nullptr;   // cancel
    LabelButton* Label7 = nullptr;   // delete
    QLabel* Label8 = nullptr;        // "当前时间："
    QLabel* Label9 = nullptr;        // current time
    QLabel* Label10 = nullptr;       // "提醒时间："
    QLabel* Label11 = nullptr;       // stored reminder
    QLabel* Label12 = nullptr;       // "重复："
    QComboBox* Combo1 = nullptr;     // the repeat rule, repeatChoices() in order
    QTimer Timer1;
    ThemeTimer CC;

    // The calendar popup of the date picker, and its navigation bar (the title).
    QCalendarWidget* calendar() const;
    QWidget* calendarTitle() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void runOpeningSteps();
    void setCalendarColors(Bgr light, Bgr strip);
    void titlePressed(Qt::MouseButton button, QPoint globalPos);
    bool filterTimeBoxKey(QLineEdit* box, QKeyEvent* event) const;
    int selectedSlot() const;

    TimeHost& m_board;
    MessageBoxes& m_boxes;
    ReminderEditor m_editor;
};
