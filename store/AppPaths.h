#pragma once
#include <QString>
#include <functional>

// Where the settings file and the alarm sound live.
struct AppPaths {
    QString settingsFile; // AT.ini
    QString soundFile;    // DI.mp3
};

// This system's locations: on Windows C:\AT.ini and C:\DI.mp3, or their per-user
// copies (see chooseProtectedLocation); on other systems $XDG_CONFIG_HOME/jotlark/
// (default ~/.config/jotlark/), the folder created when missing. Returns false
// with *error set when no usable place could be made ready.
bool platformPaths(AppPaths* paths, QString* error = nullptr);

// Both files inside one folder (used by tests and by the XDG implementation).
AppPaths pathsInFolder(const QString& folder);

// What choosing between a protected folder and its per-user copy asks of the file
// system; the Windows implementation answers with real calls, tests with a table.
struct LocationProbe {
    std::function<bool(const QString& path)> exists;
    // A real test create of a file in folder (access lists included).
    std::function<bool(const QString& folder)> canCreateIn;
    // Creates folder and its parents when missing; false with *reason when it cannot.
    std::function<bool(const QString& folder, QString* reason)> makeFolder;
    // Copies a file; false with *reason when the copy could not be made.
    std::function<bool(const QString& from, const QString& to, QString* reason)> copy;
};

// Windows' rule for files that live in a folder a standard user may not write
// (C:\): the per-user copy in virtualFolder (%LOCALAPPDATA%\VirtualStore) when it
// exists; otherwise the protected folder when this process can create files in
// it; otherwise the per-user copy, its folder made and seeded once with copies of
// the files already in the protected folder (a missing settings file is written
// from the defaults later, as on any first start).
bool chooseProtectedLocation(const QString& protectedFolder, const QString& virtualFolder, const LocationProbe& probe,
                             AppPaths* paths, QString* error = nullptr);
