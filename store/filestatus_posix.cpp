#include "store/FileStatus.h"

#include <QFile>

#include <sys/stat.h>
#include <time.h>

namespace {
qint64 nanoseconds(const timespec& t) {
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}
} // namespace

FileStatus fileStatus(const QString& file) {
    FileStatus status;
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return status;
    status.regular = true;
    status.size = st.st_size;
    status.modifiedNs = nanoseconds(st.st_mtim);
    status.changedNs = nanoseconds(st.st_ctim);
    status.fileNumber = st.st_ino;
    status.device = st.st_dev;
    return status;
}

qint64 fileClockNowNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return nanoseconds(now);
}
