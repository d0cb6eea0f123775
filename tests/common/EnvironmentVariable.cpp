#include "EnvironmentVariable.h"

#include <cstdlib>

void SetEnvironmentValue(const char* name, const char* value)
{
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

void RemoveEnvironmentValue(const char* name)
{
#ifdef _WIN32
    // An empty value removes the variable there.
    _putenv_s(name, "");
#else
    unsetenv(name);
#endif
}
