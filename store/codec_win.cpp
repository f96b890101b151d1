#include "store/TextCodec.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

// GBK-compatible GB18030. Every character code page 936 holds is written as 936
// writes it (so "€" is the single byte 0x80, as GBK files have it); only the
// characters 936 lacks get the four-byte GB18030 forms. Those come from code page
// 54936 where the system has it; where it does not (Wine), from the standard's own
// table of four-byte ranges below, so such characters are never lost. GB18030's
// A2 E3 reads as the euro sign too.
namespace {
constexpr UINT kGbk = 936;
constexpr UINT kGb18030 = 54936;

// Runs of BMP code points whose four-byte forms are consecutive: first, last, and
// the linear index of first's four-byte form.
struct Range {
    char16_t first;
    char16_t last;
    int linear;
};
constexpr Range kRanges[] = {
    {0x0080, 0x00A3, 0},     {0x00A5, 0x00A6, 36},    {0x00A9, 0x00AF, 38},    {0x00B2, 0x00B6, 45},
    {0x00B8, 0x00D6, 50},    {0x00D8, 0x00DF, 81},    {0x00E2, 0x00E7, 89},    {0x00EB, 0x00EB, 95},
    {0x00EE, 0x00F1, 96},    {0x00F4, 0x00F6, 100},   {0x00F8, 0x00F8, 103},   {0x00FB, 0x00FB, 104},
    {0x00FD, 0x0100, 105},   {0x0102, 0x0112, 109},   {0x0114, 0x011A, 126},   {0x011C, 0x012A, 133},
    {0x012C, 0x0143, 148},   {0x0145, 0x0147, 172},   {0x0149, 0x014C, 175},   {0x014E, 0x016A, 179},
    {0x016C, 0x01CD, 208},   {0x01CF, 0x01CF, 306},   {0x01D1, 0x01D1, 307},   {0x01D3, 0x01D3, 308},
    {0x01D5, 0x01D5, 309},   {0x01D7, 0x01D7, 310},   {0x01D9, 0x01D9, 311},   {0x01DB, 0x01DB, 312},
    {0x01DD, 0x01F8, 313},   {0x01FA, 0x0250, 341},   {0x0252, 0x0260, 428},   {0x0262, 0x02C6, 443},
    {0x02C8, 0x02C8, 544},   {0x02CC, 0x02D8, 545},   {0x02DA, 0x0390, 558},   {0x03A2, 0x03A2, 741},
    {0x03AA, 0x03B0, 742},   {0x03C2, 0x03C2, 749},   {0x03CA, 0x0400, 750},   {0x0402, 0x040F, 805},
    {0x0450, 0x0450, 819},   {0x0452, 0x200F, 820},   {0x2011, 0x2012, 7922},  {0x2017, 0x2017, 7924},
    {0x201A, 0x201B, 7925},  {0x201E, 0x2024, 7927},  {0x2027, 0x202F, 7934},  {0x2031, 0x2031, 7943},
    {0x2034, 0x2034, 7944},  {0x2036, 0x203A, 7945},  {0x203C, 0x20AB, 7950},  {0x20AD, 0x2102, 8062},
    {0x2104, 0x2104, 8148},  {0x2106, 0x2108, 8149},  {0x210A, 0x2115, 8152},  {0x2117, 0x2120, 8164},
    {0x2122, 0x215F, 8174},  {0x216C, 0x216F, 8236},  {0x217A, 0x218F, 8240},  {0x2194, 0x2195, 8262},
    {0x219A, 0x2207, 8264},  {0x2209, 0x220E, 8374},  {0x2210, 0x2210, 8380},  {0x2212, 0x2214, 8381},
    {0x2216, 0x2219, 8384},  {0x221B, 0x221C, 8388},  {0x2221, 0x2222, 8390},  {0x2224, 0x2224, 8392},
    {0x2226, 0x2226, 8393},  {0x222C, 0x222D, 8394},  {0x222F, 0x2233, 8396},  {0x2238, 0x223C, 8401},
    {0x223E, 0x2247, 8406},  {0x2249, 0x224B, 8416},  {0x224D, 0x2251, 8419},  {0x2253, 0x225F, 8424},
    {0x2262, 0x2263, 8437},  {0x2268, 0x226D, 8439},  {0x2270, 0x2294, 8445},  {0x2296, 0x2298, 8482},
    {0x229A, 0x22A4, 8485},  {0x22A6, 0x22BE, 8496},  {0x22C0, 0x2311, 8521},  {0x2313, 0x245F, 8603},
    {0x246A, 0x2473, 8936},  {0x249C, 0x24FF, 8946},  {0x254C, 0x254F, 9046},  {0x2574, 0x2580, 9050},
    {0x2590, 0x2592, 9063},  {0x2596, 0x259F, 9066},  {0x25A2, 0x25B1, 9076},  {0x25B4, 0x25BB, 9092},
    {0x25BE, 0x25C5, 9100},  {0x25C8, 0x25CA, 9108},  {0x25CC, 0x25CD, 9111},  {0x25D0, 0x25E1, 9113},
    {0x25E6, 0x2604, 9131},  {0x2607, 0x2608, 9162},  {0x260A, 0x263F, 9164},  {0x2641, 0x2641, 9218},
    {0x2643, 0x2E80, 9219},  {0x2E82, 0x2E83, 11329}, {0x2E85, 0x2E87, 11331}, {0x2E89, 0x2E8A, 11334},
    {0x2E8D, 0x2E96, 11336}, {0x2E98, 0x2EA6, 11346}, {0x2EA8, 0x2EA9, 11361}, {0x2EAB, 0x2EAD, 11363},
    {0x2EAF, 0x2EB2, 11366}, {0x2EB4, 0x2EB5, 11370}, {0x2EB8, 0x2EBA, 11372}, {0x2EBC, 0x2EC9, 11375},
    {0x2ECB, 0x2FEF, 11389}, {0x2FFC, 0x2FFF, 11682}, {0x3004, 0x3004, 11686}, {0x3018, 0x301C, 11687},
    {0x301F, 0x3020, 11692}, {0x302A, 0x303D, 11694}, {0x303F, 0x3040, 11714}, {0x3094, 0x309A, 11716},
    {0x309F, 0x30A0, 11723}, {0x30F7, 0x30FB, 11725}, {0x30FF, 0x3104, 11730}, {0x312A, 0x321F, 11736},
    {0x322A, 0x3230, 11982}, {0x3232, 0x32A2, 11989}, {0x32A4, 0x338D, 12102}, {0x3390, 0x339B, 12336},
    {0x339F, 0x33A0, 12348}, {0x33A2, 0x33C3, 12350}, {0x33C5, 0x33CD, 12384}, {0x33CF, 0x33D0, 12393},
    {0x33D3, 0x33D4, 12395}, {0x33D6, 0x3446, 12397}, {0x3448, 0x3472, 12510}, {0x3474, 0x359D, 12553},
    {0x359F, 0x360D, 12851}, {0x360F, 0x3619, 12962}, {0x361B, 0x3917, 12973}, {0x3919, 0x396D, 13738},
    {0x396F, 0x39CE, 13823}, {0x39D1, 0x39DE, 13919}, {0x39E0, 0x3A72, 13933}, {0x3A74, 0x3B4D, 14080},
    {0x3B4F, 0x3C6D, 14298}, {0x3C6F, 0x3CDF, 14585}, {0x3CE1, 0x4055, 14698}, {0x4057, 0x415E, 15583},
    {0x4160, 0x4336, 15847}, {0x4338, 0x43AB, 16318}, {0x43AD, 0x43B0, 16434}, {0x43B2, 0x43DC, 16438},
    {0x43DE, 0x44D5, 16481}, {0x44D7, 0x464B, 16729}, {0x464D, 0x4660, 17102}, {0x4662, 0x4722, 17122},
    {0x4724, 0x4728, 17315}, {0x472A, 0x477B, 17320}, {0x477D, 0x478C, 17402}, {0x478E, 0x4946, 17418},
    {0x4948, 0x4979, 17859}, {0x497B, 0x497C, 17909}, {0x497E, 0x4981, 17911}, {0x4984, 0x4984, 17915},
    {0x4987, 0x499A, 17916}, {0x499C, 0x499E, 17936}, {0x49A0, 0x49B5, 17939}, {0x49B8, 0x4C76, 17961},
    {0x4C78, 0x4C9E, 18664}, {0x4CA4, 0x4D12, 18703}, {0x4D1A, 0x4DAD, 18814}, {0x4DAF, 0x4DFF, 18962},
    {0x9FA6, 0xD7FF, 19043}, {0xE76C, 0xE76C, 33469}, {0xE7C8, 0xE7C8, 33470}, {0xE7E7, 0xE7F3, 33471},
    {0xE815, 0xE815, 33484}, {0xE819, 0xE81D, 33485}, {0xE81F, 0xE825, 33490}, {0xE827, 0xE82A, 33497},
    {0xE82D, 0xE830, 33501}, {0xE833, 0xE83A, 33505}, {0xE83C, 0xE842, 33513}, {0xE844, 0xE853, 33520},
    {0xE856, 0xE863, 33536}, {0xE865, 0xF92B, 33550}, {0xF92D, 0xF978, 37845}, {0xF97A, 0xF994, 37921},
    {0xF996, 0xF9E6, 37948}, {0xF9E8, 0xF9F0, 38029}, {0xF9F2, 0xFA0B, 38038}, {0xFA10, 0xFA10, 38064},
    {0xFA12, 0xFA12, 38065}, {0xFA15, 0xFA17, 38066}, {0xFA19, 0xFA1E, 38069}, {0xFA22, 0xFA22, 38075},
    {0xFA25, 0xFA26, 38076}, {0xFA2A, 0xFE2F, 38078}, {0xFE32, 0xFE32, 39108}, {0xFE45, 0xFE48, 39109},
    {0xFE53, 0xFE53, 39113}, {0xFE58, 0xFE58, 39114}, {0xFE67, 0xFE67, 39115}, {0xFE6C, 0xFF00, 39116},
    {0xFF5F, 0xFFDF, 39265}, {0xFFE6, 0xFFFF, 39394},
};
// U+10000 is 90 30 81 30; the supplementary planes follow linearly.
constexpr int kSupplementaryLinear = 189000;
constexpr int kLinearCount = 126 * 10 * 126 * 10;

bool has54936() {
    static const bool valid = IsValidCodePage(kGb18030) != 0;
    return valid;
}

void appendFourBytes(QByteArray& out, int linear) {
    char bytes[4];
    bytes[3] = char(0x30 + linear % 10);
    linear /= 10;
    bytes[2] = char(0x81 + linear % 126);
    linear /= 126;
    bytes[1] = char(0x30 + linear % 10);
    bytes[0] = char(0x81 + linear / 10);
    out.append(bytes, 4);
}

int fourByteLinear(const unsigned char* b) {
    return (((b[0] - 0x81) * 10 + (b[1] - 0x30)) * 126 + (b[2] - 0x81)) * 10 + (b[3] - 0x30);
}

// The four-byte form of one code point from the table; false when it has none.
bool tableEncode(char32_t codePoint, QByteArray& out) {
    if (codePoint >= 0x10000 && codePoint <= 0x10FFFF) {
        appendFourBytes(out, kSupplementaryLinear + int(codePoint - 0x10000));
        return true;
    }
    const auto* range = std::upper_bound(std::begin(kRanges), std::end(kRanges), codePoint,
                                         [](char32_t c, const Range& r) { return c < r.first; });
    if (range == std::begin(kRanges))
        return false;
    --range;
    if (codePoint > range->last)
        return false;
    appendFourBytes(out, range->linear + int(codePoint - range->first));
    return true;
}

// The code point of one four-byte form from the table; 0 when it has none.
char32_t tableDecode(int linear) {
    if (linear >= kSupplementaryLinear) {
        const int offset = linear - kSupplementaryLinear;
        return offset <= 0x10FFFF - 0x10000 ? char32_t(0x10000 + offset) : 0;
    }
    const auto* range = std::upper_bound(std::begin(kRanges), std::end(kRanges), linear,
                                         [](int l, const Range& r) { return l < r.linear; });
    if (range == std::begin(kRanges))
        return 0;
    --range;
    const int offset = linear - range->linear;
    return offset <= range->last - range->first ? char32_t(range->first + offset) : 0;
}

// Appends the bytes of wide[0..length) in code page; false when one of them has
// no form there.
bool appendInCodePage(UINT codePage, const wchar_t* wide, int length, QByteArray& out) {
    BOOL usedDefault = FALSE;
    const DWORD flags = codePage == kGbk ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL* used = codePage == kGbk ? &usedDefault : nullptr;
    const int needed = WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, nullptr, used);
    if (needed <= 0 || usedDefault)
        return false;
    const qsizetype at = out.size();
    out.resize(at + needed);
    WideCharToMultiByte(codePage, flags, wide, length, out.data() + at, needed, nullptr, nullptr);
    return true;
}

void appendDecoded(UINT codePage, const char* bytes, int length, QString& out) {
    if (length <= 0)
        return;
    const int needed = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    if (needed <= 0)
        return;
    const qsizetype at = out.size();
    out.resize(at + needed);
    MultiByteToWideChar(codePage, 0, bytes, length, reinterpret_cast<wchar_t*>(out.data() + at), needed);
}

const wchar_t* wideOf(const QChar* text) {
    return reinterpret_cast<const wchar_t*>(text);
}
} // namespace

QByteArray encodeText(const QString& text) {
    QByteArray out;
    if (text.isEmpty() || appendInCodePage(kGbk, wideOf(text.constData()), int(text.size()), out))
        return out;
    // Some character lacks a GBK form: one code point at a time.
    out.clear();
    bool replaced = false;
    for (qsizetype i = 0; i < text.size();) {
        const int width =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const wchar_t* wide = wideOf(text.constData() + i);
        const char32_t codePoint =
            width == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        if (!appendInCodePage(kGbk, wide, width, out) &&
            !(has54936() && appendInCodePage(kGb18030, wide, width, out)) && !tableEncode(codePoint, out)) {
            out.append('?'); // a lone surrogate: no encoding has a form for it
            replaced = true;
        }
        i += width;
    }
    if (replaced)
        qWarning("text holds a broken UTF-16 surrogate; written as '?'");
    return out;
}

QString decodeText(const QByteArray& bytes) {
    QString out;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype runStart = 0; // start of the run of one- and two-byte forms not yet decoded
    for (qsizetype i = 0; i < size;) {
        const bool fourBytes = b[i] >= 0x81 && b[i] <= 0xFE && i + 3 < size && b[i + 1] >= 0x30 && b[i + 1] <= 0x39 &&
                               b[i + 2] >= 0x81 && b[i + 2] <= 0xFE && b[i + 3] >= 0x30 && b[i + 3] <= 0x39;
        if (!fourBytes) {
            const bool pair = b[i] >= 0x81 && b[i] <= 0xFE && i + 1 < size;
            if (pair && b[i] == 0xA2 && b[i + 1] == 0xE3) {
                // GB18030's euro sign, which code page 936 writes as 0x80.
                appendDecoded(kGbk, bytes.constData() + runStart, int(i - runStart), out);
                out.append(QChar(0x20AC));
                runStart = i + 2;
            }
            i += pair ? 2 : 1;
            continue;
        }
        appendDecoded(kGbk, bytes.constData() + runStart, int(i - runStart), out);
        const qsizetype before = out.size();
        if (has54936())
            appendDecoded(kGb18030, bytes.constData() + i, 4, out);
        if (out.size() == before) {
            const char32_t codePoint = tableDecode(fourByteLinear(b + i));
            if (codePoint != 0)
                out.append(QString::fromUcs4(&codePoint, 1));
            else
                out.append(QChar(QChar::ReplacementCharacter));
        }
        i += 4;
        runStart = i;
    }
    appendDecoded(kGbk, bytes.constData() + runStart, int(size - runStart), out);
    return out;
}
