#include "reminders/Clock.h"

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}
