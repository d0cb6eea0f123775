#pragma once

#include "ScopedEnvironmentValue.h"

// Sets LC_ALL, LC_MESSAGES and LANG (null: unset) and restores them afterwards.
class CScopedLocaleEnvironment
{
public:
    explicit CScopedLocaleEnvironment(const char* const (&values)[3])
        : m_all("LC_ALL", values[0]), m_messages("LC_MESSAGES", values[1]), m_language("LANG", values[2])
    {
    }

private:
    CScopedEnvironmentValue m_all;
    CScopedEnvironmentValue m_messages;
    CScopedEnvironmentValue m_language;
};
