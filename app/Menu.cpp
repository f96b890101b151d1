#include "app/Menu.h"

#include "app/Form1.h"

Menu::Menu(Form1& form, bool fromKeyboard)
    : LabelMenu(
          {QStringLiteral("修改"), QStringLiteral("提醒"), QStringLiteral("删除"), QStringLiteral("取消")}, 1455,
          [&form] { return form.C1; }, form.Label9, form.Label10, &form),
      m_form(form) {
    setWindowTitle(QStringLiteral("档案菜单"));
    connect(this, &LabelMenu::itemClicked, this, &Menu::choose);
    if (fromKeyboard)
        focusFirstItem();
}

void Menu::choose(int index) {
    switch (index) {
    case Modify:
        m_form.ModifyNote(*this);
        break;
    case Remind:
        close();
        m_form.openReminderEditor();
        break;
    case Delete:
        m_form.DeleteNote(*this);
        break;
    default:
        close();
        break;
    }
}
