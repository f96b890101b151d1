#include "store/Profile.h"

#include "store/AtomicFile.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace profile {
namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kCrLf("\r\n");

bool isBlank(char c) {
    return c == ' ' || c == '\t';
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
    explicit Lines(const QByteArray& content) : m_content(content) {
        if (content.startsWith(kUtf8Bom))
            m_pos = kUtf8Bom.size();
    }

    bool next(Line* line) {
        if (m_pos >= m_content.size())
            return false;
        line->begin = m_pos;
        const qsizetype lf = m_content.indexOf('\n', m_pos);
        line->next = lf < 0 ? m_content.size() : lf + 1;
        line->end = lf < 0 ? m_content.size() : lf;
        if (line->end > line->begin && m_content[line->end - 1] == '\r')
            --line->end;
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
    } else if (text.front() == '[') {
        const qsizetype close = text.indexOf(']');
        e.kind = Kind::Section;
        e.name = trimmed(text.sliced(1, (close < 0 ? text.size() : close) - 1));
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
    return i < line.end && content[i] == '[';
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
    if (content.isEmpty() || content.endsWith('\n') || content == kUtf8Bom)
        return {};
    return content.endsWith('\r') ? QByteArray("\n") : kCrLf;
}

// The file's bytes as the functions parse them; false when there is no readable file.
bool loadFile(const QString& file, QByteArray* bytes, FileEncoding* encoding, bool* unreadable = nullptr) {
    if (unreadable)
        *unreadable = false;
    if (!QFileInfo(file).isFile())
        return false;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        if (unreadable)
            *unreadable = true;
        return false;
    }
    QByteArray raw = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        if (unreadable)
            *unreadable = true;
        return false;
    }
    *encoding = detectEncoding(raw);
    if (*encoding == FileEncoding::Utf16LE || *encoding == FileEncoding::Utf16BE) {
        QStringDecoder decode(*encoding == FileEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                                 : QStringConverter::Utf16BE);
        const QString text = decode(QByteArrayView(raw).sliced(2));
        raw = text.toUtf8();
    }
    *bytes = raw;
    return true;
}

QByteArray toFileBytes(const QByteArray& parsed, FileEncoding encoding) {
    if (encoding != FileEncoding::Utf16LE && encoding != FileEncoding::Utf16BE)
        return parsed;
    const bool le = encoding == FileEncoding::Utf16LE;
    QStringEncoder encode(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    return QByteArray(le ? "\xFF\xFE" : "\xFE\xFF") + QByteArray(encode(QString::fromUtf8(parsed)));
}

} // namespace

QByteArray readValue(const QByteArray& content, const QByteArray& section, const QByteArray& key, bool* found) {
    if (found)
        *found = false;
    bool inSection = false;
    Lines lines(content);
    Line line;
    while (lines.next(&line)) {
        if (!inSection && !isSectionLine(content, line))
            continue; // outside the section only section lines matter
        const Entry e = parse(content, line);
        if (e.kind == Kind::Section) {
            if (inSection)
                return {}; // only the first section of the name counts
            inSection = sameName(e.name, section);
        } else if (inSection && (e.kind == Kind::Key || e.kind == Kind::KeyOnly) && sameName(e.name, key)) {
            if (e.kind == Kind::KeyOnly)
                return {};
            if (found)
                *found = true;
            return unquoted(e.value);
        }
    }
    return {};
}

bool writeValue(QByteArray& content, const QByteArray& section, const QByteArray& key, const QByteArray& value) {
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
            const QByteArray replacement = e.name.toByteArray() + '=' + value + kCrLf;
            content.replace(line.begin, line.next - line.begin, replacement);
            return true;
        }
        insertAt = line.next;
    }

    const QByteArray keyLine = trimmed(key).toByteArray() + '=' + value + kCrLf;
    if (sectionFound) {
        QByteArray text = keyLine;
        if (insertAt == content.size())
            text.prepend(missingLineEnd(content));
        content.insert(insertAt, text);
    } else {
        content += missingLineEnd(content) + '[' + trimmed(section).toByteArray() + ']' + kCrLf + keyLine;
    }
    return true;
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
    QFile in(file);
    if (!QFileInfo(file).isFile() || !in.open(QIODevice::ReadOnly))
        return FileEncoding::Native;
    return detectEncoding(in.read(kUtf8Bom.size()));
}

qint64 profileSize(const QString& file) {
    // Only a UTF-16 file changes its size on the way in; others are not read.
    const QFileInfo info(file);
    if (!info.isFile())
        return -1;
    const FileEncoding announced = fileEncoding(file);
    if (announced != FileEncoding::Utf16LE && announced != FileEncoding::Utf16BE)
        return QFile(file).open(QIODevice::ReadOnly) ? info.size() : -1;
    QByteArray bytes;
    FileEncoding encoding;
    if (!loadFile(file, &bytes, &encoding))
        return -1;
    return bytes.size();
}

int GetPrivateProfileStringA(const QByteArray& section, const QByteArray& key, const QByteArray& defaultValue,
                             char* buffer, int size, const QString& file) {
    if (size <= 0 || !buffer)
        return 0;
    QByteArray bytes;
    FileEncoding encoding;
    bool found = false;
    QByteArray value;
    if (loadFile(file, &bytes, &encoding))
        value = readValue(bytes, section, key, &found);
    if (!found)
        value = defaultValue;
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

    QByteArray content;
    FileEncoding encoding = FileEncoding::Native;
    bool unreadable = false;
    if (!loadFile(file, &content, &encoding, &unreadable) && unreadable)
        return fail(QStringLiteral("无法读取现有的文件"));
    if (!writeValue(content, section, key, value))
        return fail(QStringLiteral("无法写入该值"));
    QString reason;
    if (!replaceFileAtomically(file, toFileBytes(content, encoding), &reason))
        return fail(reason);
    return true;
}

} // namespace profile
