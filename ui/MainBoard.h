#pragma once
// What the other windows may read and change of the main window: its shared
// fields (C1, XH, the slot labels), its theme painting, its slot frames and its place.
#include <QString>

class QWidget;

class MainBoard {
public:
    virtual ~MainBoard() = default;
    virtual QWidget* boardWidget() = 0;
    virtual QString themeText() const = 0;             // C1
    virtual void setThemeText(const QString& text) = 0; // C1
    virtual void repaintTheme() = 0;                    // enables the main window's CC
    virtual QString selectedSlot() const = 0;           // XH
    virtual QString slotText(int n) const = 0;          // caption of Label2(n), n = 1..6
    virtual void setSlotFrames(bool framed) = 0;
    virtual int leftTwips() const = 0;
    virtual int topTwips() const = 0;
};
