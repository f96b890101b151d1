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
    move(px(twips(x.toInt())), px(twips(y.toInt())));
}

void LabelMenu::focusFirstItem() {
    if (!m_items.isEmpty())
        m_items.first()->takeKeyboardFocus();
}

QList<QLabel*> LabelMenu::group() const {
    QList<QLabel*> labels;
    for (LabelButton* item : m_items)
        labels.append(item);
    return labels;
}

void LabelMenu::keyPressEvent(QKeyEvent* event) {
    // Up and Down walk the items, round the ends, from the first or the last one
    // while no item shows the focus; Escape closes the menu (QDialog).
    auto* focused = qobject_cast<LabelButton*>(focusWidget());
    const int current = focused && focused->showsKeyboardFocus() ? int(m_items.indexOf(focused)) : -1;
    const int count = int(m_items.size());
    if ((event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) && count > 0) {
        const int step = event->key() == Qt::Key_Down ? 1 : -1;
        const int next = current < 0 ? (step > 0 ? 0 : count - 1) : (current + step + count) % count;
        m_items.at(next)->takeKeyboardFocus();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
