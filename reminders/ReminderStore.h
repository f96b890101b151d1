#pragma once
// The keys D and T of the reminder sections of the settings file, as the
// reminders read and write them.
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
    // Writes D, then T; false, with T not tried, when D could not be written, and
    // false when T could not be written (D then holds the new value).
    bool writeReminder(int slot, const QString& date, const QString& time) {
        const QString section = Keys::reminder(slot);
        return write(section, Keys::D, date) && write(section, Keys::T, time);
    }
};
