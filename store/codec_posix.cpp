#include "store/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

// ICU's GB18030 through Qt's converters. encodingForName() does not know the
// name, so the converters are built from it and checked.
namespace {
const char kCodecName[] = "GB18030";
} // namespace

QByteArray encodeText(const QString& text) {
    QStringEncoder encode(kCodecName);
    if (!encode.isValid()) {
        qWarning("GB18030 encoder unavailable; writing UTF-8");
        return text.toUtf8();
    }
    return encode(text);
}

QString decodeText(const QByteArray& bytes) {
    QStringDecoder decode(kCodecName);
    if (!decode.isValid()) {
        qWarning("GB18030 decoder unavailable; reading UTF-8");
        return QString::fromUtf8(bytes);
    }
    return decode(bytes);
}
