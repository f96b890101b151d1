#include "tests/support/TestSupport.h"

#include <time.h>

#include <QFile>
#include <QProcess>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

TempFolder::TempFolder() = default;

QString TempFolder::path(const QString& name) const {
    return m_dir.filePath(name);
}

QByteArray readAll(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeAll(const QString& file, const QByteArray& bytes) {
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

QByteArray defaultSettingsBytes() {
    // "1=" followed by "Jotlark，懂你的Jotlark！" in GBK.
    QByteArray s = "[Main]\r\nS=0\r\nX=0\r\nY=0\r\nBoots=0\r\nColor=1\r\nOut=0\r\n"
                   "1=Jotlark\xa3\xac\xb6\xae\xc4\xe3\xb5\xc4Jotlark\xa3\xa1\r\n"
                   "2=\r\n3=\r\n4=\r\n5=\r\n6=\r\n";
    for (int n = 1; n <= 6; ++n)
        s += "\r\n[" + QByteArray::number(n) + "]\r\nD=\r\nT=\r\n";
    return s;
}

QByteArray shell(const QString& folder, const QString& command, bool* ok) {
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(QStringLiteral("sh"), {QStringLiteral("-c"), command});
    const bool done = p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (ok)
        *ok = done;
    if (!done)
        qWarning("%s: %s", qPrintable(command), p.readAllStandardError().constData());
    return done ? p.readAllStandardOutput() : QByteArray();
}

QString otherUser(QString* why) {
#ifdef Q_OS_WIN
    const bool root = false;
#else
    const bool root = geteuid() == 0;
#endif
    if (!root) {
        *why = QStringLiteral("acting as another user needs root (runuser, useradd)");
        return {};
    }
    const QString name = QStringLiteral("jotlark-other");
    bool ok = false;
    shell(QStringLiteral("/"), QStringLiteral("id -u %1 >/dev/null 2>&1 || useradd -M -s /bin/sh %1").arg(name), &ok);
    if (!ok)
        *why = QStringLiteral("could not create the user ") + name;
    return ok ? name : QString();
}

ScopedTimeZone::ScopedTimeZone(const QByteArray& zone) : m_saved(qgetenv("TZ")) {
    qputenv("TZ", zone);
    tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    qputenv("TZ", m_saved);
    tzset();
}
