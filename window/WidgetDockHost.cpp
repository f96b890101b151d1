#include "window/WidgetDockHost.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

constexpr double TwipsPerInch = 1440.0;

QScreen* screen() {
    return QGuiApplication::primaryScreen();
}

} // namespace

WidgetDockHost::WidgetDockHost(QWidget* window) : m_window(window) {}

PixelRect WidgetDockHost::GetWindowRect() const {
    const QRect frame = m_window->frameGeometry();
    return {frame.x(), frame.y(), frame.x() + frame.width(), frame.y() + frame.height()};
}

QPoint WidgetDockHost::GetCursorPos() const {
    return QCursor::pos();
}

double WidgetDockHost::screenWidthTwips() const {
    return screen()->geometry().width() * twipsPerPixelX();
}

double WidgetDockHost::twipsPerPixelX() const {
    return TwipsPerInch / screen()->logicalDotsPerInchX();
}

double WidgetDockHost::twipsPerPixelY() const {
    return TwipsPerInch / screen()->logicalDotsPerInchY();
}

double WidgetDockHost::left() const {
    return m_window->x() * twipsPerPixelX();
}

double WidgetDockHost::top() const {
    return m_window->y() * twipsPerPixelY();
}

double WidgetDockHost::width() const {
    return m_window->frameGeometry().width() * twipsPerPixelX();
}

double WidgetDockHost::height() const {
    return m_window->frameGeometry().height() * twipsPerPixelY();
}

void WidgetDockHost::setLeft(double twips) {
    m_window->move(qRound(twips / twipsPerPixelX()), m_window->y());
}

void WidgetDockHost::setTop(double twips) {
    m_window->move(m_window->x(), qRound(twips / twipsPerPixelY()));
}

bool WidgetDockHost::modalOrPopupOpen() const {
    return QApplication::activeModalWidget() != nullptr || QApplication::activePopupWidget() != nullptr;
}
