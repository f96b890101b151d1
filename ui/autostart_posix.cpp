// Start-up through the freedesktop autostart folder:
// $XDG_CONFIG_HOME/autostart/jotlark.desktop, ~/.config/autostart when the
// variable is unset or not absolute.
#include "ui/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString autostartFolder() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart");
}

// One argument of an Exec line: double quotes, with ", `, $ and \ escaped, and
// % doubled since a lone % starts a field code.
QString quotedArgument(const QString& text) {
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        else if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    return quoted + u'"';
}

// The escapes of a string value, applied on top of the Exec quoting: a reader
// undoes these first, then the quoting.
QString escapedValue(const QString& text) {
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else
            escaped += c;
    }
    return escaped;
}

// Why no entry can start the program at executable, or "" when one can. A
// control character (a line break, a tab) has no form in an Exec line that
// readers accept; a path holding % is started through env (see execLine), which
// would read a path holding = as a variable.
QString inexpressible(const QString& executable) {
    for (const QChar c : executable)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("程序的路径中含有控制字符（如换行或制表符）");
    if (executable.contains(u'%') && executable.contains(u'='))
        return QStringLiteral("程序的路径中同时含有“%”和“=”");
    return {};
}

// GLib looks for the program of an Exec line before it turns %% into %, and so
// never finds one whose path holds %: such a program is started through env,
// which GLib finds, and which gets the path with % restored.
QString execLine(const QString& executable) {
    const QString quoted = quotedArgument(executable);
    return executable.contains(u'%') ? QStringLiteral("env ") + quoted : quoted;
}

QByteArray desktopEntry(const QString& executable) {
    // The names and icon of the installed launcher, so that a session's list of
    // start-up programs shows it as it shows the launcher; Exec names this very
    // program, wherever it was installed.
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Jotlark\n"
                                        "Name[zh_CN]=Jotlark 便签\n"
                                        "Comment=Sticky notes with reminders\n"
                                        "Comment[zh_CN]=桌面便签与提醒\n"
                                        "Icon=jotlark\n"
                                        "Exec=%1\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(escapedValue(execLine(executable)));
    return text.toUtf8();
}

class DesktopEntryAutostart final : public Autostart {
public:
    explicit DesktopEntryAutostart(QString executable) : m_executable(std::move(executable)) {}

    bool apply(bool enabled, QString* error) override {
        const QString folder = autostartFolder();
        const QString entry = folder + QStringLiteral("/jotlark.desktop");
        return enabled ? write(folder, entry, error) : remove(entry, error);
    }

private:
    bool write(const QString& folder, const QString& entry, QString* error) const {
        if (const QString why = inexpressible(m_executable); !why.isEmpty())
            return fail(error, QStringLiteral("%1，开机自启动项无法写出这个路径：%2")
                                   .arg(why, QDir::toNativeSeparators(m_executable)));
        if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
            return fail(error, QStringLiteral("无法创建文件夹 %1").arg(QDir::toNativeSeparators(folder)));
        QSaveFile file(entry);
        if (!file.open(QIODevice::WriteOnly))
            return fail(error, describe(entry, file.errorString()));
        const QByteArray bytes = desktopEntry(m_executable);
        if (file.write(bytes) != bytes.size() || !file.commit())
            return fail(error, describe(entry, file.errorString()));
        return true;
    }

    static bool remove(const QString& entry, QString* error) {
        // Removing first also takes away a dangling link, which exists() would miss.
        QFile file(entry);
        if (file.remove() || !QFileInfo::exists(entry))
            return true;
        return fail(error, describe(entry, file.errorString()));
    }

    static QString describe(const QString& path, const QString& reason) {
        return QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(path), reason);
    }

    static bool fail(QString* error, const QString& text) {
        if (error)
            *error = text;
        return false;
    }

    QString m_executable;
};

} // namespace

std::unique_ptr<Autostart> makeSystemAutostart(const QString& executable) {
    return std::make_unique<DesktopEntryAutostart>(executable);
}
