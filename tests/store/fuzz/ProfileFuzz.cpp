#include "tests/store/fuzz/ProfileFuzz.h"

#include "store/Profile.h"
#include "store/SettingsStore.h"
#include "store/TextCodec.h"

#include <QByteArrayList>
#include <QList>

#include <algorithm>

namespace {

// Takes choices from the end of the input; whatever is not taken is the content.
class Choices {
public:
    Choices(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint8_t byte() { return m_size ? m_data[--m_size] : 0; }
    QByteArray bytes(std::size_t maxCount) {
        const std::size_t n = std::min<std::size_t>(byte() % (maxCount + 1), m_size);
        m_size -= n;
        return QByteArray(reinterpret_cast<const char*>(m_data + m_size), qsizetype(n));
    }
    QByteArray rest() const { return QByteArray(reinterpret_cast<const char*>(m_data), qsizetype(m_size)); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\x1a';
}

QByteArray trimBlanks(QByteArray v) {
    qsizetype b = 0;
    qsizetype e = v.size();
    while (b < e && isBlank(v[b]))
        ++b;
    while (e > b && isBlank(v[e - 1]))
        --e;
    return v.sliced(b, e - b);
}

// What a reader gives back for a value written after '=': surrounding blanks
// (space, tab, VT, FF, Ctrl-Z) removed, then one matching pair of double or single quotes.
QByteArray asRead(const QByteArray& written) {
    QByteArray v = trimBlanks(written);
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
        v = v.sliced(1, v.size() - 2);
    return v;
}

QString asRead(const QString& written) {
    qsizetype b = 0;
    qsizetype e = written.size();
    while (b < e && written[b].unicode() < 0x80 && isBlank(char(written[b].unicode())))
        ++b;
    while (e > b && written[e - 1].unicode() < 0x80 && isBlank(char(written[e - 1].unicode())))
        --e;
    QString v = written.sliced(b, e - b);
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == u'"' || v.front() == u'\''))
        v = v.sliced(1, v.size() - 2);
    return v;
}

// Names are the same when they are equal after trimming, ignoring ASCII case only.
bool sameName(const QByteArray& a, const QByteArray& b) {
    const QByteArray x = trimBlanks(a);
    const QByteArray y = trimBlanks(b);
    if (x.size() != y.size())
        return false;
    for (qsizetype i = 0; i < x.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
        if (lower(x[i]) != lower(y[i]))
            return false;
    }
    return true;
}

// Section and key names as they appear in the content, found loosely, so that
// writes and probes hit existing names often.
void namesIn(const QByteArray& content, QByteArrayList* sections, QByteArrayList* keys) {
    constexpr qsizetype kMaxNames = 8;
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        line = trimBlanks(line);
        if (line.isEmpty())
            continue;
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            const QByteArray name = line.mid(1, close < 0 ? -1 : close - 1);
            if (sections->size() < kMaxNames && !sections->contains(name))
                sections->append(name);
        } else {
            const qsizetype eq = line.indexOf('=');
            const QByteArray name = eq < 0 ? line : line.first(eq);
            if (keys->size() < kMaxNames && !keys->contains(name))
                keys->append(name);
        }
    }
}

QByteArray flipCase(QByteArray name, std::uint8_t pattern) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if ((pattern >> (i % 8)) & 1) {
            if (c >= 'a' && c <= 'z')
                name[i] = char(c - 32);
            else if (c >= 'A' && c <= 'Z')
                name[i] = char(c + 32);
        }
    }
    return name;
}

// A section or key name to write: an existing one (as it is, or with its case
// changed and blanks around it), a usual one, or arbitrary bytes.
QByteArray drawName(Choices& in, const QByteArrayList& existing, const QByteArrayList& usual) {
    const std::uint8_t how = in.byte() % 4;
    const std::uint8_t which = in.byte();
    if (how == 0 && !existing.isEmpty())
        return existing[which % existing.size()];
    if (how == 1 && !existing.isEmpty())
        return " \t" + flipCase(existing[which % existing.size()], in.byte()) + ' ';
    if (how == 2)
        return usual[which % usual.size()];
    return in.bytes(12);
}

QByteArray drawValue(Choices& in) {
    static const QByteArrayList tricky = {"",     " ",         "\"",     "''",       "\"x\"",        " a b ",
                                          "=",    "a=b",       "[Main]", ";comment", "\\",           "\\n",
                                          "'x\"", "\t\"q\"\t", "\x00",   "\xa3\xac", "\xEF\xBB\xBF", "k"};
    if (in.byte() % 3 == 0)
        return tricky[in.byte() % tricky.size()];
    return in.bytes(40);
}

// Arbitrary UTF-16 text, lone surrogates included.
QString drawText(Choices& in) {
    const QByteArray raw = in.bytes(64);
    QString text;
    for (qsizetype i = 0; i + 1 < raw.size(); i += 2) {
        const char16_t unit = char16_t(std::uint8_t(raw[i]) | (std::uint8_t(raw[i + 1]) << 8));
        // Mostly characters the notes hold: ASCII, line breaks, backslashes, quotes, CJK.
        switch (unit % 4) {
        case 0:
            text += QChar(char16_t(unit >> 9));
            break;
        case 1:
            text += QChar(u"\\\r\n \t\"'="[(unit >> 2) % 8]);
            break;
        case 2:
            text += QChar(char16_t(0x4E00 + (unit >> 4)));
            break;
        default:
            text += QChar(unit);
            break;
        }
    }
    return text;
}

QString describe(const char* what, const QByteArray& section, const QByteArray& key) {
    return QStringLiteral("%1 [section %2, key %3]")
        .arg(QLatin1String(what), QString::fromLatin1(section.toHex()), QString::fromLatin1(key.toHex()));
}

struct Probe {
    QByteArray section;
    QByteArray key;
    bool found = false;
    QByteArray value;
};

// The bytes of `before` that `after` does not keep lie within one line: every
// other line, with its line end, is kept byte for byte.
bool changesAtMostOneLine(const QByteArray& before, const QByteArray& after) {
    const qsizetype common = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < common && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    return !before.sliced(prefix, before.size() - suffix - prefix).contains('\n');
}

QString checkWrite(const QByteArray& content, const QByteArray& section, const QByteArray& key, const QByteArray& value,
                   const QList<Probe>& probes) {
    QByteArray written = content;
    if (!profile::writeValue(written, section, key, value)) {
        if (written != content)
            return describe("a refused write changed the content", section, key);
        return {};
    }
    bool found = false;
    const QByteArray back = profile::readValue(written, section, key, &found);
    if (!found || back != asRead(value))
        return describe("a written value does not read back", section, key);
    for (const Probe& p : probes) {
        if (sameName(p.section, section) && sameName(p.key, key))
            continue;
        bool nowFound = false;
        const QByteArray now = profile::readValue(written, p.section, p.key, &nowFound);
        if (nowFound != p.found || now != p.value)
            return describe("a write changed another key", p.section, p.key);
    }
    if (!changesAtMostOneLine(content, written))
        return describe("a write changed more than the key's own line", section, key);
    return {};
}

QString checkEncoding(const QString& text, const QByteArray& content) {
    const QString stored = SettingsStore::encodeValue(text);
    if (stored.contains(u'\r') || stored.contains(u'\n'))
        return QStringLiteral("an encoded note holds a line break");
    if (stored.contains(QChar(u'\0')))
        return QStringLiteral("an encoded note holds a NUL, which the reader would drop");
    if (SettingsStore::decodeValue(asRead(stored)) != text)
        return QStringLiteral("an encoded note does not decode to itself");
    // Through the file's bytes, for every note but one starting with U+FEFF, which
    // UTF-8 decoding drops (lone surrogates included: their stored form is escaped).
    if (text.startsWith(QChar(0xFEFF)))
        return {};
    for (const bool utf8 : {true, false}) {
        QByteArray written = content;
        if (!profile::writeValue(written, "Main", "1", utf8 ? stored.toUtf8() : encodeText(stored)))
            return QStringLiteral("an encoded note was refused by the writer");
        const QByteArray back = profile::readValue(written, "Main", "1");
        if (SettingsStore::decodeValue(utf8 ? QString::fromUtf8(back) : decodeText(back)) != text)
            return QStringLiteral("an encoded note does not come back through the file (%1)")
                .arg(utf8 ? QStringLiteral("UTF-8") : QStringLiteral("GB18030"));
    }
    return {};
}

} // namespace

QString checkProfileInput(const std::uint8_t* data, std::size_t size) {
    static const QByteArrayList usualSections = {"Main", "main", "1", "6", "7", " Main "};
    static const QByteArrayList usualKeys = {"S", "X", "1", "6", "D", "T", "Color", "x"};

    Choices in(data, size);
    const std::uint8_t sectionHow[3] = {in.byte(), in.byte(), in.byte()};
    const std::uint8_t keyHow[3] = {in.byte(), in.byte(), in.byte()};
    const QByteArray value = drawValue(in);
    const QByteArray rawSection = in.bytes(12);
    const QByteArray rawKey = in.bytes(12);
    const QString text = drawText(in);
    const QByteArray content = in.rest();

    QByteArrayList sections;
    QByteArrayList keys;
    namesIn(content, &sections, &keys);
    sections += usualSections.first(2);
    keys += usualKeys.first(2);

    // The choices for the names, replayed over the names that the content holds.
    const std::uint8_t sectionChoices[] = {sectionHow[2], sectionHow[1], sectionHow[0]};
    const std::uint8_t keyChoices[] = {keyHow[2], keyHow[1], keyHow[0]};
    Choices sectionIn(sectionChoices, 3);
    Choices keyIn(keyChoices, 3);
    QByteArray section = drawName(sectionIn, sections, usualSections);
    QByteArray key = drawName(keyIn, keys, usualKeys);
    if ((sectionHow[0] & 0xC0) == 0xC0)
        section = rawSection;
    if ((keyHow[0] & 0xC0) == 0xC0)
        key = rawKey;

    // Reading never fails, whatever the content; the answers before the write.
    QList<Probe> probes;
    for (const QByteArray& s : sections) {
        for (const QByteArray& k : keys) {
            Probe p{s, k, false, {}};
            p.value = profile::readValue(content, s, k, &p.found);
            if (!p.found && !p.value.isEmpty())
                return describe("a missing key read as a value", s, k);
            probes.append(p);
        }
    }

    if (QString failed = checkWrite(content, section, key, value, probes); !failed.isEmpty())
        return failed;
    return checkEncoding(text, content);
}
