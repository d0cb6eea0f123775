#include "ScopedEnvironmentValue.h"

#include "EnvironmentVariable.h"

#include <cstdlib>
#include <ctime>

CScopedEnvironmentValue::CScopedEnvironmentValue(const char* name, const char* value) : m_name(name)
{
    const char* current = std::getenv(name);
    m_wasSet = current != nullptr;
    m_saved = m_wasSet ? current : "";
    Set(value);
}

CScopedEnvironmentValue::~CScopedEnvironmentValue()
{
    Set(m_wasSet ? m_saved.c_str() : nullptr);
}

void CScopedEnvironmentValue::Set(const char* value)
{
    if (value != nullptr)
        SetEnvironmentValue(m_name.c_str(), value);
    else
        RemoveEnvironmentValue(m_name.c_str());
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
}
