#pragma once
#include <QString>

// Where the settings file and the alarm sound live.
struct AppPaths {
    QString settingsFile; // AT.ini
    QString soundFile;    // DI.mp3
};

// This system's locations: C:\AT.ini and C:\DI.mp3 on Windows; on other systems
// $XDG_CONFIG_HOME/jotlark/ (default ~/.config/jotlark/), the folder created when
// missing. Returns false with *error set when the folder cannot be created.
bool platformPaths(AppPaths* paths, QString* error = nullptr);

// Both files inside one folder (used by tests and by the XDG implementation).
AppPaths pathsInFolder(const QString& folder);
