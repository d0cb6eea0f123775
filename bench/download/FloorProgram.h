#pragma once

#include "ResultRecord.h"

// What the design itself costs while the dialog is idle, and nothing else: a 10 ms timer on a
// monotonic cadence (a late tick is followed by the next period boundary ahead) whose tick sleeps
// the poller's 10 ms, as a poll cycle with no socket to watch does. The idle dialog is set
// against it.
class CFloorProgram
{
public:
    static CResultRecord Run(int settleSeconds, int seconds);
};
