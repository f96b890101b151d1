#include "store/Profile.h"
#include "store/SettingsStore.h"
#include "store/TextCodec.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QTest>

#include <windows.h>

// The settings file against the system's own profile functions: what the program
// writes, GetPrivateProfileStringA reads alike, and what WritePrivateProfileStringA
// writes, the program reads alike, key by key of the program's own file. The
// system functions pass text through the ANSI code page (936), so only texts 936
// can express take part: a multi-line note's marker or a character outside 936
// reads back from them as '?'.
namespace {

QByteArray systemPath(const QString& file) {
    return QDir::toNativeSeparators(file).toLocal8Bit();
}

QByteArray systemRead(const QString& section, const QString& key, const QString& file) {
    char buffer[4096];
    const DWORD n = ::GetPrivateProfileStringA(encodeText(section).constData(), encodeText(key).constData(), "", buffer,
                                               sizeof buffer, systemPath(file).constData());
    return QByteArray(buffer, int(n));
}

QByteArray ownRead(const QString& section, const QString& key, const QString& file) {
    char buffer[4096];
    const int n =
        profile::GetPrivateProfileStringA(encodeText(section), encodeText(key), "", buffer, sizeof buffer, file);
    return QByteArray(buffer, n);
}

} // namespace

class ProfileInterchangeTest : public QObject {
    Q_OBJECT

private slots:
    void keys_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        const struct {
            const char* section;
            const char* key;
            const char* text;
        } rows[] = {
            {"Main", "S", "0"},      {"Main", "X", "7530"},       {"Main", "Y", "3600"},
            {"Main", "Boots", "1"},  {"Main", "Color", "3"},      {"Main", "Out", "1"},
            {"Main", "1", "买牛奶"}, {"Main", "2", "milk=2 [x]"}, {"Main", "3", "a€b"},
            {"Main", "4", ""},       {"Main", "5", " spaced "},   {"Main", "6", "\"quoted\""},
            {"3", "D", "2026/12/7"}, {"3", "T", "9:05:00"},       {"6", "T", ""},
        };
        for (const auto& row : rows)
            QTest::addRow("%s/%s", row.section, row.key)
                << QString::fromUtf8(row.section) << QString::fromUtf8(row.key) << QString::fromUtf8(row.text);
    }

    void keys() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, text);
        TempFolder folder;
        const QString file = folder.path(QStringLiteral("AT.ini"));
        QVERIFY(writeAll(file, defaultSettingsBytes()));
        SettingsStore store(file);

        // The program writes, the system reads.
        QVERIFY(store.setValue(section, key, text));
        const QByteArray read = systemRead(section, key, file);
        QCOMPARE(read.toHex(' '), ownRead(section, key, file).toHex(' '));
        QCOMPARE(SettingsStore::decodeValue(decodeText(read)), text);

        // The system writes, the program reads.
        QVERIFY(writeAll(file, defaultSettingsBytes()));
        const QByteArray stored = encodeText(SettingsStore::encodeValue(text));
        QVERIFY(::WritePrivateProfileStringA(encodeText(section).constData(), encodeText(key).constData(),
                                             stored.constData(), systemPath(file).constData()));
        QCOMPARE(ownRead(section, key, file).toHex(' '), systemRead(section, key, file).toHex(' '));
        QCOMPARE(store.value(section, key), text);
    }
};

QTEST_GUILESS_MAIN(ProfileInterchangeTest)
#include "tst_profileinterchange_win.moc"
