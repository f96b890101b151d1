#include "ui/Themes.h"

#include <QTest>

class ThemesTest : public QObject {
    Q_OBJECT
private slots:
    void themeNumber_readsDecimalNumbers_data() {
        QTest::addColumn<QString>("c1");
        QTest::addColumn<int>("expected"); // 0: no theme
        QTest::newRow("1") << "1" << 1;
        QTest::newRow("4") << "4" << 4;
        QTest::newRow("2.0") << "2.0" << 2;
        QTest::newRow("2.5") << "2.5" << 0;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("5") << "5" << 0;
        QTest::newRow("-1") << "-1" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("text") << "blue" << 0;
        QTest::newRow("design caption") << "Color1" << 0;
        QTest::newRow("nan") << "nan" << 0;
    }
    void themeNumber_readsDecimalNumbers() {
        QFETCH(QString, c1);
        QFETCH(int, expected);
        QCOMPARE(themeNumber(c1).value_or(0), expected);
        QCOMPARE(themeFor(c1) != nullptr, expected != 0);
    }

    void everyTheme_hasItsColours() {
        QCOMPARE(themeByNumber(1)->strip, Bgr(0x0080FF));
        QCOMPARE(themeByNumber(2)->light, Bgr(0xFFFFC0));
        QCOMPARE(themeByNumber(4)->stripText, Bgr(0x000000));
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(themeByNumber(n)->hover, Bgr(0xFFFFFF));
        QCOMPARE(&initialTheme(), themeByNumber(1));
    }

    void theme3_hasWhiteStripText() {
        // Switching to theme 3 must give the same title colour as starting in it.
        QCOMPARE(themeByNumber(3)->stripText, Bgr(0xFFFFFF));
    }
};

QTEST_APPLESS_MAIN(ThemesTest)
#include "tst_themes.moc"
