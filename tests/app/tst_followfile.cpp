#include "tests/app/BoardFixture.h"

#include "store/SettingsWatcher.h"
#include "widgets/LabelButton.h"

#include <QPlainTextEdit>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTest>

namespace {
// Generous: file notification on a loaded machine; nothing here measures time.
constexpr int kWait = 20000;

// Writes the file as sync tools do: a new file renamed over the old one.
bool renameOver(const QString& file, const QByteArray& bytes) {
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

void typeNote(Form1& form, const QString& text) {
    form.ClearPlaceholder();
    form.Text1->setPlainText(text);
}
} // namespace

class FollowFileTest : public QObject {
    Q_OBJECT
private slots:
    void renamedOver_showsTheNewFileAndLeavesTheDraft() {
        BoardFixture f;
        Form1& form = f.start();
        typeNote(form, "half-written");
        QByteArray s = defaultSettingsBytes();
        s.replace("5=\r\n", "5=from the laptop\r\n");
        s.replace("Color=1", "Color=3");
        s.replace("Out=0", "Out=1");
        s.replace("[2]\r\nD=\r\nT=\r\n", "[2]\r\nD=2026/12/8\r\nT=9:30:00\r\n");
        QVERIFY(renameOver(f.file, s));
        QTRY_COMPARE_WITH_TIMEOUT(form.slotText(5), QStringLiteral("from the laptop"), kWait);
        QCOMPARE(form.Label2[4]->text(), QStringLiteral("from the laptop"));
        QCOMPARE(form.C1, QStringLiteral("3"));
        QCOMPARE(form.Label2[0]->frameShape(), QFrame::NoFrame);
        QCOMPARE(form.reminders().D1(2), QStringLiteral("2026/12/8 9:30:00"));
        QVERIFY(form.reminders().isArmed(2));
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("half-written"));

        // The file renamed over is followed too.
        s.replace("5=from the laptop", "5=again");
        QVERIFY(renameOver(f.file, s));
        QTRY_COMPARE_WITH_TIMEOUT(form.slotText(5), QStringLiteral("again"), kWait);
    }

    void ownSave_isNotTakenForAChange() {
        BoardFixture f;
        Form1& form = f.start();
        QSignalSpy settled(form.watcher(), &SettingsWatcher::settled);
        QSignalSpy reloaded(&form, &Form1::reloadedFromFile);
        typeNote(form, "mine");
        f.boxes.answerNext(Box::Yes);
        form.StoreNote(3);
        QTRY_VERIFY_WITH_TIMEOUT(!settled.isEmpty(), kWait);
        QCOMPARE(settled.last().at(0).toBool(), false);
        QCOMPARE(reloaded.count(), 0);

        // Written in place by another program.
        QByteArray s = f.bytes();
        s.replace("6=\r\n", "6=by hand\r\n");
        QVERIFY(writeAll(f.file, s));
        QTRY_COMPARE_WITH_TIMEOUT(form.slotText(6), QStringLiteral("by hand"), kWait);
        QCOMPARE(reloaded.count(), 1);
        QCOMPARE(form.slotText(3), QStringLiteral("mine"));
    }

    // Each save reads the file afresh: storing slot 3 while another writer
    // changes the file keeps that writer's slot 5, and the confirmation names
    // the slot's text as the file has it.
    void storing_keepsAConcurrentWritersChange() {
        BoardFixture f;
        Form1& form = f.start();
        SettingsStore other(f.file);
        QVERIFY(other.setValue("Main", "3", "changed elsewhere"));
        typeNote(form, "mine");
        f.boxes.answerNext(Box::Yes);
        f.boxes.whileOpen = [&](const ShownBox& box) {
            if (box.title == QStringLiteral("保存确认"))
                QVERIFY(other.setValue("Main", "5", "laptop five"));
        };
        form.StoreNote(3);
        QVERIFY(f.boxes.shown[0].text.contains(QStringLiteral("原始内容：changed elsewhere\r\n")));
        QCOMPARE(f.store.value("Main", "3"), QStringLiteral("mine"));
        QCOMPARE(f.store.value("Main", "5"), QStringLiteral("laptop five"));
        QTRY_COMPARE_WITH_TIMEOUT(form.slotText(5), QStringLiteral("laptop five"), kWait);
        QCOMPARE(form.slotText(3), QStringLiteral("mine"));
    }

    void conflictCopy_isMergedToldOnceAndRemoved() {
        BoardFixture f;
        Form1& form = f.start();
        typeNote(form, "desk two");
        f.boxes.answerNext(Box::Yes);
        form.StoreNote(2);
        typeNote(form, "draft");
        QByteArray theirs = defaultSettingsBytes();
        theirs.replace("2=\r\n", "2=laptop two\r\n");
        theirs.replace("5=\r\n", "5=laptop five\r\n");
        const QString copy = f.folder.path("AT.sync-conflict-20261207-090000-ABCDEFG.ini");
        QVERIFY(renameOver(copy, theirs));
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(copy), kWait);
        QCOMPARE(f.store.value("Main", "2"), QStringLiteral("desk two"));
        QCOMPARE(f.store.value("Main", "5"), QStringLiteral("laptop five"));
        QCOMPARE(form.slotText(5), QStringLiteral("laptop five"));
        QCOMPARE(form.Text1->toPlainText(), QStringLiteral("draft\nlaptop two"));
        QCOMPARE(f.boxes.shown.size(), 3); // confirmation, stored, and one notice
        const ShownBox& notice = f.boxes.shown.last();
        QCOMPARE(notice.title, QStringLiteral("提示"));
        QCOMPARE(notice.style, Box::Information);
        QVERIFY(notice.text.contains(QStringLiteral("第 2 个档案")));
        QVERIFY(notice.text.contains(QStringLiteral("保留：desk two")));
        QVERIFY(notice.text.contains(QStringLiteral("另一份：laptop two")));
    }
};

QTEST_MAIN(FollowFileTest)
#include "tst_followfile.moc"
