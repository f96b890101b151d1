#include "tests/app/BoardFixture.h"

#include "widgets/Colors.h"
#include "widgets/LabelButton.h"
#include "window/Tmenu.h"

#include <QDir>
#include <QFile>
#include <QTest>

class TitleMenuTest : public QObject {
    Q_OBJECT
private slots:
    void rightClickOnTheStrip_opensTheMenuAtThePointer() {
        BoardFixture f;
        Form1& form = f.start();
        QStringList captions;
        QPoint pos;
        onNextModal([&](QWidget* modal) {
            auto* menu = qobject_cast<Tmenu*>(modal);
            QVERIFY(menu);
            for (QLabel* item : menu->group())
                captions << item->text();
            pos = menu->pos();
            menu->choose(Tmenu::Cancel);
        });
        form.titlePressed(Qt::RightButton, QPoint(700, 20));
        QCOMPARE(captions, (QStringList{"移动", "设置", "关于", "退出", "取消"}));
        QCOMPARE(pos, QPoint(700, 20));
        QCOMPARE(form.Label9, QStringLiteral("700"));
        QCOMPARE(form.Label10, QStringLiteral("20"));
        QVERIFY(f.boxes.shown.isEmpty());
    }

    void move_closesAndExplainsDragging() {
        BoardFixture f;
        Form1& form = f.start();
        Tmenu menu(form, form.services().boxes, &form);
        menu.show();
        menu.choose(Tmenu::Move);
        QVERIFY(!menu.isVisible());
        QCOMPARE(f.boxes.shown, (QList<ShownBox>{{QStringLiteral("左键拖动标题栏即可移动窗口!"), QStringLiteral("提示"),
                                                  Box::Information}}));
    }

    void about_showsSixLinesAndStaysOpen() {
        BoardFixture f;
        Form1& form = f.start();
        form.C1 = "3";
        Tmenu menu(form, form.services().boxes, &form);
        menu.show();
        emit menu.Label5()->pointerMoved();
        menu.choose(Tmenu::About);
        QVERIFY(menu.isVisible());
        QCOMPARE(background(menu.Label5()), Bgr(0xFFFFFF));
        QCOMPARE(background(menu.Label1()), Bgr(0xFF80FF));
        QCOMPARE(f.boxes.shown.size(), 1);
        const QStringList lines = f.boxes.shown[0].text.split("\r\n");
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0], QStringLiteral("软件名称：Jotlark"));
        QCOMPARE(lines[1], QStringLiteral("软件作者：Jotlark 开发组"));
        QCOMPARE(lines[4], QString());
        QCOMPARE(lines[5], QStringLiteral("衷心感谢您的使用！"));
        QCOMPARE(f.boxes.shown[0].title, QStringLiteral("温馨提示"));
    }

    void exit_yesStoresTheHiddenPositionAndEndsAtOnce() {
        BoardFixture f;
        Form1& form = f.start();
        form.show();
        form.move(-243, 40); // hidden at the left edge
        Tmenu menu(form, form.services().boxes, &form);
        f.boxes.answerNext(Box::Yes);
        menu.choose(Tmenu::Exit);
        QCOMPARE(f.boxes.shown[0],
                 (ShownBox{QStringLiteral("您确定要退出吗？"), QStringLiteral("退出确认"), Box::YesNo}));
        QCOMPARE(f.endedWith, QList<int>{0});
        QCOMPARE(f.store.GetIniValue("Main", "X"), QStringLiteral("-3645"));
        QCOMPARE(f.store.GetIniValue("Main", "Y"), QStringLiteral("600"));
        QVERIFY(form.isVisible()); // no close handling ran
    }

    void positionThatCannotBeStored_onExitOrClose_isReported_data() {
        QTest::addColumn<bool>("viaMenu");
        QTest::newRow("exit") << true;
        QTest::newRow("window closed") << false;
    }
    void positionThatCannotBeStored_onExitOrClose_isReported() {
        QFETCH(bool, viaMenu);
        BoardFixture f;
        Form1& form = f.start();
        form.show();
        QVERIFY(QFile(f.file).setPermissions(QFile::ReadOwner));
        if (viaMenu) {
            Tmenu menu(form, form.services().boxes, &form);
            f.boxes.answerNext(Box::Yes);
            menu.choose(Tmenu::Exit);
            QCOMPARE(f.endedWith, QList<int>{0}); // ends all the same
        } else {
            form.close();
        }
        QCOMPARE(f.boxes.shown.last().style, Box::Error);
        QVERIFY(f.boxes.shown.last().text.startsWith(QStringLiteral("保存失败！")));
        QVERIFY(f.boxes.shown.last().text.contains(QDir::toNativeSeparators(f.file)));
        QVERIFY(QFile(f.file).setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    }

    void exit_noClosesTheMenu() {
        BoardFixture f;
        Form1& form = f.start();
        const QByteArray before = f.bytes();
        Tmenu menu(form, form.services().boxes, &form);
        menu.show();
        f.boxes.answerNext(Box::No);
        menu.choose(Tmenu::Exit);
        QVERIFY(!menu.isVisible());
        QVERIFY(f.endedWith.isEmpty());
        QCOMPARE(f.bytes(), before);
    }
};

QTEST_MAIN(TitleMenuTest)
#include "tst_titlemenu.moc"
