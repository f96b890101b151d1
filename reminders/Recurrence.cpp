#include "reminders/Recurrence.h"

#include "reminders/DateTimeText.h"

#include <QStringList>

#include <algorithm>

namespace {

const QString DailyText = QStringLiteral("daily");
const QString WorkdaysText = QStringLiteral("workdays");
const QString WeeklyText = QStringLiteral("weekly");
const QString MonthlyText = QStringLiteral("monthly");

// The search starts next to the answer (a few days or months before it); this
// only bounds it for dates at the ends of the calendar.
constexpr int SearchLimit = 1000;

bool isWorkday(const QDate& date) {
    return date.dayOfWeek() <= 5;
}

// The date of a monthly reminder in the month of year/month: its day, or the
// month's last day when the month is shorter.
QDate monthlyDate(int year, int month, int day) {
    const QDate first(year, month, 1);
    return QDate(year, month, std::min(day, first.daysInMonth()));
}

} // namespace

RepeatRule RepeatRule::forDate(Repeat repeat, const QDate& chosen) {
    return {repeat, repeat == Repeat::Monthly ? chosen.day() : 0};
}

RepeatRule RepeatRule::fromText(const QString& text) {
    const QString value = text.trimmed().toLower();
    if (value == DailyText)
        return {Repeat::Daily};
    if (value == WorkdaysText)
        return {Repeat::Workdays};
    if (value == WeeklyText)
        return {Repeat::Weekly};
    if (value.startsWith(MonthlyText + u':')) {
        bool ok = false;
        const int day = value.mid(MonthlyText.size() + 1).toInt(&ok);
        if (ok && day >= 1 && day <= 31)
            return {Repeat::Monthly, day};
    }
    return {};
}

QString RepeatRule::text() const {
    switch (repeat) {
    case Repeat::Daily:
        return DailyText;
    case Repeat::Workdays:
        return WorkdaysText;
    case Repeat::Weekly:
        return WeeklyText;
    case Repeat::Monthly:
        return MonthlyText + u':' + QString::number(day);
    case Repeat::None:
        break;
    }
    return {};
}

QString RepeatRule::label(const QDate& date) const {
    switch (repeat) {
    case Repeat::Daily:
        return QStringLiteral("每天");
    case Repeat::Workdays:
        return QStringLiteral("工作日");
    case Repeat::Weekly:
        return date.isValid() ? QStringLiteral("每周") + QStringLiteral("一二三四五六日").at(date.dayOfWeek() - 1)
                              : QStringLiteral("每周");
    case Repeat::Monthly:
        return QStringLiteral("每月%1日").arg(day);
    case Repeat::None:
        break;
    }
    return {};
}

QDate firstOccurrenceDate(const RepeatRule& rule, const QDate& from) {
    QDate date = from;
    if (rule.repeat == Repeat::Workdays)
        while (date.isValid() && !isWorkday(date))
            date = date.addDays(1);
    return date;
}

QDate nextOccurrenceDate(const RepeatRule& rule, const QDate& anchor, const QTime& time, const QDateTime& after) {
    if (!rule.repeats() || !anchor.isValid() || !time.isValid() || !after.isValid())
        return {};
    if (rule.repeat == Repeat::Monthly) {
        // From the month after the anchor's, or the month before after's when
        // that is later: every month between rang or was missed.
        QDate month = QDate(anchor.year(), anchor.month(), 1).addMonths(1);
        const QDate late = QDate(after.date().year(), after.date().month(), 1).addMonths(-1);
        month = std::max(month, late);
        for (int n = 0; n < SearchLimit && month.isValid(); ++n, month = month.addMonths(1)) {
            const QDate date = monthlyDate(month.year(), month.month(), rule.day);
            if (localMoment(date, time) > after)
                return date;
        }
        return {};
    }
    QDate date = std::max(anchor.addDays(1), after.date().addDays(-1));
    for (int n = 0; n < SearchLimit && date.isValid(); ++n, date = date.addDays(1)) {
        if (rule.repeat == Repeat::Workdays && !isWorkday(date))
            continue;
        if (rule.repeat == Repeat::Weekly && date.dayOfWeek() != anchor.dayOfWeek())
            continue;
        if (localMoment(date, time) > after)
            return date;
    }
    return {};
}
