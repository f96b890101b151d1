#include "store/Numbers.h"
#include "store/SettingsStore.h"
#include "store/TextCodec.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

namespace {
const QString kSlot1 = QStringLiteral("Jotlark，懂你的Jotlark！");
const QByteArray kSlot1Gbk = "Jotlark\xa3\xac\xb6\xae\xc4\xe3\xb5\xc4Jotlark\xa3\xa1";
} // namespace

class SettingsStoreTest : public QObject {
    Q_OBJECT
private slots:
    void readingAValue_handlesEveryFileShape();
    void awkwardNotes_survivesARestart_data();
    void awkwardNotes_survivesARestart();
    void filesWithAByteOrderMark_stayInTheirEncoding_data();
    void filesWithAByteOrderMark_stayInTheirEncoding();
    void windowsValues_readAsTheyAre_data();
    void windowsValues_readAsTheyAre();
    void utf16File_keepsEveryOtherByte();
    void failedWrite_isReportedAndLeavesTheFile();
    void codec_writesGbkAndKeepsOtherCharacters();
    void numbers_countAnythingButAnIntegerInRangeAsZero_data();
    void numbers_countAnythingButAnIntegerInRangeAsZero();
};

void SettingsStoreTest::readingAValue_handlesEveryFileShape() {
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    QCOMPARE(GetIniValue("Main", "S", file), QString()); // no file
    QVERIFY(QDir().mkdir(file));
    QCOMPARE(GetIniValue("Main", "S", file), QString()); // a folder is no file
    QVERIFY(QDir().rmdir(file));

    const QList<QPair<QByteArray, QString>> cases = {
        {"", ""},                                                 // size 0: asks with size -1
        {"[", ""},                                                // size 1: asks with size 0
        {"[Main]\r\nS=1\r\n", "1"},                               // a one-byte value
        {"[Main]\r\nS=a=b\r\n", "a=b"},                           // split at the first '='
        {QByteArray("[Main]\r\nS=a") + '\0' + "b\r\n", "ab"},     // NULs removed
        {"[Main]\r\n1=" + kSlot1Gbk + "\r\n", kSlot1},            // decoded from GBK
        {"[Main]\nS=" + QByteArray(900, 'x'), QString(900, 'x')}, // as long as the file allows
        {"[Main]\r\nX=1\r\n", ""},                                // key missing
        {"[1]\r\nS=1\r\n", ""},                                   // section missing
    };
    for (const auto& [content, expected] : cases) {
        QVERIFY(writeAll(file, content));
        QCOMPARE(GetIniValue("Main", "S", file) + GetIniValue("main", "1", file), expected);
    }
    QVERIFY(writeAll(file, defaultSettingsBytes()));
    QCOMPARE(SettingsStore(file).value("Main", "1"), kSlot1);
    QCOMPARE(SettingsStore(file).value("3", "D"), QString());
}

void SettingsStoreTest::awkwardNotes_survivesARestart_data() {
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("storedAsIs"); // plain text is written exactly as the Windows program would
    const QList<QPair<const char*, bool>> notes = {
        {"a=b=c", true},
        {"[Main]", true},
        {";not a comment", true},
        {"C:\\dir\\x", true},
        {"中文，标点！", true},
        {"", true},
        {"\"", true},
        {"a\"b'", true},
        {"\"quoted\"", false},
        {"'single'", false},
        {"''", false},
        {"\" a \"", false},
        {"  leading", false},
        {"trailing  ", false},
        {"\ttabs\t", false},
        {" ", false},
        {"line1\nline2", false},
        {"a\r\nb\r\n", false},
        {"lone\rcr", false},
        {"\n", false},
        {"\\starts", true},
        {"\\", true},
        {"\\n", true},
        {"\\\\r\\", true},
        {"end\\", true},
        {" \\x\n ", false},
        {"表情😀符号", true},
        {"\\\"x\"", true},
        {"\\\\server\\share", true},
        {"价格€5", true},
        {"\xef\xb7\x90x", false},
        {"\v", false},
        {"x\x1a", false},
    };
    for (const auto& [note, asIs] : notes)
        QTest::newRow(note) << QString::fromUtf8(note) << asIs;
    QTest::newRow("NUL") << QString("a") + QChar(0) + "\\0b" << false;
    QTest::newRow("lone high surrogate") << QString::fromUtf16(u"a\xD83D") << false;
    QTest::newRow("lone low surrogate") << QString::fromUtf16(u"\xDE00\\uDE00") << false;
    QTest::newRow("reversed pair") << QString::fromUtf16(u"x\xDE00\xD83Dy") << false;
    QTest::newRow("pair after a lone one") << QString::fromUtf16(u"\xD83D\xD83D\xDE00\r\n") << false;
}

void SettingsStoreTest::awkwardNotes_survivesARestart() {
    QFETCH(QString, note);
    QFETCH(bool, storedAsIs);
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    QVERIFY(writeAll(file, defaultSettingsBytes()));
    {
        SettingsStore store(file);
        QVERIFY2(store.setValue("Main", "3", note), qPrintable(store.lastError()));
        QVERIFY(store.lastError().isEmpty());
    }
    const SettingsStore restarted(file);
    QCOMPARE(restarted.value("Main", "3"), note);
    QCOMPARE(restarted.value("Main", "1"), kSlot1);

    const QList<QByteArray> before = defaultSettingsBytes().split('\n');
    const QList<QByteArray> after = readAll(file).split('\n');
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        if (before[i] != "3=\r")
            QCOMPARE(after[i], before[i]);
        else if (storedAsIs)
            QCOMPARE(after[i], "3=" + encodeText(note) + '\r');
    }
}

void SettingsStoreTest::filesWithAByteOrderMark_stayInTheirEncoding_data() {
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("mark");
    QTest::newRow("UTF-8") << int(QStringConverter::Utf8) << QByteArray("\xef\xbb\xbf");
    QTest::newRow("UTF-16LE") << int(QStringConverter::Utf16LE) << QByteArray("\xff\xfe");
    QTest::newRow("UTF-16BE") << int(QStringConverter::Utf16BE) << QByteArray("\xfe\xff");
}

void SettingsStoreTest::filesWithAByteOrderMark_stayInTheirEncoding() {
    QFETCH(int, encoding);
    QFETCH(QByteArray, mark);
    const auto enc = QStringConverter::Encoding(encoding);
    QStringEncoder encoder(enc, QStringConverter::Flag::WriteBom);
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    const QString longNote = QString("懂你的").repeated(200); // longer in UTF-8 than in UTF-16
    const QString text = "[Main]\r\nS=0\r\n1=" + longNote + "\r\n\r\n[1]\r\nD=\r\n";
    QVERIFY(writeAll(file, encoder(text)));

    SettingsStore store(file);
    QCOMPARE(store.value("Main", "1"), longNote);
    QVERIFY(store.setValue("Main", "S", "😀 新"));
    QVERIFY(store.setValue("1", "T", "8:30:00"));
    QVERIFY(store.setValue("1", "D", QString::fromUtf16(u"\xDC00")));

    const QByteArray bytes = readAll(file);
    QStringDecoder decoder(enc);
    QVERIFY(bytes.startsWith(mark));
    QCOMPARE(QString(decoder(bytes)),
             "[Main]\r\nS=😀 新\r\n1=" + longNote + "\r\n\r\n[1]\r\nD=\uFDD0\\uDC00\r\nT=8:30:00\r\n");
    QCOMPARE(SettingsStore(file).value("Main", "S"), QString("😀 新"));
    QCOMPARE(SettingsStore(file).value("1", "D"), QString::fromUtf16(u"\xDC00"));
}

// Values as a program using the Windows functions stores them read back as it reads them.
void SettingsStoreTest::windowsValues_readAsTheyAre_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("text");
    QTest::newRow("path") << QByteArray("\\temp") << QStringLiteral("\\temp");
    QTest::newRow("share") << QByteArray("\\\\server\\share") << QStringLiteral("\\\\server\\share");
    QTest::newRow("escape-like") << QByteArray("\\dir\\new") << QStringLiteral("\\dir\\new");
    QTest::newRow("backslash") << QByteArray("\\") << QStringLiteral("\\");
    QTest::newRow("quoted blanks") << QByteArray("\"  x  \"") << QStringLiteral("  x  ");
    QTest::newRow("euro") << QByteArray("\x80 5") << QStringLiteral("€ 5");
    QTest::newRow("GBK") << kSlot1Gbk << kSlot1;
}

void SettingsStoreTest::windowsValues_readAsTheyAre() {
    QFETCH(QByteArray, stored);
    QFETCH(QString, text);
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    QVERIFY(writeAll(file, "[Main]\r\n1=" + stored + "\r\n"));
    SettingsStore store(file);
    QCOMPARE(store.value("Main", "1"), text);
    if (!stored.startsWith('"')) { // written back as the same bytes
        QVERIFY(store.setValue("Main", "1", text));
        QCOMPARE(readAll(file), "[Main]\r\n1=" + stored + "\r\n");
    }
}

void SettingsStoreTest::utf16File_keepsEveryOtherByte() {
    QStringEncoder le(QStringConverter::Utf16LE);
    const QByteArray head = "\xff\xfe" + QByteArray(le(u"[Main]\r\n;")) + "\x00\xd8"; // a lone surrogate
    const QByteArray body = le(u"\r\n1=a\r\n");
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    QVERIFY(writeAll(file, head + body + "Z")); // and an odd last byte
    SettingsStore store(file);
    QCOMPARE(store.value("Main", "1"), QStringLiteral("a"));
    QVERIFY(store.setValue("Main", "2", QStringLiteral("二")));
    QCOMPARE(readAll(file), head + body + QByteArray(le(u"2=二\r\n")) + "Z");
    QVERIFY(store.setValue("Main", "1", QStringLiteral("b")));
    QCOMPARE(readAll(file), head + QByteArray(le(u"\r\n1=b\r\n2=二\r\n")) + "Z");
}

void SettingsStoreTest::failedWrite_isReportedAndLeavesTheFile() {
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    QVERIFY(writeAll(file, defaultSettingsBytes()));
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));
    SettingsStore store(file);
    QVERIFY(!store.setValue("Main", "3", "new"));
    QVERIFY2(store.lastError().contains("无法保存设置文件 " + QDir::toNativeSeparators(file)),
             qPrintable(store.lastError()));
    QCOMPARE(readAll(file), defaultSettingsBytes());

    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(store.setValue("Main", "3", "new"));
    QVERIFY(store.lastError().isEmpty());
    QCOMPARE(store.value("Main", "3"), QString("new"));
}

void SettingsStoreTest::codec_writesGbkAndKeepsOtherCharacters() {
    QCOMPARE(encodeText(kSlot1), kSlot1Gbk);
    QCOMPARE(decodeText(kSlot1Gbk), kSlot1);
    const QString emoji = QStringLiteral("便签😀");
    QCOMPARE(encodeText(emoji).size(), 8); // two GBK characters and one four-byte sequence
    QCOMPARE(decodeText(encodeText(emoji)), emoji);
    // The euro sign is code page 936's 0x80; GB18030's A2 E3 still reads as it.
    const QString euro = QStringLiteral("€价€😀€");
    QCOMPARE(encodeText(euro), QByteArray("\x80\xbc\xdb\x80\x94"
                                          "9"
                                          "\xfc"
                                          "6"
                                          "\x80"));
    QCOMPARE(decodeText(encodeText(euro)), euro);
    QCOMPARE(decodeText("\xa2\xe3"), QStringLiteral("€"));
    QCOMPARE(decodeText("\x81\x80").size(), 1); // 0x80 as a second byte is part of a pair
    QVERIFY(!decodeText("\x81\x80").contains(QChar(0x20AC)));
}

void SettingsStoreTest::numbers_countAnythingButAnIntegerInRangeAsZero_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("int32");
    QTest::addColumn<int>("int16");
    QTest::newRow("zero") << "0" << 0 << 0;
    QTest::newRow("negative") << "-3705" << -3705 << -3705;
    QTest::newRow("int16 limits") << "32767" << 32767 << 32767;
    QTest::newRow("beyond int16") << "-32769" << -32769 << 0;
    QTest::newRow("int32 limit") << "-2147483648" << int(INT32_MIN) << 0;
    QTest::newRow("beyond int32") << "2147483648" << 0 << 0;
    QTest::newRow("empty") << "" << 0 << 0;
    QTest::newRow("decimal") << "2.0" << 0 << 0;
    QTest::newRow("trailing text") << "12px" << 0 << 0;
    QTest::newRow("hex") << "0x10" << 0 << 0;
}

void SettingsStoreTest::numbers_countAnythingButAnIntegerInRangeAsZero() {
    QFETCH(QString, text);
    QFETCH(int, int32);
    QFETCH(int, int16);
    QCOMPARE(toInt32(text), int32);
    QCOMPARE(int(toInt16(text)), int16);
}

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "tst_settingsstore.moc"
