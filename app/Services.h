#pragma once
// The services a window is given when it is created.
class SettingsStore;
class MessageBoxes;

#include <functional>

struct Services {
    SettingsStore& store;
    MessageBoxes& boxes;
    // Ends the program with a status, leaving every window as it is.
    std::function<void(int)> endProgram;
};
