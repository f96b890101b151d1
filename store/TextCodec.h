#pragma once
// The settings file's text encoding: code page 936's bytes (GBK, and the single
// byte 0x80 for the euro sign) for every character code page 936 has, GB18030's
// four-byte forms for every other one. Decoding reads a lone 0x80 as the euro
// sign and GB18030's A2 E3 as the euro sign too. One implementation per system
// (ICU through QStringEncoder, or the Windows code pages).
#include <QByteArray>
#include <QString>

QByteArray encodeText(const QString& text);
QString decodeText(const QByteArray& bytes);
