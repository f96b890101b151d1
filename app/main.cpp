#include "app/Form1.h"
#include "app/Help.h"
#include "app/Platform.h"
#include "app/SingleInstance.h"
#include "reminders/Clock.h"
#include "reminders/sound/SystemAlarmPlayer.h"
#include "store/AppPaths.h"
#include "store/SettingsStore.h"
#include "ui/Autostart.h"
#include "widgets/Colors.h"
#include "widgets/QtMessageBoxes.h"

#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QLibraryInfo>
#include <QPixmap>
#include <QTranslator>

#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

namespace {
// When the display goes away (the X server ends, the session's connection
// breaks), Qt's X11 connection ends the process with exit(1) from inside the
// event loop, so main's stack never unwinds. While the board runs, an exit
// handler does what the end of main would: it stores the position and gives
// back the lock file and the socket. The exit status stays Qt's, non-zero.
std::function<void()> g_beforeLostDisplayExit;

void runBeforeLostDisplayExit() {
    if (const std::function<void()> task = std::exchange(g_beforeLostDisplayExit, nullptr))
        task();
}
} // namespace

int main(int argc, char* argv[]) {
    prepareProcessEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("jotlark"));
    useLightPalette();
    // The PNGs are read by Qt's own PNG reader: with format detection on, Qt
    // would load every image-format plugin (and the SVG module with them) to ask
    // which of them can read the file.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QImageReader reader(QStringLiteral(":/icons/%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    QApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("jotlark"));
    quitOnTerminationRequests();

    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    QtMessageBoxes boxes;
    AppPaths paths;
    QString error;
    if (!platformPaths(&paths, &error)) {
        boxes.show(nullptr, error, Box::Notice, Box::Error);
        return 1;
    }
    // A second board on the same settings file would write over the first one's notes.
    SingleInstance instance(paths.settingsFile);
    switch (instance.claim()) {
    case SingleInstance::Claim::First:
        break;
    case SingleInstance::Claim::AlreadyRunning:
        return 0;
    case SingleInstance::Claim::Refused:
        boxes.show(nullptr, instance.refusal(), Box::Notice, Box::Error);
        return 1;
    }
    QObject::connect(&instance, &SingleInstance::raiseRequested, &bringWindowsToFront);

    SettingsStore store(paths.settingsFile);
    SystemClock clock;
    const std::unique_ptr<AlarmPlayer> player = makeSystemAlarmPlayer();
    const std::unique_ptr<Autostart> autostart = makeSystemAutostart(QCoreApplication::applicationFilePath());
    Services services{
        store, boxes, clock, *player, paths.soundFile, [](int status) { QCoreApplication::exit(status); }, *autostart};

    std::unique_ptr<Form1> board;
    auto showMainWindow = [&] {
        board = std::make_unique<Form1>(services);
        board->load();
        board->show();
    };

    auto help = std::make_unique<Help>(services, paths, showMainWindow);
    switch (help->load()) {
    case Help::LoadResult::FirstRunFailed:
        return 1;
    case Help::LoadResult::Skip:
        help.reset();
        showMainWindow();
        break;
    case Help::LoadResult::Show:
        help->setAttribute(Qt::WA_DeleteOnClose);
        help.release()->showCentred();
        break;
    }
    g_beforeLostDisplayExit = [&] {
        if (board)
            board->savePosition();
        instance.release();
    };
    std::atexit(runBeforeLostDisplayExit);
    const int status = app.exec();
    g_beforeLostDisplayExit = nullptr; // a normal end: main's own destructors do it
    return status;
}
