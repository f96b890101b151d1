// C:\AT.ini and C:\DI.mp3, or, for a process that may not create files in C:\ (a
// standard user under UAC), their per-user copies in %LOCALAPPDATA%\VirtualStore,
// where Windows' own file virtualization keeps such files.
#include "store/AppPaths.h"
#include "store/AtomicFile.h"
#include "store/WideText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <windows.h>

#include <shlobj.h>

namespace {

QString localAppData() {
    wchar_t buffer[MAX_PATH] = {};
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, buffer) == S_OK)
        return QString::fromWCharArray(buffer);
    return qEnvironmentVariable("LOCALAPPDATA");
}

// A file created and deleted again: QFileInfo::isWritable ignores access lists.
bool canCreateIn(const QString& folder) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        const QString probe = QDir::toNativeSeparators(
            QDir(folder).filePath(QStringLiteral("jotlark%1-%2.probe").arg(GetCurrentProcessId()).arg(attempt)));
        const HANDLE h = CreateFileW(wide(probe), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}

bool makeFolder(const QString& folder, QString* reason) {
    if (QFileInfo(folder).isDir() || QDir().mkpath(folder))
        return true;
    *reason = QStringLiteral("路径不可写入或其中有同名的文件");
    return false;
}

// Written whole or not at all, like every save; the copy takes no attributes along.
bool copyFile(const QString& from, const QString& to, QString* reason) {
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        *reason = QStringLiteral("无法读取 %1").arg(QDir::toNativeSeparators(from));
        return false;
    }
    return replaceFileAtomically(to, source.readAll(), reason);
}

} // namespace

bool platformPaths(AppPaths* paths, QString* error) {
    const QString root = QStringLiteral("C:\\");
    const QString base = localAppData();
    const LocationProbe probe{[](const QString& path) { return QFileInfo::exists(path); }, canCreateIn, makeFolder,
                              copyFile};
    if (base.isEmpty())
        *paths = pathsInFolder(root);
    else if (!chooseProtectedLocation(root,
                                      QDir::toNativeSeparators(QDir(base).filePath(QStringLiteral("VirtualStore"))),
                                      probe, paths, error))
        return false;
    paths->settingsFile = QDir::toNativeSeparators(paths->settingsFile);
    paths->soundFile = QDir::toNativeSeparators(paths->soundFile);
    return true;
}
