#pragma once
// The title menu: 移动, 设置, 关于, 退出, 取消, at the pointer of the right-click on the title strip.
#include "widgets/LabelMenu.h"

class MessageBoxes;

// What the title menu reads of the main window and asks it to do.
class TmenuHost {
public:
    virtual ~TmenuHost() = default;
    virtual QString themeText() const = 0; // C1
    virtual QString pointerX() const = 0;  // Label9
    virtual QString pointerY() const = 0;  // Label10
    virtual void openSettings() = 0;
    // Writes X then Y and ends the program at once, without any window's close handling.
    virtual void exitProgram() = 0;
};

class Tmenu : public LabelMenu {
    Q_OBJECT
public:
    enum Item { Move = 0, Settings = 1, About = 2, Exit = 3, Cancel = 4 };
    static const QString kAboutText;

    // board is the main window: the parent of the menu and of the moving hint.
    Tmenu(TmenuHost& host, MessageBoxes& boxes, QWidget* board);

    LabelButton* Label3() const { return item(Move); }
    LabelButton* Label1() const { return item(Settings); }
    LabelButton* Label5() const { return item(About); }
    LabelButton* Label2() const { return item(Exit); }
    LabelButton* Label4() const { return item(Cancel); }

    void choose(int index);

private:
    TmenuHost& m_host;
    MessageBoxes& m_boxes;
    QWidget* m_board;
};
