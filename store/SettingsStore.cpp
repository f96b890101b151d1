#include "store/SettingsStore.h"

#include "store/Profile.h"
#include "store/TextCodec.h"

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

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

} // namespace

QString GetIniValue(const QString& section, const QString& key, const QString& file) {
    if (!QFileInfo(file).isFile())
        return {};
    const FileEncoding encoding = profile::fileEncoding(file);
    // The buffer is as large as the whole file, so no value is cut short.
    const qint64 n = std::min<qint64>(profile::profileSize(file), INT_MAX);
    QByteArray buffer(qsizetype(std::max<qint64>(n, 0)), '\0');
    const int c = profile::GetPrivateProfileStringA(toFileText(section, encoding), toFileText(key, encoding), "",
                                                    buffer.data(), int(n - 1), file);
    // Only the first c bytes were copied; the rest are NULs, which would be removed
    // anyway. Cutting them off first keeps a short value of a large file cheap.
    buffer.truncate(std::max(c, 0));
    return fromFileText(buffer, encoding).remove(QChar(u'\0'));
}

SettingsStore::SettingsStore(QString file) : m_file(std::move(file)) {}

QString SettingsStore::GetIniValue(const QString& section, const QString& key) const {
    return ::GetIniValue(section, key, m_file);
}

QString SettingsStore::value(const QString& section, const QString& key) const {
    return decodeValue(GetIniValue(section, key));
}

bool SettingsStore::setValue(const QString& section, const QString& key, const QString& text) {
    const FileEncoding encoding = profile::fileEncoding(m_file);
    QString error;
    if (!profile::WritePrivateProfileStringA(toFileText(section, encoding), toFileText(key, encoding),
                                             toFileText(encodeValue(text), encoding), m_file, &error)) {
        m_lastError = error;
        return false;
    }
    m_lastError.clear();
    return true;
}

QString SettingsStore::encodeValue(const QString& text) {
    QString stored = text;
    if (text.contains(u'\r') || text.contains(u'\n') || text.startsWith(u'\\')) {
        stored = QStringLiteral("\\");
        stored.reserve(text.size() + 8);
        for (const QChar c : text) {
            if (c == u'\\')
                stored += QStringLiteral("\\\\");
            else if (c == u'\r')
                stored += QStringLiteral("\\r");
            else if (c == u'\n')
                stored += QStringLiteral("\\n");
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
    if (!stored.startsWith(u'\\'))
        return stored;
    QString text;
    text.reserve(stored.size());
    for (qsizetype i = 1; i < stored.size(); ++i) {
        const QChar c = stored[i];
        if (c == u'\\' && i + 1 < stored.size()) {
            const QChar n = stored[i + 1];
            if (n == u'\\' || n == u'r' || n == u'n') {
                text += n == u'\\' ? QChar(u'\\') : n == u'r' ? QChar(u'\r') : QChar(u'\n');
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}
