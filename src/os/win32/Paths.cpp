#include "os/Paths.h"

namespace os
{

char PathSeparator()
{
    return '\\';
}

const char* DefaultTempDirectory()
{
    return "C:\\Temp";
}

} // namespace os
