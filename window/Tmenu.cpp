#include "window/Tmenu.h"

#include "widgets/MessageBoxes.h"

const QString Tmenu::kAboutText = QStringLiteral("软件名称：Jotlark\r\n"
                                                 "软件作者：Jotlark 开发组\r\n"
                                                 "作者主页：暂无\r\n"
                                                 "联系邮箱：暂无\r\n"
                                                 "\r\n"
                                                 "衷心感谢您的使用！");

Tmenu::Tmenu(TmenuHost& host, MessageBoxes& boxes, QWidget* board)
    : LabelMenu(
          {QStringLiteral("移动"), QStringLiteral("设置"), QStringLiteral("关于"), QStringLiteral("退出"),
           QStringLiteral("取消")},
          1800, [&host] { return host.themeText(); }, host.pointerX(), host.pointerY(), board),
      m_host(host), m_boxes(boxes), m_board(board) {
    setWindowTitle(QStringLiteral("Jotlark"));
    setAccessibleName(QStringLiteral("标题菜单"));
    connect(this, &LabelMenu::itemClicked, this, &Tmenu::choose);
}

void Tmenu::choose(int index) {
    switch (index) {
    case Move:
        close();
        m_boxes.show(m_board, QStringLiteral("左键拖动标题栏即可移动窗口!"), Box::Notice, Box::Information);
        break;
    case Settings:
        close();
        m_host.openSettings();
        break;
    case About:
        m_boxes.show(this, kAboutText, Box::KindNotice, Box::Information);
        break;
    case Exit:
        if (m_boxes.show(this, QStringLiteral("您确定要退出吗？"), Box::ExitTitle, Box::YesNo) == Box::Yes)
            m_host.exitProgram();
        else
            close();
        break;
    default:
        close();
        break;
    }
}
