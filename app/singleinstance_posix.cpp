// The instance lock as an flock() on the lock file, and the socket in the user's
// runtime folder (XDG_RUNTIME_DIR), else in the user's cache folder
// ($XDG_CACHE_HOME/jotlark, ~/.cache/jotlark) made 0700, else in a per-user
// folder in /tmp made 0700 when it is this user's own.
#include "app/InstanceLock.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray faultFolder;
int faultError = 0;

int lockFile(int fd, const QByteArray& path) {
    if (faultError != 0 && path.startsWith(faultFolder + '/')) {
        errno = faultError;
        return -1;
    }
    return flock(fd, LOCK_EX | LOCK_NB);
}

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

class FlockLock : public InstanceLock {
public:
    FlockLock(QByteArray path, int fd) : m_path(std::move(path)), m_fd(fd) {}
    ~FlockLock() override;

private:
    QByteArray m_path;
    int m_fd;
};

// Who holds the lock, for a person reading the file; QLockFile's layout.
void describeOwner(int fd) {
    const QByteArray text =
        QByteArray::number(qint64(getpid())) + "\njotlark\n" + QSysInfo::machineHostName().toUtf8() + '\n';
    if (ftruncate(fd, 0) == 0)
        (void)!pwrite(fd, text.constData(), size_t(text.size()), 0);
}

bool sameFile(int fd, const QByteArray& path) {
    struct stat held {};
    struct stat named {};
    return fstat(fd, &held) == 0 && stat(path.constData(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
}

FlockLock::~FlockLock() {
    // Removed while still locked, and only when the name still leads to the file
    // locked; a start racing this exit sees the name gone and tries again.
    if (sameFile(m_fd, m_path))
        unlink(m_path.constData());
    close(m_fd);
}

// A folder that is a real folder (no link), owned by this user and closed to
// everyone else; one made here is made so.
bool isPrivateFolder(const QByteArray& path, bool create, QString* error) {
    if (create && mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        *error = QString::fromLocal8Bit(path) + QStringLiteral(": ") + reason(errno);
        return false;
    }
    struct stat info {};
    if (lstat(path.constData(), &info) != 0) {
        *error = QString::fromLocal8Bit(path) + QStringLiteral(": ") + reason(errno);
        return false;
    }
    if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid() || (info.st_mode & 077) != 0) {
        *error = QString::fromLocal8Bit(path) + QStringLiteral(": not a private folder of this user");
        return false;
    }
    return true;
}

} // namespace

std::unique_ptr<InstanceLock> InstanceLock::tryTake(const QString& path, Result* result, QString* error) {
    const QByteArray name = QFile::encodeName(path);
    for (int attempt = 0; attempt < 5; ++attempt) {
        bool writable = true;
        int fd = open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) {
            const int createError = errno;
            writable = false;
            // A lock file left by another user (a board run with sudo) can still
            // be locked through a read-only handle.
            fd = open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
            if (fd < 0) {
                const int openError = errno;
                *error = path + QStringLiteral(": ") + reason(openError == ENOENT ? createError : openError);
                *result = openError == ENOENT ? Result::NoPlace : Result::NoRight;
                return nullptr;
            }
        }
        if (lockFile(fd, name) != 0) {
            const int lockError = errno;
            const bool noLocks = lockError == ENOLCK || lockError == EINVAL || lockError == EOPNOTSUPP;
            struct stat info {};
            if (noLocks && writable && fstat(fd, &info) == 0 && info.st_size == 0)
                unlink(name.constData()); // made just now, and of no use
            close(fd);
            *result = lockError == EWOULDBLOCK ? Result::Held : noLocks ? Result::NoLocks : Result::NoRight;
            *error = path + QStringLiteral(": ") + reason(lockError);
            return nullptr;
        }
        // The holder before may have removed the file between our open and lock.
        if (!sameFile(fd, name)) {
            close(fd);
            continue;
        }
        if (writable)
            describeOwner(fd);
        *result = Result::Taken;
        return std::make_unique<FlockLock>(name, fd);
    }
    *result = Result::Held;
    *error = path + QStringLiteral(": changed while being locked");
    return nullptr;
}

namespace {

// Longest socket path the system takes (sun_path, its NUL included).
constexpr int kSocketPathMax = 107;

// The first of the candidate folders that is private to this user and short
// enough for a socket named after an id beside it. Each is a place only this
// user can make: one in /tmp that another user made first is passed over.
QString privateFolder(QString* error) {
    QList<QByteArray> candidates;
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/'))
        candidates.append(runtime);
    QByteArray cache = qgetenv("XDG_CACHE_HOME");
    if (!cache.startsWith('/'))
        cache = QFile::encodeName(QDir::homePath()) + "/.cache";
    candidates.append(cache + "/jotlark");
    candidates.append(QFile::encodeName(QDir::tempPath()) + "/jotlark-" + QByteArray::number(geteuid()));
    for (const QByteArray& folder : candidates) {
        const bool made = folder != runtime;
        if (made)
            QDir().mkpath(QFile::decodeName(folder.left(folder.lastIndexOf('/'))));
        QString why;
        if (folder.size() + 42 > kSocketPathMax)
            why = QString::fromLocal8Bit(folder) + QStringLiteral(": too long a path for a socket");
        else if (isPrivateFolder(folder, made, &why))
            return QFile::decodeName(folder);
        *error += (error->isEmpty() ? QString() : QStringLiteral("\r\n")) + why;
    }
    return {};
}

} // namespace

QString privateServerName(const QString& id, QString* error) {
    const QString folder = privateFolder(error);
    return folder.isEmpty() ? QString() : folder + u'/' + id;
}

QString privateLockPath(const QString& id, QString* error) {
    const QString folder = privateFolder(error);
    return folder.isEmpty() ? QString() : folder + u'/' + id + QStringLiteral(".lock");
}

bool peerIsThisUser(qintptr socketDescriptor) {
    struct ucred peer {};
    socklen_t size = sizeof peer;
    return getsockopt(int(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

void setLockFault(const QString& folder, int error) {
    faultFolder = QFile::encodeName(folder);
    faultError = error;
}
