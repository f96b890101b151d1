#pragma once
// Window procedures where the system has none (X11 and the other non-Windows
// platforms): each window registers its own default procedure under its handle,
// and the widget side delivers messages with dispatch(). Hooks replace and chain
// procedures exactly as on Windows.
#include "window/WindowProcedures.h"

#include <map>
#include <memory>

class PosixWindowProcedures final : public WindowProcedures {
public:
    // Gives window its own procedure, the one that receives what no hook handles.
    void setDefaultProcedure(qintptr window, WindowProcedure procedure);

    // Drops every procedure of a window that is gone.
    void forget(qintptr window);

    // Delivers one message to the window's current procedure: the hook when one is
    // installed, else the default procedure. Returns 0 for a window without any.
    qintptr dispatch(qintptr window, quint32 message, qintptr wParam, qintptr lParam);

    qintptr replace(qintptr window, WindowProcedure procedure) override;
    void restore(qintptr window, qintptr previous) override;
    qintptr callProcedure(qintptr procedure, qintptr window, quint32 message, qintptr wParam, qintptr lParam) override;

private:
    struct Entry {
        qintptr window = 0;
        // Shared so that a procedure that unhooks itself keeps running to its end.
        std::shared_ptr<const WindowProcedure> call;
    };

    std::map<qintptr, Entry> m_procedures; // by token
    std::map<qintptr, qintptr> m_current;  // window -> token of its current procedure
    qintptr m_nextToken = 1;
};

// The process's table, the same object as systemWindowProcedures().
PosixWindowProcedures& posixWindowProcedures();

// posixWindowProcedures().dispatch(...): how the widget side sends a message to a window.
qintptr dispatch(qintptr window, quint32 message, qintptr wParam, qintptr lParam);
