#pragma once
// The guard flag of a guarded hook: while the window is being destroyed or is
// inactive, its messages go straight to the previous window procedure instead of
// raising the hook's event.
#include <QtGlobal>

class MessageGuard {
public:
    // Updates the flag from one message and says whether this message may raise
    // the event: WM_DESTROY clears the flag, WM_NCACTIVATE sets it to its wParam,
    // WM_HOOK_RESUME sets it to 1, other messages leave it. The event is raised only
    // while the flag is exactly 1.
    bool admit(quint32 message, qintptr wParam);

    qintptr flag() const { return m_flag; }
    void reset() { m_flag = 1; }

private:
    qintptr m_flag = 1;
};
