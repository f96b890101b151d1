#pragma once
// A label that acts as a button or a menu item: it reports presses, clicks and
// pointer moves (with mouse tracking on, so moves arrive without a button held).
#include <QAccessible>
#include <QLabel>

class LabelButton : public QLabel {
    Q_OBJECT
public:
    explicit LabelButton(const QString& text = {}, QWidget* parent = nullptr);

    // Makes the label take the focus (Tab, or a click) and work from the keyboard:
    // Space, Enter and Return click it; the context-menu key and Shift+F10 ask for
    // its menu at its centre (menuKeyPressed). A label the keyboard focused shows a
    // dotted frame, and screen readers see role (a button unless told otherwise).
    void setKeyboardActivation(QAccessible::Role role = QAccessible::Button);
    bool keyboardActivation() const { return m_role != QAccessible::NoRole; }
    QAccessible::Role accessibleRole() const { return keyboardActivation() ? m_role : QAccessible::StaticText; }

    // Long text: the last line that fits ends in an ellipsis, and the whole text
    // shows as a tooltip. text() stays the whole text.
    void setElideOverflow(bool on);
    bool overflows() const;

    // The focus of its window is here and the keyboard moved it here (the frame shows).
    bool showsKeyboardFocus() const { return m_keyboardFocus && window()->focusWidget() == this; }
    // Moves the focus here as the keyboard does, also when it is here already.
    void takeKeyboardFocus();

signals:
    void pressed(Qt::MouseButton button, QPoint globalPos);
    void clicked(); // left button pressed and released over the label, or a key press
    void pointerMoved();
    void menuKeyPressed(QPoint globalPos); // the context-menu key or Shift+F10
    void focused();                        // the keyboard moved the focus here

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRect textBox() const; // where the text goes: inside the frame and the margin

    bool m_leftDown = false;
    bool m_elide = false;
    bool m_keyboardFocus = false;
    QAccessible::Role m_role = QAccessible::NoRole;
};

// Keeps a helper control (one that only holds the focus) out of the accessibility
// tree: its parent, a window made straight from QWidget, leaves it out of its
// children; asked directly, it says it is invisible and not focusable.
void hideFromAccessibility(QWidget* widget);

// Hover pattern of a group of label buttons: with the theme number in c1 valid,
// every other label of the group gets the theme's strip colour and label k the
// hover colour; with any other number nothing changes.
void HoverHighlight(const QList<QLabel*>& group, QLabel* k, const QString& c1);
// Every label of the group in the strip colour (the pointer over a window's background).
void HoverReset(const QList<QLabel*>& group, const QString& c1);
