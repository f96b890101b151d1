#include "reminders/sound/MciAlarmPlayer.h"

#include <utility>

MciAlarmPlayer::MciAlarmPlayer(SendCommand send) : m_send(std::move(send)) {}

// The path sits between two quotes with one space inside each, as the program has
// always sent it: open " C:\DI.mp3 " alias OpenFile type MPEGVideo
QByteArray MciAlarmPlayer::openCommand(const QString& file, const QString& alias) {
    return QByteArray("open \" ") + file.toLocal8Bit() + QByteArray(" \" alias ") + alias.toLocal8Bit() +
           QByteArray(" type MPEGVideo");
}

QByteArray MciAlarmPlayer::playCommand(const QString& alias) {
    return QByteArray("play ") + alias.toLocal8Bit();
}

QByteArray MciAlarmPlayer::closeCommand(const QString& alias) {
    return QByteArray("close ") + alias.toLocal8Bit();
}

bool MciAlarmPlayer::open(const QString& file, const QString& alias) {
    return m_send(openCommand(file, alias)) == 0;
}

void MciAlarmPlayer::play(const QString& alias) {
    m_send(playCommand(alias));
}

void MciAlarmPlayer::close(const QString& alias) {
    m_send(closeCommand(alias));
}
