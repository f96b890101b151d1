#include "store/SystemError.h"

#include <QTest>

#include <windows.h>

class SystemErrorTest : public QObject {
    Q_OBJECT
private slots:
    // The reason as the system words it, without its full stop; a number only
    // where the system has no text.
    void reason_isTheSystemsWords() {
        const QString denied = systemErrorText(ERROR_ACCESS_DENIED);
        QVERIFY2(!denied.contains(QStringLiteral("错误")) && !denied.endsWith(QChar(0x3002)) && !denied.endsWith('.'),
                 qPrintable(denied));
        // Windows says "拒绝访问", Wine "访问被拒绝".
        if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE)
            QVERIFY2(denied.contains(QStringLiteral("拒绝")), qPrintable(denied));
        QCOMPARE(systemErrorText(0x2000FFFF), QStringLiteral("错误 536936447"));
    }
};

QTEST_GUILESS_MAIN(SystemErrorTest)
#include "tst_systemerror_win.moc"
