#include "ProcessUsage.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

double Seconds(const timeval& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// VmRSS and VmHWM from /proc/self/status; getrusage's maximum cannot be restarted.
void ReadResidentSizes(long& residentKiB, long& peakKiB)
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr)
    {
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            residentKiB = std::strtol(line + 6, nullptr, 10);
        else if (std::strncmp(line, "VmHWM:", 6) == 0)
            peakKiB = std::strtol(line + 6, nullptr, 10);
    }
    std::fclose(status);
}

} // namespace

SProcessUsage SProcessUsage::Now()
{
    SProcessUsage usage;
    usage.monotonicMicroseconds = MonotonicMicroseconds();
    rusage process{};
    getrusage(RUSAGE_SELF, &process);
    usage.cpuSeconds = Seconds(process.ru_utime) + Seconds(process.ru_stime);
    usage.voluntarySwitches = process.ru_nvcsw;
    usage.involuntarySwitches = process.ru_nivcsw;
    ReadResidentSizes(usage.residentKiB, usage.peakResidentKiB);
    return usage;
}

bool SProcessUsage::RestartPeak()
{
    FILE* file = std::fopen("/proc/self/clear_refs", "w");
    if (file == nullptr)
        return false;
    const bool written = std::fputs("5", file) >= 0;
    return std::fclose(file) == 0 && written;
}

int64_t SProcessUsage::MonotonicMicroseconds()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
