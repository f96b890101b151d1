#pragma once
// A main window on a settings file in a temporary folder, with scripted message boxes.
#include "app/Form1.h"
#include "store/SettingsStore.h"
#include "tests/support/FakeAutostart.h"
#include "tests/support/FakeServices.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QTimer>
#include <memory>

struct BoardFixture {
    TempFolder folder;
    QString file = folder.path("AT.ini");
    SettingsStore store{file};
    ScriptedMessageBoxes boxes;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0, 0))};
    FakePlayer player;
    FakeAutostart autostart;
    std::unique_ptr<Form1> form;
    QList<int> endedWith; // statuses the program was ended with

    explicit BoardFixture(const QByteArray& settings = defaultSettingsBytes()) { writeAll(file, settings); }

    Form1& start() {
        form = std::make_unique<Form1>(Services{store, boxes, clock, player, folder.path("DI.mp3"),
                                                [this](int status) { endedWith.append(status); }, autostart});
        form->load();
        return *form;
    }
    QByteArray bytes() const { return readAll(file); }
};

// Runs action on the next modal window that opens (a menu or editor), from inside its event loop.
template <typename Action> void onNextModal(Action action) {
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            onNextModal(action);
            return;
        }
        action(modal);
    });
}
