#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// Scripted operator steps, attempted one at a time from a backend's loop: a step returns false
// while what it waits for has not happened yet. Each step has a budget of attempts, and so has the
// end of the dialog after the last one; when a budget runs out, the test fails, once.
class CStepScript
{
public:
    enum class EAttempt
    {
        Waiting,
        Advanced,
        GaveUp,
    };

    CStepScript(std::vector<std::function<bool()>> steps, int maxAttempts)
        : m_steps(std::move(steps)), m_maxAttempts(maxAttempts)
    {
    }

    EAttempt Attempt()
    {
        // A step that runs a loop of its own is not attempted again from inside that loop.
        if (m_gaveUp || m_inStep)
            return m_gaveUp ? EAttempt::GaveUp : EAttempt::Waiting;
        m_inStep = true;
        const bool advanced = m_next < m_steps.size() && m_steps[m_next]();
        m_inStep = false;
        if (advanced)
            return ++m_next, m_attempts = 0, EAttempt::Advanced;
        if (++m_attempts <= m_maxAttempts)
            return EAttempt::Waiting;
        m_gaveUp = true;
        if (m_next < m_steps.size())
            ADD_FAILURE() << "the scripted steps gave up waiting at step " << m_next + 1 << " of "
                          << m_steps.size();
        else
            ADD_FAILURE() << "the scripted steps are done, but the dialog did not end";
        return EAttempt::GaveUp;
    }
    bool IsDone() const { return m_next == m_steps.size() && !m_gaveUp; }

private:
    std::vector<std::function<bool()>> m_steps;
    int m_maxAttempts;
    size_t m_next = 0;
    int m_attempts = 0;
    bool m_inStep = false;
    bool m_gaveUp = false;
};
