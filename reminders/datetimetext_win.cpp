// The user's short-date and long-time formats, as the system formats them.
#include "reminders/DateTimeText.h"

#include <windows.h>

namespace {

constexpr int BufferSize = 128;

QString fromBuffer(const wchar_t* buffer, int written) {
    // The count includes the terminating NUL; 0 means the call failed.
    return written > 0 ? QString::fromWCharArray(buffer, written - 1) : QString();
}

} // namespace

QString DateText(const QDate& date) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(date.year());
    st.wMonth = static_cast<WORD>(date.month());
    st.wDay = static_cast<WORD>(date.day());
    st.wDayOfWeek = static_cast<WORD>(date.dayOfWeek() % 7);
    wchar_t buffer[BufferSize];
    const int written =
        GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer, BufferSize, nullptr);
    return fromBuffer(buffer, written);
}

QString TimeText(const QTime& time) {
    SYSTEMTIME st{};
    st.wYear = 2000;
    st.wMonth = 1;
    st.wDay = 1;
    st.wHour = static_cast<WORD>(time.hour());
    st.wMinute = static_cast<WORD>(time.minute());
    st.wSecond = static_cast<WORD>(time.second());
    wchar_t buffer[BufferSize];
    // Flags 0: the user's long-time format, with seconds.
    const int written = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, buffer, BufferSize);
    return fromBuffer(buffer, written);
}
