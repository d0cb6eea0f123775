#pragma once

#include <wx/timer.h>

#include <functional>
#include <vector>

class wxEventLoopBase;

// Runs scripted operator steps, one attempt per period; a step returns false while what it waits
// for has not happened yet. The steps go on inside nested loops (menus, message boxes, other modal
// dialogs). Each step has a budget of attempts, and so has the end of the loop they run in after
// the last step. When a budget runs out, the test fails and `giveUp` runs, but only from the loop
// in which the steps began, since the toolkit ends a modal dialog only from its own loop: what
// runs on top of it is closed first, innermost first. Should the loops still not end, the program
// stops with a failure rather than hang.
class CScriptedSteps : public wxTimer
{
public:
    static constexpr int PeriodMilliseconds = 100;
    static constexpr int MaxAttempts = 100;
    static constexpr int MaxUnwindAttempts = 50;

    CScriptedSteps(std::vector<std::function<bool()>> steps, std::function<void()> giveUp);
    void Begin() { Start(PeriodMilliseconds); }
    void Notify() override;
    bool IsDone() const { return m_next == m_steps.size() && !m_gaveUp; }

private:
    void Unwind();

    std::vector<std::function<bool()>> m_steps;
    std::function<void()> m_giveUp;
    // The toolkit's event loop that ran the first attempt: the one the tested dialog runs.
    wxEventLoopBase* m_ownLoop = nullptr;
    size_t m_next = 0;
    int m_attempts = 0;
    int m_unwindAttempts = 0;
    bool m_gaveUp = false;
    bool m_giveUpCalled = false;
};
