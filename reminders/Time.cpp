#include "reminders/Time.h"

#include "reminders/DateTimeText.h"
#include "reminders/ReminderSchedule.h"
#include "widgets/Colors.h"
#include "widgets/Fonts.h"
#include "widgets/LabelButton.h"
#include "widgets/MessageBoxes.h"
#include "widgets/NoteText.h"
#include "widgets/Twips.h"
#include "window/TitleDrag.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>

namespace {

const QString kFallbackDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kTimeBoxDesignText = QStringLiteral("00");

// Replaces the first occurrence of from; false when there is none.
bool replaceFirst(QString& text, const QString& from, const QString& to) {
    const qsizetype at = text.indexOf(from);
    if (at < 0)
        return false;
    text.replace(at, from.size(), to);
    return true;
}

bool hasFormatLetters(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'\''; });
}

// A label of the design: plain text (a note is the user's text, never markup).
QLabel* plainLabel(const QString& text, QWidget* parent, const QRect& place, const QFont& font,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(place);
    label->setFont(font);
    label->setAlignment(alignment);
    return label;
}

LabelButton* buttonLabel(const QString& text, QWidget* parent, const QRect& place, Bgr strip) {
    auto* label = new LabelButton(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(place);
    label->setFont(yaheiFont(12));
    label->setAlignment(Qt::AlignCenter);
    setBackground(label, strip);
    setForeground(label, kWindowText);
    label->setKeyboardActivation(); // after the boxes in the Tab order; no shortcut
    return label;
}

QLineEdit* timeBox(QWidget* parent, const QRect& place, Bgr light) {
    auto* box = new QLineEdit(kTimeBoxDesignText, parent);
    box->setGeometry(place);
    box->setFont(yaheiFont(14.25));
    box->setAlignment(Qt::AlignCenter);
    box->setMaxLength(TimeBoxMaxLength);
    // An input method would commit text past the key filter.
    box->setAttribute(Qt::WA_InputMethodEnabled, false);
    setBackground(box, light);
    return box;
}

// The character code a key press types, as the boxes' rule sees it; -1 for a
// press that types no character (arrows, Delete, Home, Tab, shortcuts), which
// the boxes handle as usual.
int typedCode(const QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier))
        return -1;
    switch (event->key()) {
    case Qt::Key_Backspace:
        return BackspaceKey;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return '\r';
    case Qt::Key_Escape:
        return 0x1B;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return -1; // moves the focus, as in every window
    default:
        break;
    }
    const QString text = event->text();
    if (text.isEmpty())
        return -1;
    // A press that types more than one character at once is not a digit.
    return text.size() == 1 ? text.at(0).unicode() : 0;
}

} // namespace

QString datePickerFormat() {
    const QDate probe(2033, 1, 2);
    const QString text = DateText(probe);
    if (text.isEmpty() || hasFormatLetters(text))
        return kFallbackDateFormat;
    QString format = text;
    if (!replaceFirst(format, "2033", "yyyy") && !replaceFirst(format, "33", "yy"))
        return kFallbackDateFormat;
    if (!replaceFirst(format, "01", "MM") && !replaceFirst(format, "1", "M"))
        return kFallbackDateFormat;
    if (!replaceFirst(format, "02", "dd") && !replaceFirst(format, "2", "d"))
        return kFallbackDateFormat;
    const QLocale c = QLocale::c();
    for (const QDate& check : {probe, QDate(2044, 12, 25), QDate(1800, 10, 9)})
        if (c.toString(check, format) != DateText(check))
            return kFallbackDateFormat;
    return format;
}

Time::Time(TimeHost& board, ReminderSchedule& schedule, ReminderStore& store, const Clock& clock, MessageBoxes& boxes,
           QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_board(board), m_boxes(boxes),
      m_editor(store, schedule, clock) {
    buildControls();
    Timer1.setInterval(kClockInterval);
    connect(&Timer1, &QTimer::timeout, this, &Time::refreshClock);
    connect(&CC, &QTimer::timeout, this, &Time::paintTheme);
    CC.enable();
    runOpeningSteps();
    attachWindowProcedure(this);
}

Time::~Time() = default;

void Time::buildControls() {
    setModal(true);
    setWindowTitle(EditorText::Caption);
    setFixedSize(px(kWidthTwips), px(kHeightTwips));
    setMouseTracking(true);
    const Theme& theme = initialTheme();
    setBackground(this, theme.light);

    Label1 = new LabelButton(EditorText::TitleStrip, this);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setGeometry(pxRect(0, 0, 4575, 375));
    Label1->setFont(yaheiFont(12));
    Label1->setAlignment(Qt::AlignCenter);
    setBackground(Label1, theme.strip);
    setForeground(Label1, theme.stripText);
    connect(Label1, &LabelButton::pressed, this, &Time::titlePressed);

    Label2[0] = plainLabel(QStringLiteral("内容："), this, pxRect(120, 480, 630, 300), yaheiFont(10.5));
    Label3 = plainLabel(QString(), this, pxRect(840, 540, 3615, 555), kaitiFont(10.5));
    Label3->setFrameShape(QFrame::Box);
    Label3->setWordWrap(true);
    setBackground(Label3, theme.light);
    Label2[1] = plainLabel(QStringLiteral("时间："), this, pxRect(120, 1560, 630, 300), yaheiFont(10.5));

    DTPicker1 = new QDateEdit(this);
    DTPicker1->setGeometry(pxRect(840, 1440, 1695, 495));
    DTPicker1->setFont(yaheiFont(12));
    DTPicker1->setLocale(QLocale(QLocale::Chinese, QLocale::China));
    DTPicker1->setDisplayFormat(datePickerFormat());
    DTPicker1->setDateRange(QDate(1800, 1, 1), QDate(2099, 12, 31));
    DTPicker1->setCalendarPopup(true);
    setCalendarColors(theme.light, theme.strip);

    Text1 = timeBox(this, pxRect(2640, 1440, 495, 495), theme.light);
    Label4[0] = plainLabel(QStringLiteral("时"), this, pxRect(3240, 1560, 240, 315), yaheiFont(12));
    Text2 = timeBox(this, pxRect(3600, 1440, 495, 495), theme.light);
    Label4[1] = plainLabel(QStringLiteral("分"), this, pxRect(4200, 1560, 240, 315), yaheiFont(12));
    for (QLineEdit* box : {Text1, Text2})
        box->installEventFilter(this);

    Label7 = buttonLabel(QStringLiteral("删除提醒"), this, pxRect(1320, 2040, 1215, 330), theme.strip);
    Label6 = buttonLabel(QStringLiteral("取消"), this, pxRect(2640, 2040, 855, 330), theme.strip);
    Label5 = buttonLabel(QStringLiteral("保存"), this, pxRect(3600, 2040, 855, 330), theme.strip);
    connect(Label5, &LabelButton::clicked, this, &Time::save);
    connect(Label6, &LabelButton::clicked, this, &Time::cancel);
    connect(Label7, &LabelButton::clicked, this, &Time::deleteReminder);
    for (LabelButton* button : {Label5, Label6, Label7})
        connect(button, &LabelButton::pointerMoved, this,
                [this, button] { HoverHighlight(buttons(), button, m_board.themeText()); });

    Label8 = plainLabel(QStringLiteral("当前时间："), this, pxRect(120, 2400, 900, 255), yaheiFont(9));
    Label9 = plainLabel(QStringLiteral("123"), this, pxRect(1080, 2400, 315, 255), yaheiFont(9));
    Label10 = plainLabel(QStringLiteral("提醒时间："), this, pxRect(120, 2640, 900, 255), yaheiFont(9));
    Label11 = plainLabel(EditorText::NotSetLabel, this, pxRect(1080, 2640, 540, 255), yaheiFont(9));

    // The repeat rule: one more line of the block above, its box in the column
    // of the values.
    Label12 = plainLabel(QStringLiteral("重复："), this, pxRect(120, 2985, 900, 255), yaheiFont(9));
    Combo1 = new QComboBox(this);
    Combo1->setGeometry(pxRect(1080, 2955, 2310, 345));
    Combo1->setFont(yaheiFont(9));
    for (const RepeatChoice& choice : repeatChoices())
        Combo1->addItem(choice.text);
    Label12->setBuddy(Combo1);

    setTabOrder(DTPicker1, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Combo1);
    setTabOrder(Combo1, Label5);
    setTabOrder(Label5, Label6);
    setTabOrder(Label6, Label7);
    DTPicker1->setAccessibleName(QStringLiteral("提醒日期"));
    Text1->setAccessibleName(QStringLiteral("提醒时间：时"));
    Text2->setAccessibleName(QStringLiteral("提醒时间：分"));
    Label3->setAccessibleName(QStringLiteral("内容"));
    Combo1->setAccessibleName(QStringLiteral("重复"));
    Label11->setAccessibleName(QStringLiteral("提醒时间"));
}

void Time::runOpeningSteps() {
    DTPicker1->setDate(m_editor.today());
    Label3->setText(shortNote(m_board.slotText(selectedSlot())));
    // Named "内容", described by the note as shown, as the board's slot labels are.
    Label3->setAccessibleDescription(Label3->text());
    const QPoint place = editorPlacement({m_board.leftTwips(), m_board.topTwips()});
    move(px(place.x()), px(place.y()));
    refreshClock();
    Timer1.start();
    const ReminderLabel stored = m_editor.reminderLabel(selectedSlot());
    Label11->setText(stored.text);
    Label11->adjustSize();
    // The line has no room left for the snooze of a repeating reminder.
    Label11->setToolTip(stored.snooze);
    Label11->setAccessibleDescription(stored.snooze);
    Label7->setVisible(stored.deleteVisible);
    // A repeating reminder shows its rule, so a new time keeps it unless changed.
    for (int i = 0; i < repeatChoices().size(); ++i)
        if (repeatChoices().at(i).repeat == stored.repeat)
            Combo1->setCurrentIndex(i);
    DTPicker1->setFocus(Qt::OtherFocusReason);
}

Repeat Time::repeat() const {
    const int i = Combo1->currentIndex();
    return i >= 0 && i < repeatChoices().size() ? repeatChoices().at(i).repeat : Repeat::None;
}

QList<QLabel*> Time::buttons() const {
    return {Label5, Label6, Label7};
}

int Time::selectedSlot() const {
    bool ok = false;
    const int slot = m_board.selectedSlot().toInt(&ok);
    return ok && slot >= 1 && slot <= ReminderSchedule::SlotCount ? slot : 0;
}

void Time::refreshClock() {
    Label9->setText(m_editor.currentTimeText());
    Label9->adjustSize();
}

void Time::save() {
    const int slot = selectedSlot();
    if (!slot) {
        // No slot to store into: nothing is written.
        reject();
        return;
    }
    const SaveOutcome outcome = m_editor.save(slot, DTPicker1->date(), Text1->text(), Text2->text(), repeat());
    m_boxes.show(this, outcome.message.text, outcome.message.title, outcome.message.style);
    if (outcome.saved)
        accept();
}

void Time::cancel() {
    reject();
}

void Time::deleteReminder() {
    const EditorMessage question = ReminderEditor::deleteQuestion();
    if (m_boxes.show(this, question.text, question.title, question.style) != Box::Yes)
        return;
    const int slot = selectedSlot();
    if (!slot) {
        reject();
        return;
    }
    const SaveOutcome done = m_editor.deleteReminder(slot);
    m_boxes.show(this, done.message.text, done.message.title, done.message.style);
    // After a failed delete the editor stays open, still showing the stored reminder.
    if (done.saved)
        accept();
}

void Time::paintTheme() {
    const Theme* theme = CC.take(m_board.themeText());
    if (!theme || theme == &initialTheme())
        return; // no theme number yet, or theme 1, whose colours the window is laid out in
    setBackground(Label1, theme->strip);
    setBackground(Label6, theme->strip);
    setBackground(Label5, theme->strip);
    setBackground(Label7, theme->strip);
    setBackground(this, theme->light);
    setBackground(Label3, theme->light);
    setBackground(Text1, theme->light);
    setBackground(Text2, theme->light);
    setBackground(Combo1, theme->light);
    setCalendarColors(theme->light, theme->strip);
    setForeground(Label1, theme->stripText);
}

QCalendarWidget* Time::calendar() const {
    return DTPicker1->calendarWidget();
}

QWidget* Time::calendarTitle() const {
    return calendar()->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"));
}

void Time::setCalendarColors(Bgr light, Bgr strip) {
    QCalendarWidget* cal = calendar();
    QPalette days = cal->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::AlternateBase, QPalette::Window})
        days.setColor(role, toQColor(light));
    cal->setPalette(days);
    // The navigation bar fills itself with its own background role.
    if (QWidget* title = calendarTitle()) {
        QPalette bar = title->palette();
        bar.setColor(title->backgroundRole(), toQColor(strip));
        title->setPalette(bar);
    }
}

void Time::titlePressed(Qt::MouseButton button, QPoint globalPos) {
    if (button == Qt::LeftButton)
        beginTitleDrag(this, globalPos);
}

bool Time::filterTimeBoxKey(QLineEdit* box, QKeyEvent* event) const {
    const int code = typedCode(event);
    if (code < 0)
        return false;
    return !timeBoxAcceptsKey(box->text(), int(box->selectedText().size()), code);
}

bool Time::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box && (box == Text1 || box == Text2)) {
        if (event->type() == QEvent::KeyPress && filterTimeBoxKey(box, static_cast<QKeyEvent*>(event)))
            return true;
        if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            box->setText(timeBoxTextAfterClick(box->text()));
    }
    return QDialog::eventFilter(watched, event);
}

void Time::keyPressEvent(QKeyEvent* event) {
    // Save, cancel and delete have no keys: Enter and Escape do not close the editor.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void Time::mouseMoveEvent(QMouseEvent* event) {
    // Only the window's own background: moves over other controls change nothing.
    if (!childAt(event->position().toPoint()))
        HoverReset(buttons(), m_board.themeText());
    QDialog::mouseMoveEvent(event);
}
