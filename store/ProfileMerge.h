#pragma once
// Key-by-key three-way merge of two versions of the settings file, for a copy
// that a sync tool left beside it after both machines changed the file.
//
// base is what the board last knew of the file, ours the file as it is now and
// theirs the other version. A key is compared by its text, a missing key reading
// as empty text (as GetIniValue gives it; the profile functions never remove a
// key). A key changed on one side only takes that side's text; a key changed on
// both sides to different texts keeps ours and is reported as a conflict.
#include <QList>
#include <QMap>
#include <QString>

struct ProfileValue {
    QString section;
    QString key;
    QString text; // as SettingsStore::value() gives it
};

// The keys of one version of the file, by profileKeyId().
using ProfileSnapshot = QMap<QString, ProfileValue>;

// Section and key names compare without regard to ASCII case.
QString profileKeyId(const QString& section, const QString& key);
void insertValue(ProfileSnapshot& snapshot, const QString& section, const QString& key, const QString& text);
QString textOf(const ProfileSnapshot& snapshot, const QString& section, const QString& key);

struct MergeConflict {
    QString section;
    QString key;
    QString ours;
    QString theirs;
};

struct ProfileMergeResult {
    QList<ProfileValue> takeTheirs; // to be written into the file: changed on their side only
    QList<MergeConflict> conflicts; // changed on both sides: the file keeps ours
};

ProfileMergeResult mergeProfiles(const ProfileSnapshot& base, const ProfileSnapshot& ours,
                                 const ProfileSnapshot& theirs);

// Copies of the settings file that sync tools leave beside it when two machines
// changed it at once, for a file named <name>.<suffix>:
//   Syncthing  <name>.sync-conflict-<date>-<time>-<device>.<suffix>
//   Nextcloud  <name> (conflicted copy <...>).<suffix>, <name>_conflict-<...>.<suffix>
//   Dropbox    <name> (<machine>'s conflicted copy <date>).<suffix>
bool isConflictCopyName(const QString& fileName, const QString& settingsFileName);
// Full paths of the conflict copies beside the settings file, oldest name first.
QStringList conflictCopies(const QString& settingsFile);
