#include "widgets/NoteText.h"

namespace {

constexpr int NoteLines = 8;
constexpr int NoteLineLength = 60;
const QString Ellipsis = QStringLiteral("…");

} // namespace

QString noteTooLongMessage(qsizetype length) {
    return QStringLiteral("内容太长！每条记录最多 %1 个字符，现在是 %2 个字符。\r\n您输入的内容没有改动。")
        .arg(MaxNoteLength)
        .arg(length);
}

QString shortenForDisplay(const QString& text, int maxLines, int maxLineLength) {
    QString shown;
    bool cut = false;
    int lines = 0;
    qsizetype at = 0;
    while (at < text.size()) {
        if (lines == maxLines) {
            shown += Ellipsis;
            cut = true;
            break;
        }
        qsizetype end = at;
        while (end < text.size() && text.at(end) != u'\n' && text.at(end) != u'\r')
            ++end;
        if (end - at > maxLineLength) {
            qsizetype keep = maxLineLength - 1;
            // Never split a surrogate pair.
            if (keep > 0 && text.at(at + keep - 1).isHighSurrogate())
                --keep;
            shown += QStringView(text).mid(at, keep);
            shown += Ellipsis;
            cut = true;
        } else {
            shown += QStringView(text).mid(at, end - at);
        }
        qsizetype next = end;
        if (next < text.size())
            next += text.at(end) == u'\r' && end + 1 < text.size() && text.at(end + 1) == u'\n' ? 2 : 1;
        shown += QStringView(text).mid(end, next - end);
        at = next;
        ++lines;
    }
    return cut ? shown : text;
}

QString shortNote(const QString& text) {
    return shortenForDisplay(text, NoteLines, NoteLineLength);
}
