#include "os/Environment.h"

#include "os/win32/WideText.h"

#include <windows.h>

namespace os
{

bool ReadEnvironmentVariable(const char* name, std::string& value)
{
    const std::wstring wideName = WideText(name);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    // The size counts the terminator, so only a missing variable (or a failure) reports 0.
    if (size == 0)
        return false;
    std::wstring wide(static_cast<size_t>(size), L'\0');
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), &wide[0], size);
    if (length >= size)
        return false;
    wide.resize(length);
    value = Utf8Text(wide.c_str());
    return true;
}

} // namespace os
