#pragma once
// The services a window is given when it is created.
class SettingsStore;
class MessageBoxes;

struct Services {
    SettingsStore& store;
    MessageBoxes& boxes;
};
