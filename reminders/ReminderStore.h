#pragma once
// The keys of the reminder sections of the settings file, as the reminders
// read and write them: D and T, the date and time the reminder rings next; R,
// its repeat rule (absent or empty: it rings once); Z, the date-time text a
// repeating reminder was put off to with 稍后提醒 (absent or empty: none).
#include "store/Keys.h"

#include <QString>

class ReminderStore {
public:
    virtual ~ReminderStore() = default;
    // The stored value, or "" when the file, section or key is missing.
    virtual QString read(const QString& section, const QString& key) const = 0;
    // One write of one key; false when the file could not be written.
    virtual bool write(const QString& section, const QString& key, const QString& value) = 0;
    // Why the last failed write failed: a message for the user naming the file and the reason.
    virtual QString lastError() const = 0;

    // D and T of slot's section (the slot number as text).
    QString storedDate(int slot) const { return read(Keys::reminder(slot), Keys::D); }
    QString storedTime(int slot) const { return read(Keys::reminder(slot), Keys::T); }
    QString storedRule(int slot) const { return read(Keys::reminder(slot), Keys::R); }
    QString storedSnooze(int slot) const { return read(Keys::reminder(slot), Keys::Z); }
    // Writes key (R or Z) of slot's section, and writes nothing when the value
    // already is what the file holds: a file without the key keeps without it
    // while there is nothing to say.
    bool writeExtra(int slot, const QString& key, const QString& value) {
        const QString section = Keys::reminder(slot);
        return read(section, key) == value || write(section, key, value);
    }
    // Writes D, then T; false, with T not tried, when D could not be written, and
    // false when T could not be written (D then holds the new value).
    bool writeReminder(int slot, const QString& date, const QString& time) {
        const QString section = Keys::reminder(slot);
        return write(section, Keys::D, date) && write(section, Keys::T, time);
    }
};
