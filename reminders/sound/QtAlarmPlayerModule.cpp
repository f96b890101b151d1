// The loadable module of the Qt Multimedia player, for LazyAlarmPlayer::fromModule.
#include "reminders/sound/QtAlarmPlayer.h"

extern "C" Q_DECL_EXPORT AlarmPlayer* jotlark_create_alarm_player() {
    return new QtAlarmPlayer;
}
