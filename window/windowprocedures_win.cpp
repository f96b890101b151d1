// Window procedures of real Windows windows: a hook replaces the window's
// procedure (GWLP_WNDPROC) with hookProcedure, which finds the hook's callable by
// HWND and runs it; the previous procedure is reached through CallWindowProcW.
#include "window/WindowProcedures.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <memory>
#include <unordered_map>

namespace {

class Win32WindowProcedures final : public WindowProcedures {
public:
    qintptr replace(qintptr window, WindowProcedure procedure) override {
        const HWND hwnd = reinterpret_cast<HWND>(window);
        // Registered before the switch, so that the first message already finds it.
        m_hooks[hwnd] = std::make_shared<const WindowProcedure>(std::move(procedure));
        const LONG_PTR previous =
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32WindowProcedures::hookProcedure));
        return static_cast<qintptr>(previous);
    }

    void restore(qintptr window, qintptr previous) override {
        const HWND hwnd = reinterpret_cast<HWND>(window);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, static_cast<LONG_PTR>(previous));
        m_hooks.erase(hwnd);
    }

    qintptr callProcedure(qintptr procedure, qintptr window, quint32 message, qintptr wParam, qintptr lParam) override {
        if (procedure == 0)
            return static_cast<qintptr>(DefWindowProcW(reinterpret_cast<HWND>(window), message,
                                                       static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)));
        return static_cast<qintptr>(CallWindowProcW(reinterpret_cast<WNDPROC>(procedure),
                                                    reinterpret_cast<HWND>(window), message,
                                                    static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)));
    }

    static Win32WindowProcedures& table() {
        static Win32WindowProcedures procedures;
        return procedures;
    }

private:
    static LRESULT CALLBACK hookProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto& hooks = table().m_hooks;
        const auto it = hooks.find(hwnd);
        if (it == hooks.end())
            return DefWindowProcW(hwnd, message, wParam, lParam);
        // Held by value: the hook may unhook itself while it runs.
        const std::shared_ptr<const WindowProcedure> call = it->second;
        return static_cast<LRESULT>((*call)(reinterpret_cast<qintptr>(hwnd), message, static_cast<qintptr>(wParam),
                                            static_cast<qintptr>(lParam)));
    }

    std::unordered_map<HWND, std::shared_ptr<const WindowProcedure>> m_hooks;
};

} // namespace

WindowProcedures& systemWindowProcedures() {
    return Win32WindowProcedures::table();
}
