#include "ToolkitFloor.h"

#include "ProcessUsage.h"
#include "net/SocketPoller.h"
#include "os/Clock.h"

#include <wx/dialog.h>

namespace
{

constexpr std::chrono::milliseconds Period(10);
// The main dialog's window in pixels on the virtual display.
constexpr int DialogWidth = 640;
constexpr int DialogHeight = 351;

} // namespace

CToolkitFloor::CToolkitFloor() : m_deadline(Clock::now() + Period) {}

void CToolkitFloor::Arm(Clock::time_point now)
{
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(m_deadline - now).count();
    StartOnce(static_cast<int>(std::max<long long>(1, (left + 999) / 1000)));
}

void CToolkitFloor::Notify()
{
    ++m_ticks;
    os::SleepMilliseconds(CSocketPoller::DefaultIntervalMilliseconds);
    const Clock::time_point now = Clock::now();
    m_deadline += Period;
    if (m_deadline <= now)
        m_deadline += ((now - m_deadline) / Period + 1) * Period;
    Arm(now);
}

CResultRecord CToolkitFloor::Run(int settleSeconds, int seconds)
{
    wxDialog dialog(nullptr, wxID_ANY, "toolkit floor", wxDefaultPosition, wxSize(DialogWidth, DialogHeight));
    CToolkitFloor ticker;
    ticker.Arm(Clock::now());

    SProcessUsage start;
    long startTicks = 0;
    CResultRecord result;
    wxTimer measure;
    bool started = false;
    measure.Bind(wxEVT_TIMER,
                 [&](wxTimerEvent&)
                 {
                     if (!started)
                     {
                         started = true;
                         start = SProcessUsage::Now();
                         startTicks = ticker.m_ticks;
                         measure.StartOnce(seconds * 1000);
                         return;
                     }
                     const SProcessUsage stop = SProcessUsage::Now();
                     const double elapsed =
                         static_cast<double>(stop.monotonicMicroseconds - start.monotonicMicroseconds) / 1e6;
                     result.Set("idle_s", elapsed);
                     result.Set("cpu_percent", (stop.cpuSeconds - start.cpuSeconds) / elapsed * 100.0);
                     result.Set("wakeups_per_s",
                                static_cast<double>(stop.voluntarySwitches - start.voluntarySwitches) /
                                    elapsed);
                     result.Set("ticks_per_s", static_cast<double>(ticker.m_ticks - startTicks) / elapsed);
                     ticker.Stop();
                     dialog.EndModal(wxID_OK);
                 });
    measure.StartOnce(settleSeconds * 1000);
    dialog.ShowModal();
    return result;
}
