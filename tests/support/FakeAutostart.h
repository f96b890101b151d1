#pragma once
// A start-up entry that records every request and can be told to fail.
#include "ui/Autostart.h"

#include <QList>

class FakeAutostart : public Autostart {
public:
    bool apply(bool enabled, QString* error) override {
        calls.append(enabled);
        if (failWith.isEmpty()) {
            state = enabled;
            return true;
        }
        if (error)
            *error = failWith;
        return false;
    }

    QList<bool> calls;  // the value of every apply()
    QString failWith;   // when set, apply() fails with this reason
    bool state = false; // the state last applied with success
};
