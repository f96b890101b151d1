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
#include "store/FileStatus.h"
#include "store/ProfileMerge.h"

#include <QHash>
#include <QString>
#include <QStringList>

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

    // The file's status right after this store's last successful write: a file
    // still in that state has not been changed by anyone else since.
    const FileStatus& lastWrittenStatus() const { return m_lastWritten; }
    // Whether anyone but this store changed the file since remember(): the file
    // is not as this store last left or remembered it, or a write of this store
    // found it changed (and so carried that change along).
    bool changedElsewhere() const;

    // Every key of a settings file, decoded as value() gives it; empty when there is no readable file.
    static ProfileSnapshot readSnapshot(const QString& file);

    // What the board knows of the file: remember() takes the file as it is now,
    // at start and whenever the board has taken in a change made elsewhere. It
    // is the common version for merging a conflict copy, so this store's own
    // writes do not move it: they are kept beside it, in order.
    void remember();
    const ProfileSnapshot& known() const { return m_known; }

    // Merges a conflict copy into the file (see ProfileMerge.h), base being
    // what the board knows, with one exception: a key whose text in the copy is
    // one this store wrote before the file's own text is not taken as changed
    // there. Keys changed only in the copy are written; both-changed keys keep
    // the file's text and come back as conflicts. False when the copy cannot be
    // read or a write failed (lastError() says why); nothing is then lost, the
    // copy being still there.
    bool mergeConflictCopy(const QString& copy, QList<MergeConflict>* conflicts);

    // The reversible encoding used by value() / setValue(): plain text that
    // needs none is stored unchanged. encodeValue gives the text as written
    // after '='; decodeValue takes a value as the reader returns it (surrounding
    // blanks and one pair of quotes already removed).
    static QString encodeValue(const QString& text);
    static QString decodeValue(const QString& stored);

private:
    QString m_file;
    QString m_lastError;
    FileStatus m_lastWritten;
    FileStatus m_tracked; // as remember() or the last write left the file
    bool m_foreignCarried = false;
    ProfileSnapshot m_known;
    QHash<QString, QStringList> m_ownWrites; // by profileKeyId, since remember()
};
