#include "reminders/sound/LazyAlarmPlayer.h"

#include <QLibrary>

LazyAlarmPlayer::LazyAlarmPlayer(Factory make) : m_make(std::move(make)) {}

LazyAlarmPlayer::~LazyAlarmPlayer() = default;

LazyAlarmPlayer::Factory LazyAlarmPlayer::fromModule(QStringList modules) {
    return [modules = std::move(modules)]() -> std::unique_ptr<AlarmPlayer> {
        for (const QString& path : modules) {
            QLibrary module(path);
            const auto create = reinterpret_cast<CreateAlarmPlayer>(module.resolve("jotlark_create_alarm_player"));
            if (create)
                return std::unique_ptr<AlarmPlayer>(create());
        }
        return nullptr;
    };
}

AlarmPlayer* LazyAlarmPlayer::real() {
    if (!m_tried) {
        m_tried = true;
        if (m_make)
            m_real = m_make();
    }
    return m_real.get();
}

bool LazyAlarmPlayer::open(const QString& file, const QString& alias) {
    AlarmPlayer* player = real();
    return player && player->open(file, alias);
}

void LazyAlarmPlayer::play(const QString& alias) {
    if (m_real)
        m_real->play(alias);
}

void LazyAlarmPlayer::close(const QString& alias) {
    if (m_real)
        m_real->close(alias);
}

void LazyAlarmPlayer::prepare(const QString& file) {
    if (AlarmPlayer* player = real())
        player->prepare(file);
}

void LazyAlarmPlayer::release() {
    if (m_real)
        m_real->release();
}
