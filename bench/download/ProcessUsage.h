#pragma once

#include <cstdint>

// What this process has used so far, all threads together: CPU time, the times it went to sleep
// (each one a later wake-up) and its resident memory, now and at its peak.
struct SProcessUsage
{
    double cpuSeconds = 0;
    long voluntarySwitches = 0;
    long involuntarySwitches = 0;
    long residentKiB = 0;
    long peakResidentKiB = 0;
    int64_t monotonicMicroseconds = 0;

    static SProcessUsage Now();
    // Makes the peak start again from the current resident size; false when the kernel refuses.
    static bool RestartPeak();
    static int64_t MonotonicMicroseconds();
};
