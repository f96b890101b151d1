#include "app/Form1.h"

#include "app/Menu.h"
#include "reminders/Time.h"
#include "store/Keys.h"
#include "store/Numbers.h"
#include "store/ProfileMerge.h"
#include "store/SettingsStore.h"
#include "store/SettingsWatcher.h"
#include "ui/Settings.h"
#include "widgets/Colors.h"
#include "widgets/Fonts.h"
#include "widgets/LabelButton.h"
#include "widgets/MessageBoxes.h"
#include "widgets/NoteBox.h"
#include "widgets/NoteText.h"
#include "widgets/Twips.h"
#include "window/DockStacking.h"
#include "window/Placement.h"
#include "window/PointerCrossings.h"
#include "window/TitleDrag.h"
#include "window/Tmenu.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

namespace {
constexpr int kWidthTwips = 3705;
constexpr int kHeightTwips = 4800;
constexpr int kTitleTwips = 300;
constexpr Bgr kPlaceholderGrey = 0x808080;
} // namespace

Form1::Form1(Services services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)), m_reminderStore(m_services.store),
      m_schedule(m_reminderStore, m_services.player, m_services.clock, *this, m_services.soundFile) {
    buildControls();
    Timer1.setInterval(1);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, [this] { Command1->setFocus(Qt::OtherFocusReason); });
    connect(&CC, &QTimer::timeout, this, &Form1::paintTheme);
    CC.enable();
}

Form1::~Form1() = default;

void Form1::buildControls() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Jotlark"));
    setFixedSize(px(kWidthTwips), px(kHeightTwips));
    const Theme& theme = initialTheme();
    setBackground(this, theme.light);

    Label1 = new LabelButton(QStringLiteral("Jotlark"), this);
    Label1->setGeometry(pxRect(0, 0, 3735, kTitleTwips));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setFont(yaheiFont(12));
    connect(Label1, &LabelButton::pressed, this, &Form1::titlePressed);
    setBackground(Label1, theme.strip);
    setForeground(Label1, theme.stripText);

    auto* noteBox = new NoteBox(this);
    connect(noteBox, &NoteBox::pasteTooLong, this, [this](qsizetype length) {
        m_services.boxes.show(this, noteTooLongMessage(length), Box::KindNotice, Box::Information);
    });
    Text1 = noteBox;
    Text1->setGeometry(pxRect(120, 360, 3495, 735));
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setFont(yaheiFont(9));
    Text1->setTabChangesFocus(true);
    Text1->setAccessibleName(QStringLiteral("记录内容"));
    setBackground(Text1, theme.light);
    setNoteBoxPlaceholder();
    Text1->viewport()->installEventFilter(this);

    for (int i = 0; i < kSlots; ++i) {
        const int top = 1200 + 600 * i;
        auto* number = new LabelButton(QString::number(i + 1), this);
        number->setGeometry(pxRect(120, top, 375, 495));
        number->setAlignment(Qt::AlignCenter);
        number->setFrameShape(QFrame::Box);
        number->setFont(yaheiFont(14.25));
        setForeground(number, 0x000000);
        number->setKeyboardActivation();
        number->setAccessibleName(QStringLiteral("保存到第 %1 个档案").arg(i + 1));
        connect(number, &LabelButton::clicked, this, [this, i] { StoreNote(i + 1); });
        // Ctrl+N stores the note into slot N from anywhere on the board.
        auto* store = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)), this);
        connect(store, &QShortcut::activated, this, [this, i] { StoreNote(i + 1); });
        connect(number, &LabelButton::pointerMoved, this, &Form1::RestorePlaceholder);
        Label8[i] = number;

        auto* note = new LabelButton(QStringLiteral("你好，2014！"), this);
        note->setGeometry(pxRect(600, top, 3015, 495));
        note->setTextFormat(Qt::PlainText);
        note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        note->setWordWrap(true);
        note->setFrameShape(QFrame::Box);
        note->setFont(kaitiFont(10.5));
        note->setMargin(1);
        note->setElideOverflow(true);
        // Tab reaches it; the context-menu key or Shift+F10 opens its slot menu.
        note->setKeyboardActivation(QAccessible::StaticText);
        note->setAccessibleName(QStringLiteral("第 %1 个档案").arg(i + 1));
        setForeground(note, kWindowText);
        connect(note, &LabelButton::pressed, this,
                [this, i](Qt::MouseButton button, QPoint pos) { SelectSlot(i + 1, button, pos); });
        connect(note, &LabelButton::menuKeyPressed, this,
                [this, i](QPoint pos) { SelectSlot(i + 1, Qt::RightButton, pos, true); });
        connect(note, &LabelButton::pointerMoved, this, &Form1::RestorePlaceholder);
        Label2[i] = note;
    }

    // Lies below the visible area; it only takes the focus away from the note box.
    Command1 = new QPushButton(QStringLiteral("Command1"), this);
    Command1->setGeometry(pxRect(1800, 5400, 1335, 255));
    Command1->setFocusPolicy(Qt::NoFocus); // setFocus() still gives it the focus; Tab passes it by
    hideFromAccessibility(Command1);
}

void Form1::load() {
    c_Subclass = new iSubClass(systemWindowProcedures(), iSubClass::Mode::Direct, this);
    m_dock = new DockController(m_dockHost, *c_Subclass, this);
    connect(c_Subclass, &iSubClass::GetWindowMessage, m_dock, &DockController::GetWindowMessage, Qt::DirectConnection);
    // Queued: the switch may hide and show the window, which must wait until the
    // drag's mouse handling is over.
    connect(
        m_dock, &DockController::dockedChanged, this, [this](bool docked) { setDockedStacking(this, docked); },
        Qt::QueuedConnection);
    connect(m_dock, &DockController::slidingOut, this, [this] { raiseDocked(this); });
    new PointerCrossings(this, *m_dock);
    c_Subclass->SetMsgHook(attachWindowProcedure(this));

    SettingsStore& store = m_services.store;
    store.remember();
    m_watcher = new SettingsWatcher(store, this);
    connect(m_watcher, &SettingsWatcher::settled, this, &Form1::followFile);
    const QString color = store.GetIniValue(Keys::Main, Keys::Color);
    const int x = toInt32(store.GetIniValue(Keys::Main, Keys::X));
    const int y = toInt32(store.GetIniValue(Keys::Main, Keys::Y));
    const int out = toInt16(store.GetIniValue(Keys::Main, Keys::Out));
    C1 = color;
    placeWindow(x, y);
    if (out == 1)
        setSlotFrames(false);
    Timer1.start();
    for (int i = 0; i < kSlots; ++i)
        setSlotNote(i + 1, store.value(Keys::Main, Keys::note(i + 1)));
    m_schedule.loadReminders();
}

void Form1::placeWindow(int x, int y) {
    // The primary monitor, wherever it lies on the desktop (at 0,0 with one monitor).
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int screenLeft = twips(screen.x());
    const int screenTop = twips(screen.y());
    const int screenWidth = twips(screen.width());
    const int screenHeight = twips(screen.height());
    if (x == 0)
        moveToTwips(screenLeft + (screenWidth - kWidthTwips) / 2, screenTop + (screenHeight - kHeightTwips) / 2);
    else if (x < 0 || y < 0)
        moveToTwips(screenLeft + screenWidth - kWidthTwips, screenTop);
    else if (storedPositionReachable(x, y))
        moveToTwips(x, y);
    else
        moveToTwips(screenLeft + (screenWidth - kWidthTwips) / 2, screenTop + (screenHeight - kHeightTwips) / 2);
}

bool Form1::storedPositionReachable(int x, int y) const {
    // A position stored while another monitor was attached, or any value beyond
    // the screens, would leave no way to drag the board back. The strip a board
    // hidden at the right edge leaves on screen still counts.
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    const QRect strip(QPoint(px(x), px(y)), QSize(px(kWidthTwips), px(kTitleTwips)));
    return isGrabbable(strip, screens, px(DockController::StripTwips));
}

QString Form1::slotText(int n) const {
    return n >= 1 && n <= kSlots ? m_notes[n - 1] : QString();
}

QString Form1::noteText(int slot) const {
    return shortNote(slotText(slot));
}

void Form1::setSlotNote(int n, const QString& text) {
    m_notes[n - 1] = text;
    Label2[n - 1]->setText(shortNote(text));
}

void Form1::repaintTheme() {
    CC.enable();
}

int Form1::leftTwips() const {
    return twips(realPosition().x());
}
int Form1::topTwips() const {
    return twips(realPosition().y());
}

QPoint Form1::realPosition() const {
    // Where the system has the board: a compositor that ignores a client placing
    // itself keeps it elsewhere than Qt last asked.
    if (const std::optional<QPoint> real = reportedPosition(this))
        return logicalPosition(this, *real);
    return pos();
}
void Form1::moveToTwips(int left, int top) {
    move(px(left), px(top));
}

bool Form1::savePosition() {
    SettingsStore& store = m_services.store;
    const bool ok = store.setValue(Keys::Main, Keys::X, QString::number(leftTwips()));
    return store.setValue(Keys::Main, Keys::Y, QString::number(topTwips())) && ok;
}

void Form1::setSlotFrames(bool framed) {
    for (LabelButton* note : Label2)
        note->setFrameShape(framed ? QFrame::Box : QFrame::NoFrame);
}

void Form1::paintTheme() {
    const Theme* theme = CC.take(C1);
    if (!theme)
        return; // not a theme number yet: the colours stay
    setBackground(Label1, theme->strip);
    setBackground(this, theme->light);
    setBackground(Text1, theme->light);
    setForeground(Label1, theme->stripText);
}

// ---- following the file ----

void Form1::followFile(bool changedElsewhere, const QStringList& copies) {
    if (m_following) {
        m_followAgain = true; // a message of this round is open: look again when it closes
        return;
    }
    m_following = true;
    SettingsStore& store = m_services.store;
    bool merged = false;
    QList<MergeConflict> conflicts;
    QStringList done;
    for (const QString& copy : copies) {
        QList<MergeConflict> found;
        if (!store.mergeConflictCopy(copy, &found)) {
            reportWriteFailure();
            break;
        }
        merged = true;
        conflicts += found;
        done.append(copy);
    }
    if (changedElsewhere || merged) {
        store.remember();
        showFile();
    }

    // Notes changed on both machines: the file keeps this one's, and the other's
    // goes into the note box, after any draft there, ready to be stored.
    QStringList lines;
    QStringList others;
    for (const MergeConflict& c : conflicts) {
        const int n = c.key.toInt();
        const bool note = c.section.compare(Keys::Main, Qt::CaseInsensitive) == 0 && n >= 1 && n <= kSlots &&
                          c.key.trimmed() == Keys::note(n);
        if (!note)
            continue; // settings of each machine (position, theme): the file's stay
        lines << QStringLiteral("第 %1 个档案在另一台设备上也改过。\r\n保留：%2\r\n另一份：%3")
                     .arg(n)
                     .arg(shortNote(c.ours), shortNote(c.theirs));
        if (!c.theirs.isEmpty())
            others << c.theirs;
    }
    if (!lines.isEmpty()) {
        if (!others.isEmpty()) {
            const QString draft = noteBoxEmpty() ? QString() : Text1->toPlainText() + u'\n';
            setForeground(Text1, kWindowText);
            Text1->setPlainText(draft + others.join(u'\n'));
            Text1->moveCursor(QTextCursor::End);
            lines << QStringLiteral("另一份内容已放入记录框，点击档案编号即可保存。");
        }
        m_services.boxes.show(this, lines.join(QStringLiteral("\r\n\r\n")), Box::Notice, Box::Information);
    }
    // Everything in them is now in the file or was shown.
    for (const QString& copy : done)
        QFile::remove(copy);
    m_following = false;
    if (m_followAgain) {
        m_followAgain = false;
        QTimer::singleShot(0, this, [this] {
            followFile(m_services.store.changedElsewhere(), conflictCopies(m_services.store.file()));
        });
    }
}

void Form1::showFile() {
    const ProfileSnapshot& file = m_services.store.known();
    C1 = textOf(file, Keys::Main, Keys::Color);
    repaintTheme();
    setSlotFrames(toInt16(textOf(file, Keys::Main, Keys::Out)) != 1);
    for (int i = 1; i <= kSlots; ++i) {
        const QString text = textOf(file, Keys::Main, Keys::note(i));
        if (text != m_notes[i - 1])
            setSlotNote(i, text);
    }
    for (int i = 1; i <= kSlots; ++i) {
        const QString section = QString::number(i);
        const QString armed = textOf(file, section, Keys::D) + u' ' + textOf(file, section, Keys::T);
        const QString& now = m_schedule.D1(i);
        const bool bothEmpty = armed == ReminderSchedule::NotSetLoaded &&
                               (now == ReminderSchedule::NotSet || now == ReminderSchedule::NotSetLoaded);
        if (armed != now && !bothEmpty)
            m_schedule.assignArmedText(i, armed);
    }
    emit reloadedFromFile();
}

// ---- note box ----

bool Form1::noteBoxEmpty() const {
    const QString text = Text1->toPlainText();
    return text.isEmpty() || text == kPlaceholder;
}

void Form1::setNoteBoxPlaceholder() {
    setForeground(Text1, kPlaceholderGrey);
    Text1->setPlainText(kPlaceholder);
    if (Command1)
        Command1->setFocus(Qt::OtherFocusReason);
}

void Form1::RestorePlaceholder() {
    if (Text1->toPlainText().isEmpty())
        setNoteBoxPlaceholder();
}

void Form1::ClearPlaceholder() {
    if (Text1->toPlainText() == kPlaceholder) {
        setForeground(Text1, kWindowText);
        Text1->setPlainText(QString());
    }
}

// ---- note slots ----

void Form1::StoreNote(int n) {
    MessageBoxes& boxes = m_services.boxes;
    if (noteBoxEmpty()) {
        boxes.show(this, QStringLiteral("请输入您要记录的内容！"), Box::KindNotice, Box::Information);
        return;
    }
    const QString text = Text1->toPlainText();
    if (text.size() > MaxNoteLength) {
        boxes.show(this, noteTooLongMessage(text.size()), Box::KindNotice, Box::Information);
        return;
    }
    // The slot's text as the file has it now, which sync may have changed a moment ago.
    const QString old = m_services.store.value(Keys::Main, Keys::note(n));
    const QString question = QStringLiteral("确认要记录到第 ") + QString::number(n) +
                             QStringLiteral(" 个档案吗？\r\n") + QStringLiteral("原始内容：") + shortNote(old) +
                             QStringLiteral("\r\n") + QStringLiteral("现有内容：") + shortNote(text);
    if (boxes.show(this, question, Box::SaveTitle, Box::YesNo) != Box::Yes)
        return;
    if (!m_services.store.setValue(Keys::Main, Keys::note(n), text)) {
        // The note stays in the note box, so nothing the user typed is lost.
        reportWriteFailure();
        return;
    }
    setSlotNote(n, text);
    setNoteBoxPlaceholder();
    boxes.show(this, QStringLiteral("保存成功!"), Box::Notice, Box::Information);
}

void Form1::SelectSlot(int n, Qt::MouseButton button, QPoint globalPos, bool fromKeyboard) {
    if (m_notes[n - 1].isEmpty() || button != Qt::RightButton)
        return;
    Label9 = QString::number(globalPos.x());
    Label10 = QString::number(globalPos.y());
    XH = QString::number(n);
    Menu menu(*this, fromKeyboard);
    openWhereAsked(&menu);
    menu.exec();
}

void Form1::DeleteNote(Menu& menu) {
    const int n = XH.toInt();
    if (n < 1 || n > kSlots) {
        menu.close();
        return;
    }
    MessageBoxes& boxes = m_services.boxes;
    const QString question = QStringLiteral("确认要删除第 ") + QString::number(n) + QStringLiteral(" 个档案吗？\r\n") +
                             QStringLiteral("内容：") + shortNote(m_notes[n - 1]);
    if (boxes.show(this, question, Box::DeleteTitle, Box::YesNo) != Box::Yes) {
        menu.close();
        return;
    }
    if (!m_services.store.setValue(Keys::Main, Keys::note(n), QString())) {
        menu.close();
        reportWriteFailure();
        return;
    }
    setSlotNote(n, QString());
    m_schedule.disarmSlot(n);
    menu.close();
    boxes.show(this, QStringLiteral("删除成功!"), Box::Notice, Box::Information);
}

void Form1::ModifyNote(Menu& menu) {
    const int n = XH.toInt();
    if (n >= 1 && n <= kSlots) {
        setForeground(Text1, kWindowText);
        Text1->setPlainText(m_notes[n - 1]);
        Text1->moveCursor(QTextCursor::End);
    }
    menu.close();
    Text1->setFocus(Qt::OtherFocusReason);
}

void Form1::openReminderEditor() {
    Time editor(*this, m_schedule, m_reminderStore, m_services.clock, m_services.boxes, this);
    editor.exec();
}

int Form1::showAlarm(const QString& text) {
    // No parent: the alarm must not show, move or raise a board docked out of sight.
    return m_services.boxes.showSnoozable(nullptr, text, Box::Notice, {SnoozeMinutes.begin(), SnoozeMinutes.end()},
                                          DefaultSnoozeMinutes);
}

// ---- title strip ----

void Form1::titlePressed(Qt::MouseButton button, QPoint globalPos) {
    if (button == Qt::LeftButton) {
        beginTitleDrag(this, globalPos); // returns when the button is released
    } else if (button == Qt::RightButton) {
        Label9 = QString::number(globalPos.x());
        Label10 = QString::number(globalPos.y());
        Tmenu menu(*this, m_services.boxes, this);
        openWhereAsked(&menu);
        menu.exec();
    }
}

void Form1::openSettings() {
    Settings settings(*this, m_services.store, m_services.boxes, m_services.autostart, this);
    settings.exec();
}

void Form1::exitProgram() {
    // The user asked to leave: a position that cannot be stored is reported, and
    // the program ends all the same.
    if (!savePosition())
        reportWriteFailure();
    m_services.endProgram(0);
}

void Form1::reportWriteFailure() {
    m_services.boxes.show(this, Box::failure(Box::SaveFailed, m_services.store.lastError()), Box::Notice, Box::Error);
}

void Form1::showClearFailure(const QString& reason) {
    m_services.boxes.show(nullptr,
                          QStringLiteral("提醒已响过，但无法从设置文件中清除，下次启动时会再次提醒。\r\n") + reason,
                          Box::Notice, Box::Error);
}

void Form1::showSnoozeFailure(const QString& reason) {
    m_services.boxes.show(nullptr,
                          QStringLiteral("稍后提醒无法保存到设置文件，Jotlark 关闭后不会再提醒。\r\n") + reason,
                          Box::Notice, Box::Error);
}

// ---- events ----

void Form1::closeEvent(QCloseEvent* event) {
    if (!savePosition())
        reportWriteFailure();
    event->accept();
}

void Form1::mousePressEvent(QMouseEvent* event) {
    m_backgroundPressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    if (m_backgroundPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        RestorePlaceholder();
    m_backgroundPressed = false;
    QWidget::mouseReleaseEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // A docked board is out of the window manager's hands, which then gives it no
    // keyboard focus: a click into the note box takes it.
    if (watched == Text1->viewport() && event->type() == QEvent::MouseButtonPress && !isActiveWindow())
        activateWindow();
    if (watched == Text1->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        ClearPlaceholder();
    return QWidget::eventFilter(watched, event);
}
