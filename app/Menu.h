#pragma once
// The slot menu: 修改, 提醒, 删除, 取消, at the pointer of the right-click that opened it
// (or at the slot label whose menu key opened it, 修改 then showing the focus).
#include "widgets/LabelMenu.h"

class Form1;

class Menu : public LabelMenu {
    Q_OBJECT
public:
    enum Item { Modify = 0, Remind = 1, Delete = 2, Cancel = 3 };

    explicit Menu(Form1& form, bool fromKeyboard = false);

    LabelButton* Label4() const { return item(Modify); }
    LabelButton* Label1() const { return item(Remind); }
    LabelButton* Label2() const { return item(Delete); }
    LabelButton* Label3() const { return item(Cancel); }

    void choose(int index);

private:
    Form1& m_form;
};
