#pragma once
// The local wall clock, behind an interface so that the schedule and the editor
// can be driven by a test clock.
#include <QDateTime>

class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time.
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override;
};
