#pragma once
// The six reminder slots of the main window: the armed texts D1, the check texts
// L1 and the 1000 ms slot timers P1, whose being enabled means "armed".
//
// A slot fires when its armed text is the date-time text of a second that the
// slot has not checked yet, counting from the moment its timer was enabled. A
// tick that comes late, or a sleep of the machine however long, therefore does
// not lose a reminder: it rings once at the first tick after the gap. A slot
// re-armed by the arming rule does not ring for a time already past then.
//
// Loading at start-up counts every earlier second as not yet checked: a stored
// reminder whose time went by while the program was not running rings once, at
// the first tick, and is then cleared like any other. An armed text that names
// no moment (an hour 24, a time without a date) stays armed and never rings.
#include "reminders/Recurrence.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>

class AlarmPlayer;
class Clock;
class ReminderHost;
class ReminderStore;

class ReminderSchedule : public QObject {
    Q_OBJECT

public:
    static constexpr int SlotCount = 6;
    static constexpr int TickInterval = 1000; // ms
    // The armed text of a slot without a reminder, and what loading gives for empty keys.
    static inline const QString NotSet = QStringLiteral("D");
    static inline const QString NotSetLoaded = QStringLiteral(" ");
    static inline const QString SoundAlias = QStringLiteral("OpenFile");
    // A reminder due this many seconds ahead or fewer has its sound prepared and
    // a pass timed for the start of its due second, so that neither the loading of
    // the player nor the phase of the slot timers delays the alarm.
    static constexpr int PrepareAheadSeconds = 10;
    // How long after the start of the due second that pass runs.
    static constexpr int DuePassDelayMs = 20;

    ReminderSchedule(ReminderStore& store, AlarmPlayer& player, const Clock& clock, ReminderHost& host,
                     QString soundFile, QObject* parent = nullptr);

    // Assigns D + " " + T of each section "1" to "6" to its slot; the first tick
    // rings those whose time has already passed.
    void loadReminders();
    // Sets the armed text of slot, with its repeat rule and snooze moment (none
    // by default), then enables every slot timer whose armed text is neither
    // NotSet nor NotSetLoaded and disables the others.
    void assignArmedText(int slot, const QString& text, const RepeatRule& rule = {},
                         const QDateTime& snoozedUntil = {});
    // Enable or disable the slot timer only; the armed text stays.
    void armSlot(int slot);
    void disarmSlot(int slot);
    // One pass over the enabled slots, firing those that are due. All slot timers run this.
    void slotTick();

    const QString& D1(int slot) const { return m_D1.at(index(slot)); }
    const QString& L1(int slot) const { return m_L1.at(index(slot)); }
    const QTimer& P1(int slot) const { return m_P1.at(index(slot)); }
    bool isArmed(int slot) const { return P1(slot).isActive(); }
    const RepeatRule& rule(int slot) const { return m_rule.at(index(slot)); }
    const QDateTime& snoozedUntil(int slot) const { return m_snooze.at(index(slot)); }
    // The single-shot timer of the pass at the next due second, with the player
    // prepared for it; after that pass the player lets go of what it prepared.
    const QTimer& duePass() const { return m_duePass; }
    void duePassTick();

    // The alarm message for a note.
    static QString alarmText(const QString& note);

private:
    static std::size_t index(int slot) { return static_cast<std::size_t>(slot - 1); }
    static bool validSlot(int slot) { return slot >= 1 && slot <= SlotCount; }
    void setTimerEnabled(int slot, bool enabled);
    bool isDue(int slot, const QDateTime& now);
    // The earlier of the armed text's moment and the snooze moment.
    QDateTime dueAt(int slot) const;
    void alarm(int slot);
    // Moves a slot that rang on to what it rings for next; false when the file
    // could not be written.
    bool moveOn(int slot, const QDateTime& now);
    void snooze(int slot, int minutes);
    void pass();
    void prepareForNextDue();

    ReminderStore& m_store;
    AlarmPlayer& m_player;
    const Clock& m_clock;
    ReminderHost& m_host;
    QString m_soundFile;

    std::array<QString, SlotCount> m_D1;
    std::array<QString, SlotCount> m_L1;
    // The moment each armed text names; invalid when it names none.
    std::array<QDateTime, SlotCount> m_due;
    std::array<RepeatRule, SlotCount> m_rule;
    std::array<QDateTime, SlotCount> m_snooze;
    std::array<QTimer, SlotCount> m_P1;
    // The last second each slot has checked.
    std::array<QDateTime, SlotCount> m_checkedUpTo;
    QTimer m_duePass;
    // Alarm messages open right now; the sound is closed when the last one closes.
    int m_openAlarms = 0;
};
