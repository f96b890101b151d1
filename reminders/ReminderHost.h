#pragma once
// What the reminder schedule needs of the main window.
#include <QString>

class ReminderHost {
public:
    virtual ~ReminderHost() = default;
    // The text the note slot's label shows now (slot 1 to 6); "" for an empty slot.
    virtual QString noteText(int slot) const = 0;
    // Shows the alarm message modally, titled "提示" with the information icon, and returns
    // when the user has closed it. Timer ticks go on meanwhile.
    virtual void showAlarm(const QString& text) = 0;
    // Tells the user that a fired reminder could not be cleared in the settings
    // file (reason: the store's message naming the file and the reason).
    virtual void showClearFailure(const QString& reason) = 0;
};
