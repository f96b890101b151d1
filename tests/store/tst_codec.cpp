#include "store/TextCodec.h"

#include <QFile>
#include <QTest>

// The same table of texts and bytes is checked by the Linux and the Windows
// builds, so both write and read a settings file byte for byte alike.
class CodecTest : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QFile table(QStringLiteral(":/codec-cases.txt"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        for (const QByteArray& line : table.readAll().split('\n')) {
            if (line.startsWith('#') || !line.contains('\t'))
                continue;
            const QList<QByteArray> fields = line.split('\t');
            const QString text = QString::fromUtf8(fields.at(0));
            QTest::newRow(qPrintable(text.isEmpty() ? QStringLiteral("empty") : text))
                << text << QByteArray::fromHex(fields.at(1));
        }
    }
    void roundTrip() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeText(text).toHex(' '), bytes.toHex(' '));
        QCOMPARE(decodeText(bytes), text);
    }
};

QTEST_GUILESS_MAIN(CodecTest)
#include "tst_codec.moc"
