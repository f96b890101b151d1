#pragma once
// What the reminder schedule needs of the main window.
#include <QString>

#include <array>

class ReminderHost {
public:
    virtual ~ReminderHost() = default;
    // The text the note slot's label shows now (slot 1 to 6); "" for an empty slot.
    virtual QString noteText(int slot) const = 0;
    // Shows the alarm message modally, titled "提示" with the information icon, 确定
    // and 稍后提醒 offering SnoozeMinutes, and returns when the user has closed it:
    // 0 for 确定, or the minutes chosen to put the reminder off by. Timer ticks go
    // on meanwhile.
    virtual int showAlarm(const QString& text) = 0;
    // Tells the user that a fired reminder could not be cleared in the settings
    // file (reason: the store's message naming the file and the reason).
    virtual void showClearFailure(const QString& reason) = 0;
    // Tells the user that a snooze could not be kept in the settings file: it
    // still rings while the program runs.
    virtual void showSnoozeFailure(const QString& reason) = 0;

    static constexpr std::array<int, 3> SnoozeMinutes{5, 10, 30};
    static constexpr int DefaultSnoozeMinutes = 10;
};
