#include "tests/support/ScriptedMessageBoxes.h"

#include <QTest>

int ScriptedMessageBoxes::show(QWidget*, const QString& text, const QString& title, int style) {
    const ShownBox box{text, title, style};
    shown.append(box);
    if (whileOpen)
        whileOpen(box);
    if (style != Box::YesNo)
        return Box::Ok;
    if (m_answers.isEmpty()) {
        QTest::qFail(qPrintable(QStringLiteral("unexpected question: %1 / %2").arg(title, text)), __FILE__, __LINE__);
        return Box::No;
    }
    return m_answers.takeFirst();
}

int ScriptedMessageBoxes::showSnoozable(QWidget* parent, const QString& text, const QString& title,
                                        const QList<int>& minutes, int defaultMinutes) {
    offeredMinutes = minutes;
    offeredDefault = defaultMinutes;
    show(parent, text, title, Box::Information);
    return m_snoozes.isEmpty() ? 0 : m_snoozes.takeFirst();
}
