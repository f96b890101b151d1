// The toolkit's floor for scripts/bench: a frameless Qt Widgets window of the
// board's size and nothing else. With --fonts it also shows one line in each of
// the two CJK fonts the board's layout needs.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("floor"));
    window.setFixedSize(247, 320);
    if (app.arguments().contains(QStringLiteral("--fonts"))) {
        auto* title = new QLabel(QStringLiteral("Jotlark 提醒"), &window);
        title->setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 12));
        auto* note = new QLabel(QStringLiteral("你好，2014！"), &window);
        note->setFont(QFont(QStringLiteral("AR PL UKai CN"), 10));
        note->move(0, 40);
    }
    window.show();
    return app.exec();
}
