#include "reminders/sound/MciAlarmPlayer.h"

#include <QDebug>
#include <utility>

MciAlarmPlayer::MciAlarmPlayer(SendCommand send, SendWideCommand sendWide)
    : m_send(std::move(send)), m_sendWide(std::move(sendWide)) {}

// The path sits between two quotes with one space inside each, as the program has
// always sent it: open " C:\DI.mp3 " alias OpenFile type MPEGVideo
QByteArray MciAlarmPlayer::openCommand(const QString& file, const QString& alias) {
    return QByteArray("open \" ") + file.toLocal8Bit() + QByteArray(" \" alias ") + alias.toLocal8Bit() +
           QByteArray(" type MPEGVideo");
}

QString MciAlarmPlayer::plainOpenCommand(const QString& file, const QString& alias) {
    return QStringLiteral("open \"%1\" alias %2 type MPEGVideo").arg(file, alias);
}

QByteArray MciAlarmPlayer::playCommand(const QString& alias) {
    return QByteArray("play ") + alias.toLocal8Bit();
}

QByteArray MciAlarmPlayer::closeCommand(const QString& alias) {
    return QByteArray("close ") + alias.toLocal8Bit();
}

unsigned long MciAlarmPlayer::checked(const QByteArray& command, unsigned long result) {
    if (result != 0)
        qWarning().noquote() << "MCI:" << QString::fromLocal8Bit(command) << "failed with error" << result;
    return result;
}

// Some MCI versions (Wine's among them) take the blanks inside the quotes as part
// of the path and refuse the file (error 277); the second try sends the bare path,
// as wide characters, so that any per-user path opens.
bool MciAlarmPlayer::open(const QString& file, const QString& alias) {
    const QByteArray command = openCommand(file, alias);
    const unsigned long result = checked(command, m_send(command));
    if (result == 0)
        return true;
    if (result == DuplicateAlias)
        return false;
    const QString second = plainOpenCommand(file, alias);
    return checked(second.toUtf8(), m_sendWide(second)) == 0;
}

void MciAlarmPlayer::play(const QString& alias) {
    const QByteArray command = playCommand(alias);
    checked(command, m_send(command));
}

void MciAlarmPlayer::close(const QString& alias) {
    const QByteArray command = closeCommand(alias);
    checked(command, m_send(command));
}
