#include "store/AtomicFile.h"
#include "store/SystemError.h"
#include "store/WideText.h"

#include <QFileInfo>
#include <QRandomGenerator>

#include <windows.h>

namespace atomicfile {
namespace {

QString describe(DWORD error) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return QStringLiteral("磁盘空间不足");
    case ERROR_WRITE_PROTECT:
        return QStringLiteral("磁盘写保护");
    default:
        return systemErrorText(error);
    }
}

} // namespace

QString finalTarget(const QString& file) {
    return QFileInfo(file).absoluteFilePath();
}

QString temporaryPrefix(const QString& file) {
    return QFileInfo(file).absoluteFilePath() + QStringLiteral(".jotlark");
}

bool processHasEnded(qint64 pid) {
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, DWORD(pid));
    if (!h)
        return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    CloseHandle(h);
    return ended;
}

bool writeAndReplace(const QString& file, const QByteArray& bytes, const WriteFault& fault, QString* reason) {
    const QString target = QFileInfo(file).absoluteFilePath();
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString temporary;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = temporaryPrefix(file) + QString::number(GetCurrentProcessId()) + '.';
        for (int i = 0; i < 6; ++i)
            temporary += QChar(letters[QRandomGenerator::global()->bounded(62)]);
        h = CreateFileW(wide(temporary), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    if (h == INVALID_HANDLE_VALUE) {
        *reason = QStringLiteral("无法在所在的文件夹中创建文件（%1）").arg(describe(GetLastError()));
        return false;
    }
    DWORD error = 0;
    qint64 done = 0;
    while (error == 0 && done < bytes.size()) {
        qint64 chunk = std::min<qint64>(bytes.size() - done, 1 << 30);
        if (fault.afterBytes >= 0) {
            if (done >= fault.afterBytes) {
                error = ERROR_DISK_FULL;
                break;
            }
            chunk = std::min(chunk, fault.afterBytes - done);
        }
        DWORD written = 0;
        if (!WriteFile(h, bytes.constData() + done, DWORD(chunk), &written, nullptr) || written == 0)
            error = GetLastError() ? GetLastError() : ERROR_DISK_FULL;
        done += written;
    }
    if (error == 0 && !FlushFileBuffers(h))
        error = GetLastError();
    CloseHandle(h);
    const char* step = "写入失败";
    // A write-through replace returns only once the new name is on the disk.
    if (error == 0 && !MoveFileExW(wide(temporary), wide(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        step = "无法替换文件";
    }
    if (error != 0) {
        DeleteFileW(wide(temporary));
        *reason = QStringLiteral("%1（%2）").arg(QString::fromUtf8(step), describe(error));
        return false;
    }
    return true;
}

} // namespace atomicfile
