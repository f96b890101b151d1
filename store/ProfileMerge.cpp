#include "store/ProfileMerge.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

QString asciiLower(const QString& name) {
    QString lower = name.trimmed();
    for (QChar& c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() - u'A' + u'a');
    }
    return lower;
}

} // namespace

QString profileKeyId(const QString& section, const QString& key) {
    return asciiLower(section) + QChar(u'\n') + asciiLower(key);
}

void insertValue(ProfileSnapshot& snapshot, const QString& section, const QString& key, const QString& text) {
    snapshot.insert(profileKeyId(section, key), {section, key, text});
}

QString textOf(const ProfileSnapshot& snapshot, const QString& section, const QString& key) {
    const auto it = snapshot.constFind(profileKeyId(section, key));
    return it == snapshot.cend() ? QString() : it->text;
}

ProfileMergeResult mergeProfiles(const ProfileSnapshot& base, const ProfileSnapshot& ours,
                                 const ProfileSnapshot& theirs) {
    ProfileMergeResult result;
    auto text = [](const ProfileSnapshot& s, const QString& id) {
        const auto it = s.constFind(id);
        return it == s.cend() ? QString() : it->text;
    };
    for (auto it = theirs.cbegin(); it != theirs.cend(); ++it) {
        const QString b = text(base, it.key());
        const QString o = text(ours, it.key());
        const QString& t = it->text;
        if (t == b || t == o)
            continue;
        if (o == b)
            result.takeTheirs.append(*it);
        else
            result.conflicts.append({it->section, it->key, o, t});
    }
    // Keys their side no longer has: removed there, which reads as empty text.
    for (auto it = base.cbegin(); it != base.cend(); ++it) {
        if (theirs.contains(it.key()) || it->text.isEmpty())
            continue;
        const QString o = text(ours, it.key());
        if (o == it->text)
            result.takeTheirs.append({it->section, it->key, QString()});
        else if (!o.isEmpty())
            result.conflicts.append({it->section, it->key, o, QString()});
    }
    return result;
}

bool isConflictCopyName(const QString& fileName, const QString& settingsFileName) {
    const QFileInfo info(settingsFileName);
    const QString name = QRegularExpression::escape(info.completeBaseName());
    const QString suffix =
        info.suffix().isEmpty() ? QString() : QStringLiteral("\\.") + QRegularExpression::escape(info.suffix());
    static const QString forms[] = {
        QStringLiteral("%1\\.sync-conflict-\\d{8}-\\d{6}-[A-Z0-9]{7}%2"), // Syncthing
        QStringLiteral("%1 \\([^)]*conflicted copy[^)]*\\)%2"),           // Nextcloud, Dropbox
        QStringLiteral("%1_conflict-.+%2"),                               // Nextcloud
    };
    for (const QString& form : forms) {
        const QRegularExpression re(QRegularExpression::anchoredPattern(form.arg(name, suffix)),
                                    QRegularExpression::CaseInsensitiveOption);
        if (re.match(fileName).hasMatch())
            return true;
    }
    return false;
}

QStringList conflictCopies(const QString& settingsFile) {
    const QFileInfo info(settingsFile);
    QStringList copies;
    const QStringList names = info.dir().entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        if (isConflictCopyName(name, info.fileName()))
            copies.append(info.dir().filePath(name));
    }
    return copies;
}
