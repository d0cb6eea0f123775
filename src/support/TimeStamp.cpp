#include "support/TimeStamp.h"

#include "os/Clock.h"

void CTimeStamp::SetLocal(int day, int month, int year, int hour, int minute, int second, int millisecond)
{
    m_value = os::LocalFieldsToMicrosecondsSince1601(day, month, year, hour, minute, second, millisecond);
}

int64_t CTimeStamp::NowMilliseconds()
{
    return os::NowMicrosecondsSince1601() / 1000;
}
