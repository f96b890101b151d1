#pragma once
// Notes as the windows show them. A note is kept and stored whole; a long one is
// shown shortened, so that no label or message box grows past the screen and no
// layout has to wrap a megabyte of text.
#include <QString>

// The longest note the note box takes and a slot stores, in UTF-16 code units.
inline constexpr qsizetype MaxNoteLength = 1024 * 1024;

// The message for a note of length code units that is longer than MaxNoteLength.
QString noteTooLongMessage(qsizetype length);

// text with every line longer than maxLineLength cut to maxLineLength - 1
// characters and "…", and everything after the first maxLines lines replaced by a
// line "…". Line breaks (CR LF, LF, CR) are kept as they are; a text that needs
// no cut comes back unchanged.
QString shortenForDisplay(const QString& text, int maxLines, int maxLineLength);

// A note as slot labels, the reminder editor and message boxes show it.
QString shortNote(const QString& text);
