#pragma once
// The keys D and T of the sections "1" to "6" of the settings file, as the
// reminders read and write them.
#include <QString>

class ReminderStore {
public:
    virtual ~ReminderStore() = default;
    // The stored value, or "" when the file, section or key is missing.
    virtual QString read(const QString& section, const QString& key) const = 0;
    // One write of one key; false when the file could not be written.
    virtual bool write(const QString& section, const QString& key, const QString& value) = 0;
};
