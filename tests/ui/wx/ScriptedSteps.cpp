#include "ScriptedSteps.h"

CScriptedSteps::CScriptedSteps(std::vector<std::function<bool()>> steps, std::function<void()> giveUp)
    : m_steps(std::move(steps)), m_giveUp(std::move(giveUp))
{
}

void CScriptedSteps::Notify()
{
    if (m_next >= m_steps.size())
        return;
    if (++m_attempts > MaxAttempts)
    {
        m_next = m_steps.size();
        m_gaveUp = true;
        m_giveUp();
        return;
    }
    if (m_steps[m_next]())
        ++m_next;
}
