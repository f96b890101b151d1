#pragma once
// The settings file. Every read sees the file as it is now (the profile layer
// keeps the last parse only while the file's size, times and file number stay
// the same); every write is one key, replaced atomically.
//
// Text encoding of the file: a file without a byte-order mark holds code page
// 936 text (GBK, the euro sign as the byte 0x80), with GB18030's four-byte forms
// for characters code page 936 lacks. A file that begins with a UTF-8 or UTF-16
// mark holds its values in that encoding; it is read in it and written back in
// it, mark kept.
//
// Stored form of a note (encodeValue / decodeValue), so that any text comes back
// unchanged while every text the Windows profile functions can hold is stored as
// they would store it:
//  1. Text holding CR, LF, NUL or a surrogate that is not half of a pair (a lone
//     or reversed one, which no file encoding can hold), or beginning with U+FDD0,
//     is stored as U+FDD0 followed by the text with '\' written "\\", CR "\r",
//     LF "\n", NUL "\0" and each unpaired surrogate "\uD800" to "\uDFFF" (four
//     upper-case hex digits).
//     U+FDD0 is a noncharacter that code page 936 cannot express, so nothing a
//     program using the Windows functions writes starts with it.
//  2. Then a result with leading or trailing blanks (space, tab, VT, FF, Ctrl-Z),
//     or one that starts and ends with the same quote (" or '), is wrapped in
//     double quotes; the profile reader (Jotlark's and Windows') removes exactly
//     one such pair.
// Reading undoes step 1 on a value that begins with U+FDD0: the marker is
// dropped, "\\", "\r", "\n", "\0" and "\uD800" to "\uDFFF" become their
// characters (code units), and any other backslash sequence stays as it is.
// Every other value, a leading backslash included, is the text itself.
#include <QString>

// Reads key in section of file: its value, or "" when the file does not exist or
// the section or key is not in it. The value comes back as stored (no decoding of
// the reversible text encoding).
QString GetIniValue(const QString& section, const QString& key, const QString& file);

class SettingsStore {
public:
    // Removes temporary files that saves of this file killed midway left behind.
    explicit SettingsStore(QString file);

    const QString& file() const { return m_file; }

    // GetIniValue on this store's file.
    QString GetIniValue(const QString& section, const QString& key) const;

    // Text as the user wrote it: the raw value with the reversible encoding
    // (line breaks, NULs, surrounding blanks, surrounding quotes) undone.
    QString value(const QString& section, const QString& key) const;

    // One write of one key, the text encoded so that value() gives it back
    // unchanged. Returns false when the file could not be written; lastError()
    // then says why (a message for the user naming the path and the reason).
    bool setValue(const QString& section, const QString& key, const QString& text);

    QString lastError() const { return m_lastError; }

    // The reversible encoding used by value() / setValue(): plain text that
    // needs none is stored unchanged. encodeValue gives the text as written
    // after '='; decodeValue takes a value as the reader returns it (surrounding
    // blanks and one pair of quotes already removed).
    static QString encodeValue(const QString& text);
    static QString decodeValue(const QString& stored);

private:
    QString m_file;
    QString m_lastError;
};
