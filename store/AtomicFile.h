#pragma once
// Replacing a whole file at once: the new bytes go to a temporary file in the same
// folder, which is written, synced and renamed over the old one, and the folder
// is synced after the rename (on Windows, a write-through replace), so the file
// holds either its old or its new content, never a mixture, and a replace that
// was reported done survives a power cut.
//
// A path that is a symbolic link is written through: the temporary file goes
// beside the link's final target and is renamed over it, so the link stays.
// Owner, group, mode, ACL and extended attributes of the old file are copied onto
// the new one before the rename (a hard link to the old file keeps the old content).
//
// The temporary file is named "<name>.jotlark<pid>.<six letters or digits>". One
// left by a process that was killed mid-save is removed by
// removeLeftoverReplacements; only names of that pattern whose process has ended
// are touched.
#include <QByteArray>
#include <QString>

// Returns false with *reason (a short Chinese text for the user) when the file was
// not replaced: the path is a folder, the existing file is marked read-only (the
// mark is honoured even for a user who could ignore it), the folder is missing or
// cannot be written, or writing, syncing or renaming failed (the disk is full, for
// example). The old file is then untouched and no temporary file is left. The
// existing file's permissions are kept; a new file is made readable only by its owner.
bool replaceFileAtomically(const QString& file, const QByteArray& bytes, QString* reason);

// Why an existing file must not be replaced (folder, read-only mark), or "" when it may be.
QString replaceRefusal(const QString& file);

// Removes the temporary files of replacements of `file` whose process has ended.
void removeLeftoverReplacements(const QString& file);

// Test seam: while set, the bytes of a replacement after the first `afterBytes`
// fail to be written with the system error `error` (ENOSPC: a full disk).
struct WriteFault {
    qint64 afterBytes = -1; // -1: no fault
    int error = 0;
};
void setWriteFault(WriteFault fault);

// Implemented per system.
namespace atomicfile {
bool writeAndReplace(const QString& file, const QByteArray& bytes, const WriteFault& fault, QString* reason);
// The file a save replaces: the path itself, or the end of its chain of symbolic links.
QString finalTarget(const QString& file);
QString temporaryPrefix(const QString& file); // "<final target>.jotlark"
bool processHasEnded(qint64 pid);
} // namespace atomicfile
