#pragma once
// DockHost over a top-level widget: its frame in screen pixels, the pointer, and
// Left/Top/Width/Height in twips at the primary screen's logical resolution
// (15 twips per pixel at 96 dots per inch).
#include "window/DockController.h"

#include <QPointer>

class QWidget;

class WidgetDockHost final : public DockHost {
public:
    explicit WidgetDockHost(QWidget* window);

    PixelRect GetWindowRect() const override;
    QPoint GetCursorPos() const override;
    double screenWidthTwips() const override;
    double twipsPerPixelX() const override;
    DockArea dockArea() const override;

    double left() const override;
    double top() const override;
    double width() const override;
    double height() const override;
    void setLeft(double twips) override;
    void setTop(double twips) override;
    void setLeftDevice(qint32 px) override;
    void setTopDevice(qint32 px) override;
    bool modalOrPopupOpen() const override;
    bool placedAsAsked() const override;

private:
    double twipsPerPixelY() const;
    DockArea logicalArea() const;
    // Moves to the logical position whose device pixels are these, or exactly there
    // where no logical position maps onto them.
    void moveDevice(QPoint device);

    QPointer<QWidget> m_window;
};
