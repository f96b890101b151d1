#pragma once
// Helpers shared by the tests.
#include <QByteArray>
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

// Skips the rest of a test function on Windows builds, with the reason in the
// output: for checks of POSIX-only behaviour, or of what Wine cannot show.
#ifdef Q_OS_WIN
#define SKIP_ON_WINDOWS(reason) QSKIP(reason)
#else
#define SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif
