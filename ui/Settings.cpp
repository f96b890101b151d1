#include "ui/Settings.h"

#include "store/Keys.h"
#include "store/Numbers.h"
#include "store/SettingsStore.h"
#include "ui/Autostart.h"
#include "ui/Themes.h"
#include "widgets/Colors.h"
#include "widgets/Fonts.h"
#include "widgets/LabelButton.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Twips.h"
#include "window/TitleDrag.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QMouseEvent>
#include <QRadioButton>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

constexpr std::array<int, 4> kColumnLeft{120, 1320, 2520, 3720};
constexpr std::array<int, 4> kOptionLeft{450, 1650, 2830, 4050};
const std::array<QString, 4> kThemeNames{QStringLiteral("橘色活力"), QStringLiteral("蓝色格调"),
                                         QStringLiteral("紫魅风情"), QStringLiteral("翠色欲流")};

QString number(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

Settings::Settings(SettingsHost& board, SettingsStore& store, MessageBoxes& boxes, Autostart& autostart,
                   QWidget* parent)
    : QDialog(parent), m_board(board), m_store(store), m_boxes(boxes), m_autostart(autostart) {
    buildControls();
    attachWindowProcedure(this);
    connect(&CC, &QTimer::timeout, this, &Settings::paintTheme);
    CC.enable();
    load();
}

void Settings::buildControls() {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("设置"));
    setModal(true);
    setFixedSize(px(kWidthTwips), px(kHeightTwips));
    setMouseTracking(true);
    const Theme& theme = initialTheme();
    setBackground(this, theme.light);

    auto header = [&](auto* label, int top) {
        label->setGeometry(pxRect(0, top, 4695, 375));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(yaheiFont(12));
        setBackground(label, theme.strip);
        setForeground(label, theme.stripText);
    };
    Label1 = new LabelButton(QStringLiteral("常规设置"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    header(Label1, 0);
    connect(Label1, &LabelButton::pressed, this, &Settings::titlePressed);
    Label2 = new QLabel(QStringLiteral("皮肤设置"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    header(Label2, 960);

    auto checkBox = [&](const QString& name, const QString& text, int left, int width) {
        auto* box = new QCheckBox(text, this);
        box->setObjectName(name);
        box->setGeometry(pxRect(left, 480, width, 375));
        box->setFont(yaheiFont(9));
        setBackground(box, theme.light);
        return box;
    };
    Check1 = checkBox(QStringLiteral("Check1"), QStringLiteral("开机自启动"), 120, 1335);
    Check2 = checkBox(QStringLiteral("Check2"), QStringLiteral("关闭贴条外框"), 1560, 1575);

    auto* group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        const Theme& column = *themeByNumber(i + 1);

        QLabel* name = new QLabel(kThemeNames[i], this);
        name->setObjectName(QStringLiteral("Label%1").arg(4 + 2 * i));
        name->setGeometry(pxRect(kColumnLeft[i], 1440, 855, 255));
        name->setAlignment(Qt::AlignCenter);
        name->setFont(yaheiFont(9));
        name->setFrameShape(QFrame::Box);
        setBackground(name, column.strip);
        themeNames[i] = name;

        auto* swatch = new LabelButton(QString(), this);
        swatch->setObjectName(QStringLiteral("Label%1").arg(3 + 2 * i));
        swatch->setGeometry(pxRect(kColumnLeft[i], 1680, 855, 735));
        swatch->setFrameShape(QFrame::Box);
        setBackground(swatch, column.light);
        swatches[i] = swatch;

        auto* option = new QRadioButton(this);
        option->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        option->setGeometry(pxRect(kOptionLeft[i], 2520, 255, 180));
        setBackground(option, theme.light);
        option->setAccessibleName(kThemeNames[i]);
        swatch->setAccessibleName(kThemeNames[i]);
        group->addButton(option, i + 1);
        options[i] = option;
        connect(swatch, &LabelButton::clicked, option, [option] { option->setChecked(true); });
    }
    options[0]->setChecked(true);

    auto button = [&](const QString& name, const QString& text, int left) {
        auto* label = new LabelButton(text, this);
        label->setObjectName(name);
        label->setGeometry(pxRect(left, 2880, 855, 330));
        label->setAlignment(Qt::AlignCenter);
        label->setFont(yaheiFont(10.5));
        setBackground(label, theme.strip);
        label->setKeyboardActivation();
        connect(label, &LabelButton::pointerMoved, this,
                [this, label] { HoverHighlight(buttons(), label, m_board.themeText()); });
        return label;
    };
    Label12 = button(QStringLiteral("Label12"), QStringLiteral("保存"), 1320);
    Label11 = button(QStringLiteral("Label11"), QStringLiteral("关闭"), 2520);
    connect(Label12, &LabelButton::clicked, this, &Settings::save);
    connect(Label11, &LabelButton::clicked, this, &QDialog::close);
}

QList<QLabel*> Settings::buttons() const {
    return {Label11, Label12};
}

void Settings::load() {
    // The stored theme text is read as the board and the menus read C1, so the
    // option shown is the theme painted ("2.0" is theme 2, "2.5" none).
    const std::optional<int> color = themeNumber(m_store.GetIniValue(Keys::Main, Keys::Color));
    const int boots = toInt16(m_store.GetIniValue(Keys::Main, Keys::Boots));
    const int out = toInt16(m_store.GetIniValue(Keys::Main, Keys::Out));
    if (out == 1)
        Check2->setChecked(true);
    if (color)
        options[*color - 1]->setChecked(true);
    Check1->setChecked(boots == 1);
    const QPoint place = editorPlacement({m_board.leftTwips(), m_board.topTwips()});
    move(px(place.x()), px(place.y()));
}

void Settings::save() {
    QString fileError;
    auto write = [&](const QString& key, const QString& value) {
        if (!m_store.setValue(Keys::Main, key, value) && fileError.isEmpty())
            fileError = m_store.lastError();
    };

    // Start with the system; Boots follows only what is really in effect.
    const bool boots = Check1->isChecked();
    QString autostartError;
    const bool autostartDone = m_autostart.apply(boots, &autostartError);
    if (autostartDone)
        write(Keys::Boots, number(boots));

    const bool frameOff = Check2->isChecked();
    write(Keys::Out, number(frameOff));
    m_board.setSlotFrames(!frameOff);

    for (int n = 1; n <= 4; ++n) {
        if (options[n - 1]->isChecked()) {
            m_board.setThemeText(QString::number(n));
            write(Keys::Color, QString::number(n));
            break;
        }
    }

    m_board.repaintTheme();
    CC.enable();

    load();

    if (autostartDone && fileError.isEmpty()) {
        const QString tip = boots ? QStringLiteral("Tip：程序开机启动可能会被360拦截，请选择允许。")
                                  : QStringLiteral("Tip：已取消开机自动启动。");
        m_boxes.show(this, QStringLiteral("保存成功!") + kCrLf + tip, Box::KindNotice, Box::Information);
        return;
    }
    QStringList lines;
    if (!autostartDone)
        lines << (boots ? QStringLiteral("无法设置开机自启动！") : QStringLiteral("无法取消开机自启动！"))
              << autostartError;
    if (!fileError.isEmpty())
        lines << QStringLiteral("设置文件保存失败！") << fileError;
    else
        lines << QStringLiteral("其他设置已保存。");
    m_boxes.show(this, lines.join(kCrLf), Box::Notice, Box::Error);
}

void Settings::paintTheme() {
    const Theme* theme = CC.take(m_board.themeText());
    if (!theme)
        return; // not a theme number: the colours stay
    setBackground(Label1, theme->strip);
    setBackground(Label2, theme->strip);
    setBackground(Label11, theme->strip);
    setBackground(Label12, theme->strip);
    setBackground(this, theme->light);
    for (QRadioButton* option : options)
        setBackground(option, theme->light);
    setBackground(Check1, theme->light);
    setBackground(Check2, theme->light);
    setForeground(Label1, theme->stripText);
    setForeground(Label2, theme->stripText);
}

void Settings::titlePressed(Qt::MouseButton button, QPoint globalPos) {
    if (button == Qt::LeftButton)
        beginTitleDrag(this, globalPos);
}

void Settings::mouseMoveEvent(QMouseEvent* event) {
    // Only the window's own background; moves over the other controls change nothing.
    if (!childAt(event->position().toPoint()))
        HoverReset(buttons(), m_board.themeText());
    QDialog::mouseMoveEvent(event);
}
