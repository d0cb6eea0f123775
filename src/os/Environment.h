#pragma once

#include <string>

namespace os
{

// The value of the process's environment variable `name` in UTF-8; false when it is not set.
// Windows keeps the environment in UTF-16, and the C runtime's copy holds only what the ANSI code
// page can, so it is read from the system there.
bool ReadEnvironmentVariable(const char* name, std::string& value);

} // namespace os
