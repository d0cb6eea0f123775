#include "os/Environment.h"

#include <cstdlib>

namespace os
{

bool ReadEnvironmentVariable(const char* name, std::string& value)
{
    const char* found = std::getenv(name);
    if (found == nullptr)
        return false;
    value = found;
    return true;
}

} // namespace os
