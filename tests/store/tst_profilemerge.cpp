#include "store/ProfileMerge.h"
#include "store/SettingsStore.h"
#include "tests/support/TestSupport.h"

#include <QtTest>

namespace {

// "section/key=text" lines into a snapshot.
ProfileSnapshot snapshot(const QStringList& lines) {
    ProfileSnapshot s;
    for (const QString& line : lines) {
        const qsizetype slash = line.indexOf(u'/');
        const qsizetype eq = line.indexOf(u'=');
        insertValue(s, line.left(slash), line.mid(slash + 1, eq - slash - 1), line.mid(eq + 1));
    }
    return s;
}

QStringList described(const ProfileMergeResult& r) {
    QStringList out;
    for (const ProfileValue& v : r.takeTheirs)
        out << QStringLiteral("take ") + v.section + u'/' + v.key + u'=' + v.text;
    for (const MergeConflict& c : r.conflicts)
        out << QStringLiteral("conflict ") + c.section + u'/' + c.key + u'=' + c.ours + u'|' + c.theirs;
    return out;
}

} // namespace

class ProfileMergeTest : public QObject {
    Q_OBJECT
private slots:
    void mergesKeyByKey_data();
    void mergesKeyByKey();
    void conflictCopyNames_data();
    void conflictCopyNames();
    void storeMerge_takesTheirChangesAndKeepsOwnLaterWrites();
};

void ProfileMergeTest::mergesKeyByKey_data() {
    QTest::addColumn<QStringList>("base");
    QTest::addColumn<QStringList>("ours");
    QTest::addColumn<QStringList>("theirs");
    QTest::addColumn<QStringList>("expected");
    const QStringList base = {"Main/3=old", "Main/5=", "3/D="};
    QTest::newRow("nothing changed") << base << base << base << QStringList();
    QTest::newRow("ours changed") << base << QStringList{"Main/3=mine", "Main/5=", "3/D="} << base << QStringList();
    QTest::newRow("theirs changed") << base << base << QStringList{"Main/3=old", "Main/5=new", "3/D="}
                                    << QStringList{"take Main/5=new"};
    QTest::newRow("both changed alike") << base << QStringList{"Main/3=same", "Main/5=", "3/D="}
                                        << QStringList{"Main/3=same", "Main/5=", "3/D="} << QStringList();
    QTest::newRow("both changed") << base << QStringList{"Main/3=mine", "Main/5=", "3/D="}
                                  << QStringList{"Main/3=theirs", "Main/5=b", "3/D="}
                                  << QStringList{"take Main/5=b", "conflict Main/3=mine|theirs"};
    QTest::newRow("key added") << base << base << QStringList{"Main/3=old", "Main/5=", "3/D=", "Main/6=six"}
                               << QStringList{"take Main/6=six"};
    QTest::newRow("key removed") << base << base << QStringList{"Main/5=", "3/D="} << QStringList{"take Main/3="};
    QTest::newRow("key removed, changed here")
        << base << QStringList{"Main/3=mine", "Main/5=", "3/D="} << QStringList{"Main/5=", "3/D="}
        << QStringList{"conflict Main/3=mine|"};
    QTest::newRow("section added") << base << base
                                   << QStringList{"Main/3=old", "Main/5=", "3/D=", "4/D=2025/1/2", "4/T=8:30:00"}
                                   << QStringList{"take 4/D=2025/1/2", "take 4/T=8:30:00"};
    QTest::newRow("names without regard to case")
        << base << base << QStringList{"MAIN/3=old", "main/5=", "3/d="} << QStringList();
}

void ProfileMergeTest::mergesKeyByKey() {
    QFETCH(QStringList, base);
    QFETCH(QStringList, ours);
    QFETCH(QStringList, theirs);
    QFETCH(QStringList, expected);
    QCOMPARE(described(mergeProfiles(snapshot(base), snapshot(ours), snapshot(theirs))), expected);
}

void ProfileMergeTest::conflictCopyNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("isCopy");
    QTest::newRow("syncthing") << "AT.sync-conflict-20240131-235959-ABCDE7Q.ini" << true;
    QTest::newRow("nextcloud") << "AT (conflicted copy 2024-01-31 235959).ini" << true;
    QTest::newRow("nextcloud old") << "AT_conflict-20240131-235959.ini" << true;
    QTest::newRow("dropbox") << "AT (Laptop's conflicted copy 2024-01-31).ini" << true;
    QTest::newRow("the file") << "AT.ini" << false;
    QTest::newRow("a temporary file") << "AT.ini.jotlark123.abcdef" << false;
    QTest::newRow("syncthing temporary") << ".syncthing.AT.ini.tmp" << false;
    QTest::newRow("another file's copy") << "BT.sync-conflict-20240131-235959-ABCDE7Q.ini" << false;
}

void ProfileMergeTest::conflictCopyNames() {
    QFETCH(QString, name);
    QFETCH(bool, isCopy);
    QCOMPARE(isConflictCopyName(name, QStringLiteral("AT.ini")), isCopy);
}

// A copy holding a text this board stored earlier (and that already reached the
// other machine) does not undo a later store; a key the other side changed is taken.
void ProfileMergeTest::storeMerge_takesTheirChangesAndKeepsOwnLaterWrites() {
    TempFolder dir;
    const QString file = dir.path("AT.ini");
    QVERIFY(writeAll(file, defaultSettingsBytes()));
    SettingsStore store(file);
    store.remember();
    QVERIFY(store.setValue("Main", "3", "first"));
    const QString copy = dir.path("AT.sync-conflict-20240131-235959-ABCDE7Q.ini");
    QVERIFY(QFile::copy(file, copy));
    QVERIFY(store.setValue("Main", "3", "second"));
    SettingsStore other(copy);
    QVERIFY(other.setValue("Main", "5", "from the laptop"));
    QVERIFY(other.setValue("Main", "2", "laptop's two"));
    QVERIFY(store.setValue("Main", "2", "desktop's two"));

    QList<MergeConflict> conflicts;
    QVERIFY(store.mergeConflictCopy(copy, &conflicts));
    QCOMPARE(store.value("Main", "3"), QStringLiteral("second"));
    QCOMPARE(store.value("Main", "5"), QStringLiteral("from the laptop"));
    QCOMPARE(store.value("Main", "2"), QStringLiteral("desktop's two"));
    QCOMPARE(conflicts.size(), 1);
    QCOMPARE(conflicts[0].key, QStringLiteral("2"));
    QCOMPARE(conflicts[0].theirs, QStringLiteral("laptop's two"));
}

QTEST_GUILESS_MAIN(ProfileMergeTest)
#include "tst_profilemerge.moc"
