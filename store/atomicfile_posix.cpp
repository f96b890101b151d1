#include "store/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace atomicfile {
namespace {

QString describe(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁盘空间不足");
    case EDQUOT:
        return QStringLiteral("超出磁盘配额");
    case EROFS:
        return QStringLiteral("文件系统为只读");
    case EIO:
        return QStringLiteral("磁盘读写错误");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString failure(const char* what, int error) {
    return QStringLiteral("%1（%2）").arg(QString::fromUtf8(what), describe(error));
}

// write() until every byte is out; the fault, when set, cuts the file short.
bool writeAll(int fd, const QByteArray& bytes, const WriteFault& fault, int* error) {
    qint64 done = 0;
    while (done < bytes.size()) {
        qint64 chunk = bytes.size() - done;
        if (fault.afterBytes >= 0) {
            if (done >= fault.afterBytes) {
                *error = fault.error;
                return false;
            }
            chunk = std::min(chunk, fault.afterBytes - done);
        }
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(chunk));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = n < 0 ? errno : ENOSPC;
            return false;
        }
        done += n;
    }
    return true;
}

int openTemporary(const QString& file, QByteArray* path) {
    const QByteArray prefix = QFile::encodeName(temporaryPrefix(file)) + QByteArray::number(qint64(::getpid())) + '.';
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = prefix;
        for (int i = 0; i < 6; ++i)
            name += letters[QRandomGenerator::global()->bounded(62)];
        // Private until the existing file's permissions are copied onto it; a new
        // settings file stays so.
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST) {
            *path = name;
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

// Gives the temporary file what decides who may use the existing one: owner and
// group (as far as this process may give them), mode, then the extended
// attributes, which hold the ACL (system.posix_acl_access) and the user's own
// attributes. Attributes of the system's namespaces that this process may not
// set (security.*, trusted.*) are left to the system.
int copyAccess(int fd, const QByteArray& target, const struct stat& existing) {
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0)
        (void)!::fchown(fd, uid_t(-1), existing.st_gid); // a group this user belongs to
    if (::fchmod(fd, existing.st_mode & 07777) != 0)
        return errno;
    ssize_t size = ::listxattr(target.constData(), nullptr, 0);
    if (size < 0)
        return errno == ENOTSUP ? 0 : errno;
    QByteArray names(size, '\0');
    size = ::listxattr(target.constData(), names.data(), size_t(names.size()));
    if (size < 0)
        return errno;
    for (const QByteArray& name : names.left(size).split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t length = ::getxattr(target.constData(), name.constData(), nullptr, 0);
        QByteArray value(std::max<ssize_t>(length, 0), '\0');
        if (length < 0 || ::getxattr(target.constData(), name.constData(), value.data(), size_t(value.size())) < 0)
            return errno;
        if (::fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0) {
            const bool system = name.startsWith("security.") || name.startsWith("trusted.");
            if (!system || (errno != EPERM && errno != ENOTSUP))
                return errno;
        }
    }
    return 0;
}

} // namespace

QString finalTarget(const QString& file) {
    QString path = QFileInfo(file).absoluteFilePath();
    // A chain of links, up to the system's own limit; a loop is left to fail later.
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(path);
        if (!info.isSymLink())
            break;
        path = info.symLinkTarget();
    }
    return path;
}

QString temporaryPrefix(const QString& file) {
    return finalTarget(file) + QStringLiteral(".jotlark");
}

bool processHasEnded(qint64 pid) {
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

bool writeAndReplace(const QString& file, const QByteArray& bytes, const WriteFault& fault, QString* reason) {
    // Through a link to its final target, so the link stays and the target gets the content.
    const QString targetPath = finalTarget(file);
    const QByteArray target = QFile::encodeName(targetPath);
    QByteArray temporary;
    const int fd = openTemporary(file, &temporary);
    if (fd < 0) {
        *reason = failure("无法在所在的文件夹中创建文件", errno);
        return false;
    }
    int error = 0;
    const char* step = "写入失败";
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0 && (error = copyAccess(fd, target, existing)) != 0) {
        step = "无法保留文件的所有者和访问权限";
    } else if (!writeAll(fd, bytes, fault, &error)) {
    } else if (::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), target.constData()) != 0) {
        error = errno;
        step = "无法替换文件";
    }
    if (error != 0) {
        ::unlink(temporary.constData());
        *reason = failure(step, error);
        return false;
    }
    // The rename itself reaches the disk only with the folder.
    const QByteArray folder = QFile::encodeName(QFileInfo(targetPath).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        const bool synced = ::fsync(dir) == 0 || errno == EINVAL || errno == ENOTSUP;
        error = errno;
        ::close(dir);
        if (!synced) {
            *reason = failure("无法确认文件已写入磁盘", error);
            return false;
        }
    }
    return true;
}

} // namespace atomicfile
