#pragma once
// The settings window: start with the system, the frame of the slot labels and
// the colour theme. Nothing takes effect until 保存; 关闭 closes without saving.
#include "ui/ThemeTimer.h"
#include <QDialog>

#include <QTimer>
#include <array>

class Autostart;
class LabelButton;
class MessageBoxes;
class QCheckBox;
class QLabel;
class QRadioButton;
class SettingsStore;

// What the settings window reads and changes of the main window.
class SettingsHost {
public:
    virtual ~SettingsHost() = default;
    virtual QString themeText() const = 0;              // C1
    virtual void setThemeText(const QString& text) = 0; // C1
    virtual void repaintTheme() = 0;                    // enables the main window's CC
    virtual void setSlotFrames(bool framed) = 0;
    virtual int leftTwips() const = 0;
    virtual int topTwips() const = 0;
};

class Settings : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 4680;
    static constexpr int kHeightTwips = 3345;

    Settings(SettingsHost& board, SettingsStore& store, MessageBoxes& boxes, Autostart& autostart,
             QWidget* parent = nullptr);

    // Shows the stored settings and places the window beside the main window.
    void load();
    // Writes and applies the three settings, then loads again and reports the result.
    void save();
    void paintTheme(); // one CC tick

    // Controls, reachable by tests.
    LabelButton* Label1 = nullptr;          // 常规设置, the drag handle
    QLabel* Label2 = nullptr;               // 皮肤设置
    QCheckBox* Check1 = nullptr;            // 开机自启动
    QCheckBox* Check2 = nullptr;            // 关闭贴条外框
    std::array<QLabel*, 4> themeNames{};    // Label4, Label6, Label8, Label10
    std::array<LabelButton*, 4> swatches{}; // Label3, Label5, Label7, Label9
    std::array<QRadioButton*, 4> options{}; // Option1 .. Option4
    LabelButton* Label11 = nullptr;         // 关闭
    LabelButton* Label12 = nullptr;         // 保存
    ThemeTimer CC;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void buildControls();
    void titlePressed(Qt::MouseButton button, QPoint globalPos);
    QList<QLabel*> buttons() const;

    SettingsHost& m_board;
    SettingsStore& m_store;
    MessageBoxes& m_boxes;
    Autostart& m_autostart;
};
