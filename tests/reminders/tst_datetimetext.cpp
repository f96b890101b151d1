#include "reminders/DateTimeText.h"

#include <QLocale>
#include <QTest>

class DateTimeTextTest : public QObject {
    Q_OBJECT

private slots:
    void conversion_writesShortDateAndLongTime_data() {
        QTest::addColumn<QDateTime>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("single digits") << QDateTime(QDate(2024, 5, 1), QTime(8, 5, 0)) << "2024/5/1 8:05:00";
        QTest::newRow("two digits") << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)) << "2024/12/31 23:59:59";
        QTest::newRow("midnight is the date alone") << QDateTime(QDate(2024, 5, 2), QTime(0, 0, 0)) << "2024/5/2";
        QTest::newRow("a second after midnight") << QDateTime(QDate(2024, 5, 2), QTime(0, 0, 1)) << "2024/5/2 0:00:01";
        QTest::newRow("milliseconds are dropped") << QDateTime(QDate(2024, 5, 2), QTime(0, 0, 0, 999)) << "2024/5/2";
    }
    void conversion_writesShortDateAndLongTime() {
        QFETCH(QDateTime, value);
        QFETCH(QString, text);
        QCOMPARE(DateTimeText(value), text);
    }

    void parts_useTheSameFormatsAsTheWhole() {
        const QDateTime value(QDate(2031, 1, 9), QTime(7, 0, 3));
        QCOMPARE(DateText(value.date()) + u' ' + TimeText(value.time()), DateTimeText(value));
        QCOMPARE(TimeText(QTime(0, 0, 0)), QStringLiteral("0:00:00"));
        QCOMPARE(DateText(QDate(1800, 1, 1)), QStringLiteral("1800/1/1"));
    }

    void fromText_readsBackOnlyWhatTheConversionWrites_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("value");
        QTest::newRow("date and time") << "2024/5/1 8:05:00" << QDateTime(QDate(2024, 5, 1), QTime(8, 5));
        QTest::newRow("date alone") << "2024/5/2" << QDateTime(QDate(2024, 5, 2), QTime(0, 0));
        QTest::newRow("as the editor writes midnight")
            << "2024/5/2 0:00:00" << QDateTime(QDate(2024, 5, 2), QTime(0, 0));
        QTest::newRow("stored with two digits") << "2024/5/1 08:05:00" << QDateTime(QDate(2024, 5, 1), QTime(8, 5));
        QTest::newRow("not a time of day") << "2024/5/1 8:65:00" << QDateTime();
        QTest::newRow("a zero too many in the date") << "2024/05/01 8:05:00" << QDateTime();
        QTest::newRow("hour 24") << "2024/5/1 24:00:00" << QDateTime();
        QTest::newRow("no date") << " 8:30:00" << QDateTime();
        QTest::newRow("no such day") << "2024/2/30 8:30:00" << QDateTime();
        QTest::newRow("trailing text") << "2024/5/1 8:05:00 x" << QDateTime();
    }
    void fromText_readsBackOnlyWhatTheConversionWrites() {
        QFETCH(QString, text);
        QFETCH(QDateTime, value);
        QCOMPARE(DateTimeFromText(text), value);
    }

    void conversion_ignoresTheProcessLocale() {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
        const QString text = DateTimeText(QDateTime(QDate(2024, 5, 1), QTime(18, 45, 9)));
        QLocale::setDefault(saved);
        QCOMPARE(text, QStringLiteral("2024/5/1 18:45:09"));
    }
};

QTEST_GUILESS_MAIN(DateTimeTextTest)
#include "tst_datetimetext.moc"
