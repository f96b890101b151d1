#include "ui/LabelMenu.h"

#include "ui/Colors.h"
#include "ui/Fonts.h"
#include "ui/LabelButton.h"
#include "ui/Twips.h"

LabelMenu::LabelMenu(const QStringList& captions, int heightTwips, std::function<QString()> c1, const QString& x,
                     const QString& y, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_c1(std::move(c1))
{
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
        m_items.append(label);
    }
    move(px(twips(x.toInt())), px(twips(y.toInt())));
}

QList<QLabel*> LabelMenu::group() const
{
    QList<QLabel*> labels;
    for (LabelButton* item : m_items)
        labels.append(item);
    return labels;
}
