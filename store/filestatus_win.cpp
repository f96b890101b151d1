#include "store/FileStatus.h"
#include "store/WideText.h"

#include <windows.h>

namespace {
// FILETIME counts 100 ns steps since 1601; only differences matter here.
qint64 nanoseconds(const FILETIME& t) {
    return qint64((quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 100;
}
} // namespace

FileStatus fileStatus(const QString& file) {
    FileStatus status;
    HANDLE h = CreateFileW(wide(file), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return status;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(h, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        status.regular = true;
        status.size = qint64((quint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
        status.modifiedNs = nanoseconds(info.ftLastWriteTime);
        status.changedNs = nanoseconds(info.ftCreationTime);
        status.fileNumber = (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        status.device = info.dwVolumeSerialNumber;
    }
    CloseHandle(h);
    return status;
}

qint64 fileClockNowNs() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return nanoseconds(now);
}
