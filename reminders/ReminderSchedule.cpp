#include "reminders/ReminderSchedule.h"

#include "reminders/AlarmPlayer.h"
#include "reminders/Clock.h"
#include "reminders/DateTimeText.h"
#include "reminders/ReminderHost.h"
#include "reminders/ReminderStore.h"

#include <QRegularExpression>

namespace {

constexpr int SecondsPerDay = 24 * 60 * 60;

QDateTime wholeSecond(const QDateTime& value) {
    const QTime t = value.time();
    return QDateTime(value.date(), QTime(t.hour(), t.minute(), t.second()));
}

// Whether armed is the date-time text of some second of date from first to last,
// in either of its two forms: DateTimeText's, and date + " " + time, which is how
// the editor composes a reminder at 00:00:00. The second found goes to *at.
bool matchesDay(const QString& armed, const QDate& date, const QTime& first, const QTime& last,
                QTime* at = nullptr) {
    const QString dateText = DateText(date);
    if (!armed.startsWith(dateText))
        return false;
    if (armed.size() == dateText.size()) {
        if (at)
            *at = QTime(0, 0);
        return first == QTime(0, 0);
    }
    const QString timePart = armed.mid(dateText.size());
    if (!timePart.startsWith(u' '))
        return false;
    const QString timeText = timePart.mid(1);
    // Hours, minutes and seconds of one or two digits each ("08:05:00", "8:5:00",
    // the clock's "8:05:00") name the same time of day.
    static const QRegularExpression hms(QStringLiteral("^(\\d{1,2}):(\\d{1,2}):(\\d{1,2})$"));
    if (const QRegularExpressionMatch m = hms.match(timeText); m.hasMatch()) {
        const QTime time(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (at)
            *at = time;
        return time.isValid() && first <= time && time <= last;
    }
    for (QTime t = first;; t = t.addSecs(1)) {
        if (TimeText(t) == timeText) {
            if (at)
                *at = t;
            return true;
        }
        if (t == last)
            return false;
    }
}

// The first second from first to last (whole seconds, at most a day apart) whose
// date-time text armed is; invalid when there is none.
QDateTime firstMatch(const QString& armed, const QDateTime& first, const QDateTime& last) {
    for (QDate date = first.date(); date <= last.date(); date = date.addDays(1)) {
        const QTime from = date == first.date() ? first.time() : QTime(0, 0);
        const QTime to = date == last.date() ? last.time() : QTime(23, 59, 59);
        QTime at;
        if (from <= to && matchesDay(armed, date, from, to, &at))
            return QDateTime(date, at);
    }
    return {};
}

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
}

void ReminderSchedule::assignArmedText(int slot, const QString& text) {
    if (!validSlot(slot))
        return;
    m_D1[index(slot)] = text;
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
        const QDateTime at = firstMatch(m_D1[index(slot)], first, last);
        if (at.isValid() && (!due.isValid() || at < due))
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
    const QDateTime dayAgo = last.addSecs(-(SecondsPerDay - 1));
    if (first < dayAgo)
        first = dayAgo;
    m_checkedUpTo[index(slot)] = last;
    return firstMatch(m_D1[index(slot)], first, last).isValid();
}

void ReminderSchedule::alarm(int slot) {
    if (m_openAlarms == 0)
        m_player.open(m_soundFile, SoundAlias);
    m_player.play(SoundAlias);
    ++m_openAlarms;

    // Cleared before the message, so a pass run while it is open skips this slot.
    assignArmedText(slot, NotSet);
    m_store.writeReminder(slot, QString(), QString());

    m_host.showAlarm(alarmText(m_host.noteText(slot)));

    if (--m_openAlarms == 0)
        m_player.close(SoundAlias);
    disarmSlot(slot);
}

QString ReminderSchedule::alarmText(const QString& note) {
    return QStringLiteral("提醒内容：") + note + QStringLiteral("\r\n") +
           QStringLiteral("温馨提醒：您设置的提醒时间已到^ ^请不要耽误喽!");
}
