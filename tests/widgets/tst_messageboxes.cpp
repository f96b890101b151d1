#include "widgets/QtMessageBoxes.h"

#include <QApplication>
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
};

QTEST_MAIN(MessageBoxesTest)
#include "tst_messageboxes.moc"
