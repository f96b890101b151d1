#pragma once
// The one conversion of dates and times to text. Reminders are stored, armed and
// compared in this form, and the editor shows the current time in it.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// The date part alone, in the short-date format.
QString DateText(const QDate& date);

// The time of day with hours, minutes and seconds, in the long-time format.
QString TimeText(const QTime& time);

// DateText + " " + TimeText; a value at exactly 00:00:00 gives the date alone.
QString DateTimeText(const QDateTime& value);

struct DateTimeParts {
    QDate date;
    QTime time; // 00:00:00 for a date alone
    bool isValid() const { return date.isValid() && time.isValid(); }
};

// The date and the time of day a text names (see DateTimeFromText).
DateTimeParts DateTimePartsFromText(const QString& text);

// The moment a text names when it is DateTimeText of it, or DateText + " " +
// TimeText (how the editor composes a reminder at 00:00:00); an invalid value for
// any other text. Only texts that convert back to exactly the same text count,
// and times stored as one or two digits each joined by ':' ("08:05:00", "8:5:00").
// The moment is localMoment's.
QDateTime DateTimeFromText(const QString& text);

// The moment the local clock shows time on date. A time the clock shows twice
// (when it is set back) names the first of them; a time it skips (when it is set
// forward) names the first moment after the skipped stretch.
QDateTime localMoment(const QDate& date, const QTime& time);
