#pragma once

#include <string>

// Sets LC_ALL, LC_MESSAGES and LANG (null: unset) and restores them afterwards.
class CScopedLocaleEnvironment
{
public:
    explicit CScopedLocaleEnvironment(const char* const (&values)[3]);
    CScopedLocaleEnvironment(const CScopedLocaleEnvironment&) = delete;
    CScopedLocaleEnvironment& operator=(const CScopedLocaleEnvironment&) = delete;
    ~CScopedLocaleEnvironment();

private:
    static void Set(int index, const char* value);

    std::string m_saved[3];
    bool m_wasSet[3] = {};
};
