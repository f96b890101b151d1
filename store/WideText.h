#pragma once
// Windows only: a QString as the NUL-terminated wide string the W functions take
// (wchar_t is UTF-16 there), valid for as long as the string lives unchanged.
#include <QString>

inline const wchar_t* wide(const QString& s) {
    return reinterpret_cast<const wchar_t*>(s.utf16());
}
