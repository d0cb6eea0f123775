#include "ui/TickCadence.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{

constexpr int64_t Period = 10000;

TEST(TickCadence, EachTickMovesTheDeadlineToTheNextBoundaryAhead)
{
    struct SStep
    {
        const char* what;
        // When the timer fired and how long the tick worked.
        int64_t firedAt;
        int64_t work;
        // The deadline after the tick's work, and the delay the timer is armed with then.
        int64_t deadline;
        int delayMilliseconds;
    };
    const SStep steps[] = {
        {"on time, 2 ms of work", 10000, 2000, 20000, 8},
        {"0.7 ms late: the boundary stays", 20700, 2000, 30000, 8},
        {"work past the deadline: the missed boundary is skipped", 30000, 14000, 50000, 6},
        {"an idle tick", 50000, 0, 60000, 10},
        {"0.2 ms early: still that boundary's tick", 59800, 0, 70000, 11},
        {"25 ms late: the next boundary, not two at once", 95000, 0, 100000, 5},
        {"fired just before the boundary it was armed for", 99999, 0, 110000, 11},
        {"work that ends a moment before the deadline", 110000, 9950, 120000, 1},
    };
    CTickCadence cadence(Period);
    cadence.Start(0);
    EXPECT_EQ(cadence.Deadline(), Period);
    EXPECT_EQ(cadence.DelayMilliseconds(0), 10);
    for (const SStep& step : steps)
    {
        cadence.Advance(step.firedAt);
        const int64_t workDone = step.firedAt + step.work;
        cadence.SkipMissed(workDone);
        EXPECT_EQ(cadence.Deadline(), step.deadline) << step.what;
        EXPECT_EQ(cadence.DelayMilliseconds(workDone), step.delayMilliseconds) << step.what;
    }
}

// A millisecond timer that fires `latency` after the time it was armed for, driving ticks that
// work `work` each: the tick times it produces.
std::vector<int64_t> RunTimer(int ticks, int64_t latency, int64_t work)
{
    CTickCadence cadence(Period);
    cadence.Start(0);
    int64_t now = 0;
    int64_t firesAt = now + cadence.DelayMilliseconds(now) * 1000 + latency;
    std::vector<int64_t> tickTimes;
    for (int tick = 0; tick < ticks; ++tick)
    {
        now = firesAt;
        tickTimes.push_back(now);
        cadence.Advance(now);
        now += work;
        cadence.SkipMissed(now);
        firesAt = now + cadence.DelayMilliseconds(now) * 1000 + latency;
    }
    return tickTimes;
}

TEST(TickCadence, TicksKeepTheirPeriodWithoutDriftWhateverTheyWork)
{
    struct SCase
    {
        int64_t latency;
        int64_t work;
    };
    // Whatever fits into a period beside the latency and the millisecond of rounding.
    for (const SCase& c : {SCase{0, 0}, SCase{300, 2000}, SCase{900, 6500}, SCase{50, 8900}})
    {
        const std::vector<int64_t> times = RunTimer(1000, c.latency, c.work);
        for (size_t index = 0; index < times.size(); ++index)
        {
            const auto boundary = static_cast<int64_t>(index + 1) * Period;
            // Never before its boundary, and never later than the timer's latency plus the
            // millisecond it rounds to.
            ASSERT_GE(times[index], boundary) << "tick " << index << ", work " << c.work;
            ASSERT_LE(times[index], boundary + c.latency + 1000) << "tick " << index << ", work " << c.work;
        }
    }
}

} // namespace
