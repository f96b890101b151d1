#pragma once
// Windows only: the system's own text for an error code, in the system's
// language ("拒绝访问" for 5), without the closing full stop; "错误 <code>" when the
// system has no text for it.
#include <QString>

QString systemErrorText(unsigned long code);
