#include "ui/Themes.h"

#include <array>
#include <cmath>

namespace {
// Theme 3's strip text is white, so that switching to it gives the same colours as starting in it.
constexpr std::array<Theme, 4> kThemes{{
    {0x0080FF, 0x80C0FF, 0xFFFFFF, 0xFFFFFF}, // 1 橘色活力
    {0xFFFF80, 0xFFFFC0, 0x000000, 0xFFFFFF}, // 2 蓝色格调
    {0xFF80FF, 0xFFC0FF, 0xFFFFFF, 0xFFFFFF}, // 3 紫魅风情
    {0x80FF80, 0xC0FFC0, 0x000000, 0xFFFFFF}, // 4 翠色欲流
}};
} // namespace

std::optional<int> themeNumber(const QString& c1) {
    bool ok = false;
    const double value = c1.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    for (int n = 1; n <= 4; ++n)
        if (value == n)
            return n;
    return std::nullopt;
}

const Theme* themeByNumber(int number) {
    if (number < 1 || number > 4)
        return nullptr;
    return &kThemes[number - 1];
}

const Theme* themeFor(const QString& c1) {
    const auto n = themeNumber(c1);
    return n ? themeByNumber(*n) : nullptr;
}

const Theme& initialTheme() {
    return kThemes[0];
}
