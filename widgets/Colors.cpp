#include "widgets/Colors.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor toQColor(Bgr bgr) {
    if (bgr == kWindowText)
        return QApplication::palette().color(QPalette::WindowText);
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

Bgr toBgr(const QColor& color) {
    return Bgr(color.red()) | (Bgr(color.green()) << 8) | (Bgr(color.blue()) << 16);
}

void setBackground(QWidget* widget, Bgr bgr) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, toQColor(bgr));
    p.setColor(QPalette::Base, toQColor(bgr));
    p.setColor(QPalette::Button, toQColor(bgr));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

Bgr background(const QWidget* widget) {
    return toBgr(widget->palette().color(QPalette::Window));
}

void setForeground(QWidget* widget, Bgr bgr) {
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, toQColor(bgr));
    p.setColor(QPalette::Text, toQColor(bgr));
    p.setColor(QPalette::ButtonText, toQColor(bgr));
    widget->setPalette(p);
}

Bgr foreground(const QWidget* widget) {
    return toBgr(widget->palette().color(QPalette::WindowText));
}

QPalette lightPalette() {
    const QColor black(0, 0, 0);
    const QColor face(0xF0, 0xF0, 0xF0);
    const QColor white(0xFF, 0xFF, 0xFF);
    const QColor grey(0x6D, 0x6D, 0x6D);
    QPalette p(black, face, white, QColor(0xA0, 0xA0, 0xA0), QColor(0xA0, 0xA0, 0xA0), black, white);
    p.setColor(QPalette::Window, face);
    p.setColor(QPalette::Base, white);
    p.setColor(QPalette::AlternateBase, QColor(0xE9, 0xE7, 0xE3));
    p.setColor(QPalette::Highlight, QColor(0x00, 0x78, 0xD7));
    p.setColor(QPalette::HighlightedText, white);
    p.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xDC));
    p.setColor(QPalette::ToolTipText, black);
    p.setColor(QPalette::PlaceholderText, grey);
    p.setColor(QPalette::Link, QColor(0x00, 0x00, 0xFF));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, grey);
    return p;
}

void useLightPalette() {
    QApplication::setPalette(lightPalette());
}
