#pragma once
#include <QString>

struct AppPaths;

// On the first start, when no settings file exists: writes the alarm sound and
// then the default settings file from the program's resources, each atomically.
// Returns false with a message naming the path and the reason when a file could
// not be written; nothing half-written is left behind. When anything exists at
// the settings file's path (the file, or a folder in its place) nothing is touched.
bool WriteFirstRunFiles(const AppPaths& paths, QString* error = nullptr);

// The program's own resources by type name and id ("INI" 102, "MP3" 103).
QByteArray loadResource(const char* type, int id);
