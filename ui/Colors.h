#pragma once
// Painting widgets with 0x00BBGGRR colours, and reading them back.
#include "ui/Themes.h"

#include <QColor>

class QWidget;

QColor toQColor(Bgr bgr);
Bgr toBgr(const QColor& color);

// Solid background (autoFillBackground with the Window role).
void setBackground(QWidget* widget, Bgr bgr);
Bgr background(const QWidget* widget);
// Text colour (WindowText and Text roles); kWindowText gives the system's colour.
void setForeground(QWidget* widget, Bgr bgr);
Bgr foreground(const QWidget* widget);
