#pragma once
// The title menu: 移动, 设置, 关于, 退出, 取消, at the pointer of the right-click on the title strip.
#include "ui/LabelMenu.h"

class Form1;

class Tmenu : public LabelMenu {
    Q_OBJECT
public:
    enum Item { Move = 0, Settings = 1, About = 2, Exit = 3, Cancel = 4 };
    static const QString kAboutText;

    explicit Tmenu(Form1& form);

    LabelButton* Label3() const { return item(Move); }
    LabelButton* Label1() const { return item(Settings); }
    LabelButton* Label5() const { return item(About); }
    LabelButton* Label2() const { return item(Exit); }
    LabelButton* Label4() const { return item(Cancel); }

    void choose(int index);

private:
    Form1& m_form;
};
