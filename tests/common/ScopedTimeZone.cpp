#include "ScopedTimeZone.h"

#include <cstdlib>
#include <ctime>

CScopedTimeZone::CScopedTimeZone(const char* zone)
{
    const char* previous = std::getenv("TZ");
    m_hadZone = previous != nullptr;
    if (m_hadZone)
        m_previous = previous;
    setenv("TZ", zone, 1);
    tzset();
}

CScopedTimeZone::~CScopedTimeZone()
{
    if (m_hadZone)
        setenv("TZ", m_previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}
