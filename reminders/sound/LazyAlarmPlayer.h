#pragma once
// An AlarmPlayer that makes the real player on first use (prepare() or open()),
// so that a process that has not rung yet keeps the sound libraries out of
// memory. When the real player cannot be made, every call does nothing: the
// alarm stays silent, as with a missing sound file.
#include "reminders/sound/AlarmPlayer.h"

#include <QStringList>

#include <functional>
#include <memory>

class LazyAlarmPlayer : public AlarmPlayer {
public:
    using Factory = std::function<std::unique_ptr<AlarmPlayer>()>;

    explicit LazyAlarmPlayer(Factory make);
    ~LazyAlarmPlayer() override;

    // A factory that loads the first of modules (paths with or without the
    // system's prefix and suffix) that loads and calls its
    // jotlark_create_alarm_player(). The module stays loaded.
    static Factory fromModule(QStringList modules);

    bool open(const QString& file, const QString& alias) override;
    void play(const QString& alias) override;
    void close(const QString& alias) override;
    void prepare(const QString& file) override;
    void release() override;

    // Whether the real player has been made (or its making tried).
    bool loaded() const { return m_tried; }

private:
    AlarmPlayer* real();

    Factory m_make;
    bool m_tried = false;
    std::unique_ptr<AlarmPlayer> m_real;
};

// The entry point jotlark_create_alarm_player() that a player module exports;
// the caller owns the player.
using CreateAlarmPlayer = AlarmPlayer* (*)();
