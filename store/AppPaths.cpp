#include "store/AppPaths.h"

#include <QDir>

AppPaths pathsInFolder(const QString& folder) {
    const QDir dir(folder);
    return {dir.filePath(QStringLiteral("AT.ini")), dir.filePath(QStringLiteral("DI.mp3"))};
}
