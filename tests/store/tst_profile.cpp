#include "store/Profile.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

using namespace profile;

class ProfileTest : public QObject {
    Q_OBJECT
private slots:
    void readingAKey_followsTheProfileRules_data();
    void readingAKey_followsTheProfileRules();
    void writingAKey_changesOnlyItsLine_data();
    void writingAKey_changesOnlyItsLine();
    void windowsFacts_readTheSame_data();
    void windowsFacts_readTheSame();
    void windowsFacts_writeTheSame_data();
    void windowsFacts_writeTheSame();
    void writingAKey_refusesWhatCannotBeReadBack();
    void manyWrites_readBackAsWritten();
    void copyingAValue_respectsTheBufferSize();
    void fileWrites_failWithoutTouchingTheFile();
    void fileWrites_keepPermissionsAndSeeOutsideChanges();
};

void ProfileTest::readingAKey_followsTheProfileRules_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("value");
    const QByteArray f = "[Main]\r\nS=0\r\n";
    QTest::newRow("missing section") << f << QByteArray("1") << QByteArray("S") << false << QByteArray();
    QTest::newRow("missing key") << f << QByteArray("Main") << QByteArray("X") << false << QByteArray();
    QTest::newRow("key only in another section")
        << QByteArray("[A]\r\nk=1\r\n[B]\r\n") << QByteArray("B") << QByteArray("k") << false << QByteArray();
    QTest::newRow("key before any section")
        << QByteArray("k=1\r\n[A]\r\n") << QByteArray("A") << QByteArray("k") << false << QByteArray();
    QTest::newRow("names ignore ASCII case")
        << QByteArray("[mAIN]\r\ncOLOR=3\r\n") << QByteArray("Main") << QByteArray("Color") << true << QByteArray("3");
    QTest::newRow("names ignore surrounding blanks")
        << QByteArray(" [ Main\t] \r\n \tColor  =3\r\n") << QByteArray("Main") << QByteArray("Color") << true
        << QByteArray("3");
    QTest::newRow("non-ASCII bytes are not case-folded")
        << QByteArray("[\xc4]\r\nk=1\r\n") << QByteArray("\xe4") << QByteArray("k") << false << QByteArray();
    QTest::newRow("value is trimmed") << QByteArray("[A]\r\nk= \t a b \t\r\n") << QByteArray("A") << QByteArray("k")
                                      << true << QByteArray("a b");
    QTest::newRow("split at first equals")
        << QByteArray("[A]\r\nk=a=b==\r\n") << QByteArray("A") << QByteArray("k") << true << QByteArray("a=b==");
    QTest::newRow("double quotes removed")
        << QByteArray("[A]\r\nk= \" x \" \r\n") << QByteArray("A") << QByteArray("k") << true << QByteArray(" x ");
    QTest::newRow("single quotes removed")
        << QByteArray("[A]\r\nk='x'\r\n") << QByteArray("A") << QByteArray("k") << true << QByteArray("x");
    QTest::newRow("only one pair removed")
        << QByteArray("[A]\r\nk=\"\"x\"\"\r\n") << QByteArray("A") << QByteArray("k") << true << QByteArray("\"x\"");
    QTest::newRow("mismatched quotes kept")
        << QByteArray("[A]\r\nk=\"x'\r\n") << QByteArray("A") << QByteArray("k") << true << QByteArray("\"x'");
    QTest::newRow("a lone quote kept") << QByteArray("[A]\r\nk=\"\r\n") << QByteArray("A") << QByteArray("k") << true
                                       << QByteArray("\"");
    QTest::newRow("first of two sections") << QByteArray("[A]\r\nk=1\r\n[a]\r\nk=2\r\nj=3\r\n") << QByteArray("A")
                                           << QByteArray("j") << false << QByteArray();
    QTest::newRow("first of two keys") << QByteArray("[A]\r\nk=1\r\nK=2\r\n") << QByteArray("A") << QByteArray("k")
                                       << true << QByteArray("1");
    QTest::newRow("comment is no key") << QByteArray("[A]\r\n ;k=1\r\nk=2\r\n") << QByteArray("A") << QByteArray(";k")
                                       << false << QByteArray();
    QTest::newRow("name without equals has no value")
        << QByteArray("[A]\r\nk\r\nk=2\r\n") << QByteArray("A") << QByteArray("k") << false << QByteArray();
    QTest::newRow("lone LF line ends") << QByteArray("[A]\nk=1\nj=2\n") << QByteArray("A") << QByteArray("j") << true
                                       << QByteArray("2");
    QTest::newRow("last line without line end")
        << QByteArray("[A]\r\nk=1\r\nj=2") << QByteArray("A") << QByteArray("j") << true << QByteArray("2");
    QTest::newRow("GBK bytes unchanged") << QByteArray("[Main]\r\n1=\xb6\xae\xc4\xe3\r\n") << QByteArray("Main")
                                         << QByteArray("1") << true << QByteArray("\xb6\xae\xc4\xe3");
    QTest::newRow("UTF-8 mark before first section")
        << QByteArray("\xef\xbb\xbf[Main]\r\nS=1\r\n") << QByteArray("Main") << QByteArray("S") << true
        << QByteArray("1");
}

void ProfileTest::readingAKey_followsTheProfileRules() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(bool, found);
    QFETCH(QByteArray, value);
    bool wasFound = !found;
    QCOMPARE(readValue(content, section, key, &wasFound), value);
    QCOMPARE(wasFound, found);
}

void ProfileTest::writingAKey_changesOnlyItsLine_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("new file") << QByteArray() << QByteArray("Main") << QByteArray("S") << QByteArray("1")
                              << QByteArray("[Main]\r\nS=1\r\n");
    QTest::newRow("new section appended") << QByteArray("[A]\r\nk=1\r\n\r\n") << QByteArray("B") << QByteArray("j")
                                          << QByteArray("2") << QByteArray("[A]\r\nk=1\r\n\r\n[B]\r\nj=2\r\n");
    QTest::newRow("new section after a last line without end")
        << QByteArray("[A]\r\nk=1") << QByteArray("B") << QByteArray("j") << QByteArray("2")
        << QByteArray("[A]\r\nk=1\r\n[B]\r\nj=2\r\n");
    QTest::newRow("new key after the section's last key")
        << QByteArray("[A]\r\nk=1\r\n;note\r\n\r\n\r\n[B]\r\nj=1\r\n") << QByteArray("a") << QByteArray("j")
        << QByteArray("2") << QByteArray("[A]\r\nk=1\r\n;note\r\nj=2\r\n\r\n\r\n[B]\r\nj=1\r\n");
    QTest::newRow("new key in an empty last section")
        << QByteArray("[A]") << QByteArray("A") << QByteArray("k") << QByteArray("1") << QByteArray("[A]\r\nk=1\r\n");
    QTest::newRow("new key goes to the first of two sections")
        << QByteArray("[A]\r\n\r\n[A]\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("1")
        << QByteArray("[A]\r\nk=1\r\n\r\n[A]\r\n");
    QTest::newRow("key keeps the file's spelling")
        << QByteArray("[main]\n  color = 1 \n x = 2\n") << QByteArray("Main") << QByteArray("COLOR") << QByteArray("3")
        << QByteArray("[main]\ncolor=3\r\n x = 2\n");
    QTest::newRow("only the first of two keys")
        << QByteArray("[A]\r\nk=1\r\nk=2\r\n[B]\r\nk=3\r\n") << QByteArray("A") << QByteArray("k") << QByteArray("9")
        << QByteArray("[A]\r\nk=9\r\nk=2\r\n[B]\r\nk=3\r\n");
    QTest::newRow("key in the second section")
        << QByteArray("[A]\r\nk=1\r\n[B]\r\nk=3") << QByteArray("B") << QByteArray("k") << QByteArray("9")
        << QByteArray("[A]\r\nk=1\r\n[B]\r\nk=9\r\n");
    QTest::newRow("name without equals counts as the key")
        << QByteArray("[A]\r\n k \r\n") << QByteArray("A") << QByteArray("k") << QByteArray("5")
        << QByteArray("[A]\r\nk=5\r\n");
    QTest::newRow("empty value keeps the key") << QByteArray("[A]\r\nk=1\r\n") << QByteArray("A") << QByteArray("k")
                                               << QByteArray() << QByteArray("[A]\r\nk=\r\n");
    QTest::newRow("UTF-8 mark kept") << QByteArray("\xef\xbb\xbf[A]\r\nk=1\r\n") << QByteArray("A") << QByteArray("k")
                                     << QByteArray("2") << QByteArray("\xef\xbb\xbf[A]\r\nk=2\r\n");
    QTest::newRow("comment named like the key stays")
        << QByteArray("[A]\r\n;k=1\r\n") << QByteArray("A") << QByteArray(";k") << QByteArray("2")
        << QByteArray("[A]\r\n;k=1\r\n");
}

void ProfileTest::writingAKey_changesOnlyItsLine() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, after);
    QByteArray content = before;
    const bool written = writeValue(content, section, key, value);
    QCOMPARE(content, after);
    QCOMPARE(written, before != after);
}

// Cases observed with the Windows functions (code page 936) where Jotlark agrees.
void ProfileTest::windowsFacts_readTheSame_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("value");
    const QByteArray cr = "[A]\rx=1\ry=2\r";
    QTest::newRow("lone CR ends a line") << cr << QByteArray("A") << QByteArray("y") << true << QByteArray("2");
    QTest::newRow("lone CR, first key") << cr << QByteArray("A") << QByteArray("x") << true << QByteArray("1");
    const QByteArray brackets = "[A]\r\n[x\r\nk=1\r\n[y=2\r\n[B]]\r\nj=3\r\n[C] tail ]\r\nm=4\r\n";
    QTest::newRow("[ without ] is no section")
        << brackets << QByteArray("A") << QByteArray("k") << true << QByteArray("1");
    QTest::newRow("[ without ] is a key") << brackets << QByteArray("A") << QByteArray("[y") << true << QByteArray("2");
    QTest::newRow("name to the last ]") << brackets << QByteArray("B]") << QByteArray("j") << true << QByteArray("3");
    QTest::newRow("not to the first ]") << brackets << QByteArray("B") << QByteArray("j") << false << QByteArray();
    QTest::newRow("text between ] and ]")
        << brackets << QByteArray("C] tail") << QByteArray("m") << true << QByteArray("4");
    QTest::newRow("before the first section")
        << QByteArray("k=0\r\n[A]\r\nk=1\r\n") << QByteArray(" ") << QByteArray("k") << true << QByteArray("0");
    QTest::newRow("only the top counts as the empty name")
        << QByteArray("[A]\r\n[]\r\nk=1\r\n") << QByteArray("") << QByteArray("k") << false << QByteArray();
    QTest::newRow("empty value at the top")
        << QByteArray("K=\r\n") << QByteArray("") << QByteArray("k") << true << QByteArray();
    const QByteArray trims = "[A]\r\nk1=\x0bx\x0b\r\nk2=\x0cx\x0c\r\nk3=\x1ax\x1a\r\nk4=\x1cx\x1c\r\n"
                             "k6=\xa1\xa1x\xa1\xa1\r\n\x0bk7\x0c=7\r\n[\x1a"
                             "B\x0b]\r\nk=8\r\n";
    QTest::newRow("VT trimmed") << trims << QByteArray("A") << QByteArray("k1") << true << QByteArray("x");
    QTest::newRow("FF trimmed") << trims << QByteArray("A") << QByteArray("k2") << true << QByteArray("x");
    QTest::newRow("Ctrl-Z trimmed") << trims << QByteArray("A") << QByteArray("k3") << true << QByteArray("x");
    QTest::newRow("other control kept") << trims << QByteArray("A") << QByteArray("k4") << true
                                        << QByteArray("\x1cx\x1c");
    QTest::newRow("ideographic space kept")
        << trims << QByteArray("A") << QByteArray("k6") << true << QByteArray("\xa1\xa1x\xa1\xa1");
    QTest::newRow("names trimmed alike") << trims << QByteArray("A") << QByteArray("k7") << true << QByteArray("7");
    QTest::newRow("section trimmed alike") << trims << QByteArray("B") << QByteArray("k") << true << QByteArray("8");
    QTest::newRow("inner spaces kept") << QByteArray("[A]\r\nk = a = b\r\n") << QByteArray("A") << QByteArray("k")
                                       << true << QByteArray("a = b");
    QTest::newRow("unbalanced quote kept")
        << QByteArray("[A]\r\nq=\"a\r\n") << QByteArray("A") << QByteArray("q") << true << QByteArray("\"a");
    QTest::newRow("outer quotes only") << QByteArray("[A]\r\nq=\"a\"b\"\r\n") << QByteArray("A") << QByteArray("q")
                                       << true << QByteArray("a\"b");
    QTest::newRow("# is no comment") << QByteArray("[A]\r\n# h=3\r\n") << QByteArray("A") << QByteArray("# h") << true
                                     << QByteArray("3");
    QTest::newRow("bytes kept") << QByteArray("[Main]\r\n2=\xa2\xe3|\x80\r\n") << QByteArray("Main") << QByteArray("2")
                                << true << QByteArray("\xa2\xe3|\x80");
    QTest::newRow("only the first section") << QByteArray("[A]\r\nk=1\r\nk=2\r\n[B]\r\nx=1\r\n[A]\r\nk=3\r\nj=4\r\n")
                                            << QByteArray("A") << QByteArray("j") << false << QByteArray();
}

void ProfileTest::windowsFacts_readTheSame() {
    readingAKey_followsTheProfileRules();
}

void ProfileTest::windowsFacts_writeTheSame_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("after");
    const QByteArray a = "[Main]\r\nkey=value\r\n";
    QTest::newRow("new section, no blank line")
        << a << QByteArray("Second") << QByteArray("k2") << QByteArray("v2") << a + "[Second]\r\nk2=v2\r\n";
    QTest::newRow("new key at the end of its section")
        << a + "[Second]\r\nk2=v2\r\n"
        << QByteArray("Main") << QByteArray("k3") << QByteArray("v3") << a + "k3=v3\r\n[Second]\r\nk2=v2\r\n";
    QTest::newRow("file's spelling kept") << QByteArray("[Main]\r\nKey=1\r\n") << QByteArray("MAIN")
                                          << QByteArray("KEY") << QByteArray("2") << QByteArray("[Main]\r\nKey=2\r\n");
    QTest::newRow("equals in the value") << QByteArray("[A]\r\n") << QByteArray("A") << QByteArray("k")
                                         << QByteArray("a=b=c") << QByteArray("[A]\r\nk=a=b=c\r\n");
    QTest::newRow("quotes written as they are") << QByteArray("[A]\r\n") << QByteArray("A") << QByteArray("w")
                                                << QByteArray("\"quoted\"") << QByteArray("[A]\r\nw=\"quoted\"\r\n");
    QTest::newRow("line end supplied") << QByteArray("[A]\r\nx=1") << QByteArray("B") << QByteArray("z")
                                       << QByteArray("3") << QByteArray("[A]\r\nx=1\r\n[B]\r\nz=3\r\n");
    QTest::newRow("first of two sections")
        << QByteArray("[A]\r\nk=1\r\n[B]\r\nx=1\r\n[A]\r\nj=4\r\n") << QByteArray("A") << QByteArray("j")
        << QByteArray("8") << QByteArray("[A]\r\nk=1\r\nj=8\r\n[B]\r\nx=1\r\n[A]\r\nj=4\r\n");
    QTest::newRow("line without equals") << QByteArray("[A]\r\nnoeq\r\nk=1\r\n") << QByteArray("A")
                                         << QByteArray("noeq") << QByteArray("v")
                                         << QByteArray("[A]\r\nnoeq=v\r\nk=1\r\n");
    QTest::newRow("after a [ line of the section")
        << QByteArray("[A]\r\nk=1\r\n[x\r\n") << QByteArray("A") << QByteArray("n") << QByteArray("2")
        << QByteArray("[A]\r\nk=1\r\n[x\r\nn=2\r\n");
    QTest::newRow("odd bytes unchanged") << QByteArray() << QByteArray("A") << QByteArray("hi")
                                         << QByteArray("\x80\xff\x81\xa1\x7f")
                                         << QByteArray("[A]\r\nhi=\x80\xff\x81\xa1\x7f\r\n");
    // Jotlark keeps the other lines' CR ends where the Windows functions rewrite them all.
    QTest::newRow("CR-only lines") << QByteArray("[A]\rx=1\ry=2\r") << QByteArray("A") << QByteArray("x")
                                   << QByteArray("9") << QByteArray("[A]\rx=9\r\ny=2\r");
    QTest::newRow("after a last lone CR") << QByteArray("[A]\rx=1\r") << QByteArray("A") << QByteArray("y")
                                          << QByteArray("2") << QByteArray("[A]\rx=1\ry=2\r\n");
}

void ProfileTest::windowsFacts_writeTheSame() {
    writingAKey_changesOnlyItsLine();
}

void ProfileTest::writingAKey_refusesWhatCannotBeReadBack() {
    const QByteArray original = defaultSettingsBytes();
    const QList<QList<QByteArray>> refused = {
        {"Main", "1", "a\r\nb"}, {"Main", "1", "a\nb"}, {"Main", "1", "a\r[x]"}, {"Ma]in", "1", "x"},
        {"", "1", "x"},          {"Main", "", "x"},     {"Main", "a=b", "x"},    {"Main", "[x", "x"},
        {"Main\r\n", "1", "x"},  {"Main", "1\n2", "x"},
    };
    for (const auto& w : refused) {
        QByteArray content = original;
        QVERIFY2(!writeValue(content, w[0], w[1], w[2]), w.join('|').constData());
        QCOMPARE(content, original);
    }
}

void ProfileTest::manyWrites_readBackAsWritten() {
    // Random writes over the default file against a plain model of its keys.
    QRandomGenerator rng(2024);
    QByteArray content = defaultSettingsBytes();
    QMap<QByteArray, QByteArray> model;
    const QByteArray keys[] = {"S", "X", "color", "1", "6", "D", "T", "new"};
    for (int i = 0; i < 400; ++i) {
        const QByteArray section = QByteArray::number(rng.bounded(8)); // 0 and 7 are new sections
        const QByteArray key = keys[rng.bounded(8)];
        QByteArray value;
        for (int n = rng.bounded(6); n > 0; --n)
            value += "ab=[];\xb6\xae"[rng.bounded(8)];
        QVERIFY(writeValue(content, section, key, value));
        model[section + '/' + key.toLower()] = value;
    }
    for (auto it = model.cbegin(); it != model.cend(); ++it) {
        const QList<QByteArray> name = it.key().split('/');
        bool found = false;
        QCOMPARE(readValue(content, name[0], name[1].toUpper(), &found), it.value());
        QVERIFY(found);
    }
    QVERIFY(content.endsWith("\r\n"));
    QCOMPARE(content.count("\r\n"), content.count('\n')); // every line still ends in CR LF
}

void ProfileTest::copyingAValue_respectsTheBufferSize() {
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    QVERIFY(writeAll(file, "[A]\r\nk=abcdef\r\n"));
    char buffer[16];
    auto call = [&](const QByteArray& key, const QByteArray& fallback, int size, const QString& path) {
        std::memset(buffer, 'X', sizeof buffer);
        return GetPrivateProfileStringA("A", key, fallback, buffer, size, path);
    };
    QCOMPARE(call("k", "", 16, file), 6);
    QCOMPARE(QByteArray(buffer), QByteArray("abcdef"));
    QCOMPARE(call("k", "", 4, file), 3); // value cut to size - 1, NUL-terminated
    QCOMPARE(QByteArray(buffer, 5), QByteArray("abc\0X", 5));
    QCOMPARE(call("k", "", 1, file), 0);
    QCOMPARE(buffer[0], '\0');
    for (const int size : {0, -1}) { // nothing copied at all
        QCOMPARE(call("k", "", size, file), 0);
        QCOMPARE(buffer[0], 'X');
    }
    QCOMPARE(call("missing", "dflt", 16, file), 4);
    QCOMPARE(QByteArray(buffer), QByteArray("dflt"));
    QCOMPARE(call("k", "dflt", 3, dir.path("none.ini")), 2);
    QCOMPARE(QByteArray(buffer), QByteArray("df"));
    QCOMPARE(GetPrivateProfileStringA("A", "k", "", nullptr, 8, file), 0);
}

void ProfileTest::fileWrites_failWithoutTouchingTheFile() {
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    const QByteArray original = defaultSettingsBytes();
    QVERIFY(writeAll(file, original));
    QString error;
    QVERIFY(!WritePrivateProfileStringA("Main", "1", "a\nb", file, &error));
    QVERIFY(error.contains(QDir::toNativeSeparators(file)));
    QCOMPARE(readAll(file), original);

    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    error.clear();
    QVERIFY(!WritePrivateProfileStringA("Main", "1", "x", file, &error));
    QVERIFY2(error.startsWith(QString("无法保存设置文件 %1：").arg(QDir::toNativeSeparators(file))), qPrintable(error));
    QCOMPARE(readAll(file), original);

    QVERIFY(QDir().mkdir(dir.path("folder.ini")));
    QVERIFY(!WritePrivateProfileStringA("Main", "1", "x", dir.path("folder.ini"), &error));
    QVERIFY(QFileInfo(dir.path("folder.ini")).isDir());

    const QString throughFile = file + "/AT.ini"; // the folder is a regular file
    QVERIFY(!WritePrivateProfileStringA("Main", "1", "x", throughFile, &error));
    QVERIFY(error.contains(QDir::toNativeSeparators(throughFile)));
    QVERIFY(!WritePrivateProfileStringA("Main", "1", "x", dir.path("missing/AT.ini"), &error));
    QCOMPARE(QDir(dir.path("")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList({"AT.ini", "folder.ini"}));
}

void ProfileTest::fileWrites_keepPermissionsAndSeeOutsideChanges() {
    SKIP_ON_WINDOWS("checks POSIX permission bits, which Windows files do not have");
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    QVERIFY(WritePrivateProfileStringA("Main", "S", "0", file)); // created when missing
    QCOMPARE(readAll(file), QByteArray("[Main]\r\nS=0\r\n"));
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(file, perms));

    QVERIFY(writeAll(file, "[Main]\r\nS=0\r\nX=5\r\n")); // another program edits the file
    char buffer[8];
    QCOMPARE(GetPrivateProfileStringA("Main", "X", "", buffer, 8, file), 1);
    QCOMPARE(buffer[0], '5');
    QVERIFY(WritePrivateProfileStringA("Main", "S", "1", file));
    QCOMPARE(readAll(file), QByteArray("[Main]\r\nS=1\r\nX=5\r\n"));
    QCOMPARE(QFile::permissions(file) & 0x7077, perms); // owner, group and other bits
}

QTEST_GUILESS_MAIN(ProfileTest)
#include "tst_profile.moc"
