#include "reminders/ReminderSchedule.h"

#include "reminders/Clock.h"
#include "reminders/DateTimeText.h"
#include "reminders/ReminderHost.h"
#include "reminders/ReminderStore.h"
#include "reminders/sound/AlarmPlayer.h"

namespace {

// The same moment less its milliseconds; kept as a moment, so that in the hour
// that comes twice when summer time ends it stays in the right one.
QDateTime wholeSecond(const QDateTime& value) {
    return value.addMSecs(-value.time().msec());
}

// Before any reminder the editor accepts: loading counts everything after it as unchecked.
const QDateTime LongAgo(QDate(1, 1, 1), QTime(0, 0));

} // namespace

ReminderSchedule::ReminderSchedule(ReminderStore& store, AlarmPlayer& player, const Clock& clock, ReminderHost& host,
                                   QString soundFile, QObject* parent)
    : QObject(parent), m_store(store), m_player(player), m_clock(clock), m_host(host),
      m_soundFile(std::move(soundFile)) {
    for (int slot = 1; slot <= SlotCount; ++slot) {
        m_D1[index(slot)] = NotSet;
        m_L1[index(slot)] = QStringLiteral("L") + QString::number(slot);
        QTimer& timer = m_P1[index(slot)];
        timer.setInterval(TickInterval);
        connect(&timer, &QTimer::timeout, this, &ReminderSchedule::slotTick);
    }
    m_duePass.setSingleShot(true);
    m_duePass.setTimerType(Qt::PreciseTimer);
    connect(&m_duePass, &QTimer::timeout, this, &ReminderSchedule::duePassTick);
}

void ReminderSchedule::loadReminders() {
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const QString snooze = m_store.storedSnooze(slot);
        assignArmedText(slot, m_store.storedDate(slot) + u' ' + m_store.storedTime(slot),
                        RepeatRule::fromText(m_store.storedRule(slot)),
                        snooze.isEmpty() ? QDateTime() : DateTimeFromText(snooze));
    }
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (isArmed(slot))
            m_checkedUpTo[index(slot)] = LongAgo;
}

void ReminderSchedule::assignArmedText(int slot, const QString& text, const RepeatRule& rule,
                                       const QDateTime& snoozedUntil) {
    if (!validSlot(slot))
        return;
    m_D1[index(slot)] = text;
    m_due[index(slot)] = DateTimeFromText(text);
    m_rule[index(slot)] = rule;
    m_snooze[index(slot)] = snoozedUntil;
    for (int i = 1; i <= SlotCount; ++i) {
        const QString& armed = m_D1[index(i)];
        setTimerEnabled(i, armed != NotSet && armed != NotSetLoaded);
    }
}

void ReminderSchedule::armSlot(int slot) {
    if (validSlot(slot))
        setTimerEnabled(slot, true);
}

void ReminderSchedule::disarmSlot(int slot) {
    if (validSlot(slot))
        setTimerEnabled(slot, false);
}

void ReminderSchedule::setTimerEnabled(int slot, bool enabled) {
    QTimer& timer = m_P1[index(slot)];
    if (enabled == timer.isActive())
        return;
    if (enabled) {
        // The second in which the slot is armed is still to be checked; every
        // earlier one counts as past.
        m_checkedUpTo[index(slot)] = wholeSecond(m_clock.now()).addSecs(-1);
        timer.start();
    } else {
        timer.stop();
    }
}

void ReminderSchedule::slotTick() {
    pass();
    prepareForNextDue();
}

void ReminderSchedule::duePassTick() {
    pass();
    m_player.release();
    prepareForNextDue();
}

void ReminderSchedule::prepareForNextDue() {
    if (m_duePass.isActive())
        return;
    const QDateTime now = m_clock.now();
    const QDateTime first = wholeSecond(now).addSecs(1);
    const QDateTime last = first.addSecs(PrepareAheadSeconds - 1);
    QDateTime due;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        if (!isArmed(slot))
            continue;
        const QDateTime at = dueAt(slot);
        if (at.isValid() && first <= at && at <= last && (!due.isValid() || at < due))
            due = at;
    }
    if (!due.isValid())
        return;
    m_player.prepare(m_soundFile);
    m_duePass.start(static_cast<int>(now.msecsTo(due)) + DuePassDelayMs);
}

void ReminderSchedule::pass() {
    for (int slot = 1; slot <= SlotCount; ++slot) {
        if (!isArmed(slot))
            continue;
        const QDateTime now = m_clock.now();
        m_L1[index(slot)] = DateTimeText(now);
        if (isDue(slot, now))
            alarm(slot);
    }
}

bool ReminderSchedule::isDue(int slot, const QDateTime& now) {
    const QDateTime last = wholeSecond(now);
    QDateTime first = m_checkedUpTo[index(slot)].addSecs(1);
    // A second pass within one second, or a clock set back, checks the current second.
    if (!first.isValid() || first > last)
        first = last;
    m_checkedUpTo[index(slot)] = last;
    const QDateTime due = dueAt(slot);
    return due.isValid() && first <= due && due <= last;
}

QDateTime ReminderSchedule::dueAt(int slot) const {
    const QDateTime& regular = m_due[index(slot)];
    const QDateTime& snooze = m_snooze[index(slot)];
    if (!snooze.isValid())
        return regular;
    return regular.isValid() && regular < snooze ? regular : snooze;
}

void ReminderSchedule::alarm(int slot) {
    if (m_openAlarms == 0)
        m_player.open(m_soundFile, SoundAlias);
    m_player.play(SoundAlias);
    ++m_openAlarms;

    // Moved on before the message, so a pass run while it is open skips this slot.
    const bool written = moveOn(slot, m_clock.now());
    const QString failure = written ? QString() : m_store.lastError();
    const std::size_t i = index(slot);
    const QString armed = m_D1[i];
    const RepeatRule rule = m_rule[i];
    const QDateTime snoozedUntil = m_snooze[i];

    const int minutes = m_host.showAlarm(alarmText(m_host.noteText(slot)));
    // A snooze applies to the reminder that rang, not to one saved meanwhile.
    const bool snoozing = minutes > 0 && m_D1[i] == armed && m_rule[i] == rule && m_snooze[i] == snoozedUntil;
    if (snoozing)
        snooze(slot, minutes);

    if (--m_openAlarms == 0)
        m_player.close(SoundAlias);
    if (!snoozing && !rule.repeats())
        disarmSlot(slot);
    // The file still holds the reminder, so it would ring again at the next start.
    if (!written)
        m_host.showClearFailure(failure);
}

bool ReminderSchedule::moveOn(int slot, const QDateTime& now) {
    const std::size_t i = index(slot);
    const RepeatRule rule = m_rule[i];
    const QDateTime snooze = m_snooze[i];
    if (!rule.repeats()) {
        assignArmedText(slot, NotSet);
        return m_store.writeReminder(slot, QString(), QString()) && m_store.writeExtra(slot, Keys::Z, QString());
    }
    QString armed = m_D1[i];
    bool written = true;
    const QDateTime& regular = m_due[i];
    QString nextDate;
    QString time;
    if (regular.isValid() && regular <= now) {
        const DateTimeParts parts = DateTimePartsFromText(armed);
        const QDate next = nextOccurrenceDate(rule, parts.date, parts.time, now);
        if (!next.isValid()) {
            // No occurrence left in the calendar: it has rung for the last time.
            assignArmedText(slot, NotSet);
            return m_store.writeReminder(slot, QString(), QString()) && m_store.writeExtra(slot, Keys::Z, QString());
        }
        nextDate = DateText(next);
        // The time of day stays as stored: the armed text is D + " " + T.
        time = armed.mid(DateText(parts.date).size() + 1);
        armed = nextDate + u' ' + time;
    }
    const bool snoozeRang = snooze.isValid() && snooze <= now;
    assignArmedText(slot, armed, rule, snoozeRang ? QDateTime() : snooze);
    if (!nextDate.isEmpty())
        written = m_store.writeReminder(slot, nextDate, time);
    if (snoozeRang && written)
        written = m_store.writeExtra(slot, Keys::Z, QString());
    return written;
}

void ReminderSchedule::snooze(int slot, int minutes) {
    const QDateTime at = wholeSecond(m_clock.now()).addSecs(qint64(minutes) * 60);
    bool written = false;
    if (!m_rule[index(slot)].repeats()) {
        const QString date = DateText(at.date());
        const QString time = TimeText(at.time());
        assignArmedText(slot, date + u' ' + time);
        written = m_store.writeReminder(slot, date, time);
    } else {
        assignArmedText(slot, m_D1[index(slot)], m_rule[index(slot)], at);
        written = m_store.writeExtra(slot, Keys::Z, DateTimeText(at));
    }
    if (!written)
        m_host.showSnoozeFailure(m_store.lastError());
}

QString ReminderSchedule::alarmText(const QString& note) {
    return QStringLiteral("提醒内容：") + note + QStringLiteral("\r\n") +
           QStringLiteral("温馨提醒：您设置的提醒时间已到^ ^请不要耽误喽!");
}
