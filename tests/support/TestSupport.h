#pragma once
// Helpers shared by the tests.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary folder per test; removed at the end.
class TempFolder {
public:
    TempFolder();
    QString path(const QString& name) const;
    bool ok() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
};

QByteArray readAll(const QString& file);
bool writeAll(const QString& file, const QByteArray& bytes);
// The default settings file's exact bytes (GBK, CR LF), as a literal kept in the tests.
QByteArray defaultSettingsBytes();

// Runs a shell command in folder; its standard output, or "" with *ok false when
// it fails (ok may be null).
QByteArray shell(const QString& folder, const QString& command, bool* ok = nullptr);

// A second local user for tests of what another user can do: "jotlark-other",
// made with useradd when missing. "" with *why set when this is not root.
QString otherUser(QString* why);

// Whether the local clock of this process changes for summer time in 2026: false
// where the system does not take the zone from TZ (Windows, Wine).
inline bool localZoneHasSummerTime() {
    return QDateTime(QDate(2026, 1, 15), QTime(12, 0)).offsetFromUtc() !=
           QDateTime(QDate(2026, 7, 15), QTime(12, 0)).offsetFromUtc();
}

// The local clock in zone (TZ) for the lifetime of this object, then the zone before.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const QByteArray& zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    QByteArray m_saved;
};

// Skips the rest of a test function on Windows builds, with the reason in the
// output: for checks of POSIX-only behaviour, or of what Wine cannot show.
#ifdef Q_OS_WIN
#define SKIP_ON_WINDOWS(reason) QSKIP(reason)
#else
#define SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif
