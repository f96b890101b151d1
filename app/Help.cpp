#include "app/Help.h"

#include "store/FirstRun.h"
#include "store/Keys.h"
#include "store/Numbers.h"
#include "store/SettingsStore.h"
#include "widgets/Colors.h"
#include "widgets/Fonts.h"
#include "widgets/MessageBoxes.h"
#include "widgets/Twips.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

namespace {
constexpr Bgr kPaleYellow = 0xC0FFFF;

QLabel* makeLabel(QWidget* parent, const QString& text, QRect geometry, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    label->setFont(font);
    return label;
}

// The circles and lines that join each tip to the part of the picture it explains.
class TipMarks : public QWidget {
public:
    explicit TipMarks(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(parent->rect());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(toQColor(0x000000), 1));
        p.setBrush(Qt::NoBrush);
        const int circles[4][2] = {{720, 600}, {3360, 600}, {600, 4920}, {3240, 4920}};
        for (const auto& c : circles)
            p.drawEllipse(QRectF(c[0] / 15.0, c[1] / 15.0, 255 / 15.0, 135 / 15.0));
        const int lines[4][4] = {
            {840, 600, 840, 1200}, {3480, 600, 3480, 1800}, {720, 5040, 720, 5400}, {3360, 5040, 3360, 5400}};
        for (const auto& l : lines)
            p.drawLine(QPointF(l[0] / 15.0, l[1] / 15.0), QPointF(l[2] / 15.0, l[3] / 15.0));
    }
};
} // namespace

Help::Help(Services services, AppPaths paths, std::function<void()> showMainWindow, QWidget* parent)
    : QWidget(parent), m_services(services), m_paths(std::move(paths)), m_showMainWindow(std::move(showMainWindow)) {
    setWindowTitle(QStringLiteral("帮助"));
    setFixedSize(px(4560), px(6165));
    setBackground(this, kPaleYellow);

    Label3 = makeLabel(this, QStringLiteral("使用帮助"), pxRect(1630, 0, 1200, 405), yaheiFont(15));
    Label3->adjustSize();

    Label1 = makeLabel(this, QString(), pxRect(360, 765, 3735, 4560), yaheiFont(9));
    setBackground(Label1, 0x80C0FF);

    Label2[0] = makeLabel(this, QStringLiteral("Jotlark"), pxRect(360, 480, 3735, 300), yaheiFont(12));
    Label2[0]->setAlignment(Qt::AlignCenter);
    setBackground(Label2[0], 0x0080FF);
    setForeground(Label2[0], 0xFFFFFF);

    Label5 = makeLabel(this, QStringLiteral("Jotlark，懂你的Jotlark"), pxRect(480, 840, 3495, 735), yaheiFont(9));
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label5->setFrameShape(QFrame::Box);
    setBackground(Label5, 0x80C0FF);
    setForeground(Label5, 0x808080);

    for (int i = 1; i <= 6; ++i) {
        const int top = 1680 + 600 * (i - 1);
        Label8[i] = makeLabel(this, QString::number(i), pxRect(480, top, 375, 495), yaheiFont(14.25));
        Label8[i]->setAlignment(Qt::AlignCenter);
        Label2[i] = makeLabel(this, QStringLiteral("你好，2014！"), pxRect(960, top, 3015, 495), kaitiFont(10.5));
        Label2[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Label2[i]->setFrameShape(QFrame::Box);
    }

    Label4[3] =
        makeLabel(this, QStringLiteral("左键按住标题栏可以移动Jotlark"), pxRect(0, 1200, 2940, 300), yaheiFont(10.5));
    setForeground(Label4[3], 0x0000FF);
    Label4[2] =
        makeLabel(this, QStringLiteral("右击标题栏可以弹出菜单"), pxRect(2160, 1800, 2310, 300), yaheiFont(10.5));
    setForeground(Label4[2], 0xFF0000);
    Label4[1] = makeLabel(this, QStringLiteral("点击数字可以保存Jotlark"), pxRect(0, 5400, 1980, 255), yaheiFont(9));
    Label4[0] =
        makeLabel(this, QStringLiteral("右击文本框可以弹出编辑菜单"), pxRect(2160, 5400, 2340, 255), yaheiFont(9));

    Check1 = new QCheckBox(QStringLiteral("不再显示本页面"), this);
    Check1->setGeometry(pxRect(360, 5760, 1815, 300));
    Check1->setFont(yaheiFont(9));
    setBackground(Check1, kPaleYellow);
    Check2 = new QCheckBox(QStringLiteral("立即进入Jotlark"), this);
    Check2->setGeometry(pxRect(2160, 5760, 2175, 300));
    Check2->setFont(yaheiFont(9));
    setBackground(Check2, kPaleYellow);
    connect(Check2, &QCheckBox::clicked, this, &Help::enter);

    m_overlay = new TipMarks(this);
    m_overlay->raise();
    Check1->raise();
    Check2->raise();
}

Help::LoadResult Help::load() {
    QString error;
    if (!WriteFirstRunFiles(m_paths, &error)) {
        m_services.boxes.show(this, error, Box::Notice, Box::Error);
        return LoadResult::FirstRunFailed;
    }
    const int s = toInt16(m_services.store.GetIniValue(Keys::Main, Keys::S));
    return s == 1 ? LoadResult::Skip : LoadResult::Show;
}

void Help::showCentred() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.center() - rect().center());
    show();
}

void Help::enter() {
    if (Check1->isChecked() && !m_services.store.setValue(Keys::Main, Keys::S, QStringLiteral("1")))
        m_services.boxes.show(this, Box::failure(Box::SaveFailed, m_services.store.lastError()), Box::Notice,
                              Box::Error);
    // The main window is shown before this page goes, so the program never has no window.
    m_showMainWindow();
    close();
}
