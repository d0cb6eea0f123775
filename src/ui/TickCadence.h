#pragma once

#include <cstdint>

// The deadlines of a periodic window timer on a monotonic clock (times in microseconds). Every
// deadline lies a whole number of periods after the start, so the time a tick takes does not push
// the next one back and the ticks do not drift; a tick that came late is followed by the next
// period boundary still ahead, never by a burst of ticks that catch up.
class CTickCadence
{
public:
    explicit CTickCadence(int64_t periodMicroseconds);

    // The first deadline is one period after `now`.
    void Start(int64_t now);
    // A tick fires at `now`: the deadline moves on by a period, or further when `now` is already
    // past that (a late tick does not make the next one due at once).
    void Advance(int64_t now);
    // After a tick's work: when the work ran past the deadline, the deadline moves to the next
    // boundary after `now`.
    void SkipMissed(int64_t now);

    int64_t Deadline() const { return m_deadline; }
    // Whole milliseconds from `now` to the deadline, rounded up so that a millisecond timer never
    // fires before it; at least 1, so that a timer armed with it is never due at once.
    int DelayMilliseconds(int64_t now) const;

private:
    int64_t m_period;
    int64_t m_deadline = 0;
};
