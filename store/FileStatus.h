#pragma once
// What identifies one version of a file without reading it: its size, its
// modification and status-change times (nanoseconds where the file system has
// them) and its file number. A file replaced by renaming another over it gets a
// new file number even when size and times match. One implementation per system.
#include <QString>
#include <QtGlobal>

struct FileStatus {
    bool regular = false; // a normal file exists at the path
    qint64 size = -1;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    quint64 fileNumber = 0;
    quint64 device = 0;

    bool operator==(const FileStatus&) const = default;
};

FileStatus fileStatus(const QString& file);

// The current time on the clock file times are taken from, in nanoseconds.
qint64 fileClockNowNs();
