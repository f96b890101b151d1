#include "tests/app/BoardFixture.h"

#include "app/Menu.h"
#include "widgets/Colors.h"
#include "widgets/LabelButton.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
const QString kStored = QStringLiteral("保存成功!");

void typeNote(Form1& form, const QString& text) {
    form.ClearPlaceholder();
    form.Text1->setPlainText(text);
}

QString storeQuestion(int n, const QString& old, const QString& now) {
    return QStringLiteral("确认要记录到第 %1 个档案吗？\r\n原始内容：%2\r\n现有内容：%3").arg(n).arg(old, now);
}
} // namespace

class NoteSlotsTest : public QObject {
    Q_OBJECT
private slots:
    void storing_refusesAnEmptyOrPlaceholderNoteBox() {
        BoardFixture f;
        Form1& form = f.start();
        const QByteArray before = f.bytes();
        form.StoreNote(2); // placeholder showing
        typeNote(form, QString());
        form.StoreNote(2);
        const ShownBox refused{QStringLiteral("请输入您要记录的内容！"), QStringLiteral("温馨提示"), Box::Information};
        QCOMPARE(f.boxes.shown, (QList<ShownBox>{refused, refused}));
        QCOMPARE(f.bytes(), before);
    }

    void storing_answeredNoChangesNothing() {
        BoardFixture f;
        Form1& form = f.start();
        const QByteArray before = f.bytes();
        typeNote(form, "buy milk");
        f.boxes.answerNext(Box::No);
        form.StoreNote(1);
        QCOMPARE(f.boxes.shown.size(), 1);
        QCOMPARE(f.boxes.shown[0].text, storeQuestion(1, QStringLiteral("Jotlark，懂你的Jotlark！"), "buy milk"));
        QCOMPARE(f.boxes.shown[0].title, QStringLiteral("保存确认"));
        QCOMPARE(f.bytes(), before);
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("buy milk"));
        QCOMPARE(form.Label2[0]->text(), QStringLiteral("Jotlark，懂你的Jotlark！"));
    }

    void storing_yesWritesTheKeyAndRestoresThePlaceholder() {
        BoardFixture f;
        Form1& form = f.start();
        typeNote(form, "buy milk");
        f.boxes.answerNext(Box::Yes);
        form.StoreNote(4);
        QCOMPARE(f.boxes.shown.size(), 2);
        // An empty slot still shows the line for the old text.
        QCOMPARE(f.boxes.shown[0].text, storeQuestion(4, QString(), "buy milk"));
        QCOMPARE(f.boxes.shown[1], (ShownBox{kStored, QStringLiteral("提示"), Box::Information}));
        QByteArray expected = defaultSettingsBytes();
        expected.replace("4=\r\n", "4=buy milk\r\n");
        QCOMPARE(f.bytes(), expected);
        QCOMPARE(form.Label2[3]->text(), QStringLiteral("buy milk"));
        QCOMPARE(form.Text1->toPlainText(), Form1::kPlaceholder);
        QCOMPARE(foreground(form.Text1), Bgr(0x808080));
    }

    void storing_thatCannotBeWrittenIsNeverReportedAsSaved() {
        BoardFixture f;
        Form1& form = f.start();
        QFile(f.file).setPermissions(QFile::ReadOwner | QFile::ReadGroup);
        typeNote(form, "important");
        f.boxes.answerNext(Box::Yes);
        form.StoreNote(2);
        QCOMPARE(f.boxes.shown.size(), 2);
        QCOMPARE(f.boxes.shown[1].style, Box::Error);
        QVERIFY(f.boxes.shown[1].text.startsWith(QStringLiteral("保存失败！")));
        QCOMPARE(form.Label2[1]->text(), QString());
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("important")); // the typed note is kept
        QFile(f.file).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }

    void selecting_rightClickOnAFullSlotOpensTheMenu() {
        BoardFixture f;
        Form1& form = f.start();
        bool opened = false;
        onNextModal([&](QWidget* modal) {
            opened = qobject_cast<Menu*>(modal) != nullptr;
            QCOMPARE(modal->pos(), QPoint(321, 123));
            static_cast<Menu*>(modal)->choose(Menu::Cancel);
        });
        form.SelectSlot(1, Qt::RightButton, QPoint(321, 123));
        QVERIFY(opened);
        QCOMPARE(form.XH, QStringLiteral("1"));
        QCOMPARE(form.Label9, QStringLiteral("321"));
        QCOMPARE(form.Label10, QStringLiteral("123"));
        QVERIFY(f.boxes.shown.isEmpty());
    }

    void selecting_emptySlotOrLeftButtonDoesNothing() {
        BoardFixture f;
        Form1& form = f.start();
        form.SelectSlot(2, Qt::RightButton, QPoint(1, 1)); // empty slot
        form.SelectSlot(1, Qt::LeftButton, QPoint(1, 1));
        QCOMPARE(form.XH, QStringLiteral("XH"));
        QCOMPARE(form.Label9, QStringLiteral("X"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void deleting_yesEmptiesTheSlot() {
        BoardFixture f;
        Form1& form = f.start();
        f.boxes.answerNext(Box::Yes);
        onNextModal([&](QWidget* modal) { static_cast<Menu*>(modal)->choose(Menu::Delete); });
        form.SelectSlot(1, Qt::RightButton, QPoint(5, 5));
        QCOMPARE(f.boxes.shown.size(), 2);
        QCOMPARE(f.boxes.shown[0],
                 (ShownBox{QStringLiteral("确认要删除第 1 个档案吗？\r\n内容：Jotlark，懂你的Jotlark！"),
                           QStringLiteral("删除确认"), Box::YesNo}));
        QCOMPARE(f.boxes.shown[1], (ShownBox{QStringLiteral("删除成功!"), QStringLiteral("提示"), Box::Information}));
        QCOMPARE(form.Label2[0]->text(), QString());
        QByteArray expected = defaultSettingsBytes();
        expected.replace(QByteArray("1=Jotlark\xa3\xac\xb6\xae\xc4\xe3\xb5\xc4Jotlark\xa3\xa1\r\n"), "1=\r\n");
        QCOMPARE(f.bytes(), expected); // the key stays, empty
    }

    void deleting_stopsTheRemindersTimerButKeepsTheReminder() {
        QByteArray s = defaultSettingsBytes();
        s.replace("[2]\r\nD=\r\nT=\r\n", "[2]\r\nD=2026/12/8\r\nT=9:30:00\r\n");
        s.replace("2=\r\n", "2=dentist\r\n");
        BoardFixture f(s);
        Form1& form = f.start();
        QVERIFY(form.reminders().isArmed(2));
        f.boxes.answerNext(Box::Yes);
        onNextModal([&](QWidget* modal) { static_cast<Menu*>(modal)->choose(Menu::Delete); });
        form.SelectSlot(2, Qt::RightButton, QPoint(5, 5));
        QVERIFY(!form.reminders().isArmed(2));
        QCOMPARE(form.reminders().D1(2), QStringLiteral("2026/12/8 9:30:00"));
        QCOMPARE(f.store.GetIniValue("2", "D"), QStringLiteral("2026/12/8"));
    }

    void deleting_noClosesTheMenuWithoutAMessage() {
        BoardFixture f;
        Form1& form = f.start();
        const QByteArray before = f.bytes();
        f.boxes.answerNext(Box::No);
        onNextModal([&](QWidget* modal) { static_cast<Menu*>(modal)->choose(Menu::Delete); });
        form.SelectSlot(1, Qt::RightButton, QPoint(5, 5));
        QCOMPARE(f.boxes.shown.size(), 1);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(f.bytes(), before);
    }

    void modifying_thenStoringElsewhereLeavesTheFirstSlot() {
        BoardFixture f;
        Form1& form = f.start();
        form.show();
        onNextModal([&](QWidget* modal) { static_cast<Menu*>(modal)->choose(Menu::Modify); });
        form.SelectSlot(1, Qt::RightButton, QPoint(5, 5));
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("Jotlark，懂你的Jotlark！"));
        QCOMPARE(foreground(form.Text1), toBgr(QApplication::palette().color(QPalette::WindowText)));
        form.Text1->setPlainText(form.Text1->toPlainText() + "!");
        f.boxes.answerNext(Box::Yes);
        form.StoreNote(5);
        QCOMPARE(f.boxes.shown[0].text, storeQuestion(5, QString(), QStringLiteral("Jotlark，懂你的Jotlark！!")));
        QCOMPARE(form.Label2[0]->text(), QStringLiteral("Jotlark，懂你的Jotlark！"));
        QCOMPARE(form.Label2[4]->text(), QStringLiteral("Jotlark，懂你的Jotlark！!"));
    }

    void menu_hoverColoursFollowTheTheme() {
        BoardFixture f;
        Form1& form = f.start();
        form.C1 = "3";
        form.XH = "1";
        Menu menu(form);
        QCOMPARE(menu.size(), QSize(38, 97));
        QCOMPARE(menu.Label4()->text(), QStringLiteral("修改"));
        QCOMPARE(menu.Label3()->text(), QStringLiteral("取消"));
        for (QLabel* item : menu.group())
            QCOMPARE(background(item), Bgr(0xFF80FF));
        emit menu.Label2()->pointerMoved();
        QCOMPARE(background(menu.Label2()), Bgr(0xFFFFFF));
        QCOMPARE(background(menu.Label1()), Bgr(0xFF80FF));
        emit menu.Label3()->pointerMoved();
        QCOMPARE(background(menu.Label3()), Bgr(0xFFFFFF));
        QCOMPARE(background(menu.Label2()), Bgr(0xFF80FF));

        form.C1 = "7";
        emit menu.Label4()->pointerMoved();
        QCOMPARE(background(menu.Label4()), Bgr(0xFF80FF));
        QCOMPARE(background(menu.Label3()), Bgr(0xFFFFFF));
    }

    void awkwardNotes_roundTripThroughTheFileAndARestart_data() {
        QTest::addColumn<QString>("note");
        QTest::newRow("equals and brackets") << QStringLiteral("a=b [Main] ;c");
        QTest::newRow("quotes") << QStringLiteral("\"quoted\"");
        QTest::newRow("single quotes") << QStringLiteral("'x'");
        QTest::newRow("spaces") << QStringLiteral("  padded\t ");
        QTest::newRow("line breaks") << QStringLiteral("line 1\nline 2\n\nline 4");
        QTest::newRow("backslashes") << QStringLiteral("\\n is not a break, C:\\temp\\");
        QTest::newRow("emoji and rare han") << QStringLiteral("开会 🎉 𠀀");
        QTest::newRow("section look-alike") << QStringLiteral("[1]");
    }
    void awkwardNotes_roundTripThroughTheFileAndARestart() {
        QFETCH(QString, note);
        BoardFixture f;
        {
            Form1& form = f.start();
            typeNote(form, note);
            f.boxes.answerNext(Box::Yes);
            form.StoreNote(3);
            QCOMPARE(form.Label2[2]->text(), note);
        }
        const QByteArray after = f.bytes();
        // Only the line of key 3 changed.
        QByteArray rest = after;
        const int start = int(rest.indexOf("\r\n3=")) + 2;
        rest.remove(start, rest.indexOf("\r\n", start) - start);
        QByteArray expectedRest = defaultSettingsBytes();
        expectedRest.replace("\r\n3=\r\n", "\r\n\r\n");
        QCOMPARE(rest, expectedRest);

        f.form.reset();
        Form1& restarted = f.start();
        QCOMPARE(restarted.Label2[2]->text(), note);
        QCOMPARE(restarted.Label2[3]->text(), QString());
    }
};

QTEST_MAIN(NoteSlotsTest)
#include "tst_noteslots.moc"
