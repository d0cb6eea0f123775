#include "ui/wx/WxWindowTimer.h"

#include "ui/Dialog.h"

#include <algorithm>
#include <chrono>

namespace
{

int64_t MonotonicMicroseconds()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

CWxWindowTimer::CWxWindowTimer(CDialog& dialog, unsigned id, int intervalMilliseconds)
    : m_dialog(dialog), m_id(id), m_cadence(std::max(1, intervalMilliseconds) * int64_t{1000})
{
}

bool CWxWindowTimer::StartTicking()
{
    m_halted = false;
    const int64_t now = MonotonicMicroseconds();
    m_cadence.Start(now);
    return StartOnce(m_cadence.DelayMilliseconds(now));
}

void CWxWindowTimer::Halt()
{
    m_halted = true;
    Stop();
}

void CWxWindowTimer::Notify()
{
    const int64_t firedAt = MonotonicMicroseconds();
    m_cadence.Advance(firedAt);
    // Armed before the tick runs, so that a message box opened inside it still gets ticks.
    StartOnce(m_cadence.DelayMilliseconds(firedAt));
    m_dialog.HandleTimer(m_id);
    if (m_halted)
        return;
    const int64_t workDone = MonotonicMicroseconds();
    m_cadence.SkipMissed(workDone);
    StartOnce(m_cadence.DelayMilliseconds(workDone));
}
