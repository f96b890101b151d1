#pragma once
// The settings file's layout: every section and key the program reads or writes.
// Values are decimal text unless said otherwise.
#include <QString>

namespace Keys {
// Section of the general settings and of the six notes.
inline const QString Main = QStringLiteral("Main");
inline const QString S = QStringLiteral("S");         // 1: the help page is not shown at start
inline const QString X = QStringLiteral("X");         // the main window's Left, in twips
inline const QString Y = QStringLiteral("Y");         // the main window's Top, in twips
inline const QString Boots = QStringLiteral("Boots"); // 1: start with the system
inline const QString Color = QStringLiteral("Color"); // theme number 1 to 4
inline const QString Out = QStringLiteral("Out");     // 1: the slot labels have no frame
// Key of note n (1 to 6) in Main.
inline QString note(int n) {
    return QString::number(n);
}

// Section of reminder n (1 to 6), with its date and time as date-time text.
inline QString reminder(int n) {
    return QString::number(n);
}
inline const QString D = QStringLiteral("D");
inline const QString T = QStringLiteral("T");
// The repeat rule: "daily", "workdays", "weekly" or "monthly:N" (N the chosen day
// of the month); absent or empty: the reminder rings once.
inline const QString R = QStringLiteral("R");
// The date-time text a repeating reminder was put off to with 稍后提醒; absent or
// empty: none.
inline const QString Z = QStringLiteral("Z");
} // namespace Keys
