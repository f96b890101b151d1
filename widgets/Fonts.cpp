#include "widgets/Fonts.h"

#include <QStringList>

namespace {
QFont withFamilies(const QStringList& families, double pointSize) {
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    return font;
}
} // namespace

QFont yaheiFont(double pointSize) {
    return withFamilies(
        {"微软雅黑", "Microsoft YaHei", "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Droid Sans Fallback"}, pointSize);
}

QFont kaitiFont(double pointSize) {
    return withFamilies({"方正苏新诗柳楷简体", "KaiTi", "楷体", "AR PL UKai CN", "AR PL UKai", "WenQuanYi Micro Hei",
                         "Noto Sans CJK SC"},
                        pointSize);
}
