#pragma once
// The alarm player of this system: Qt Multimedia on Linux, the multimedia command
// strings (winmm) on Windows. One implementation file per system.
#include "reminders/sound/AlarmPlayer.h"

#include <memory>

std::unique_ptr<AlarmPlayer> makeSystemAlarmPlayer();
