#pragma once
// The settings file. Every read goes to the file (no cache); every write is one
// key, replaced atomically.
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
    // then says why.
    bool setValue(const QString& section, const QString& key, const QString& text);

    QString lastError() const { return m_lastError; }

    // The reversible encoding used by value() / setValue(): plain text that
    // needs none is stored unchanged.
    static QString encodeValue(const QString& text);
    static QString decodeValue(const QString& stored);

private:
    QString m_file;
    QString m_lastError;
};
