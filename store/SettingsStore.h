#pragma once
// The settings file. Every read goes to the file (no cache); every write is one
// key, replaced atomically.
//
// Text encoding of the file: a file without a byte-order mark holds GBK text
// (written as GB18030, which is the same bytes for every GBK character and keeps
// the characters GBK lacks). A file that begins with a UTF-8 or UTF-16 mark holds
// its values in that encoding; it is read in it and written back in it, mark kept.
//
// Stored form of a note (encodeValue / decodeValue), so that any text comes back
// unchanged while plain text, as the Windows program wrote it, is stored as it is:
//  1. Text holding CR or LF, or beginning with a backslash, is stored as a
//     backslash followed by the text with '\' written "\\", CR "\r" and LF "\n".
//  2. Then a result with leading or trailing spaces or tabs, or one that starts
//     and ends with the same quote (" or '), is wrapped in double quotes; the
//     profile reader removes exactly one such pair.
// Reading undoes step 1 on a value that begins with a backslash: the first
// backslash is dropped, "\\", "\r" and "\n" become their characters, and any
// other backslash sequence stays as it is.
#include <QString>

// Reads key in section of file: its value, or "" when the file does not exist or
// the section or key is not in it. The value comes back as stored (no decoding of
// the reversible text encoding).
QString GetIniValue(const QString& section, const QString& key, const QString& file);

class SettingsStore {
public:
    explicit SettingsStore(QString file);

    const QString& file() const { return m_file; }

    // GetIniValue on this store's file.
    QString GetIniValue(const QString& section, const QString& key) const;

    // Text as the user wrote it: the raw value with the reversible encoding
    // (line breaks, surrounding spaces, surrounding quotes, a leading backslash) undone.
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
