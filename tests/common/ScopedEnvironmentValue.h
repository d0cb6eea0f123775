#pragma once

#include <string>

// Sets a variable of the process's environment (null: removes it) for the object's lifetime and puts
// back what was there. The C runtime rereads the time zone after each change, since it takes TZ only
// when told.
class CScopedEnvironmentValue
{
public:
    CScopedEnvironmentValue(const char* name, const char* value);
    CScopedEnvironmentValue(const CScopedEnvironmentValue&) = delete;
    CScopedEnvironmentValue& operator=(const CScopedEnvironmentValue&) = delete;
    ~CScopedEnvironmentValue();

private:
    void Set(const char* value);

    std::string m_name;
    std::string m_saved;
    bool m_wasSet;
};
