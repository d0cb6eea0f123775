#include "CommandLineNumber.h"

#include <cerrno>
#include <cstdlib>

bool ParseCommandLineNumber(const char* text, long long minimum, long long maximum, long long& value)
{
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || parsed < minimum || parsed > maximum)
        return false;
    value = parsed;
    return true;
}

bool ParseCommandLineNumber(const char* text, int minimum, int maximum, int& value)
{
    long long parsed = 0;
    if (!ParseCommandLineNumber(text, static_cast<long long>(minimum), static_cast<long long>(maximum),
                                parsed))
        return false;
    // Within [minimum, maximum], so it fits.
    value = static_cast<int>(parsed);
    return true;
}
