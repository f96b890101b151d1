#include "reminders/DateTimeText.h"

QString DateTimeText(const QDateTime& value) {
    const QTime time = value.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return DateText(value.date());
    return DateText(value.date()) + u' ' + TimeText(time);
}
