#pragma once
// Every message box of the program goes through this service, so tests can
// script the answers and record what was shown.
#include <QList>
#include <QString>

class QWidget;

namespace Box {
// Styles, as the values of the Windows message box styles they stand for.
constexpr int Information = 64; // information icon, OK
constexpr int YesNo = 4;        // Yes (default) and No, no icon
constexpr int Error = 16;       // error icon, OK
// Answers.
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;

// Titles.
inline const QString Notice = QStringLiteral("提示");
inline const QString KindNotice = QStringLiteral("温馨提示");
inline const QString SaveTitle = QStringLiteral("保存确认");
inline const QString DeleteTitle = QStringLiteral("删除确认");
inline const QString ExitTitle = QStringLiteral("退出确认");

// Failures: the first line, then on the next one the store's message naming the
// file and the reason.
inline const QString SaveFailed = QStringLiteral("保存失败！");
inline const QString DeleteFailed = QStringLiteral("删除失败！");
inline QString failure(const QString& what, const QString& reason) {
    return what + QStringLiteral("\r\n") + reason;
}
} // namespace Box

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows a modal box and returns the button pressed (Box::Ok, Box::Yes or Box::No).
    virtual int show(QWidget* parent, const QString& text, const QString& title, int style) = 0;
    // An information box with 确定 (the default button, also Enter and Esc) and
    // 稍后提醒, which offers to be reminded again after one of minutes, with
    // defaultMinutes the one first in line. Returns 0 for 确定, or the minutes
    // chosen. A service without the second button shows a plain box.
    virtual int showSnoozable(QWidget* parent, const QString& text, const QString& title, const QList<int>& minutes,
                              int defaultMinutes) {
        Q_UNUSED(minutes);
        Q_UNUSED(defaultMinutes);
        show(parent, text, title, Box::Information);
        return 0;
    }
};
