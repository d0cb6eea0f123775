#pragma once

#include <wx/timer.h>

#include <functional>
#include <vector>

// Runs scripted operator steps, one attempt per period; a step returns false while what it waits
// for has not happened yet. The steps go on inside nested loops (menus, message boxes, other modal
// dialogs). When the budget of attempts runs out, `giveUp` runs instead, so that a test fails
// rather than hangs.
class CScriptedSteps : public wxTimer
{
public:
    static constexpr int PeriodMilliseconds = 100;
    static constexpr int MaxAttempts = 100;

    CScriptedSteps(std::vector<std::function<bool()>> steps, std::function<void()> giveUp);
    void Begin() { Start(PeriodMilliseconds); }
    void Notify() override;
    bool IsDone() const { return m_next == m_steps.size() && !m_gaveUp; }

private:
    std::vector<std::function<bool()>> m_steps;
    std::function<void()> m_giveUp;
    size_t m_next = 0;
    int m_attempts = 0;
    bool m_gaveUp = false;
};
