#include "os/DesktopStart.h"

#include <chrono>
#include <thread>

namespace os
{

namespace
{

constexpr int PollMilliseconds = 5;

} // namespace

CDesktopStart::EState CDesktopStart::WaitForOutcome(unsigned maxMilliseconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(maxMilliseconds);
    while (Poll() == EState::Pending && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(PollMilliseconds));
    return Poll();
}

} // namespace os
