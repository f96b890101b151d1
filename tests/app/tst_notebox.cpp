// The note box's paste, and notes too long to show whole.
#include "tests/app/BoardFixture.h"

#include "app/Menu.h"
#include "widgets/LabelButton.h"
#include "widgets/NoteText.h"

#include <QClipboard>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>

namespace {
QMimeData* mime(const QString& format, const QByteArray& data) {
    auto* m = new QMimeData;
    if (!format.isEmpty())
        m->setData(format, data);
    return m;
}
} // namespace

class NoteBoxTest : public QObject {
    Q_OBJECT
private slots:
    void paste_takesPlainTextOnlyAndNeverCrashes_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("after");
        QTest::newRow("empty clipboard") << QString() << QByteArray() << "ab";
        QTest::newRow("empty text") << "text/plain" << QByteArray() << "ab";
        QTest::newRow("html only") << "text/html" << QByteArray("<b>x</b>") << "ab";
        QTest::newRow("image only") << "image/png" << QByteArray("\x89PNG") << "ab";
        QTest::newRow("plain text") << "text/plain" << QByteArray("x\ny") << "ax\nyx\nyb"; // pasted twice
    }
    void paste_takesPlainTextOnlyAndNeverCrashes() {
        QFETCH(QString, format);
        QFETCH(QByteArray, data);
        QFETCH(QString, after);
        BoardFixture f;
        Form1& form = f.start();
        form.ClearPlaceholder();
        form.Text1->setPlainText("ab");
        form.Text1->moveCursor(QTextCursor::Start);
        form.Text1->moveCursor(QTextCursor::NextCharacter);
        QGuiApplication::clipboard()->setMimeData(mime(format, data));
        form.Text1->paste();
        QTest::keyClick(form.Text1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(form.Text1->toPlainText(), after);
        QVERIFY(f.boxes.shown.isEmpty());
    }

    void pasteOverTheLimit_isRefusedWholeAndTheNoteKept() {
        BoardFixture f;
        Form1& form = f.start();
        form.ClearPlaceholder();
        form.Text1->setPlainText("typed");
        form.Text1->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(QString(MaxNoteLength - 4, u'x'));
        form.Text1->paste();
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("typed"));
        QCOMPARE(f.boxes.shown.size(), 1);
        QCOMPARE(f.boxes.shown[0].text, noteTooLongMessage(MaxNoteLength + 1));
        form.Text1->selectAll(); // replacing the selection fits
        form.Text1->paste();
        QCOMPARE(form.Text1->toPlainText().size(), MaxNoteLength - 4);
    }

    void shortening_cutsLongLinesAndManyLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short stays") << "a\r\nb\nc"
                                     << "a\r\nb\nc";
        QTest::newRow("long line") << "abcdefgh"
                                   << "abcd…";
        QTest::newRow("many lines") << "1\n2\r\n3\r4\n"
                                    << "1\n2\r\n3\r…";
        QTest::newRow("pair kept whole") << QStringLiteral("abc\U0001F600xyz") << "abc…";
    }
    void shortening_cutsLongLinesAndManyLines() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(shortenForDisplay(text, 3, 5), shown);
    }

    // A megabyte note is stored and kept whole, and shown shortened in the slot,
    // the store and delete questions and the alarm; a longer one is refused.
    void megabyteNote_isStoredWholeAndShownShort() {
        BoardFixture f;
        Form1& form = f.start();
        const QString note = QString(MaxNoteLength / 2, u'记') + u'\n' + QString(MaxNoteLength / 2 - 1, u'a');
        form.ClearPlaceholder();
        form.Text1->setPlainText(note + u'!');
        form.StoreNote(2);
        QCOMPARE(f.boxes.shown.size(), 1);
        QCOMPARE(f.boxes.shown[0].text, noteTooLongMessage(MaxNoteLength + 1));
        QCOMPARE(form.Text1->toPlainText(), note + u'!');

        form.Text1->setPlainText(note);
        f.boxes.answerNext(Box::Yes);
        form.StoreNote(2);
        QCOMPARE(f.boxes.shown.last().text, QStringLiteral("保存成功!"));
        QCOMPARE(SettingsStore(f.file).value("Main", "2"), note);
        QCOMPARE(form.slotText(2), note);
        QCOMPARE(form.Label2[1]->text(), shortNote(note));
        QVERIFY(f.boxes.shown[1].text.size() < 300);

        form.reminders().assignArmedText(2, "2026/12/7 9:00:01");
        f.clock.set(QDateTime(QDate(2026, 12, 7), QTime(9, 0, 1)));
        form.reminders().slotTick();
        QVERIFY(f.boxes.shown.last().text.startsWith(QStringLiteral("提醒内容：") + shortNote(note)));

        form.XH = "2";
        onNextModal([&](QWidget* modal) {
            f.boxes.answerNext(Box::No);
            form.DeleteNote(*static_cast<Menu*>(modal));
        });
        Menu menu(form);
        menu.exec();
        QCOMPARE(f.boxes.shown.last().text, QStringLiteral("确认要删除第 2 个档案吗？\r\n内容：") + shortNote(note));
    }
};

QTEST_MAIN(NoteBoxTest)
#include "tst_notebox.moc"
