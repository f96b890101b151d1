#include "widgets/LabelMenu.h"

#include "widgets/Colors.h"
#include "widgets/Fonts.h"
#include "widgets/LabelButton.h"
#include "widgets/Twips.h"

#include <QKeyEvent>

LabelMenu::LabelMenu(const QStringList& captions, int heightTwips, std::function<QString()> c1, const QString& x,
                     const QString& y, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_c1(std::move(c1)) {
    setModal(true);
    const int rows = int(captions.size());
    setFixedSize(px(570), px(heightTwips));
    const Theme* theme = themeFor(m_c1());
    const Bgr strip = theme ? theme->strip : initialTheme().strip;
    for (int i = 0; i < rows; ++i) {
        auto* label = new LabelButton(captions.at(i), this);
        label->setGeometry(pxRect(0, 360 * i, 570, 375));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(yaheiFont(10.5));
        setBackground(label, strip);
        connect(label, &LabelButton::pointerMoved, this, [this, label] { HoverHighlight(group(), label, m_c1()); });
        connect(label, &LabelButton::clicked, this, [this, i] { emit itemClicked(i); });
        // From the keyboard: the focused item lights up as under the pointer.
        label->setKeyboardActivation(QAccessible::MenuItem);
        connect(label, &LabelButton::focused, this, [this, label] { HoverHighlight(group(), label, m_c1()); });
        m_items.append(label);
    }
    if (!m_items.isEmpty())
        m_items.first()->setFocus(Qt::OtherFocusReason);
    move(px(twips(x.toInt())), px(twips(y.toInt())));
}

QList<QLabel*> LabelMenu::group() const {
    QList<QLabel*> labels;
    for (LabelButton* item : m_items)
        labels.append(item);
    return labels;
}

void LabelMenu::keyPressEvent(QKeyEvent* event) {
    // Up and Down walk the items, round the ends; Escape closes the menu (QDialog).
    const int current = int(m_items.indexOf(qobject_cast<LabelButton*>(focusWidget())));
    const int count = int(m_items.size());
    if ((event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) && count > 0) {
        const int step = event->key() == Qt::Key_Down ? 1 : -1;
        const int next = current < 0 ? 0 : (current + step + count) % count;
        m_items.at(next)->setFocus(Qt::TabFocusReason);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
