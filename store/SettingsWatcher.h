#pragma once
// Follows the settings file on disk through the system's file notification (no
// polling): the file itself and its folder are watched, the folder because sync
// tools rename a new version over the file, which ends a watch on the file, and
// because conflict copies appear beside it. After a burst of changes has been
// quiet for debounceMs, settled() tells whether the file was changed by anyone
// but its store (the store's own writes do not count) and which conflict copies
// lie beside it.
#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>
#include <QTimer>

class SettingsStore;

class SettingsWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultDebounceMs = 300;

    explicit SettingsWatcher(SettingsStore& store, QObject* parent = nullptr);

    void setDebounce(int ms) { m_debounce.setInterval(ms); }

signals:
    void settled(bool changedElsewhere, const QStringList& conflictCopies);

private:
    void watch();
    void onSettled();

    SettingsStore& m_store;
    QFileSystemWatcher m_watcher;
    QTimer m_debounce;
};
