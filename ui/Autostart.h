#pragma once
// Starting the program with the system: the one start-up entry of the program,
// written or removed. One implementation per system.
#include <QString>
#include <memory>

class Autostart {
public:
    virtual ~Autostart() = default;
    // Makes the program start with the system (enabled) or no longer start with it.
    // Returns false when that could not be done; *error then says why, for the user.
    // Disabling when there is no entry is no error.
    virtual bool apply(bool enabled, QString* error) = 0;
};

// The system's start-up entry for the program at executable (its full path).
std::unique_ptr<Autostart> makeSystemAutostart(const QString& executable);
