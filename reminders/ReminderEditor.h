#pragma once
// What the reminder editor window does, without its widgets: reading the stored
// reminder, checking the hour and minute boxes, and the save and delete sequences.
// The window shows the messages returned here and closes itself when told to.
#include "reminders/Recurrence.h"

#include <QDate>
#include <QList>
#include <QString>

class Clock;
class ReminderSchedule;
class ReminderStore;

namespace EditorText {
inline const QString TitleStrip = QStringLiteral("提醒时间设置(24小时制)");
inline const QString Caption = QStringLiteral("时间设置");
inline const QString NotSetLabel = QStringLiteral("未设置");
inline const QString HourMessage = QStringLiteral("请输入正确的小时数.");
inline const QString MinuteMessage = QStringLiteral("请输入正确的分钟数.");
inline const QString SavedMessage = QStringLiteral("保存成功!") + QStringLiteral("\r\n") +
                                    QStringLiteral("Tip:请注意时间设置的正确，如果设置不正确将不会提醒");
inline const QString DeleteQuestion = QStringLiteral("您确定要删除这条提醒？");
inline const QString DeletedMessage = QStringLiteral("删除成功!");
inline const QString PastMessage = QStringLiteral("提醒时间已经过去，请设置一个将来的时间。");
} // namespace EditorText

struct EditorMessage {
    QString text;
    QString title;
    int style = 0;
};

// The stored reminder as the editor shows it on opening.
struct ReminderLabel {
    QString text;       // NotSetLabel, or D + " " + T, then the rule in brackets
    bool deleteVisible; // the delete button shows only for a stored date
    Repeat repeat = Repeat::None;
    QString snooze; // "稍后提醒：" + Z for a snoozed repeating reminder, else ""
};

// The choices of the repeat box, in its order, and what each stands for.
struct RepeatChoice {
    Repeat repeat;
    QString text;
};
const QList<RepeatChoice>& repeatChoices();

struct SaveOutcome {
    bool saved = false; // true: show the message, then close the editor
    EditorMessage message;
};

// --- Hour and minute boxes ----------------------------------------------------

constexpr int TimeBoxMaxLength = 2;
constexpr int BackspaceKey = 8;

// Whether a box holding text, selectedLength characters of which are selected
// (and replaced by what is typed), takes the character with code keyCode: only
// Backspace and the digits 0 to 9, and never more than two characters.
bool timeBoxAcceptsKey(const QString& text, int selectedLength, int keyCode);

// The box text after a click: a box showing exactly "00" is emptied.
QString timeBoxTextAfterClick(const QString& text);

// The message for box texts that cannot be saved, or "" when they can be.
// Checked in this order: hour empty or not one or two digits, minute likewise,
// hour above 23, minute above 59.
QString timeInputError(const QString& hourText, const QString& minuteText);

// The stored time of valid box texts, in the conversion's time format at second 0
// ("8:05:00" for "08" and "5"), so that the armed text equals the clock's text.
QString composeTimeText(const QString& hourText, const QString& minuteText);

// The stored date of a date picker value.
QString composeDateText(const QDate& date);

// --- Sequences ----------------------------------------------------------------

class ReminderEditor {
public:
    ReminderEditor(ReminderStore& store, ReminderSchedule& schedule, const Clock& clock);

    // The date picker's starting value.
    QDate today() const;
    // The current-time label, refreshed every second.
    QString currentTimeText() const;
    // The reminder label from the stored keys of slot (1 to 6).
    ReminderLabel reminderLabel(int slot) const;

    // Save: on refused input (bad hour or minute, a moment already past) only the
    // message, nothing written; otherwise writes D then T, then R (the rule) and
    // Z (emptied) where they change, assigns D + " " + T to the slot, arms it and
    // returns the saved message. A workday reminder chosen on a weekend is stored
    // for the Monday after. When the file cannot be written the slot keeps its
    // reminder, the file is put back as far as it can be, and the message is the
    // failure with the store's reason.
    SaveOutcome save(int slot, const QDate& date, const QString& hourText, const QString& minuteText,
                     Repeat repeat = Repeat::None);

    // The question asked before deleting.
    static EditorMessage deleteQuestion();
    // Delete, after the user answered Yes: disarms the slot, writes D "" then T ""
    // (and R and Z "" where they hold something),
    // assigns NotSet and returns the deleted message (deleted true). When the file
    // cannot be written the slot keeps its reminder and the message is the failure.
    SaveOutcome deleteReminder(int slot);

private:
    // Writes D, T, R and an empty Z; on failure puts back the D written before
    // and gives the message.
    bool writeOrRestore(int slot, const QString& date, const QString& time, const QString& rule, const QString& failure,
                        EditorMessage* message);

    ReminderStore& m_store;
    ReminderSchedule& m_schedule;
    const Clock& m_clock;
};
