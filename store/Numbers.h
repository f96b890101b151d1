#pragma once
// Conversions of settings values to numbers. Values that are empty or not
// integers count as 0; values outside the type's range count as 0 too.
#include <QString>
#include <cstdint>

std::int32_t toInt32(const QString& text);
std::int16_t toInt16(const QString& text);
