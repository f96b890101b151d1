#include "reminders/sound/MciAlarmPlayer.h"
#include "reminders/sound/SystemAlarmPlayer.h"

#include <windows.h>

// After windows.h, whose types it uses.
#include <mmsystem.h>

std::unique_ptr<AlarmPlayer> makeSystemAlarmPlayer() {
    return std::make_unique<MciAlarmPlayer>([](const QByteArray& command) -> unsigned long {
        // No return text, no callback window.
        return mciSendStringA(command.constData(), nullptr, 0, nullptr);
    });
}
