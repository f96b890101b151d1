#include "ui/RunValue.h"

#include <QMap>
#include <QtTest>

namespace {

// A Run key as a map; a denied key refuses every write and removal.
struct FakeKey final : RunKey {
    QString name;
    QMap<QString, QString> values;
    bool denied = false;
    int writes = 0; // writes and removals attempted
    QString path() const override { return name; }
    bool holds(const QString& n) override { return values.contains(n); }
    bool write(const QString& n, const QString& data, QString* reason) override {
        ++writes;
        if (denied)
            *reason = QStringLiteral("拒绝访问");
        else
            values[n] = data;
        return !denied;
    }
    bool remove(const QString& n, QString* reason) override {
        ++writes;
        if (denied)
            *reason = QStringLiteral("拒绝访问");
        else
            values.remove(n);
        return !denied;
    }
};

} // namespace

class RunValueTest : public QObject {
    Q_OBJECT
private slots:
    void apply_data() {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QString>("before"); // which keys hold the value: "M", "U", "MU" or ""
        QTest::addColumn<bool>("denied");    // the machine's key is denied
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("done");
        QTest::addColumn<int>("writes"); // attempts, both keys
        QTest::newRow("on, allowed") << true << "" << false << "M" << true << 1;
        QTest::newRow("on, allowed, old user value dropped") << true << "U" << false << "M" << true << 2;
        QTest::newRow("on, denied: the user's key") << true << "" << true << "U" << true << 2;
        QTest::newRow("off, both removed") << false << "MU" << false << "" << true << 2;
        QTest::newRow("off, denied, only the user's") << false << "U" << true << "" << true << 1;
        QTest::newRow("off, nothing there, nothing opened") << false << "" << true << "" << true << 0;
        QTest::newRow("off, denied machine value stays") << false << "MU" << true << "M" << false << 2;
    }
    void apply() {
        QFETCH(bool, enabled);
        QFETCH(QString, before);
        QFETCH(bool, denied);
        FakeKey machine, user;
        machine.name = QStringLiteral("HKLM");
        user.name = QStringLiteral("HKCU");
        machine.denied = denied;
        if (before.contains('M'))
            machine.values["jotlark"] = "old";
        if (before.contains('U'))
            user.values["jotlark"] = "old";
        QString error;
        const bool done = applyRunValue(machine, user, "jotlark", "\"C:\\j.exe\"", enabled, &error);
        QTEST(done, "done");
        QTEST(QString(machine.values.isEmpty() ? "" : "M") + (user.values.isEmpty() ? "" : "U"), "after");
        QTEST(machine.writes + user.writes, "writes");
        if (!done)
            QCOMPARE(error, QStringLiteral("HKLM\\jotlark：拒绝访问"));
        if (enabled)
            QCOMPARE((machine.values.value("jotlark") + user.values.value("jotlark")), QStringLiteral("\"C:\\j.exe\""));
    }

    void on_bothDenied_namesBothKeys() {
        FakeKey machine, user;
        machine.name = QStringLiteral("HKLM");
        user.name = QStringLiteral("HKCU");
        machine.denied = user.denied = true;
        QString error;
        QVERIFY(!applyRunValue(machine, user, "jotlark", "x", true, &error));
        QCOMPARE(error, QStringLiteral("HKLM\\jotlark：拒绝访问\r\nHKCU\\jotlark：拒绝访问"));
    }
};

QTEST_GUILESS_MAIN(RunValueTest)
#include "tst_runvalue.moc"
