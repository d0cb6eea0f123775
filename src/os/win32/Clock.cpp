#include "os/Clock.h"

#include <atomic>

#include <windows.h>

namespace os
{
namespace
{
std::atomic<int64_t> g_testOffsetMicroseconds{0};

int64_t FileTimeToMicroseconds(const FILETIME& time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    // File times count 100-nanosecond units since 1601.
    return static_cast<int64_t>(value.QuadPart / 10);
}
} // namespace

int64_t NowMicrosecondsSince1601()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return FileTimeToMicroseconds(now) + g_testOffsetMicroseconds;
}

int64_t LocalFieldsToMicrosecondsSince1601(int day, int month, int year, int hour, int minute, int second,
                                           int millisecond)
{
    // Out-of-range values would wrap when narrowed to WORD and could then pass the checks below.
    if (day < 1 || day > 31 || month < 1 || month > 12 || year < 1601 || year > 30827 || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return 0;
    // Not every implementation of the conversion checks the day against the month's length.
    const bool leapYear = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int monthDays[12] = {31, leapYear ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day > monthDays[month - 1])
        return 0;
    SYSTEMTIME local{};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour);
    local.wMinute = static_cast<WORD>(minute);
    local.wSecond = static_cast<WORD>(second);
    local.wMilliseconds = static_cast<WORD>(millisecond);
    SYSTEMTIME utc;
    FILETIME utcFileTime;
    // Either call failing means the fields name no instant.
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &utcFileTime))
        return 0;
    return FileTimeToMicroseconds(utcFileTime);
}

bool MicrosecondsSince1601ToLocalFields(int64_t microseconds, SLocalTime& local)
{
    if (microseconds < 0)
        return false;
    ULARGE_INTEGER value;
    value.QuadPart = static_cast<ULONGLONG>(microseconds) * 10;
    FILETIME utcFileTime;
    utcFileTime.dwLowDateTime = value.LowPart;
    utcFileTime.dwHighDateTime = value.HighPart;
    SYSTEMTIME utc;
    SYSTEMTIME fields;
    if (!FileTimeToSystemTime(&utcFileTime, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &fields))
        return false;
    local.year = fields.wYear;
    local.month = fields.wMonth;
    local.day = fields.wDay;
    local.hour = fields.wHour;
    local.minute = fields.wMinute;
    local.second = fields.wSecond;
    return true;
}

int64_t MonotonicSeconds()
{
    const int64_t microseconds = static_cast<int64_t>(GetTickCount64()) * 1000 + g_testOffsetMicroseconds;
    return microseconds / 1000000;
}

void SleepMilliseconds(int milliseconds)
{
    if (milliseconds > 0)
        Sleep(static_cast<DWORD>(milliseconds));
}

void AdvanceClocksForTesting(int64_t microseconds)
{
    g_testOffsetMicroseconds += microseconds;
}

} // namespace os
