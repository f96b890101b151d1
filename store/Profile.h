#pragma once
// Windows profile-file functions ("[Section]" / "key=value" text files), our own
// implementation. Names and values are bytes in the file's encoding. Every call
// reads the file afresh; a write replaces the file atomically and keeps every
// other line byte for byte.
#include <QByteArray>
#include <QString>

namespace profile {

// Pure forms over the file's bytes, used by the file functions below and by tests/fuzzing.

// The value of key in section, after trimming spaces and tabs and removing one
// matching pair of surrounding quotes. *found is false when the section or key is missing.
QByteArray readValue(const QByteArray& content, const QByteArray& section, const QByteArray& key, bool* found = nullptr);

// content with key in section set to value (creating section and key when missing).
// Returns false, content untouched, when the write cannot be represented: a value
// holding CR or LF, a section holding ']' / CR / LF, a key holding '=' / CR / LF,
// or a key that is empty or would read as a comment or section line.
bool writeValue(QByteArray& content, const QByteArray& section, const QByteArray& key, const QByteArray& value);

// GetPrivateProfileStringA: copies at most size - 1 bytes of the value (or of
// defaultValue when file, section or key is missing) and a NUL into buffer, and
// returns the number of bytes copied without the NUL. size <= 0 copies nothing
// and returns 0.
int GetPrivateProfileStringA(const QByteArray& section, const QByteArray& key, const QByteArray& defaultValue,
                             char* buffer, int size, const QString& file);

// WritePrivateProfileStringA: sets key in section, creating file, section and key
// as needed. Returns false (and fills *error when given) when the value cannot be
// written or the file cannot be replaced; the file is then unchanged.
bool WritePrivateProfileStringA(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                                const QString& file, QString* error = nullptr);

} // namespace profile
