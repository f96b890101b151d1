#include "store/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

// $XDG_CONFIG_HOME/jotlark/, or ~/.config/jotlark/ when the variable is unset,
// empty or not an absolute path. The folder is made for this user alone (0700);
// one that exists keeps its mode.
bool platformPaths(AppPaths* paths, QString* error) {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    const QString folder = QDir(base).filePath(QStringLiteral("jotlark"));
    const auto makeFolder = [&] {
        return QDir().mkpath(base) &&
               (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0 || QFileInfo(folder).isDir());
    };
    if (!QFileInfo(folder).isDir() && !makeFolder()) {
        if (error)
            *error = QStringLiteral("无法创建文件夹 %1：路径不可写入或其中有同名的文件")
                         .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    *paths = pathsInFolder(folder);
    return true;
}
