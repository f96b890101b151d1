#include "reminders/QtAlarmPlayer.h"
#include "reminders/SystemAlarmPlayer.h"

std::unique_ptr<AlarmPlayer> makeSystemAlarmPlayer() {
    return std::make_unique<QtAlarmPlayer>();
}
