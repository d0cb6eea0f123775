#include "ScopedTimeZone.h"
#include "os/Clock.h"
#include "support/TimeStamp.h"

#include <gtest/gtest.h>

#include <chrono>

namespace
{
// 2026-12-06 12:00:00 UTC and 2026-07-06 12:00:00 UTC in milliseconds since 1601, worked out
// independently of the code under test.
constexpr int64_t December6Noon2026Utc = 13441032000000LL;
constexpr int64_t July6Noon2026Utc = 13427812800000LL;
constexpr int64_t HourMs = 3600 * 1000LL;
} // namespace

#ifndef _WIN32
// POSIX zone rules set per scope; the Windows clock converts with the system's zone only (UTC in
// the Windows test run, so the UTC cases below still hold there).
TEST(TimeStamp, SetLocalConvertsWallClockFieldsToUtc)
{
    struct Case
    {
        const char* zone;
        int month;
        int millisecond;
        int64_t expected;
    };
    const Case cases[] = {
        {"UTC0", 12, 0, December6Noon2026Utc},
        {"UTC0", 12, 999, December6Noon2026Utc + 999},
        {"CET-1", 12, 0, December6Noon2026Utc - HourMs},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 12, 0, December6Noon2026Utc - HourMs},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 7, 0, July6Noon2026Utc - 2 * HourMs},
        {"EST5EDT,M3.2.0,M11.1.0", 12, 0, December6Noon2026Utc + 5 * HourMs},
    };
    for (const Case& c : cases)
    {
        const CScopedTimeZone zone(c.zone);
        CTimeStamp stamp;
        stamp.SetLocal(6, c.month, 2026, 12, 0, 0, c.millisecond);
        EXPECT_EQ(stamp.GetMilliseconds(), c.expected) << c.zone << " month " << c.month;
    }
}
#endif

TEST(TimeStamp, InvalidFieldsNameNoInstant)
{
    const CScopedTimeZone zone("UTC0");
    struct Case
    {
        int day, month, year, hour, minute, second, millisecond;
    };
    const Case cases[] = {{30, 2, 2026, 0, 0, 0, 0}, {29, 2, 2025, 0, 0, 0, 0},   {1, 13, 2026, 0, 0, 0, 0},
                          {1, 1, 2026, 24, 0, 0, 0}, {1, 1, 2026, 0, 0, 0, 1000}, {1, 1, 1600, 0, 0, 0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(os::LocalFieldsToMicrosecondsSince1601(c.day, c.month, c.year, c.hour, c.minute, c.second,
                                                         c.millisecond),
                  0)
            << c.day << "." << c.month << "." << c.year << " " << c.hour << ":" << c.minute << ":"
            << c.second;
    EXPECT_NE(os::LocalFieldsToMicrosecondsSince1601(29, 2, 2024, 0, 0, 0, 0), 0);
}

TEST(TimeStamp, NowFollowsTheSystemClock)
{
    const int64_t first = CTimeStamp::NowMilliseconds();
    const int64_t second = CTimeStamp::NowMilliseconds();
    EXPECT_LE(first, second);

    const int64_t unixMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::system_clock::now().time_since_epoch())
                               .count();
    EXPECT_NEAR(static_cast<double>(second - 11644473600000LL), static_cast<double>(unixMs), 5000.0);
}

TEST(Clock, AdvancingMovesWallAndMonotonicClocksTogether)
{
    const int64_t wallBefore = os::NowMicrosecondsSince1601();
    const int64_t monotonicBefore = os::MonotonicSeconds();
    const int64_t halfHour = 1800LL * 1000000;
    os::AdvanceClocksForTesting(halfHour);
    const int64_t wallAfter = os::NowMicrosecondsSince1601();
    const int64_t monotonicAfter = os::MonotonicSeconds();
    os::AdvanceClocksForTesting(-halfHour);

    EXPECT_GE(wallAfter - wallBefore, halfHour);
    EXPECT_LT(wallAfter - wallBefore, halfHour + 5000000);
    EXPECT_GE(monotonicAfter - monotonicBefore, 1799);
    EXPECT_LE(monotonicAfter - monotonicBefore, 1805);
    EXPECT_LT(os::MonotonicSeconds() - monotonicBefore, 5);
}

TEST(Clock, SleepWaitsAtLeastTheGivenTime)
{
    const auto start = std::chrono::steady_clock::now();
    os::SleepMilliseconds(30);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_GE(elapsed, std::chrono::milliseconds(30));
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}
