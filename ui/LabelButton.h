#pragma once
// A label that acts as a button or a menu item: it reports presses, clicks and
// pointer moves (with mouse tracking on, so moves arrive without a button held).
#include <QLabel>

class LabelButton : public QLabel {
    Q_OBJECT
public:
    explicit LabelButton(const QString& text = {}, QWidget* parent = nullptr);

signals:
    void pressed(Qt::MouseButton button, QPoint globalPos);
    void clicked(); // left button pressed and released over the label
    void pointerMoved();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool m_leftDown = false;
};

// Hover pattern of a group of label buttons: with the theme number in c1 valid,
// every other label of the group gets the theme's strip colour and label k the
// hover colour; with any other number nothing changes.
void HoverHighlight(const QList<QLabel*>& group, QLabel* k, const QString& c1);
// Every label of the group in the strip colour (the pointer over a window's background).
void HoverReset(const QList<QLabel*>& group, const QString& c1);
