#pragma once
// Test doubles for the reminder schedule and editor: a store that records every
// call (and can fail from a given write on), and a main window whose alarm box
// runs a hook instead of waiting for the user. The clock and the player are those
// of tests/support/FakeServices.h.
#include "reminders/ReminderHost.h"
#include "reminders/ReminderStore.h"
#include "tests/support/FakeServices.h"

#include <QMap>
#include <QSet>
#include <QStringList>

#include <functional>

class FakeStore : public ReminderStore {
public:
    QString read(const QString& section, const QString& key) const override {
        return values.value(section + u'/' + key);
    }
    bool write(const QString& section, const QString& key, const QString& value) override {
        writes << section + u'/' + key + u'=' + value;
        if (failAfter >= 0 && writes.size() > failAfter)
            return false;
        values[section + u'/' + key] = value;
        return true;
    }
    QString lastError() const override { return QStringLiteral("AT.ini: disk full"); }
    void put(int slot, const QString& d, const QString& t) {
        values[QString::number(slot) + QStringLiteral("/D")] = d;
        values[QString::number(slot) + QStringLiteral("/T")] = t;
    }
    bool has(int slot, const QString& key) const { return values.contains(QString::number(slot) + u'/' + key); }
    QString get(int slot, const QString& key) const { return values.value(QString::number(slot) + u'/' + key); }

    QMap<QString, QString> values; // "section/key" -> value
    QStringList writes;            // "section/key=value", in order (failed ones too)
    int failAfter = -1;            // when >= 0, every write after that many fails
};

class FakeHost : public ReminderHost {
public:
    QString noteText(int slot) const override { return notes.value(slot); }
    int showAlarm(const QString& text) override {
        shown << text;
        if (onShow)
            onShow(text);
        return snoozes.isEmpty() ? 0 : snoozes.takeFirst();
    }

    void showClearFailure(const QString& reason) override { failures << reason; }
    void showSnoozeFailure(const QString& reason) override { failures << reason; }

    QMap<int, QString> notes;
    QStringList shown;
    QStringList failures;
    QList<int> snoozes; // answers of the alarm boxes to come: minutes, or 0 for 确定
    std::function<void(const QString&)> onShow;
};
