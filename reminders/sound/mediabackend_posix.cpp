// Of the two Linux backends, ffmpeg crashes when playing without an audio device;
// gstreamer plays silently to the end.
#include "reminders/sound/MediaBackend.h"

#include <QByteArray>
#include <QtGlobal>

void pinMediaBackend() {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", QByteArray("gstreamer"));
}
