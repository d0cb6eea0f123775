#pragma once

#include "ResultRecord.h"

#include <chrono>

#include <wx/timer.h>

class wxDialog;

// The toolkit's own share of idling: an empty dialog of the main dialog's size whose one-shot
// timer keeps the 10 ms cadence (a late tick is followed by the next boundary ahead) and whose
// tick sleeps the poller's 10 ms. What the idle main dialog costs beyond this is Quorvel's.
class CToolkitFloor : public wxTimer
{
public:
    static CResultRecord Run(int settleSeconds, int seconds);

    void Notify() override;

private:
    using Clock = std::chrono::steady_clock;

    CToolkitFloor();
    void Arm(Clock::time_point now);

    Clock::time_point m_deadline;
    long m_ticks = 0;
};
