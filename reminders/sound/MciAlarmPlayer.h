#pragma once
// AlarmPlayer over the multimedia command strings of Windows (mciSendStringA, and
// mciSendStringW for the second try at opening). The command functions are
// injected so that the strings can be checked anywhere; makeSystemAlarmPlayer()
// on Windows hands in the real calls. Every command runs on the calling thread;
// "play" returns at once while the sound goes on.
#include "reminders/sound/AlarmPlayer.h"

#include <QByteArray>
#include <functional>

class MciAlarmPlayer : public AlarmPlayer {
public:
    // Sends one command string and returns its result code, 0 for success.
    using SendCommand = std::function<unsigned long(const QByteArray& command)>;
    using SendWideCommand = std::function<unsigned long(const QString& command)>;

    MciAlarmPlayer(SendCommand send, SendWideCommand sendWide);

    // The system refuses a second open of an alias that is in use; false then.
    bool open(const QString& file, const QString& alias) override;
    void play(const QString& alias) override;
    void close(const QString& alias) override;

    // The command strings, in the system's ANSI code page.
    static QByteArray openCommand(const QString& file, const QString& alias);
    static QByteArray playCommand(const QString& alias);
    static QByteArray closeCommand(const QString& alias);
    // The second try: the path in plain quotes, as wide characters.
    static QString plainOpenCommand(const QString& file, const QString& alias);

    // The system's answer to opening an alias that is already open.
    static constexpr unsigned long DuplicateAlias = 289;

private:
    unsigned long checked(const QByteArray& command, unsigned long result);

    SendCommand m_send;
    SendWideCommand m_sendWide;
};
