#pragma once
// ReminderStore on the program's settings file.
#include "reminders/ReminderStore.h"

class SettingsStore;

class SettingsReminderStore : public ReminderStore {
public:
    explicit SettingsReminderStore(SettingsStore& settings) : m_settings(settings) {}

    QString read(const QString& section, const QString& key) const override;
    bool write(const QString& section, const QString& key, const QString& value) override;
    QString lastError() const override;

private:
    SettingsStore& m_settings;
};
