#include "app/SingleInstance.h"

#include "app/InstanceLock.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>

namespace {
const QByteArray kRaise = "raise\n";
constexpr int kConnectMs = 1000;

// The same file reached through another spelling of its path (a symbolic link to
// the folder or to the file, "..") must give the same name.
QString canonicalPath(const QString& file) {
    const QFileInfo info(file);
    if (const QString resolved = info.canonicalFilePath(); !resolved.isEmpty())
        return resolved;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

// The socket's and the fallback lock's name for a settings file.
QString instanceId(const QString& settingsFile) {
    return QStringLiteral("jotlark-") +
           QString::fromLatin1(
               QCryptographicHash::hash(canonicalPath(settingsFile).toUtf8(), QCryptographicHash::Sha256)
                   .toHex()
                   .left(24));
}

const QString kCannotStart = QStringLiteral("Jotlark 无法启动：");

} // namespace

SingleInstance::SingleInstance(const QString& settingsFile, QObject* parent)
    : QObject(parent), m_lockPath(settingsFile + QStringLiteral(".lock")), m_settingsFile(settingsFile) {
    QString error;
    m_serverName = privateServerName(instanceId(settingsFile), &error);
    if (m_serverName.isEmpty())
        qWarning("jotlark: no private folder for the local socket: %s", qPrintable(error));
}

SingleInstance::~SingleInstance() {
    release();
}

void SingleInstance::release() {
    // The server first: closing it removes the socket file.
    m_server.reset();
    m_lock.reset();
}

SingleInstance::Claim SingleInstance::claim() {
    InstanceLock::Result result = InstanceLock::Result::NoPlace;
    QString error;
    m_lock = InstanceLock::tryTake(m_lockPath, &result, &error);
    if (result == InstanceLock::Result::NoPlace || result == InstanceLock::Result::NoLocks) {
        // The settings file's folder cannot be written, or its file system has no
        // locks (NFS without a lock daemon, some FUSE and 9p mounts): lock in the
        // private folder, under a name taken from the file itself.
        QString privateError;
        const QString fallback = privateLockPath(instanceId(m_settingsFile), &privateError);
        if (!fallback.isEmpty())
            m_lock = InstanceLock::tryTake(fallback, &result, &privateError);
        if (fallback.isEmpty() || result == InstanceLock::Result::NoPlace)
            error += QStringLiteral("\r\n") + privateError;
        if (!fallback.isEmpty() && result == InstanceLock::Result::NoLocks) {
            // No lock anywhere: the socket alone tells whether a board runs.
            if (sendRaiseRequest())
                return Claim::AlreadyRunning;
            result = InstanceLock::Result::Taken;
        }
    }
    switch (result) {
    case InstanceLock::Result::Taken:
        listen();
        return Claim::First;
    case InstanceLock::Result::Held:
        if (sendRaiseRequest())
            return Claim::AlreadyRunning;
        // A live holder that does not answer: still no second board on the same file.
        m_refusal = kCannotStart + QStringLiteral("另一个 Jotlark 正在使用设置文件，但没有响应。\r\n") +
                    QDir::toNativeSeparators(m_settingsFile);
        return Claim::Refused;
    case InstanceLock::Result::NoPlace:
    case InstanceLock::Result::NoRight:
    case InstanceLock::Result::NoLocks:
        break;
    }
    m_refusal = kCannotStart + QStringLiteral("无法锁定设置文件。\r\n") + error;
    return Claim::Refused;
}

bool SingleInstance::sendRaiseRequest() const {
    if (m_serverName.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    // Only a board of this user's is asked.
    if (!socket.waitForConnected(kConnectMs) || !peerIsThisUser(socket.socketDescriptor()))
        return false;
    socket.write(kRaise);
    const bool sent = socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    return sent;
}

void SingleInstance::listen() {
    if (m_serverName.isEmpty())
        return; // the lock alone keeps a second board out; it just cannot raise this one
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        // A socket left behind by an owner that died: this process holds the lock now.
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName)) {
            qWarning("jotlark: cannot listen on %s: %s", qPrintable(m_serverName), qPrintable(m_server->errorString()));
            return;
        }
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
            if (!peerIsThisUser(peer->socketDescriptor())) {
                peer->abort(); // another user's process: never a start of this board
                peer->deleteLater();
                continue;
            }
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                // The request is one short line; anything else on the socket is ignored.
                if (peer->readAll().contains(kRaise))
                    emit raiseRequested();
            });
        }
    });
}

void bringWindowsToFront() {
    QWidget* modal = QApplication::activeModalWidget();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w != modal) {
            if (w->isMinimized())
                w->showNormal();
            w->raise();
            w->activateWindow();
        }
    }
    if (modal) {
        modal->raise();
        modal->activateWindow();
    }
}
