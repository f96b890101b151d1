#include "app/Platform.h"

#include <QByteArray>
#include <QtGlobal>

void prepareProcessEnvironment()
{
    // The board places and docks itself on the screen, which Wayland does not allow
    // a client to do: run through XWayland there.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // The ffmpeg media backend crashes the process when no audio device exists;
    // gstreamer plays silently to the end instead.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}
