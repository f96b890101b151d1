#include "ui/Colors.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor toQColor(Bgr bgr)
{
    if (bgr == kWindowText)
        return QApplication::palette().color(QPalette::WindowText);
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

Bgr toBgr(const QColor& color)
{
    return Bgr(color.red()) | (Bgr(color.green()) << 8) | (Bgr(color.blue()) << 16);
}

void setBackground(QWidget* widget, Bgr bgr)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, toQColor(bgr));
    p.setColor(QPalette::Base, toQColor(bgr));
    p.setColor(QPalette::Button, toQColor(bgr));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

Bgr background(const QWidget* widget) { return toBgr(widget->palette().color(QPalette::Window)); }

void setForeground(QWidget* widget, Bgr bgr)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, toQColor(bgr));
    p.setColor(QPalette::Text, toQColor(bgr));
    p.setColor(QPalette::ButtonText, toQColor(bgr));
    widget->setPalette(p);
}

Bgr foreground(const QWidget* widget) { return toBgr(widget->palette().color(QPalette::WindowText)); }
