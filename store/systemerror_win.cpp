#include "store/SystemError.h"

#include <windows.h>

QString systemErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, DWORD(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    QString text = length ? QString::fromWCharArray(buffer, int(length)).trimmed() : QString();
    if (buffer)
        LocalFree(buffer);
    while (text.endsWith(QChar(0x3002)) || text.endsWith(QLatin1Char('.')))
        text = text.chopped(1).trimmed();
    return text.isEmpty() ? QStringLiteral("错误 %1").arg(code) : text;
}
