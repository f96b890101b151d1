#include "reminders/ReminderSchedule.h"

#include "reminders/Clock.h"
#include "reminders/DateTimeText.h"
#include "reminders/ReminderHost.h"
#include "reminders/ReminderStore.h"
#include "reminders/sound/AlarmPlayer.h"

namespace {

// The start of value's second, on the same side of a change of the clock.
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
    for (int slot = 1; slot <= SlotCount; ++slot)
        assignArmedText(slot, m_store.storedDate(slot) + u' ' + m_store.storedTime(slot));
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (isArmed(slot))
            m_checkedUpTo[index(slot)] = LongAgo;
}

void ReminderSchedule::assignArmedText(int slot, const QString& text) {
    if (!validSlot(slot))
        return;
    m_D1[index(slot)] = text;
    m_due[index(slot)] = DateTimeFromText(text);
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
        const QDateTime& at = m_due[index(slot)];
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
    const QDateTime& due = m_due[index(slot)];
    return due.isValid() && first <= due && due <= last;
}

void ReminderSchedule::alarm(int slot) {
    if (m_openAlarms == 0)
        m_player.open(m_soundFile, SoundAlias);
    m_player.play(SoundAlias);
    ++m_openAlarms;

    // Cleared before the message, so a pass run while it is open skips this slot.
    assignArmedText(slot, NotSet);
    const bool cleared = m_store.writeReminder(slot, QString(), QString());
    const QString failure = cleared ? QString() : m_store.lastError();

    m_host.showAlarm(alarmText(m_host.noteText(slot)));

    if (--m_openAlarms == 0)
        m_player.close(SoundAlias);
    disarmSlot(slot);
    // The file still holds the reminder, so it would ring again at the next start.
    if (!cleared)
        m_host.showClearFailure(failure);
}

QString ReminderSchedule::alarmText(const QString& note) {
    return QStringLiteral("提醒内容：") + note + QStringLiteral("\r\n") +
           QStringLiteral("温馨提醒：您设置的提醒时间已到^ ^请不要耽误喽!");
}
