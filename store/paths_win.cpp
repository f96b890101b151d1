#include "store/AppPaths.h"

// The fixed locations at the root of drive C.
bool platformPaths(AppPaths* paths, QString* /*error*/) {
    paths->settingsFile = QStringLiteral("C:\\AT.ini");
    paths->soundFile = QStringLiteral("C:\\DI.mp3");
    return true;
}
