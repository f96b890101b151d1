#include "store/SettingsStore.h"

#include "store/AtomicFile.h"
#include "store/Profile.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <climits>
#include <utility>

namespace {

using profile::FileEncoding;

// Values of a file with a byte-order mark are UTF-8 as the profile functions see
// them (UTF-16 files are transcoded there); others are in the program's codec.
QByteArray toFileText(const QString& text, FileEncoding encoding) {
    return encoding == FileEncoding::Native ? encodeText(text) : text.toUtf8();
}

QString fromFileText(const QByteArray& bytes, FileEncoding encoding) {
    return encoding == FileEncoding::Native ? decodeText(bytes) : QString::fromUtf8(bytes);
}

// What the profile reader trims from both ends of a value.
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f' || c == QChar(0x1a);
}

// Starts a value in the reversible encoding: a noncharacter, which code page 936
// cannot express, so no value a program using the Windows functions writes (or
// a user types) begins with it.
const QChar kMarker(0xFDD0);

// A surrogate at index i of text that is not half of a pair (high then low): no
// file encoding has a form for it.
bool isUnpaired(const QString& text, qsizetype i) {
    const QChar c = text[i];
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    return i == 0 || !text[i - 1].isHighSurrogate();
}

bool hasUnpairedSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i].isSurrogate() && isUnpaired(text, i))
            return true;
    return false;
}

// The code unit of "\uD800" to "\uDFFF" (four hex digits) at index i of stored;
// a null character for anything else.
QChar escapedSurrogate(const QString& stored, qsizetype i) {
    if (i + 6 > stored.size() || stored[i + 1] != u'u')
        return {};
    bool ok = false;
    const uint unit = QStringView(stored).sliced(i + 2, 4).toUInt(&ok, 16);
    const QChar c(char16_t(ok ? unit : 0));
    return c.isSurrogate() ? c : QChar();
}

} // namespace

QString GetIniValue(const QString& section, const QString& key, const QString& file) {
    // One parse of the file serves its encoding, its size and the value.
    profile::ProfileRead read;
    if (!profile::lookUp(file, QByteArray(), QByteArray(), &read))
        return {};
    const FileEncoding encoding = read.encoding;
    profile::lookUp(file, toFileText(section, encoding), toFileText(key, encoding), &read);
    // The value as a buffer the size of the whole file would take it: the call
    // asks for size - 1 bytes, which leaves room for size - 2 and the NUL.
    const qint64 n = std::min<qint64>(read.size, INT_MAX);
    const qint64 room = std::max<qint64>(n - 2, 0);
    QByteArray value = read.found ? read.value : QByteArray();
    if (value.size() > room)
        value.truncate(qsizetype(room));
    return fromFileText(value, encoding).remove(QChar(u'\0'));
}

SettingsStore::SettingsStore(QString file) : m_file(std::move(file)) {
    removeLeftoverReplacements(m_file);
}

QString SettingsStore::GetIniValue(const QString& section, const QString& key) const {
    return ::GetIniValue(section, key, m_file);
}

QString SettingsStore::value(const QString& section, const QString& key) const {
    return decodeValue(GetIniValue(section, key));
}

bool SettingsStore::setValue(const QString& section, const QString& key, const QString& text) {
    const bool foreign = fileStatus(m_file) != m_tracked;
    const FileEncoding encoding = profile::fileEncoding(m_file);
    QString error;
    if (!profile::WritePrivateProfileStringA(toFileText(section, encoding), toFileText(key, encoding),
                                             toFileText(encodeValue(text), encoding), m_file, &error)) {
        m_lastError = error;
        return false;
    }
    m_lastError.clear();
    m_lastWritten = m_tracked = fileStatus(m_file);
    m_foreignCarried = m_foreignCarried || foreign;
    m_ownWrites[profileKeyId(section, key)].append(text);
    return true;
}

bool SettingsStore::changedElsewhere() const {
    return m_foreignCarried || fileStatus(m_file) != m_tracked;
}

ProfileSnapshot SettingsStore::readSnapshot(const QString& file) {
    ProfileSnapshot snapshot;
    QList<profile::KeyValue> entries;
    FileEncoding encoding = FileEncoding::Native;
    if (!profile::readAllFromFile(file, &entries, &encoding))
        return snapshot;
    for (const profile::KeyValue& e : entries) {
        const QString section = fromFileText(e.section, encoding);
        const QString key = fromFileText(e.key, encoding);
        insertValue(snapshot, section, key, decodeValue(fromFileText(e.value, encoding).remove(QChar(u'\0'))));
    }
    return snapshot;
}

void SettingsStore::remember() {
    m_tracked = fileStatus(m_file);
    m_known = readSnapshot(m_file);
    m_ownWrites.clear();
    m_foreignCarried = false;
}

bool SettingsStore::mergeConflictCopy(const QString& copy, QList<MergeConflict>* conflicts) {
    conflicts->clear();
    if (!QFileInfo(copy).isFile() || !QFileInfo(copy).isReadable()) {
        m_lastError = QStringLiteral("无法读取 %1").arg(QDir::toNativeSeparators(copy));
        return false;
    }
    const ProfileSnapshot ours = readSnapshot(m_file);
    const ProfileSnapshot theirs = readSnapshot(copy);
    ProfileSnapshot base = m_known;
    // The copy may hold an earlier text of ours that already went to the other
    // machine: that key did not change there.
    for (auto it = theirs.cbegin(); it != theirs.cend(); ++it) {
        const QStringList& written = m_ownWrites.value(it.key());
        const qsizetype theirsAt = written.lastIndexOf(it->text);
        const auto own = ours.constFind(it.key());
        if (theirsAt >= 0 && own != ours.cend() && written.lastIndexOf(own->text) > theirsAt)
            base.insert(it.key(), *it);
    }
    const ProfileMergeResult merge = mergeProfiles(base, ours, theirs);
    for (const ProfileValue& v : merge.takeTheirs) {
        if (!setValue(v.section, v.key, v.text))
            return false;
    }
    *conflicts = merge.conflicts;
    return true;
}

QString SettingsStore::encodeValue(const QString& text) {
    QString stored = text;
    if (hasUnpairedSurrogate(text) || text.contains(u'\r') || text.contains(u'\n') || text.contains(QChar(u'\0')) ||
        text.startsWith(kMarker)) {
        stored = kMarker;
        stored.reserve(text.size() + 8);
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == u'\\')
                stored += QStringLiteral("\\\\");
            else if (c == u'\r')
                stored += QStringLiteral("\\r");
            else if (c == u'\n')
                stored += QStringLiteral("\\n");
            else if (c == u'\0')
                stored += QStringLiteral("\\0");
            else if (c.isSurrogate() && isUnpaired(text, i))
                stored += QStringLiteral("\\u") + QString::number(c.unicode(), 16).toUpper();
            else
                stored += c;
        }
    }
    const bool blankEdge = !stored.isEmpty() && (isBlank(stored.front()) || isBlank(stored.back()));
    const bool quoted =
        stored.size() >= 2 && stored.front() == stored.back() && (stored.front() == u'"' || stored.front() == u'\'');
    if (blankEdge || quoted)
        stored = u'"' + stored + u'"';
    return stored;
}

QString SettingsStore::decodeValue(const QString& stored) {
    if (!stored.startsWith(kMarker))
        return stored;
    QString text;
    text.reserve(stored.size());
    for (qsizetype i = 1; i < stored.size(); ++i) {
        const QChar c = stored[i];
        if (c == u'\\' && i + 1 < stored.size()) {
            const QChar n = stored[i + 1];
            const QChar plain = n == u'\\'  ? QChar(u'\\')
                                : n == u'r' ? QChar(u'\r')
                                : n == u'n' ? QChar(u'\n')
                                : n == u'0' ? QChar(u'\0')
                                            : QChar();
            if (!plain.isNull() || n == u'0') {
                text += plain;
                ++i;
                continue;
            }
            if (const QChar unit = escapedSurrogate(stored, i); unit.isSurrogate()) {
                text += unit;
                i += 5;
                continue;
            }
        }
        text += c;
    }
    return text;
}
