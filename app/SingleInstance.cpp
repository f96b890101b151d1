#include "app/SingleInstance.h"

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
// the folder, "..") must give the same name.
QString canonicalPath(const QString& file) {
    const QFileInfo info(file);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}
} // namespace

SingleInstance::SingleInstance(const QString& settingsFile, QObject* parent)
    : QObject(parent), m_lockPath(settingsFile + QStringLiteral(".lock")),
      m_serverName(QStringLiteral("jotlark-") +
                   QString::fromLatin1(
                       QCryptographicHash::hash(canonicalPath(settingsFile).toUtf8(), QCryptographicHash::Sha256)
                           .toHex()
                           .left(24))),
      m_lock(m_lockPath) {
    // Only a dead owner makes a lock stale; a board that has been running for
    // hours keeps its lock however old the file is.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Claim SingleInstance::claim() {
    if (m_lock.tryLock(0)) {
        listen();
        return Claim::First;
    }
    if (m_lock.error() == QLockFile::LockFailedError) {
        // A live process holds the lock. Even if it does not answer (it may be
        // starting or busy), a second board must not open on the same file.
        sendRaiseRequest();
        return Claim::AlreadyRunning;
    }
    // No lock file can be made here (a folder that cannot be written): the lock
    // cannot decide, so ask the socket whether a board runs.
    if (sendRaiseRequest())
        return Claim::AlreadyRunning;
    listen();
    return Claim::First;
}

bool SingleInstance::sendRaiseRequest() const {
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    socket.write(kRaise);
    const bool sent = socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    return sent;
}

void SingleInstance::listen() {
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_serverName)) {
        // A socket left behind by an owner that died: this process holds the lock now.
        QLocalServer::removeServer(m_serverName);
        if (!m_server->listen(m_serverName)) {
            qWarning("jotlark: cannot listen on %s: %s", qPrintable(m_serverName),
                     qPrintable(m_server->errorString()));
            return;
        }
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
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
