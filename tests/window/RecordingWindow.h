#pragma once
// A window in a private procedure table whose default procedure records what
// reaches it and answers as told.
#include "window/PosixWindowProcedures.h"

#include <functional>
#include <vector>

struct RecordingWindow {
    static constexpr qintptr Handle = 0x5150;

    struct Message {
        quint32 message;
        qintptr wParam;
        qintptr lParam;
    };

    RecordingWindow() {
        procedures.setDefaultProcedure(Handle, [this](qintptr, quint32 message, qintptr wParam, qintptr lParam) {
            defaultSaw.push_back({message, wParam, lParam});
            return defaultAnswer(message, wParam, lParam);
        });
    }

    qintptr send(quint32 message, qintptr wParam = 0, qintptr lParam = 0) {
        return procedures.dispatch(Handle, message, wParam, lParam);
    }

    std::vector<quint32> defaultMessages() const {
        std::vector<quint32> messages;
        for (const Message& m : defaultSaw)
            messages.push_back(m.message);
        return messages;
    }

    PosixWindowProcedures procedures;
    std::vector<Message> defaultSaw;
    std::function<qintptr(quint32, qintptr, qintptr)> defaultAnswer = [](quint32, qintptr, qintptr) -> qintptr {
        return 0;
    };
};
