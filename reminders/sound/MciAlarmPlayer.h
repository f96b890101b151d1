#pragma once
// AlarmPlayer over the multimedia command strings of Windows (mciSendStringA).
// The command function is injected so that the strings can be checked anywhere;
// makeSystemAlarmPlayer() on Windows hands in the real call. Every command runs on
// the calling thread; "play" returns at once while the sound goes on.
#include "reminders/sound/AlarmPlayer.h"

#include <QByteArray>
#include <functional>

class MciAlarmPlayer : public AlarmPlayer {
public:
    // Sends one command string and returns its result code, 0 for success.
    using SendCommand = std::function<unsigned long(const QByteArray& command)>;

    explicit MciAlarmPlayer(SendCommand send);

    // The system refuses a second open of an alias that is in use; false then.
    bool open(const QString& file, const QString& alias) override;
    void play(const QString& alias) override;
    void close(const QString& alias) override;

    // The command strings, in the system's ANSI code page.
    static QByteArray openCommand(const QString& file, const QString& alias);
    static QByteArray playCommand(const QString& alias);
    static QByteArray closeCommand(const QString& alias);

private:
    SendCommand m_send;
};
