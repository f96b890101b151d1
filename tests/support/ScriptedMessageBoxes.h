#pragma once
// Message boxes for tests: records every box (text, title, style) and answers
// Yes/No boxes from a queue. A Yes/No box with no queued answer fails the test.
// OK boxes are answered at once.
#include "widgets/MessageBoxes.h"

#include <QList>
#include <functional>

struct ShownBox {
    QString text;
    QString title;
    int style = 0;
    bool operator==(const ShownBox&) const = default;
};

class ScriptedMessageBoxes : public MessageBoxes {
public:
    void answerNext(int answer) { m_answers.append(answer); }
    int show(QWidget* parent, const QString& text, const QString& title, int style) override;
    // Recorded as an information box; answered with the next queued snooze
    // (0, 确定, when none is queued).
    void snoozeNext(int minutes) { m_snoozes.append(minutes); }
    int showSnoozable(QWidget* parent, const QString& text, const QString& title, const QList<int>& minutes,
                      int defaultMinutes) override;

    QList<ShownBox> shown;
    // Runs while a box is "open", as a modal box's own event loop would let timers run.
    std::function<void(const ShownBox&)> whileOpen;
    // What the last snoozable box offered.
    QList<int> offeredMinutes;
    int offeredDefault = 0;

private:
    QList<int> m_answers;
    QList<int> m_snoozes;
};
