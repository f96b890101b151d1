// The instance lock as an flock() on the lock file, and the socket in the user's
// runtime folder (XDG_RUNTIME_DIR) or a per-user folder in /tmp made 0700.
#include "app/InstanceLock.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int lockError = errno;
            close(fd);
            *result = lockError == EWOULDBLOCK ? Result::Held : Result::NoRight;
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

QString privateFolder(QString* error) {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    QString runtimeError;
    if (!runtime.isEmpty() && runtime.startsWith('/') && isPrivateFolder(runtime, false, &runtimeError))
        return QFile::decodeName(runtime);
    const QByteArray fallback = QFile::encodeName(QDir::tempPath()) + "/jotlark-" + QByteArray::number(geteuid());
    if (!isPrivateFolder(fallback, true, error))
        return {};
    return QFile::decodeName(fallback);
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
