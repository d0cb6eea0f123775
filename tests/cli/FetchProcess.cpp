#include "FetchProcess.h"

#include <gtest/gtest.h>

#include <chrono>

bool CFetchProcess::WaitForOutput(const std::string& text, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (m_output.find(text) == std::string::npos)
    {
        if (std::chrono::steady_clock::now() >= deadline || !Collect(50))
            return m_output.find(text) != std::string::npos;
    }
    return true;
}

int CFetchProcess::Finish(int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Collect(50))
    {
        if (std::chrono::steady_clock::now() >= deadline)
            return -1;
    }
    m_status = ExitStatus();
    return m_status;
}
