#include "widgets/Colors.h"
#include "widgets/LabelButton.h"
#include "widgets/LabelMenu.h"

#include <QSignalSpy>
#include <QTest>

class LabelButtonsTest : public QObject {
    Q_OBJECT
private slots:
    void click_needsLeftPressAndReleaseOverTheLabel() {
        LabelButton label("x");
        label.resize(40, 20);
        QSignalSpy clicks(&label, &LabelButton::clicked);
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);
        QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(5, 5));
        QCOMPARE(clicks.count(), 1);
        QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(100, 5));
        QCOMPARE(clicks.count(), 1);
    }

    void hoverHighlight_whitensTheLabelUnderThePointer() {
        LabelButton a, b, c;
        const QList<QLabel*> group{&a, &b, &c};
        HoverHighlight(group, &b, "3");
        QCOMPARE(background(&a), Bgr(0xFF80FF));
        QCOMPARE(background(&b), Bgr(0xFFFFFF));
        QCOMPARE(background(&c), Bgr(0xFF80FF));
        HoverHighlight(group, &c, "3");
        QCOMPARE(background(&b), Bgr(0xFF80FF));
        QCOMPARE(background(&c), Bgr(0xFFFFFF));
        HoverReset(group, "2");
        for (QLabel* l : group)
            QCOMPARE(background(l), Bgr(0xFFFF80));
    }

    void hoverHighlight_changesNothingForAnInvalidTheme() {
        LabelButton a, b;
        setBackground(&a, 0x123456);
        setBackground(&b, 0x654321);
        HoverHighlight({&a, &b}, &a, "5");
        HoverHighlight({&a, &b}, &b, "Color1");
        QCOMPARE(background(&a), Bgr(0x123456));
        QCOMPARE(background(&b), Bgr(0x654321));
    }

    void labelMenu_opensAtThePointerInTheStripColour() {
        QString c1 = "4";
        LabelMenu menu(
            {"a", "b", "c", "d", "e"}, 1800, [&] { return c1; }, "300", "200");
        QCOMPARE(menu.pos(), QPoint(300, 200));
        QCOMPARE(menu.size(), QSize(38, 120));
        QCOMPARE(menu.item(4)->geometry(), QRect(0, 96, 38, 25));
        for (QLabel* l : menu.group())
            QCOMPARE(background(l), Bgr(0x80FF80));
        c1 = "1";
        emit menu.item(1)->pointerMoved();
        QCOMPARE(background(menu.item(1)), Bgr(0xFFFFFF));
        QCOMPARE(background(menu.item(0)), Bgr(0x0080FF));
    }

    void labelMenu_opensWithNothingLitUnlessFromTheKeyboard_data() {
        QTest::addColumn<bool>("fromKeyboard");
        QTest::addColumn<int>("afterDown"); // the item Down moves the focus to
        QTest::newRow("mouse") << false << 0;
        QTest::newRow("keyboard") << true << 1;
    }
    void labelMenu_opensWithNothingLitUnlessFromTheKeyboard() {
        QFETCH(bool, fromKeyboard);
        QFETCH(int, afterDown);
        LabelMenu menu(
            {"a", "b", "c"}, 1095, [] { return QString("3"); }, "40", "40");
        if (fromKeyboard)
            menu.focusFirstItem();
        menu.show();
        QVERIFY(QTest::qWaitForWindowActive(&menu));
        QCOMPARE(background(menu.item(0)), Bgr(fromKeyboard ? 0xFFFFFF : 0xFF80FF));
        QCOMPARE(menu.item(0)->showsKeyboardFocus(), fromKeyboard);
        for (int i : {1, 2}) {
            QCOMPARE(background(menu.item(i)), Bgr(0xFF80FF));
            QVERIFY(!menu.item(i)->showsKeyboardFocus());
        }
        QTest::keyClick(&menu, Qt::Key_Down);
        QVERIFY(menu.item(afterDown)->showsKeyboardFocus());
        QCOMPARE(background(menu.item(afterDown)), Bgr(0xFFFFFF));
    }

    void labelMenu_keepsDesignColourForInvalidTheme() {
        LabelMenu menu(
            {"a", "b"}, 735, [] { return QString("9"); }, "X", "Y");
        QCOMPARE(menu.pos(), QPoint(0, 0));
        QCOMPARE(background(menu.item(0)), Bgr(0x0080FF));
    }
};

QTEST_MAIN(LabelButtonsTest)
#include "tst_labelbuttons.moc"
