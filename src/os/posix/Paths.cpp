#include "os/Paths.h"

namespace os
{

char PathSeparator()
{
    return '/';
}

const char* DefaultTempDirectory()
{
    return "/tmp";
}

} // namespace os
