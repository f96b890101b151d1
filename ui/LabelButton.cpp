#include "ui/LabelButton.h"

#include "ui/Colors.h"

#include <QMouseEvent>

LabelButton::LabelButton(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setMouseTracking(true);
}

void LabelButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_leftDown = true;
    emit pressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void LabelButton::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_leftDown && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_leftDown = false;
    event->accept();
    if (click)
        emit clicked();
}

void LabelButton::mouseMoveEvent(QMouseEvent* event)
{
    emit pointerMoved();
    event->accept();
}

void HoverHighlight(const QList<QLabel*>& group, QLabel* k, const QString& c1)
{
    const Theme* theme = themeFor(c1);
    if (!theme)
        return;
    for (QLabel* label : group)
        if (label != k)
            setBackground(label, theme->strip);
    if (k)
        setBackground(k, theme->hover);
}

void HoverReset(const QList<QLabel*>& group, const QString& c1) { HoverHighlight(group, nullptr, c1); }
