#include "widgets/QtMessageBoxes.h"

#include "widgets/Fonts.h"
#include "widgets/NoteText.h"

#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace {

void prepare(QMessageBox& box, const QString& text, const QString& title) {
    box.setWindowTitle(title);
    // Texts carry notes the user typed: never read them as HTML.
    box.setTextFormat(Qt::PlainText);
    // Callers shorten the notes they show; this bounds any other text, so that
    // no box grows past the screen.
    box.setText(shortenForDisplay(text, 30, 120));
    box.setFont(yaheiFont(9));
}

} // namespace

int QtMessageBoxes::show(QWidget* parent, const QString& text, const QString& title, int style) {
    QMessageBox box(parent);
    prepare(box, text, title);
    if (style == Box::YesNo) {
        box.setIcon(QMessageBox::NoIcon);
        QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? Box::Yes : Box::No;
    }
    box.setIcon(style == Box::Error ? QMessageBox::Critical : QMessageBox::Information);
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return Box::Ok;
}

int QtMessageBoxes::showSnoozable(QWidget* parent, const QString& text, const QString& title, const QList<int>& minutes,
                                  int defaultMinutes) {
    QMessageBox box(parent);
    prepare(box, text, title);
    box.setIcon(QMessageBox::Information);
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    // Beside 确定; its menu, not a click on it, ends the box.
    auto* later = new QPushButton(QStringLiteral("稍后提醒"), &box);
    later->setAccessibleName(QStringLiteral("稍后提醒"));
    later->setAccessibleDescription(QStringLiteral("选择几分钟后再次提醒"));
    auto* menu = new QMenu(later);
    menu->setFont(yaheiFont(9));
    menu->setAccessibleName(QStringLiteral("稍后提醒"));
    int chosen = 0;
    for (int m : minutes) {
        QAction* action = menu->addAction(QStringLiteral("%1 分钟").arg(m));
        QObject::connect(action, &QAction::triggered, &box, [&box, &chosen, m] {
            chosen = m;
            box.done(0);
        });
        if (m == defaultMinutes)
            menu->setDefaultAction(action);
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { menu->setActiveAction(menu->defaultAction()); });
    later->setMenu(menu);
    box.addButton(later, QMessageBox::ActionRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return chosen;
}
