#pragma once
// Fonts by the names the windows are designed with, falling back to an installed
// CJK font so that Chinese text never shows as boxes.
#include <QFont>

QFont yaheiFont(double pointSize); // 微软雅黑
QFont kaitiFont(double pointSize); // 方正苏新诗柳楷简体, the notes' brush-style face
