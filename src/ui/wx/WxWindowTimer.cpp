#include "ui/wx/WxWindowTimer.h"

#include "ui/Dialog.h"

#include <algorithm>
#include <chrono>

CWxWindowTimer::CWxWindowTimer(CDialog& dialog, unsigned id, int intervalMilliseconds)
    : m_dialog(dialog), m_id(id), m_interval(std::max(1, intervalMilliseconds))
{
}

bool CWxWindowTimer::StartTicking()
{
    m_halted = false;
    return StartOnce(m_interval);
}

void CWxWindowTimer::Halt()
{
    m_halted = true;
    Stop();
}

void CWxWindowTimer::Notify()
{
    const auto started = std::chrono::steady_clock::now();
    // Armed before the tick runs, so that a message box opened inside it still gets ticks.
    StartOnce(m_interval);
    m_dialog.HandleTimer(m_id);
    if (m_halted)
        return;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
            .count();
    StartOnce(static_cast<int>(std::max<long long>(1, m_interval - elapsed)));
}
