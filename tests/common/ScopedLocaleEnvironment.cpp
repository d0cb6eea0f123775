#include "ScopedLocaleEnvironment.h"

#include "EnvironmentVariable.h"

#include <cstdlib>

namespace
{

const char* const Names[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};

} // namespace

CScopedLocaleEnvironment::CScopedLocaleEnvironment(const char* const (&values)[3])
{
    for (int i = 0; i < 3; ++i)
    {
        const char* current = std::getenv(Names[i]);
        m_saved[i] = current != nullptr ? current : "";
        m_wasSet[i] = current != nullptr;
        Set(i, values[i]);
    }
}

CScopedLocaleEnvironment::~CScopedLocaleEnvironment()
{
    for (int i = 0; i < 3; ++i)
        Set(i, m_wasSet[i] ? m_saved[i].c_str() : nullptr);
}

void CScopedLocaleEnvironment::Set(int index, const char* value)
{
    if (value != nullptr)
        SetEnvironmentValue(Names[index], value);
    else
        RemoveEnvironmentValue(Names[index]);
}
