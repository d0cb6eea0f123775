#include "Win32ScriptedSteps.h"

namespace
{

// A thread timer's procedure learns nothing but the timer's id.
CWin32ScriptedSteps* g_running = nullptr;

} // namespace

CWin32ScriptedSteps::CWin32ScriptedSteps(std::vector<std::function<bool()>> steps,
                                         std::function<void()> giveUp)
    : m_steps(std::move(steps)), m_giveUp(std::move(giveUp))
{
}

CWin32ScriptedSteps::~CWin32ScriptedSteps()
{
    if (m_timer != 0)
        KillTimer(nullptr, m_timer);
    if (g_running == this)
        g_running = nullptr;
}

void CWin32ScriptedSteps::Begin()
{
    g_running = this;
    m_timer = SetTimer(nullptr, 0, PeriodMilliseconds, OnTimer);
}

void CALLBACK CWin32ScriptedSteps::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_running != nullptr)
        g_running->Attempt();
}

void CWin32ScriptedSteps::Attempt()
{
    // A step that opens a modal loop of its own is not attempted again from inside that loop.
    if (m_attempting || m_next >= m_steps.size())
        return;
    m_attempting = true;
    if (++m_attempts > MaxAttempts)
    {
        m_next = m_steps.size();
        m_gaveUp = true;
        m_giveUp();
    }
    else if (m_steps[m_next]())
    {
        ++m_next;
    }
    m_attempting = false;
}
