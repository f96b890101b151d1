#pragma once
// AlarmPlayer over QMediaPlayer and QAudioOutput. A missing file is refused by
// open(); a file that cannot be decoded, or a machine without an audio device,
// only leaves the player silent. Needs a running event loop to make sound.
#include "reminders/sound/AlarmPlayer.h"

#include <map>
#include <memory>

class QAudioOutput;
class QMediaPlayer;

class QtAlarmPlayer : public AlarmPlayer {
public:
    QtAlarmPlayer();
    ~QtAlarmPlayer() override;

    bool open(const QString& file, const QString& alias) override;
    void play(const QString& alias) override;
    void close(const QString& alias) override;
    // Creates the player for file ahead of time, unless a sound is open already.
    void prepare(const QString& file) override;
    void release() override;

    // The player behind alias, or nullptr when the alias is not open.
    const QMediaPlayer* mediaPlayer(const QString& alias) const;
    // Whether a prepared player waits for its open().
    bool hasPrepared() const { return m_prepared.player != nullptr; }

private:
    struct Sound {
        // Declared first, destroyed last: the player refers to its output.
        std::unique_ptr<QAudioOutput> output;
        std::unique_ptr<QMediaPlayer> player;
    };
    static Sound load(const QString& absoluteFile);

    std::map<QString, Sound> m_sounds;
    // Made by prepare() for m_preparedFile; the next open() of that file takes it.
    Sound m_prepared;
    QString m_preparedFile;
};
