#include "ui/TickCadence.h"

namespace
{

constexpr int64_t MicrosecondsPerMillisecond = 1000;

} // namespace

CTickCadence::CTickCadence(int64_t periodMicroseconds)
    : m_period(periodMicroseconds > 0 ? periodMicroseconds : 1)
{
}

void CTickCadence::Start(int64_t now)
{
    m_deadline = now + m_period;
}

void CTickCadence::Advance(int64_t now)
{
    m_deadline += m_period;
    SkipMissed(now);
}

void CTickCadence::SkipMissed(int64_t now)
{
    if (m_deadline > now)
        return;
    const int64_t missedPeriods = (now - m_deadline) / m_period + 1;
    m_deadline += missedPeriods * m_period;
}

int CTickCadence::DelayMilliseconds(int64_t now) const
{
    const int64_t remaining = m_deadline - now;
    if (remaining <= MicrosecondsPerMillisecond)
        return 1;
    return static_cast<int>((remaining + MicrosecondsPerMillisecond - 1) / MicrosecondsPerMillisecond);
}
