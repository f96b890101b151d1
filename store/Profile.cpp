#include "store/Profile.h"

#include "store/AtomicFile.h"
#include "store/FileStatus.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>
#include <memory>

namespace profile {
namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kCrLf("\r\n");

// Spaces, tabs, vertical tabs, form feeds and Ctrl-Z surround names and values
// without belonging to them, as for the Windows functions.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

QByteArrayView trimmed(QByteArrayView v) {
    qsizetype b = 0;
    qsizetype e = v.size();
    while (b < e && isBlank(v[b]))
        ++b;
    while (e > b && isBlank(v[e - 1]))
        --e;
    return v.sliced(b, e - b);
}

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Names are compared in ASCII only: bytes of multi-byte characters are never folded.
bool sameName(QByteArrayView a, QByteArrayView b) {
    a = trimmed(a);
    b = trimmed(b);
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

// One line of the file: [begin, end) is its text without the line end, next is
// where the following line starts.
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

enum class Kind { Blank, Comment, Section, Key, KeyOnly };

struct Entry {
    Kind kind = Kind::Blank;
    QByteArrayView name;  // section or key name, trimmed
    QByteArrayView value; // raw text after the first '=' (Kind::Key)
};

class Lines {
public:
    explicit Lines(const QByteArray& content, qsizetype from = -1) : m_content(content) {
        if (from >= 0)
            m_pos = from;
        else if (content.startsWith(kUtf8Bom))
            m_pos = kUtf8Bom.size();
    }

    // CR LF, a lone LF and a lone CR each end a line.
    bool next(Line* line) {
        if (m_pos >= m_content.size())
            return false;
        line->begin = m_pos;
        const char* data = m_content.constData();
        const qsizetype size = m_content.size();
        qsizetype i = m_pos;
        while (i < size && data[i] != '\n' && data[i] != '\r')
            ++i;
        line->end = i;
        if (i < size && data[i] == '\r')
            ++i;
        if (i < size && data[i] == '\n' && (i == line->end || data[i - 1] == '\r'))
            ++i;
        line->next = i;
        m_pos = line->next;
        return true;
    }

private:
    const QByteArray& m_content;
    qsizetype m_pos = 0;
};

Entry parse(const QByteArray& content, const Line& line) {
    const QByteArrayView text = trimmed(QByteArrayView(content).sliced(line.begin, line.end - line.begin));
    Entry e;
    if (text.isEmpty())
        return e;
    if (text.front() == ';') {
        e.kind = Kind::Comment;
    } else if (text.front() == '[' && text.lastIndexOf(']') > 0) {
        // The name runs to the last ']'; a '[' line without one is an ordinary line.
        e.kind = Kind::Section;
        e.name = trimmed(text.sliced(1, text.lastIndexOf(']') - 1));
    } else {
        const qsizetype eq = text.indexOf('=');
        if (eq < 0) {
            e.kind = Kind::KeyOnly;
            e.name = text;
        } else {
            e.kind = Kind::Key;
            e.name = trimmed(text.first(eq));
            e.value = text.sliced(eq + 1);
        }
    }
    return e;
}

// parse(content, line).kind == Kind::Section, without parsing the rest of the line.
bool isSectionLine(const QByteArray& content, const Line& line) {
    qsizetype i = line.begin;
    while (i < line.end && isBlank(content[i]))
        ++i;
    if (i >= line.end || content[i] != '[')
        return false;
    return QByteArrayView(content).sliced(i + 1, line.end - i - 1).contains(']');
}

QByteArray unquoted(QByteArrayView value) {
    value = trimmed(value);
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
        value = value.sliced(1, value.size() - 2);
    return value.toByteArray();
}

bool holdsLineBreak(QByteArrayView v) {
    return v.contains('\r') || v.contains('\n');
}

// Why a write cannot be represented in a profile file, or nullptr when it can.
const char* refusal(const QByteArray& section, const QByteArray& key, const QByteArray& value) {
    const QByteArrayView s = trimmed(section);
    const QByteArrayView k = trimmed(key);
    if (s.isEmpty() || s.contains(']') || holdsLineBreak(section))
        return "节名无效";
    if (k.isEmpty() || k.contains('=') || k.front() == ';' || k.front() == '[' || holdsLineBreak(key))
        return "键名无效";
    if (holdsLineBreak(value))
        return "值中含有换行符";
    return nullptr;
}

// A line end for content that does not end in one yet, so that text can follow.
QByteArray missingLineEnd(const QByteArray& content) {
    if (content.isEmpty() || content.endsWith('\n') || content.endsWith('\r') || content == kUtf8Bom)
        return {};
    return kCrLf;
}

// The key's value in the section that starts at `from` (a section line, or the
// start of the text before the first section when header is false).
QByteArray valueFrom(const QByteArray& content, qsizetype from, bool header, const QByteArray& key, bool* found) {
    Lines lines(content, from);
    Line line;
    if (header)
        lines.next(&line);
    while (lines.next(&line)) {
        if (isSectionLine(content, line))
            return {};
        const Entry e = parse(content, line);
        if ((e.kind == Kind::Key || e.kind == Kind::KeyOnly) && sameName(e.name, key)) {
            if (e.kind == Kind::KeyOnly)
                return {};
            if (found)
                *found = true;
            return unquoted(e.value);
        }
    }
    return {};
}

QByteArray lowerName(QByteArrayView name) {
    QByteArray lower = trimmed(name).toByteArray();
    for (char& c : lower)
        c = asciiLower(c);
    return lower;
}

// Where each section's first line starts, by its name in lower case, and where
// the text before the first section starts.
struct SectionIndex {
    QHash<QByteArray, qsizetype> starts;
    qsizetype top = 0;
};

SectionIndex indexSections(const QByteArray& content) {
    SectionIndex index;
    Lines lines(content);
    Line line;
    bool first = true;
    while (lines.next(&line)) {
        if (first)
            index.top = line.begin;
        first = false;
        if (isSectionLine(content, line)) {
            const QByteArray name = lowerName(parse(content, line).name);
            if (!index.starts.contains(name)) // only the first section of a name counts
                index.starts.insert(name, line.begin);
        }
    }
    if (first)
        index.top = content.size();
    return index;
}

// One change of the text: `removed` bytes at `at` replaced by `inserted`. Both
// ends lie on line starts or at the end of the text.
struct Edit {
    qsizetype at = 0;
    qsizetype removed = 0;
    QByteArray inserted;
};

bool planWrite(const QByteArray& content, const QByteArray& section, const QByteArray& key, const QByteArray& value,
               Edit* edit) {
    if (refusal(section, key, value))
        return false;

    bool inSection = false;
    bool sectionFound = false;
    qsizetype insertAt = -1; // after the section's last non-empty line
    Lines lines(content);
    Line line;
    while (lines.next(&line)) {
        const Entry e = parse(content, line);
        if (e.kind == Kind::Section) {
            if (inSection)
                break;
            if (!sectionFound && sameName(e.name, section)) {
                inSection = sectionFound = true;
                insertAt = line.next;
            }
            continue;
        }
        if (!inSection || e.kind == Kind::Blank)
            continue;
        if ((e.kind == Kind::Key || e.kind == Kind::KeyOnly) && sameName(e.name, key)) {
            *edit = {line.begin, line.next - line.begin, e.name.toByteArray() + '=' + value + kCrLf};
            return true;
        }
        insertAt = line.next;
    }

    const QByteArray keyLine = trimmed(key).toByteArray() + '=' + value + kCrLf;
    if (sectionFound) {
        QByteArray text = keyLine;
        if (insertAt == content.size())
            text.prepend(missingLineEnd(content));
        *edit = {insertAt, 0, text};
    } else {
        *edit = {content.size(), 0,
                 missingLineEnd(content) + '[' + trimmed(section).toByteArray() + ']' + kCrLf + keyLine};
    }
    return true;
}

// A UTF-16 file as the functions parse it: its lines in UTF-8, and for every
// line start (and the end) the offset in the parsed text and in the file, so an
// edit can be made on the file's own bytes and every other line kept as it is.
struct Utf16Text {
    QByteArray parsed;
    QList<std::pair<qsizetype, qsizetype>> starts; // parsed offset, file offset
};

Utf16Text parseUtf16(const QByteArray& raw, bool le) {
    auto unit = [&](qsizetype i) {
        const auto b0 = uchar(raw[2 + 2 * i]);
        const auto b1 = uchar(raw[3 + 2 * i]);
        return char16_t(le ? (b0 | b1 << 8) : (b0 << 8 | b1));
    };
    const qsizetype units = (raw.size() - 2) / 2;
    Utf16Text text;
    QString lineText;
    qsizetype i = 0;
    while (i < units) {
        text.starts.append({text.parsed.size(), 2 + 2 * i});
        lineText.clear();
        while (i < units && unit(i) != u'\r' && unit(i) != u'\n')
            lineText += QChar(unit(i++));
        text.parsed += lineText.toUtf8();
        if (i < units && unit(i) == u'\r') {
            text.parsed += '\r';
            ++i;
            if (i < units && unit(i) == u'\n') {
                text.parsed += '\n';
                ++i;
            }
        } else if (i < units) {
            text.parsed += '\n';
            ++i;
        }
    }
    text.starts.append({text.parsed.size(), 2 + 2 * units}); // an odd last byte stays after everything
    return text;
}

QByteArray toUtf16(const QByteArray& utf8, bool le) {
    QStringEncoder encode(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    return encode(QString::fromUtf8(utf8));
}

// The file's bytes as the functions parse them; false when there is no readable file.
bool readRaw(const QString& file, QByteArray* raw, bool* unreadable) {
    *unreadable = false;
    if (!QFileInfo(file).isFile())
        return false;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        *unreadable = true;
        return false;
    }
    *raw = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        *unreadable = true;
        return false;
    }
    return true;
}

QByteArray parsedForm(const QByteArray& raw, FileEncoding encoding) {
    if (encoding != FileEncoding::Utf16LE && encoding != FileEncoding::Utf16BE)
        return raw;
    return parseUtf16(raw, encoding == FileEncoding::Utf16LE).parsed;
}

// The key's value in `content`, whose sections `index` lists.
QByteArray valueIn(const QByteArray& content, const SectionIndex& index, const QByteArray& section,
                   const QByteArray& key, bool* found) {
    if (found)
        *found = false;
    if (trimmed(section).isEmpty())
        return valueFrom(content, index.top, false, key, found);
    const auto it = index.starts.constFind(lowerName(section));
    if (it == index.starts.cend())
        return {};
    return valueFrom(content, it.value(), true, key, found);
}

// The last file read, kept while its status stays the same.
qint64 settleNs = 50'000'000;
qint64 parses = 0;

struct Cached {
    QString file;
    FileStatus status;
    FileEncoding encoding = FileEncoding::Native;
    QByteArray parsed;
    SectionIndex sections;
};

QMutex cacheMutex;
std::shared_ptr<const Cached> cache;

// The file as the read functions see it, from the cache while the file's status
// is unchanged; nullptr when there is no readable file.
std::shared_ptr<const Cached> loadForReading(const QString& file) {
    const FileStatus before = fileStatus(file);
    if (!before.regular)
        return nullptr;
    {
        QMutexLocker lock(&cacheMutex);
        if (cache && cache->file == file && cache->status == before)
            return cache;
    }
    QByteArray raw;
    bool unreadable = false;
    if (!readRaw(file, &raw, &unreadable))
        return nullptr;
    auto fresh = std::make_shared<Cached>();
    fresh->file = file;
    fresh->status = before;
    fresh->encoding = detectEncoding(raw);
    fresh->parsed = parsedForm(raw, fresh->encoding);
    fresh->sections = indexSections(fresh->parsed);
    QMutexLocker lock(&cacheMutex);
    ++parses;
    const qint64 now = fileClockNowNs();
    // Times in whole seconds (FAT, ext3) move only once a second.
    const bool wholeSeconds = before.modifiedNs % 1'000'000'000 == 0 && before.changedNs % 1'000'000'000 == 0;
    const qint64 settle = wholeSeconds && settleNs > 0 ? std::max<qint64>(settleNs, 2'000'000'000) : settleNs;
    const bool settled =
        fileStatus(file) == before && now - before.modifiedNs >= settle && now - before.changedNs >= settle;
    cache = settled ? fresh : nullptr;
    return fresh;
}

void forget(const QString& file) {
    QMutexLocker lock(&cacheMutex);
    if (cache && cache->file == file)
        cache = nullptr;
}

} // namespace

QByteArray readValue(const QByteArray& content, const QByteArray& section, const QByteArray& key, bool* found) {
    return valueIn(content, indexSections(content), section, key, found);
}

bool writeValue(QByteArray& content, const QByteArray& section, const QByteArray& key, const QByteArray& value) {
    Edit edit;
    if (!planWrite(content, section, key, value, &edit))
        return false;
    content.replace(edit.at, edit.removed, edit.inserted);
    return true;
}

QList<KeyValue> readAll(const QByteArray& content) {
    QList<KeyValue> entries;
    QSet<QByteArray> seenSections;
    QSet<QByteArray> seenKeys;
    QByteArray section;
    bool counts = true; // lines before the first section belong to the section ""
    seenSections.insert(QByteArray());
    Lines lines(content);
    Line line;
    while (lines.next(&line)) {
        const Entry e = parse(content, line);
        if (e.kind == Kind::Section) {
            const QByteArray lower = lowerName(e.name);
            counts = !seenSections.contains(lower);
            seenSections.insert(lower);
            section = e.name.toByteArray();
            seenKeys.clear();
            continue;
        }
        if (!counts || (e.kind != Kind::Key && e.kind != Kind::KeyOnly))
            continue;
        const QByteArray lowerKey = lowerName(e.name);
        if (seenKeys.contains(lowerKey))
            continue;
        seenKeys.insert(lowerKey);
        entries.append({section, e.name.toByteArray(), e.kind == Kind::Key ? unquoted(e.value) : QByteArray()});
    }
    return entries;
}

FileEncoding detectEncoding(const QByteArray& fileBytes) {
    if (fileBytes.startsWith(kUtf8Bom))
        return FileEncoding::Utf8Bom;
    if (fileBytes.startsWith("\xFF\xFE"))
        return FileEncoding::Utf16LE;
    if (fileBytes.startsWith("\xFE\xFF"))
        return FileEncoding::Utf16BE;
    return FileEncoding::Native;
}

FileEncoding fileEncoding(const QString& file) {
    const auto c = loadForReading(file);
    return c ? c->encoding : FileEncoding::Native;
}

qint64 fileParses() {
    QMutexLocker lock(&cacheMutex);
    return parses;
}

void setSettleTime(qint64 nanoseconds) {
    QMutexLocker lock(&cacheMutex);
    settleNs = nanoseconds;
}

bool lookUp(const QString& file, const QByteArray& section, const QByteArray& key, ProfileRead* read) {
    *read = {};
    const auto c = loadForReading(file);
    if (!c)
        return false;
    read->encoding = c->encoding;
    read->size = c->parsed.size();
    read->value = valueIn(c->parsed, c->sections, section, key, &read->found);
    return true;
}

bool readAllFromFile(const QString& file, QList<KeyValue>* entries, FileEncoding* encoding) {
    const auto c = loadForReading(file);
    if (!c)
        return false;
    *entries = readAll(c->parsed);
    *encoding = c->encoding;
    return true;
}

int GetPrivateProfileStringA(const QByteArray& section, const QByteArray& key, const QByteArray& defaultValue,
                             char* buffer, int size, const QString& file) {
    if (size <= 0 || !buffer)
        return 0;
    ProfileRead read;
    lookUp(file, section, key, &read);
    const QByteArray& value = read.found ? read.value : defaultValue;
    const int count = int(std::min<qsizetype>(value.size(), size - 1));
    std::memcpy(buffer, value.constData(), size_t(count));
    buffer[count] = '\0';
    return count;
}

bool WritePrivateProfileStringA(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                                const QString& file, QString* error) {
    auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("无法保存设置文件 %1：%2").arg(QDir::toNativeSeparators(file), reason);
        return false;
    };
    if (const char* why = refusal(section, key, value))
        return fail(QString::fromUtf8(why));
    if (const QString why = replaceRefusal(file); !why.isEmpty())
        return fail(why);

    // Written from a fresh read of the file, never from the cache.
    QByteArray raw;
    bool unreadable = false;
    if (!readRaw(file, &raw, &unreadable) && unreadable)
        return fail(QStringLiteral("无法读取现有的文件"));
    const FileEncoding encoding = detectEncoding(raw);
    const bool utf16 = encoding == FileEncoding::Utf16LE || encoding == FileEncoding::Utf16BE;
    Edit edit;
    if (!utf16) {
        if (!planWrite(raw, section, key, value, &edit))
            return fail(QStringLiteral("无法写入该值"));
        raw.replace(edit.at, edit.removed, edit.inserted);
    } else {
        const bool le = encoding == FileEncoding::Utf16LE;
        const Utf16Text text = parseUtf16(raw, le);
        if (!planWrite(text.parsed, section, key, value, &edit))
            return fail(QStringLiteral("无法写入该值"));
        auto fileOffset = [&](qsizetype parsedOffset) {
            for (const auto& [p, f] : text.starts) {
                if (p == parsedOffset)
                    return f;
            }
            return qsizetype(-1);
        };
        const qsizetype from = fileOffset(edit.at);
        const qsizetype to = fileOffset(edit.at + edit.removed);
        if (from < 0 || to < 0)
            return fail(QStringLiteral("无法写入该值"));
        raw.replace(from, to - from, toUtf16(edit.inserted, le));
    }
    forget(file);
    QString reason;
    const bool replaced = replaceFileAtomically(file, raw, &reason);
    forget(file);
    return replaced || fail(reason);
}

} // namespace profile
