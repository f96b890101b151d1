#include "store/SettingsWatcher.h"

#include "store/ProfileMerge.h"
#include "store/SettingsStore.h"

#include <QFileInfo>

SettingsWatcher::SettingsWatcher(SettingsStore& store, QObject* parent) : QObject(parent), m_store(store) {
    m_debounce.setSingleShot(true);
    m_debounce.setInterval(DefaultDebounceMs);
    connect(&m_debounce, &QTimer::timeout, this, &SettingsWatcher::onSettled);
    auto changed = [this] { m_debounce.start(); };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    watch();
}

void SettingsWatcher::watch() {
    // The file's folder, and where a linked file or folder really lies.
    const QFileInfo file(m_store.file());
    QStringList paths;
    for (const QString& path :
         {file.absoluteFilePath(), file.absolutePath(), QFileInfo(file.canonicalFilePath()).absolutePath()}) {
        if (!path.isEmpty() && QFileInfo::exists(path) && !paths.contains(path))
            paths.append(path);
    }
    const QStringList watched = m_watcher.files() + m_watcher.directories();
    for (const QString& path : paths) {
        if (!watched.contains(path))
            m_watcher.addPath(path);
    }
}

void SettingsWatcher::onSettled() {
    watch(); // a file renamed over is a new file to watch
    emit settled(m_store.changedElsewhere(), conflictCopies(m_store.file()));
}
