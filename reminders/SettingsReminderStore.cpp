#include "reminders/SettingsReminderStore.h"

#include "store/SettingsStore.h"

// Dates and times are plain text that the store's encoding leaves unchanged, so
// the raw read and the encoded write agree on every value written here.
QString SettingsReminderStore::read(const QString& section, const QString& key) const {
    return m_settings.GetIniValue(section, key);
}

bool SettingsReminderStore::write(const QString& section, const QString& key, const QString& value) {
    return m_settings.setValue(section, key, value);
}

QString SettingsReminderStore::lastError() const {
    return m_settings.lastError();
}
