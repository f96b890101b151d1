#pragma once
// The start-up entry of Windows as a value in a Run key: the machine's key
// (HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run) when this process may write
// it, otherwise the user's (the same path under HKCU), which Windows reads at each
// logon of that user. Kept apart from the registry so that the fallback can be
// checked anywhere.
#include <QString>

class RunKey {
public:
    virtual ~RunKey() = default;
    // The key's full name, for messages.
    virtual QString path() const = 0;
    // Whether the key holds a value called name; looks with read access only.
    virtual bool holds(const QString& name) = 0;
    virtual bool write(const QString& name, const QString& data, QString* reason) = 0;
    virtual bool remove(const QString& name, QString* reason) = 0;
};

// Enabling writes the machine's value, or the user's when that is refused (and
// drops a user's value left from before once the machine's is written).
// Disabling removes the value from each key that holds one; nothing to remove is
// no error. Returns false with *error naming each key and reason that failed.
bool applyRunValue(RunKey& machine, RunKey& user, const QString& name, const QString& data, bool enabled,
                   QString* error);
