#include "widgets/NoteBox.h"

#include "widgets/NoteText.h"

#include <QMimeData>
#include <QTextCursor>

bool NoteBox::canInsertFromMimeData(const QMimeData* source) const {
    return source && source->hasText();
}

// Not handed on to QPlainTextEdit: its own paste crashes on some clipboards
// (an empty one among them) and would take rich text.
void NoteBox::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText())
        return;
    const QString text = source->text();
    if (text.isEmpty())
        return;
    QTextCursor cursor = textCursor();
    const qsizetype current = document()->characterCount() - 1;
    const qsizetype length = current - (cursor.selectionEnd() - cursor.selectionStart()) + text.size();
    if (length > MaxNoteLength) {
        emit pasteTooLong(length);
        return;
    }
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}
