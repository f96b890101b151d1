#pragma once
// The note board: title strip, note box and six note slots.
#include "app/Services.h"
#include "reminders/ReminderHost.h"
#include "reminders/ReminderSchedule.h"
#include "reminders/SettingsReminderStore.h"
#include "reminders/Time.h"
#include "ui/Settings.h"
#include "ui/ThemeTimer.h"
#include "window/DockController.h"
#include "window/Tmenu.h"
#include "window/WidgetDockHost.h"
#include "window/iSubClass.h"

#include <QTimer>
#include <QWidget>
#include <array>

class LabelButton;
class Menu;
class SettingsWatcher;
class QPlainTextEdit;
class QPushButton;

class Form1 : public QWidget, public TimeHost, public SettingsHost, public TmenuHost, public ReminderHost {
    Q_OBJECT
public:
    static constexpr int kSlots = 6;
    static inline const QString kPlaceholder = QStringLiteral("Jotlark，懂你的Jotlark");

    explicit Form1(Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up: reads the settings file, places the window, fills the slots.
    void load();

    // Note slots.
    void StoreNote(int n);
    void SelectSlot(int n, Qt::MouseButton button, QPoint globalPos, bool fromKeyboard = false);
    void DeleteNote(Menu& menu);
    void ModifyNote(Menu& menu);
    void openReminderEditor();

    // Note box.
    void RestorePlaceholder();
    void ClearPlaceholder();
    bool noteBoxEmpty() const;

    // What the reminder editor, the settings window and the title menu see of it.
    QString themeText() const override { return C1; }
    void setThemeText(const QString& text) override { C1 = text; }
    void repaintTheme() override;
    QString selectedSlot() const override { return XH; }
    QString slotText(int n) const override;
    void setSlotFrames(bool framed) override;
    int leftTwips() const override;
    int topTwips() const override;
    // The board's top-left corner where the system really has it (logical pixels).
    QPoint realPosition() const;

    // ReminderHost
    QString noteText(int slot) const override;
    int showAlarm(const QString& text) override;
    void showClearFailure(const QString& reason) override;
    void showSnoozeFailure(const QString& reason) override;

    // Title strip: the left button drags, the right button opens the title menu.
    void titlePressed(Qt::MouseButton button, QPoint globalPos);
    QString pointerX() const override { return Label9; }
    QString pointerY() const override { return Label10; }
    void openSettings() override;
    void exitProgram() override;
    void moveToTwips(int left, int top);
    // Writes X then Y; false when the settings file could not be written.
    bool savePosition();

    void paintTheme(); // one CC tick

    // Following the settings file: a change made elsewhere is shown (slots,
    // reminders, theme, frames; the note box and open dialogs are left alone),
    // and conflict copies beside the file are merged into it.
    void followFile(bool changedElsewhere, const QStringList& copies);
    SettingsWatcher* watcher() const { return m_watcher; }

    // Shared fields read and written by the other windows.
    QString C1 = QStringLiteral("Color1");
    QString XH = QStringLiteral("XH");
    QString Label9 = QStringLiteral("X");
    QString Label10 = QStringLiteral("Y");

    // Controls, reachable by the other windows and by tests.
    LabelButton* Label1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    std::array<LabelButton*, kSlots> Label8{};
    std::array<LabelButton*, kSlots> Label2{};
    QPushButton* Command1 = nullptr;
    QTimer Timer1;
    ThemeTimer CC;

    Services services() const { return m_services; }
    ReminderSchedule& reminders() { return m_schedule; }

    // The message hook of this window; its messages drive dragging and docking.
    iSubClass* c_Subclass = nullptr;

signals:
    // The board has shown the file as another program left it.
    void reloadedFromFile();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void placeWindow(int x, int y);
    bool storedPositionReachable(int x, int y) const;
    void setNoteBoxPlaceholder();
    void reportWriteFailure();
    // Keeps the note of slot n whole and shows it shortened in its label.
    void setSlotNote(int n, const QString& text);
    void showFile();
    bool mergeConflictCopies(const QStringList& copies);

    Services m_services;
    SettingsReminderStore m_reminderStore;
    ReminderSchedule m_schedule;
    WidgetDockHost m_dockHost{this};
    DockController* m_dock = nullptr;
    bool m_backgroundPressed = false;
    std::array<QString, kSlots> m_notes; // the slots' notes, whole
    SettingsWatcher* m_watcher = nullptr;
    bool m_following = false;
    bool m_followAgain = false;
};
