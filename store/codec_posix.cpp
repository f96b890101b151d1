#include "store/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

// Code page 936's bytes through ICU's GB18030: the two agree on every GBK
// character except the euro sign, which code page 936 writes as the single byte
// 0x80 (GB18030 has it at A2 E3 and no 0x80). Characters GBK lacks keep
// GB18030's four-byte forms. encodingForName() does not know the name, so the
// converters are built from it and checked.
namespace {
const char kCodecName[] = "GB18030";
const QChar kEuro(0x20AC);
} // namespace

QByteArray encodeText(const QString& text) {
    QStringEncoder encode(kCodecName);
    if (!encode.isValid()) {
        qWarning("GB18030 encoder unavailable; writing UTF-8");
        return text.toUtf8();
    }
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype euro = text.indexOf(kEuro); euro >= 0; euro = text.indexOf(kEuro, from)) {
        bytes += encode(QStringView(text).sliced(from, euro - from));
        bytes += '\x80';
        from = euro + 1;
    }
    bytes += encode(QStringView(text).sliced(from));
    return bytes;
}

QString decodeText(const QByteArray& bytes) {
    QStringDecoder probe(kCodecName);
    if (!probe.isValid()) {
        qWarning("GB18030 decoder unavailable; reading UTF-8");
        return QString::fromUtf8(bytes);
    }
    // A lone 0x80 (not the second byte of a pair) is the euro sign.
    QString text;
    qsizetype from = 0;
    auto flush = [&](qsizetype to) {
        QStringDecoder decode(kCodecName);
        text += decode(QByteArrayView(bytes).sliced(from, to - from));
    };
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = uchar(bytes[i]);
        if (b == 0x80) {
            flush(i);
            text += kEuro;
            from = ++i;
        } else if (b < 0x80 || b == 0xFF || i + 1 >= bytes.size()) {
            ++i;
        } else if (uchar(bytes[i + 1]) >= 0x30 && uchar(bytes[i + 1]) <= 0x39) {
            i += std::min<qsizetype>(4, bytes.size() - i);
        } else {
            i += 2;
        }
    }
    flush(bytes.size());
    return text;
}
