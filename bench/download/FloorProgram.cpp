#include "FloorProgram.h"

#include "ProcessUsage.h"
#include "net/SocketPoller.h"
#include "os/Clock.h"

#include <chrono>
#include <thread>

namespace
{

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds Period(10);

// The deadline after `deadline` that still lies ahead of `now`.
Clock::time_point NextBoundary(Clock::time_point deadline, Clock::time_point now)
{
    deadline += Period;
    if (deadline <= now)
        deadline += ((now - deadline) / Period + 1) * Period;
    return deadline;
}

} // namespace

CResultRecord CFloorProgram::Run(int settleSeconds, int seconds)
{
    const Clock::time_point settled = Clock::now() + std::chrono::seconds(settleSeconds);
    const Clock::time_point end = settled + std::chrono::seconds(seconds);
    Clock::time_point deadline = Clock::now() + Period;
    bool measuring = false;
    SProcessUsage start;
    long ticks = 0;
    for (;;)
    {
        std::this_thread::sleep_until(deadline);
        const Clock::time_point firedAt = Clock::now();
        if (firedAt >= end)
            break;
        if (!measuring && firedAt >= settled)
        {
            measuring = true;
            start = SProcessUsage::Now();
        }
        ticks += measuring ? 1 : 0;
        os::SleepMilliseconds(CSocketPoller::DefaultIntervalMilliseconds);
        deadline = NextBoundary(deadline, Clock::now());
    }
    const SProcessUsage stop = SProcessUsage::Now();
    const double elapsed =
        static_cast<double>(stop.monotonicMicroseconds - start.monotonicMicroseconds) / 1e6;

    CResultRecord result;
    result.Set("idle_s", elapsed);
    result.Set("cpu_percent", (stop.cpuSeconds - start.cpuSeconds) / elapsed * 100.0);
    result.Set("wakeups_per_s",
               static_cast<double>(stop.voluntarySwitches - start.voluntarySwitches) / elapsed);
    result.Set("preemptions_per_s",
               static_cast<double>(stop.involuntarySwitches - start.involuntarySwitches) / elapsed);
    result.Set("ticks_per_s", static_cast<double>(ticks) / elapsed);
    return result;
}
