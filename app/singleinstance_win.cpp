// The instance lock as a lock file opened without sharing for writing, which the
// system closes when the process ends; the local socket is a named pipe, which
// QLocalServer limits to this user.
#include "app/InstanceLock.h"

#include <QDir>

#include <windows.h>

namespace {

QString reason(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString message = text ? QString::fromWCharArray(text).trimmed() : QString::number(error);
    LocalFree(text);
    return message;
}

class HandleLock : public InstanceLock {
public:
    HandleLock(QString path, HANDLE handle) : m_path(std::move(path)), m_handle(handle) {}
    ~HandleLock() override {
        CloseHandle(m_handle);
        DeleteFileW(reinterpret_cast<const wchar_t*>(m_path.utf16()));
    }

private:
    QString m_path;
    HANDLE m_handle;
};

} // namespace

std::unique_ptr<InstanceLock> InstanceLock::tryTake(const QString& path, Result* result, QString* error) {
    const QString native = QDir::toNativeSeparators(path);
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(native.utf16()), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        *error = path + QStringLiteral(": ") + reason(code);
        if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION)
            *result = Result::Held;
        else if (GetFileAttributesW(reinterpret_cast<const wchar_t*>(native.utf16())) == INVALID_FILE_ATTRIBUTES)
            *result = Result::NoPlace;
        else
            *result = Result::NoRight;
        return nullptr;
    }
    const QByteArray text = QByteArray::number(qint64(GetCurrentProcessId())) + "\njotlark\n";
    DWORD written = 0;
    SetEndOfFile(handle);
    WriteFile(handle, text.constData(), DWORD(text.size()), &written, nullptr);
    *result = Result::Taken;
    return std::make_unique<HandleLock>(path, handle);
}

QString privateServerName(const QString& id, QString*) {
    return id;
}

QString privateLockPath(const QString& id, QString*) {
    return QDir::tempPath() + u'/' + id + QStringLiteral(".lock");
}

bool peerIsThisUser(qintptr) {
    return true; // QLocalServer's named pipe admits this user only
}

void setLockFault(const QString&, int) {}
