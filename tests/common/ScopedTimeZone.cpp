#include "ScopedTimeZone.h"

#include "EnvironmentVariable.h"

#include <cstdlib>
#include <ctime>

namespace
{

void ApplyTimeZone()
{
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
}

} // namespace

CScopedTimeZone::CScopedTimeZone(const char* zone)
{
    const char* previous = std::getenv("TZ");
    m_hadZone = previous != nullptr;
    if (m_hadZone)
        m_previous = previous;
    SetEnvironmentValue("TZ", zone);
    ApplyTimeZone();
}

CScopedTimeZone::~CScopedTimeZone()
{
    if (m_hadZone)
        SetEnvironmentValue("TZ", m_previous.c_str());
    else
        RemoveEnvironmentValue("TZ");
    ApplyTimeZone();
}
