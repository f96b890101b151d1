#include "widgets/QtMessageBoxes.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {
// Runs check on the message box once it is open, from inside its own event loop.
void onBox(std::function<void(QMessageBox*)> check) {
    QTimer::singleShot(0, [check] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            onBox(check);
            return;
        }
        check(box);
    });
}
} // namespace

class MessageBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void question_offersYesAsDefaultAndNo() {
        QtMessageBoxes boxes;
        QStringList buttons;
        QString defaultText;
        onBox([&](QMessageBox* box) {
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            defaultText = box->defaultButton()->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        QCOMPARE(boxes.show(nullptr, "q", QStringLiteral("保存确认"), Box::YesNo), Box::Yes);
        QCOMPARE(defaultText, QStringLiteral("是"));
        QVERIFY(buttons.contains(QStringLiteral("否")));

        onBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(boxes.show(nullptr, "q", QStringLiteral("删除确认"), Box::YesNo), Box::No);
    }

    void userText_isShownAsTyped() {
        QtMessageBoxes boxes;
        Qt::TextFormat format = Qt::AutoText;
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        onBox([&](QMessageBox* box) {
            format = box->textFormat();
            title = box->windowTitle();
            icon = box->icon();
            box->defaultButton()->click();
        });
        QCOMPARE(boxes.show(nullptr, QStringLiteral("提醒内容：<b>x</b>"), QStringLiteral("提示"), Box::Information),
                 Box::Ok);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(title, QStringLiteral("提示"));
        QCOMPARE(icon, QMessageBox::Information);
    }

    // The alarm box: 确定 is the default for Enter; 稍后提醒 opens its minutes with
    // the default one ready, so Enter there snoozes by it and Down picks the next.
    void snoozable_answersOkOrTheMinutesChosen_data() {
        QTest::addColumn<QList<int>>("keys"); // pressed in the menu; empty: Enter in the box
        QTest::addColumn<int>("answer");
        QTest::newRow("Enter") << QList<int>{} << 0;
        QTest::newRow("the default") << QList<int>{Qt::Key_Return} << 10;
        QTest::newRow("the next") << QList<int>{Qt::Key_Down, Qt::Key_Return} << 30;
    }
    void snoozable_answersOkOrTheMinutesChosen() {
        QFETCH(QList<int>, keys);
        QFETCH(int, answer);
        QtMessageBoxes boxes;
        QStringList buttons;
        QString defaultText;
        QStringList items;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        onBox([&](QMessageBox* box) {
            icon = box->icon();
            for (QAbstractButton* b : box->buttons())
                buttons << b->text();
            defaultText = box->defaultButton()->text();
            if (keys.isEmpty()) {
                QTest::keyClick(box, Qt::Key_Return);
                return;
            }
            auto* later = qobject_cast<QPushButton*>(box->buttons().value(buttons.indexOf(QStringLiteral("稍后提醒"))));
            QMenu* menu = later->menu();
            for (QAction* a : menu->actions())
                items << a->text();
            QTimer::singleShot(0, menu, [menu, keys] {
                for (int key : keys)
                    QTest::keyClick(menu, Qt::Key(key));
            });
            later->showMenu();
        });
        QCOMPARE(boxes.showSnoozable(nullptr, QStringLiteral("提醒内容：x"), QStringLiteral("提示"), {5, 10, 30}, 10),
                 answer);
        QCOMPARE(icon, QMessageBox::Information);
        QCOMPARE(defaultText, QStringLiteral("确定"));
        QCOMPARE(buttons.size(), 2);
        QVERIFY(buttons.contains(QStringLiteral("稍后提醒")));
        if (!keys.isEmpty())
            QCOMPARE(items, QStringList({"5 分钟", "10 分钟", "30 分钟"}));
    }
};

QTEST_MAIN(MessageBoxesTest)
#include "tst_messageboxes.moc"
