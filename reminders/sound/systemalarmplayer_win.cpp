#include "reminders/sound/MciAlarmPlayer.h"
#include "reminders/sound/SystemAlarmPlayer.h"

#include <windows.h>

// After windows.h, whose types it uses.
#include <mmsystem.h>

std::unique_ptr<AlarmPlayer> makeSystemAlarmPlayer() {
    // No return text, no callback window.
    return std::make_unique<MciAlarmPlayer>(
        [](const QByteArray& command) -> unsigned long {
            return mciSendStringA(command.constData(), nullptr, 0, nullptr);
        },
        [](const QString& command) -> unsigned long {
            return mciSendStringW(reinterpret_cast<const wchar_t*>(command.utf16()), nullptr, 0, nullptr);
        });
}
