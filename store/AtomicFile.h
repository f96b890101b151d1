#pragma once
// Replacing a whole file at once: the new bytes go to a temporary file in the same
// folder, which is flushed, synced and renamed over the old one, so the file holds
// either its old or its new content, never a mixture.
#include <QByteArray>
#include <QString>

// Returns false with *reason (a short Chinese text for the user) when the file was
// not replaced: the path is a folder, the existing file is marked read-only (the
// mark is honoured even for a user who could ignore it), the folder is missing or
// cannot be written, or writing failed. The old file is then untouched. The
// existing file's permissions are kept.
bool replaceFileAtomically(const QString& file, const QByteArray& bytes, QString* reason);

// Why an existing file must not be replaced (folder, read-only mark), or "" when it may be.
QString replaceRefusal(const QString& file);
