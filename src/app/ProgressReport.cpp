#include "app/ProgressReport.h"

#include <cstdio>

CProgressReport::CProgressReport(const char* fileName, const SProgressRecord& progress)
{
    const int32_t total = progress.total;
    const int32_t done = progress.done;
    const double ratio = total != 0 ? static_cast<double>(done) / static_cast<double>(total) : 0.0;
    const double percent = ratio * 100.0;
    std::snprintf(m_text, sizeof m_text, "%s: %d / %d KB ( %.1f%% )", fileName, done / 1024, total / 1024,
                  percent);

    // Held to the bar's range first, so that odd numbers cannot overflow the conversion.
    float barPercent = static_cast<float>(percent);
    if (!(barPercent >= BarLower))
        barPercent = BarLower;
    else if (barPercent > BarUpper)
        barPercent = BarUpper;
    m_barPosition = static_cast<int>(barPercent + 0.5f);
}
