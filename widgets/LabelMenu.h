#pragma once
// A borderless modal pop-up made of label items stacked 360 twips apart, each
// 570 x 375 twips (so each overlaps the next by 15). It opens with its top-left
// corner at a pointer position given in pixels, taken as twips at a fixed 15 per
// pixel; its items take the theme's strip colour on opening and light up under
// the pointer. Opened with the mouse, no item is lit or framed until the pointer
// or the keyboard (Up, Down, Tab) reaches one.
#include <QDialog>
#include <QList>
#include <functional>

class LabelButton;
class QLabel;

class LabelMenu : public QDialog {
    Q_OBJECT
public:
    // captions from top to bottom; the client area is 570 twips wide and heightTwips
    // high (the last item may reach past it); c1 is read again on every pointer move.
    LabelMenu(const QStringList& captions, int heightTwips, std::function<QString()> c1, const QString& x,
              const QString& y, QWidget* parent = nullptr);

    LabelButton* item(int index) const { return m_items.at(index); }
    QList<QLabel*> group() const;

    // For a menu opened from the keyboard: the first item shows the focus, framed
    // and lit, when the menu appears. Call before showing it.
    void focusFirstItem();

signals:
    void itemClicked(int index);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QList<LabelButton*> m_items;
    std::function<QString()> m_c1;
};
