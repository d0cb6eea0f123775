#pragma once

#include "ui/win32/Win32Api.h"

#include <functional>
#include <vector>

// Runs scripted operator steps on the test's own thread, one attempt per period, from a thread timer:
// every message loop of the thread runs them, also the nested loops of message boxes, the folder
// browser and other modal dialogs. A step returns false while what it waits for has not happened
// yet. When the budget of attempts runs out, `giveUp` runs instead, so that a test fails rather than
// hangs. One set of steps at a time.
class CWin32ScriptedSteps
{
public:
    static constexpr UINT PeriodMilliseconds = 50;
    static constexpr int MaxAttempts = 400;

    CWin32ScriptedSteps(std::vector<std::function<bool()>> steps, std::function<void()> giveUp);
    CWin32ScriptedSteps(const CWin32ScriptedSteps&) = delete;
    CWin32ScriptedSteps& operator=(const CWin32ScriptedSteps&) = delete;
    ~CWin32ScriptedSteps();

    void Begin();
    bool IsDone() const { return m_next == m_steps.size() && !m_gaveUp; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Attempt();

    std::vector<std::function<bool()>> m_steps;
    std::function<void()> m_giveUp;
    size_t m_next = 0;
    int m_attempts = 0;
    bool m_gaveUp = false;
    bool m_attempting = false;
    UINT_PTR m_timer = 0;
};
