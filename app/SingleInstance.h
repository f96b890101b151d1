#pragma once
// One running board per settings file. The first start takes a lock on a file
// next to the settings file and listens on a local socket named after the file's
// path, in a folder only this user can enter; a later start for the same file
// finds the lock taken, asks the running board to come to the front, and is
// expected to end.
//
// The lock is the system's: it goes with its holder however the holder ends, so
// a lock file left behind (empty after a power cut, from another host, naming a
// process that is gone or an unrelated one, owned by another user) never keeps a
// board out. When the settings file's folder cannot hold a lock file, or its file
// system has no locks, the lock is taken in the socket's private folder instead.
// Both ends of a raise request check that the other runs as this user.
#include <QObject>
#include <QString>

#include <memory>

class InstanceLock;
class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        First,          // this process owns the settings file; raise requests will arrive
        AlreadyRunning, // another process owns it and has been asked to come to the front
        Refused,        // this process cannot start on the file; refusal() says why
    };

    explicit SingleInstance(const QString& settingsFile, QObject* parent = nullptr);
    ~SingleInstance() override;

    Claim claim();
    // After Claim::Refused: a message for the user naming the file and the reason.
    QString refusal() const { return m_refusal; }

    // The lock file and the local socket's name, both derived from the settings file.
    QString lockFilePath() const { return m_lockPath; }
    QString serverName() const { return m_serverName; }

    // Asks the process that owns the settings file to come to the front; false when
    // none answered.
    bool sendRaiseRequest() const;

    // Gives back the lock and removes the socket now, as the destructor would.
    void release();

signals:
    // Another start for the same settings file asked this one to come to the front.
    void raiseRequested();

private:
    void listen();

    QString m_lockPath;
    QString m_serverName;
    QString m_settingsFile;
    QString m_refusal;
    std::unique_ptr<InstanceLock> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};

// Raises and activates every visible top-level window, a modal one last so that
// it stays above its owner.
void bringWindowsToFront();
