#include "store/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
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
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            *path = name;
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

} // namespace

QString temporaryPrefix(const QString& file) {
    return QFileInfo(file).absoluteFilePath() + QStringLiteral(".jotlark");
}

bool processHasEnded(qint64 pid) {
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

bool writeAndReplace(const QString& file, const QByteArray& bytes, const WriteFault& fault, QString* reason) {
    const QByteArray target = QFile::encodeName(QFileInfo(file).absoluteFilePath());
    QByteArray temporary;
    const int fd = openTemporary(file, &temporary);
    if (fd < 0) {
        *reason = failure("无法在所在的文件夹中创建文件", errno);
        return false;
    }
    int error = 0;
    const char* step = "写入失败";
    struct stat existing {};
    if (::stat(target.constData(), &existing) == 0 && ::fchmod(fd, existing.st_mode & 07777) != 0) {
        error = errno;
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
    const QByteArray folder = QFile::encodeName(QFileInfo(file).absolutePath());
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
