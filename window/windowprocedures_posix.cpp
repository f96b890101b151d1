#include "window/PosixWindowProcedures.h"

#include <iterator>

void PosixWindowProcedures::setDefaultProcedure(qintptr window, WindowProcedure procedure) {
    replace(window, std::move(procedure));
}

void PosixWindowProcedures::forget(qintptr window) {
    m_current.erase(window);
    for (auto it = m_procedures.begin(); it != m_procedures.end();)
        it = it->second.window == window ? m_procedures.erase(it) : std::next(it);
}

qintptr PosixWindowProcedures::dispatch(qintptr window, quint32 message, qintptr wParam, qintptr lParam) {
    const auto current = m_current.find(window);
    if (current == m_current.end())
        return 0;
    return callProcedure(current->second, window, message, wParam, lParam);
}

qintptr PosixWindowProcedures::replace(qintptr window, WindowProcedure procedure) {
    const qintptr token = m_nextToken++;
    m_procedures[token] = Entry{window, std::make_shared<const WindowProcedure>(std::move(procedure))};
    qintptr previous = 0;
    if (auto current = m_current.find(window); current != m_current.end())
        previous = current->second;
    m_current[window] = token;
    return previous;
}

void PosixWindowProcedures::restore(qintptr window, qintptr previous) {
    const auto current = m_current.find(window);
    if (current == m_current.end())
        return;
    m_procedures.erase(current->second);
    if (m_procedures.count(previous))
        current->second = previous;
    else
        m_current.erase(current);
}

qintptr PosixWindowProcedures::callProcedure(qintptr procedure, qintptr window, quint32 message, qintptr wParam,
                                             qintptr lParam) {
    const auto entry = m_procedures.find(procedure);
    if (entry == m_procedures.end())
        return 0;
    const auto call = entry->second.call; // the call may change the table
    return (*call)(window, message, wParam, lParam);
}

PosixWindowProcedures& posixWindowProcedures() {
    static PosixWindowProcedures table;
    return table;
}

WindowProcedures& systemWindowProcedures() {
    return posixWindowProcedures();
}

qintptr dispatch(qintptr window, quint32 message, qintptr wParam, qintptr lParam) {
    return posixWindowProcedures().dispatch(window, message, wParam, lParam);
}
