#include "tests/store/fuzz/ProfileFuzz.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QtTest>

class FuzzCorpusTest : public QObject {
    Q_OBJECT
private slots:
    void seedInputs_keepEveryProfileInvariant_data();
    void seedInputs_keepEveryProfileInvariant();
};

void FuzzCorpusTest::seedInputs_keepEveryProfileInvariant_data() {
    QTest::addColumn<QByteArray>("input");
    const QDir corpus(QStringLiteral(JOTLARK_FUZZ_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY2(names.size() >= 12, "the seed corpus is missing");
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << readAll(corpus.filePath(name));
}

void FuzzCorpusTest::seedInputs_keepEveryProfileInvariant() {
    QFETCH(QByteArray, input);
    // Every suffix length moves the split between choices and content.
    for (qsizetype cut = 0; cut <= input.size(); ++cut) {
        const QByteArray part = input.first(cut);
        const QString failed =
            checkProfileInput(reinterpret_cast<const std::uint8_t*>(part.constData()), std::size_t(part.size()));
        QVERIFY2(failed.isEmpty(), qPrintable(QStringLiteral("%1 (first %2 bytes)").arg(failed).arg(cut)));
    }
}

QTEST_GUILESS_MAIN(FuzzCorpusTest)
#include "tst_fuzzcorpus.moc"
