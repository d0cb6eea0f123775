#include "TestProgram.h"

#include <algorithm>
#include <chrono>

namespace
{

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<long long>(0, left.count()));
}

} // namespace

bool CTestProgram::WaitForOutput(const std::string& text, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_output.find(text) == std::string::npos)
    {
        if (MillisecondsUntil(deadline) == 0 || !Collect(50))
            return m_output.find(text) != std::string::npos;
    }
    return true;
}

int CTestProgram::Finish(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Collect(50))
    {
        if (MillisecondsUntil(deadline) == 0)
            return -1;
    }
    m_status = ExitStatus(MillisecondsUntil(deadline));
    return m_status;
}
