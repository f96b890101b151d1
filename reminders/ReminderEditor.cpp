#include "reminders/ReminderEditor.h"
#include "store/Keys.h"
#include "widgets/MessageBoxes.h"

#include "reminders/Clock.h"
#include "reminders/DateTimeText.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/ReminderStore.h"

#include <QTime>

#include <algorithm>

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The value of a box text: one or two digits. Anything else (empty, pasted
// letters or signs, more than a box holds) gives -1.
int boxNumber(const QString& text) {
    if (text.isEmpty() || text.size() > TimeBoxMaxLength || !std::all_of(text.begin(), text.end(), isDigit))
        return -1;
    return text.toInt();
}

} // namespace

bool timeBoxAcceptsKey(const QString& text, int selectedLength, int keyCode) {
    if (keyCode == BackspaceKey)
        return true;
    if (keyCode < '0' || keyCode > '9')
        return false;
    return text.size() - selectedLength < TimeBoxMaxLength;
}

QString timeBoxTextAfterClick(const QString& text) {
    return text == u"00" ? QString() : text;
}

QString timeInputError(const QString& hourText, const QString& minuteText) {
    const int hour = boxNumber(hourText);
    const int minute = boxNumber(minuteText);
    if (hour < 0)
        return EditorText::HourMessage;
    if (minute < 0)
        return EditorText::MinuteMessage;
    if (hour > 23)
        return EditorText::HourMessage;
    if (minute > 59)
        return EditorText::MinuteMessage;
    return {};
}

QString composeTimeText(const QString& hourText, const QString& minuteText) {
    return TimeText(QTime(hourText.toInt(), minuteText.toInt(), 0));
}

QString composeDateText(const QDate& date) {
    return DateTimeText(QDateTime(date, QTime(0, 0)));
}

const QList<RepeatChoice>& repeatChoices() {
    static const QList<RepeatChoice> choices{
        {Repeat::None, QStringLiteral("不重复")},
        {Repeat::Daily, QStringLiteral("每天")},
        {Repeat::Workdays, QStringLiteral("工作日（周一至周五）")},
        {Repeat::Weekly, QStringLiteral("每周")},
        {Repeat::Monthly, QStringLiteral("每月")},
    };
    return choices;
}

ReminderEditor::ReminderEditor(ReminderStore& store, ReminderSchedule& schedule, const Clock& clock)
    : m_store(store), m_schedule(schedule), m_clock(clock) {}

QDate ReminderEditor::today() const {
    return m_clock.now().date();
}

QString ReminderEditor::currentTimeText() const {
    return DateTimeText(m_clock.now());
}

ReminderLabel ReminderEditor::reminderLabel(int slot) const {
    const QString d = m_store.storedDate(slot);
    if (d.isEmpty())
        return {EditorText::NotSetLabel, false};
    QString text = d + u' ' + m_store.storedTime(slot);
    const RepeatRule rule = RepeatRule::fromText(m_store.storedRule(slot));
    if (rule.repeats()) {
        text += QStringLiteral("（") + rule.label(DateTimePartsFromText(d).date) + QStringLiteral("）");
    }
    const QString snooze = m_store.storedSnooze(slot);
    return {text, true, rule.repeat, snooze.isEmpty() ? QString() : QStringLiteral("稍后提醒：") + snooze};
}

bool ReminderEditor::writeOrRestore(int slot, const QString& date, const QString& time, const QString& rule,
                                    const QString& failure, EditorMessage* message) {
    const QString oldDate = m_store.storedDate(slot);
    if (m_store.writeReminder(slot, date, time) && m_store.writeExtra(slot, Keys::R, rule) &&
        m_store.writeExtra(slot, Keys::Z, QString()))
        return true;
    const QString reason = m_store.lastError();
    // D may hold the new value while T kept the old one: a mixture that names
    // neither reminder. Put D back; when even that fails the next start reads
    // what the file holds.
    m_store.write(Keys::reminder(slot), Keys::D, oldDate);
    *message = {Box::failure(failure, reason), Box::Notice, Box::Error};
    return false;
}

SaveOutcome ReminderEditor::save(int slot, const QDate& chosen, const QString& hourText, const QString& minuteText,
                                 Repeat repeat) {
    const QString error = timeInputError(hourText, minuteText);
    if (!error.isEmpty())
        return {false, {error, Box::Notice, Box::Error}};

    const RepeatRule rule = RepeatRule::forDate(repeat, chosen);
    const QDate date = firstOccurrenceDate(rule, chosen);
    const QString timeText = composeTimeText(hourText, minuteText);
    const QString dateText = composeDateText(date);
    const QString armed = dateText + u' ' + timeText;
    // The second now running still rings; an earlier one never would.
    const QDateTime due = DateTimeFromText(armed);
    const QDateTime now = m_clock.now();
    if (due.isValid() && due < now.addMSecs(-now.time().msec()))
        return {false, {EditorText::PastMessage, Box::Notice, Box::Error}};

    SaveOutcome outcome;
    if (!writeOrRestore(slot, dateText, timeText, rule.text(), Box::SaveFailed, &outcome.message))
        return outcome;
    m_schedule.assignArmedText(slot, armed, rule);
    m_schedule.armSlot(slot);
    return {true, {EditorText::SavedMessage, Box::Notice, Box::Information}};
}

EditorMessage ReminderEditor::deleteQuestion() {
    return {EditorText::DeleteQuestion, Box::DeleteTitle, Box::YesNo};
}

SaveOutcome ReminderEditor::deleteReminder(int slot) {
    SaveOutcome outcome;
    if (!writeOrRestore(slot, QString(), QString(), QString(), Box::DeleteFailed, &outcome.message))
        return outcome;
    m_schedule.disarmSlot(slot);
    m_schedule.assignArmedText(slot, ReminderSchedule::NotSet);
    return {true, {EditorText::DeletedMessage, Box::Notice, Box::Information}};
}
