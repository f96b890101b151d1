#pragma once
// Windows profile-file functions ("[Section]" / "key=value" text files), our own
// implementation. Names and values are bytes in the file's encoding. Every call
// sees the file as it is now: the last file parsed is kept with its status (size,
// times in nanoseconds, file number) and parsed again whenever that changes; a
// write reads the file afresh, replaces it atomically, keeps every other line
// byte for byte and drops what was kept.
//
// Parsing rules: lines end in CR LF, a lone LF, a lone CR, or the end of the
// file. Section and key names are compared without regard to ASCII case, their
// surrounding blanks (space, tab, VT, FF, Ctrl-Z) ignored. A line starting with
// ';' is a comment. A section line starts with '[' and holds a ']'; its name runs
// to the last ']' (a '[' line without one is an ordinary line). Lines before the
// first section line belong to the section with the empty name. Only the first
// section of a name counts, and within it only the first line naming the key; a
// line holding just the key's name (no '=') names the key but has no value.
// A UTF-8 byte-order mark at the start is skipped (and kept on writing). A file
// in UTF-16 (with its byte-order mark) is seen by these functions as UTF-8 bytes
// and written back as UTF-16 with its mark.
#include <QByteArray>
#include <QString>

namespace profile {

// Pure forms over the file's bytes, used by the file functions below and by tests/fuzzing.

// The value of key in section, after trimming spaces and tabs and removing one
// matching pair of surrounding quotes. *found is false when the section or key is missing.
QByteArray readValue(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                     bool* found = nullptr);

// content with key in section set to value (creating section and key when missing).
// Returns false, content untouched, when the write cannot be represented: a value
// holding CR or LF, a section holding ']' / CR / LF, a key holding '=' / CR / LF,
// or a section or key that is empty or a key that would read as a comment or section line.
bool writeValue(QByteArray& content, const QByteArray& section, const QByteArray& key, const QByteArray& value);

// Every key of every section with its value (trimmed and unquoted as readValue
// gives it), in file order, by the same rules: only the first section of a name
// and within it the first line naming a key count; a key named without '=' has
// an empty value.
struct KeyValue {
    QByteArray section;
    QByteArray key;
    QByteArray value;
};
QList<KeyValue> readAll(const QByteArray& content);

// The encoding a file announces by its byte-order mark.
enum class FileEncoding {
    Native,  // no mark: bytes in the program's own encoding (GBK / GB18030)
    Utf8Bom, // EF BB BF
    Utf16LE, // FF FE
    Utf16BE, // FE FF
};

FileEncoding detectEncoding(const QByteArray& fileBytes);

// The encoding of the file as it is now; Native when it is missing or unreadable.
FileEncoding fileEncoding(const QString& file);

// One look-up through the kept parse of the file: false when there is no readable file.
struct ProfileRead {
    FileEncoding encoding = FileEncoding::Native;
    qint64 size = -1; // in bytes as read: for a UTF-16 file the size of its UTF-8 form
    bool found = false;
    QByteArray value;
};
bool lookUp(const QString& file, const QByteArray& section, const QByteArray& key, ProfileRead* read);
// readAll over the file as it is now; false when there is no readable file.
bool readAllFromFile(const QString& file, QList<KeyValue>* entries, FileEncoding* encoding);

// How many times a file has been read and parsed for reading so far (tests).
qint64 fileParses();
// A file changed less than this long before it is read is not kept, because file
// times advance in coarse steps and a second change in the same step would not
// show (50 ms, at least 2 s where times are whole seconds; tests set 0).
void setSettleTime(qint64 nanoseconds);

// GetPrivateProfileStringA: copies at most size - 1 bytes of the value (or of
// defaultValue when file, section or key is missing) and a NUL into buffer, and
// returns the number of bytes copied without the NUL. size <= 0 copies nothing
// and returns 0.
int GetPrivateProfileStringA(const QByteArray& section, const QByteArray& key, const QByteArray& defaultValue,
                             char* buffer, int size, const QString& file);

// WritePrivateProfileStringA: sets key in section, creating file, section and key
// as needed. Returns false (and fills *error with a message for the user, naming
// the path and the reason) when the value cannot be written or the file cannot be
// replaced: the target is a folder, it is marked read-only, it cannot be read, or
// its folder cannot be written. The file is then unchanged.
bool WritePrivateProfileStringA(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                                const QString& file, QString* error = nullptr);

} // namespace profile
