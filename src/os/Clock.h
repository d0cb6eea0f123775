#pragma once

#include <cstdint>

namespace os
{

// Wall-clock time in UTC as microseconds since 1601-01-01 00:00:00.
int64_t NowMicrosecondsSince1601();

// The instant named by local wall-clock fields (month 1-12, year with century), converted to UTC by
// the platform's time-zone rules. Returns 0 when the fields do not name a valid date and time.
int64_t LocalFieldsToMicrosecondsSince1601(int day, int month, int year, int hour, int minute, int second,
                                           int millisecond);

// Local wall-clock fields of an instant (month 1-12, year with century).
struct SLocalTime
{
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The local wall-clock fields of an instant, by the platform's time-zone rules; false when the
// instant cannot be converted.
bool MicrosecondsSince1601ToLocalFields(int64_t microseconds, SLocalTime& local);

// Whole seconds of a clock that never jumps with wall-clock changes; for idle and keep-alive timing.
int64_t MonotonicSeconds();

void SleepMilliseconds(int milliseconds);

// Moves both the wall clock and the monotonic clock forward (or back) as seen by this process,
// so that tests can cross long time-outs without sleeping. Never called by the program itself.
void AdvanceClocksForTesting(int64_t microseconds);

} // namespace os
