#include "os/Clock.h"

#include <atomic>
#include <cerrno>
#include <ctime>

namespace os
{
namespace
{
// Seconds from 1601-01-01 to the POSIX epoch 1970-01-01.
constexpr int64_t SecondsFrom1601To1970 = 11644473600LL;
constexpr int64_t MicrosecondsPerSecond = 1000000;

std::atomic<int64_t> g_testOffsetMicroseconds{0};

int64_t ToMicroseconds(const timespec& time)
{
    return static_cast<int64_t>(time.tv_sec) * MicrosecondsPerSecond + time.tv_nsec / 1000;
}

bool FieldsAreValid(int day, int month, int year, int hour, int minute, int second, int millisecond)
{
    static const int daysInMonth[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1601 || year > 30827 || month < 1 || month > 12 || day < 1 || day > daysInMonth[month - 1])
        return false;
    const bool leapYear = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month == 2 && day == 29 && !leapYear)
        return false;
    return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59 &&
           millisecond >= 0 && millisecond <= 999;
}
} // namespace

int64_t NowMicrosecondsSince1601()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return ToMicroseconds(now) + SecondsFrom1601To1970 * MicrosecondsPerSecond + g_testOffsetMicroseconds;
}

int64_t LocalFieldsToMicrosecondsSince1601(int day, int month, int year, int hour, int minute, int second,
                                           int millisecond)
{
    // mktime would silently roll invalid fields over (month 13 into the next year); reject them the
    // way the Windows conversion does, so both platforms agree.
    if (!FieldsAreValid(day, month, year, hour, minute, second, millisecond))
        return 0;
    tm fields{};
    fields.tm_mday = day;
    fields.tm_mon = month - 1;
    fields.tm_year = year - 1900;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1; // let the zone rules decide whether summer time applies
    errno = 0;
    const time_t utc = mktime(&fields);
    // -1 is also the valid instant one second before 1970; only errno tells them apart.
    if (utc == static_cast<time_t>(-1) && errno != 0)
        return 0;
    return (static_cast<int64_t>(utc) + SecondsFrom1601To1970) * MicrosecondsPerSecond +
           static_cast<int64_t>(millisecond) * 1000;
}

bool MicrosecondsSince1601ToLocalFields(int64_t microseconds, SLocalTime& local)
{
    const time_t seconds = static_cast<time_t>(microseconds / MicrosecondsPerSecond - SecondsFrom1601To1970);
    tm fields{};
    if (localtime_r(&seconds, &fields) == nullptr)
        return false;
    local.year = fields.tm_year + 1900;
    local.month = fields.tm_mon + 1;
    local.day = fields.tm_mday;
    local.hour = fields.tm_hour;
    local.minute = fields.tm_min;
    local.second = fields.tm_sec;
    return true;
}

int64_t MonotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (ToMicroseconds(now) + g_testOffsetMicroseconds) / MicrosecondsPerSecond;
}

void SleepMilliseconds(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    timespec remaining{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR)
    {
    }
}

void AdvanceClocksForTesting(int64_t microseconds)
{
    g_testOffsetMicroseconds += microseconds;
}

} // namespace os
