#include "window/iSubClass.h"

#include <QMetaMethod>

iSubClass::iSubClass(WindowProcedures& procedures, Mode mode, QObject* parent)
    : QObject(parent), m_procedures(procedures), m_mode(mode) {}

iSubClass::~iSubClass() {
    SetMsgUnHook();
}

qintptr iSubClass::SetMsgHook(qintptr handle) {
    SetMsgUnHook();
    m_guard.reset();
    m_hookedWindow = handle;
    m_prevWndProc =
        m_procedures.replace(handle, [this](qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam) {
            return windowProcedure(cHwnd, Message, wParam, lParam);
        });
    m_hooked = true;
    return m_prevWndProc;
}

void iSubClass::SetMsgUnHook() {
    if (!m_hooked)
        return;
    m_procedures.restore(m_hookedWindow, m_prevWndProc);
    m_hooked = false;
}

qintptr iSubClass::CallDefaultWindowProc(qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam) {
    return m_procedures.callProcedure(m_prevWndProc, cHwnd, Message, wParam, lParam);
}

qintptr iSubClass::windowProcedure(qintptr cHwnd, quint32 Message, qintptr wParam, qintptr lParam) {
    if (m_mode == Mode::Guarded && !m_guard.admit(Message, wParam))
        return CallDefaultWindowProc(cHwnd, Message, wParam, lParam);
    static const QMetaMethod event = QMetaMethod::fromSignal(&iSubClass::GetWindowMessage);
    if (!isSignalConnected(event))
        return CallDefaultWindowProc(cHwnd, Message, wParam, lParam);
    qintptr Result = 0;
    emit GetWindowMessage(Result, cHwnd, Message, wParam, lParam);
    return Result;
}
