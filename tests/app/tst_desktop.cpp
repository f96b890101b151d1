// The board on a real desktop: its own light palette under a dark one, what screen
// readers see, and the keyboard paths.
#include "tests/app/BoardFixture.h"

#include "app/Menu.h"
#include "reminders/Time.h"
#include "ui/Settings.h"
#include "widgets/Colors.h"
#include "widgets/LabelButton.h"
#include "widgets/NoteText.h"
#include "window/DockStacking.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <cmath>

namespace {

double luminance(const QColor& c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QWidget* w) {
    const double a = luminance(w->palette().color(QPalette::WindowText));
    const double b = luminance(w->palette().color(QPalette::Window));
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // A dark desktop: white window text on dark grey, as a dark theme sets it.
        QPalette dark(Qt::white, QColor(0x35, 0x35, 0x35));
        dark.setColor(QPalette::Text, Qt::white);
        QApplication::setPalette(dark);
        useLightPalette();
    }

    void lightPalette_keepsEveryTextLegible_data() {
        QTest::addColumn<QString>("theme");
        for (const char* theme : {"1", "2", "3", "4"})
            QTest::newRow(theme) << QString::fromLatin1(theme);
    }
    void lightPalette_keepsEveryTextLegible() {
        QFETCH(QString, theme);
        BoardFixture f;
        Form1& form = f.start();
        form.C1 = theme;
        form.paintTheme();
        form.ClearPlaceholder();
        Settings settings(form, f.store, f.boxes, f.autostart, &form);
        const QList<QWidget*> texts{form.Label2[0], form.Label8[0], form.Text1, settings.Check1, settings.Check2};
        for (QWidget* w : texts)
            QVERIFY2(contrast(w) >= 4.5, qPrintable(w->metaObject()->className() + QString::number(contrast(w))));
        QCOMPARE(QApplication::palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    void accessibleNamesAndRoles_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("description"); // "note": the note of slot 3, shortened as shown
        QTest::newRow("slot number") << "number3"
                                     << "保存到第 3 个档案" << int(QAccessible::Button) << "3";
        QTest::newRow("slot note") << "note3"
                                   << "第 3 个档案" << int(QAccessible::StaticText) << "note";
        QTest::newRow("note box") << "noteBox"
                                  << "记录内容" << int(QAccessible::EditableText) << "";
        QTest::newRow("menu item") << "modify"
                                   << "修改" << int(QAccessible::MenuItem) << "";
        QTest::newRow("settings save") << "settingsSave"
                                       << "保存" << int(QAccessible::Button) << "";
        QTest::newRow("editor save") << "editorSave"
                                     << "保存" << int(QAccessible::Button) << "";
        QTest::newRow("editor hour") << "hour"
                                     << "提醒时间：时" << int(QAccessible::EditableText) << "";
        QTest::newRow("editor note") << "editorNote"
                                     << "内容" << int(QAccessible::StaticText) << "note";
    }
    void accessibleNamesAndRoles() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        QFETCH(QString, description);
        BoardFixture f;
        const QString note = QStringLiteral("很长的一条记录，").repeated(300) + QStringLiteral("\n第二行");
        QVERIFY(f.store.setValue("Main", "3", note));
        Form1& form = f.start();
        form.XH = QStringLiteral("3");
        Menu menu(form);
        Settings settings(form, f.store, f.boxes, f.autostart, &form);
        QString seenName;
        QString seenDescription;
        int seenRole = -1;
        auto read = [&](QObject* object) {
            QAccessibleInterface* iface = accessible(object);
            QVERIFY(iface);
            seenName = iface->text(QAccessible::Name);
            seenDescription = iface->text(QAccessible::Description);
            seenRole = int(iface->role());
        };
        const QHash<QString, QObject*> controls{{"number3", form.Label8[2]},
                                                {"note3", form.Label2[2]},
                                                {"noteBox", form.Text1},
                                                {"modify", menu.item(Menu::Modify)},
                                                {"settingsSave", settings.Label12}};
        if (controls.contains(control)) {
            read(controls.value(control));
        } else {
            onNextModal([&](QWidget* modal) {
                auto* editor = qobject_cast<Time*>(modal);
                QVERIFY(editor);
                read(control == "hour"         ? static_cast<QObject*>(editor->Text1)
                     : control == "editorNote" ? static_cast<QObject*>(editor->Label3)
                                               : editor->Label5);
                editor->cancel();
            });
            form.openReminderEditor();
        }
        QCOMPARE(seenName, name);
        QCOMPARE(seenRole, role);
        QCOMPARE(seenDescription, description == "note" ? shortNote(note) : description);
    }

    void focusHolder_isHiddenFromScreenReaders() {
        BoardFixture f;
        Form1& form = f.start();
        QVERIFY(accessible(form.Command1)->state().invisible);
        QCOMPARE(form.Command1->focusPolicy(), Qt::NoFocus);
        // Not in the tree a screen reader walks from the board, which still holds the rest.
        QList<QObject*> seen;
        QList<QAccessibleInterface*> pending{accessible(&form)};
        while (!pending.isEmpty()) {
            QAccessibleInterface* iface = pending.takeLast();
            seen << iface->object();
            for (int i = 0; i < iface->childCount(); ++i) {
                QAccessibleInterface* child = iface->child(i);
                QVERIFY(child);
                QCOMPARE(iface->indexOfChild(child), i);
                pending << child;
            }
        }
        QVERIFY(!seen.contains(form.Command1));
        QVERIFY(seen.contains(form.Text1));
        QVERIFY(seen.contains(form.Label2[5]));
    }

    // Ctrl+N stores into slot N; Tab walks note box, number 1, note 1, ...; the
    // context-menu key opens the slot menu, whose items Up/Down/Return work.
    void keyboard_storesAndOpensTheSlotMenu() {
        BoardFixture f;
        Form1& form = f.start();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.ClearPlaceholder();
        form.Text1->setPlainText(QStringLiteral("by keys"));
        f.boxes.answerNext(Box::Yes);
        QTest::keyClick(&form, Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(form.slotText(3), QStringLiteral("by keys"));

        form.Text1->setFocus();
        QTest::keyClick(form.Text1, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form.Label8[0]);
        QTest::keyClick(form.Label8[0], Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form.Label2[0]);

        int chosen = -1;
        onNextModal([&](QWidget* modal) {
            auto* menu = qobject_cast<Menu*>(modal);
            QVERIFY(menu);
            QCOMPARE(menu->focusWidget(), menu->item(Menu::Modify));
            QTest::keyClick(menu, Qt::Key_Up); // round to 取消
            QTest::keyClick(menu, Qt::Key_Up);
            chosen = int(menu->item(Menu::Delete) == menu->focusWidget() ? Menu::Delete : -1);
            QTest::keyClick(menu->focusWidget(), Qt::Key_Escape);
        });
        QTest::keyClick(form.Label2[2], Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(chosen, int(Menu::Delete));
        QCOMPARE(form.XH, QStringLiteral("3"));
    }

    void keyboard_savesFromTheEditorButtons() {
        BoardFixture f;
        Form1& form = f.start();
        form.XH = QStringLiteral("2");
        QList<QWidget*> order, expected;
        onNextModal([&](QWidget* modal) {
            auto* editor = qobject_cast<Time*>(modal);
            QVERIFY(editor);
            expected = {editor->Combo1, editor->Label5, editor->Label6, editor->Label7};
            for (QWidget* w = editor->Text2->nextInFocusChain(); order.size() < 4 && w != editor->Text2;
                 w = w->nextInFocusChain())
                if (w->focusPolicy() & Qt::TabFocus)
                    order.append(w);
            editor->Text1->setText(QStringLiteral("10"));
            editor->Text2->setText(QStringLiteral("30"));
            QTest::keyClick(editor->Label5, Qt::Key_Return);
        });
        form.openReminderEditor();
        QCOMPARE(order, expected);
        QVERIFY(f.bytes().contains("T=10:30:00"));
    }

    void longNote_isElidedWithItsTextAsTooltip() {
        BoardFixture f;
        Form1& form = f.start();
        LabelButton* note = form.Label2[0];
        note->setText(QStringLiteral("short"));
        QVERIFY(!note->overflows());
        note->setText(QString(200, QChar(0x5B57)));
        QVERIFY(note->overflows());
        QCOMPARE(note->text().size(), 200); // the slot keeps the whole note
    }

    // Docked: the same native window, still shown, out of the window manager's hands,
    // and so are the windows it opens; undocked: an ordinary window again.
    void dockedStacking_switchesInPlace() {
        if (QSysInfo::productType() == QLatin1String("windows"))
            QSKIP("Windows keeps the flags and makes the window topmost through the system instead");
        BoardFixture f;
        Form1& form = f.start();
        form.show();
        const WId id = form.winId();
        setDockedStacking(&form, true);
        QVERIFY(form.windowHandle()->flags() & Qt::BypassWindowManagerHint);
        QVERIFY(form.isVisible());
        QCOMPARE(form.winId(), id);
        QDialog dialog(&form);
        dialog.show();
        QVERIFY(dialog.windowHandle()->flags() & Qt::BypassWindowManagerHint);
        dialog.hide();
        setDockedStacking(&form, false);
        QVERIFY(!(form.windowHandle()->flags() & Qt::BypassWindowManagerHint));
        QVERIFY(form.isVisible());
        QCOMPARE(form.winId(), id);
    }
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
