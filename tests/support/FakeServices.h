#pragma once
// A clock set by hand and a sound player that records every call.
#include "reminders/Clock.h"
#include "reminders/sound/AlarmPlayer.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>

class FakeClock : public Clock {
public:
    explicit FakeClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& value) { m_now = value; }
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};

class FakePlayer : public AlarmPlayer {
public:
    bool open(const QString& file, const QString& alias) override {
        calls << QStringLiteral("open %1 %2").arg(alias, file);
        if (m_open.contains(alias))
            return false;
        m_open.insert(alias);
        return true;
    }
    void play(const QString& alias) override { calls << QStringLiteral("play ") + alias; }
    void close(const QString& alias) override {
        calls << QStringLiteral("close ") + alias;
        m_open.remove(alias);
    }
    void prepare(const QString& file) override { prepared << file; }
    void release() override { ++released; }
    bool isOpen(const QString& alias) const { return m_open.contains(alias); }

    QStringList calls;
    QStringList prepared; // files, in order; kept apart from calls
    int released = 0;

private:
    QSet<QString> m_open;
};
