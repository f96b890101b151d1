// Fixed formats (the zh_CN defaults), whatever the machine's locale: the C locale
// keeps the digits ASCII.
#include "reminders/DateTimeText.h"

#include <QLocale>

QString DateText(const QDate& date) {
    return QLocale::c().toString(date, QStringLiteral("yyyy/M/d"));
}

QString TimeText(const QTime& time) {
    return QLocale::c().toString(time, QStringLiteral("H:mm:ss"));
}
