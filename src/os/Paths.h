#pragma once

namespace os
{

// The separator between directory names in a path ('/' or '\').
char PathSeparator();
// The temporary directory that the dialog suggests at start ("/tmp" or "C:\Temp").
const char* DefaultTempDirectory();

} // namespace os
