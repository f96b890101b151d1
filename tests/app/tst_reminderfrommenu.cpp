#include "tests/app/BoardFixture.h"

#include "app/Menu.h"
#include "reminders/DateTimeText.h"
#include "reminders/Time.h"
#include "widgets/LabelButton.h"
#include "widgets/Twips.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

namespace {

// Waits for the editor among the modal windows (the menu may still be closing).
template <typename Action> void onEditor(Action action) {
    onNextModal([action](QWidget* modal) {
        if (auto* editor = qobject_cast<Time*>(modal))
            action(editor);
        else
            onEditor(action);
    });
}

} // namespace

class ReminderFromMenuTest : public QObject {
    Q_OBJECT
private slots:
    void remindItem_closesTheMenuThenOpensTheEditorForTheSlot() {
        BoardFixture f;
        Form1& form = f.start();
        form.show();
        form.move(px(6000), px(3000));
        QPointer<Menu> menu;
        bool menuVisibleUnderEditor = true;
        QString content;
        QPoint place;
        bool modal = false;
        onNextModal([&](QWidget* w) {
            menu = qobject_cast<Menu*>(w);
            QVERIFY(menu);
            onEditor([&](Time* editor) {
                menuVisibleUnderEditor = menu && menu->isVisible();
                content = editor->Label3->text();
                place = editor->pos();
                modal = QApplication::activeModalWidget() == editor;
                QTest::mouseClick(editor->Label6, Qt::LeftButton); // cancel
            });
            QTest::mouseClick(menu->Label1(), Qt::LeftButton); // 提醒
        });
        form.SelectSlot(1, Qt::RightButton, QPoint(400, 300));
        QVERIFY(!menuVisibleUnderEditor);
        QVERIFY(modal);
        QCOMPARE(content, QStringLiteral("Jotlark，懂你的Jotlark！"));
        QCOMPARE(QPoint(twips(place.x()), twips(place.y())), QPoint(5550, 3750));
        QVERIFY(f.boxes.shown.isEmpty());
        QCOMPARE(f.bytes(), defaultSettingsBytes());
    }

    void savingInTheEditor_armsTheBoardsSlotAndTheFile() {
        BoardFixture f;
        Form1& form = f.start();
        form.show();
        onNextModal([&](QWidget* w) {
            onEditor([](Time* editor) {
                editor->DTPicker1->setDate(QDate(2026, 12, 8));
                editor->Text1->setText("9");
                editor->Text2->setText("30");
                QTest::mouseClick(editor->Label5, Qt::LeftButton);
            });
            static_cast<Menu*>(w)->choose(Menu::Remind);
        });
        form.SelectSlot(1, Qt::RightButton, QPoint(5, 5));
        const QString date = DateText(QDate(2026, 12, 8));
        const QString time = TimeText(QTime(9, 30));
        QCOMPARE(f.store.GetIniValue("1", "D"), date);
        QCOMPARE(f.store.GetIniValue("1", "T"), time);
        QCOMPARE(form.reminders().D1(1), date + ' ' + time);
        QVERIFY(form.reminders().isArmed(1));
        QCOMPARE(f.boxes.shown.size(), 1);
        QVERIFY(!QApplication::activeModalWidget());
    }
};

QTEST_MAIN(ReminderFromMenuTest)
#include "tst_reminderfrommenu.moc"
