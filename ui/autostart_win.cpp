// Start-up through the registry: a value in a Run key (see RunValue.h) named after
// the executable's file name without its extension, holding the executable's full
// path in quotes (unquoted, a path with spaces could start another program).
#include "ui/Autostart.h"
#include "ui/RunValue.h"

#include "store/SystemError.h"

#include <QDir>
#include <QFileInfo>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryRunKey final : public RunKey {
public:
    RegistryRunKey(HKEY root, const char* rootName) : m_root(root), m_rootName(QLatin1String(rootName)) {}

    QString path() const override { return m_rootName + QLatin1Char('\\') + QString::fromWCharArray(kRunKey); }

    bool holds(const QString& name) override {
        HKEY key = nullptr;
        if (RegOpenKeyExW(m_root, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return false;
        const LSTATUS status = RegQueryValueExW(key, name.toStdWString().c_str(), nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        return status == ERROR_SUCCESS;
    }

    bool write(const QString& name, const QString& data, QString* reason) override {
        HKEY key = nullptr;
        // The user's Run key may not exist yet in a new profile.
        LSTATUS status = RegCreateKeyExW(m_root, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        if (status == ERROR_SUCCESS) {
            const std::wstring text = data.toStdWString();
            status =
                RegSetValueExW(key, name.toStdWString().c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                               DWORD((text.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(key);
        }
        return done(status, reason);
    }

    bool remove(const QString& name, QString* reason) override {
        HKEY key = nullptr;
        LSTATUS status = RegOpenKeyExW(m_root, kRunKey, 0, KEY_SET_VALUE, &key);
        if (status == ERROR_SUCCESS) {
            status = RegDeleteValueW(key, name.toStdWString().c_str());
            RegCloseKey(key);
        }
        return status == ERROR_FILE_NOT_FOUND || done(status, reason);
    }

private:
    static bool done(LSTATUS status, QString* reason) {
        if (status == ERROR_SUCCESS)
            return true;
        *reason = systemErrorText(DWORD(status));
        return false;
    }

    HKEY m_root;
    QString m_rootName;
};

class RegistryAutostart final : public Autostart {
public:
    explicit RegistryAutostart(const QString& executable)
        : m_name(QFileInfo(executable).completeBaseName()),
          m_data(QLatin1Char('"') + QDir::toNativeSeparators(executable) + QLatin1Char('"')) {}

    bool apply(bool enabled, QString* error) override {
        RegistryRunKey machine(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE");
        RegistryRunKey user(HKEY_CURRENT_USER, "HKEY_CURRENT_USER");
        return applyRunValue(machine, user, m_name, m_data, enabled, error);
    }

private:
    QString m_name;
    QString m_data;
};

} // namespace

std::unique_ptr<Autostart> makeSystemAutostart(const QString& executable) {
    return std::make_unique<RegistryAutostart>(executable);
}
