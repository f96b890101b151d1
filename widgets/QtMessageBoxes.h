#pragma once
#include "widgets/MessageBoxes.h"

// Message boxes shown with QMessageBox: the information or error icon with 确定,
// or 是 / 否 with 是 as the default button.
class QtMessageBoxes : public MessageBoxes {
public:
    int show(QWidget* parent, const QString& text, const QString& title, int style) override;
    // 稍后提醒 opens a menu of the minutes ("5 分钟", …), the default one in bold
    // and highlighted, so Enter or a click takes it.
    int showSnoozable(QWidget* parent, const QString& text, const QString& title, const QList<int>& minutes,
                      int defaultMinutes) override;
};
