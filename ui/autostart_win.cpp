// Start-up through the registry: a value under
// HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run named after the executable's
// file name without its extension, holding the executable's full path in quotes
// (unquoted, a path with spaces could start another program).
#include "ui/Autostart.h"

#include <QDir>
#include <QFileInfo>
#include <string>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

QString systemMessage(LSTATUS status) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, DWORD(status), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text = length ? QString::fromWCharArray(buffer, int(length)).trimmed()
                          : QStringLiteral("错误代码 %1").arg(qulonglong(status));
    if (buffer)
        LocalFree(buffer);
    return text;
}

class RegistryAutostart final : public Autostart {
public:
    explicit RegistryAutostart(const QString& executable)
        : m_name(QFileInfo(executable).completeBaseName()),
          m_data(QLatin1Char('"') + QDir::toNativeSeparators(executable) + QLatin1Char('"')) {}

    bool apply(bool enabled, QString* error) override {
        HKEY key = nullptr;
        LSTATUS status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key);
        if (status == ERROR_SUCCESS) {
            const std::wstring name = m_name.toStdWString();
            if (enabled) {
                const std::wstring data = m_data.toStdWString();
                status = RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                        DWORD((data.size() + 1) * sizeof(wchar_t)));
            } else {
                status = RegDeleteValueW(key, name.c_str());
                if (status == ERROR_FILE_NOT_FOUND)
                    status = ERROR_SUCCESS; // no entry: nothing to remove
            }
            RegCloseKey(key);
        }
        if (status == ERROR_SUCCESS)
            return true;
        if (error)
            *error = QStringLiteral("HKEY_LOCAL_MACHINE\\%1\\%2：%3")
                         .arg(QString::fromWCharArray(kRunKey), m_name, systemMessage(status));
        return false;
    }

private:
    QString m_name;
    QString m_data;
};

} // namespace

std::unique_ptr<Autostart> makeSystemAutostart(const QString& executable) {
    return std::make_unique<RegistryAutostart>(executable);
}
