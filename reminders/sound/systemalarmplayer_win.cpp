#include "reminders/sound/MciAlarmPlayer.h"
#include "reminders/sound/SystemAlarmPlayer.h"

#include <mmsystem.h>
#include <windows.h>

std::unique_ptr<AlarmPlayer> makeSystemAlarmPlayer() {
    return std::make_unique<MciAlarmPlayer>([](const QByteArray& command) -> unsigned long {
        // No return text, no callback window.
        return mciSendStringA(command.constData(), nullptr, 0, nullptr);
    });
}
