#include "window/MessageGuard.h"

#include "window/WindowMessages.h"

bool MessageGuard::admit(quint32 message, qintptr wParam) {
    switch (message) {
    case WM_DESTROY:
        m_flag = 0;
        break;
    case WM_NCACTIVATE:
        m_flag = wParam;
        break;
    case WM_HOOK_RESUME:
        m_flag = 1;
        break;
    default:
        break;
    }
    return m_flag == 1;
}
