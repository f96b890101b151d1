#pragma once
// The settings file's text encoding: GB18030, which is byte-identical to GBK for
// every GBK character and also keeps characters GBK lacks. One implementation
// per system (ICU through QStringEncoder, or the Windows code page 54936).
#include <QByteArray>
#include <QString>

QByteArray encodeText(const QString& text);
QString decodeText(const QByteArray& bytes);
