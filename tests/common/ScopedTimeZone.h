#pragma once

#include "ScopedEnvironmentValue.h"

// Sets the process's time zone (TZ) for one test and restores the previous one afterwards.
// On Windows only the C runtime follows TZ; the system clock keeps the system's zone, which Wine
// takes from the Unix TZ when it starts (the Windows test run uses UTC).
class CScopedTimeZone
{
public:
    explicit CScopedTimeZone(const char* zone) : m_zone("TZ", zone) {}

private:
    CScopedEnvironmentValue m_zone;
};
