#pragma once
// iSubClass takes over the window procedure of one window and hands every
// message to its owner as the event GetWindowMessage. The owner decides what the
// window procedure returns, and passes a message on to the procedure installed
// before the hook with CallDefaultWindowProc.
#include "window/MessageGuard.h"
#include "window/WindowProcedures.h"

#include <QObject>

class iSubClass : public QObject {
    Q_OBJECT
public:
    enum class Mode {
        Direct,  // every message raises the event
        Guarded, // messages pass the event by while the guard flag is not 1 (see MessageGuard)
    };

    explicit iSubClass(WindowProcedures& procedures, Mode mode = Mode::Direct, QObject* parent = nullptr);
    // Puts the previous procedure back if the window is still hooked, so that the
    // window never calls into a destroyed object.
    ~iSubClass() override;

    // Hooks window and returns the token of the procedure installed before.
    qintptr SetMsgHook(qintptr handle);
    // Puts the previous procedure back.
    void SetMsgUnHook();
    // Lets a message take its normal course: the previous procedure's result.
    qintptr CallDefaultWindowProc(qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam);

    qintptr hookedWindow() const { return m_hookedWindow; }
    Mode mode() const { return m_mode; }

signals:
    // Raised for every message of the hooked window, on its thread, before its
    // window procedure returns; connect with Qt::DirectConnection. Result starts at
    // 0; what the handler leaves in it is the window procedure's result. A handler
    // may forward through CallDefaultWindowProc, which may raise this event again
    // before it returns. When nothing is connected, messages take their normal
    // course.
    void GetWindowMessage(qintptr& Result, qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam);

private:
    qintptr windowProcedure(qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam);

    WindowProcedures& m_procedures;
    const Mode m_mode;
    MessageGuard m_guard;
    bool m_hooked = false;
    qintptr m_prevWndProc = 0;
    qintptr m_hookedWindow = 0;
};
