#include "store/Numbers.h"

#include <limits>

std::int32_t toInt32(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::int32_t(value) : 0;
}

std::int16_t toInt16(const QString& text) {
    bool ok = false;
    const short value = text.trimmed().toShort(&ok, 10);
    return ok ? std::int16_t(value) : 0;
}
