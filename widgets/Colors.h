#pragma once
// Painting widgets with 0x00BBGGRR colours, and reading them back.
#include "ui/Themes.h"

#include <QColor>
#include <QPalette>

class QWidget;

QColor toQColor(Bgr bgr);
Bgr toBgr(const QColor& color);

// Solid background (autoFillBackground with the Window role).
void setBackground(QWidget* widget, Bgr bgr);
Bgr background(const QWidget* widget);
// Text colour (WindowText and Text roles); kWindowText gives the system's colour.
void setForeground(QWidget* widget, Bgr bgr);
Bgr foreground(const QWidget* widget);

// The program's own light palette: dark text on light backgrounds in every role,
// as the fixed pale theme colours need, whatever the desktop's colour scheme.
// kWindowText is this palette's black window text.
QPalette lightPalette();
// Makes it the palette of every window, message box and pop-up of the program.
void useLightPalette();
