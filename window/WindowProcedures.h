#pragma once
// Access to the window procedures of the system's windows: the one place where a
// hook plugs in. Handles, message parameters and results are pointer-sized, as
// on 64-bit Windows.
#include <QtGlobal>

#include <functional>

// A window procedure: (window, message, wParam, lParam) -> result.
using WindowProcedure = std::function<qintptr(qintptr, quint32, qintptr, qintptr)>;

class WindowProcedures {
public:
    virtual ~WindowProcedures() = default;

    // Makes procedure the window procedure of window. Returns a token for the
    // procedure it replaces (0 when the window had none), for callProcedure() and
    // restore().
    virtual qintptr replace(qintptr window, WindowProcedure procedure) = 0;

    // Puts back the procedure that replace() returned the token of.
    virtual void restore(qintptr window, qintptr previous) = 0;

    // Runs the procedure with the given token on one message and returns its
    // result.
    virtual qintptr callProcedure(qintptr procedure, qintptr window, quint32 message, qintptr wParam,
                                  qintptr lParam) = 0;
};

// The window procedures of this system's windows. There is one table per
// process, as the system keeps one procedure per window.
WindowProcedures& systemWindowProcedures();
