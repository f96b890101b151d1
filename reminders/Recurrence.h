#pragma once
// Repeating reminders: the rule kept as key R of a reminder's section, and the
// arithmetic of the next occurrence. An occurrence is always at the reminder's
// chosen time of day; only its date moves.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

enum class Repeat { None, Daily, Workdays, Weekly, Monthly };

struct RepeatRule {
    Repeat repeat = Repeat::None;
    // Monthly: the chosen day of the month (1 to 31), kept because a month too
    // short for it moves the stored date to its last day.
    int day = 0;

    bool repeats() const { return repeat != Repeat::None; }
    bool operator==(const RepeatRule&) const = default;

    // The rule for a reminder first due on chosen: weekly keeps its weekday,
    // monthly its day.
    static RepeatRule forDate(Repeat repeat, const QDate& chosen);
    // Key R: "" (does not repeat), "daily", "workdays", "weekly" or "monthly:D"
    // with D the chosen day. Any other value reads as not repeating.
    static RepeatRule fromText(const QString& text);
    QString text() const;
    // How the editor names the rule of a reminder due on date: "每天", "工作日",
    // "每周三", "每月31日"; "" for None.
    QString label(const QDate& date) const;
};

// The first date on or after from on which the rule rings (a workday reminder
// chosen on a Saturday first rings on Monday); from itself for the other rules.
QDate firstOccurrenceDate(const RepeatRule& rule, const QDate& from);

// The date of the first occurrence after the one on anchor (the date the
// reminder rang for) whose moment, localMoment(date, time), is later than
// after: a later date the rule allows. Dates that went by while nothing checked
// are skipped, so a missed series comes back once, at its next future
// occurrence. Invalid for a rule that does not repeat or an invalid argument.
QDate nextOccurrenceDate(const RepeatRule& rule, const QDate& anchor, const QTime& time, const QDateTime& after);
