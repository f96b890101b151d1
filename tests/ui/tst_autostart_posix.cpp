#include "tests/support/TestSupport.h"
#include "ui/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {
// What a desktop-entry reader makes of an Exec value holding one quoted argument:
// first the string escapes, then the double-quote rules of the Exec key.
QString readExecArgument(const QString& value) {
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            unescaped += next == u'n'   ? QChar(u'\n')
                         : next == u't' ? QChar(u'\t')
                         : next == u'r' ? QChar(u'\r')
                         : next == u's' ? QChar(u' ')
                                        : next;
        } else {
            unescaped += value[i];
        }
    }
    if (unescaped.size() < 2 || !unescaped.startsWith(u'"') || !unescaped.endsWith(u'"'))
        return QStringLiteral("<not one quoted argument>");
    QString argument;
    for (int i = 1; i < unescaped.size() - 1; ++i) {
        QChar c = unescaped[i];
        if (c == u'\\')
            c = unescaped[++i];
        else if (c == u'"')
            return QStringLiteral("<unescaped quote>");
        else if (c == u'%' && unescaped[++i] != u'%')
            return QStringLiteral("<field code>");
        argument += c;
    }
    return argument;
}

// The quoted argument of the Exec line, after the "env " that a path holding % needs.
QString execValue(const QByteArray& entry) {
    for (const QByteArray& line : entry.split('\n'))
        if (line.startsWith("Exec="))
            return QString::fromUtf8(line.mid(line.startsWith("Exec=env ") ? 9 : 5));
    return {};
}
} // namespace

class AutostartTest : public QObject {
    Q_OBJECT
private:
    TempFolder* m_folder = nullptr;
    QString m_entry;

private slots:
    void init() {
        m_folder = new TempFolder;
        qputenv("XDG_CONFIG_HOME", m_folder->path("config").toUtf8());
        m_entry = m_folder->path("config/autostart/jotlark.desktop");
    }
    void cleanup() {
        delete m_folder;
        qunsetenv("XDG_CONFIG_HOME");
    }

    void enabling_writesAnEntryThatStartsTheInstalledProgram() {
        const QString exe = QStringLiteral("/opt/My Apps/say \"hi\"/a`b/50%/jot$lark\\x");
        QString error;
        QVERIFY(makeSystemAutostart(exe)->apply(true, &error));
        QVERIFY(error.isEmpty());
        const QByteArray entry = readAll(m_entry);
        QCOMPARE(entry, QByteArray("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Name=Jotlark\n"
                                   "Name[zh_CN]=Jotlark 便签\n"
                                   "Comment=Sticky notes with reminders\n"
                                   "Comment[zh_CN]=桌面便签与提醒\n"
                                   "Icon=jotlark\n"
                                   "Exec=env \"/opt/My Apps/say \\\\\"hi\\\\\"/a\\\\`b/50%%/jot\\\\$lark\\\\\\\\x\"\n"
                                   "Terminal=false\n"
                                   "X-GNOME-Autostart-enabled=true\n"));
        QCOMPARE(readExecArgument(execValue(entry)), exe);
    }

    void enabling_keepsOtherCharactersOfThePathReadable() {
        const QString exe = QStringLiteral("/home/李雷/程序/jotlark");
        QVERIFY(makeSystemAutostart(exe)->apply(true, nullptr));
        QCOMPARE(readExecArgument(execValue(readAll(m_entry))), exe);
    }

    // desktop-file-validate (desktop-file-utils) reads the entry as a session
    // would, and `gio launch` (GLib) starts exactly the program at the path; a path
    // no entry can hold is refused with the reason, and no entry is written.
    void enabling_writesAValidEntry_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("expressible");
        QTest::newRow("plain") << QStringLiteral("bin") << true;
        QTest::newRow("blanks and quotes") << QStringLiteral("My Apps/say \"hi\"/jot$lark\\x/a`b") << true;
        QTest::newRow("percent") << QStringLiteral("50%/%u %%") << true;
        QTest::newRow("Chinese folder") << QStringLiteral("李雷/程序") << true;
        QTest::newRow("line break") << QStringLiteral("a\nb") << false;
        QTest::newRow("tab") << QStringLiteral("a\tb") << false;
        QTest::newRow("percent and equals") << QStringLiteral("50%/a=b") << false;
    }
    void enabling_writesAValidEntry() {
        QFETCH(QString, folder);
        QFETCH(bool, expressible);
        const QString executable = m_folder->path(folder + "/jotlark");
        QVERIFY(QDir().mkpath(m_folder->path(folder)));
        QVERIFY(writeAll(executable, "#!/bin/sh\nprintf %s \"$0\" > \"$(dirname \"$0\")/ran\"\n"));
        QVERIFY(QFile::setPermissions(executable, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QString error;
        QCOMPARE(makeSystemAutostart(executable)->apply(true, &error), expressible);
        if (!expressible) {
            QVERIFY2(error.contains("开机自启动项无法写出这个路径") && error.contains(executable), qPrintable(error));
            QVERIFY(!QFile::exists(m_entry));
            return;
        }
        QCOMPARE(readExecArgument(execValue(readAll(m_entry))), executable);
        for (const char* tool : {"desktop-file-validate", "gio"}) {
            if (QStandardPaths::findExecutable(tool).isEmpty())
                QSKIP(qPrintable(QString("%1 is not installed").arg(tool)));
        }
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start("desktop-file-validate", {m_entry});
        QVERIFY(validate.waitForFinished(30000));
        const QByteArray report = validate.readAll();
        QVERIFY2(validate.exitCode() == 0 && report.trimmed().isEmpty(), report.constData());
        QProcess launch;
        launch.setProcessChannelMode(QProcess::MergedChannels);
        launch.start("gio", {"launch", m_entry});
        QVERIFY(launch.waitForFinished(30000));
        QVERIFY2(launch.exitCode() == 0, launch.readAll().constData());
        QTRY_COMPARE_WITH_TIMEOUT(QString::fromUtf8(readAll(m_folder->path(folder + "/ran"))), executable, 30000);
    }

    void enabling_replacesAnEarlierEntry() {
        QDir().mkpath(QFileInfo(m_entry).path());
        QVERIFY(writeAll(m_entry, "[Desktop Entry]\nExec=/old/place/jotlark --with many words and a long tail\n"));
        QVERIFY(makeSystemAutostart("/new/jotlark")->apply(true, nullptr));
        const QByteArray entry = readAll(m_entry);
        QCOMPARE(execValue(entry), QStringLiteral("\"/new/jotlark\""));
        QVERIFY(!entry.contains("old"));
        // No temporary file left beside it.
        QCOMPARE(QDir(QFileInfo(m_entry).path()).entryList(QDir::Files), QStringList{"jotlark.desktop"});
    }

    void disabling_removesTheEntry() {
        auto autostart = makeSystemAutostart("/opt/jotlark");
        QVERIFY(autostart->apply(true, nullptr));
        QVERIFY(QFile::exists(m_entry));
        QString error;
        QVERIFY(autostart->apply(false, &error));
        QVERIFY(!QFile::exists(m_entry));
        QVERIFY(error.isEmpty());
    }

    void disabling_withoutAnEntryIsNoError() {
        QString error;
        QVERIFY(makeSystemAutostart("/opt/jotlark")->apply(false, &error)); // no folder at all
        QVERIFY(error.isEmpty());
        QDir().mkpath(QFileInfo(m_entry).path());
        QVERIFY(makeSystemAutostart("/opt/jotlark")->apply(false, &error)); // folder, no entry
        QVERIFY(error.isEmpty());
    }

    void disabling_removesALinkThatPointsNowhere() {
        QDir().mkpath(QFileInfo(m_entry).path());
        QVERIFY(QFile::link(m_folder->path("gone.desktop"), m_entry));
        QVERIFY(makeSystemAutostart("/opt/jotlark")->apply(false, nullptr));
        QVERIFY(!QFileInfo(m_entry).isSymLink());
    }

    void folder_defaultsToDotConfigInTheHomeFolder() {
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", m_folder->path("home").toUtf8());
        for (const QByteArray& xdg : {QByteArray(), QByteArray("relative/config")}) {
            if (xdg.isEmpty())
                qunsetenv("XDG_CONFIG_HOME");
            else
                qputenv("XDG_CONFIG_HOME", xdg);
            QVERIFY(makeSystemAutostart("/opt/jotlark")->apply(true, nullptr));
            QVERIFY(QFile::exists(m_folder->path("home/.config/autostart/jotlark.desktop")));
            QVERIFY(QFile::remove(m_folder->path("home/.config/autostart/jotlark.desktop")));
        }
        qputenv("HOME", home);
    }

    void blockedFolder_failsWithAReason() {
        QDir().mkpath(m_folder->path("config"));
        QVERIFY(writeAll(m_folder->path("config/autostart"), "a file where the folder should be"));
        QString error;
        QVERIFY(!makeSystemAutostart("/opt/jotlark")->apply(true, &error));
        QVERIFY2(error.contains(m_folder->path("config/autostart")), qPrintable(error));
        QCOMPARE(readAll(m_folder->path("config/autostart")), QByteArray("a file where the folder should be"));
    }

    void entryThatCannotBeRemoved_failsWithAReason() {
        QVERIFY(QDir().mkpath(m_entry + "/inside")); // a folder by the entry's name
        QString error;
        QVERIFY(!makeSystemAutostart("/opt/jotlark")->apply(false, &error));
        QVERIFY2(error.contains("jotlark.desktop"), qPrintable(error));
        QVERIFY(!makeSystemAutostart("/opt/jotlark")->apply(true, &error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(AutostartTest)
#include "tst_autostart_posix.moc"
