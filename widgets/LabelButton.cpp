#include "widgets/LabelButton.h"

#include "widgets/Colors.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <QToolTip>

namespace {

const char* const HiddenProperty = "jotlarkAccessibleHidden";

// A label button as screen readers see it: its role, its accessible name (or its
// text), and a press action when it works from the keyboard.
class LabelButtonAccessible final : public QAccessibleWidget {
public:
    explicit LabelButtonAccessible(LabelButton* label) : QAccessibleWidget(label, label->accessibleRole()) {
        if (label->keyboardActivation())
            addControllingSignal(QStringLiteral("clicked()"));
    }
    LabelButton* label() const { return static_cast<LabelButton*>(widget()); }
    QAccessible::Role role() const override { return label()->accessibleRole(); }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return label()->accessibleName().isEmpty() ? label()->text() : label()->accessibleName();
        if (t == QAccessible::Description && !label()->accessibleName().isEmpty())
            return label()->text(); // a note slot: named by its number, described by its note
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override {
        return label()->keyboardActivation() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& name) override {
        if (name == pressAction() && label()->keyboardActivation())
            emit label()->clicked();
    }
};

class HiddenAccessible final : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.invisible = true;
        s.focusable = false;
        return s;
    }
};

bool hiddenFromAccessibility(const QObject* object) {
    return object && object->property(HiddenProperty).toBool();
}

// A plain widget (the board) as screen readers see it: its children, less the
// helper controls hidden from them.
class ContainerAccessible final : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;
    int childCount() const override { return int(shownChildren().size()); }
    QAccessibleInterface* child(int index) const override { return shownChildren().value(index); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return int(shownChildren().indexOf(const_cast<QAccessibleInterface*>(child)));
    }

private:
    QList<QAccessibleInterface*> shownChildren() const {
        QList<QAccessibleInterface*> shown;
        for (int i = 0, n = QAccessibleWidget::childCount(); i < n; ++i) {
            QAccessibleInterface* c = QAccessibleWidget::child(i);
            if (c && !hiddenFromAccessibility(c->object()))
                shown.append(c);
        }
        return shown;
    }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    if (hiddenFromAccessibility(widget))
        return new HiddenAccessible(widget);
    // Asked as a QWidget: no factory knew a more derived class.
    if (className == QLatin1String("QWidget"))
        return new ContainerAccessible(widget);
    if (className == QLatin1String("LabelButton"))
        return new LabelButtonAccessible(static_cast<LabelButton*>(widget));
    return nullptr;
}

} // namespace

LabelButton::LabelButton(const QString& text, QWidget* parent) : QLabel(text, parent) {
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleFor), true);
    Q_UNUSED(factoryInstalled);
    setMouseTracking(true);
}

void hideFromAccessibility(QWidget* widget) {
    widget->setProperty(HiddenProperty, true);
}

void LabelButton::setKeyboardActivation(QAccessible::Role role) {
    m_role = role;
    // Tab only: a click keeps the focus where it was, as before.
    setFocusPolicy(Qt::TabFocus);
}

void LabelButton::keyPressEvent(QKeyEvent* event) {
    if (!keyboardActivation()) {
        QLabel::keyPressEvent(event);
        return;
    }
    const int key = event->key();
    const bool menuKey = key == Qt::Key_Menu || (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey) {
        emit menuKeyPressed(mapToGlobal(rect().center()));
    } else if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        emit clicked();
    } else {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
}

void LabelButton::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    // Shown only when the keyboard moved the focus here, so that a window opened
    // with the mouse looks as it always did; a window coming back to the front
    // shows its focus as it was.
    if (event->reason() == Qt::ActiveWindowFocusReason) {
        update();
        return;
    }
    m_keyboardFocus = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    update();
    if (m_keyboardFocus)
        emit focused();
}

void LabelButton::takeKeyboardFocus() {
    setFocus(Qt::TabFocusReason);
    // No focus event when the focus was here already or the window is not active yet.
    if (!m_keyboardFocus) {
        m_keyboardFocus = true;
        update();
        emit focused();
    }
}

void LabelButton::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    update();
}

void LabelButton::setElideOverflow(bool on) {
    m_elide = on;
    update();
}

QRect LabelButton::textBox() const {
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

bool LabelButton::overflows() const {
    if (!m_elide || text().isEmpty())
        return false;
    const QRect box = textBox();
    const QRect needed = fontMetrics().boundingRect(box, int(alignment()) | Qt::TextWordWrap, text());
    return needed.height() > box.height() || needed.width() > box.width();
}

void LabelButton::paintEvent(QPaintEvent* event) {
    if (overflows()) {
        // The frame from QLabel, then the lines that fit, the last one elided.
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        const QRect box = textBox();
        const QFontMetrics metrics = fontMetrics();
        QString shown = text();
        shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
        QTextLayout layout(shown, font());
        QList<QPair<int, int>> lines; // start and length of each line that fits
        layout.beginLayout();
        const int fitting = qMax(1, box.height() / metrics.lineSpacing());
        for (QTextLine line = layout.createLine(); line.isValid() && lines.size() < fitting;
             line = layout.createLine()) {
            line.setLineWidth(box.width());
            lines.append({line.textStart(), line.textLength()});
        }
        layout.endLayout();
        int y = box.top() + metrics.ascent();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const bool last = i + 1 == lines.size();
            QString part = last ? shown.mid(lines[i].first) : shown.mid(lines[i].first, lines[i].second);
            part.replace(QChar::LineSeparator, QLatin1Char(' '));
            if (last)
                part = metrics.elidedText(part, Qt::ElideRight, box.width());
            painter.drawText(QPoint(box.left(), y), part.trimmed());
            y += metrics.lineSpacing();
        }
    } else {
        QLabel::paintEvent(event);
    }
    if (hasFocus() && m_keyboardFocus) {
        QPainter painter(this);
        QPen pen(palette().color(QPalette::WindowText));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

bool LabelButton::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && m_elide) {
        if (overflows())
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void LabelButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_leftDown = true;
    emit pressed(event->button(), event->globalPosition().toPoint());
    event->accept();
}

void LabelButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_leftDown && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_leftDown = false;
    event->accept();
    if (click)
        emit clicked();
}

void LabelButton::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved();
    event->accept();
}

void HoverHighlight(const QList<QLabel*>& group, QLabel* k, const QString& c1) {
    const Theme* theme = themeFor(c1);
    if (!theme)
        return;
    for (QLabel* label : group)
        if (label != k)
            setBackground(label, theme->strip);
    if (k)
        setBackground(k, theme->hover);
}

void HoverReset(const QList<QLabel*>& group, const QString& c1) {
    HoverHighlight(group, nullptr, c1);
}
