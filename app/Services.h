#pragma once
// The services a window is given when it is created.
#include <QString>
#include <functional>

class AlarmPlayer;
class Autostart;
class Clock;
class MessageBoxes;
class SettingsStore;

struct Services {
    SettingsStore& store;
    MessageBoxes& boxes;
    const Clock& clock;
    AlarmPlayer& player;
    QString soundFile; // the alarm sound
    // Ends the program with a status, leaving every window as it is.
    std::function<void(int)> endProgram;
    Autostart& autostart; // starting with the system
};
