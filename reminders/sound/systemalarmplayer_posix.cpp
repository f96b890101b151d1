#include "reminders/sound/LazyAlarmPlayer.h"
#include "reminders/sound/SystemAlarmPlayer.h"

#include <QCoreApplication>

// The Qt Multimedia player, loaded from its module when a reminder is near.
std::unique_ptr<AlarmPlayer> makeSystemAlarmPlayer() {
    const QString folder = QCoreApplication::applicationDirPath();
    return std::make_unique<LazyAlarmPlayer>(LazyAlarmPlayer::fromModule(
        {folder + QStringLiteral("/jotlark_qtplayer"), folder + QStringLiteral("/../lib/jotlark/jotlark_qtplayer")}));
}
