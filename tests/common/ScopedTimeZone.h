#pragma once

#include <string>

// Sets the process's time zone (TZ) for one test and restores the previous one afterwards.
// On Windows only the C runtime follows TZ; the system clock keeps the system's zone, which Wine
// takes from the Unix TZ when it starts (the Windows test run uses UTC).
class CScopedTimeZone
{
public:
    explicit CScopedTimeZone(const char* zone);
    CScopedTimeZone(const CScopedTimeZone&) = delete;
    CScopedTimeZone& operator=(const CScopedTimeZone&) = delete;
    ~CScopedTimeZone();

private:
    bool m_hadZone = false;
    std::string m_previous;
};
