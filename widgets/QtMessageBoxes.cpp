#include "widgets/QtMessageBoxes.h"

#include "widgets/Fonts.h"
#include "widgets/NoteText.h"

#include <QMessageBox>
#include <QPushButton>

int QtMessageBoxes::show(QWidget* parent, const QString& text, const QString& title, int style) {
    QMessageBox box(parent);
    box.setWindowTitle(title);
    // Texts carry notes the user typed: never read them as HTML.
    box.setTextFormat(Qt::PlainText);
    // Callers shorten the notes they show; this bounds any other text, so that
    // no box grows past the screen.
    box.setText(shortenForDisplay(text, 30, 120));
    box.setFont(yaheiFont(9));
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
