#include "reminders/DateTimeText.h"

#include <QList>

#include <QRegularExpression>
#include <algorithm>

QString DateTimeText(const QDateTime& value) {
    const QTime time = value.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return DateText(value.date());
    return DateText(value.date()) + u' ' + TimeText(time);
}

namespace {

// The runs of ASCII digits in text, as numbers with their lengths.
struct Number {
    int value;
    qsizetype digits;
};

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

QList<Number> numbersIn(const QString& text) {
    QList<Number> numbers;
    qsizetype i = 0;
    while (i < text.size()) {
        if (!isAsciiDigit(text.at(i))) {
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < text.size() && isAsciiDigit(text.at(i)))
            ++i;
        if (i - start > 4)
            return {}; // no part of a date or a time has more than four digits
        numbers.append({text.mid(start, i - start).toInt(), i - start});
    }
    return numbers;
}

// The date whose DateText is text. Whatever the order of year, month and day in
// the short-date format, each order is tried and the conversion itself decides.
QDate dateFromText(const QString& text) {
    const QList<Number> n = numbersIn(text);
    if (n.size() != 3)
        return {};
    static constexpr int Orders[6][3] = {{0, 1, 2}, {2, 1, 0}, {2, 0, 1}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}};
    for (const auto& order : Orders) {
        const Number& year = n[order[0]];
        QList<int> years{year.value};
        if (year.digits <= 2)
            years = {2000 + year.value, 1900 + year.value};
        for (int y : years) {
            const QDate date(y, n[order[1]].value, n[order[2]].value);
            if (date.isValid() && DateText(date) == text)
                return date;
        }
    }
    return {};
}

// The time of day whose TimeText is text: hours, minutes and seconds in this
// order, the hours on a 24- or 12-hour clock. Also the forms earlier versions
// stored: one or two digits each, joined by ':' ("08:05:00", "8:5:00").
QTime timeFromText(const QString& text) {
    const QList<Number> n = numbersIn(text);
    if (n.size() != 3)
        return {};
    static const QRegularExpression stored(QStringLiteral("^\\d{1,2}:\\d{1,2}:\\d{1,2}$"));
    if (stored.match(text).hasMatch())
        return QTime(n[0].value, n[1].value, n[2].value);
    for (int hour : {n[0].value, n[0].value + 12, n[0].value - 12}) {
        const QTime time(hour, n[1].value, n[2].value);
        if (time.isValid() && TimeText(time) == text)
            return time;
    }
    return {};
}

// The first instant in [from, to] (seconds since the epoch) at which the local
// clock runs with offset, given that it does at to.
qint64 firstWithOffset(qint64 from, qint64 to, int offset) {
    while (from < to) {
        const qint64 middle = from + (to - from) / 2;
        if (QDateTime::fromSecsSinceEpoch(middle).offsetFromUtc() == offset)
            to = middle;
        else
            from = middle + 1;
    }
    return to;
}

} // namespace

QDateTime localMoment(const QDate& date, const QTime& time) {
    if (!date.isValid() || !time.isValid())
        return {};
    const QDateTime value(date, time);
    // The clock's offsets a day before and a day after tell a change of the
    // clock on that day; the time read with each offset is where it can lie.
    const int before = QDateTime(date.addDays(-1), time).offsetFromUtc();
    const int after = QDateTime(date.addDays(1), time).offsetFromUtc();
    if (before == after)
        return value;
    const qint64 wall = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    const QDateTime first = QDateTime::fromSecsSinceEpoch(wall - std::max(before, after));
    const QDateTime second = QDateTime::fromSecsSinceEpoch(wall - std::min(before, after));
    if (first.date() == date && first.time() == time)
        return first; // shown twice (or once with the larger offset): the first
    if (second.date() == date && second.time() == time)
        return second;
    // Skipped by the clock: the first moment after the gap.
    return QDateTime::fromSecsSinceEpoch(firstWithOffset(wall - after, wall - before, after));
}

DateTimeParts DateTimePartsFromText(const QString& text) {
    if (const QDate date = dateFromText(text); date.isValid())
        return {date, QTime(0, 0)};
    // The date and the time part meet at a space; either may hold spaces itself.
    for (qsizetype at = text.indexOf(u' '); at >= 0; at = text.indexOf(u' ', at + 1)) {
        const QDate date = dateFromText(text.left(at));
        if (!date.isValid())
            continue;
        const QTime time = timeFromText(text.mid(at + 1));
        if (time.isValid())
            return {date, time};
    }
    return {};
}

QDateTime DateTimeFromText(const QString& text) {
    const DateTimeParts parts = DateTimePartsFromText(text);
    return parts.isValid() ? localMoment(parts.date, parts.time) : QDateTime();
}
