// The program started the way main starts it (help page, then the board) on
// settings files that are damaged, odd or out of reach.
#include "app/Form1.h"
#include "app/Help.h"
#include "store/AppPaths.h"
#include "store/SettingsStore.h"
#include "store/TextCodec.h"
#include "tests/support/FakeAutostart.h"
#include "tests/support/FakeServices.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TestSupport.h"
#include "widgets/LabelButton.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTest>

#include <memory>

namespace {
const QString kSaved = QStringLiteral("保存成功!");
const QPoint kCentred(516, 240); // the board centred on the 1280 x 800 screen

struct Started {
    TempFolder folder;
    AppPaths paths = pathsInFolder(folder.path(""));
    SettingsStore store{paths.settingsFile};
    ScriptedMessageBoxes boxes;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0))};
    FakePlayer player;
    FakeAutostart autostart;
    std::unique_ptr<Help> help;
    std::unique_ptr<Form1> board;
    Help::LoadResult result = Help::LoadResult::FirstRunFailed;

    Services services() {
        return Services{store, boxes, clock, player, paths.soundFile, [](int) {}, autostart};
    }

    // First run and the help page, then the board, as main does it (a page that
    // stays up is entered at once).
    Form1* start() {
        help = std::make_unique<Help>(services(), paths, [this] { showBoard(); });
        result = help->load();
        if (result != Help::LoadResult::FirstRunFailed)
            showBoard();
        return board.get();
    }
    void showBoard() {
        board = std::make_unique<Form1>(services());
        board->load();
        board->show();
    }

    // Types a note and stores it in slot n, answering Yes.
    void storeNote(int n, const QString& text) {
        board->ClearPlaceholder();
        board->Text1->setPlainText(text);
        boxes.answerNext(Box::Yes);
        board->StoreNote(n);
    }
    QByteArray bytes() const { return readAll(paths.settingsFile); }
    QStringList slotTexts() const {
        QStringList texts;
        for (int n = 1; n <= Form1::kSlots; ++n)
            texts << board->slotText(n);
        return texts;
    }
};

// One failed store: the confirmation, then one error naming the file, never the success message.
void verifyOneClearFailure(const Started& s, const QString& reason) {
    QCOMPARE(s.boxes.shown.size(), 2);
    const ShownBox& error = s.boxes.shown[1];
    QCOMPARE(error.style, Box::Error);
    QCOMPARE(error.title, QStringLiteral("提示"));
    QVERIFY2(error.text.startsWith(QStringLiteral("保存失败！")), qPrintable(error.text));
    QVERIFY2(error.text.contains(QDir::toNativeSeparators(s.paths.settingsFile)), qPrintable(error.text));
    QVERIFY2(error.text.contains(reason), qPrintable(error.text));
    for (const ShownBox& box : s.boxes.shown)
        QVERIFY(box.text != kSaved);
}

void verifySaved(const Started& s) {
    QVERIFY(!s.boxes.shown.isEmpty());
    QCOMPARE(s.boxes.shown.back().text, kSaved);
}

QByteArray gbk(const QString& text) {
    return encodeText(text);
}
} // namespace

class BadSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void binaryGarbage_startsWithDefaultsAndKeepsTheNotesItHolds() {
        Started s;
        QRandomGenerator rng(2024);
        QByteArray garbage(64 * 1024, '\0');
        for (char& c : garbage)
            c = char(rng.bounded(256));
        garbage[0] = 'x'; // no byte-order mark by chance
        garbage.insert(30000, "\r\n[Main]\r\n1=" + gbk(QStringLiteral("垃圾中的便签")) + "\r\n");
        QVERIFY(writeAll(s.paths.settingsFile, garbage));

        QVERIFY(s.start());
        QCOMPARE(s.result, Help::LoadResult::Show);
        QCOMPARE(s.board->pos(), kCentred);
        QCOMPARE(s.board->slotText(1), QStringLiteral("垃圾中的便签"));
        QVERIFY(s.boxes.shown.isEmpty());

        s.storeNote(2, QStringLiteral("新便签"));
        verifySaved(s);
        QCOMPARE(s.store.value("Main", "2"), QStringLiteral("新便签"));
        QCOMPARE(s.store.value("Main", "1"), QStringLiteral("垃圾中的便签"));
        // Only one line was added: every garbage byte is still there, in order.
        const QByteArray after = s.bytes();
        const QByteArray added = "2=" + gbk(QStringLiteral("新便签")) + "\r\n";
        QCOMPARE(after.size(), garbage.size() + added.size());
        QVERIFY(after.contains(added));
        QByteArray withoutAdded = after;
        withoutAdded.remove(after.indexOf(added), added.size());
        QCOMPARE(withoutAdded, garbage);
    }

    // Its start-up time is measured by scripts/bench; here only what it shows.
    void fiftyMegabytes_startWithTheNotesAtTheEnd() {
        Started s;
        QByteArray big;
        big.reserve(50 * 1024 * 1024 + 1024);
        big += "[Filler]\r\n";
        const QByteArray tail(100, 'f');
        for (int i = 0; big.size() < 50 * 1024 * 1024; ++i)
            big += "k" + QByteArray::number(i) + "=" + tail + "\r\n";
        big += "[Main]\r\nS=1\r\nX=1500\r\nY=750\r\n1=" + gbk(QStringLiteral("最后的便签")) + "\r\n6=six\r\n";
        QVERIFY(writeAll(s.paths.settingsFile, big));

        QVERIFY(s.start());
        QCOMPARE(s.result, Help::LoadResult::Skip);
        QCOMPARE(s.board->pos(), QPoint(100, 50));
        QCOMPARE(s.slotTexts(), QStringList({QStringLiteral("最后的便签"), "", "", "", "", "six"}));
    }

    void folderInPlaceOfTheFile_startsAndReportsEachFailedSave() {
        Started s;
        QVERIFY(QDir().mkdir(s.paths.settingsFile));
        QVERIFY(s.start());
        QCOMPARE(s.result, Help::LoadResult::Show);
        QVERIFY(s.boxes.shown.isEmpty()); // nothing to complain about until something is saved
        QCOMPARE(s.board->pos(), kCentred);
        QCOMPARE(s.slotTexts(), QStringList({"", "", "", "", "", ""}));
        QVERIFY(!QFile::exists(s.paths.soundFile)); // first run did not run

        s.storeNote(1, QStringLiteral("不能丢"));
        verifyOneClearFailure(s, QStringLiteral("文件夹"));
        QCOMPARE(s.board->Text1->toPlainText(), QStringLiteral("不能丢"));
        QCOMPARE(s.board->slotText(1), QString());
        QVERIFY(QFileInfo(s.paths.settingsFile).isDir());

        s.board->close(); // the position is not saved either, and that is said too
        QCOMPARE(s.boxes.shown.size(), 3);
        QCOMPARE(s.boxes.shown[2].style, Box::Error);
    }

    // A privileged user (root, as in many containers) reads and opens every file
    // whatever its mode bits, so what can be tested there is the write side: a
    // file without its owner-write bit is never replaced. Run as a normal user,
    // the reads fail too, and a file that cannot be read is never written over
    // (that would keep only the one key written and drop every note).
    void unreadableFile_isNeverWrittenOver() {
        SKIP_ON_WINDOWS("a Windows file cannot be made unreadable through its permission bits");
        Started s;
        QByteArray settings = defaultSettingsBytes();
        settings.replace("3=\r\n", "3=secret\r\n");
        QVERIFY(writeAll(s.paths.settingsFile, settings));
        QFile file(s.paths.settingsFile);
        QVERIFY(file.setPermissions(QFileDevice::Permissions()));
        const bool privileged = file.open(QIODevice::ReadOnly);
        file.close();

        QVERIFY(s.start());
        QCOMPARE(s.board->slotText(3), privileged ? QStringLiteral("secret") : QString());
        s.storeNote(4, "four");
        verifyOneClearFailure(s, QStringLiteral("只读"));
        QCOMPARE(s.board->Text1->toPlainText(), QStringLiteral("four"));

        // Writable but not readable (mode 0200).
        QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
        s.boxes.shown.clear();
        s.storeNote(5, "five");
        if (privileged) {
            verifySaved(s);
        } else {
            verifyOneClearFailure(s, QStringLiteral("无法读取"));
        }
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QByteArray expected = settings;
        if (privileged)
            expected.replace("5=\r\n", "5=five\r\n");
        QCOMPARE(s.bytes(), expected);
    }

    void readOnlyFile_showsTheErrorAndKeepsTheNote() {
        Started s;
        QVERIFY(writeAll(s.paths.settingsFile, defaultSettingsBytes()));
        QVERIFY(QFile(s.paths.settingsFile)
                    .setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        QVERIFY(s.start());
        QCOMPARE(s.board->slotText(1), QStringLiteral("Jotlark，懂你的Jotlark！"));

        s.storeNote(2, QStringLiteral("只读时的便签"));
        verifyOneClearFailure(s, QStringLiteral("只读"));
        QCOMPARE(s.board->Text1->toPlainText(), QStringLiteral("只读时的便签"));
        QCOMPARE(s.board->slotText(2), QString());
        QCOMPARE(s.bytes(), defaultSettingsBytes());

        s.board->close();
        QCOMPARE(s.boxes.shown.size(), 3);
        QVERIFY(s.boxes.shown[2].text.startsWith(QStringLiteral("保存失败！")));
        QCOMPARE(s.bytes(), defaultSettingsBytes());
        QFile(s.paths.settingsFile).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void byteOrderMarks_readTheNotesAndKeepTheEncoding_data() {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QByteArray>("mark");
        QTest::newRow("UTF-8") << int(QStringConverter::Utf8) << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("UTF-16 LE") << int(QStringConverter::Utf16LE) << QByteArray("\xFF\xFE");
        QTest::newRow("UTF-16 BE") << int(QStringConverter::Utf16BE) << QByteArray("\xFE\xFF");
    }
    void byteOrderMarks_readTheNotesAndKeepTheEncoding() {
        QFETCH(int, encoding);
        QFETCH(QByteArray, mark);
        const auto encoded = [&](const QString& text) {
            QStringEncoder encode(QStringConverter::Encoding(encoding), QStringConverter::Flag::Default);
            return mark + QByteArray(encode(text));
        };
        const QString text = QStringLiteral("[Main]\r\nS=1\r\n1=便签一\r\n2=second\r\n\r\n[1]\r\nD=\r\nT=\r\n");
        Started s;
        QVERIFY(writeAll(s.paths.settingsFile, encoded(text)));
        QVERIFY(s.start());
        QCOMPARE(s.result, Help::LoadResult::Skip);
        QCOMPARE(s.slotTexts(), QStringList({QStringLiteral("便签一"), "second", "", "", "", ""}));

        s.storeNote(3, QStringLiteral("新的 note"));
        verifySaved(s);
        QString expected = text;
        expected.replace(QStringLiteral("2=second\r\n"), QStringLiteral("2=second\r\n3=新的 note\r\n"));
        QCOMPARE(s.bytes(), encoded(expected));
    }

    void duplicates_theFirstCountsAndTheRestIsKept() {
        Started s;
        const QByteArray settings = "[Main]\r\nS=1\r\n1=first one\r\n1=second one\r\nS=0\r\n\r\n"
                                    "[main]\r\n2=in the second section\r\n[MAIN]\r\nX=30\r\n";
        QVERIFY(writeAll(s.paths.settingsFile, settings));
        QVERIFY(s.start());
        QCOMPARE(s.result, Help::LoadResult::Skip);
        QCOMPARE(s.board->pos(), kCentred); // X of a later section does not count
        QCOMPARE(s.slotTexts(), QStringList({"first one", "", "", "", "", ""}));

        s.storeNote(1, "changed");
        verifySaved(s);
        QByteArray expected = settings;
        expected.replace("1=first one", "1=changed");
        QCOMPARE(s.bytes(), expected);
    }

    void linesWithoutEquals_areNoValues() {
        Started s;
        const QByteArray settings = "[Main]\r\nS=1\r\nthis line has no equals sign\r\n1=kept\r\n2\r\n3=three\r\n";
        QVERIFY(writeAll(s.paths.settingsFile, settings));
        QVERIFY(s.start());
        QCOMPARE(s.slotTexts(), QStringList({"kept", "", "three", "", "", ""}));

        s.storeNote(2, "two");
        verifySaved(s);
        QByteArray expected = settings;
        expected.replace("\r\n2\r\n", "\r\n2=two\r\n");
        QCOMPARE(s.bytes(), expected);
    }

    void megabyteLines_areReadWhole() {
        Started s;
        const QByteArray longNote(1024 * 1024, 'n');
        QByteArray settings = defaultSettingsBytes();
        settings.replace("1=", QByteArray(1024 * 1024, '-') + "\r\n1=");
        settings.replace("2=\r\n", "2=" + longNote + "\r\n");
        QVERIFY(writeAll(s.paths.settingsFile, settings));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(s.start());
        QTest::qWait(0); // let the board lay out its labels once
        qInfo("start-up with two 1 MB lines: %lld ms", clock.elapsed());
        QCOMPARE(s.board->slotText(1), QStringLiteral("Jotlark，懂你的Jotlark！"));
        QCOMPARE(s.board->slotText(2).size(), longNote.size());

        s.storeNote(3, "short");
        verifySaved(s);
        QByteArray expected = settings;
        expected.replace("3=\r\n", "3=short\r\n");
        QCOMPARE(s.bytes(), expected);
    }

    void valuesThatAreNotNumbers_fallBackToDefaults_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("words") << QByteArray("yes");
        QTest::newRow("number and text") << QByteArray("12abc");
        QTest::newRow("too large") << QByteArray("99999999999");
        QTest::newRow("hexadecimal") << QByteArray("0x10");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("control bytes") << QByteArray("\x01\x02");
    }
    void valuesThatAreNotNumbers_fallBackToDefaults() {
        QFETCH(QByteArray, value);
        QByteArray settings = defaultSettingsBytes();
        for (const char* key : {"S=0", "X=0", "Y=0", "Out=0", "Color=1"})
            settings.replace(key, QByteArray(key).chopped(1) + value);
        settings.replace("3=\r\n", "3=note\r\n");
        Started s;
        QVERIFY(writeAll(s.paths.settingsFile, settings));
        QVERIFY(s.start());
        QCOMPARE(s.result, Help::LoadResult::Show);
        QCOMPARE(s.board->pos(), kCentred);
        for (int n = 1; n <= Form1::kSlots; ++n)
            QCOMPARE(s.board->Label2[n - 1]->frameShape(), QFrame::Box);
        QCOMPARE(s.slotTexts()[2], QStringLiteral("note"));
        QVERIFY(s.boxes.shown.isEmpty());
    }
};

QTEST_MAIN(BadSettingsTest)
#include "tst_badsettings.moc"
