#pragma once
// One running board per settings file. The first start takes a lock file next to
// the settings file and listens on a local socket named after the file's path; a
// later start for the same file finds the lock taken, asks the running board to
// come to the front, and is expected to end.
//
// A lock left by a process that no longer runs (a crash, a kill) is taken over:
// the lock file holds the owner's process id, and only a live owner keeps it.
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        First,          // this process owns the settings file; raise requests will arrive
        AlreadyRunning, // another process owns it and has been asked to come to the front
    };

    explicit SingleInstance(const QString& settingsFile, QObject* parent = nullptr);
    ~SingleInstance() override;

    Claim claim();

    // The lock file and the local socket's name, both derived from the settings file.
    QString lockFilePath() const { return m_lockPath; }
    QString serverName() const { return m_serverName; }

    // Asks the process that owns the settings file to come to the front; false when
    // none answered.
    bool sendRaiseRequest() const;

signals:
    // Another start for the same settings file asked this one to come to the front.
    void raiseRequested();

private:
    void listen();

    QString m_lockPath;
    QString m_serverName;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

// Raises and activates every visible top-level window, a modal one last so that
// it stays above its owner.
void bringWindowsToFront();
