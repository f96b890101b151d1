#include "reminders/sound/QtAlarmPlayer.h"

#include "reminders/sound/MediaBackend.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QUrl>

QtAlarmPlayer::QtAlarmPlayer() {
    pinMediaBackend();
}

QtAlarmPlayer::~QtAlarmPlayer() {
    for (auto& [alias, sound] : m_sounds)
        sound.player->stop();
}

QtAlarmPlayer::Sound QtAlarmPlayer::load(const QString& absoluteFile) {
    Sound sound;
    sound.output = std::make_unique<QAudioOutput>();
    sound.player = std::make_unique<QMediaPlayer>();
    sound.player->setAudioOutput(sound.output.get());
    sound.player->setSource(QUrl::fromLocalFile(absoluteFile));
    return sound;
}

bool QtAlarmPlayer::open(const QString& file, const QString& alias) {
    if (m_sounds.count(alias) != 0 || !QFileInfo(file).isFile())
        return false;
    const QString absolute = QFileInfo(file).absoluteFilePath();
    Sound sound;
    if (m_prepared.player && m_preparedFile == absolute) {
        sound = std::move(m_prepared);
        m_preparedFile.clear();
    } else {
        sound = load(absolute);
    }
    m_sounds.emplace(alias, std::move(sound));
    return true;
}

void QtAlarmPlayer::prepare(const QString& file) {
    if (m_prepared.player || !m_sounds.empty() || !QFileInfo(file).isFile())
        return;
    m_preparedFile = QFileInfo(file).absoluteFilePath();
    m_prepared = load(m_preparedFile);
}

void QtAlarmPlayer::release() {
    m_prepared.player.reset();
    m_prepared.output.reset();
    m_preparedFile.clear();
}

void QtAlarmPlayer::play(const QString& alias) {
    const auto it = m_sounds.find(alias);
    if (it != m_sounds.end())
        it->second.player->play();
}

void QtAlarmPlayer::close(const QString& alias) {
    const auto it = m_sounds.find(alias);
    if (it == m_sounds.end())
        return;
    it->second.player->stop();
    m_sounds.erase(it);
}

const QMediaPlayer* QtAlarmPlayer::mediaPlayer(const QString& alias) const {
    const auto it = m_sounds.find(alias);
    return it == m_sounds.end() ? nullptr : it->second.player.get();
}
