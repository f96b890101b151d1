#include "store/TextCodec.h"

#include <windows.h>

// The system's GB18030 code page, a superset of GBK (936) with the same bytes for
// every GBK character.
namespace {
constexpr UINT kCodePage = 54936;
} // namespace

QByteArray encodeText(const QString& text) {
    if (text.isEmpty())
        return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int length = int(text.size());
    const int needed = WideCharToMultiByte(kCodePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    QByteArray bytes(needed, Qt::Uninitialized);
    WideCharToMultiByte(kCodePage, 0, wide, length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

QString decodeText(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return {};
    const int length = int(bytes.size());
    const int needed = MultiByteToWideChar(kCodePage, 0, bytes.constData(), length, nullptr, 0);
    if (needed <= 0)
        return {};
    QString text(needed, Qt::Uninitialized);
    MultiByteToWideChar(kCodePage, 0, bytes.constData(), length, reinterpret_cast<wchar_t*>(text.data()), needed);
    return text;
}
