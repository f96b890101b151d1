#include "app/Tmenu.h"

#include "app/Form1.h"
#include "ui/MessageBoxes.h"

const QString Tmenu::kAboutText = QStringLiteral("软件名称：Jotlark\r\n"
                                                 "软件作者：Jotlark 开发组\r\n"
                                                 "作者主页：暂无\r\n"
                                                 "联系邮箱：暂无\r\n"
                                                 "\r\n"
                                                 "衷心感谢您的使用！");

Tmenu::Tmenu(Form1& form)
    : LabelMenu({QStringLiteral("移动"), QStringLiteral("设置"), QStringLiteral("关于"), QStringLiteral("退出"),
                 QStringLiteral("取消")},
                1800,
                [&form] { return form.C1; }, form.Label9, form.Label10, &form),
      m_form(form)
{
    setWindowTitle(QStringLiteral("Jotlark"));
    setAccessibleName(QStringLiteral("标题菜单"));
    connect(this, &LabelMenu::itemClicked, this, &Tmenu::choose);
}

void Tmenu::choose(int index)
{
    MessageBoxes& boxes = m_form.services().boxes;
    switch (index) {
    case Move:
        close();
        boxes.show(&m_form, QStringLiteral("左键拖动标题栏即可移动窗口!"), QStringLiteral("提示"), Box::Information);
        break;
    case Settings:
        close();
        m_form.openSettings();
        break;
    case About:
        boxes.show(this, kAboutText, QStringLiteral("温馨提示"), Box::Information);
        break;
    case Exit:
        if (boxes.show(this, QStringLiteral("您确定要退出吗？"), QStringLiteral("退出确认"), Box::YesNo) == Box::Yes)
            m_form.exitProgram();
        else
            close();
        break;
    default:
        close();
        break;
    }
}
