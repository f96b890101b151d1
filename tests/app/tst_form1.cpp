#include "tests/app/BoardFixture.h"

#include "widgets/Colors.h"
#include "widgets/LabelButton.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {
QByteArray settingsWith(const QByteArray& x, const QByteArray& y, const QByteArray& out = "0",
                        const QByteArray& color = "1") {
    QByteArray s = defaultSettingsBytes();
    s.replace("X=0\r\n", "X=" + x + "\r\n");
    s.replace("Y=0\r\n", "Y=" + y + "\r\n");
    s.replace("Out=0\r\n", "Out=" + out + "\r\n");
    s.replace("Color=1\r\n", "Color=" + color + "\r\n");
    return s;
}
} // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void startUp_placesTheWindow_data() {
        QTest::addColumn<QByteArray>("x");
        QTest::addColumn<QByteArray>("y");
        QTest::addColumn<QPoint>("pos");
        // Screen 1280 x 800 px = 19200 x 12000 twips; window 3705 x 4800 twips.
        QTest::newRow("centred") << QByteArray("0") << QByteArray("0") << QPoint(516, 240);
        QTest::newRow("X 0 ignores Y") << QByteArray("0") << QByteArray("700") << QPoint(516, 240);
        QTest::newRow("negative Y: top right") << QByteArray("500") << QByteArray("-1") << QPoint(1033, 0);
        QTest::newRow("negative X: top right") << QByteArray("-3645") << QByteArray("300") << QPoint(1033, 0);
        QTest::newRow("stored") << QByteArray("1500") << QByteArray("750") << QPoint(100, 50);
        QTest::newRow("hidden at the right edge") << QByteArray("19140") << QByteArray("750") << QPoint(1276, 50);
        QTest::newRow("beyond the screen: centred") << QByteArray("30000") << QByteArray("30000") << QPoint(516, 240);
        QTest::newRow("largest values: centred")
            << QByteArray("2147483647") << QByteArray("2147483647") << QPoint(516, 240);
        QTest::newRow("not numbers count as 0") << QByteArray("abc") << QByteArray("") << QPoint(516, 240);
    }
    void startUp_placesTheWindow() {
        QFETCH(QByteArray, x);
        QFETCH(QByteArray, y);
        QFETCH(QPoint, pos);
        BoardFixture f(settingsWith(x, y));
        QCOMPARE(f.start().pos(), pos);
    }

    void startUp_showsTheStoredNotesAndFrames() {
        QByteArray s = settingsWith("0", "0", "1");
        s.replace("3=\r\n", "3=\xc4\xe3\xba\xc3 = [x]\r\n"); // 你好 = [x]
        BoardFixture f(s);
        Form1& form = f.start();
        QCOMPARE(form.Label2[0]->text(), QStringLiteral("Jotlark，懂你的Jotlark！"));
        QCOMPARE(form.Label2[1]->text(), QString());
        QCOMPARE(form.Label2[2]->text(), QStringLiteral("你好 = [x]"));
        for (auto* label : form.Label2)
            QCOMPARE(label->frameShape(), QFrame::NoFrame);
        QCOMPARE(form.C1, QStringLiteral("1"));
    }

    void startUp_keepsFramesWhenOutIsNotOne() {
        BoardFixture f(settingsWith("0", "0", "x"));
        for (auto* label : f.start().Label2)
            QCOMPARE(label->frameShape(), QFrame::Box);
    }

    void theme_paintsOnceFromC1AndRetriesInvalidNumbers() {
        BoardFixture f(settingsWith("0", "0", "0", "2.0"));
        Form1& form = f.start();
        QTRY_VERIFY(!form.CC.isActive());
        QCOMPARE(background(form.Label1), Bgr(0xFFFF80));
        QCOMPARE(background(&form), Bgr(0xFFFFC0));
        QCOMPARE(foreground(form.Label1), Bgr(0x000000));

        BoardFixture g(settingsWith("0", "0", "0", "2.5"));
        Form1& other = g.start();
        other.paintTheme();
        QVERIFY(other.CC.isActive());
        QCOMPARE(background(other.Label1), Bgr(0x0080FF));
        other.C1 = "4";
        other.paintTheme();
        QVERIFY(!other.CC.isActive());
        QCOMPARE(background(other.Text1), Bgr(0xC0FFC0));
    }

    void placeholder_clearedByAClickAndRestoredWhenEmpty() {
        BoardFixture f;
        Form1& form = f.start();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.Text1->toPlainText(), Form1::kPlaceholder);
        QTRY_VERIFY(form.Command1->hasFocus());

        QTest::mouseClick(form.Text1->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(form.Text1->toPlainText(), QString());
        QVERIFY(form.Text1->hasFocus());

        QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(240, 300)); // background
        QCOMPARE(form.Text1->toPlainText(), Form1::kPlaceholder);
        QCOMPARE(foreground(form.Text1), Bgr(0x808080));
        QVERIFY(!form.Text1->hasFocus());

        form.ClearPlaceholder();
        emit form.Label8[3]->pointerMoved();
        QCOMPARE(form.Text1->toPlainText(), Form1::kPlaceholder);
        form.ClearPlaceholder();
        form.Text1->setPlainText("draft");
        emit form.Label2[3]->pointerMoved();
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("draft"));
    }

    void placeholder_typedByTheUserCountsAsPlaceholder() {
        BoardFixture f;
        Form1& form = f.start();
        form.ClearPlaceholder();
        form.Text1->setPlainText(Form1::kPlaceholder);
        QVERIFY(form.noteBoxEmpty());
        form.ClearPlaceholder();
        QCOMPARE(form.Text1->toPlainText(), QString());
    }

    void close_writesThePosition() {
        BoardFixture f;
        Form1& form = f.start();
        form.move(100, -20);
        form.close();
        QCOMPARE(f.store.GetIniValue("Main", "X"), QStringLiteral("1500"));
        QCOMPARE(f.store.GetIniValue("Main", "Y"), QStringLiteral("-300"));
        // Every other line is left as it was.
        QByteArray expected = defaultSettingsBytes();
        expected.replace("X=0\r\nY=0\r\n", "X=1500\r\nY=-300\r\n");
        QCOMPARE(f.bytes(), expected);
    }
};

QTEST_MAIN(Form1Test)
#include "tst_form1.moc"
