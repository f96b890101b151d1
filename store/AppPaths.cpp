#include "store/AppPaths.h"

#include <QDir>

AppPaths pathsInFolder(const QString& folder) {
    const QDir dir(folder);
    return {dir.filePath(QStringLiteral("AT.ini")), dir.filePath(QStringLiteral("DI.mp3"))};
}

bool chooseProtectedLocation(const QString& protectedFolder, const QString& virtualFolder, const LocationProbe& probe,
                             AppPaths* paths, QString* error) {
    const AppPaths copies = pathsInFolder(virtualFolder);
    if (probe.exists(copies.settingsFile)) {
        *paths = copies;
        return true;
    }
    const AppPaths originals = pathsInFolder(protectedFolder);
    if (probe.canCreateIn(protectedFolder)) {
        *paths = originals;
        return true;
    }
    QString reason;
    auto fail = [&](const QString& format, const QString& path) {
        if (error)
            *error = format.arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    if (!probe.makeFolder(virtualFolder, &reason))
        return fail(QStringLiteral("无法创建文件夹 %1：%2"), virtualFolder);
    // The sound first, as on a first start: a settings copy never stands without it.
    if (probe.exists(originals.soundFile) && !probe.exists(copies.soundFile) &&
        !probe.copy(originals.soundFile, copies.soundFile, &reason))
        return fail(QStringLiteral("无法写入提醒声音文件 %1：%2"), copies.soundFile);
    if (probe.exists(originals.settingsFile) && !probe.copy(originals.settingsFile, copies.settingsFile, &reason))
        return fail(QStringLiteral("无法保存设置文件 %1：%2"), copies.settingsFile);
    *paths = copies;
    return true;
}
