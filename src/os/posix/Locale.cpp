#include "os/Locale.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace os
{

bool IsSystemLanguageGerman()
{
    // The POSIX precedence for message texts: the first of these that is set and not empty wins.
    const char* value = nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    {
        const char* candidate = std::getenv(name);
        if (candidate != nullptr && *candidate != '\0')
        {
            value = candidate;
            break;
        }
    }
    if (value == nullptr || std::strncmp(value, "de", 2) != 0)
    {
        return false;
    }
    // "de", "de_AT", "de.UTF-8", "de@euro" — but not a language such as "dea".
    const char next = value[2];
    return next == '\0' || next == '_' || next == '.' || next == '@';
}

} // namespace os
