#pragma once

#include <cstdint>

// A point in time as microseconds since 1601-01-01 00:00:00 UTC.
class CTimeStamp
{
public:
    // Local wall-clock fields (month 1-12, year with century) converted to UTC.
    void SetLocal(int day, int month, int year, int hour, int minute, int second, int millisecond);
    int64_t GetMilliseconds() const { return m_value / 1000; }

    // The current UTC time in milliseconds since 1601.
    static int64_t NowMilliseconds();

private:
    int64_t m_value = 0;
};
