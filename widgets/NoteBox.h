#pragma once
// The note box: a plain-text editor that takes plain text only from the
// clipboard, the selection and drops. Pasting nothing (an empty clipboard, data
// without text) changes nothing, and a paste that would make the note longer
// than MaxNoteLength is refused whole.
#include <QPlainTextEdit>

class NoteBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit NoteBox(QWidget* parent = nullptr) : QPlainTextEdit(parent) {}

signals:
    // A paste was refused; length is the note's length it would have given.
    void pasteTooLong(qsizetype length);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
