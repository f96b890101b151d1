#include "store/FirstRun.h"

#include "store/AppPaths.h"
#include "store/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool writeResource(const char* type, int id, const QString& file, const QString& messageFormat, QString* error) {
    const QByteArray bytes = loadResource(type, id);
    QString reason;
    if (bytes.isEmpty())
        reason = QStringLiteral("程序中缺少资源 %1/%2").arg(QLatin1String(type)).arg(id);
    else if (replaceFileAtomically(file, bytes, &reason))
        return true;
    if (error)
        *error = messageFormat.arg(QDir::toNativeSeparators(file), reason);
    return false;
}

} // namespace

QByteArray loadResource(const char* type, int id) {
    QFile resource(QStringLiteral(":/%1/%2").arg(QLatin1String(type)).arg(id));
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    return resource.readAll();
}

bool WriteFirstRunFiles(const AppPaths& paths, QString* error) {
    // Anything at the settings path counts: a folder standing there is not written
    // over, and the store reports each save that it blocks.
    if (QFileInfo::exists(paths.settingsFile))
        return true;
    // The sound first, so that a settings file never exists without it having been written.
    return writeResource("MP3", 103, paths.soundFile, QStringLiteral("无法写入提醒声音文件 %1：%2"), error) &&
           writeResource("INI", 102, paths.settingsFile, QStringLiteral("无法保存设置文件 %1：%2"), error);
}
